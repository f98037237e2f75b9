// Reading every stream's main table of a large summary file (TKSINF for the
// row count, then TKSTRM) against the time the file takes to load. Prints
// both times (the minimum over repeats) and their ratio; exits 1 when reading
// takes longer than 1.5 times the load. Then a pass over every compressor
// (its counts, performance, stage and cooler profiles and every stage's
// wheels) and every costed equipment item (count, result list, headlines),
// timed per value returned against the stream pass per row; exits 1 too
// when a value costs more than a row. The same for a pass over every
// pipeline (sizes, segment data and descriptions, fluid properties, inlet
// and outlet conditions and compositions, both profiles).
//
//   stream_bench FILE [REPEATS [ONLY]]
//
// ONLY ("streams", "equipment" or "pipelines") makes just that pass, after
// one load and without the load timing: for counting a pass's instructions
// (a run of 3 repeats less a run of 1 is two warm passes).
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


double seconds_since(double t0) { return flowsum::bench::now_seconds() - t0; }

// The compressor and costing routines over every compressor block and
// equipment item; returns the number of values read.
int64_t read_all_equipment(const std::vector<std::string>& compressors, const std::vector<std::string>& items) {
  int64_t values_read = 0;
  std::string names, utypes, labels, texts;
  std::vector<double> values;
  std::vector<int64_t> kinds, ints;
  auto size = [&](int64_t np, int64_t n) {
    names.resize(12 * static_cast<size_t>(std::max<int64_t>(np, 1)));
    utypes.resize(12 * static_cast<size_t>(std::max<int64_t>(n, 1)));
    texts.resize(utypes.size());
    labels.resize(16 * static_cast<size_t>(std::max<int64_t>(n, 1)));
    values.resize(static_cast<size_t>(std::max<int64_t>(n, 1)));
    kinds.resize(values.size());
    ints.resize(values.size());
  };
  using Grid = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t, size_t,
                        size_t, size_t);
  auto grid = [&](Grid fn, const std::string& id, int64_t np, int64_t npt) {
    if (np <= 0 || npt <= 0) return;
    size(np, np * npt);
    int64_t ierr = 1;
    fn(id.data(), &np, &npt, names.data(), values.data(), utypes.data(), labels.data(), &ierr, 128, 12, 12, 16);
    if (ierr == 0) values_read += np * npt;
  };
  for (const std::string& id : compressors) {
    int64_t nres = 0, nstage = 0, sp = 0, sn = 0, cp = 0, cn = 0;
    tknper_(id.data(), &nres, &nstage, 128);
    grid(tkperf_, id, nres, nstage);
    tknmcp_(id.data(), &sp, &sn, &cp, &cn, 128);
    grid(tkmcpr_, id, sp, sn);
    grid(tkmccp_, id, cp, cn);
    for (int64_t s = 1; sp > 0 && s <= nstage; ++s) {
      int64_t nw = 0, nr = 0, ierr = 1;
      tknwhl_(id.data(), &s, &nw, &nr, 128);
      if (nw <= 0 || nr <= 0) continue;
      size(nr, nw * nr);
      tkwhlr_(id.data(), &s, &nw, &nr, names.data(), values.data(), utypes.data(), labels.data(), &ierr, 128, 12, 12,
              16);
      if (ierr == 0) values_read += nw * nr;
    }
  }
  for (const std::string& id : items) {
    int64_t n = 0, ierr = 1, quantity = 0, zero = 0;
    double purchased = 0, installed = 0;
    tkneqs_(id.data(), &n, &ierr, 128);
    size(n, n);
    tkeqsr_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), values.data(), utypes.data(),
            labels.data(), &ierr, 128, 12, 12, 12, 16);
    tkeqcr_(id.data(), &quantity, &purchased, &installed, &zero, 128);
    values_read += n + 3;
  }
  return values_read;
}

