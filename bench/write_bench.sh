#!/usr/bin/env bash
# Write through zr250pro-cli to zr250pro-sim paced like the real 9600 baud line, and compare the wall
# time with the time the bytes need on the line plus the 32 pauses of 10 ms after the write pieces.
# Also reports the CPU time the command line program used. Run on demand:
#
#   bash bench/write_bench.sh [BUILD_DIR] [RUNS] [trace]
#
# With "trace" every Write also writes its trace (--trace), which must not slow it measurably.
# Goal: wall time within 1.10 times the line time, CPU time under 5 % of the wall time.
set -euo pipefail

build=${1:-build}
runs=${2:-5}
trace_option=()
[[ ${3:-} == trace ]] && trace_option=(--trace)
cli="$build/src/cli/zr250pro-cli"
sim="$build/src/sim/zr250pro-sim"
[[ -x $cli && -x $sim ]] || { echo "build zr250pro-cli and zr250pro-sim in $build first" >&2; exit 2; }

work=$(mktemp -d)
"$sim" --link "$work/port" --pace 9600 > "$work/sim.out" &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
"$cli" default -o "$work/d.tbl"

# Bytes on the line for one Write, request plus reply: presence test 18+15, firmware version 18+17,
# tag 18+29, 32 pieces of 25+16, two read-back blocks of 18+143. Ten bit times per byte (8N1).
bytes=$(( 33 + 35 + 47 + 32 * 41 + 2 * 161 ))
line=$(awk -v b=$bytes 'BEGIN { printf "%.3f", b * 10 / 9600 + 32 * 0.010 }')
echo "line time for one Write: $bytes bytes at 9600 baud + 32 x 10 ms = ${line} s"

TIMEFORMAT='%R %U %S'
for run in $(seq "$runs"); do
  times=$( { time "$cli" write --port "$work/port" "${trace_option[@]}" ${trace_option:+"$work/trace.txt"} "$work/d.tbl" > "$work/out" 2> /dev/null; } 2>&1 )
  grep -q "Write Sucess !" "$work/out" || { echo "run $run: the Write failed: $(cat "$work/out")" >&2; exit 1; }
  read -r wall user sys <<< "$times"
  awk -v r="$run" -v w="$wall" -v u="$user" -v s="$sys" -v l="$line" 'BEGIN {
    cpu = u + s
    printf "run %d: wall %.3f s = %.3f x line time; CPU %.3f s = %.2f %% of wall\n", r, w, w / l, cpu, 100 * cpu / w
  }'
done
