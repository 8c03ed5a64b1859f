#!/bin/bash
# Builds both builds: native (core and its tests, with sanitizers) in
# build/native and 32-bit Windows (program, core, Windows tests) in build/win32.
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"
jobs=$(nproc)

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"

cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j "$jobs"
