#!/usr/bin/env bash
# Builds the Debian package from build/ and has lintian check it: no error and no warning may remain.
# lintian is large, so it is installed here rather than with the build's dependencies; where it
# cannot be installed the check is skipped with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v lintian >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
         $sudo apt-get install -y -qq --no-install-recommends lintian >/dev/null; } 2>/dev/null; then
    echo "lint-package.sh: skipped: lintian cannot be installed here" >&2
    exit 0
  fi
fi

rm -f build/zr250pro_*.deb
(cd build && cpack -G DEB >/dev/null)
lintian --fail-on error,warning --info build/zr250pro_*.deb
echo "lint-package.sh: lintian finds no error and no warning in $(basename build/zr250pro_*.deb)"
