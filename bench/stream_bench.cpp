// Reading every stream's main table of a large summary file (TKSINF for the
// row count, then TKSTRM) against the time the file takes to load. Prints
// both times (the minimum over repeats) and their ratio; exits 1 when reading
// takes longer than 1.5 times the load.
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

// Load and keep the file open for queries; returns TKINI2's code.
int64_t load_open(const std::string& path) {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, msg = 0, recl = 0, ierr = 0;
  std::string file = path, access = "SEQUENTIAL", form = "FORMATTED", status = "OLD",
              action = "READ", unitset = "SI";
  std::string prpfile = flowsum::bench::reference_file("RCPROPNU.DAT"),
              untfile = flowsum::bench::reference_file("RCUNITS.DAT");
  double rmiss = 1.0e35;
  tkopen_(&sum, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) return 100 + ierr;
  tkini2_(unitset.data(), &scr, &sum, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr,
          &msg, unitset.size(), prpfile.size(), untfile.size());
  return ierr;
}

void close_all() {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, cerr = 0;
  tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &cerr);
}

// Every stream's main table; returns the number of rows read.
int64_t read_all_streams(std::vector<std::string>& ids) {
  int64_t rows_read = 0;
  std::string src(128, ' '), dst(128, ' '), row_buf, names, labels;
  std::vector<double> values;
  for (std::string& id : ids) {
    int64_t nsub = 0, nrows = 0, dum = 0;
    tksinf_(id.data(), src.data(), dst.data(), &nsub, &nrows, &dum, 128, 128, 128);
    const size_t n = static_cast<size_t>(std::max<int64_t>(nrows, 1));
    row_buf.assign(n * 64, ' ');
    names.assign(n * 12, ' ');
    labels.assign(n * 16, ' ');
    values.assign(n, 0.0);
    int64_t nr = 0;
    tkstrm_(id.data(), &dum, row_buf.data(), values.data(), names.data(), labels.data(), &nr, 128,
            64, 12, 16);
    rows_read += nrows;
  }
  return rows_read;
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

  if (load_open(path) != 0) return 2;
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
    rows = read_all_streams(ids);
    read = std::min(read, seconds_since(t0));
  }
  close_all();

  const double ratio = load > 0 ? read / load : 0.0;
  std::printf("streams %zu, rows %lld\nload %.3f s, read all main tables %.3f s, ratio %.3f\n",
              ids.size(), static_cast<long long>(rows), load, read, ratio);
  return ratio <= 1.5 ? 0 : 1;
}
