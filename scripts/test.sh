#!/usr/bin/env bash
# Builds the i686 product with its tests and the x86_64 test build (each once,
# with all cores), then runs every suite of both under Wine: the i686 suites
# under the 32-bit loader in 64-bit prefixes (WOW64, as users run the product),
# the x86_64 ones under wine64; where the kernel runs no 32-bit code, the
# i686 ones under qemu-i386 (scripts/i686-emulated.sh). Each suite runs in its own copy of a freshly
# booted prefix on its own Xvfb display, side by side. Missing peer tools and
# services fail their tests here instead of skipping them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/fail-loudly.sh"
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
# Whether the kernel runs 32-bit code at all: some virtual machines turn the
# IA-32 emulation off, and then no 32-bit program starts on its own. There
# (or with TAMSEL_I686_EMULATE=1) qemu-i386 runs the i686 suites inside a
# private namespace (scripts/i686-emulated.sh); emulated code is slower, so a
# suite gets a longer bound before it counts as hung, and fewer run at once.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
jobs=$(nproc)
i686_run=()
i686_jobs=$jobs
i686_timeout=600
x86_64_timeout=600
if [ "${TAMSEL_I686_EMULATE:-0}" = 1 ] || ! runs_32bit; then
    i686_run=("$root/scripts/i686-emulated.sh")
    i686_jobs=$(( jobs > 4 ? jobs - 2 : jobs ))
    i686_timeout=1800
    # The x86_64 suites share the machine with the emulated ones.
    x86_64_timeout=1200
    if runs_32bit; then
        echo "scripts/test.sh: TAMSEL_I686_EMULATE=1: the i686 suites run under qemu-i386."
    else
        echo "scripts/test.sh: this machine's kernel runs no 32-bit code: the i686 suites run under qemu-i386."
    fi
fi
"$root/scripts/build.sh" i686 -DTAMSEL_BUILD_TESTS=ON -DTAMSEL_TEST_TIMEOUT=$i686_timeout "${launcher[@]}"
"$root/scripts/build.sh" x86_64 -DTAMSEL_BUILD_TESTS=ON -DTAMSEL_TEST_TIMEOUT=$x86_64_timeout "${launcher[@]}"
export TAMSEL_REQUIRE_PEERS=1

status=0
# Both builds' suites share the machine.
(cd "$root/build/i686" && ${i686_run[@]+"${i686_run[@]}"} ctest --output-on-failure -j "$i686_jobs" "$@") \
    > "$root/build/i686-ctest.log" 2>&1 &
i686_pid=$!
(cd "$root/build/x86_64" && ctest --output-on-failure -j "$jobs" "$@") 2>&1 | tee "$root/build/x86_64-ctest.log" ||
    status=1
wait $i686_pid || status=1
echo "== i686 suites (WOW64$([ ${#i686_run[@]} -gt 0 ] && echo ', under qemu-i386')) =="
cat "$root/build/i686-ctest.log"
# What failed, last: where only the start and the end of a run's output are
# kept, this is what is read.
"$root/scripts/failure-summary.sh" "$root/build/x86_64-ctest.log" "$root/build/i686-ctest.log"
exit $status
