#!/usr/bin/env bash
# Configures and builds both trees: build/win (the Windows program, dist/ and the Windows
# tests, cross-compiled with mingw-w64) and build/native (core/ with its tests under the
# sanitizers).  Usage: tools/build.sh [win|native|all]
# VL_BUILD names another build folder (default build/); dist/ then goes inside it, so that
# several work trees of one checkout do not build over each other.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
what=${1:-all}
jobs=$(nproc)
build=${VL_BUILD:-$root/build}
if [ -n "${VL_BUILD:-}" ]; then dist=$build/dist; else dist=$root/dist; fi

if [ "$what" = win ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$build/win" -G Ninja -DVL_DIST="$dist" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build/win" -j "$jobs"
fi
if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$build/native" -j "$jobs"
fi
