#!/usr/bin/env bash
# Builds Tamsel and starts it under Wine: the 32-bit product, as 64-bit Windows
# runs it (WOW64). On a machine whose kernel runs no 32-bit code it says so and
# starts the x86_64 build of the same sources instead. Without a display it
# runs under Xvfb, saves a screenshot and ends the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    arch=i686 loader=wine
else
    echo "This machine runs no 32-bit code: starting the x86_64 build instead of the 32-bit product."
    arch=x86_64 loader=wine64
fi
"$root/scripts/build.sh" $arch
stage="$root/build/$arch/stage"
export WINEPREFIX="${WINEPREFIX:-$root/build/run-prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
export PATH="/usr/lib/wine:$PATH"
if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$root/build/run-home"
    HOME="$root/build/run-home" $loader wineboot -i >/dev/null 2>&1 && wineserver -w
fi
if [ -n "${DISPLAY:-}" ]; then
    exec $loader "$stage/Tamsel.exe"
fi
display=":$(( 140 + RANDOM % 50 ))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; true' EXIT
export DISPLAY="$display"
sleep 1
$loader "$stage/Tamsel.exe" &
app_pid=$!
sleep "${TAMSEL_SCREENSHOT_DELAY:-8}"
shot="$root/build/tamsel-screenshot.png"
import -window root "$shot"
echo "No display: Tamsel ran under Xvfb; screenshot saved to $shot"
wineserver -k 2>/dev/null || true
wait $app_pid 2>/dev/null || true
