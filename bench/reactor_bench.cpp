// Reading every reactor profile (TKRSUB, TKRPRF, TKRPRP, then TKRPR1 or
// TKRPR2 per property) and every relief object (TKPSSR, TKPVPF, TKPVR1 per
// vent section) of a large summary file against reading every stream's
// main table, in one run: prints the time per value, the time per stream
// row and their ratio (the minimum over repeats of each pass). Exits 1 when
// a value costs more than a row.
//
//   reactor_bench FILE [REPEATS]
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
using flowsum::bench::load_open;
using flowsum::bench::identifiers;
using flowsum::bench::best_of;

// Every profile value of every reactor and every result and vent value of
// every relief object; returns the number of values.
int64_t read_all_reactors(const std::vector<std::string>& blocks, const std::vector<std::string>& reliefs) {
  int64_t values_read = 0;
  std::vector<double> values;
  std::vector<int64_t> kinds;
  std::string names, ids, ss(8, ' '), q(12, ' '), l(16, ' ');
  for (const std::string& id : blocks) {
    int64_t nsub = 0;
    tkrsub_(id.data(), &nsub, 128);
    for (int64_t p = 1; p <= nsub; ++p) {
      int64_t np = 0, nc = 0, nn = 0, ierr = 0;
      tkrprf_(id.data(), &p, ss.data(), &np, &nc, &nn, 128, 8);
      kinds.assign(static_cast<size_t>(nn), 0);
      names.assign(static_cast<size_t>(nn) * 12, ' ');
      tkrprp_(id.data(), &p, &nn, kinds.data(), names.data(), &ierr, 128, 12);
      ids.assign(static_cast<size_t>(std::max<int64_t>(nc, 1)) * 8, ' ');
      values.assign(static_cast<size_t>(std::max<int64_t>(nc, 1) * np), 0.0);
      for (int64_t k = 0; k < nn; ++k) {
        const char* name = names.data() + 12 * k;
        if (kinds[static_cast<size_t>(k)] == 1) {
          tkrpr1_(id.data(), name, ss.data(), &np, values.data(), q.data(), l.data(), &ierr, 128, 12, 8, 12, 16);
          if (ierr == 0) values_read += np;
        } else {
          tkrpr2_(id.data(), name, &p, &nc, ids.data(), &np, values.data(), q.data(), l.data(), &ierr, 128, 12, 8,
                  12, 16);
          if (ierr == 0) values_read += np * nc;
        }
      }
    }
  }
  constexpr int64_t kResults = 64;
  std::string rn(12 * kResults, ' '), rt(12 * kResults, ' '), rm(32 * kResults, ' '), rq(12 * kResults, ' '),
      rl(16 * kResults, ' ');
  std::vector<int64_t> rk(kResults), ri(kResults);
  std::vector<double> rv(kResults);
  for (const std::string& id : reliefs) {
    int64_t n = kResults;
    tkpssr_(id.data(), &n, rn.data(), rk.data(), ri.data(), rt.data(), rm.data(), rv.data(), rq.data(), rl.data(), 128,
            12, 12, 32, 12, 16);
    for (int64_t k = 0; k < kResults && rk[static_cast<size_t>(k)] != 0; ++k) ++values_read;
    std::fill(rk.begin(), rk.end(), 0);
    int64_t np = 0, nz = 0, nvent = 0, npres = 0, ierr = 0;
    tkpvpf_(id.data(), &np, &nz, &nvent, &npres, 128);
    int64_t nsets = std::max<int64_t>(npres, 1);
    values.assign(static_cast<size_t>(nsets * np), 0.0);
    for (const char* name : {"B_PRES      ", "B_TEMP      "}) {
      tkpvr1_(id.data(), name, &nsets, &np, values.data(), q.data(), l.data(), &ierr, 128, 12, 12, 16);
      if (ierr == 0) values_read += nsets * np;
    }
  }
  return values_read;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: reactor_bench FILE [REPEATS]\n", stderr);
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  if (load_open(argv[1]) != 0) {
    std::fprintf(stderr, "reactor_bench: %s does not load\n", argv[1]);
    return 2;
  }
  const std::vector<std::string> blocks = identifiers(flowsum::glob(flowsum::g::kNblk), tkbids_);
  std::vector<std::string> streams = identifiers(flowsum::glob(flowsum::g::kNstr), tksids_);
  std::vector<std::string> reliefs;
  if (const int64_t n = flowsum::glob(flowsum::g::kNrelief); n > 0) {
    std::string all(static_cast<size_t>(n) * 128, ' ');
    int64_t m = n, ierr = 0;
    tkpids_(&m, all.data(), &ierr, 128);
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) reliefs.push_back(all.substr(i * 128, 128));
  }
  int64_t values = 0, rows = 0;
  const double profiles = best_of(repeats, [&] { return read_all_reactors(blocks, reliefs); }, values);
  const double tables = best_of(repeats, [&] { return flowsum::bench::read_all_streams(streams); }, rows);
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, cerr = 0;
  tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &cerr);
  const double per_value = values > 0 ? profiles / static_cast<double>(values) : 0.0,
               per_row = rows > 0 ? tables / static_cast<double>(rows) : 0.0;
  const double ratio = per_row > 0 ? per_value / per_row : 0.0;
  std::printf("reactor and relief values %lld in %.3f s (%.1f ns each); stream rows %lld in %.3f s (%.1f ns each); "
              "value/row %.3f\n",
              static_cast<long long>(values), profiles, 1e9 * per_value, static_cast<long long>(rows), tables,
              1e9 * per_row, ratio);
  return ratio <= 1.0 ? 0 : 1;
}
