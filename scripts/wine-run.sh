#!/bin/bash
# ctest's emulator: runs one Windows program under Wine in the prefix that
# scripts/test.sh prepared (or a fresh one when run on its own).
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
tsly_wine_for_this_script
wine "$@"
