#!/usr/bin/env bash
# The tool's default report against a run of the tool that only loads the
# same file (it asks for a stream the file does not hold, so it loads, finds
# nothing and exits), both as whole processes. Runs alternate, report and
# load, so that a drift in the machine's speed touches both; the fastest of
# REPEATS runs of each counts. Prints wall and CPU (user + system) seconds
# and the report's time over the load's; the target is at most 3.
#
#   bash bench/run_report_bench.sh [REPEATS] [--instructions]
#
# --instructions also counts the instructions of both runs under
# valgrind's callgrind on a smaller generated file (1 000 streams, 450
# blocks): slow, but the same count on every run however busy the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
DATA=${BENCH_DATA_DIR:-$BUILD_DIR/bench-data}
REPEATS=5
INSTRUCTIONS=0
for a in "$@"; do
  case "$a" in
    --instructions) INSTRUCTIONS=1 ;;
    *) REPEATS=$a ;;
  esac
done
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DFLOWSUM_BENCH=ON -DFLOWSUM_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j2 --target make_large_summary flowsum_tool >/dev/null
mkdir -p "$DATA"
FILE=${REPORT_BENCH_FILE:-$DATA/large.sum}
[ -f "$FILE" ] || "$BUILD_DIR/bench/make_large_summary" "$FILE" >/dev/null
TOOL="$BUILD_DIR/flowsum"
LOAD_ONLY=(--stream flowsum-bench-no-such-stream)

# One run of the tool with the given arguments: "WALL CPU" in seconds.
one() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$TOOL" "$@" >/dev/null 2>&1 || true; } 2>&1 )
  echo "$t" | awk '{printf "%s %.3f\n", $1, $2 + $3}'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }'; }

rw="" rc="" lw="" lc=""
for _ in $(seq "$REPEATS"); do
  read -r w c < <(one "${LOAD_ONLY[@]}" "$FILE")
  lw=$(min "$w" "$lw"); lc=$(min "$c" "$lc")
  read -r w c < <(one "$FILE")
  rw=$(min "$w" "$rw"); rc=$(min "$c" "$rc")
done
printf 'file %s (%s MB), fastest of %s runs each\n' "$FILE" "$(( $(stat -L -c %s "$FILE") / 1000000 ))" "$REPEATS"
printf '%-14s %8s %8s\n' "" "wall s" "cpu s"
printf '%-14s %8s %8s\n' "load only" "$lw" "$lc" "report" "$rw" "$rc"
rwall=$(awk -v a="$rw" -v b="$lw" 'BEGIN { printf "%.2f", a / b }')
rcpu=$(awk -v a="$rc" -v b="$lc" 'BEGIN { printf "%.2f", a / b }')
printf '%-14s %8s %8s\n' "report / load" "$rwall" "$rcpu"

if [ "$INSTRUCTIONS" = 1 ]; then
  SMALL="$DATA/report-small.sum"
  [ -f "$SMALL" ] || "$BUILD_DIR/bench/make_large_summary" "$SMALL" --streams 1000 --blocks 450 >/dev/null
  # The load-only run exits 3 (the stream is not in the file): only the
  # count matters here.
  ir() {
    { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$TOOL" "$@" 2>&1 >/dev/null || true; } |
      awk '/Collected :/ { print $NF }'
  }
  li=$(ir "${LOAD_ONLY[@]}" "$SMALL")
  ri=$(ir "$SMALL")
  printf 'instructions on %s: load only %s, report %s, report / load %s\n' "$SMALL" "$li" "$ri" \
    "$(awk -v a="$ri" -v b="$li" 'BEGIN { printf "%.2f", a / b }')"
fi
echo "FLOWSUM_REPORT_WALL_RATIO=$rwall FLOWSUM_REPORT_CPU_RATIO=$rcpu"
