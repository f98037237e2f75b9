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
#include "store/text_field.hpp"
#include "tools/views.hpp"

namespace flowsum_tool {

namespace {

constexpr size_t kIdChars = 128;
constexpr size_t kTypeChars = 12;
constexpr int kRowTitle = 24;
constexpr int kColumn = 12;

std::string trimmed(std::string_view s) { return std::string(flowsum::TextField::trim_right(s)); }

std::string field(const std::string& s, size_t n) {
  std::string out = s.substr(0, std::min(n, s.size()));
  out.resize(n, ' ');
  return out;
}

struct Object {
  std::string id, type;
};

// An identifier passed as an input field of its own length, cut to the
// 128 characters of an identifier field: the library reads input fields up
// to their last non-blank, so a copy padded to 128 would only give every
// call over a hundred blanks to pass over.
size_t id_len(const std::string& id) { return std::min(id.size(), kIdChars); }

std::vector<Object> objects(void (*list)(int64_t*, char*, char*, int64_t*, size_t, size_t),
                            int64_t n) {
  std::vector<Object> out;
  if (n < 1) return out;
  std::string ids(static_cast<size_t>(n) * kIdChars, ' '), types(static_cast<size_t>(n) * kTypeChars, ' ');
  int64_t ierr = 1;
  list(&n, ids.data(), types.data(), &ierr, kIdChars, kTypeChars);
  for (size_t i = 0; i < static_cast<size_t>(n); ++i)
    out.push_back({trimmed(std::string_view(ids).substr(i * kIdChars, kIdChars)),
                   trimmed(std::string_view(types).substr(i * kTypeChars, kTypeChars))});
  return out;
}

std::vector<Object> blocks() { return objects(tkbids_, flowsum::glob(flowsum::g::kNblk)); }
std::vector<Object> streams() { return objects(tksids_, flowsum::glob(flowsum::g::kNstr)); }

bool missing(double v) { return std::fabs(v) >= std::fabs(flowsum::rglb(1)); }

std::string_view trimmed_view(std::string_view s) { return flowsum::TextField::trim_right(s); }

struct Connections {
  std::vector<std::string> inlets, outlets;
};

Connections block_connections(const std::string& id) {
  int64_t nin = 0, nout = 0, status = 0;
  tkcntn_(id.data(), &nin, &nout, &status, id_len(id));
  Connections c;
  const size_t ni = static_cast<size_t>(std::max<int64_t>(nin, 1)),
               no = static_cast<size_t>(std::max<int64_t>(nout, 1));
  std::string ii(ni * kIdChars, ' '), it(ni * kTypeChars, ' '), oi(no * kIdChars, ' '),
      ot(no * kTypeChars, ' ');
  int64_t ierr = 1;
  tkcnct_(id.data(), &nin, &nout, ii.data(), it.data(), oi.data(), ot.data(), &ierr, id_len(id),
          kIdChars, kTypeChars, kIdChars, kTypeChars);
  for (int64_t i = 0; i < nin; ++i)
    c.inlets.push_back(trimmed(std::string_view(ii).substr(static_cast<size_t>(i) * kIdChars, kIdChars)));
  for (int64_t i = 0; i < nout; ++i)
    c.outlets.push_back(trimmed(std::string_view(oi).substr(static_cast<size_t>(i) * kIdChars, kIdChars)));
  return c;
}

std::string join(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& x : v) s += (s.empty() ? "" : ", ") + x;
  return s.empty() ? "-" : s;
}

std::string number(double v) {
  if (missing(v)) return "-";
  return significant(v);
}

// The same into buf, for the cells of the stream table.
std::string_view number_into(double v, SignificantBuffer& buf) {
  return missing(v) ? std::string_view("-") : significant_into(v, buf);
}

// Heat and work streams carry one value, their duty or power, and no
// composition: they are listed with it instead of taking a column of the
// stream table.
bool is_energy(const Object& s) { return s.type.rfind("HEAT", 0) == 0 || s.type.rfind("WORK", 0) == 0; }

// What the report shows of one stream.
struct StreamValues {
  Object object;
  std::string source, destination;
  double temp, pres, vfrac, total;
  std::vector<double> comps;  // on the basis of the settings, in component order
};

// The streams' values with the component identifiers and the labels of the
// stream table's rows.
struct StreamPass {
  std::vector<StreamValues> streams;
  std::vector<std::string> comp_ids;
  std::string tlabel, plabel, flabel;
};

// Reads every stream once: TKSINF for its ends and the size of its main
// table, then for a material stream TKSUBS on the MIXED substream, which
// gives the component flows on the basis and the substream's total rows
// (temperature, pressure, vapour fraction among them). Both read the same
// data set, so the second call is answered from the data set the first one
// read instead of reading the stream's values again.
StreamPass read_streams(const std::vector<Object>& st) {
  StreamPass pass;
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  const size_t ncomp = static_cast<size_t>(std::max<int64_t>(ncc, 0));
  pass.comp_ids.resize(ncomp);
  const std::string sub = field("MIXED", 8), basis = field(settings().basis, 12);
  std::string src(kIdChars, ' '), dst(kIdChars, ' '), ids, lab(16, ' '), tnames, tlabels;
  std::vector<double> tvalues;
  pass.streams.reserve(st.size());
  for (const Object& s : st) {
    StreamValues v{s, "", "", flowsum::rglb(1), flowsum::rglb(1), flowsum::rglb(1), flowsum::rglb(1), {}};
    const char* sid = s.id.data();
    const size_t sid_len = id_len(s.id);
    src.assign(kIdChars, ' ');
    dst.assign(kIdChars, ' ');
    int64_t nsub = 0, nrows = 0, dum = 0;
    tksinf_(sid, src.data(), dst.data(), &nsub, &nrows, &dum, sid_len, kIdChars, kIdChars);
    v.source = std::string(trimmed_view(src));
    v.destination = std::string(trimmed_view(dst));
    if (!is_energy(s)) {
      v.comps.assign(ncomp, flowsum::rglb(1));
      // TKSUBS writes one total row for every row of the main table that is
      // a total of the substream: at most the table's rows, which TKSINF
      // counted.
      const size_t nt = static_cast<size_t>(std::max<int64_t>(nrows, 1));
      tnames.assign(nt * 12, ' ');
      tlabels.assign(nt * 16, ' ');
      tvalues.assign(nt, flowsum::rglb(1));
      ids.assign(std::max<size_t>(ncomp, 1) * 8, ' ');
      lab.assign(16, ' ');
      double none = 0;
      int64_t n = ncc;
      tksubs_(sid, sub.data(), basis.data(), &n, ids.data(), ncomp ? v.comps.data() : &none,
              lab.data(), &dum, tnames.data(), tvalues.data(), tlabels.data(), sid_len, 8, 12, 8, 16,
              12, 16);
      if (!trimmed_view(lab).empty()) pass.flabel = std::string(trimmed_view(lab));
      for (size_t i = 0; i < ncomp; ++i) {
        const std::string_view id = trimmed_view(std::string_view(ids).substr(i * 8, 8));
        if (!id.empty()) pass.comp_ids[i].assign(id);
      }
      // The first total row of each property counts.
      bool seen_t = false, seen_p = false, seen_v = false;
      for (size_t i = 0; i < nt && !(seen_t && seen_p && seen_v); ++i) {
        const std::string_view prop = trimmed_view(std::string_view(tnames).substr(i * 12, 12));
        const std::string_view label = trimmed_view(std::string_view(tlabels).substr(i * 16, 16));
        if (prop == "TEMP" && !seen_t) {
          seen_t = true;
          v.temp = tvalues[i];
          if (!label.empty()) pass.tlabel = std::string(label);
        } else if (prop == "PRES" && !seen_p) {
          seen_p = true;
          v.pres = tvalues[i];
          if (!label.empty()) pass.plabel = std::string(label);
        } else if (prop == "VFRAC" && !seen_v) {
          seen_v = true;
          v.vfrac = tvalues[i];
        }
      }
      // The total is the sum of the component values (missing when any is).
      v.total = 0;
      for (double c : v.comps) v.total = missing(c) || missing(v.total) ? flowsum::rglb(1) : v.total + c;
    }
    pass.streams.push_back(std::move(v));
  }
  return pass;
}

// Appends text right-aligned in a cell of width characters after a blank.
void cell_right(std::string& line, std::string_view text, size_t width) {
  line += ' ';
  if (text.size() < width) line.append(width - text.size(), ' ');
  line += text;
}

void cell_left(std::string& line, std::string_view text, size_t width) {
  line += text;
  if (text.size() < width) line.append(width - text.size(), ' ');
}

void put_line(std::string& line, std::FILE* out) {
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), out);
  line.clear();
}

