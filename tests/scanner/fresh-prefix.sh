#!/bin/sh
# Boots a new Wine prefix of its own, runs the scanner's fresh-prefix tests in
# it, checks each reported row again from outside and stops its wine server.
# Arguments: prefix folder, test program, Wine loader of the program
# (wine64, or the 32-bit wine for the i686 build).
set -u
prefix="$1"
program="$2"
loader="${3:-wine64}"
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$prefix" "$prefix.home"
mkdir -p "$prefix.home"
export WINEPREFIX="$prefix" HOME="$prefix.home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"
export PATH="/usr/lib/wine:$PATH"
"$loader" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
# One wine server for the whole run: every "reg query" of the recheck meets
# the registry the scan saw, never a server that is just starting or ending.
wineserver -p >/dev/null 2>&1
rows="$prefix.home/rows.tsv"
TAMSEL_FRESH_PREFIX=1 TAMSEL_FRESH_ROWS="$(wine64 winepath -w "$rows" 2>/dev/null)" \
    "$loader" "$program" --gtest_also_run_disabled_tests --gtest_filter='FreshPrefix.*'
status=$?
if [ ! -f "$rows" ]; then
    echo "no rows file written"
    status=1
elif ! command -v python3 >/dev/null; then
    echo "python3 missing: rows not checked again"
    [ "${TAMSEL_REQUIRE_PEERS:-0}" = 1 ] && status=1
else
    python3 "$here/recheck-rows.py" "$rows" || status=1
fi
wineserver -k 2>/dev/null
rm -rf "$prefix" "$prefix.home"
exit $status
