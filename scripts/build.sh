#!/usr/bin/env bash
# Configures and builds one architecture: build.sh i686|x86_64 [extra cmake args]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
arch="$1"; shift
build="$root/build/$arch"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" >/dev/null
