// Column profiles, tray reports and sections, and for a refinery column its
// own results, printed through the exported routines as any caller would
// read them.
#include "tools/report_columns.hpp"

#include <algorithm>
#include <cstdint>

#include "flowsum.h"
#include "tools/views.hpp"

namespace flowsum_tool {
namespace {

// Counts from the file beyond this are reported, not read.
constexpr int64_t kMaxCount = 10000;

std::string real(double x) {
  return significant(x);
}
bool sane(int64_t n) { return n >= 0 && n <= kMaxCount; }

void profile_tables(std::string& f, int64_t c, std::FILE* out) {
  int64_t col = c, nt = 0, nc = 0, np = 0, ierr = 1;
  tkprof_(f.data(), &col, &nt, &nc, &np, f.size());
  std::fprintf(out, " column %lld: %lld trays, %lld components, %lld profile properties\n",
               static_cast<long long>(c), static_cast<long long>(nt), static_cast<long long>(nc),
               static_cast<long long>(np));
  if (!sane(nt) || !sane(nc) || !sane(np) || np == 0) return;
  std::string names(12 * static_cast<size_t>(np), ' ');
  std::vector<int64_t> kinds(static_cast<size_t>(np), 0);
  tkprop_(f.data(), &col, &np, kinds.data(), names.data(), &ierr, f.size(), 12);
  // Per-tray properties side by side.
  std::vector<std::vector<double>> columns;
  std::string head = "  TRAY";
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 1) continue;
    std::string name = pad(field(names, k, 12), 12), q(12, ' '), l(16, ' ');
    std::vector<double> v(static_cast<size_t>(nt), 0.0);
    tkpro1_(f.data(), name.data(), &col, &nt, v.data(), q.data(), l.data(), &ierr, f.size(), 12, 12, 16);
    if (ierr != 0) continue;
    const std::string label = trim(name) + (trim(l).empty() ? "" : " [" + trim(l) + "]");
    char cell[64];
    std::snprintf(cell, sizeof cell, " %16s", label.c_str());
    head += cell;
    columns.push_back(v);
  }
  std::fprintf(out, "%s\n", head.c_str());
  for (int64_t t = 0; t < nt; ++t) {
    std::fprintf(out, "  %4lld", static_cast<long long>(t + 1));
    for (const auto& v : columns) std::fprintf(out, " %16s", real(v[static_cast<size_t>(t)]).c_str());
    std::fprintf(out, "\n");
  }
  // One table per composition property, components as columns.
  for (size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k] != 2 || nc == 0) continue;
    std::string name = pad(field(names, k, 12), 12), q(12, ' '), l(16, ' '),
                ids(8 * static_cast<size_t>(nc), ' ');
    std::vector<double> v(static_cast<size_t>(nc * nt), 0.0);
    int64_t ld = nc;
    tkpro2_(f.data(), name.data(), &col, &ld, ids.data(), &nt, v.data(), q.data(), l.data(), &ierr, f.size(), 12,
            8, 12, 16);
    if (ierr != 0) continue;
    std::fprintf(out, "  %s%s\n  TRAY", trim(name).c_str(), trim(l).empty() ? "" : (" [" + trim(l) + "]").c_str());
    for (int64_t i = 0; i < nc; ++i) std::fprintf(out, " %12s", field(ids, static_cast<size_t>(i), 8).c_str());
    std::fprintf(out, "\n");
    for (int64_t t = 0; t < nt; ++t) {
      std::fprintf(out, "  %4lld", static_cast<long long>(t + 1));
      for (int64_t i = 0; i < nc; ++i) std::fprintf(out, " %12s", real(v[static_cast<size_t>(i + nc * t)]).c_str());
      std::fprintf(out, "\n");
    }
  }
}

