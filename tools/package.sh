#!/usr/bin/env bash
# Builds the Windows program and makes the release archive of dist/:
# VantriLaunch-<version>-win-x64.zip and its .sha256, in the build folder. The version is
# the project's, as CMakeLists.txt gives it (the version resource takes it from there too).
# Usage: tools/package.sh   (VL_BUILD names the build folder, as for tools/build.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VL_BUILD:-$root/build}
if [ -n "${VL_BUILD:-}" ]; then dist=$build/dist; else dist=$root/dist; fi  # as tools/build.sh
"$root/tools/install-deps.sh"
"$root/tools/build.sh" win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/win/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/win/CMakeCache.txt" >&2; exit 1; }
python3 "$root/tools/package.py" "$dist" "$version" "$build"
