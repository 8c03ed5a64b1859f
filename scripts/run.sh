#!/bin/bash
# Builds tsly.exe alone (no tests, no native build) and starts it under
# Wine, handing it the given paths as the Send To menu would: converted to
# Windows paths, one parameter each.
# Set TSLY_PREFIX to a folder to keep the Wine prefix (and the program's
# registry settings) between runs; otherwise it is thrown away afterwards.
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"

bash scripts/setup.sh
# build.sh's configuration, so that test.sh goes on from what this built.
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j "$(nproc)" --target tsly >/dev/null

. scripts/wine-env.sh
if [ -n "${TSLY_PREFIX:-}" ]; then
  mkdir -p "$TSLY_PREFIX"
  export TSLY_WINE_ROOT=$(readlink -f "$TSLY_PREFIX")
fi
tsly_wine_for_this_script

args=()
for p in "$@"; do
  args+=("$(winepath -w "$(readlink -f "$p")" 2>/dev/null)")
done
wine build/win32/app/tsly.exe "${args[@]}"
wineserver -w