void tray_report(std::string& f, int64_t c, std::FILE* out) {
  int64_t col = c, nt = 0, np = 0;
  tktrep_(f.data(), &col, &nt, &np, f.size());
  if (np == 0 || !sane(nt) || !sane(np)) return;
  std::fprintf(out, "  tray report: %lld properties on %lld trays\n", static_cast<long long>(np),
               static_cast<long long>(nt));
  for (int64_t k = 1; k <= np; ++k) {
    std::vector<int64_t> trays(static_cast<size_t>(nt), 0);
    std::vector<double> v(static_cast<size_t>(nt), 0.0);
    std::string p(12, ' '), s(8, ' '), ph(8, ' '), cm(8, ' '), ba(4, ' '), un(4, ' '), q(12, ' '), l(16, ' ');
    int64_t kk = k, ierr = 1;
    tkntpr_(f.data(), &col, &nt, trays.data(), &kk, p.data(), s.data(), ph.data(), cm.data(), ba.data(),
            un.data(), v.data(), q.data(), l.data(), &ierr, f.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    if (ierr != 0) continue;
    std::fprintf(out, "   %s %s %s %s [%s]:", trim(p).c_str(), trim(s).c_str(), trim(ph).c_str(), trim(cm).c_str(),
                 trim(l).c_str());
    for (int64_t t = 0; t < nt && trays[static_cast<size_t>(t)] > 0; ++t)
      std::fprintf(out, " %lld=%s", static_cast<long long>(trays[static_cast<size_t>(t)]),
                   real(v[static_cast<size_t>(t)]).c_str());
    std::fprintf(out, "\n");
  }
}

void sections(std::string& f, int64_t c, std::FILE* out) {
  int64_t col = c, n = 0, ierr = 1;
  tknsec_(f.data(), &col, &n, &ierr, f.size());
  if (n == 0 || !sane(n)) return;
  std::vector<int64_t> numbers(static_cast<size_t>(n), 0);
  std::string types(12 * static_cast<size_t>(n), ' ');
  tklsec_(f.data(), &col, &n, numbers.data(), types.data(), &ierr, f.size(), 12);
  for (size_t k = 0; k < numbers.size(); ++k) {
    std::string type = pad(field(types, k, 12), 12);
    int64_t number = numbers[k], np = 0, nprop = 0, nres = 0;
    tkssec_(f.data(), &col, type.data(), &number, &np, &nprop, &nres, &ierr, f.size(), 12);
    std::fprintf(out, "  section %s %lld: %lld results, %lld profile properties on %lld trays\n", trim(type).c_str(),
                 static_cast<long long>(number), static_cast<long long>(nres), static_cast<long long>(nprop),
                 static_cast<long long>(np));
  }
}

// ---- Refinery columns (model CRUDEUNI) ----

// Fields the routines leave alone keep this first character: a list sized by
// a count may hold fewer results than the count (a stripper's share of the
// summary results, a connection without its further values).
constexpr char kUnwritten = '\x01';

// A result list of at most n entries as "NAME=VALUE [LABEL]" pairs on one
// line; read fills names, values, quantity names and labels.
template <typename Read>
void result_line(const char* title, int64_t n, Read read, std::FILE* out) {
  if (n <= 0 || !sane(n)) return;
  const size_t m = static_cast<size_t>(n);
  std::string names(12 * m, kUnwritten), q(12 * m, ' '), l(16 * m, ' ');
  std::vector<double> v(m, 0.0);
  if (read(n, names.data(), v.data(), q.data(), l.data()) != 0) return;
  std::fprintf(out, "   %s:", title);
  for (size_t k = 0; k < m && names[12 * k] != kUnwritten; ++k) {
    const std::string label = field(l, k, 16);
    std::fprintf(out, " %s=%s%s", field(names, k, 12).c_str(), real(v[k]).c_str(),
                 label.empty() ? "" : (" [" + label + "]").c_str());
  }
  std::fprintf(out, "\n");
}

// Column c's summary results, connections and petroleum property profiles
// (over the column's trays).
void refinery_column(std::string& f, int64_t c, std::FILE* out) {
  int64_t col = c, n[12] = {}, nt = 0, nc = 0, np = 0;
  tknpet_(f.data(), &col, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11],
          f.size());
  tkprof_(f.data(), &col, &nt, &nc, &np, f.size());
  std::fprintf(out, "  %s results\n", c == 1 ? "main column" : ("stripper " + std::to_string(c - 1)).c_str());
  result_line("summary", n[3], [&](int64_t m, char* names, double* v, char* q, char* l) {
    std::vector<int64_t> kinds(static_cast<size_t>(m), 0);
    int64_t ierr = 1;
    tkptrs_(f.data(), &col, &m, names, kinds.data(), v, q, l, &ierr, f.size(), 12, 12, 16);
    return ierr;
  }, out);
  const int64_t connections = c == 1 ? n[6] * std::max<int64_t>(n[7] - 3, 0) : n[10] * n[11];
  result_line("connections", sane(n[6]) && sane(n[10]) ? connections : 0,
              [&](int64_t m, char* names, double* v, char* q, char* l) {
                int64_t ierr = 1;
                tkptcn_(f.data(), &col, &m, names, v, q, l, &ierr, f.size(), 12, 12, 16);
                return ierr;
              }, out);
  int64_t nprop = n[0] + n[1] + n[2], ierr = 1;
  if (nprop <= 0 || !sane(nprop) || !sane(nt)) return;
  std::string names(12 * static_cast<size_t>(nprop), kUnwritten), bases(4 * static_cast<size_t>(nprop), ' ');
  tkptad_(f.data(), &col, &nprop, names.data(), bases.data(), &ierr, f.size(), 12, 4);
  for (size_t k = 0; ierr == 0 && k < static_cast<size_t>(nprop) && names[12 * k] != kUnwritten; ++k) {
    std::string name = pad(field(names, k, 12), 12), basis = bases.substr(4 * k, 4), q(12, ' '), l(16, ' ');
    std::vector<double> v(static_cast<size_t>(nt), 0.0);
    int64_t points = nt, perr = 1;
    tkptpr_(f.data(), name.data(), &col, &points, basis.data(), v.data(), q.data(), l.data(), &perr, f.size(), 12, 4,
            12, 16);
    if (perr != 0) continue;
    std::fprintf(out, "   %s %s%s:", basis.c_str(), trim(name).c_str(),
                 trim(l).empty() ? "" : (" [" + trim(l) + "]").c_str());
    for (double x : v) std::fprintf(out, " %s", real(x).c_str());
    std::fprintf(out, "\n");
  }
}

