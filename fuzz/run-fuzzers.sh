#!/bin/sh
# Runs every fuzzer of a fuzz build for a while, each on a scratch copy of its seed corpus
# from tests/fuzz-corpus/<fuzzer name>/, so the checked-in seeds never grow.
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS
set -eu
build=${1:-build-fuzz}
seconds=${2:-120}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
found=0
for fuzzer in "$build"/fuzz/Fuzz*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
  found=1
  name=$(basename "$fuzzer")
  corpus="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "$root/tests/fuzz-corpus/$name" ]; then
    cp -f "$root/tests/fuzz-corpus/$name"/* "$corpus"/ 2>/dev/null || true
  fi
  echo "== $name for $seconds s (corpus $corpus)"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$artifacts/" "$corpus"; then
    echo "== $name found a problem; the input is in $artifacts/"
    status=1
  fi
done
if [ "$found" = 0 ]; then
  echo "No fuzzers in $build/fuzz" >&2
  exit 1
fi
exit $status
