// Reading every stream's main table of a large summary file (TKSINF for the
// row count, then TKSTRM) against the time the file takes to load. Prints
// both times (the minimum over repeats) and their ratio; exits 1 when reading
// takes longer than loading.
//
//   stream_bench FILE [REPEATS]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/load_common.hpp"
#include "flowsum.h"
#include "loading/globals.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: stream_bench FILE [REPEATS]\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

  double load = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const auto t0 = Clock::now();
    if (flowsum::bench::load_file_once(path) != 0) {
      std::fprintf(stderr, "stream_bench: %s does not load\n", path.c_str());
      return 2;
    }
    load = std::min(load, seconds_since(t0));
  }

  if (flowsum::bench::load_open(path) != 0) return 2;
  int64_t nstr = flowsum::glob(flowsum::g::kNstr);
  std::vector<std::string> ids;
  if (nstr > 0) {
    std::string all(static_cast<size_t>(nstr) * 128, ' '), types(static_cast<size_t>(nstr) * 12, ' ');
    int64_t ierr = 0;
    tksids_(&nstr, all.data(), types.data(), &ierr, 128, 12);
    for (size_t i = 0; i < static_cast<size_t>(nstr); ++i) ids.push_back(all.substr(i * 128, 128));
  }
  double read = 1e300;
  int64_t rows = 0;
  for (int r = 0; r < repeats; ++r) {
    const auto t0 = Clock::now();
    rows = flowsum::bench::read_all_streams(ids);
    read = std::min(read, seconds_since(t0));
  }
  flowsum::bench::close_all();

  const double ratio = load > 0 ? read / load : 0.0;
  std::printf("streams %zu, rows %lld\nload %.3f s, read all main tables %.3f s, ratio %.3f\n",
              ids.size(), static_cast<long long>(rows), load, read, ratio);
  return ratio <= 1.0 ? 0 : 1;
}