// The pipeline routines over every pipeline block; returns the number of
// values read.
int64_t read_all_pipelines(const std::vector<std::string>& pipelines) {
  int64_t values_read = 0;
  std::vector<double> values;
  std::vector<int64_t> kinds;
  std::string names, texts, qnames, labels;
  auto size = [&](int64_t n) {
    const size_t k = static_cast<size_t>(std::max<int64_t>(n, 1));
    values.resize(2 * k);
    kinds.resize(2 * k);
    names.resize(24 * k);
    texts.resize(24 * k);
    qnames.resize(24 * k);
    labels.resize(32 * k);
  };
  using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
  using Values = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                          size_t, size_t, size_t, size_t, size_t);
  for (const std::string& id : pipelines) {
    int64_t n[9] = {0}, ierr = 1;
    tkplsz_(id.data(), &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &ierr, 128);
    struct Part {
      Names names;
      Values read;
      int64_t size, nprop;
    };
    for (const Part& p : {Part{tkplsp_, tkplsg_, n[3], n[4]}, Part{tkplnp_, tkplnd_, n[5], n[6]},
                          Part{tkplpp_, nullptr, n[7], n[8]}, Part{tkplcp_, nullptr, n[1], n[2]}}) {
      size(std::max(p.nprop, p.size));
      int64_t np = p.nprop;
      std::string pnames(12 * static_cast<size_t>(std::max<int64_t>(np, 1)), ' ');
      p.names(id.data(), &np, pnames.data(), &ierr, 128, 12);
      for (int64_t k = 0; ierr == 0 && k < np; ++k) {
        int64_t m = p.size, kind = 0, e = 1;
        const char* pname = pnames.data() + 12 * k;
        if (p.read)
          p.read(id.data(), &m, pname, &kind, values.data(), texts.data(), qnames.data(), labels.data(), &e, 128, 12,
                 12, 12, 16);
        else if (p.names == tkplpp_)
          tkplpr_(id.data(), &m, pname, values.data(), qnames.data(), labels.data(), &e, 128, 12, 12, 16);
        else
          tkplco_(id.data(), &m, pname, texts.data(), values.data(), qnames.data(), labels.data(), &e, 128, 12, 8, 12,
                  16);
        if (e == 0) values_read += p.names == tkplcp_ ? 2 * m : m;
      }
    }
    size(n[0]);
    tkplio_(id.data(), names.data(), kinds.data(), values.data(), texts.data(), qnames.data(), labels.data(), &ierr,
            128, 12, 12, 12, 16);
    if (ierr == 0) values_read += 2 * n[0];
    int64_t npt = 0, nprop = 0;
    tkpisp_(id.data(), &npt, &nprop, 128);
    size(std::max(npt, nprop + 1));
    std::string pnames = "LENGTH      " + std::string(12 * static_cast<size_t>(nprop), ' ');
    int64_t idum = 0;
    tkpinp_(id.data(), &idum, pnames.data() + 12, &ierr, 128, 12);
    for (int64_t k = 0; k <= nprop; ++k) {
      int64_t m = npt, e = 1;
      tkpipr_(id.data(), &m, pnames.data() + 12 * k, values.data(), qnames.data(), labels.data(), &e, 128, 12, 12, 16);
      if (e == 0) values_read += m;
    }
    tkspir_(id.data(), &npt, &nprop, 128);
    size(npt);
    for (int64_t k = 1; k <= nprop; ++k) {
      int64_t m = npt, kk = k, e = 1;
      char d[44];
      tknpip_(id.data(), &m, &kk, d, d + 12, d + 20, d + 28, d + 36, d + 40, values.data(), qnames.data(),
              labels.data(), &e, 128, 12, 8, 8, 8, 4, 4, 12, 16);
      if (e == 0) values_read += m;
    }
  }
  return values_read;
}

