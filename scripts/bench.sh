#!/bin/bash
# Builds the benchmark and runs it under Wine in a throwaway prefix:
#   bash scripts/bench.sh [sizes...] [--runs N]
# (default: 10000 and 100000 shortcuts, 5 runs each; prints medians).
set -euo pipefail
root=$(dirname "$(readlink -f "$0")")/..
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh >/dev/null

. scripts/wine-env.sh
tsly_wine_for_this_script
[ $# -gt 0 ] || set -- 10000 100000 --runs 5
wine build/win32/bench/tsly_bench.exe "$@"
