// Block results, property tables and sensitivity tables, printed through
// the exported routines as any caller would read them.
#include "tools/report_blocks.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "tools/views.hpp"
#include "store/identifier_access.hpp"

namespace flowsum_tool {
namespace {

std::string real(double x) {
  return significant(x);
}

// Upper bound of array sizes the tool asks for: a count from the file that
// would need more is reported, not read.
constexpr int64_t kMaxRows = 100000;

void reactor_reports(const std::string& id, std::FILE* out) {
  std::string f = pad(id, 128), types(36, ' ');
  int64_t n = 0, ierr = 1;
  tklrrp_(f.data(), &n, types.data(), &ierr, f.size(), 12);
  if (ierr != 0) return;
  for (int64_t r = 0; r < std::min<int64_t>(n, 3); ++r) {
    std::string type = pad(field(types, static_cast<size_t>(r), 12), 12);
    int64_t np = 0, nprof = 0, e = 0;
    tksrrp_(f.data(), type.data(), &np, &nprof, &e, f.size(), type.size());
    std::fprintf(out, "  report %s: %lld profiles of %lld points\n", trim(type).c_str(),
                 static_cast<long long>(nprof), static_cast<long long>(np));
    if (e != 0 || np < 0 || np > kMaxRows) continue;
    for (int64_t k = 1; k <= nprof; ++k) {
      std::string pn(12, ' '), sub(8, ' '), ph(8, ' '), cp(8, ' '), bs(4, ' '), fb(4, ' '), ut(12, ' '),
          lb(16, ' ');
      std::vector<double> v(static_cast<size_t>(std::max<int64_t>(np, 1)), 0.0);
      int64_t dum = 0, kk = k, pe = 1;
      tknrrp_(f.data(), type.data(), &dum, &kk, pn.data(), sub.data(), ph.data(), cp.data(), bs.data(),
              fb.data(), v.data(), ut.data(), lb.data(), &pe, f.size(), type.size(), 12, 8, 8, 8, 4, 4, 12, 16);
      if (pe != 0) continue;
      std::fprintf(out, "    %-12s %-8s %-8s %-8s %-4s [%s]:", trim(pn).c_str(), trim(sub).c_str(),
                   trim(ph).c_str(), trim(cp).c_str(), trim(bs).c_str(), trim(lb).c_str());
      for (int64_t i = 0; i < np; ++i) std::fprintf(out, " %s", real(v[static_cast<size_t>(i)]).c_str());
      std::fprintf(out, "\n");
    }
  }
}

// A block's general result table as TKNRES and TKBRES return it.
struct ResultTable {
  size_t rows = 0, desc = 0;
  std::string names, quals, texts, labels;
  std::vector<int64_t> types, ints;
  std::vector<double> reals;

  // Reads the table of the block whose identifier field is f (at most 128
  // characters) and returns its number of results; a table too large for the
  // tool to read is left empty, its count still returned.
  int64_t read(std::string& f) {
    int64_t n = 0, nd = 0, status = 1;
    tknres_(f.data(), &n, &nd, &status, f.size());
    if (n <= 0 || n > kMaxRows || nd < 0 || nd > 100) return n;
    rows = static_cast<size_t>(n);
    desc = static_cast<size_t>(nd);
    names.assign(12 * rows, ' ');
    quals.assign(8 * std::max<size_t>(desc * rows, 1), ' ');
    texts.assign(8 * rows, ' ');
    labels.assign(16 * rows, ' ');
    std::string utypes(12 * rows, ' ');
    types.assign(rows, 0);
    ints.assign(rows, 0);
    reals.assign(rows, 0.0);
    int64_t d1 = 0, d2 = 0;
    tkbres_(f.data(), &d1, &d2, names.data(), quals.data(), types.data(), ints.data(), texts.data(),
            reals.data(), utypes.data(), labels.data(), f.size(), 12, 8, 8, 12, 16);
    return n;
  }

