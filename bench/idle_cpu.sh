#!/usr/bin/env bash
# The CPU a live device uses while nothing happens: `lumora run` on every example scene,
# all at once, each on a device root of its own. Each run is given SETTLE seconds for its
# start and its scene's timeline (test notifications stay five seconds), then its CPU time
# (user + system, from /proc) is read over WINDOW seconds of being left alone. A layout
# that never settles, or a timer that keeps firing, shows here as CPU spent on nothing.
# usage: bench/idle_cpu.sh LUMORA_BINARY [SCENE...]
set -euo pipefail
lumora=${1:?usage: bench/idle_cpu.sh LUMORA_BINARY [SCENE...]}
shift
scenes=("$@")
[ ${#scenes[@]} -gt 0 ] || scenes=("$(dirname "$0")"/../scenes/*.json)
SETTLE=${SETTLE:-7}
WINDOW=${WINDOW:-10}
LIMIT=${LIMIT:-0.1}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

ticks=$(getconf CLK_TCK)
# User plus system time of a process, in clock ticks (fields 14 and 15 of its stat line,
# counted after the command name, which may hold spaces).
cpu() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

for i in "${!scenes[@]}"; do
  mkdir -p "$work/$i"
  "$lumora" --root "$work/$i/root" run --scene "${scenes[$i]}" --preview "$work/$i/live.png" \
    >"$work/$i/log" 2>&1 &
  pids+=($!)
done
sleep "$SETTLE"
declare -a before
for i in "${!pids[@]}"; do before[$i]=$(cpu "${pids[$i]}"); done
sleep "$WINDOW"
worst=0
status=0
printf '%-28s %s\n' "scene" "CPU in ${WINDOW} s left alone"
for i in "${!pids[@]}"; do
  after=$(cpu "${pids[$i]}")
  seconds=$(awk -v a="$after" -v b="${before[$i]}" -v t="$ticks" 'BEGIN { printf "%.3f", (a - b) / t }')
  verdict=ok
  if awk -v s="$seconds" -v l="$LIMIT" 'BEGIN { exit !(s >= l) }'; then verdict="OVER ${LIMIT} s"; status=1; fi
  printf '%-28s %s s  %s\n' "$(basename "${scenes[$i]}")" "$seconds" "$verdict"
done
exit $status