// The main column's pumparounds, feed and product connections and furnace.
void refinery_main(std::string& f, std::FILE* out) {
  int64_t col = 1, n[12] = {};
  tknpet_(f.data(), &col, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11],
          f.size());
  std::fprintf(out, "  main column pumparounds, connections and furnace\n");
  for (int64_t p = 1; p <= std::min<int64_t>(n[4], kMaxCount); ++p)
    result_line(("pumparound " + std::to_string(p)).c_str(), n[5], [&](int64_t m, char* names, double* v, char* q, char* l) {
      int64_t ierr = 1;
      tkptpp_(f.data(), &p, &m, names, v, q, l, &ierr, f.size(), 12, 12, 16);
      return ierr;
    }, out);
  for (int64_t k = 1; k <= std::min<int64_t>(n[6], kMaxCount); ++k)
    result_line(("connection " + std::to_string(k)).c_str(), n[7], [&](int64_t m, char* names, double* v, char* q, char* l) {
      int64_t ierr = 1;
      tkptfr_(f.data(), &k, &m, names, v, q, l, &ierr, f.size(), 12, 12, 16);
      return ierr;
    }, out);
  int64_t np = n[8], nc = n[9], ierr = 1;
  if (np <= 0 || nc <= 0 || !sane(np) || !sane(nc) || np * nc > kMaxCount) return;
  std::string names(12 * static_cast<size_t>(np), ' '), ids(8 * static_cast<size_t>(nc), ' '),
      q(12 * static_cast<size_t>(np), ' '), l(16 * static_cast<size_t>(np), ' ');
  std::vector<double> v(static_cast<size_t>(np * nc), 0.0);
  tkfrcm_(f.data(), &np, &nc, names.data(), ids.data(), v.data(), q.data(), l.data(), &ierr, f.size(), 12, 8, 12, 16);
  if (ierr != 0) return;
  for (size_t p = 0; p < static_cast<size_t>(np); ++p) {
    const std::string label = field(l, p, 16);
    std::fprintf(out, "   furnace %s%s:", field(names, p, 12).c_str(), label.empty() ? "" : (" [" + label + "]").c_str());
    for (size_t i = 0; i < static_cast<size_t>(nc); ++i)
      std::fprintf(out, " %s=%s", field(ids, i, 8).c_str(), real(v[p * static_cast<size_t>(nc) + i]).c_str());
    std::fprintf(out, "\n");
  }
}

}  // namespace

void report_columns(const std::vector<std::string>& ids, std::FILE* out) {
  for (const std::string& id : ids) {
    std::string f = pad(id, 128);
    int64_t ncol = 0;
    tkncol_(f.data(), &ncol, f.size());
    std::string model(8, ' ');
    int64_t ierr = 1;
    tkvblk_(f.data(), model.data(), &ierr, f.size(), model.size());
    const bool refinery = ierr == 0 && model == "CRUDEUNI";
    std::fprintf(out, "\ncolumn block %s, columns: %lld\n", id.c_str(), static_cast<long long>(ncol));
    for (int64_t c = 1; c <= std::min<int64_t>(ncol, kMaxCount); ++c) {
      profile_tables(f, c, out);
      tray_report(f, c, out);
      sections(f, c, out);
      if (refinery) refinery_column(f, c, out);
    }
    if (refinery) refinery_main(f, out);
  }
}

}  // namespace flowsum_tool
