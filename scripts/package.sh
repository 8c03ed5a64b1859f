#!/bin/bash
# Builds tsly.exe and packs the download: dist/tessalyne-<version>.zip with
# one folder "Tessalyne" holding the program, the help page and the
# read-me, which is written with a BOM and CRLF line ends for Notepad.
# Usage: bash scripts/package.sh [output folder]   (default dist/)
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"
out=$(readlink -f "${1:-dist}")

bash scripts/setup.sh
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j 2 --target tsly >/dev/null

version=$(sed -n 's/.*VALUE "ProductVersion", "\([^"]*\)".*/\1/p' app/tsly.rc)
mkdir -p "$out"
zip="$out/tessalyne-$version.zip"
rm -f "$zip"
# zipfile marks the Japanese names as UTF-8 in the archive.
python3 - "$zip" build/win32/app/tsly.exe build/win32/app/tsly.html \
  "help/はじめにお読みください.txt" <<'PY'
import sys, zipfile, os
target, exe, page, readme = sys.argv[1:]
text = open(readme, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(exe, "Tessalyne/tsly.exe")
    z.write(page, "Tessalyne/tsly.html")
    z.writestr("Tessalyne/" + os.path.basename(readme), "\ufeff" + text)
PY
echo "$zip"
