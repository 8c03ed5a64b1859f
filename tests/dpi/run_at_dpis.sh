#!/bin/bash
# Runs a test program at several system DPIs: one throwaway Wine prefix of
# its own, LogPixels set before each run and the wineserver restarted so
# that the new DPI is read. Usage: run_at_dpis.sh program.exe [dpi...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/../../scripts/wine-env.sh"
program=$1; shift
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144)

unset TSLY_WINE_ROOT  # not the shared prefix: its DPI stays as it is
tsly_wine_env
tsly_display
trap tsly_wine_cleanup EXIT

status=0
for dpi in "${dpis[@]}"; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  echo "== at $dpi dpi"
  TSLY_EXPECT_DPI=$dpi wine "$program" || status=1
done
exit $status
