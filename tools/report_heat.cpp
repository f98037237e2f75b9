// Heating curves and exchanger detail, printed through the exported
// routines as any caller would read them.
#include "tools/report_heat.hpp"

#include <algorithm>
#include <cstdint>

#include "flowsum.h"
#include "tools/views.hpp"

namespace flowsum_tool {
namespace {

std::string real(double x) {
  return significant(x);
}

// Counts from the file above this are reported, not read.
constexpr int64_t kMaxRows = 100000;

bool sane(int64_t n) { return n >= 0 && n <= kMaxRows; }

// The target unit's label of a unit type, by its name.
std::string label_of(const char* type) {
  std::string t = pad(type, 12), l(16, ' ');
  int64_t n = 1;
  tklabl_(&n, t.data(), l.data(), t.size(), l.size());
  return trim(l);
}

void print_row(std::FILE* out, const std::vector<std::string>& cells) {
  std::fprintf(out, "   ");
  for (const std::string& c : cells) std::fprintf(out, " %14s", c.c_str());
  std::fprintf(out, "\n");
}

void curve(std::FILE* out, std::string& id, const std::string& location, const std::string& type, int64_t number) {
  std::string loc = pad(location, 8), ty = pad(type, 16);
  int64_t num = number, np = 0, nf = 0;
  tkshcr_(id.data(), loc.data(), ty.data(), &num, &np, &nf, id.size(), 8, 16);
  std::fprintf(out, "  curve %s %lld%s: %lld points, %lld further properties\n", trim(type).c_str(),
               static_cast<long long>(number), location.empty() ? "" : (" at " + location).c_str(),
               static_cast<long long>(np), static_cast<long long>(nf));
  if (!sane(np) || !sane(nf) || np == 0) return;
  const size_t n = static_cast<size_t>(np);
  std::vector<std::vector<double>> cols(5, std::vector<double>(n, 0.0));
  int64_t ierr = 1;
  tkhcur_(id.data(), loc.data(), ty.data(), &num, &np, cols[0].data(), cols[1].data(), cols[2].data(),
          cols[3].data(), cols[4].data(), &ierr, id.size(), 8, 16);
  if (ierr != 0) return;
  std::vector<std::string> head{"point", "status", "temp [" + label_of("TEMPERATURE") + "]",
                                "pres [" + label_of("PRESSURE") + "]", "vfrac", "duty [" + label_of("HEAT-DUTY") + "]"};
  for (int64_t k = 1; k <= nf; ++k) {
    std::string pn(12, ' '), sub(8, ' '), ph(8, ' '), cp(8, ' '), bs(4, ' '), fb(4, ' '), qn(12, ' '), lb(16, ' ');
    std::vector<double> v(n, 0.0);
    int64_t kk = k, e = 1;
    tknhcp_(id.data(), loc.data(), ty.data(), &num, &np, &kk, pn.data(), sub.data(), ph.data(), cp.data(), bs.data(),
            fb.data(), v.data(), qn.data(), lb.data(), &e, id.size(), 8, 16, 12, 8, 8, 8, 4, 4, 12, 16);
    if (e != 0) continue;
    std::fprintf(out, "    column %lld: %s %s %s %s %s [%s]\n", static_cast<long long>(6 + k), trim(pn).c_str(),
                 trim(sub).c_str(), trim(ph).c_str(), trim(cp).c_str(), trim(bs).c_str(), trim(lb).c_str());
    head.push_back(trim(pn));
    cols.push_back(v);
  }
  print_row(out, head);
  for (size_t p = 0; p < n; ++p) {
    std::vector<std::string> row{std::to_string(p + 1)};
    for (const auto& c : cols) row.push_back(real(c[p]));
    print_row(out, row);
  }
}

// A section read through one of the property-value members.
using Pval = void (*)(const char*, int64_t*, char*, double*, char*, char*, int64_t*, int64_t*, size_t, size_t,
                      size_t, size_t);

void pval_section(std::FILE* out, std::string& id, const char* title, int64_t n, Pval read) {
  if (n <= 0 || !sane(n)) return;
  const size_t m = static_cast<size_t>(n);
  std::string names(12 * m, ' '), types(12 * m, ' '), labels(16 * m, ' ');
  std::vector<double> v(m, 0.0);
  int64_t dum = 0, nval = 0, ierr = 1;
  read(id.data(), &dum, names.data(), v.data(), types.data(), labels.data(), &nval, &ierr, id.size(), 12, 12, 16);
  if (ierr != 0) return;
  std::fprintf(out, "  %s:\n", title);
  for (size_t i = 0; i < std::min(m, static_cast<size_t>(std::max<int64_t>(nval, 0))); ++i)
    std::fprintf(out, "    %-12s %s %s\n", field(names, i, 12).c_str(), real(v[i]).c_str(),
                 field(labels, i, 16).c_str());
}

using Aval = void (*)(const char*, int64_t*, char*, int64_t*, int64_t*, char*, double*, char*, char*, int64_t*,
                      int64_t*, size_t, size_t, size_t, size_t, size_t);

void aval_section(std::FILE* out, std::string& id, const char* title, int64_t n, Aval read) {
  if (n <= 0 || !sane(n)) return;
  const size_t m = static_cast<size_t>(n);
  std::string names(12 * m, ' '), texts(12 * m, ' '), types(12 * m, ' '), labels(16 * m, ' ');
  std::vector<double> v(m, 0.0);
  std::vector<int64_t> kinds(m, 0), ints(m, 0);
  int64_t dum = 0, nval = 0, ierr = 1;
  read(id.data(), &dum, names.data(), kinds.data(), ints.data(), texts.data(), v.data(), types.data(),
       labels.data(), &nval, &ierr, id.size(), 12, 12, 12, 16);
  if (ierr != 0) return;
  std::fprintf(out, "  %s:\n", title);
  for (size_t i = 0; i < std::min(m, static_cast<size_t>(std::max<int64_t>(nval, 0))); ++i) {
    const std::string value = kinds[i] == 1 ? std::to_string(ints[i]) : kinds[i] == 2 ? real(v[i]) : field(texts, i, 12);
    std::fprintf(out, "    %-12s %s %s\n", field(names, i, 12).c_str(), value.c_str(), field(labels, i, 16).c_str());
  }
}

void exchanger(std::FILE* out, const std::string& block) {
  std::string id = pad(block, 128), model(8, ' ');
  int64_t ierr = 1;
  tkvblk_(id.data(), model.data(), &ierr, id.size(), model.size());
  if (ierr != 0) {
    not_in_file("exchanger", block);
    return;
  }
  std::fprintf(out, "\nexchanger %s (%s)\n", block.c_str(), trim(model).c_str());
  int64_t ngm = 0;
  tkngm_(id.data(), &ngm, id.size());
  if (ngm > 0 && sane(ngm)) {
    const size_t m = static_cast<size_t>(ngm);
    std::string names(12 * m, ' '), texts(12 * m, ' '), qn(12 * m, ' '), lb(16 * m, ' ');
    std::vector<int64_t> kinds(m, 0), ints(m, 0);
    std::vector<double> v(m, 0.0);
    int64_t dum = 0;
    tkhxgm_(id.data(), &ngm, names.data(), kinds.data(), ints.data(), texts.data(), v.data(), qn.data(), lb.data(),
            &dum, id.size(), 12, 12, 12, 16);
    std::fprintf(out, "  geometry:\n");
    for (size_t i = 0; i < m; ++i) {
      const std::string value = kinds[i] == 1 ? std::to_string(ints[i]) : kinds[i] == 2 ? real(v[i]) : field(texts, i, 12);
      std::fprintf(out, "    %-12s %s %s\n", field(names, i, 12).c_str(), value.c_str(), field(lb, i, 16).c_str());
    }
  }
  int64_t nz = 0, nzp = 0, neq = 0, ntu = 0, nsh = 0, nno = 0, nd1 = 0, nd2 = 0;
  tknhxt_(id.data(), &nz, &nzp, &neq, &ntu, &nsh, &nno, id.size());
  tknhxd_(id.data(), &nd1, &nd2, id.size());
  aval_section(out, id, "shells", nsh, tkhxba_);
  aval_section(out, id, "tubes", ntu, tkhxtu_);
  aval_section(out, id, "equipment data (EQUIP-SP)", neq, tkhxes_);
  pval_section(out, id, "nozzles", nno, tkhxno_);
  pval_section(out, id, "detailed results (1)", nd1, tkhxd1_);
  pval_section(out, id, "detailed results (2)", nd2, tkhxd2_);

  int64_t zones = 0, zprops = 0, points = 0, pprops = 0;
  tknhxs_(id.data(), &zones, &zprops, &points, &pprops, &ierr, id.size());
  if (ierr == 0 && zones > 0 && zprops > 0 && sane(zones) && sane(zprops) && sane(zones * zprops)) {
    const size_t nzs = static_cast<size_t>(zones), nps = static_cast<size_t>(zprops);
    std::string names(12 * nps, ' '), qn(12 * nps, ' '), lb(16 * nps, ' ');
    std::vector<double> v(nzs * nps, 0.0);
    tkhxsc_(id.data(), &zones, &zprops, names.data(), v.data(), qn.data(), lb.data(), &ierr, id.size(), 12, 12, 16);
    if (ierr == 0) {
      std::fprintf(out, "  zones: %lld\n", static_cast<long long>(zones));
      std::vector<std::string> head{"zone"};
      for (size_t k = 0; k < nps; ++k) head.push_back(field(names, k, 12) + " [" + field(lb, k, 16) + "]");
      print_row(out, head);
      for (size_t z = 0; z < nzs; ++z) {
        std::vector<std::string> row{std::to_string(z + 1)};
        for (size_t k = 0; k < nps; ++k) row.push_back(real(v[z * nps + k]));
        print_row(out, row);
      }
    }
  }
  if (zones > 0 && pprops > 0 && points > 0 && sane(zones) && sane(pprops) && sane(points)) {
    const size_t npp = static_cast<size_t>(pprops);
    std::string names(12 * npp, ' ');
    tkcoef_(id.data(), &pprops, names.data(), &ierr, id.size(), 12);
    std::fprintf(out, "  zone profiles: %lld points\n", static_cast<long long>(points));
    for (int64_t z = 1; z <= zones; ++z)
      for (size_t k = 0; k < npp; ++k) {
        std::string pn = pad(field(names, k, 12), 12), qn(12, ' '), lb(16, ' ');
        std::vector<double> v(static_cast<size_t>(points), 0.0);
        int64_t zz = z, np = points, e = 1;
        tkhxcf_(id.data(), &zz, &np, pn.data(), v.data(), qn.data(), lb.data(), &e, id.size(), 12, 12, 16);
        if (e != 0) continue;
        std::fprintf(out, "    zone %lld %s [%s]:", static_cast<long long>(z), trim(pn).c_str(), trim(lb).c_str());
        for (double x : v) std::fprintf(out, " %s", real(x).c_str());
        std::fprintf(out, "\n");
      }
  }
  int64_t nics = 0;
  tknics_(id.data(), &nics, id.size());
  if (nics > 0 && sane(nics)) {
    const size_t n = static_cast<size_t>(nics);
    std::vector<std::vector<int64_t>> con(4, std::vector<int64_t>(n, 0));
    std::vector<std::vector<double>> val(7, std::vector<double>(n, 0.0));
    tkicst_(id.data(), &nics, con[0].data(), con[1].data(), con[2].data(), con[3].data(), val[0].data(),
            val[1].data(), val[2].data(), val[3].data(), val[4].data(), val[5].data(), val[6].data(), &ierr, id.size());
    if (ierr == 0) {
      std::fprintf(out, "  intermediate streams: %lld\n", static_cast<long long>(nics));
      for (size_t i = 0; i < n; ++i) {
        std::fprintf(out, "    %zu: connections %lld %lld %lld %lld, values", i + 1, static_cast<long long>(con[0][i]),
                     static_cast<long long>(con[1][i]), static_cast<long long>(con[2][i]),
                     static_cast<long long>(con[3][i]));
        for (const auto& c : val) std::fprintf(out, " %s", real(c[i]).c_str());
        std::fprintf(out, "\n");
      }
    }
  }
}

}  // namespace

void report_curves(const std::vector<std::string>& blocks, std::FILE* out) {
  for (const std::string& b : blocks) {
    std::string id = pad(b, 128);
    int64_t n = 0;
    tknhcr_(id.data(), &n, id.size());
    std::fprintf(out, "\nblock %s: %lld heating curves\n", b.c_str(), static_cast<long long>(n));
    if (n <= 0 || !sane(n)) continue;
    const size_t m = static_cast<size_t>(n);
    std::string locs(8 * m, ' '), types(16 * m, ' ');
    std::vector<int64_t> numbers(m, 0);
    int64_t ierr = 1;
    tklhcr_(id.data(), &n, locs.data(), types.data(), numbers.data(), &ierr, id.size(), 8, 16);
    for (size_t i = 0; i < m; ++i) curve(out, id, field(locs, i, 8), field(types, i, 16), numbers[i]);
  }
}

void report_exchangers(const std::vector<std::string>& blocks, std::FILE* out) {
  for (const std::string& b : blocks) exchanger(out, b);
}

}  // namespace flowsum_tool
