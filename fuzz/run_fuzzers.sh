#!/usr/bin/env bash
# Build the libFuzzer harnesses with clang 14 and run each for SECONDS
# (default 60) on its corpus. Usage: fuzz/run_fuzzers.sh [SECONDS] [BUILD-DIR]
# Corpora grow in BUILD-DIR/corpus/<name>; a finding stops the script with
# the failing input in BUILD-DIR/artifacts/.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
build=${2:-build-fuzz}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DFLOWSUM_FUZZ=ON -DFLOWSUM_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target flowsum_fuzz_scanner flowsum_fuzz_loader \
  flowsum_fuzz_reference flowsum_fuzz_queries flowsum_fuzz_api flowsum_fuzz_seeds

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/flowsum_fuzz_seeds" "$seeds"
mkdir -p "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

run() {  # name, seed folder
  local name=$1 seed=$2
  mkdir -p "$build/corpus/$name"
  echo "== fuzzing $name for $seconds s"
  "$build/fuzz/flowsum_fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
    -dict=fuzz/summary.dict -artifact_prefix="$build/artifacts/$name-" \
    "$build/corpus/$name" "$seed" 2>&1 | grep -E "^#[0-9]+ +(INITED|DONE)|stat::|ERROR|^SUMMARY|flowsum fuzz" || true
  # A finding leaves a crash-, leak-, timeout- or oom- file behind.
  if compgen -G "$build/artifacts/$name-*" >/dev/null; then
    echo "fuzzer $name found a failing input:"; ls "$build/artifacts/$name-"*
    return 1
  fi
}

run scanner "$seeds/scanner"
run loader "$seeds/summary"
run reference "$seeds/reference"
run queries "$seeds/summary"
run api "$seeds/summary"
echo "== all fuzzers ran $seconds s each without a finding"
