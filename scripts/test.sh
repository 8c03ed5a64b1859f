#!/bin/bash
# Installs what is missing, builds both builds and runs every test: the
# native core tests, each fuzz target over its seeds, then the Windows
# tests under Wine (with Xvfb when no display is set), each in one
# throwaway Wine prefix and home.
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh

echo "== native tests"
ctest --test-dir build/native --output-on-failure

# Each fuzz target once over its seeds: seconds, no exploring.
if command -v clang++ >/dev/null; then
  echo "== fuzz seeds"
  bash scripts/fuzz.sh --replay
fi

echo "== package"
bash tests/package/package_test.sh

. scripts/wine-env.sh
trap tsly_wine_cleanup EXIT
tsly_wine_env
tsly_display
# Whatever the display, the tests' windows are left unmanaged: a window
# manager makes every hidden window wait about two seconds for it.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
echo "== Windows tests under Wine (prefix $WINEPREFIX, display $DISPLAY)"
ctest --test-dir build/win32 --output-on-failure
