#!/usr/bin/env bash
# Program a fleet through zr250pro-cli roster write --wait against zr250pro-sim paced like the real
# 9600 baud line, the simulator taking each pager away the moment its Write has read it back and
# seating the next one a swap gap later, and compare the time per unit with the line time of one
# Write (the bytes it needs on the line plus its 32 pauses of 10 ms) + the gap + 0.3 s. Run on demand:
#
#   bash bench/fleet_bench.sh [BUILD_DIR] [UNITS] [SWAP_GAPS_MS]     (gaps default "0 500 2000")
#
# Goal, for every gap: time per unit within one Write's line time + the gap + 0.3 s.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/fleet_bench_setup.sh"
"$cli" roster check "$work/base.tbl" "$work/fleet.csv" > /dev/null

# Bytes on the line for one Write, request plus reply: presence test 18+15, firmware version 18+17,
# tag 18+29, 32 pieces of 25+16, two read-back blocks of 18+143. Ten bit times per byte (8N1).
bytes=$(( 33 + 35 + 47 + 32 * 41 + 2 * 161 ))
line=$(awk -v b=$bytes 'BEGIN { printf "%.3f", b * 10 / 9600 + 32 * 0.010 }')
echo "line time for one Write: $bytes bytes at 9600 baud + 32 x 10 ms = ${line} s"

missed=0
for gap in $gaps; do
  rm -f "$work/port" "$work/log.csv" "$work/sim.out"
  "$sim" --link "$work/port" --pace 9600 --pagers "$units" --auto-swap --swap-gap "$gap" > "$work/sim.out" &
  sim_pid=$!
  for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
  goal=$(awk -v l="$line" -v g="$gap" 'BEGIN { printf "%.3f", l + g / 1000 + 0.3 }')
  start=$(date +%s.%N)
  "$cli" roster write --port "$work/port" "$work/base.tbl" "$work/fleet.csv" --log "$work/log.csv" --wait \
    --on-failure stop > "$work/out" 2> "$work/err" || { echo "the fleet was not written:"; cat "$work/out" "$work/err" >&2; exit 1; }
  end=$(date +%s.%N)
  stop_sim
  awk -v s="$start" -v e="$end" -v n="$units" -v goal="$goal" -v gap="$gap" -v summary="$(tail -n 1 "$work/out")" 'BEGIN {
    per = (e - s) / n
    printf "swap gap %4d ms: %s; %d units in %.3f s: %.3f s per unit (goal %.3f s): %s\n", gap, summary, n, e - s,
           per, goal, per <= goal ? "met" : "missed"
    exit per <= goal ? 0 : 1
  }' || missed=1
done
exit $missed
