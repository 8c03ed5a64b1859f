#!/bin/bash
# Builds the core's fuzz targets with clang (libFuzzer, AddressSanitizer,
# UBSan) into build/fuzz and runs each one for a bounded time.
#
#   bash scripts/fuzz.sh [seconds-per-target] [target...]
#
# Default: 60 seconds for each of cut_rule, settings_codec, cp932, long_path.
# New inputs go to build/fuzz/corpus/<target>; the checked-in seeds in
# fuzz/corpus/<target> are read, never written. A broken invariant or a
# sanitizer report stops the run with the input saved in build/fuzz.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q clang libclang-rt-14-dev
fi
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(cut_rule settings_codec cp932 long_path)
out="$root/build/fuzz"
src="$out/src"
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++17 -g -O1 -Wall -Wextra -Werror -fno-omit-frame-pointer
       -fsanitize=address,undefined -fno-sanitize-recover=all -I"$src")

# clang has no -fexec-charset=CP932: the literals are converted instead.
python3 "$root/scripts/cp932_literals.py" "$root" "$src" core fuzz

mkdir -p "$out/obj"
core_objs=()
for f in "$src"/core/*.cpp; do
  o="$out/obj/$(basename "${f%.cpp}").o"
  if [ ! -f "$o" ] || [ "$f" -nt "$o" ] || [ -n "$(find "$src/core" -name '*.h' -newer "$o")" ]; then
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$f" -o "$o"
  fi
  core_objs+=("$o")
done

for t in "${targets[@]}"; do
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$src/fuzz/${t}_fuzz.cpp" "${core_objs[@]}" \
    -o "$out/${t}_fuzz"
done

status=0
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t"
  echo "== $t: ${seconds}s"
  log="$out/$t.log"
  if (cd "$out" && "./${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$out/${t}-" "$out/corpus/$t" "$root/fuzz/corpus/$t") >"$log" 2>&1; then
    grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$log" || true
  else
    grep -E "invariant broken|ERROR|SUMMARY|Test unit written" "$log" || tail -20 "$log"
    echo "!! $t failed; the whole log is $log"
    status=1
  fi
done
exit $status
