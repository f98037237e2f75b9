// Load benchmark: a full load of one summary file (TKOPEN, TKINI2 with no
// messages, TKCLOS), repeated; reports the fastest repetition as seconds and
// MB/s, since the minimum is the figure least disturbed by the machine.
//
//   load_bench [benchmark flags] FILE
//
// Besides Google Benchmark's own report it prints one line
//   FLOWSUM_LOAD_MIN_SECONDS=<s> FLOWSUM_LOAD_MB_PER_S=<MB/s>
// that bench/run_load_bench.sh reads.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "load_common.hpp"

namespace {

std::string g_file;
double g_bytes = 0;
double g_min_seconds = std::numeric_limits<double>::infinity();

void BM_LoadSummaryFile(benchmark::State& state) {
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    int64_t ierr = flowsum::bench::load_file_once(g_file);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(s);
    g_min_seconds = std::min(g_min_seconds, s);
    if (ierr != 0) {
      state.SkipWithError(("load failed, IERR " + std::to_string(ierr)).c_str());
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(g_bytes) * state.iterations());
  state.counters["MB/s"] =
      benchmark::Counter(g_bytes / 1.0e6 * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

double min_of(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}
double max_of(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_bench [benchmark flags] SUMMARY-FILE\n");
    return 2;
  }
  g_file = argv[1];
  std::error_code ec;
  g_bytes = static_cast<double>(std::filesystem::file_size(g_file, ec));
  if (ec) {
    std::fprintf(stderr, "cannot read %s\n", g_file.c_str());
    return 2;
  }
  // Each repetition is one load; "min" is the fastest load, and for the
  // rate counters "max" is the rate of that fastest load.
  benchmark::RegisterBenchmark("load_summary_file", BM_LoadSummaryFile)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime()
      ->Iterations(1)
      ->Repetitions(7)
      ->ComputeStatistics("min", min_of)
      ->ComputeStatistics("max", max_of);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_min_seconds == std::numeric_limits<double>::infinity()) return 1;
  std::printf("FLOWSUM_LOAD_MIN_SECONDS=%.6f FLOWSUM_LOAD_MB_PER_S=%.1f FLOWSUM_FILE_BYTES=%.0f\n",
              g_min_seconds, g_bytes / 1.0e6 / g_min_seconds, g_bytes);
  return 0;
}
