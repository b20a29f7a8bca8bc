#!/usr/bin/env bash
# Builds Tamsel and starts it under Wine: the 32-bit product, as 64-bit Windows
# runs it (WOW64). On a machine whose kernel runs no 32-bit code (or with
# TAMSEL_I686_EMULATE=1) qemu-i386 runs it (scripts/i686-emulated.sh).
# Without a display it runs under Xvfb, saves a screenshot and ends the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/fail-loudly.sh"
"$root/scripts/install-deps.sh"
if [ "${TAMSEL_I686_EMULATE:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    emulated=()
else
    echo "Starting the 32-bit product under qemu-i386 (this machine's kernel runs no 32-bit code, or TAMSEL_I686_EMULATE=1)."
    emulated=("$root/scripts/i686-emulated.sh")
fi
loader=wine
"$root/scripts/build.sh" i686
stage="$root/build/i686/stage"
export WINEPREFIX="${WINEPREFIX:-$root/build/run-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export PATH="/usr/lib/wine:$PATH"
if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$root/build/run-home"
    if ! boot_log=$(HOME="$root/build/run-home" ${emulated[@]+"${emulated[@]}"} $loader wineboot -i 2>&1); then
        printf '%s\n' "$boot_log" | tail -n 20 >&2
        echo "run.sh: FAILED to boot a Wine prefix in $WINEPREFIX ($loader wineboot -i)" >&2
        rm -rf "$WINEPREFIX"
        exit 1
    fi
    wineserver -w
fi
if [ -n "${DISPLAY:-}" ]; then
    exec ${emulated[@]+"${emulated[@]}"} $loader "$stage/Tamsel.exe"
fi
display=":$(( 140 + RANDOM % 50 ))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; true' EXIT
export DISPLAY="$display"
sleep 1
${emulated[@]+"${emulated[@]}"} $loader "$stage/Tamsel.exe" &
app_pid=$!
# Emulated, the program takes several times longer to show.
sleep "${TAMSEL_SCREENSHOT_DELAY:-$([ ${#emulated[@]} -gt 0 ] && echo 40 || echo 8)}"
shot="$root/build/tamsel-screenshot.png"
import -window root "$shot"
echo "No display: Tamsel ran under Xvfb; screenshot saved to $shot"
wineserver -k 2>/dev/null || true
wait $app_pid 2>/dev/null || true
