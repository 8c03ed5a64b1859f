#!/bin/bash
# The download zip holds the program, the help page and the read-me under
# one folder, with the Japanese name flagged as UTF-8 and the read-me in
# the form Notepad shows right (BOM, CRLF).
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/../..
out=$(mktemp -d /tmp/tsly-package.XXXXXX)
trap 'rm -rf "$out"' EXIT
zip=$(bash "$root/scripts/package.sh" "$out" | tail -n 1)

python3 - "$zip" "$root" <<'PY'
import sys, zipfile
zip_path, root = sys.argv[1:]
readme = "はじめにお読みください.txt"
z = zipfile.ZipFile(zip_path)
names = sorted(z.namelist())
expected = sorted(["Tessalyne/tsly.exe", "Tessalyne/tsly.html", "Tessalyne/" + readme])
assert names == expected, names
assert z.getinfo("Tessalyne/" + readme).flag_bits & 0x800, "read-me name not flagged UTF-8"
assert z.read("Tessalyne/tsly.exe") == open(root + "/build/win32/app/tsly.exe", "rb").read()
assert z.read("Tessalyne/tsly.html") == open(root + "/help/tsly.html", "rb").read()
text = z.read("Tessalyne/" + readme)
assert text.startswith(b"\xef\xbb\xbf"), "no BOM"
assert text.count(b"\n") > 0 and text.count(b"\n") == text.count(b"\r\n"), "not CRLF"
text.decode("utf-8")
print("package ok:", ", ".join(names))
PY
