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
# Names are stored in code page 932 without the UTF-8 flag, as Japanese
# downloads store them: the Explorer of Windows 7 ignores the flag and
# would show the read-me's name garbled.
python3 - "$zip" build/win32/app/tsly.exe build/win32/app/tsly.html \
  "help/はじめにお読みください.txt" <<'PY'
import sys, time, zipfile, os
target, exe, page, readme = sys.argv[1:]

class Cp932Name(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.filename.encode("cp932"), self.flag_bits & ~0x800

def add(z, name, data, mtime):
    info = Cp932Name(name, time.localtime(mtime)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    z.writestr(info, data)

text = open(readme, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
    for path, name in ((exe, "tsly.exe"), (page, "tsly.html")):
        add(z, "Tessalyne/" + name, open(path, "rb").read(), os.path.getmtime(path))
    add(z, "Tessalyne/" + os.path.basename(readme), ("\ufeff" + text).encode("utf-8"),
        os.path.getmtime(readme))
PY
echo "$zip"