void print_connections(const StreamPass& pass, std::FILE* out) {
  for (const StreamValues& s : pass.streams)
    std::fprintf(out, "  %s: %s -> %s\n", s.object.id.c_str(),
                 s.source.empty() ? "(feed)" : s.source.c_str(),
                 s.destination.empty() ? "(product)" : s.destination.c_str());
}

// The stream table of the material streams: temperature, pressure, vapour
// fraction, total and component flows on the settings' basis. Streams are
// columns, in groups that fit the settings' width, or rows with by_stream.
void print_stream_table(const StreamPass& pass, const std::vector<const StreamValues*>& cols,
                        std::FILE* out) {
  const std::string& basis = settings().basis;
  const bool fraction = basis.find("FRAC") != std::string::npos;
  // The table's rows: a title, its unit, and the value of a column.
  struct Row {
    std::string title, unit;
    double (*value)(const StreamValues&, size_t);
    size_t component;
  };
  std::vector<Row> rows = {
      {"Temperature", pass.tlabel, [](const StreamValues& c, size_t) { return c.temp; }, 0},
      {"Pressure", pass.plabel, [](const StreamValues& c, size_t) { return c.pres; }, 0},
      {"Vapour fraction", "", [](const StreamValues& c, size_t) { return c.vfrac; }, 0},
      {"Total", fraction ? std::string() : pass.flabel, [](const StreamValues& c, size_t) { return c.total; },
       0}};
  for (size_t i = 0; i < pass.comp_ids.size(); ++i)
    rows.push_back(
        {"  " + pass.comp_ids[i], "", [](const StreamValues& c, size_t k) { return c.comps[k]; }, i});

  std::fprintf(out, "\nstream table (%s):\n", basis.c_str());
  std::string line;
  SignificantBuffer buf;
  if (settings().by_stream) {
    cell_left(line, "stream", kRowTitle);
    for (const Row& r : rows) cell_right(line, fit(r.title.substr(r.title.find_first_not_of(' ')), kColumn), kColumn);
    put_line(line, out);
    cell_left(line, "", kRowTitle);
    for (const Row& r : rows) cell_right(line, fit(r.unit, kColumn), kColumn);
    put_line(line, out);
    for (const StreamValues* s : cols) {
      cell_left(line, fit(s->object.id, kRowTitle), kRowTitle);
      for (const Row& r : rows) cell_right(line, number_into(r.value(*s, r.component), buf), kColumn);
      put_line(line, out);
    }
    return;
  }
  const int width = settings().width;
  const size_t per_group =
      width <= 0 ? cols.size()
                 : static_cast<size_t>(std::max(1, (width - kRowTitle) / (kColumn + 1)));
  // Every group repeats the rows' titles: made once.
  std::vector<std::string> titles;
  titles.reserve(rows.size());
  for (const Row& r : rows) titles.push_back(fit(r.unit.empty() ? r.title : r.title + " " + r.unit, kRowTitle));
  for (size_t first = 0; first < cols.size(); first += per_group) {
    const size_t last = std::min(cols.size(), first + per_group);
    if (first > 0) put_line(line, out);
    cell_left(line, "", kRowTitle);
    for (size_t j = first; j < last; ++j) cell_right(line, fit(cols[j]->object.id, kColumn), kColumn);
    put_line(line, out);
    for (size_t k = 0; k < rows.size(); ++k) {
      const Row& r = rows[k];
      cell_left(line, titles[k], kRowTitle);
      for (size_t j = first; j < last; ++j)
        cell_right(line, number_into(r.value(*cols[j], r.component), buf), kColumn);
      put_line(line, out);
    }
  }
}

