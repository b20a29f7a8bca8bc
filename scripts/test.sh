#!/usr/bin/env bash
# Builds the i686 product with its tests and the x86_64 test build (each once,
# with all cores), then runs every suite of both under Wine: the i686 suites
# under the 32-bit loader in 64-bit prefixes (WOW64, as users run the product),
# the x86_64 ones under wine64. Each suite runs in its own copy of a freshly
# booted prefix on its own Xvfb display, side by side. Missing peer tools and
# services fail their tests here instead of skipping them.
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
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
"$root/scripts/build.sh" i686 -DTAMSEL_BUILD_TESTS=ON "${launcher[@]}"
"$root/scripts/build.sh" x86_64 -DTAMSEL_BUILD_TESTS=ON "${launcher[@]}"
export TAMSEL_REQUIRE_PEERS=1

# Whether the kernel runs 32-bit code at all: some virtual machines turn the
# IA-32 emulation off, and then no 32-bit program can start.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

jobs=$(nproc)
status=0
if runs_32bit; then
    # Both builds' suites share the machine.
    (cd "$root/build/i686" && ctest --output-on-failure -j "$jobs" "$@") > "$root/build/i686-ctest.log" 2>&1 &
    i686_pid=$!
    (cd "$root/build/x86_64" && ctest --output-on-failure -j "$jobs" "$@") || status=1
    wait $i686_pid || status=1
    echo "== i686 suites (WOW64) =="
    cat "$root/build/i686-ctest.log"
else
    echo "scripts/test.sh: THIS MACHINE RUNS NO 32-BIT CODE (/usr/lib/wine/wine: $(/usr/lib/wine/wine --version 2>&1 | head -n1))."
    echo "scripts/test.sh: the i686 test executables were built but NOT run; only the x86_64 suites run."
    (cd "$root/build/x86_64" && ctest --output-on-failure -j "$jobs" "$@") || status=1
fi
exit $status
