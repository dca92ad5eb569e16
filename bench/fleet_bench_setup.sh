# The set-up the fleet benches share, sourced by fleet_bench.sh and fleet_read_bench.sh: their
# arguments, a work folder, a way to stop the simulator, a default base and a roster of distinct
# individual calls.
build=${1:-build}
units=${2:-10}
gaps=${3:-0 500 2000}
cli="$build/src/cli/zr250pro-cli"
sim="$build/src/sim/zr250pro-sim"
[[ -x $cli && -x $sim ]] || { echo "build zr250pro-cli and zr250pro-sim in $build first" >&2; exit 2; }

work=$(mktemp -d)
sim_pid=
stop_sim() { [[ -n $sim_pid ]] && { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true; }; sim_pid=; }
trap 'stop_sim; rm -rf "$work"' EXIT
"$cli" default -o "$work/base.tbl"

# A roster of distinct individual calls: tone 1 walks up the standard tones, tone 2 stays.
tones=(330.5 349.0 368.5 389.0 410.8 433.7 457.9 483.5 510.5 539.0 569.1 600.9 634.5 669.9 707.3 746.8)
(( units <= ${#tones[@]} )) || { echo "at most ${#tones[@]} units" >&2; exit 2; }
{
  echo "unit,call1.tone1,call1.tone2"
  for i in $(seq "$units"); do printf 'P-%02d,%s,1092.4\n' "$i" "${tones[$((i - 1))]}"; done
} > "$work/fleet.csv"
