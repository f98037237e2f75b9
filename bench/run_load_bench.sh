#!/usr/bin/env bash
# Load benchmark with its anchors, all measured on the same generated file:
#   - the library's full load (TKOPEN, TKINI2, TKCLOS), fastest of 7 repetitions;
#   - `wc -l FILE`, fastest of 7 runs: the cost of merely reading the file;
#   - the line-by-line formatted I/O baseline (original_io_baseline.f90 in the
#     shared bench folder, built with gfortran -O2), fastest of 3 runs;
#   - the peak resident memory of a process that only loads the file.
# It prints the three ratios and their targets:
#   load / wc -l            <= 4
#   baseline / load         >= 10
#   peak RSS                <= file size + 40 MB
#
# Usage: bench/run_load_bench.sh [--regenerate]
# Environment: BUILD_DIR (default build-bench in the repository),
#              BENCH_DATA_DIR (default $BUILD_DIR/bench-data; the generated
#              file lives there and is never part of the repository),
#              IO_BASELINE_SRC (default ../shared/bench/original_io_baseline.f90
#              beside the repository).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
data=${BENCH_DATA_DIR:-$build/bench-data}
baseline_src=${IO_BASELINE_SRC:-$repo/../shared/bench/original_io_baseline.f90}
file=$data/large.sum

echo "== building (Release) in $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFLOWSUM_BENCH=ON -DFLOWSUM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target make_large_summary load_bench load_peak_memory >/dev/null

mkdir -p "$data"
if [[ ! -s $file || ${1:-} == --regenerate ]]; then
  echo "== generating $file"
  "$build/bench/make_large_summary" "$file"
fi
bytes=$(stat -c %s "$file")
echo "   file: $bytes bytes, $(wc -l <"$file") lines, $(grep -c '^ DSET ' "$file") data sets"

have_baseline=0
if [[ -f $baseline_src ]] && command -v gfortran >/dev/null; then
  gfortran -O2 -o "$build/original_io_baseline" "$baseline_src"
  have_baseline=1
else
  echo "   (no I/O baseline: $baseline_src or gfortran missing)"
fi

# Fastest wall time of N runs of a command, in seconds.
fastest() {
  local n=$1; shift
  local best=""
  for ((i = 0; i < n; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    local d=$((t1 - t0))
    if [[ -z $best || $d -lt $best ]]; then best=$d; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.6f", ns / 1e9 }'
}

cat "$file" >/dev/null  # the file is in the page cache for every measurement

echo "== wc -l"
wc_s=$(fastest 7 wc -l "$file")
echo "   fastest: $wc_s s"

if ((have_baseline)); then
  echo "== I/O baseline (gfortran -O2)"
  base_s=$(cd "$data" && TMPDIR="$data" fastest 3 "$build/original_io_baseline" "$file")
  echo "   fastest: $base_s s"
fi

echo "== load benchmark"
"$build/bench/load_bench" --benchmark_report_aggregates_only=true "$file" | tee "$data/load_bench.out"
load_s=$(sed -n 's/.*FLOWSUM_LOAD_MIN_SECONDS=\([0-9.]*\).*/\1/p' "$data/load_bench.out")
mbps=$(sed -n 's/.*FLOWSUM_LOAD_MB_PER_S=\([0-9.]*\).*/\1/p' "$data/load_bench.out")
[[ -n $load_s ]] || { echo "load benchmark failed"; exit 1; }

echo "== peak memory of one load"
rss_line=$("$build/bench/load_peak_memory" "$file")
rss_kb=$(sed -n 's/.*FLOWSUM_PEAK_RSS_KB=\([0-9]*\).*/\1/p' <<<"$rss_line")
echo "   $rss_line"

echo
echo "== results on $((bytes / 1000000)) MB"
awk -v load="$load_s" -v mbps="$mbps" -v wc="$wc_s" -v base="${base_s:-}" \
    -v rss="$rss_kb" -v bytes="$bytes" 'BEGIN {
  printf "load (fastest)        %.3f s   %.1f MB/s\n", load, mbps
  r = load / wc
  printf "load / wc -l          %.2f   (wc -l %.3f s; target <= 4: %s)\n", r, wc, (r <= 4) ? "met" : "missed"
  if (base != "") {
    r = base / load
    printf "baseline / load       %.2f   (baseline %.3f s; target >= 10: %s)\n", r, base, (r >= 10) ? "met" : "missed"
  }
  limit = bytes / 1048576 + 40
  peak = rss / 1024
  printf "peak RSS              %.1f MiB  (file + 40 MiB = %.1f MiB: %s)\n", peak, limit, (peak <= limit) ? "met" : "missed"
}'
