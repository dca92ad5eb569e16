#!/usr/bin/env bash
# Writes through zr250pro-cli to zr250pro-sim paced like the real 9600 baud line, and compares each
# run's wall time with the time its own bytes need on the line plus the 10 ms pause after each piece
# sent. Also reports the CPU time the command line program used. Run on demand:
#
#   bash bench/write_bench.sh [BUILD_DIR] [RUNS] [trace]
#
# Cases: the full Write (32 pieces), and a Write of changed pieces only to a pager that differs from
# the image in 1 piece, in 3 (one call tone changed: its frequency, its code and the checksum) and in
# all 32. Every run starts a fresh simulated pager, so each one finds the same difference.
#
# Goal: each within 1.05 times the line time of its own bytes (3 changed pieces about 0.95 s, under
# half of the full Write's 2.14 s); the 32-piece case never more than the full Write plus one read of
# both halves; CPU time under 5 % of the wall time.
# With "trace" every Write also writes its trace (--trace), which must not slow it measurably.
set -euo pipefail

build=${1:-build}
runs=${2:-5}
trace_option=()
[[ ${3:-} == trace ]] && trace_option=(--trace)
cli="$build/src/cli/zr250pro-cli"
sim="$build/src/sim/zr250pro-sim"
[[ -x $cli && -x $sim ]] || { echo "build zr250pro-cli and zr250pro-sim in $build first" >&2; exit 2; }

work=$(mktemp -d)
sim_pid=
stop_sim() {
  [[ -n $sim_pid ]] || return 0
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
}
trap 'stop_sim; rm -rf "$work"' EXIT

# Sets the byte at OFFSET of FILE to its complement.
flip() {
  local value
  value=$(od -An -tu1 -j "$2" -N1 "$1")
  printf "\\x$(printf %02x $(( value ^ 0xFF )))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# The images: the built-in one, and the same with one call tone changed; the pager holds the built-in
# image as a Write leaves it, or that with bytes flipped in some pieces.
"$cli" default -o "$work/default.tbl"
"$cli" set "$work/default.tbl" -o "$work/tone.tbl" call1.tone1=600.9 > /dev/null
"$cli" seal "$work/default.tbl" -o "$work/pager.tbl"
cp "$work/pager.tbl" "$work/pager-1.tbl"
flip "$work/pager-1.tbl" 12
cp "$work/pager.tbl" "$work/pager-32.tbl"
for piece in $(seq 0 31); do flip "$work/pager-32.tbl" $(( piece * 8 + 4 )); done

# Bytes on the line, request plus reply: presence test 18+15, firmware version 18+17, tag 18+29, a
# piece 25+16, a read of one half 18+143. Ten bit times per byte (8N1).
opening=$(( 33 + 35 + 47 ))
piece=41
half=161

TIMEFORMAT='%R %U %S'
# bench_case NAME PAGER_TABLE FILE PIECES [--changed-only]
bench_case() {
  local name=$1 pager=$2 file=$3 pieces=$4 mode=${5:-}
  local reads=2 bytes line
  [[ -n $mode ]] && reads=4
  bytes=$(( opening + pieces * piece + reads * half ))
  line=$(awk -v b=$bytes -v p="$pieces" 'BEGIN { printf "%.3f", b * 10 / 9600 + p * 0.010 }')
  echo "$name: $bytes bytes at 9600 baud + $pieces x 10 ms = line time ${line} s"
  for run in $(seq "$runs"); do
    "$sim" --link "$work/port" --pace 9600 --table "$pager" > "$work/sim.out" &
    sim_pid=$!
    for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
    local times wall user sys
    times=$( { time "$cli" write $mode --port "$work/port" "${trace_option[@]}" ${trace_option:+"$work/trace.txt"} "$file" > "$work/out" 2> "$work/err"; } 2>&1 )
    stop_sim
    grep -q "Write Sucess !" "$work/out" || { echo "run $run: the Write failed: $(cat "$work/out")" >&2; exit 1; }
    grep -q "zr250pro-cli: $pieces of 32 pieces sent" "$work/err" ||
      { echo "run $run: expected $pieces pieces sent: $(cat "$work/err")" >&2; exit 1; }
    read -r wall user sys <<< "$times"
    awk -v r="$run" -v w="$wall" -v u="$user" -v s="$sys" -v l="$line" 'BEGIN {
      cpu = u + s
      printf "  run %d: wall %.3f s = %.3f x line time; CPU %.3f s = %.2f %% of wall\n", r, w, w / l, cpu, 100 * cpu / w
    }'
  done
}

bench_case "full Write" "$work/pager.tbl" "$work/default.tbl" 32
bench_case "changed only, 1 piece differs" "$work/pager-1.tbl" "$work/default.tbl" 1 --changed-only
bench_case "changed only, 3 pieces differ (one call tone)" "$work/pager.tbl" "$work/tone.tbl" 3 --changed-only
bench_case "changed only, all 32 pieces differ" "$work/pager-32.tbl" "$work/default.tbl" 32 --changed-only
