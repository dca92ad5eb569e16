#!/usr/bin/env bash
# Installs what is needed, builds, and starts the programming window.
#
# With no port list given (ZR250PRO_PORTS unset), a simulated programming board with a pager behind
# it (zr250pro-sim) is started on a pseudo-terminal and offered as the only port, so the board is
# found at start-up and Read, Write and Verify work at once. To use a real programming board, name
# its port: ZR250PRO_PORTS=ttyUSB0 bash scripts/start.sh (or run build/src/shell/zr250pro, which
# lists the serial ports of the machine).
set -euo pipefail
cd "$(dirname "$0")/.."

# Said before anything is installed or built: without a display there is nothing to start.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'TEXT'
zr250pro: there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or on a virtual display with:
  xvfb-run -a -s "-screen 0 1280x900x24" bash scripts/start.sh
TEXT
  exit 1
fi

scripts/install-deps.sh
# The three programs only; the test command builds the tests.
scripts/build.sh zr250pro zr250pro-cli zr250pro-sim

simulator_pid=""
work="$(mktemp -d)"
trap 'if [ -n "$simulator_pid" ]; then kill "$simulator_pid" 2>/dev/null; wait "$simulator_pid" 2>/dev/null; fi; rm -rf "$work"' EXIT

if [ -z "${ZR250PRO_PORTS+set}" ]; then
  build/src/sim/zr250pro-sim --link "$work/simulated-pager" &
  simulator_pid=$!
  for _ in $(seq 50); do
    [ -e "$work/simulated-pager" ] && break
    sleep 0.1
  done
  if [ ! -e "$work/simulated-pager" ]; then
    echo "zr250pro: the simulated pager did not start" >&2
    exit 1
  fi
  export ZR250PRO_PORTS="$work/simulated-pager"
  echo "zr250pro: no port given; using the simulated pager at $ZR250PRO_PORTS"
fi

build/src/shell/zr250pro
