#!/usr/bin/env bash
# Builds the Windows programs (the window, the command line and their tests) with MinGW-w64 into
# build-windows/ and runs their tests under Wine; the window's Qt is built first from Debian's source
# when build-windows/qt6 does not hold it yet (scripts/build-qt-windows.sh). Needs the Linux build in
# build/ for the simulator: one simulated board that answers on COM20 and one that stays silent on
# COM21. Packs the zip with both programs, and takes a screenshot of the window under Wine on a
# virtual display (build-windows/window-under-wine.png). Fails when any test fails.
#
# The Wine prefix lives in build-windows/wine-prefix. Its registry gives every COM number a fixed
# meaning before Wine first starts: COM20 and COM21 lead to the simulators, all others to nothing,
# so no test can reach a real serial device through another COM number. (Wine would otherwise map
# the machine's /dev/ttyS0, here the system console, to COM1; it gets COM256, which nothing opens.)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
windows_build="$root/build-windows"
simulator="$root/build/src/sim/zr250pro-sim"

for tool in x86_64-w64-mingw32-g++-posix wine wineserver; do
  if ! command -v "$tool" >/dev/null; then
    echo "windows: $tool is missing; scripts/install-deps.sh installs it" >&2
    exit 1
  fi
done

step_start=$SECONDS
step() { echo "windows: $1 ($((SECONDS - step_start)) s)"; step_start=$SECONDS; }

scripts/build-qt-windows.sh
step "Qt for Windows ready"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZR250PRO_BUILD_GUI=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$windows_build/qt6" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${launcher[@]}" >/dev/null
cmake --build "$windows_build" -j2
step "built"

if [ ! -x "$simulator" ]; then
  echo "windows: $simulator is missing; build the Linux programs first (scripts/build.sh)" >&2
  exit 1
fi

export WINEPREFIX="$windows_build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser engine: nothing asks to install them
ports="$windows_build/wine-ports"
board_link="$ports/board"
silent_link="$ports/silent"

# A prefix made for another folder maps COM20 and COM21 to links that are not this run's.
if [ ! -f "$WINEPREFIX/.update-timestamp" ] || [ "$(cat "$WINEPREFIX/zr250pro-ports" 2>/dev/null)" != "$ports" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  {
    printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n'
    printf '[Software\\\\Wine\\\\Ports]\n'
    for n in $(seq 1 256); do
      case $n in
      20) printf '"COM20"="%s"\n' "$board_link" ;;
      21) printf '"COM21"="%s"\n' "$silent_link" ;;
      *) printf '"COM%d"=""\n' "$n" ;;
      esac
    done
  } >"$WINEPREFIX/system.reg"
  wineboot --init >"$windows_build/wineboot.log" 2>&1
  wineserver --wait
  echo "$ports" >"$WINEPREFIX/zr250pro-ports"
  step "Wine prefix created"
fi
for low in com1 com2 com3 com4; do
  if [ -e "$WINEPREFIX/dosdevices/$low" ] || [ -L "$WINEPREFIX/dosdevices/$low" ]; then
    echo "windows: the Wine prefix maps ${low^^} ($(readlink "$WINEPREFIX/dosdevices/$low")); refusing to run" >&2
    exit 1
  fi
done

simulators=()
stop_all() {
  for pid in "${simulators[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${simulators[@]}"; do wait "$pid" 2>/dev/null || true; done
  wineserver --kill 2>/dev/null || true
}
trap stop_all EXIT
mkdir -p "$ports"
"$simulator" --link "$board_link" >"$ports/board.log" 2>&1 &
simulators+=($!)
"$simulator" --silent --link "$silent_link" >"$ports/silent.log" 2>&1 &
simulators+=($!)
for _ in $(seq 50); do
  [ -e "$board_link" ] && [ -e "$silent_link" ] && break
  sleep 0.1
done
if [ ! -e "$board_link" ] || [ ! -e "$silent_link" ]; then
  echo "windows: the simulated boards did not start" >&2
  exit 1
fi

# Nothing enumerates the machine's ports: the list is the two simulated boards.
export ZR250PRO_PORTS="COM20:COM21"
export ZR250PRO_TEST_BOARD_PORT=COM20
export ZR250PRO_TEST_SILENT_PORT=COM21
# The window's tests draw on a virtual display of their own, through Qt's Windows platform, inside a
# desktop of Wine's own, which activates and focuses their windows as Windows does (the display has
# no window manager that would; without it the suites take minutes each).
wine_desktop() {
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x900 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  fi
  wineserver --wait
}
wine_desktop on
status=0
# One at a time: Wine programs started together may end at once with no output.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$windows_build" --output-on-failure || status=$?
wineserver --kill 2>/dev/null || true  # Wine's processes of that display end with it
# The window's suites write their results to a file: show those of the suites that failed.
failed="$windows_build/Testing/Temporary/LastTestsFailed.log"
if [ "$status" -ne 0 ] && [ -f "$failed" ]; then
  for suite in $(sed -n 's/^[0-9]*:window\.//p' "$failed"); do
    echo "windows: $suite under Wine:"
    grep -v '^QCRITICAL\|^PASS' "$windows_build/tests/window/$suite-results.txt" 2>/dev/null | sed 's/^/  /' || true
  done
fi
step "tests run under Wine"

