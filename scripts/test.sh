#!/usr/bin/env bash
# Builds the i686 product and the x86_64 test build (each once, with all
# cores), then runs every test under wine64: each suite in its own copy of a
# freshly booted prefix and its own Xvfb display, side by side. Missing peer
# tools and services fail their tests here instead of skipping them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
start=$(date +%s)
report_time() {
    local rc=$? total=$(($(date +%s) - start))
    printf 'scripts/test.sh: %s after %dm%02ds\n' "$([ $rc -eq 0 ] && echo passed || echo FAILED)" \
           $((total / 60)) $((total % 60))
}
trap report_time EXIT
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" i686
"$root/scripts/build.sh" x86_64 -DTAMSEL_BUILD_TESTS=ON
export TAMSEL_REQUIRE_PEERS=1
cd "$root/build/x86_64"
ctest --output-on-failure -j "$(nproc)" "$@"
