#!/bin/bash
# ctest's emulator: runs one Windows program under Wine in the prefix that
# scripts/test.sh prepared (or a fresh one when run on its own).
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
tsly_wine_env
tsly_display
if [ "${TSLY_WINE_OWNED:-}" = 1 ] || [ -n "${TSLY_XVFB_PID:-}" ]; then
  trap tsly_wine_cleanup EXIT
fi
wine "$@"
