// Pipeline tables, read through the exported routines as any caller would
// read them.
#include "tools/report_pipelines.hpp"

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
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", x);
  return buf;
}

bool usable(int64_t n) { return n > 0 && n <= kMaxValues; }

// One line: a name, a unit label and the values (texts where kind is 3).
void line(std::FILE* out, const std::string& name, const std::string& label, int64_t kind,
          const std::vector<double>& values, const std::string& texts, size_t n) {
  std::fprintf(out, "    %-12s %-16s", trim(name).c_str(), ("[" + trim(label) + "]").c_str());
  for (size_t j = 0; j < n; ++j)
    std::fprintf(out, " %s", kind == 3 ? trim(texts.substr(12 * j, 12)).c_str() : real(values[j]).c_str());
  std::fprintf(out, "\n");
}

using Names = void (*)(const char*, int64_t*, char*, int64_t*, size_t, size_t);
using Values = void (*)(const char*, int64_t*, const char*, int64_t*, double*, char*, char*, char*, int64_t*,
                        size_t, size_t, size_t, size_t, size_t);

// A section of one data set per property, n values each.
void section(std::FILE* out, const std::string& id, const char* title, Names names_of, Values read, int64_t n,
             int64_t nprop) {
  if (!usable(nprop) || !usable(n)) return;
  std::fprintf(out, "  %s: %lld properties, %lld values\n", title, static_cast<long long>(nprop),
               static_cast<long long>(n));
  std::string names(12 * static_cast<size_t>(nprop), ' ');
  int64_t np = nprop, ierr = 1;
  names_of(id.data(), &np, names.data(), &ierr, id.size(), 12);
  for (size_t k = 0; ierr == 0 && k < static_cast<size_t>(nprop); ++k) {
    const std::string name = names.substr(12 * k, 12);
    std::vector<double> values(static_cast<size_t>(n));
    std::string texts(12 * static_cast<size_t>(n), ' '), qname(12, ' '), label(16, ' ');
    int64_t nn = n, kind = 2, flag = 1;
    if (read)
      read(id.data(), &nn, name.data(), &kind, values.data(), texts.data(), qname.data(), label.data(), &flag,
           id.size(), 12, 12, 12, 16);
    else
      tkplpr_(id.data(), &nn, name.data(), values.data(), qname.data(), label.data(), &flag, id.size(), 12, 12, 16);
    if (flag == 0) line(out, name, label, kind, values, texts, static_cast<size_t>(n));
  }
}

