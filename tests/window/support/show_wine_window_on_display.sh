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
. "$(dirname "$0")/window_screenshot.sh"
screenshot_when_shown "$program_pid" "$screenshot" 60 5  # Wine starts slower; the check and its notice
