#!/usr/bin/env bash
# The start-up board check through `zr250pro-cli scan`: N simulated lines without a board ahead of one
# with a board, all paced like the real 9600 baud line. Prints the time to the choice of the board's
# port against one reply time-out (101 empty polls of 30 ms = 3.03 s). Run on demand:
#
#   bash bench/scan_bench.sh [BUILD_DIR] [RUNS]
#
# Goal: for N = 1, 4 and 8 the time stays within 1.2 reply time-outs (a check that tried the ports
# one after the other would take N of them).
set -euo pipefail

build=${1:-build}
runs=${2:-3}
cli="$build/src/cli/zr250pro-cli"
sim="$build/src/sim/zr250pro-sim"
[[ -x $cli && -x $sim ]] || { echo "build zr250pro-cli and zr250pro-sim in $build first" >&2; exit 2; }

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

start_sim() {  # start_sim NAME [OPTIONS...]
  local name=$1; shift
  "$sim" --link "$work/$name" --pace 9600 "$@" > "$work/$name.out" &
  pids+=($!)
  for _ in $(seq 100); do [[ -s $work/$name.out ]] && return; sleep 0.05; done
  echo "the simulator $name did not start" >&2; exit 1
}

for i in $(seq 8); do start_sim "silent$i" --silent; done
start_sim board
timeout=3.03

TIMEFORMAT='%R'
for n in 1 4 8; do
  list=""
  for i in $(seq "$n"); do list+="$work/silent$i:"; done
  list+="$work/board"
  for run in $(seq "$runs"); do
    wall=$( { time ZR250PRO_PORTS=$list "$cli" scan > "$work/out" 2> /dev/null; } 2>&1 )
    grep -q "item $n " "$work/out" || { echo "N=$n run $run: the board was not chosen: $(cat "$work/out")" >&2; exit 1; }
    awk -v n="$n" -v r="$run" -v w="$wall" -v t="$timeout" \
      'BEGIN { printf "N=%d run %d: %.3f s to the choice = %.2f x one reply time-out\n", n, r, w, w / t }'
  done
done
