#!/bin/bash
# Runs one Windows test program inside a Wine desktop with a task bar
# (explorer /desktop=...), where activation and focus behave as on a real
# desktop, and passes its results on. The desktop itself keeps running until
# the prefix is shut down, so the program's results come through a file.
here=$(dirname "$(readlink -f "$0")")
. "$here/wine-env.sh"
tsly_wine_for_this_script
result=$(mktemp "$TSLY_WINE_ROOT/result.XXXXXX")
rm -f "$result"
# Kept off our own output: the desktop outlives the program.
TSLY_RESULT=$(winepath -w "$result" 2>/dev/null) \
  wine explorer /desktop=tsly-test,1024x768 "$@" >"$result.log" 2>&1 &
for _ in $(seq 600); do
  grep -q '^exit [0-9]' "$result" 2>/dev/null && break
  sleep 0.2
done
cat "$result" 2>/dev/null || { echo "no results; the desktop said:"; cat "$result.log"; exit 1; }
code=$(sed -n 's/^exit \([0-9]*\).*/\1/p' "$result" | tail -1)
exit "${code:-1}"
