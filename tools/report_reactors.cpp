// Reactor profiles and relief objects, printed through the exported
// routines as any caller would read them.
#include "tools/report_reactors.hpp"

#include <cstdint>
#include <functional>

#include "flowsum.h"
#include "tools/views.hpp"

namespace flowsum_tool {
namespace {

// Counts from the file beyond this are reported, not read.
constexpr int64_t kMaxCount = 10000;

std::string real(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", x);
  return buf;
}
bool sane(int64_t n) { return n >= 0 && n <= kMaxCount; }
std::string with_unit(const std::string& name, const std::string& label) {
  return trim(name) + (trim(label).empty() ? "" : " [" + trim(label) + "]");
}

// Reads one per-point property into values (name, values, label, flag).
using PointReader = std::function<int64_t(std::string&, std::vector<double>&, std::string&)>;
// Reads one composition into (ld = ncomp, points): ids, values, label, flag.
using CompositionReader =
    std::function<int64_t(std::string&, int64_t, std::string&, std::vector<double>&, std::string&)>;

// A listed profile: per-point properties side by side (points as rows),
// then one table per composition with the components as columns.
void profile_tables(const char* axis, int64_t np, int64_t nc, const std::string& names, const std::vector<int64_t>& kinds,
                    const PointReader& one, const CompositionReader& two, std::FILE* out) {
  std::vector<std::vector<double>> columns;
  std::string head = std::string("  ") + axis;
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 1) continue;
    std::string name = pad(field(names, k, 12), 12), l(16, ' ');
    std::vector<double> v(static_cast<size_t>(np), 0.0);
    if (one(name, v, l) != 0) continue;
    char cell[64];
    std::snprintf(cell, sizeof cell, " %16s", with_unit(name, l).c_str());
    head += cell;
    columns.push_back(v);
  }
  std::fprintf(out, "%s\n", head.c_str());
  for (int64_t t = 0; t < np; ++t) {
    std::fprintf(out, "  %5lld", static_cast<long long>(t + 1));
    for (const auto& v : columns) std::fprintf(out, " %16s", real(v[static_cast<size_t>(t)]).c_str());
    std::fprintf(out, "\n");
  }
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 2 || nc == 0) continue;
    std::string name = pad(field(names, k, 12), 12), l(16, ' '), ids(8 * static_cast<size_t>(nc), ' ');
    std::vector<double> v(static_cast<size_t>(nc * np), 0.0);
    if (two(name, nc, ids, v, l) != 0) continue;
    std::fprintf(out, "  %s\n  %s", with_unit(name, l).c_str(), axis);
    for (int64_t i = 0; i < nc; ++i) std::fprintf(out, " %12s", field(ids, static_cast<size_t>(i), 8).c_str());
    std::fprintf(out, "\n");
    for (int64_t t = 0; t < np; ++t) {
      std::fprintf(out, "  %5lld", static_cast<long long>(t + 1));
      for (int64_t i = 0; i < nc; ++i) std::fprintf(out, " %12s", real(v[static_cast<size_t>(i + nc * t)]).c_str());
      std::fprintf(out, "\n");
    }
  }
}

