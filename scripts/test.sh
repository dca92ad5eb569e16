#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; then checks the Debian package with lintian
# and runs the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer. Fails when
# any test or check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
scripts/lint-package.sh

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZR250PRO_BUILD_GUI=OFF -DZR250PRO_SANITIZE=ON >/dev/null
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2
