#!/usr/bin/env bash
# Builds the i686 product and the x86_64 test build, then runs every test
# under wine64 (a fresh prefix, and Xvfb when there is no display).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" i686
"$root/scripts/build.sh" x86_64 -DTAMSEL_BUILD_TESTS=ON
cd "$root/build/x86_64"
ctest --output-on-failure -j "$(nproc)" "$@"
