#!/bin/bash
# Installs what is missing, builds both builds and runs every test: the
# native core tests, then the Windows tests under Wine (with Xvfb when no
# display is set), each in one throwaway Wine prefix and home.
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh

echo "== native tests"
ctest --test-dir build/native --output-on-failure

. scripts/wine-env.sh
trap tsly_wine_cleanup EXIT
tsly_wine_env
tsly_display
# Xvfb has no window manager: unmanaged windows spare Wine its wait of up to
# two seconds for one each time a window is hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
wineserver -w
echo "== Windows tests under Wine (prefix $WINEPREFIX, display $DISPLAY)"
ctest --test-dir build/win32 --output-on-failure
