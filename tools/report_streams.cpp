// Connections, the stream table and the Graphviz graph, read through the
// exported routines as a caller of the library would read them.
#include "tools/report_streams.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "tools/views.hpp"

namespace flowsum_tool {

namespace {

constexpr size_t kIdChars = 128;
constexpr size_t kTypeChars = 12;
constexpr int kRowTitle = 24;
constexpr int kColumn = 12;

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string field(const std::string& s, size_t n) {
  std::string out = s.substr(0, std::min(n, s.size()));
  out.resize(n, ' ');
  return out;
}

struct Object {
  std::string id, type;
};

std::vector<Object> objects(void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t),
                            int64_t n) {
  std::vector<Object> out;
  if (n < 1) return out;
  std::string ids(static_cast<size_t>(n) * kIdChars, ' '), types(static_cast<size_t>(n) * kTypeChars, ' ');
  int64_t ierr = 1;
  list(&n, ids.data(), types.data(), &ierr, kIdChars, kTypeChars);
  for (size_t i = 0; i < static_cast<size_t>(n); ++i)
    out.push_back({trimmed(ids.substr(i * kIdChars, kIdChars)),
                   trimmed(types.substr(i * kTypeChars, kTypeChars))});
  return out;
}

std::vector<Object> blocks() { return objects(tkbids_, flowsum::glob(flowsum::g::kNblk)); }
std::vector<Object> streams() { return objects(tksids_, flowsum::glob(flowsum::g::kNstr)); }

bool missing(double v) { return std::fabs(v) >= std::fabs(flowsum::rglb(1)); }

struct Ends {
  std::string source, destination;
  int64_t rows = 0;  // of the stream's main table
};

Ends stream_ends(const std::string& id) {
  std::string sid = field(id, kIdChars), src(kIdChars, ' '), dst(kIdChars, ' ');
  int64_t nsub = 0, nrows = 0, dum = 0;
  tksinf_(sid.data(), src.data(), dst.data(), &nsub, &nrows, &dum, kIdChars, kIdChars, kIdChars);
  return {trimmed(src), trimmed(dst), nrows};
}

struct Connections {
  std::vector<std::string> inlets, outlets;
};

Connections block_connections(const std::string& id) {
  std::string bid = field(id, kIdChars);
  int64_t nin = 0, nout = 0, status = 0;
  tkcntn_(bid.data(), &nin, &nout, &status, kIdChars);
  Connections c;
  const size_t ni = static_cast<size_t>(std::max<int64_t>(nin, 1)),
               no = static_cast<size_t>(std::max<int64_t>(nout, 1));
  std::string ii(ni * kIdChars, ' '), it(ni * kTypeChars, ' '), oi(no * kIdChars, ' '),
      ot(no * kTypeChars, ' ');
  int64_t ierr = 1;
  tkcnct_(bid.data(), &nin, &nout, ii.data(), it.data(), oi.data(), ot.data(), &ierr, kIdChars,
          kIdChars, kTypeChars, kIdChars, kTypeChars);
  for (int64_t i = 0; i < nin; ++i)
    c.inlets.push_back(trimmed(ii.substr(static_cast<size_t>(i) * kIdChars, kIdChars)));
  for (int64_t i = 0; i < nout; ++i)
    c.outlets.push_back(trimmed(oi.substr(static_cast<size_t>(i) * kIdChars, kIdChars)));
  return c;
}

std::string join(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& x : v) s += (s.empty() ? "" : ", ") + x;
  return s.empty() ? "-" : s;
}

// Temperature, pressure and vapour fraction of a stream (the first row of
// each without a component in the MIXED substream), read from its main
// table in one call: one read of the stream's data set instead of three.
// nrows: the rows of the main table, as stream_ends found them.
void main_values(const std::string& stream, int64_t nrows, double& temp, double& pres, double& vfrac,
                 std::string& tlabel, std::string& plabel) {
  temp = pres = vfrac = flowsum::rglb(1);
  if (nrows < 1) return;
  std::string sid = field(stream, kIdChars);
  int64_t dum = 0;
  constexpr size_t kRow = 64, kName = 12, kLabel = 16;
  const size_t n = static_cast<size_t>(nrows);
  std::string rows(n * kRow, ' '), names(n * kName, ' '), labels(n * kLabel, ' ');
  std::vector<double> values(n, flowsum::rglb(1));
  int64_t nout = 0;
  tkstrm_(sid.data(), &dum, rows.data(), values.data(), names.data(), labels.data(), &nout, kIdChars,
          kRow, kName, kLabel);
  bool seen_t = false, seen_p = false, seen_v = false;
  for (size_t i = 0; i < n; ++i) {
    const std::string_view row(rows.data() + i * kRow, kRow);
    const std::string sub = trimmed(std::string(row.substr(16, 16)));
    if (!trimmed(std::string(row.substr(32, 16))).empty() || !(sub.empty() || sub == "MIXED")) continue;
    const std::string prop = trimmed(std::string(row.substr(0, 16)));
    const std::string label = trimmed(labels.substr(i * kLabel, kLabel));
    if (prop == "TEMP" && !seen_t) {
      seen_t = true;
      temp = values[i];
      if (!label.empty()) tlabel = label;
    } else if (prop == "PRES" && !seen_p) {
      seen_p = true;
      pres = values[i];
      if (!label.empty()) plabel = label;
    } else if (prop == "VFRAC" && !seen_v) {
      seen_v = true;
      vfrac = values[i];
    }
  }
}

