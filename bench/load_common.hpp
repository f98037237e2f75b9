// One full load of a summary file through the exported routines, as a
// caller does it: TKOPEN on a unit, TKINI2 without messages, TKCLOS, and the
// summary unit closed again. The project's reference files in data/ are
// passed when they exist, blank paths otherwise.
#pragma once

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cstdint>
#include <filesystem>
#include <algorithm>
#include <string>
#include <vector>

#include "flowsum.h"

namespace flowsum::bench {

inline std::string reference_file(const std::string& name) {
  std::string path = std::string(FLOWSUM_SOURCE_DATA_DIR) + "/" + name;
  std::error_code ec;
  return std::filesystem::exists(path, ec) ? path : std::string(" ");
}

inline int64_t load_file_once(const std::string& path) {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, msg = 0, recl = 0, ierr = 0;
  std::string file = path, access = "SEQUENTIAL", form = "FORMATTED", status = "OLD",
              action = "READ", unitset = "SI";
  static const std::string prpfile_path = reference_file("RCPROPNU.DAT"),
                           untfile_path = reference_file("RCUNITS.DAT");
  std::string prpfile = prpfile_path, untfile = untfile_path;
  double rmiss = 1.0e35;
  tkopen_(&sum, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) return 100 + ierr;
  tkini2_(unitset.data(), &scr, &sum, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr,
          &msg, unitset.size(), prpfile.size(), untfile.size());
  tkclos_(&sum, &scr, &prp, &unt);
  int64_t cerr = 0;
  tkclfl_(&sum, &cerr);
  return ierr;
}

// Load and keep the file open for queries; returns TKINI2's code.
inline int64_t load_open(const std::string& path) {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, msg = 0, recl = 0, ierr = 0;
  std::string file = path, access = "SEQUENTIAL", form = "FORMATTED", status = "OLD",
              action = "READ", unitset = "SI";
  std::string prpfile = reference_file("RCPROPNU.DAT"),
              untfile = reference_file("RCUNITS.DAT");
  double rmiss = 1.0e35;
  tkopen_(&sum, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  if (ierr != 0) return 100 + ierr;
  tkini2_(unitset.data(), &scr, &sum, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr,
          &msg, unitset.size(), prpfile.size(), untfile.size());
  return ierr;
}

inline void close_all() {
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, cerr = 0;
  tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &cerr);
}

// Every stream's main table; returns the number of rows read.
inline int64_t read_all_streams(std::vector<std::string>& ids) {
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

// The identifiers of a TKBIDS/TKSIDS-style list of n objects, 128 characters
// each.
inline std::vector<std::string> identifiers(int64_t n,
                                            void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t)) {
  std::vector<std::string> ids;
  if (n <= 0) return ids;
  std::string all(static_cast<size_t>(n) * 128, ' '), types(static_cast<size_t>(n) * 12, ' ');
  int64_t ierr = 0;
  list(&n, all.data(), types.data(), &ierr, 128, 12);
  for (size_t i = 0; i < static_cast<size_t>(n); ++i) ids.push_back(all.substr(i * 128, 128));
  return ids;
}

// Seconds on the clock the passes are timed with: wall time, or this
// thread's CPU time when FLOWSUM_BENCH_CLOCK=cpu. On a shared machine the
// CPU time leaves out the time other processes hold the core, so passes
// timed by turns compare fairly even while the machine is busy.
inline double now_seconds() {
  static const bool cpu = [] {
    const char* c = std::getenv("FLOWSUM_BENCH_CLOCK");
    return c != nullptr && std::string(c) == "cpu";
  }();
  if (cpu) {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The fastest of `repeats` runs of pass, in seconds; count gets what the
// last run returned.
template <class F>
double best_of(int repeats, F pass, int64_t& count) {
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const double t0 = now_seconds();
    count = pass();
    best = std::min(best, now_seconds() - t0);
  }
  return best;
}

}  // namespace flowsum::bench