void print_streams(const StreamPass& pass, std::FILE* out) {
  std::vector<const StreamValues*> material, energy;
  for (const StreamValues& s : pass.streams) (is_energy(s.object) ? energy : material).push_back(&s);
  if (!material.empty()) print_stream_table(pass, material, out);
  if (energy.empty()) return;
  std::fprintf(out, "\nheat and work streams:\n");
  for (const StreamValues* e : energy) {
    std::string sid = field(e->object.id, kIdChars), type = field(e->object.type, 4), label(16, ' ');
    double value = flowsum::rglb(1);
    tkstra_(sid.data(), type.data(), &value, label.data(), kIdChars, 4, label.size());
    const std::string unit = trimmed(label);
    std::fprintf(out, "  %s (%s): %s %s %s\n", e->object.id.c_str(), e->object.type.c_str(),
                 e->object.type.rfind("HEAT", 0) == 0 ? "duty" : "power", number(value).c_str(), unit.c_str());
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
  const StreamPass pass = read_streams(streams());
  print_connections(pass, out);
  print_streams(pass, out);
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
  const StreamPass pass = read_streams(chosen);
  print_connections(pass, out);
  print_streams(pass, out);
}

std::vector<std::string> block_ids() {
  std::vector<std::string> ids;
  for (const Object& b : blocks()) ids.push_back(b.id);
  return ids;
}

std::vector<std::pair<std::string, std::string>> block_list() {
  std::vector<std::pair<std::string, std::string>> out;
  for (Object& b : blocks()) out.emplace_back(std::move(b.id), std::move(b.type));
  return out;
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

struct Ends {
  std::string source, destination;
};

Ends stream_ends(const std::string& id) {
  std::string sid = field(id, kIdChars), src(kIdChars, ' '), dst(kIdChars, ' ');
  int64_t nsub = 0, nrows = 0, dum = 0;
  tksinf_(sid.data(), src.data(), dst.data(), &nsub, &nrows, &dum, kIdChars, kIdChars, kIdChars);
  return {trimmed(src), trimmed(dst)};
}

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
