#!/usr/bin/env bash
# Time and memory of zr250pro-cli roster check on fleets of 1,000, 10,000 and 50,000 units, most of
# them sharing the base's call 1 (a roster that only names its units), every 20th unit on a call of
# its own walked through the standard tones, some of them near one another. Run on demand:
#
#   bash bench/roster_check_bench.sh [BUILD_DIR] [UNITS...]
#
# Goal: the time grows about linearly with the units; 10,000 units in 2 s or less and 200 MB or less.
set -euo pipefail

build=${1:-build}
shift || true
sizes=("$@")
((${#sizes[@]})) || sizes=(1000 10000 50000)
cli="$build/src/cli/zr250pro-cli"
[[ -x $cli ]] || { echo "build zr250pro-cli in $build first" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" default -o "$work/base.tbl"

tones=(330.5 349.0 368.5 389.0 410.8 433.7 457.9 483.5 510.5 524.6 524.8 539.0 562.3 562.5 569.1 600.9 634.5
  669.9 707.3 746.8 788.5 832.5 879.0 928.1 979.9 1034.7 1092.4 1153.4 1217.8 1285.8 1357.6 1433.4)
printf '%8s %9s %9s %10s %9s\n' units seconds "MB peak" problems "out MB"
for units in "${sizes[@]}"; do
  roster="$work/fleet-$units.csv"
  {
    echo "unit,call1.tone1,call1.tone2"
    for ((n = 1; n <= units; ++n)); do
      if ((n % 20)); then
        echo "Unit $n,,"
      else
        k=$((n / 20))
        echo "Unit $n,${tones[k % ${#tones[@]}]},${tones[(k / ${#tones[@]} + 3) % ${#tones[@]}]}"
      fi
    done
  } > "$roster"
  status=0
  /usr/bin/time -f '%e %M' -o "$work/time" "$cli" roster check "$work/base.tbl" "$roster" > "$work/out" || status=$?
  ((status <= 1)) || { echo "roster check failed ($status)" >&2; tail -3 "$work/out" >&2; exit 1; }
  read -r seconds kilobytes < <(tail -1 "$work/time")
  printf '%8d %9s %9d %10s %9.1f\n' "$units" "$seconds" $((kilobytes / 1024)) \
    "$(tail -1 "$work/out" | grep -o '[0-9]* tone plan problem' | cut -d' ' -f1)" \
    "$(echo "$(stat -c %s "$work/out") / 1048576" | bc -l)"
done
