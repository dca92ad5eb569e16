#!/usr/bin/env bash
# Installs what is needed, builds, and shows the pager image the program starts with.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
default_table="$(mktemp --suffix=.tbl)"
trap 'rm -f "$default_table"' EXIT
build/src/cli/zr250pro-cli default -o "$default_table"
build/src/cli/zr250pro-cli show "$default_table"
