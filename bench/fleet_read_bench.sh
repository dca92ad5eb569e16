#!/usr/bin/env bash
# Verify and read a fleet through zr250pro-cli roster verify --wait and roster read --wait against
# zr250pro-sim paced like the real 9600 baud line, the simulator taking each pager away the moment it
# has been read whole and seating the next one a swap gap later, and compare the time per pager with
# the line time of one Read + the swap gap + 0.3 s. Run on demand:
#
#   bash bench/fleet_read_bench.sh [BUILD_DIR] [UNITS] [SWAP_GAPS_MS]     (gaps default "0 500 2000")
#
# Goal, for every gap: time per pager within one Read's line time + the gap + 0.3 s.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/fleet_bench_setup.sh"

# Bytes on the line for one Read, request plus reply: presence test 18+15, firmware version 18+17,
# tag 18+29, two blocks of 18+143. Ten bit times per byte (8N1).
bytes=$(( 33 + 35 + 47 + 2 * 161 ))
line=$(awk -v b=$bytes 'BEGIN { printf "%.3f", b * 10 / 9600 }')
echo "line time for one Read: $bytes bytes at 9600 baud = ${line} s"

missed=0
timed() {
  local what=$1 gap=$2
  shift 2
  local start end goal
  goal=$(awk -v l="$line" -v g="$gap" 'BEGIN { printf "%.3f", l + g / 1000 + 0.3 }')
  start=$(date +%s.%N)
  "$@" > "$work/out" 2> "$work/err" || { echo "$what failed:"; cat "$work/out" "$work/err" >&2; exit 1; }
  end=$(date +%s.%N)
  # The first pager is seated at the start: every pager but the first waited for its swap.
  awk -v s="$start" -v e="$end" -v n="$units" -v goal="$goal" -v what="$what" -v gap="$gap" \
      -v summary="$(tail -n 1 "$work/out")" 'BEGIN {
    per = (e - s) / n
    printf "swap gap %4d ms, %s: %s; %d pagers in %.3f s: %.3f s per pager (goal %.3f s): %s\n", gap, what, summary,
           n, e - s, per, goal, per <= goal ? "met" : "missed"
    exit per <= goal ? 0 : 1
  }' || missed=1
}

for gap in $gaps; do
  rm -rf "$work/port" "$work/control" "$work/write.csv" "$work/kept" "$work/kept.csv" "$work/sim.out"
  "$sim" --link "$work/port" --pace 9600 --pagers "$units" --auto-swap --swap-gap "$gap" \
    --control "$work/control" > "$work/sim.out" &
  sim_pid=$!
  for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
  "$cli" roster write --port "$work/port" "$work/base.tbl" "$work/fleet.csv" --log "$work/write.csv" --wait \
    --on-failure stop > /dev/null 2>&1 || { echo "the fleet was not written" >&2; exit 1; }
  # The writer reads each pager before writing it: only now may a whole read swap the pager.
  echo swap-after-read > "$work/control"
  settle=$(awk -v g="$gap" 'BEGIN { print g / 1000 + 0.2 }')
  sleep "$settle"  # the first pager is back behind the board
  timed "roster verify" "$gap" "$cli" roster verify --port "$work/port" "$work/base.tbl" "$work/fleet.csv" --wait
  sleep "$settle"
  timed "roster read" "$gap" "$cli" roster read --port "$work/port" --out "$work/kept" --base "$work/base.tbl" \
    --plan "$work/fleet.csv" --roster "$work/kept.csv" --wait
  stop_sim
done
exit $missed
