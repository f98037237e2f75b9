#!/usr/bin/env bash
# Pathological shapes against the generated benchmark file, in one run:
# each file is loaded 3 times by `pathological_shapes load` and the least CPU
# time is kept with the peak resident memory. Printed per megabyte of file:
#   CPU ms per MB, and its ratio to the benchmark file's;
#   memory above a load of the small example file, in MB per MB of file, and
#   its ratio to the benchmark file's.
# The bound (bench/README.md): every ratio at most 1.
#
# Usage: bench/run_shape_bench.sh [MB]   (size of each shape file, default 100)
# Environment: BUILD_DIR (default build-bench), BENCH_DATA_DIR (default
#              $BUILD_DIR/bench-data; the files live there).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
data=${BENCH_DATA_DIR:-$build/bench-data}
mb=${1:-100}

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFLOWSUM_BENCH=ON -DFLOWSUM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target make_large_summary pathological_shapes >/dev/null
tool=$build/bench/pathological_shapes
mkdir -p "$data"
[[ -s $data/large.sum ]] || "$build/bench/make_large_summary" "$data/large.sum" >/dev/null
for shape in empty-lines blank-lines no-header long-line tiny-datasets; do
  f=$data/shape-$shape-$mb.sum
  [[ -s $f ]] || "$tool" write "$shape" "$f" "$mb"
done
# As many tiny data sets as the work area holds (about 140 000).
tiny=$data/shape-tiny-datasets-5.sum
[[ -s $tiny ]] || "$tool" write tiny-datasets "$tiny" 5
# The benchmark file cut inside its last data set.
cut=$data/large-cut.sum
[[ -s $cut ]] || head -c $(($(stat -c %s "$data/large.sum") - 20)) "$data/large.sum" >"$cut"

# "cpu_s rss_kb ierr warnings" of the fastest of 3 loads.
measure() {
  local best=""
  for _ in 1 2 3; do
    local out
    out=$("$tool" load "$@")
    local cpu rss ierr warn
    cpu=$(sed -E 's/.*CPU_S=([0-9.]+).*/\1/' <<<"$out")
    rss=$(sed -E 's/.*PEAK_RSS_KB=([0-9]+).*/\1/' <<<"$out")
    ierr=$(sed -E 's/.*IERR=(-?[0-9]+).*/\1/' <<<"$out")
    warn=$(sed -E 's/.*WARNINGS=([0-9]+).*/\1/' <<<"$out")
    if [[ -z $best ]] || awk -v a="$cpu" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best="$cpu $rss $ierr $warn"
    fi
  done
  echo "$best"
}

read -r _ fixed_kb _ _ <<<"$(measure "$repo/examples/flowsheet.sum")"
read -r ref_cpu ref_kb _ _ <<<"$(measure "$data/large.sum")"
ref_mb=$(awk -v b="$(stat -c %s "$data/large.sum")" 'BEGIN { print b / 1e6 }')
ref_cpu_mb=$(awk -v c="$ref_cpu" -v m="$ref_mb" 'BEGIN { print 1000 * c / m }')
ref_mem_mb=$(awk -v k="$ref_kb" -v f="$fixed_kb" -v m="$ref_mb" 'BEGIN { print (k - f) / 1024 / m }')
printf "fixed memory (example file): %.1f MB\n" "$(awk -v k="$fixed_kb" 'BEGIN { print k / 1024 }')"
printf "%-22s %7s %5s %5s %8s %9s %7s %8s %9s %7s\n" file MB IERR warn "CPU ms" "CPU ms/MB" ratio "mem MB" "mem MB/MB" ratio
row() {
  local name=$1; shift
  local file=$1
  read -r cpu kb ierr warn <<<"$(measure "$@")"
  awk -v n="$name" -v b="$(stat -c %s "$file")" -v c="$cpu" -v k="$kb" -v f="$fixed_kb" \
      -v rc="$ref_cpu_mb" -v rm="$ref_mem_mb" -v e="$ierr" -v w="$warn" 'BEGIN {
    m = b / 1e6; cm = 1000 * c / m; mm = (k - f) / 1024 / m; if (mm < 0) mm = 0;
    printf "%-22s %7.1f %5d %5d %8.1f %9.3f %7.2f %8.1f %9.3f %7.2f\n", n, m, e, w, 1000 * c, cm, cm / rc, mm * m, mm, mm / rm }'
}
row large.sum "$data/large.sum"
row "large.sum via a pipe" "$data/large.sum" --pipe
row "large.sum cut" "$cut"
for shape in empty-lines blank-lines no-header long-line tiny-datasets; do
  row "$shape" "$data/shape-$shape-$mb.sum"
done
row "tiny-datasets (fits)" "$tiny"
