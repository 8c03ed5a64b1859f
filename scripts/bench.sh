#!/bin/bash
# Builds the benchmark and runs it under Wine in a throwaway prefix:
#   bash scripts/bench.sh [sizes...] [--runs N]
# (default: 10000 and 100000 shortcuts, 5 runs each; prints medians), or
#   bash scripts/bench.sh history [--rows N] [--runs N]
# for the history window's opening with ten journals of 10,000 renames.
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh >/dev/null

. scripts/wine-env.sh
tsly_wine_for_this_script
if [ "${1:-}" = history ]; then
  shift
  wine build/win32/bench/history_bench.exe "$@"
  exit
fi
[ $# -gt 0 ] || set -- 10000 100000 --runs 5
wine build/win32/bench/tsly_bench.exe "$@"
