#!/usr/bin/env bash
# The page decoder's accuracy, false pages and speed on sound the bench makes itself (see
# bench/page_decoder_bench.cpp for the goals). Run on demand:
#
#   bash bench/page_decoder_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target page_decoder_bench >/dev/null
"$build/tests/audio/page_decoder_bench"