# The Windows command line and the Linux one read the same pager into the same table file.
rm -f "$ports/read-windows.tbl" "$ports/read-linux.tbl"
if wine "$windows_build/src/cli/zr250pro-cli.exe" read --port COM20 -o "$ports/read-windows.tbl" >/dev/null 2>&1 &&
  "$root/build/src/cli/zr250pro-cli" read --port "$board_link" -o "$ports/read-linux.tbl" >/dev/null 2>&1 &&
  cmp "$ports/read-windows.tbl" "$ports/read-linux.tbl"; then
  echo "windows: zr250pro-cli.exe read on COM20 wrote the same table file as the Linux build"
else
  echo "windows: FAILED: zr250pro-cli.exe read on COM20 did not write the Linux build's table file" >&2
  status=1
fi

# A table written to standard output is the file's 256 bytes: no line feed grows a carriage return.
rm -f "$ports/default.tbl" "$ports/default-stdout.tbl"
if wine "$windows_build/src/cli/zr250pro-cli.exe" default -o "$ports/default.tbl" >/dev/null 2>&1 &&
  wine "$windows_build/src/cli/zr250pro-cli.exe" default -o - >"$ports/default-stdout.tbl" 2>/dev/null &&
  cmp "$ports/default.tbl" "$ports/default-stdout.tbl"; then
  echo "windows: zr250pro-cli.exe default -o - wrote the table file's bytes to standard output"
else
  echo "windows: FAILED: zr250pro-cli.exe default -o - did not write the table file's bytes" >&2
  status=1
fi

# The window as a technician starts it: unpacked beside nothing, on the board of COM20. Its own X
# window, so that the screenshot script finds it and any message box by name: no Wine desktop.
wine_desktop off
shot="$windows_build/window-under-wine.png"
rm -f "$shot"
if ZR250PRO_PORTS=COM20 xvfb-run -a -s "-screen 0 1280x900x24" sh "$root/tests/window/support/show_wine_window_on_display.sh" \
  "$windows_build/src/shell/zr250pro.exe" "$shot" "$ports/window.log"; then
  echo "windows: zr250pro.exe started under Wine and found the board on COM20; screenshot: $shot"
else
  echo "windows: FAILED: zr250pro.exe did not start under Wine with the board found on COM20 (see $ports/window.log)" >&2
  status=1
fi
step "window started under Wine"

# The zip holds both programs and the README.
rm -f "$windows_build"/zr250pro-*-windows-x86_64.zip
(cd "$windows_build" && cpack >/dev/null)
zip_contents=$(cmake -E tar tf "$windows_build"/zr250pro-*-windows-x86_64.zip)
for file in zr250pro.exe zr250pro-cli.exe README.md; do
  if ! grep -qE "(^|/)$file\$" <<<"$zip_contents"; then
    echo "windows: FAILED: the zip does not hold $file" >&2
    status=1
  fi
done
echo "windows: $(basename "$windows_build"/zr250pro-*-windows-x86_64.zip) holds zr250pro.exe, zr250pro-cli.exe and README.md"

# Tests that do not apply under Wine say so; show them, with their reasons.
log="$windows_build/Testing/Temporary/LastTest.log"
if [ -f "$log" ] && grep -q '^\[  SKIPPED \]' "$log"; then
  echo "windows: tests skipped under Wine, each with where and why:"
  grep -B1 -A1 ': Skipped$' "$log" | grep -v '^--$' | sed 's/^/  /'
fi
for results in "$windows_build"/tests/window/*-results.txt; do
  [ -f "$results" ] && grep -h '^SKIP' "$results" | sed 's/^SKIP *: /  /' || true
done
cat <<'TEXT'
windows: not built for Windows, so not run under Wine:
  test pages and recordings (the window's Test Page and Decode Recording, their test and the command
    line's page commands): Debian has no libsndfile, FFTW or Qt Multimedia for MinGW;
  the pager card and fleet sheet tests and the window's card_menu_test: they read the PDF back with
    poppler's pdftotext, a program of the build machine (the window paints them with the same code as
    on Linux);
  device_menu_test, front_ends_test and fleet_dialog_test of the window: they run the simulator
    inside the test (device_menu_win32_test runs Read, Write, Verify and the no-board messages from
    the Pager menu against COM20 and COM21 instead); screenshot_test: its X display tools are the
    build machine's (the test command takes the screenshot of the Windows window itself);
  comm_port_test: it drives the POSIX terminal port on pseudo-terminals (comm_port_win32_test covers
    the Win32 port instead, against the simulators on COM20 and COM21);
  device_operations_test, cli_device_test, board_scan_test, port_failure_test, link_trace_test and
    port_report_test: they run the simulator, a pseudo-terminal program, inside the test or as a
    child process (comm_port_win32_test runs the scan, doctor and --trace against COM20 and COM21);
  save_targets_test: devices, FIFOs, sockets, owners, modes and killed saves are POSIX's (the save
    itself, names beyond ASCII and the backup are in table_files_test);
  cli_conventions_test: it drives the command line through a POSIX shell (pipes, /dev/stdout, bash
    completion);
  roster_cli_test, fleet_write_test, fleet_read_test and fleet_simulator_test: they run the command
    line through a POSIX shell and the fleet simulator on pseudo-terminals (the roster reader, the
    tone plan check and which unit a pager is run under Wine).
TEXT
exit "$status"