void reactor(const std::string& given, std::FILE* out) {
  std::string id = pad(given, 128);
  int64_t nsub = 0;
  tkrsub_(id.data(), &nsub, id.size());
  std::fprintf(out, "\nReactor %s: %lld substream profiles\n", given.c_str(), static_cast<long long>(nsub));
  for (int64_t p = 1; p <= std::max<int64_t>(nsub, 1) && sane(nsub); ++p) {
    int64_t prof = p, np = 0, nc = 0, nn = 0, ierr = 1;
    std::string ss(8, ' ');
    tkrprf_(id.data(), &prof, ss.data(), &np, &nc, &nn, id.size(), 8);
    if (nn == 0) continue;
    std::fprintf(out, " profile %lld (substream %s): %lld points, %lld components, %lld properties\n",
                 static_cast<long long>(p), trim(ss).c_str(), static_cast<long long>(np), static_cast<long long>(nc),
                 static_cast<long long>(nn));
    if (!sane(np) || !sane(nc) || !sane(nn)) continue;
    std::string names(12 * static_cast<size_t>(nn), ' ');
    std::vector<int64_t> kinds(static_cast<size_t>(nn), 0);
    tkrprp_(id.data(), &prof, &nn, kinds.data(), names.data(), &ierr, id.size(), 12);
    profile_tables(
        "POINT", np, nc, names, kinds,
        [&](std::string& name, std::vector<double>& v, std::string& l) {
          std::string q(12, ' ');
          int64_t n = np, e = 1;
          tkrpr1_(id.data(), name.data(), ss.data(), &n, v.data(), q.data(), l.data(), &e, id.size(), 12, 8, 12, 16);
          return e;
        },
        [&](std::string& name, int64_t ld, std::string& ids, std::vector<double>& v, std::string& l) {
          std::string q(12, ' ');
          int64_t n = np, e = 1;
          tkrpr2_(id.data(), name.data(), &prof, &ld, ids.data(), &n, v.data(), q.data(), l.data(), &e, id.size(), 12,
                  8, 12, 16);
          return e;
        },
        out);
  }
  using Sizes = void (*)(const char*, int64_t*, int64_t*, int64_t*, size_t);
  using Names = void (*)(const char*, int64_t*, int64_t*, char*, int64_t*, size_t, size_t);
  using One = void (*)(const char*, const char*, int64_t*, double*, char*, char*, int64_t*, size_t, size_t, size_t,
                       size_t);
  using Two = void (*)(const char*, const char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*, size_t,
                       size_t, size_t, size_t, size_t);
  struct Vessel { const char* title; Sizes sizes; Names names; One one; Two two; };
  for (const Vessel& v : {Vessel{"accumulator", tkvapf_, tkvapr_, tkvar1_, tkvar2_},
                          Vessel{"vent", tkvtpf_, tkvtpr_, tkvtr1_, tkvtr2_}}) {
    int64_t np = 0, nc = 0, nn = 0, ierr = 1;
    v.sizes(id.data(), &np, &nc, &nn, id.size());
    if (nn == 0 || !sane(np) || !sane(nc) || !sane(nn)) continue;
    std::fprintf(out, " %s profile: %lld points, %lld components, %lld properties\n", v.title,
                 static_cast<long long>(np), static_cast<long long>(nc), static_cast<long long>(nn));
    std::string names(12 * static_cast<size_t>(nn), ' ');
    std::vector<int64_t> kinds(static_cast<size_t>(nn), 0);
    v.names(id.data(), &nn, kinds.data(), names.data(), &ierr, id.size(), 12);
    profile_tables(
        "POINT", np, nc, names, kinds,
        [&](std::string& name, std::vector<double>& vals, std::string& l) {
          std::string q(12, ' ');
          int64_t n = np, e = 1;
          v.one(id.data(), name.data(), &n, vals.data(), q.data(), l.data(), &e, id.size(), 12, 12, 16);
          return e;
        },
        [&](std::string& name, int64_t ld, std::string& ids, std::vector<double>& vals, std::string& l) {
          std::string q(12, ' ');
          int64_t n = np, e = 1;
          v.two(id.data(), name.data(), &n, &ld, ids.data(), vals.data(), q.data(), l.data(), &e, id.size(), 12, 8, 12,
                16);
          return e;
        },
        out);
  }
}

void scenario(std::string& id, bool steady, std::FILE* out) {
  constexpr int64_t kRows = 200;
  int64_t n = kRows, ierr = 0;
  const size_t m = static_cast<size_t>(n);
  std::string names(12 * m, ' '), texts(12 * m, ' '), msgs(32 * m, ' '), qn(12 * m, ' '), ul(16 * m, ' ');
  std::vector<int64_t> kinds(m, 0), ints(m, 0);
  std::vector<double> reals(m, 0.0);
  if (steady)
    tkpsss_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), msgs.data(), reals.data(), qn.data(),
            ul.data(), &ierr, id.size(), 12, 12, 32, 12, 16);
  else
    tkpssr_(id.data(), &n, names.data(), kinds.data(), ints.data(), texts.data(), msgs.data(), reals.data(), qn.data(),
            ul.data(), id.size(), 12, 12, 32, 12, 16);
  std::vector<std::string> rows;
  for (size_t k = 0; k < m && kinds[k] != 0; ++k) {
    std::string value = kinds[k] == 1   ? std::to_string(ints[k])
                        : kinds[k] == 2 ? real(reals[k]) + (field(ul, k, 16).empty() ? "" : " " + field(ul, k, 16))
                        : kinds[k] == 3 ? field(texts, k, 12)
                                        : field(msgs, k, 32);
    rows.push_back("  " + pad(field(names, k, 12), 12) + " " + value);
  }
  if (rows.empty()) return;
  std::fprintf(out, " %s scenario\n", steady ? "steady-state" : "dynamic");
  for (const std::string& r : rows) std::fprintf(out, "%s\n", r.c_str());
}