std::string number(double v) {
  if (missing(v)) return "-";
  return significant(v);
}

}  // namespace

namespace {

// Prints the ends of the streams st; returns the rows of their main tables.
std::vector<int64_t> print_connections(const std::vector<Object>& st, std::FILE* out) {
  std::vector<int64_t> rows;
  for (const Object& s : st) {
    const Ends e = stream_ends(s.id);
    rows.push_back(e.rows);
    std::fprintf(out, "  %s: %s -> %s\n", s.id.c_str(),
                 e.source.empty() ? "(feed)" : e.source.c_str(),
                 e.destination.empty() ? "(product)" : e.destination.c_str());
  }
  return rows;
}

// The stream table of the streams st: temperature, pressure, vapour
// fraction, total and component flows on the settings' basis. Streams are
// columns, in groups that fit the settings' width, or rows with by_stream.
void print_stream_table(const std::vector<Object>& st, const std::vector<int64_t>& main_rows,
                        std::FILE* out) {
  const std::string& basis = settings().basis;
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  struct Column {
    double temp, pres, vfrac, total;
    std::vector<double> comps;
  };
  std::vector<Column> cols;
  std::vector<std::string> comp_ids(static_cast<size_t>(ncc));
  std::string tlabel, plabel, flabel;
  const bool fraction = basis.find("FRAC") != std::string::npos;
  for (size_t j = 0; j < st.size(); ++j) {
    const Object& s = st[j];
    Column c{};
    main_values(s.id, main_rows[j], c.temp, c.pres, c.vfrac, tlabel, plabel);
    c.comps.assign(static_cast<size_t>(ncc), flowsum::rglb(1));
    if (ncc > 0) {
      std::string sid = field(s.id, kIdChars), sub = field("MIXED", 8), b = field(basis, 12),
                  ids(static_cast<size_t>(ncc) * 8, ' '), lab(16, ' '),
                  tn(64 * 12, ' '), tl(64 * 16, ' ');
      std::vector<double> tv(64);
      int64_t n = ncc, dum = 0;
      tksubs_(sid.data(), sub.data(), b.data(), &n, ids.data(), c.comps.data(), lab.data(), &dum,
              tn.data(), tv.data(), tl.data(), kIdChars, 8, 12, 8, 16, 12, 16);
      if (!trimmed(lab).empty()) flabel = trimmed(lab);
      for (size_t i = 0; i < comp_ids.size(); ++i) {
        const std::string id = trimmed(ids.substr(i * 8, 8));
        if (!id.empty()) comp_ids[i] = id;
      }
    }
    // The total is the sum of the component values (missing when any is).
    c.total = 0;
    for (double v : c.comps) c.total = missing(v) || missing(c.total) ? flowsum::rglb(1) : c.total + v;
    cols.push_back(std::move(c));
  }

  // The table's rows: a title, its unit, and the value of a column.
  struct Row {
    std::string title, unit;
    double (*value)(const Column&, size_t);
    size_t component;
  };
  std::vector<Row> rows = {
      {"Temperature", tlabel, [](const Column& c, size_t) { return c.temp; }, 0},
      {"Pressure", plabel, [](const Column& c, size_t) { return c.pres; }, 0},
      {"Vapour fraction", "", [](const Column& c, size_t) { return c.vfrac; }, 0},
      {"Total", fraction ? std::string() : flabel, [](const Column& c, size_t) { return c.total; }, 0}};
  for (size_t i = 0; i < comp_ids.size(); ++i)
    rows.push_back({"  " + comp_ids[i], "", [](const Column& c, size_t k) { return c.comps[k]; }, i});

  std::fprintf(out, "\nstream table (%s):\n", basis.c_str());
  const auto cell = [](const std::string& text) { return fit(text, kColumn); };
  if (settings().by_stream) {
    std::fprintf(out, "%-*s", kRowTitle, "stream");
    for (const Row& r : rows) std::fprintf(out, " %*s", kColumn, cell(r.title.substr(r.title.find_first_not_of(' '))).c_str());
    std::fprintf(out, "\n%-*s", kRowTitle, "");
    for (const Row& r : rows) std::fprintf(out, " %*s", kColumn, cell(r.unit).c_str());
    std::fprintf(out, "\n");
    for (size_t j = 0; j < st.size(); ++j) {
      std::fprintf(out, "%-*s", kRowTitle, fit(st[j].id, kRowTitle).c_str());
      for (const Row& r : rows) std::fprintf(out, " %*s", kColumn, number(r.value(cols[j], r.component)).c_str());
      std::fprintf(out, "\n");
    }
    return;
  }
  const int width = settings().width;
  const size_t per_group =
      width <= 0 ? st.size()
                 : static_cast<size_t>(std::max(1, (width - kRowTitle) / (kColumn + 1)));
  for (size_t first = 0; first < st.size(); first += per_group) {
    const size_t last = std::min(st.size(), first + per_group);
    if (first > 0) std::fprintf(out, "\n");
    std::fprintf(out, "%-*s", kRowTitle, "");
    for (size_t j = first; j < last; ++j) std::fprintf(out, " %*s", kColumn, cell(st[j].id).c_str());
    std::fprintf(out, "\n");
    for (const Row& r : rows) {
      const std::string title = r.unit.empty() ? r.title : r.title + " " + r.unit;
      std::fprintf(out, "%-*s", kRowTitle, fit(title, kRowTitle).c_str());
      for (size_t j = first; j < last; ++j)
        std::fprintf(out, " %*s", kColumn, number(r.value(cols[j], r.component)).c_str());
      std::fprintf(out, "\n");
    }
  }
}

// Heat and work streams carry one value, their duty or power, and no
// composition: they are listed with it instead of taking a column of the
// stream table.
bool is_energy(const Object& s) { return s.type.rfind("HEAT", 0) == 0 || s.type.rfind("WORK", 0) == 0; }

void print_streams(const std::vector<Object>& st, const std::vector<int64_t>& main_rows, std::FILE* out) {
  std::vector<Object> material, energy;
  std::vector<int64_t> material_rows;
  for (size_t j = 0; j < st.size(); ++j) {
    if (is_energy(st[j])) {
      energy.push_back(st[j]);
    } else {
      material.push_back(st[j]);
      material_rows.push_back(main_rows[j]);
    }
  }
  if (!material.empty()) print_stream_table(material, material_rows, out);
  if (energy.empty()) return;
  std::fprintf(out, "\nheat and work streams:\n");
  for (const Object& e : energy) {
    std::string sid = field(e.id, kIdChars), type = field(e.type, 4), label(16, ' ');
    double value = flowsum::rglb(1);
    tkstra_(sid.data(), type.data(), &value, label.data(), kIdChars, 4, label.size());
    const std::string unit = trimmed(label);
    std::fprintf(out, "  %s (%s): %s %s %s\n", e.id.c_str(), e.type.c_str(),
                 e.type.rfind("HEAT", 0) == 0 ? "duty" : "power", number(value).c_str(), unit.c_str());
  }
}

}  // namespace

