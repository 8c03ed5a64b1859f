#!/bin/bash
# The download as a user gets it. The zip holds the program, the help page
# and the read-me under one folder, every name in code page 932 without the
# UTF-8 flag (Windows 7's Explorer ignores the flag), and the read-me in the form Notepad shows right (BOM, CRLF), its sections
# in order and its newest version the zip's. Unpacked into a fresh Wine
# prefix, the program starts from there with that version in its caption,
# and the help opens from the menu and with F1 at the section of the window
# that has the focus; a stand-in handler for .html records what it was
# given. Every section F1 can ask for is on the page.
set -euo pipefail
root=$(readlink -f "$(dirname "$(readlink -f "$0")")/../..")
out=$(mktemp -d /tmp/tsly-package.XXXXXX)
trap 'rm -rf "$out"' EXIT
zip=$(bash "$root/scripts/package.sh" "$out" | tail -n 1)

python3 - "$zip" "$root" <<'PY'
import re, sys, zipfile
zip_path, root = sys.argv[1:]
readme = "はじめにお読みください.txt"
z = zipfile.ZipFile(zip_path, metadata_encoding="cp932")
names = sorted(z.namelist())
expected = sorted(["Tessalyne/tsly.exe", "Tessalyne/tsly.html", "Tessalyne/" + readme])
assert names == expected, names
for info in z.infolist():
    assert not info.flag_bits & 0x800, info.filename + " flagged UTF-8"
# The raw names, as an unzipper without the flag reads them, decode in
# code page 932 to the expected names (and are no UTF-8 in disguise).
raw_names = sorted(zipfile.ZipFile(zip_path).namelist())
assert sorted(n.encode("cp437").decode("cp932") for n in raw_names) == expected, raw_names
assert z.read("Tessalyne/tsly.exe") == open(root + "/build/win32/app/tsly.exe", "rb").read()
assert z.read("Tessalyne/tsly.html") == open(root + "/help/tsly.html", "rb").read()
assert len(z.read("Tessalyne/tsly.exe")) <= 840 * 1024, "tsly.exe larger than 840 KB"
raw = z.read("Tessalyne/" + readme)
assert raw.startswith(b"\xef\xbb\xbf"), "no BOM"
assert raw.count(b"\n") > 0 and raw.count(b"\n") == raw.count(b"\r\n"), "not CRLF"
text = raw[3:].decode("utf-8").replace("\r\n", "\n")

headings = re.findall(r"^■ (.+)$", text, re.M)
wanted = ["概要", "動作環境", "インストール", "アンインストール", "使い方", "設定の保存場所",
          "履歴", "連絡先", "著作権・免責", "転載・再配布"]
assert headings == wanted, headings
version = re.search(r"tessalyne-(.+)\.zip$", zip_path).group(1)
history = text.split("■ 履歴", 1)[1]
assert re.search(r"^\s*Ver(\S+)", history, re.M).group(1) == version, "read-me history"
# Wrapped as Notepad shows it best: no line wider than 72 columns, a
# full-width character taking two.
import unicodedata
def columns(line):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line)
widest = max(text.split("\n"), key=columns)
assert columns(widest) <= 72, "read-me line of %d columns: %s" % (columns(widest), widest)
# Wrapped where a Japanese reader accepts it: never between two katakana
# (ショートカッ/ト) or two kanji (選/択) of a text that goes on.
def script(c):
    return "kana" if "\u30a0" <= c <= "\u30ff" or "\uff66" <= c <= "\uff9f" else \
           "kanji" if "\u4e00" <= c <= "\u9fff" else None
lines = [line.rstrip() for line in text.split("\n")]
for line, after in zip(lines, lines[1:]):
    after = after.strip()
    assert line.startswith("■") or not line or not after or not script(line[-1]) or \
        script(line[-1]) != script(after[0]), "read-me wraps inside a word: " + line + " / " + after
# The copyright runs to the newest year of the history, in the read-me and
# the About box alike.
newest_year = max(re.findall(r"^Ver\S+\s+(\d{4})/", history, re.M))
copyright = re.search(r"^Copyright \(C\) \d{4}-(\d{4}) moravend$", text, re.M)
assert copyright and copyright.group(1) == newest_year, "read-me copyright years"
about = open(root + "/dialogs/about_box.cpp", encoding="utf-8").read()
assert '"' + copyright.group(0) + '"' in about, "About box copyright differs from the read-me"
changelog = open(root + "/CHANGELOG.md", encoding="utf-8").read()
assert re.search(r"^## (\S+)", changelog, re.M).group(1) == version, "CHANGELOG"

