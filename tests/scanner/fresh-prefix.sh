#!/bin/sh
# Boots a new Wine prefix of its own, runs the scanner's fresh-prefix tests in
# it and stops its wine server again. Arguments: prefix folder, test program.
set -u
prefix="$1"
program="$2"
rm -rf "$prefix" "$prefix.home"
mkdir -p "$prefix.home"
export WINEPREFIX="$prefix" HOME="$prefix.home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export PATH="/usr/lib/wine:$PATH"
wine64 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
TAMSEL_FRESH_PREFIX=1 wine64 "$program" --gtest_filter='FreshPrefix.*'
status=$?
wineserver -k 2>/dev/null
rm -rf "$prefix" "$prefix.home"
exit $status
