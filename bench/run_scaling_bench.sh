#!/usr/bin/env bash
# Per-call cost of the object queries and the tool's report on generated
# files of growing size: 1 000, 5 000 and 10 000 blocks of one model, and
# 100, 1 000 and 5 000 components. Prints one row per file.
#
#   bash bench/run_scaling_bench.sh [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
DATA=${BENCH_DATA_DIR:-$BUILD_DIR/scale}
REPEATS=${1:-5}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DFLOWSUM_BENCH=ON -DFLOWSUM_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j2 --target make_large_summary scaling_bench flowsum_tool >/dev/null
mkdir -p "$DATA"
gen() { [ -f "$DATA/$1.sum" ] || "$BUILD_DIR/bench/make_large_summary" "$DATA/$1.sum" --model MIXER "${@:2}" >/dev/null; }
for n in 1000 5000 10000; do gen "b$n" --blocks "$n" --streams 2000 --components 10; done
for c in 100 1000 5000; do gen "c$c" --blocks 100 --streams 200 --components "$c"; done

# The fastest of REPEATS runs of the tool's default report, in seconds.
report_time() {
  local best=""
  for _ in $(seq "$REPEATS"); do
    local t0 t1
    t0=$(date +%s%N)
    "$BUILD_DIR/flowsum" "$1" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    local t=$(( (t1 - t0) / 1000 ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}
for f in b1000 b5000 b10000 c100 c1000 c5000; do
  line=$("$BUILD_DIR/bench/scaling_bench" "$DATA/$f.sum" "$REPEATS" 200)
  echo "$line | report $(report_time "$DATA/$f.sum") us"
done
