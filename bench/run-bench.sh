#!/usr/bin/env bash
# Runs the engine (tarnwick-runner) and fio on the same target with the same
# settings and prints, per case and direction, both rates and their ratio.
#   bench/run-bench.sh [BUILD_DIR]
# BENCH_REPEAT=N runs every case N times and keeps each tool's best result.
set -euo pipefail

BUILD=${1:-build}
RUNNER="$BUILD/bench/tarnwick-runner"
REPEAT=${BENCH_REPEAT:-1}
RUNTIME=4

[ -x "$RUNNER" ] || { echo "run-bench: $RUNNER is missing; build first (make build)" >&2; exit 1; }
command -v fio >/dev/null || { echo "run-bench: fio is missing (make deps installs it)" >&2; exit 1; }
command -v jq >/dev/null || { echo "run-bench: jq is missing" >&2; exit 1; }

TARGET="$BUILD/bench-target"
rm -rf "$TARGET"
mkdir -p "$TARGET"
trap 'rm -rf "$TARGET"' EXIT

bytes_of() {   # 64KiB -> 65536
  local n=${1%%[KMG]iB}
  case $1 in
    *KiB) echo $((n << 10)) ;; *MiB) echo $((n << 20)) ;; *GiB) echo $((n << 30)) ;; *) echo "$1" ;;
  esac
}

# ours SIZE FILE QD DIRECT SYNC -> "wbps wiops rbps riops"
ours() {
  local args=(--target "$TARGET" --sizes "$1" --file "$2" --qd "$3" --machine)
  [ "$4" = 1 ] && args+=(--direct)
  [ "$5" = 1 ] && args+=(--write-through)
  "$RUNNER" "${args[@]}" 2>/dev/null | awk '$1 == "rate" { print $3, $4, $5, $6 }'
}

# The file fio measures on is laid out once per file size, written through
# like our test file is filled before its first phase.
FIO_FILE="$TARGET/fio.tst"
FIO_FILE_SIZE=0
fio_prepare() {
  local size; size=$(bytes_of "$1")
  [ "$FIO_FILE_SIZE" = "$size" ] && return
  rm -f "$FIO_FILE"
  local bs=1048576; [ "$size" -lt "$bs" ] && bs=$size
  fio --name=fill --filename="$FIO_FILE" --size="$size" --bs="$bs" --rw=write --direct=1 \
      --ioengine=psync --output=/dev/null
  FIO_FILE_SIZE=$size
}

# fio SIZE FILE QD DIRECT SYNC -> "wbps wiops rbps riops"
fio_rates() {
  fio_prepare "$2"
  local depth=$(( $3 - 1 )); [ "$depth" -lt 1 ] && depth=1
  local engine=io_uring; [ "$3" = 1 ] && engine=psync
  local sync=0; [ "$5" = 1 ] && sync=dsync
  fio --output-format=json --filename="$FIO_FILE" --size="$(bytes_of "$2")" --bs="$(bytes_of "$1")" \
      --direct="$4" --sync="$sync" --ioengine="$engine" --iodepth="$depth" \
      --time_based --runtime="$RUNTIME" --loops=1000000 \
      --name=w --rw=write --name=r --stonewall --rw=read |
    jq -r '[(.jobs[] | select(.jobname == "w") | .write.bw_bytes, .write.iops),
            (.jobs[] | select(.jobname == "r") | .read.bw_bytes, .read.iops)] | map(floor) | @tsv'
}

best() {   # keeps the larger of each field of two "a b c d" lines
  if [ -z "$1" ]; then echo "$2"; return; fi
  paste -d' ' <(echo "$1" | tr '\t ' '\n\n') <(echo "$2" | tr '\t ' '\n\n') |
    awk '{ printf "%s%s", (NR > 1 ? " " : ""), ($1 > $2 ? $1 : $2) } END { print "" }'
}

printf '%-34s %-5s %14s %14s %7s\n' "case" "dir" "tarnwick" "fio" "ratio"
run_case() {   # NAME SIZE FILE QD DIRECT SYNC UNIT(iops|mbs)
  local name=$1 size=$2 file=$3 qd=$4 direct=$5 sync=$6 unit=$7
  local o="" f="" r
  for _ in $(seq "$REPEAT"); do
    r=$(ours "$size" "$file" "$qd" "$direct" "$sync"); o=$(best "$o" "$r")
    r=$(fio_rates "$size" "$file" "$qd" "$direct" "$sync"); f=$(best "$f" "$r")
  done
  read -r owb owi orb ori <<<"$o"
  read -r fwb fwi frb fri <<<"$f"
  if [ -z "${owb:-}" ] || [ -z "${fwb:-}" ]; then
    printf '%-34s %s\n' "$name" "FAILED (tarnwick: '${o}', fio: '${f}')"; return
  fi
  for dir in write read; do
    local ov fv
    if [ "$unit" = iops ]; then
      if [ $dir = write ]; then ov=$owi fv=$fwi; else ov=$ori fv=$fri; fi
      awk -v n="$name" -v d=$dir -v o="$ov" -v f="$fv" \
        'BEGIN { printf "%-34s %-5s %9d IO/s %9d IO/s %7.2f\n", n, d, o, f, (f > 0 ? o / f : 0) }'
    else
      if [ $dir = write ]; then ov=$owb fv=$fwb; else ov=$orb fv=$frb; fi
      awk -v n="$name" -v d=$dir -v o="$ov" -v f="$fv" \
        'BEGIN { printf "%-34s %-5s %9.1f MB/s %9.1f MB/s %7.2f\n", n, d, o / 1e6, f / 1e6, (f > 0 ? o / f : 0) }'
    fi
    name=""
  done
}

run_case "512 B buffered QD 1, 64 KiB file" 512 64KiB 1 0 0 iops
for size in 4KiB 1MiB; do
  for qd in 1 4 32; do
    run_case "${size%%[KM]iB} ${size#[0-9]*} direct QD $qd, 256 MiB file" "$size" 256MiB "$qd" 1 0 mbs
  done
done

rss=$("$RUNNER" --target "$TARGET" --sizes 64MiB --file 256MiB --qd 256 --direct --machine 2>/dev/null |
      awk '$1 == "peak_rss_kib" { print $2 }')
echo
echo "peak resident memory, 64 MiB buffers at queue depth 256: ${rss:-?} KiB"

# The XML library's writer and parser on a 10 MB result-shaped document (Google Benchmark).
XML_BENCH="$BUILD/bench/bench_xml"
if [ -x "$XML_BENCH" ]; then
  echo
  echo "XML library throughput (MB/s per benchmark):"
  "$XML_BENCH" --benchmark_counters_tabular=true 2>/dev/null
fi
