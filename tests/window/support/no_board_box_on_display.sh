#!/bin/sh
# Starts the window program on the X display of the caller with a port where no board answers, and
# waits for the no-board message box, found by its caption exactly as a window manager shows it
# (_NET_WM_NAME: the caption with nothing appended).
#   no_board_box_on_display.sh WINDOW_PROGRAM WORK_FOLDER
set -u
program=$1 work=$2
cd "$work" || exit 2
QT_QPA_PLATFORM=xcb ZR250PRO_PORTS="$work/no-board" TMPDIR="$work" "$program" >program.log 2>&1 &
program_pid=$!
trap 'kill $program_pid 2>/dev/null' EXIT

captions() {
  for window in $(xwininfo -root -tree | awk '/"/ { print $1 }'); do
    xwininfo -id "$window" | grep -q IsViewable && xprop -id "$window" _NET_WM_NAME 2>/dev/null
  done
}

tries=0
until captions | grep -qx '_NET_WM_NAME(UTF8_STRING) = "ZR250Pro"'; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ]; then
    echo "no window captioned exactly ZR250Pro appeared; the captions are:" >&2
    captions >&2
    exit 4
  fi
  sleep 0.2
done
exit 0
