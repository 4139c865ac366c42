#!/usr/bin/env bash
# make run: with a display, starts the program's window. Without one, runs the
# bundled quick test (examples/quick.bmk: 4 KiB to 1 MiB on a 64 MiB file at
# queue depth 4 with direct I/O) unattended in a fresh directory under the
# build folder and prints its log lines and results table; the saved results
# (quick.bmk) and the run log (quick.log) stay in that directory.
#   bench/run-quick.sh [BUILD_DIR]
set -euo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM="$BUILD/app/tarnwick"
RUNNER="$BUILD/bench/tarnwick-runner"

if [ ! -x "$PROGRAM" ]; then
    # A build without the window (TARNWICK_GUI=OFF) still has the console runner.
    [ -x "$RUNNER" ] || { echo "run-quick: $PROGRAM is missing; build first (make build)" >&2; exit 1; }
    exec "$RUNNER" --target "${TARGET:-.}" --sizes 4KiB-1MiB --file 64MiB --qd 4 --direct
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$PROGRAM"
fi

mkdir -p "$BUILD"
DIR=$(mktemp -d "$(cd "$BUILD" && pwd)/run-quick.XXXXXX")
# The target goes into the copy as XML text.
TARGET_TEXT=$DIR
TARGET_TEXT=${TARGET_TEXT//&/&amp;}
TARGET_TEXT=${TARGET_TEXT//</&lt;}
TARGET_TEXT=${TARGET_TEXT//>/&gt;}
TARGET_TEXT=${TARGET_TEXT//\"/&quot;}
# The lines keep their CR LF ends: read leaves the CR on each line.
while IFS= read -r line; do
    if [[ $line == *"<drive>"*"</drive>"* ]]; then
        printf '  <drive>%s</drive>\r\n' "$TARGET_TEXT"
    else
        printf '%s\n' "$line"
    fi
done < "$ROOT/examples/quick.bmk" > "$DIR/quick.bmk"

echo "run-quick: unattended quick test in $DIR"
status=0
"$PROGRAM" -f "$DIR/quick.bmk" -x || status=$?
echo "run-quick: results saved in $DIR/quick.bmk, run log in $DIR/quick.log"
exit "$status"
