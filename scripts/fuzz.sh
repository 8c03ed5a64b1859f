#!/bin/bash
# Builds the core's fuzz targets with clang (libFuzzer, AddressSanitizer,
# UBSan) into build/fuzz and runs each one for a bounded time, or replays
# the checked-in seeds only.
#
#   bash scripts/fuzz.sh [seconds-per-target] [target...]
#   bash scripts/fuzz.sh --replay [target...]
#
# Default: 60 seconds for each of cut_rule, settings_codec, utf8, long_path,
# undo_journal.
# New inputs go to build/fuzz/corpus/<target>; the checked-in seeds in
# fuzz/corpus/<target> are read, never written. A broken invariant or a
# sanitizer report stops the run with the input saved in build/fuzz.
# --replay runs each target once over every seed, without exploring: a
# check of seconds, which scripts/test.sh runs. clang comes from
# scripts/setup.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

replay=false
if [ "${1:-}" = --replay ]; then
  replay=true
  shift
else
  seconds=${1:-60}
  shift || true
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(cut_rule settings_codec utf8 long_path undo_journal)

cxx=${CXX_FUZZ:-clang++}
if ! command -v "$cxx" >/dev/null; then
  echo "fuzz.sh: $cxx is missing; bash scripts/setup.sh installs it" >&2
  exit 1
fi
out="$root/build/fuzz"
flags=(-std=c++17 -g -O1 -Wall -Wextra -Werror -fno-omit-frame-pointer
       -fsanitize=address,undefined -fno-sanitize-recover=all -I"$root")

mkdir -p "$out/obj"
core_objs=()
for f in "$root"/core/*.cpp; do
  o="$out/obj/$(basename "${f%.cpp}").o"
  if [ ! -f "$o" ] || [ "$f" -nt "$o" ] || [ -n "$(find "$root/core" -name '*.h' -newer "$o")" ]; then
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$f" -o "$o"
  fi
  core_objs+=("$o")
done

for t in "${targets[@]}"; do
  bin="$out/${t}_fuzz"
  if [ ! -f "$bin" ] || [ -n "$(find "$root/fuzz" "${core_objs[@]}" -newer "$bin" -name '*.[ho]*' 2>/dev/null | head -1)" ]; then
    "$cxx" "${flags[@]}" -fsanitize=fuzzer "$root/fuzz/${t}_fuzz.cpp" "${core_objs[@]}" -o "$bin"
  fi
done

status=0
for t in "${targets[@]}"; do
  log="$out/$t.log"
  if $replay; then
    seeds=("$root/fuzz/corpus/$t"/*)
    echo "== $t: ${#seeds[@]} seeds"
    run=("./${t}_fuzz" -runs=1 "${seeds[@]}")
  else
    mkdir -p "$out/corpus/$t"
    echo "== $t: ${seconds}s"
    run=("./${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1
         -artifact_prefix="$out/${t}-" "$out/corpus/$t" "$root/fuzz/corpus/$t")
  fi
  if (cd "$out" && "${run[@]}") >"$log" 2>&1; then
    $replay || grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$log" || true
  else
    grep -E "invariant broken|ERROR|SUMMARY|Test unit written|Running:" "$log" | tail -8 || tail -20 "$log"
    echo "!! $t failed; the whole log is $log"
    status=1
  fi
done
exit $status