void relief(const std::string& given, std::FILE* out) {
  std::string id = pad(given, 128);
  std::fprintf(out, "\nRelief object %s\n", given.c_str());
  scenario(id, false, out);
  scenario(id, true, out);
  int64_t np = 0, ncz = 0, nvent = 0, npres = 0;
  tkpvpf_(id.data(), &np, &ncz, &nvent, &npres, id.size());
  if (nvent > 0 && sane(np) && sane(nvent)) {
    std::fprintf(out, " vent: %lld points, %lld sections\n", static_cast<long long>(np), static_cast<long long>(nvent));
    std::string names(12 * static_cast<size_t>(nvent), ' '), q(12, ' '), l(16, ' ');
    std::vector<int64_t> kinds(static_cast<size_t>(nvent), 0);
    std::vector<double> times(static_cast<size_t>(np), 0.0);
    int64_t ierr = 1;
    tkpvrp_(id.data(), &nvent, kinds.data(), names.data(), times.data(), q.data(), l.data(), &ierr, id.size(), 12, 12,
            16);
    for (size_t k = 0; k < kinds.size(); ++k) {
      if (kinds[k] != 1) continue;
      std::string name = pad(field(names, k, 12), 12);
      int64_t nsets = std::min<int64_t>(std::max<int64_t>(npres, 1), 100), n = np, e = 1;
      std::vector<double> v(static_cast<size_t>(nsets * np), 0.0);
      tkpvr1_(id.data(), name.data(), &nsets, &n, v.data(), q.data(), l.data(), &e, id.size(), 12, 12, 16);
      if (e != 0) continue;
      std::fprintf(out, "  %s:", with_unit(name, l).c_str());
      for (int64_t t = 0; t < np; ++t) std::fprintf(out, " %s", real(v[static_cast<size_t>(t)]).c_str());
      std::fprintf(out, "\n");
    }
  }
  int64_t prof = 1, nc = 0, nn = 0;
  std::string ss(8, ' ');
  tkpsrf_(id.data(), &prof, ss.data(), &np, &nc, &nn, id.size(), 8);
  if (nn == 0 || !sane(np) || !sane(nc) || !sane(nn)) return;
  std::fprintf(out, " vessel profile (substream %s): %lld points, %lld components, %lld properties\n",
               trim(ss).c_str(), static_cast<long long>(np), static_cast<long long>(nc), static_cast<long long>(nn));
  std::string names(12 * static_cast<size_t>(nn), ' ');
  std::vector<int64_t> kinds(static_cast<size_t>(nn), 0);
  int64_t ierr = 1;
  tkpsrp_(id.data(), &prof, &nn, kinds.data(), names.data(), &ierr, id.size(), 12);
  profile_tables(
      "POINT", np, nc, names, kinds,
      [&](std::string& name, std::vector<double>& v, std::string& l) {
        std::string q(12, ' '), basis(4, ' ');
        int64_t n = np, e = 1;
        tkpsr1_(id.data(), name.data(), basis.data(), &n, v.data(), q.data(), l.data(), &e, id.size(), 12, 4, 12, 16);
        return e;
      },
      [&](std::string& name, int64_t ld, std::string& ids, std::vector<double>& v, std::string& l) {
        std::string q(12, ' ');
        int64_t n = np, e = 1;
        tkpsr2_(id.data(), name.data(), &prof, &ld, ids.data(), &n, v.data(), q.data(), l.data(), &e, id.size(), 12, 8,
                12, 16);
        return e;
      },
      out);
}

}  // namespace

void report_reactors(const std::vector<std::string>& ids, std::FILE* out) {
  for (const std::string& id : ids) reactor(id, out);
}
void report_reliefs(const std::vector<std::string>& ids, std::FILE* out) {
  for (const std::string& id : ids) relief(id, out);
}

}  // namespace flowsum_tool