void pipeline(const std::string& name, std::FILE* out) {
  const std::string id = pad(name, 128);
  std::string model(8, ' ');
  int64_t ierr = 1;
  tkvblk_(id.data(), model.data(), &ierr, id.size(), model.size());
  if (ierr != 0) {
    not_in_file("block", name);
    return;
  }
  int64_t nio = 0, ncomp = 0, ncprop = 0, nseg = 0, nsegp = 0, ndes = 0, ndesp = 0, nflu = 0, nflup = 0;
  tkplsz_(id.data(), &nio, &ncomp, &ncprop, &nseg, &nsegp, &ndes, &ndesp, &nflu, &nflup, &ierr, id.size());
  if (trim(model) != "DUCTLINE") {
    not_in_file("pipeline", name, "a " + trim(model) + " block, not a pipeline");
    return;
  }
  std::fprintf(out, "\npipeline %s (DUCTLINE): %lld segments\n", name.c_str(), static_cast<long long>(nseg));
  section(out, id, "segment data", tkplsp_, tkplsg_, nseg, nsegp);
  section(out, id, "segment descriptions", tkplnp_, tkplnd_, ndes, ndesp);
  section(out, id, "fluid properties", tkplpp_, nullptr, nflu, nflup);
  if (usable(nio)) {
    const size_t n = 2 * static_cast<size_t>(nio);
    std::string names(12 * n, ' '), texts(names), qnames(names), labels(16 * n, ' ');
    std::vector<int64_t> kinds(n, 0);
    std::vector<double> values(n, 0.0);
    tkplio_(id.data(), names.data(), kinds.data(), values.data(), texts.data(), qnames.data(), labels.data(), &ierr,
            id.size(), 12, 12, 12, 16);
    for (size_t side = 0; ierr == 0 && side < 2; ++side) {
      std::fprintf(out, "  %s conditions:\n", side == 0 ? "inlet" : "outlet");
      for (size_t j = side * n / 2; j < (side + 1) * n / 2; ++j)
        if (!trim(names.substr(12 * j, 12)).empty())
          line(out, names.substr(12 * j, 12), labels.substr(16 * j, 16), kinds[j], {values[j]},
               texts.substr(12 * j, 12), 1);
    }
  }
  if (usable(ncprop) && usable(ncomp)) {
    std::string names(12 * static_cast<size_t>(ncprop), ' ');
    int64_t np = ncprop;
    tkplcp_(id.data(), &np, names.data(), &ierr, id.size(), 12);
    std::fprintf(out, "  compositions: %lld components\n", static_cast<long long>(ncomp));
    for (size_t k = 0; ierr == 0 && k < static_cast<size_t>(ncprop); ++k) {
      const size_t nc = static_cast<size_t>(ncomp);
      std::string compids(8 * nc, ' '), qname(12, ' '), label(16, ' ');
      std::vector<double> values(2 * nc, 0.0);
      int64_t n = ncomp, flag = 1;
      tkplco_(id.data(), &n, names.data() + 12 * k, compids.data(), values.data(), qname.data(), label.data(), &flag,
              id.size(), 12, 8, 12, 16);
      for (size_t c = 0; flag == 0 && c < nc; ++c)
        line(out, trim(names.substr(12 * k, 12)) + " " + trim(compids.substr(8 * c, 8)), label, 2,
             {values[c], values[nc + c]}, "", 2);
    }
  }
  int64_t npt = 0, nprop = 0;
  tkpisp_(id.data(), &npt, &nprop, id.size());
  if (usable(npt) && usable(nprop)) {
    std::fprintf(out, "  profile along the line: %lld points, %lld properties\n", static_cast<long long>(npt),
                 static_cast<long long>(nprop));
    std::string names = pad("LENGTH", 12) + std::string(12 * static_cast<size_t>(nprop), ' ');
    int64_t idum = 0;
    tkpinp_(id.data(), &idum, names.data() + 12, &ierr, id.size(), 12);
    for (size_t k = 0; k <= static_cast<size_t>(nprop); ++k) {
      std::vector<double> values(static_cast<size_t>(npt));
      std::string utype(12, ' '), label(16, ' ');
      int64_t n = npt, flag = 1;
      tkpipr_(id.data(), &n, names.data() + 12 * k, values.data(), utype.data(), label.data(), &flag, id.size(), 12,
              12, 16);
      if (flag == 0) line(out, names.substr(12 * k, 12), label, 2, values, "", static_cast<size_t>(npt));
    }
  }
  tkspir_(id.data(), &npt, &nprop, id.size());
  if (usable(npt) && usable(nprop)) {
    std::fprintf(out, "  plug-flow profile: %lld points, %lld properties\n", static_cast<long long>(npt),
                 static_cast<long long>(nprop));
    for (int64_t k = 1; k <= nprop; ++k) {
      std::vector<double> values(static_cast<size_t>(npt));
      std::string d(44, ' '), qty(12, ' '), label(16, ' ');
      char* c = d.data();
      int64_t n = npt, kk = k, flag = 1;
      tknpip_(id.data(), &n, &kk, c, c + 12, c + 20, c + 28, c + 36, c + 40, values.data(), qty.data(), label.data(),
              &flag, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
      if (flag == 0)
        line(out, d.substr(0, 12) + " " + trim(d.substr(20, 8)) + " " + trim(d.substr(28, 8)), label, 2, values, "",
             static_cast<size_t>(npt));
    }
  }
}

}  // namespace

void report_pipelines(const std::vector<std::string>& ids, std::FILE* out) {
  for (const std::string& id : ids) pipeline(id, out);
}

}  // namespace flowsum_tool