  // Row j as one line: property name, descriptive qualifiers, the value
  // (an integer, a real with its unit label, or a quoted text).
  void print(size_t j, const char* indent, std::FILE* out) const {
    std::string d;
    for (size_t q = 0; q < desc; ++q) {
      const std::string s = field(quals, j * desc + q, 8);
      if (!s.empty()) d += (d.empty() ? "" : " ") + s;
    }
    // A missing real shows as "-", as in the stream table, not as the
    // marker the tool loads with.
    const bool missing = types[j] == 2 && std::fabs(reals[j]) >= std::fabs(flowsum::rglb(1));
    std::string value;
    if (types[j] == 1) value = std::to_string(ints[j]);
    else if (missing) value = "-";
    else if (types[j] == 2) value = real(reals[j]);
    else value = "\"" + field(texts, j, 8) + "\"";
    const std::string label = missing ? std::string() : field(labels, j, 16);
    std::fprintf(out, "%s%-12s %-18s %s%s%s\n", indent, field(names, j, 12).c_str(), d.c_str(), value.c_str(),
                 label.empty() ? "" : " ", label.c_str());
  }
};

void block(const std::string& id, std::FILE* out) {
  std::string f = pad(id, 128);
  const flowsum::ItemMatch m = flowsum::find_block(id);
  if (!m) {
    not_in_file("block", id);
    return;
  }
  ResultTable t;
  const int64_t n = t.read(f);
  const std::string model(flowsum::widened_type(flowsum::ItemKind::kBlock, m.type.view()));
  std::fprintf(out, "\nblock %s (%s): %lld results\n", id.c_str(), model.c_str(), static_cast<long long>(n));
  for (size_t j = 0; j < t.rows; ++j) t.print(j, "  ", out);
  reactor_reports(id, out);
}

void envelope(const std::string& id, std::FILE* out) {
  std::string f = pad(id, 128);
  int64_t ncurves = 0, ncol = 0, status = 1;
  tknenv_(f.data(), &ncurves, &ncol, &status, f.size());
  std::fprintf(out, "\nenvelope %s: %lld curves, %lld property columns\n", id.c_str(),
               static_cast<long long>(ncurves), static_cast<long long>(ncol));
  for (int64_t e = 1; e <= ncurves; ++e) {
    int64_t ee = e, n1 = 0, n2 = 0, d = 0;
    tksenv_(f.data(), &ee, &n1, &n2, f.size());
    if (n1 < 0 || n2 < 0 || n1 > kMaxRows || n2 > kMaxRows) continue;
    std::vector<double> x1(static_cast<size_t>(n1) + 1), y1(x1.size()), x2(static_cast<size_t>(n2) + 1),
        y2(x2.size());
    double m1 = 0, m2 = 0;
    tkptev_(f.data(), &ee, &d, &d, &m1, &m2, x1.data(), y1.data(), x2.data(), y2.data(), f.size());
    std::fprintf(out, "  curve %lld\n", static_cast<long long>(e));
    auto half = [&](const char* name, double m, const std::vector<double>& x, const std::vector<double>& y,
                    int64_t n) {
      std::fprintf(out, "    %s half, marker %s, %lld points:", name, real(m).c_str(), static_cast<long long>(n));
      for (int64_t i = 0; i < n; ++i)
        std::fprintf(out, " (%s, %s)", real(x[static_cast<size_t>(i)]).c_str(), real(y[static_cast<size_t>(i)]).c_str());
      std::fprintf(out, "\n");
    };
    half("first", m1, x1, y1, n1);
    half("second", m2, x2, y2, n2);
  }
}

void table(const std::string& id, std::FILE* out) {
  const flowsum::ItemMatch m = flowsum::find_prop_table(id);
  if (!m) {
    not_in_file("property table", id);
    return;
  }
  if (trim(std::string(m.type.view())) == "PTENVELO") {
    envelope(id, out);
    return;
  }
  std::string f = pad(id, 128);
  int64_t np = 0, ncol = 0, status = 1;
  tksppt_(f.data(), &np, &ncol, &status, f.size());
  const std::string type(flowsum::widened_type(flowsum::ItemKind::kPropTable, m.type.view()));
  std::fprintf(out, "\nproperty table %s (%s): %lld points, %lld columns\n", id.c_str(), type.c_str(), static_cast<long long>(np), static_cast<long long>(ncol));
  if (np < 1 || np > kMaxRows || ncol < 1 || ncol > 1000) return;
  std::vector<std::vector<double>> cols;
  for (int64_t k = 1; k <= ncol; ++k) {
    std::string pn(12, ' '), sub(8, ' '), ph(8, ' '), cp(8, ' '), bs(4, ' '), fb(4, ' '), ut(12, ' '), lb(16, ' ');
    std::vector<double> v(static_cast<size_t>(np), 0.0);
    int64_t kk = k, e = 1, n = np;
    tknppr_(f.data(), &n, &kk, pn.data(), sub.data(), ph.data(), cp.data(), bs.data(), fb.data(), v.data(),
            ut.data(), lb.data(), &e, f.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    std::fprintf(out, "  column %lld: %s %s %s %s %s [%s]\n", static_cast<long long>(k), trim(pn).c_str(),
                 trim(sub).c_str(), trim(ph).c_str(), trim(cp).c_str(), trim(bs).c_str(), trim(lb).c_str());
    cols.push_back(std::move(v));
  }
  for (int64_t p = 0; p < np; ++p) {
    std::fprintf(out, "  %4lld", static_cast<long long>(p + 1));
    for (const auto& c : cols) std::fprintf(out, " %14s", real(c[static_cast<size_t>(p)]).c_str());
    std::fprintf(out, "\n");
  }
}

void sensitivity(const std::string& id, std::FILE* out) {
  std::string f = pad(id, 128);
  int64_t np = 0, nc = 0, status = 1;
  tknsen_(f.data(), &np, &nc, &status, f.size());
  if (status != 0) {
    not_in_file("sensitivity", id);
    return;
  }
  std::fprintf(out, "\nsensitivity %s: %lld points, %lld columns\n", id.c_str(), static_cast<long long>(np),
               static_cast<long long>(nc));
  if (np < 1 || nc < 1 || np > kMaxRows || nc > 1000) return;
  const size_t rows = static_cast<size_t>(np), ncols = static_cast<size_t>(nc);
  std::string desc(8 * 6 * ncols, ' ');
  std::vector<double> matrix(rows * ncols, 0.0);
  // A point the file gives no status for keeps this mark, printed "-".
  constexpr int64_t kNoStatus = std::numeric_limits<int64_t>::min();
  std::vector<int64_t> st(rows, kNoStatus);
  int64_t ld = np, dum = 0, ierr = 1;
  tksens_(f.data(), &ld, &dum, desc.data(), matrix.data(), st.data(), &ierr, f.size(), 8);
  for (size_t c = 0; c < ncols; ++c) {
    std::string d;
    for (size_t k = 0; k < 6; ++k) {
      const std::string s = field(desc, 6 * c + k, 8);
      if (!s.empty()) d += (d.empty() ? "" : " ") + s;
    }
    std::fprintf(out, "  column %zu: %s\n", c + 1, d.c_str());
  }
  for (size_t p = 0; p < rows; ++p) {
    if (st[p] == kNoStatus) std::fprintf(out, "  %4zu status -:", p + 1);
    else std::fprintf(out, "  %4zu status %lld:", p + 1, static_cast<long long>(st[p]));
    for (size_t c = 0; c < ncols; ++c) std::fprintf(out, " %14s", real(matrix[c * rows + p]).c_str());
    std::fprintf(out, "\n");
  }
}

}  // namespace

void report_block_summaries(const std::vector<std::pair<std::string, std::string>>& blocks, int rows,
                            std::FILE* out) {
  if (blocks.empty() || rows <= 0) return;
  std::fprintf(out, "\nblock summaries (the first %d results of each):\n", rows);
  for (const auto& [id, model] : blocks) {
    // The identifier as a field of its own length (the library reads input
    // fields up to their last non-blank): no padded copy to pass over.
    std::string f = id.substr(0, 128);
    ResultTable t;
    const int64_t n = t.read(f);
    std::fprintf(out, "  %s (%s): %lld result%s\n", id.c_str(), model.c_str(), static_cast<long long>(n),
                 n == 1 ? "" : "s");
    const size_t shown = std::min(t.rows, static_cast<size_t>(rows));
    for (size_t j = 0; j < shown; ++j) t.print(j, "    ", out);
    if (n > static_cast<int64_t>(shown))
      std::fprintf(out, "    ... and %lld more (--block %s)\n", static_cast<long long>(n - static_cast<int64_t>(shown)),
                   id.c_str());
  }
}

void report_block_tables(const BlockTableRequests& requests, std::FILE* out) {
  for (const std::string& id : requests.blocks) block(id, out);
  for (const std::string& id : requests.tables) table(id, out);
  for (const std::string& id : requests.sensitivities) sensitivity(id, out);
}

}  // namespace flowsum_tool