// Identifiers of a table through its whole-list routine (TKBIDS, TKEIDS),
// with their types.
std::vector<std::pair<std::string, std::string>> listed(void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t),
                                                        int64_t n) {
  std::vector<std::pair<std::string, std::string>> out;
  if (n <= 0) return out;
  std::string all(static_cast<size_t>(n) * 128, ' '), types(static_cast<size_t>(n) * 12, ' ');
  int64_t ierr = 0;
  list(&n, all.data(), types.data(), &ierr, 128, 12);
  for (size_t i = 0; i < static_cast<size_t>(n); ++i) out.emplace_back(all.substr(i * 128, 128), types.substr(i * 12, 12));
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: stream_bench FILE [REPEATS [streams|equipment|pipelines]]\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string only = argc > 3 ? argv[3] : "";
  auto runs = [&](const char* pass) { return only.empty() || only == pass; };

  double load = 1e300;
  for (int r = 0; r < repeats && only.empty(); ++r) {
    const auto t0 = flowsum::bench::now_seconds();
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
  for (int r = 0; r < repeats && runs("streams"); ++r) {
    const auto t0 = flowsum::bench::now_seconds();
    rows = flowsum::bench::read_all_streams(ids);
    read = std::min(read, seconds_since(t0));
  }
  std::vector<std::string> compressors, items, pipelines;
  for (const auto& [id, type] : listed(tkbids_, flowsum::glob(flowsum::g::kNblk))) {
    if (type.rfind("BOOSTR ", 0) == 0 || type.rfind("STAGEBST ", 0) == 0) compressors.push_back(id);
    if (type.rfind("DUCTLINE ", 0) == 0) pipelines.push_back(id);
  }
  int64_t neq = 0;
  tkneq_(&neq);
  for (const auto& [id, type] : listed(tkeids_, neq)) items.push_back(id);
  double equipment = 1e300;
  int64_t nvalues = 0;
  for (int r = 0; r < repeats && runs("equipment"); ++r) {
    const auto t0 = flowsum::bench::now_seconds();
    nvalues = read_all_equipment(compressors, items);
    equipment = std::min(equipment, seconds_since(t0));
  }
  double pipe_time = 1e300;
  int64_t pipe_values = 0;
  for (int r = 0; r < repeats && runs("pipelines"); ++r) {
    const auto t0 = flowsum::bench::now_seconds();
    pipe_values = read_all_pipelines(pipelines);
    pipe_time = std::min(pipe_time, seconds_since(t0));
  }
  flowsum::bench::close_all();

  const double ratio = load > 0 ? read / load : 0.0;
  if (only.empty())
    std::printf("streams %zu, rows %lld\nload %.3f s, read all main tables %.3f s, ratio %.3f\n",
              ids.size(), static_cast<long long>(rows), load, read, ratio);
  double per_value = 0.0;
  if (nvalues > 0 && rows > 0) {
    per_value = (equipment / static_cast<double>(nvalues)) / (read / static_cast<double>(rows));
    std::printf("compressors %zu, equipment items %zu, values %lld\nread all %.3f s, per value / per stream row %.3f\n",
                compressors.size(), items.size(), static_cast<long long>(nvalues), equipment, per_value);
  }
  double pipe_per_value = 0.0;
  if (pipe_values > 0 && rows > 0) {
    pipe_per_value = (pipe_time / static_cast<double>(pipe_values)) / (read / static_cast<double>(rows));
    std::printf("pipelines %zu, values %lld\nread all %.3f s, per value / per stream row %.3f\n", pipelines.size(),
                static_cast<long long>(pipe_values), pipe_time, pipe_per_value);
  }
  if (!only.empty()) {
    const int64_t n = only == "streams" ? rows : only == "equipment" ? nvalues : pipe_values;
    std::printf("%s: %lld values (rows) a pass\n", only.c_str(), static_cast<long long>(n));
    return 0;
  }
  return ratio <= 1.5 && per_value <= 1.0 && pipe_per_value <= 1.0 ? 0 : 1;
}
