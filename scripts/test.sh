#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; then checks the Debian package with lintian,
# runs the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer, and last builds
# the Windows programs and runs their tests under Wine (scripts/test-windows.sh), with the Qt they
# need built in the background from the start. Fails when any test or check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Qt for Windows takes longest to build and needs nothing of the rest: it is built meanwhile, in a
# session of its own at the lowest priority (its autogroup's), so that it takes only the time the
# Linux build and tests leave over.
mkdir -p build-windows
setsid --wait bash -c 'echo 19 >/proc/self/autogroup 2>/dev/null; exec scripts/build-qt-windows.sh' \
  >build-windows/qt6-run.log 2>&1 &
qt_build=$!
trap 'kill -- -$qt_build 2>/dev/null || true' EXIT

scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
scripts/lint-package.sh

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZR250PRO_BUILD_GUI=OFF -DZR250PRO_SANITIZE=ON >/dev/null
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2

if ! wait "$qt_build"; then
  tail -n 40 build-windows/qt6-run.log >&2
  echo "Qt for Windows did not build; see build-windows/qt6-run.log" >&2
  exit 1
fi
cat build-windows/qt6-run.log
bash scripts/test-windows.sh
