#!/usr/bin/env bash
# Configures and builds both architectures: build/x86_64 and build/i686.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
for arch in ${BRANTEL_ARCHS:-x86_64 i686}; do
  dir="$here/build/$arch"
  [ -f "$dir/build.ninja" ] ||
    cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-$arch.cmake" >/dev/null
  cmake --build "$dir"
done
