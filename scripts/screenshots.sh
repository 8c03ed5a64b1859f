#!/bin/bash
# Takes the README's screenshots under `wine explorer /desktop=shell`, as a
# Windows desktop shows them: the main window with the preview of a scanned
# folder, after a Send To cut, the history of that cut, folder picker,
# options, setup and About box at 96 dpi, and the main window with its
# preview and the three dialogs at 144 dpi. Each shot starts tsly.exe afresh
# in a throwaway prefix, opens the window through the menu keys, and is cut
# to the windows on the desktop.
# Usage: bash scripts/screenshots.sh [output folder]   (default docs/)
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"
out=$(readlink -f "${1:-docs}")
mkdir -p "$out"

bash scripts/setup.sh
cmake -S . -B build/win32 -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j 2 --target tsly >/dev/null
exe=$(readlink -f build/win32/app/tsly.exe)

. scripts/wine-env.sh
unset DISPLAY  # always a private Xvfb: keys and pictures must not meet other windows
tsly_wine_for_this_script

# shot NAME [KEY...]: starts the program on the shell desktop (with the
# parameters in the array `params`, as Send To would), clicks its title bar
# so that it has the focus, types the keys (a menu and its item) and saves
# the desktop without its task bar, trimmed to the windows.
params=()
shot() {
  local name=$1; shift
  wine explorer /desktop=shell,1024x768 "$exe" "${params[@]}" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    xdotool search --name 'Tessalyne' >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 2
  xdotool mousemove 300 10 click 1
  local key
  for key in "$@"; do
    sleep 0.7
    xdotool key "$key"
  done
  sleep 2
  local raw="$TSLY_WINE_ROOT/shot.png"
  import -window root "$raw"
  # The desktop's colour from a corner that no window reaches.
  local bg
  bg=$(convert "$raw" -format '%[pixel:p{1020,5}]' info:)
  convert "$raw" -crop 1024x700+0+0 +repage -bordercolor "$bg" -border 1 \
          -trim +repage "$out/$name.png"
  echo "$out/$name.png"
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# On the desktop, where the folder picker starts: every kind of marker, a
# name that is already clean and one whose new name is taken, so that the
# preview shows each kind of row. The main window scans it (folder picker,
# Enter) and shows what a cut would do.
desktop=$(readlink -f "$WINEPREFIX/drive_c/users/$(id -un)/Desktop")
mkdir -p "$desktop"
for name in "メモ帳 - ショートカット.lnk" "電卓へのショートカット.lnk" \
            "Café へのｼｮｰﾄｶｯﾄ.lnk" "ペイントへのショートカット.lnk" "ペイント .lnk" \
            "ワードパッド.lnk"; do
  : >"$desktop/$name"
done
shot main-window alt+f f Return
shot folder-picker alt+f f
shot options alt+o o
shot setup alt+o s
shot about alt+h a

# Sent to the program: every kind of marker and a name beyond code page
# 932 are cut; one new name is taken already, so its row says why it failed.
links="$WINEPREFIX/drive_c/リンク"
mkdir -p "$links"
for name in "メモ帳 - ショートカット.lnk" "電卓へのショートカット.lnk" \
            "Café へのｼｮｰﾄｶｯﾄ.lnk" "ペイントへのショートカット.lnk" "ペイント .lnk"; do
  : >"$links/$name"
done
params=("C:\\リンク\\メモ帳 - ショートカット.lnk" "C:\\リンク\\電卓へのショートカット.lnk"
        "C:\\リンク\\Café へのｼｮｰﾄｶｯﾄ.lnk" "C:\\リンク\\ペイントへのショートカット.lnk")
shot main-window-after-cut
params=()
# Started again, the program keeps that cut: its history shows it.
shot history ctrl+h

# 144 dpi: the system font size the prefix reads when it starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
shot main-window-144dpi alt+f f Return
shot options-144dpi alt+o o
shot setup-144dpi alt+o s
shot about-144dpi alt+h a
