// Compressor tables and equipment headline costs, read through the exported
// routines as any caller would read them.
#include "tools/report_equipment.hpp"

#include <algorithm>
#include <cstdint>

#include "flowsum.h"
#include "tools/views.hpp"

namespace flowsum_tool {
namespace {

constexpr int64_t kMaxValues = 100000;
constexpr double kMissing = 1.0e35;  // the marker the tool loads with

std::string real(double x) {
  if (x >= kMissing || x <= -kMissing) return "-";
  return significant(x);
}

// A profile of npoint points by nprop properties as the routines return it.
struct Grid {
  int64_t nprop = 0, npoint = 0, ierr = 1;
  std::string names, utypes, labels;
  std::vector<double> values;
  Grid(int64_t np, int64_t npt) : nprop(np), npoint(npt) {
    const size_t n = static_cast<size_t>(std::max<int64_t>(np * npt, 1));
    names.assign(12 * static_cast<size_t>(std::max<int64_t>(np, 1)), ' ');
    utypes.assign(12 * n, ' ');
    labels.assign(16 * n, ' ');
    values.assign(n, 0.0);
  }
  bool usable() const { return nprop > 0 && npoint > 0 && nprop * npoint <= kMaxValues; }
};

// One line per property: its name, its unit label, and its value at every
// point.
void print_grid(const char* title, const char* point, const Grid& g, std::FILE* out) {
  std::fprintf(out, "  %s: %lld %ss, %lld results\n", title, static_cast<long long>(g.npoint), point,
               static_cast<long long>(g.nprop));
  if (g.ierr != 0) {
    std::fprintf(out, "    (not read: flag %lld)\n", static_cast<long long>(g.ierr));
    return;
  }
  for (int64_t k = 0; k < g.nprop; ++k) {
    const size_t kk = static_cast<size_t>(k);
    std::fprintf(out, "    %-12s %-16s", trim(g.names.substr(12 * kk, 12)).c_str(),
                 ("[" + trim(g.labels.substr(16 * kk, 16)) + "]").c_str());
    for (int64_t i = 0; i < g.npoint; ++i)
      std::fprintf(out, " %s", real(g.values[static_cast<size_t>(i * g.nprop + k)]).c_str());
    std::fprintf(out, "\n");
  }
}

using GridRoutine = void (*)(const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                             size_t, size_t, size_t);

void read_grid(GridRoutine fn, const std::string& id, Grid& g) {
  if (!g.usable()) return;
  int64_t np = g.nprop, npt = g.npoint;
  fn(id.data(), &np, &npt, g.names.data(), g.values.data(), g.utypes.data(), g.labels.data(), &g.ierr, id.size(),
     12, 12, 16);
}

void compressor(const std::string& name, std::FILE* out) {
  const std::string id = pad(name, 128);
  std::string model(8, ' ');
  int64_t ierr = 1;
  tkvblk_(const_cast<char*>(id.data()), model.data(), &ierr, id.size(), model.size());
  if (ierr != 0) {
    not_in_file("compressor", name);
    return;
  }
  model = trim(model);
  if (model != "BOOSTR" && model != "STAGEBST") {
    not_in_file("compressor", name, "a " + model + " block, not a compressor");
    return;
  }
  int64_t nres = 0, nstage = 0;
  tknper_(id.data(), &nres, &nstage, id.size());
  std::fprintf(out, "\ncompressor %s (%s): %lld stages\n", name.c_str(), model.c_str(),
               static_cast<long long>(nstage));
  if (nres > 0) {
    Grid perf(nres, nstage);
    read_grid(tkperf_, id, perf);
    print_grid("performance", "stage", perf, out);
  }
  if (model != "STAGEBST") return;
  int64_t sp = 0, sn = 0, cp = 0, cn = 0;
  tknmcp_(id.data(), &sp, &sn, &cp, &cn, id.size());
  if (sp > 0) {
    Grid stages(sp, sn);
    read_grid(tkmcpr_, id, stages);
    print_grid("stage profile", "stage", stages, out);
  }
  if (cp > 0) {
    Grid coolers(cp, cn);
    read_grid(tkmccp_, id, coolers);
    print_grid("cooler profile", "cooler", coolers, out);
  }
  for (int64_t s = 1; s <= nstage; ++s) {
    int64_t nw = 0, nr = 0;
    tknwhl_(id.data(), &s, &nw, &nr, id.size());
    Grid wheels(nr, nw);
    if (nw <= 0 || nr <= 0 || !wheels.usable()) continue;
    int64_t stage = s;
    tkwhlr_(id.data(), &stage, &nw, &nr, wheels.names.data(), wheels.values.data(), wheels.utypes.data(),
            wheels.labels.data(), &wheels.ierr, id.size(), 12, 12, 16);
    const std::string title = "stage " + std::to_string(s) + " wheels";
    print_grid(title.c_str(), "wheel", wheels, out);
  }
}

}  // namespace

void report_compressors(const std::vector<std::string>& ids, std::FILE* out) {
  for (const std::string& id : ids) compressor(id, out);
}

void report_equipment_costs(std::FILE* out) {
  int64_t n = 0;
  tkneq_(&n);
  if (n < 1 || n > kMaxValues) return;
  std::string ids(128 * static_cast<size_t>(n), ' '), types(12 * static_cast<size_t>(n), ' ');
  int64_t nn = n, ierr = 1;
  tkeids_(&nn, ids.data(), types.data(), &ierr, 128, 12);
  if (ierr != 0) return;
  size_t width = 2;
  for (size_t k = 0; k < static_cast<size_t>(n); ++k) width = std::max(width, trim(ids.substr(128 * k, 128)).size());
  std::fprintf(out, "equipment costs:\n  %-*s  %-12s  %8s  %14s  %14s\n", static_cast<int>(width), "ID", "TYPE",
               "QUANTITY", "PURCHASED", "INSTALLED");
  for (size_t k = 0; k < static_cast<size_t>(n); ++k) {
    const std::string id = ids.substr(128 * k, 128);
    int64_t quantity = 0, zero = 0;
    double purchased = kMissing, installed = kMissing;
    tkeqcr_(id.data(), &quantity, &purchased, &installed, &zero, id.size());
    std::fprintf(out, "  %-*s  %-12s  %8lld  %14s  %14s\n", static_cast<int>(width), trim(id).c_str(),
                 trim(types.substr(12 * k, 12)).c_str(), static_cast<long long>(quantity), real(purchased).c_str(),
                 real(installed).c_str());
  }
}

}  // namespace flowsum_tool
