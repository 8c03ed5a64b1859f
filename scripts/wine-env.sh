# Sourced by the scripts: a throwaway Wine prefix and home for this run, in
# code page 932, that never writes to the real home or makes menu entries.
# Call tsly_wine_env once; tsly_wine_cleanup removes what it made.

tsly_wine_env() {
  if [ -z "${TSLY_WINE_ROOT:-}" ]; then
    TSLY_WINE_ROOT=$(mktemp -d /tmp/tsly-wine.XXXXXX)
    export TSLY_WINE_ROOT
    # Not exported: only the shell that made the folder removes it.
    TSLY_WINE_OWNED=1
  fi
  export HOME="$TSLY_WINE_ROOT/home"
  export WINEPREFIX="$TSLY_WINE_ROOT/prefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
  export LC_ALL=ja_JP.UTF-8
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
  mkdir -p "$HOME"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    tsly_wine_fonts
    wineserver -w
  fi
}

# Fonts as a Japanese Windows shows them. The program's ＭＳ Ｐゴシック and
# the system's UI fonts (captions, menus and message boxes use MS Shell Dlg,
# which is MS UI Gothic here) get IPA Gothic, proportional where the
# original is; Wine would fall back to its bitmap system font. Debian's
# Wine looks for its own fonts in "<data dir>\../fonts", a path it cannot
# open, so Marlett (the caption buttons' glyphs, shown as "0 1 r" without
# it) is copied into the prefix's Fonts folder, which Wine always reads.
tsly_wine_fonts() {
  local f
  for f in /usr/share/wine/fonts/marlett.ttf \
           "$(dirname "$(readlink -f "$(command -v wine)")")"/../share/wine/fonts/marlett.ttf; do
    if [ -f "$f" ]; then
      cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
      break
    fi
  done
  local reg="$TSLY_WINE_ROOT/fonts.reg"
  {
    printf '\xef\xbb\xbf'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    for f in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic' 'MS Shell Dlg' \
             'MS Shell Dlg 2' 'Tahoma' 'MS Sans Serif' 'Meiryo UI'; do
      printf '"%s"="IPAPGothic"\r\n' "$f"
    done
    for f in 'ＭＳ ゴシック' 'MS Gothic'; do
      printf '"%s"="IPAGothic"\r\n' "$f"
    done
  } | iconv -f UTF-8 -t UTF-16LE > "$reg"
  wine regedit /S "$reg" >/dev/null 2>&1 || true
}

# A display for the windows: Xvfb when none is set. Xvfb has no window
# manager, so the windows are left unmanaged: Wine would otherwise wait up to
# two seconds for one each time a window is hidden.
tsly_display() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    TSLY_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
}

# For a script that runs programs under Wine: the prefix and the display,
# removed again at its exit when this script made them.
tsly_wine_for_this_script() {
  tsly_wine_env
  tsly_display
  if [ "${TSLY_WINE_OWNED:-}" = 1 ] || [ -n "${TSLY_XVFB_PID:-}" ]; then
    trap tsly_wine_cleanup EXIT
  fi
}

tsly_wine_cleanup() {
  if [ "${TSLY_WINE_OWNED:-}" = 1 ] && [ -n "${TSLY_WINE_ROOT:-}" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$TSLY_WINE_ROOT"
  fi
  if [ -n "${TSLY_XVFB_PID:-}" ]; then kill "$TSLY_XVFB_PID" 2>/dev/null || true; fi
}