page = z.read("Tessalyne/tsly.html").decode("utf-8")
ids = set(re.findall(r'\bid="([^"]+)"', page))
table = open(root + "/dialogs/help_topics.h", encoding="utf-8").read()
table = table[table.index("kHelpSections"):]
asked = re.findall(r'\{L"[^"]*",\s*"([^"]+)"\}', table[:table.index("};")])
assert len(asked) >= 5 and not set(asked) - ids, (asked, ids)
for href in re.findall(r'href="#([^"]+)"', page):
    assert href in ids, "link to a missing section: " + href
print("package ok:", ", ".join(names), "version", version)
PY

# The help page fits a window 800 px wide: rendered at that width it grows
# no wider, as an unbreakable path or a wide table would make it.
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$out" \
  wkhtmltoimage --quiet --format jpg --width 800 "$root/help/tsly.html" "$out/help.jpg" 2>/dev/null
width=$(identify -format %w "$out/help.jpg")
[ "$width" -le 800 ] || { echo "package test: the help page is $width px wide at 800" >&2; exit 1; }
echo "package ok: the help page fits 800 px"

# The program from the unpacked zip, in a prefix of its own and a private
# display, so that the keys reach no other window.
. "$root/scripts/wine-env.sh"
unset TSLY_WINE_ROOT DISPLAY
tsly_wine_for_this_script
trap 'tsly_wine_cleanup; rm -rf "$out"' EXIT
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], metadata_encoding="cp932").extractall(sys.argv[2])' \
  "$zip" "$WINEPREFIX/drive_c/pkg"
opened="$WINEPREFIX/drive_c/opened.txt"
wine reg add 'HKCR\.html' /ve /d TslyTest.HtmlPage /f >/dev/null 2>&1
wine reg add 'HKCR\TslyTest.HtmlPage\shell\open\command' /ve \
  /d 'cmd.exe /c echo %1>>C:\opened.txt' /f >/dev/null 2>&1

# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local limit=$(($(date +%s) + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.1
  done
}
# A click on the title bar makes the window the active one again after the
# stand-in handler's console has had it; the keys wait until it has the
# focus (on a busy machine F1 went to the console before it). The handler
# writes its line a second before its console goes: the click waits for
# that, or the closing console takes the activation back with it.
handler_gone() { ! pgrep -f 'system32.(cmd|conhost)\.exe' >/dev/null; }
activate() {
  wait_for 30 handler_gone || fail "the stand-in handler did not end"
  xdotool mousemove --window "$1" 60 8 click 1
  xdotool windowfocus --sync "$1"
}
lines() { [ "$(wc -l <"$opened" 2>/dev/null || echo 0)" -ge "$1" ]; }
fail() { echo "package test: $*; opened: $(cat "$opened" 2>/dev/null)" >&2; exit 1; }

wine 'C:\pkg\Tessalyne\tsly.exe' >/dev/null 2>&1 &
wait_for 60 xdotool search --onlyvisible --name '^Tessalyne.*Ver' || fail "the program did not show its window"
main=$(xdotool search --onlyvisible --name '^Tessalyne.*Ver' | head -n 1)
caption=$(xdotool getwindowname "$main")
version=$(basename "$zip" .zip); version=${version#tessalyne-}
[[ "$caption" == *"Ver$version" ]] || fail "caption '$caption' is not version $version"

xdotool windowfocus --sync "$main"
xdotool key alt+h h
wait_for 30 lines 1 || fail "ヘルプ → トピックの検索 opened nothing"
activate "$main"
xdotool key F1
wait_for 30 lines 2 || fail "F1 in the main window opened nothing"
activate "$main"
xdotool key alt+o o
wait_for 30 xdotool search --onlyvisible --name '^オプション設定$' || fail "the options dialog did not open"
options=$(xdotool search --onlyvisible --name '^オプション設定$' | head -n 1)
activate "$options"
xdotool key F1
wait_for 30 lines 3 || fail "F1 in the options dialog opened nothing"

page="file:///C:/pkg/Tessalyne/tsly.html"
mapfile -t got < <(tr -d '\r' <"$opened")
expected=("$page" "$page#start" "$page#option")
[ "${got[*]}" = "${expected[*]}" ] || fail "opened '${got[*]}', expected '${expected[*]}'"
echo "package ok: the help opened as ${got[*]}"
