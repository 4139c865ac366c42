#!/usr/bin/env bash
# A small default test on the current directory: 4 KiB to 1 MiB on a 64 MiB
# file at queue depth 4 with direct I/O, printed as a table.
#   bench/run-quick.sh [BUILD_DIR]
set -euo pipefail
BUILD=${1:-build}
RUNNER="$BUILD/bench/tarnwick-runner"
[ -x "$RUNNER" ] || { echo "run-quick: $RUNNER is missing; build first (make build)" >&2; exit 1; }
exec "$RUNNER" --target "${TARGET:-.}" --sizes 4KiB-1MiB --file 64MiB --qd 4 --direct
