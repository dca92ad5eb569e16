#!/bin/sh
# Starts the Windows window program under Wine on the X display of the caller, waits for the main
# window, checks that no message box came up at start (the board behind the port list was found),
# and takes a screenshot of the whole screen. The caller sets WINEPREFIX and ZR250PRO_PORTS.
#   show_wine_window_on_display.sh WINDOW_PROGRAM SCREENSHOT LOG
set -u
program=$1 screenshot=$2 log=$3
program_pid=""
trap 'kill $program_pid 2>/dev/null; wineserver --kill 2>/dev/null' EXIT

QT_QPA_PLATFORM=windows wine "$program" >"$log" 2>&1 &
program_pid=$!
tries=0
until xwininfo -name "ZR250Pro V1.0.7" 2>/dev/null | grep -q IsViewable; do
  tries=$((tries + 1)); [ $tries -gt 300 ] && { echo "the main window did not appear" >&2; exit 4; }
  sleep 0.2
done
sleep 5  # the start-up check with its notice, then painting
status=0
if xwininfo -name "ZR250Pro" 2>/dev/null | grep -q IsViewable; then
  echo "a message box is open: the board was not found" >&2
  status=5
fi
import -window root "$screenshot" || status=6
kill -0 "$program_pid" 2>/dev/null || { echo "the window program ended" >&2; status=7; }
exit $status