void report_streams(std::FILE* out) {
  const std::vector<Object> bl = blocks();
  std::fprintf(out, "\nconnections:\n");
  for (const Object& b : bl) {
    const Connections c = block_connections(b.id);
    std::fprintf(out, "  %s (%s): in %s; out %s\n", b.id.c_str(), b.type.c_str(),
                 join(c.inlets).c_str(), join(c.outlets).c_str());
  }
  const std::vector<Object> st = streams();
  const std::vector<int64_t> rows = print_connections(st, out);
  print_streams(st, rows, out);
}

void report_stream_view(const std::vector<std::string>& ids, std::FILE* out) {
  const std::vector<Object> all = streams();
  std::vector<Object> chosen;
  for (const std::string& id : ids) {
    const auto it = std::find_if(all.begin(), all.end(), [&](const Object& o) { return o.id == id; });
    if (it == all.end())
      not_in_file("stream", id);
    else
      chosen.push_back(*it);
  }
  if (chosen.empty()) return;
  std::fprintf(out, "\nstreams:\n");
  const std::vector<int64_t> rows = print_connections(chosen, out);
  print_streams(chosen, rows, out);
}

std::vector<std::string> block_ids() {
  std::vector<std::string> ids;
  for (const Object& b : blocks()) ids.push_back(b.id);
  return ids;
}

namespace {

std::string escaped(const std::string& s) {
  std::string q;
  for (char ch : s) {
    if (ch == '"' || ch == '\\') q += '\\';
    q += ch;
  }
  return q;
}

std::string quoted(const std::string& s) { return "\"" + escaped(s) + "\""; }

}  // namespace

void write_dot(std::FILE* out) {
  std::fprintf(out, "digraph flowsheet {\n  rankdir=LR;\n  node [shape=box];\n");
  for (const Object& b : blocks())
    std::fprintf(out, "  %s [label=%s];\n", quoted(b.id).c_str(),
                 ("\"" + escaped(b.id) + "\\n" + escaped(b.type) + "\"").c_str());
  for (const Object& s : streams()) {
    const Ends e = stream_ends(s.id);
    std::string from = e.source, to = e.destination;
    // Feeds and products end in open points of their own.
    if (from.empty()) {
      from = "feed:" + s.id;
      std::fprintf(out, "  %s [shape=point, label=\"\"];\n", quoted(from).c_str());
    }
    if (to.empty()) {
      to = "product:" + s.id;
      std::fprintf(out, "  %s [shape=point, label=\"\"];\n", quoted(to).c_str());
    }
    std::fprintf(out, "  %s -> %s [label=%s];\n", quoted(from).c_str(), quoted(to).c_str(),
                 quoted(s.id).c_str());
  }
  std::fprintf(out, "}\n");
}

}  // namespace flowsum_tool
