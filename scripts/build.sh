#!/usr/bin/env bash
# Configures and builds into build/: the named targets, or everything when none is named.
#   scripts/build.sh                                   # programs and tests
#   scripts/build.sh zr250pro zr250pro-cli zr250pro-sim
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if (($#)); then
  cmake --build build --target "$@"
else
  cmake --build build
fi
