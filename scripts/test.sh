#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; then runs the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and last builds the Windows programs and runs
# their tests under Wine (scripts/test-windows.sh). Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZR250PRO_BUILD_GUI=OFF -DZR250PRO_SANITIZE=ON >/dev/null
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2

bash scripts/test-windows.sh
