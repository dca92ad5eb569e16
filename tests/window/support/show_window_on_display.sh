#!/bin/sh
# Starts the simulated pager and the window program on the X display of the caller, waits for the
# main window, checks that no message box came up at start (the board was found), and takes a
# screenshot of the whole screen.
#   show_window_on_display.sh WINDOW_PROGRAM SIMULATOR SCREENSHOT WORK_FOLDER
set -u
program=$1 simulator=$2 screenshot=$3 work=$4
cd "$work" || exit 2
program_pid="" simulator_pid=""
trap 'kill $program_pid $simulator_pid 2>/dev/null' EXIT

"$simulator" --link "$work/pager" >simulator.log 2>&1 &
simulator_pid=$!
tries=0
until [ -e "$work/pager" ]; do
  tries=$((tries + 1)); [ $tries -gt 100 ] && { echo "the simulator did not start" >&2; exit 3; }
  sleep 0.1
done

QT_QPA_PLATFORM=xcb ZR250PRO_PORTS="$work/pager" TMPDIR="$work" "$program" >program.log 2>&1 &
program_pid=$!
. "$(dirname "$0")/window_screenshot.sh"
screenshot_when_shown "$program_pid" "$screenshot" 20 2  # 2 s: the start-up check with its notice
