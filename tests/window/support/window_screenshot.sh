# Sourced by the scripts that start the window program on a display.
# screenshot_when_shown PROGRAM_PID SCREENSHOT WAIT_SECONDS SETTLE_SECONDS: waits up to WAIT_SECONDS
# for the main window, lets the start-up check and painting settle, checks that no message box came
# up (the board was found) and takes a screenshot of the whole screen. Returns 0, or what failed.
screenshot_when_shown() {
  tries=0
  until xwininfo -name "ZR250Pro V1.0.7" 2>/dev/null | grep -q IsViewable; do
    tries=$((tries + 1)); [ $tries -gt $(($3 * 5)) ] && { echo "the main window did not appear" >&2; return 4; }
    sleep 0.2
  done
  sleep "$4"
  shown=0
  if xwininfo -name "ZR250Pro" 2>/dev/null | grep -q IsViewable; then
    echo "a message box is open: the board was not found" >&2
    shown=5
  fi
  import -window root "$2" || shown=6
  kill -0 "$1" 2>/dev/null || { echo "the window program ended" >&2; shown=7; }
  return $shown
}
