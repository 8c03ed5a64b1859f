#!/bin/bash
# Runs a test program at several system DPIs in the prefix of the other
# tests (or a throwaway one when run on its own): Wine reads LogPixels when
# a process starts, so each run sets it first, and the value the prefix had
# comes back at the end. Usage: run_at_dpis.sh program.exe [dpi...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/../../scripts/wine-env.sh"
program=$1; shift
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144)

tsly_wine_for_this_script
desktop='HKCU\Control Panel\Desktop'
old=$(wine reg query "$desktop" /v LogPixels 2>/dev/null | grep -ao '0x[0-9a-fA-F]*' || true)
restore() {
  if [ -n "$old" ]; then
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1
  else
    wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
  fi
  tsly_wine_cleanup
}
trap restore EXIT

status=0
for dpi in "${dpis[@]}"; do
  wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  echo "== at $dpi dpi"
  TSLY_EXPECT_DPI=$dpi wine "$program" || status=1
done
exit $status
