#!/bin/bash
# Installs what building and testing need on a Debian 12 machine; does
# nothing when everything is there already.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }
for p in cmake make g++ mingw-w64 g++-mingw-w64-i686 wine wine64 wine32:i386 \
         locales xvfb xdotool imagemagick fonts-ipafont-gothic googletest python3 \
         clang libclang-rt-14-dev wkhtmltopdf; do
  have "$p" || need+=("$p")
done

if ((${#need[@]})); then
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${need[@]}"
fi

# Wine gets code page 932 from a Japanese locale; without it Japanese
# command-line arguments arrive garbled.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
