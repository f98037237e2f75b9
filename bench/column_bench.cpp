// Reading every profile property of every column of a large summary file
// (TKNCOL, TKPROF, TKPROP, then TKPRO1 or TKPRO2 per property) against
// reading every stream's main table, in one run: prints the time per
// profile value, the time per stream row and their ratio (the minimum over
// repeats of each pass). Then the same over every refinery column's tray
// and petroleum property profiles through the refinery routines, and its
// time per value against the column pass's. Exits 1 when a value costs more
// than a row, or a refinery value more than a column value.
//
//   column_bench FILE [REPEATS]
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

// Every profile value of every column; returns the number of values.
int64_t read_all_profiles(const std::vector<std::string>& blocks) {
  int64_t values_read = 0;
  std::vector<double> values;
  std::vector<int64_t> kinds;
  std::string names, ids, q(12, ' '), l(16, ' ');
  for (const std::string& id : blocks) {
    int64_t ncol = 0;
    tkncol_(id.data(), &ncol, 128);
    for (int64_t c = 1; c <= ncol; ++c) {
      int64_t nt = 0, nc = 0, np = 0, ierr = 0;
      tkprof_(id.data(), &c, &nt, &nc, &np, 128);
      kinds.assign(static_cast<size_t>(np), 0);
      names.assign(static_cast<size_t>(np) * 12, ' ');
      tkprop_(id.data(), &c, &np, kinds.data(), names.data(), &ierr, 128, 12);
      ids.assign(static_cast<size_t>(std::max<int64_t>(nc, 1)) * 8, ' ');
      values.assign(static_cast<size_t>(std::max<int64_t>(nc, 1) * nt), 0.0);
      for (int64_t k = 0; k < np; ++k) {
        const char* name = names.data() + 12 * k;
        if (kinds[static_cast<size_t>(k)] == 1) {
          tkpro1_(id.data(), name, &c, &nt, values.data(), q.data(), l.data(), &ierr, 128, 12, 12, 16);
          if (ierr == 0) values_read += nt;
        } else {
          tkpro2_(id.data(), name, &c, &nc, ids.data(), &nt, values.data(), q.data(), l.data(), &ierr, 128, 12, 8,
                  12, 16);
          if (ierr == 0) values_read += nt * nc;
        }
      }
    }
  }
  return values_read;
}

// The refinery columns (model CRUDEUNI) among the blocks.
std::vector<std::string> refinery_blocks(const std::vector<std::string>& blocks) {
  std::vector<std::string> out;
  for (const std::string& id : blocks) {
    std::string model(8, ' ');
    int64_t ierr = 1;
    tkvblk_(id.data(), model.data(), &ierr, id.size(), model.size());
    if (ierr == 0 && model == "CRUDEUNI") out.push_back(id);
  }
  return out;
}

// Every profile value of every refinery column through the refinery
// routines: the tray profiles (TKPETF, TKPETP, TKPET1, TKPET2) and the
// petroleum property profiles (TKNPET, TKPTAD, TKPTPR); returns the number
// of values.
int64_t read_refinery_profiles(const std::vector<std::string>& blocks) {
  int64_t values_read = 0;
  std::vector<double> values;
  std::vector<int64_t> kinds;
  std::string names, bases, ids, q(12, ' '), l(16, ' ');
  for (const std::string& id : blocks) {
    int64_t ncol = 0;
    tkncol_(id.data(), &ncol, 128);
    for (int64_t c = 1; c <= ncol; ++c) {
      int64_t nt = 0, nc = 0, np = 0, ierr = 0, n[12];
      tkpetf_(id.data(), &c, &nt, &nc, &np, 128);
      kinds.assign(static_cast<size_t>(np), 0);
      names.assign(static_cast<size_t>(np) * 12, ' ');
      tkpetp_(id.data(), &c, &np, kinds.data(), names.data(), &ierr, 128, 12);
      ids.assign(static_cast<size_t>(std::max<int64_t>(nc, 1)) * 8, ' ');
      values.assign(static_cast<size_t>(std::max<int64_t>(nc, 1) * nt), 0.0);
      for (int64_t k = 0; k < np; ++k) {
        const char* name = names.data() + 12 * k;
        if (kinds[static_cast<size_t>(k)] == 1) {
          tkpet1_(id.data(), name, &c, &nt, values.data(), q.data(), l.data(), &ierr, 128, 12, 12, 16);
          if (ierr == 0) values_read += nt;
        } else {
          tkpet2_(id.data(), name, &c, &nc, ids.data(), &nt, values.data(), q.data(), l.data(), &ierr, 128, 12, 8,
                  12, 16);
          if (ierr == 0) values_read += nt * nc;
        }
      }
      tknpet_(id.data(), &c, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11],
              128);
      int64_t npp = n[0] + n[1] + n[2];
      names.assign(static_cast<size_t>(npp) * 12, ' ');
      bases.assign(static_cast<size_t>(npp) * 4, ' ');
      tkptad_(id.data(), &c, &npp, names.data(), bases.data(), &ierr, 128, 12, 4);
      for (int64_t k = 0; ierr == 0 && k < npp; ++k) {
        int64_t perr = 1;
        tkptpr_(id.data(), names.data() + 12 * k, &c, &nt, bases.data() + 4 * k, values.data(), q.data(), l.data(),
                &perr, 128, 12, 4, 12, 16);
        if (perr == 0) values_read += nt;
      }
    }
  }
  return values_read;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: column_bench FILE [REPEATS]\n", stderr);
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  if (load_open(argv[1]) != 0) {
    std::fprintf(stderr, "column_bench: %s does not load\n", argv[1]);
    return 2;
  }
  const std::vector<std::string> blocks = identifiers(flowsum::glob(flowsum::g::kNblk), tkbids_);
  std::vector<std::string> streams = identifiers(flowsum::glob(flowsum::g::kNstr), tksids_);
  int64_t values = 0, rows = 0;
  const double profiles = best_of(repeats, [&] { return read_all_profiles(blocks); }, values);
  const double tables = best_of(repeats, [&] { return flowsum::bench::read_all_streams(streams); }, rows);
  const std::vector<std::string> crude = refinery_blocks(blocks);
  int64_t refinery_values = 0;
  const double refinery = best_of(repeats, [&] { return read_refinery_profiles(crude); }, refinery_values);
  int64_t sum = 71, scr = 72, prp = 73, unt = 74, cerr = 0;
  tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &cerr);
  const double per_value = values > 0 ? profiles / static_cast<double>(values) : 0.0,
               per_row = rows > 0 ? tables / static_cast<double>(rows) : 0.0;
  const double ratio = per_row > 0 ? per_value / per_row : 0.0;
  std::printf("profile values %lld in %.3f s (%.1f ns each); stream rows %lld in %.3f s (%.1f ns each); "
              "value/row %.3f\n",
              static_cast<long long>(values), profiles, 1e9 * per_value, static_cast<long long>(rows), tables,
              1e9 * per_row, ratio);
  // A refinery-column value may cost no more than a column value.
  const double per_refinery = refinery_values > 0 ? refinery / static_cast<double>(refinery_values) : 0.0;
  const double refinery_ratio = per_value > 0 ? per_refinery / per_value : 0.0;
  std::printf("refinery-column values %lld in %.3f s (%.1f ns each); refinery value/column value %.3f\n",
              static_cast<long long>(refinery_values), refinery, 1e9 * per_refinery, refinery_ratio);
  return ratio <= 1.0 && refinery_ratio <= 1.0 ? 0 : 1;
}
