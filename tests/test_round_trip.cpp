// Round trip: every query on random flowsheets must return exactly what the
// generator wrote; caller arrays hold one entry more, which must stay '#'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/caller.hpp"
#include "support/column_checks.hpp"
#include "support/lookup_calls.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr int kFiles = 300;
constexpr double kMissing = 1.0e35;
using Texts = std::vector<std::string>;

template <class V>
int64_t count(const V& v) { return static_cast<int64_t>(v.size()); }

// The listing routines give back the whole name of types the tables cut.
std::string widened(const std::string& type, const std::string& kind) {
  const std::string s = stored_type(type);
  const bool whole = (kind == "BLOCK" && (s == "LINKEDCO" || s == "CRUDEUNI")) ||
                     (kind == "EQUIPMEN" && (s == "FURNACE-" || s == "TRAY-TOW" || s == "PACK-TOW")) ||
                     (kind == "PROP-TABLE" && (s == "FLASHCUR" || s == "PTENVELO"));
  return whole ? type : s;
}

using Pairs = std::set<std::pair<std::string, std::string>>;
Pairs truth_pairs(const std::vector<RandomObject>& objects, const std::string& kind) {
  Pairs p;
  for (const RandomObject& o : objects) p.insert({o.id, widened(o.type, kind)});
  return p;
}

// Entries 1..n of a table through a position routine (TKNBLK and its kin).
template <class Fn>
Pairs by_position(Fn fn, int64_t n) {
  Pairs p;
  for (int64_t k = 1; k <= n; ++k) {
    Field id(128), type(12);
    int64_t ierr = -1;
    call(fn, k, id, type, ierr);
    EXPECT_EQ(ierr, 0);
    p.insert({id.trimmed(), type.trimmed()});
  }
  return p;
}

// A whole list routine (TKBIDS and its kin) with n entries (the query
// fuzzer's guard pages check nothing lands past them).
template <class Fn>
Pairs by_list(Fn fn, int64_t n) {
  const size_t m = static_cast<size_t>(n);
  Field ids(128, m), types(12, m);
  int64_t ierr = -1;
  call(fn, n, ids, types, ierr);
  EXPECT_EQ(ierr, 0);
  Pairs p;
  for (size_t k = 0; k < m; ++k) p.insert({ids.trimmed(k), types.trimmed(k)});
  return p;
}

void check_objects(const RandomFlowsheet& f) {
  const int64_t nblk = count(f.blocks), nstr = count(f.streams), neqp = count(f.equipment), nprs = count(f.reliefs);
  int64_t n = -1, m = -1;
  tkneq_(&n);
  tknprs_(&m);
  EXPECT_EQ(std::pair(n, m), std::pair(neqp, nprs));
  EXPECT_EQ(by_list(tkbids_, nblk), truth_pairs(f.blocks, "BLOCK"));
  EXPECT_EQ(by_list(tksids_, nstr), truth_pairs(f.streams, "STREAM"));
  EXPECT_EQ(by_list(tkeids_, neqp), truth_pairs(f.equipment, "EQUIPMEN"));
  EXPECT_EQ(by_position(tknblk_, nblk), truth_pairs(f.blocks, "BLOCK"));
  EXPECT_EQ(by_position(tknstr_, nstr), truth_pairs(f.streams, "STREAM"));
  EXPECT_EQ(by_position(tknppt_, count(f.tables)), truth_pairs(f.tables, "PROP-TABLE"));
  EXPECT_EQ(by_position(tkneqp_, neqp), truth_pairs(f.equipment, "EQUIPMEN"));

  // Pressure-relief identifiers, in a list and one by one (each with flag 0).
  const std::set<std::string> reliefs(f.reliefs.begin(), f.reliefs.end());
  std::set<std::string> listed_ids, one_by_one;
  Field ids(128, f.reliefs.size() + 1);
  int64_t ierr = -1, want = nprs;
  call(tkpids_, want, ids, ierr);
  EXPECT_EQ(std::pair(ierr, ids.trimmed(f.reliefs.size())), std::pair(int64_t{0}, std::string(128, '#')));
  for (int64_t k = 1; k <= nprs; ++k) {
    Field id(128);
    call(tknxpr_, k, id, ierr);
    listed_ids.insert(ids.trimmed(static_cast<size_t>(k - 1))), one_by_one.insert(ierr ? "" : id.trimmed());
  }
  EXPECT_EQ(std::pair(listed_ids, one_by_one), std::pair(reliefs, reliefs));

  // Every block is found with its stored model; a name that is not a block
  // is not, its type field left alone.
  auto model = [](const std::string& id, int64_t want_ierr) {
    Field type(8);
    int64_t e = -1;
    call(tkvblk_, Field(id), type, e);
    EXPECT_EQ(e, want_ierr) << id;
    return type.text();
  };
  for (const RandomObject& b : f.blocks) EXPECT_EQ(model(b.id, 0), pad(stored_type(b.type), 8)) << b.id;
  EXPECT_EQ(model("NOT-A-BLOCK-ID", 1), "########");

  // The iterator over all blocks meets every block once.
  std::multiset<std::string> seen, blocks;
  for (const RandomObject& b : f.blocks) blocks.insert(b.id);
  Field arg3("", 128), arg4("", 128);
  for (int64_t mode = 1, guard = 0; guard < 1000; ++guard, mode = 0) {
    int64_t ipos = 0;
    call(tknitm_, Field("BLK_ANY"), mode, arg3, arg4, ipos);
    if (ipos <= 0) {
      EXPECT_EQ(ipos, 0);
      break;
    }
    seen.insert(arg4.trimmed());
  }
  EXPECT_EQ(seen, blocks);
}

void check_run_information(const RandomFlowsheet& f) {
  Field title(64), version(16), runid(8), s1(40), s2(40);
  call(tktitl_, title);
  int64_t completion = -1, nblk = -1, nstr = -1, nppt = -1, ninfo = -1;
  std::vector<int64_t> flags(6, -1);
  call(tkinfo_, version, runid, s1, s2, completion, flags, nblk, nstr, nppt, ninfo);
  EXPECT_EQ((Texts{title.text(), version.text(), runid.text(), s1.text(), s2.text()}),
            (Texts{pad(f.run.title, 64), pad(f.run.version, 16), pad(f.run.run_id, 8), pad(f.run.status_text1, 40),
                   pad(f.run.status_text2, 40)}));
  EXPECT_EQ(completion, -f.run.completion);  // minus item 115
  EXPECT_EQ(flags, f.run.flags);
  EXPECT_EQ((std::vector<int64_t>{nblk, nstr, nppt}), (std::vector<int64_t>{count(f.blocks), count(f.streams), count(f.tables)}));

  Field user(8), project(8), t355(80), t348(80);
  int64_t ierr = -1;
  call(tkacct_, user, project, t355, t348, ierr);
  EXPECT_EQ(ierr, f.has_account ? 0 : 1);
  if (f.has_account)
    EXPECT_EQ((Texts{user.text(), project.text(), t355.text(), t348.text()}),
              (Texts{pad(f.account.user, 8), pad(f.account.project, 8), pad(f.account.text355, 80), pad(f.account.text348, 80)}));

  auto check_list = [](auto count_fn, auto list_fn, const auto& truth) {
    int64_t n = -1, idum = 0, ierr = -1;
    count_fn(&n);
    ASSERT_EQ(n, count(truth));
    Field names(8, truth.size() + 1), texts(12, truth.size() + 1);
    call(list_fn, idum, names, texts, ierr);
    Texts want_names, want_texts;
    for (const auto& [name, text] : truth) want_names.push_back(name), want_texts.push_back(text);
    EXPECT_EQ(std::pair(listed(names, truth.size()), listed(texts, truth.size())),
              std::pair(guarded(want_names, 8), guarded(want_texts, 12)));
  };
  check_list(tknals_, tkalis_, f.aliases);
  check_list(tkncsn_, tkcasn_, f.case_names);

  // Components: the conventional ones first, then the others.
  ASSERT_EQ(std::pair(tkglob_[0], tkglob_[1]), std::pair(count(f.ncc), count(f.nnc)));
  std::vector<std::string> all = f.ncc, got;
  all.insert(all.end(), f.nnc.begin(), f.nnc.end());
  ASSERT_EQ(component_count(), count(all));
  for (int64_t i = 1; i <= count(all); ++i) got.push_back(trim(component_id(i)));
  EXPECT_EQ(got, all);
}

// A converted value as a caller in SI units gets it (missing: the marker).
void expect_si_value(double got, bool missing, double si, double written, int64_t unit_type, int64_t unit_code) {
  if (missing) EXPECT_EQ(got, kMissing);
  else EXPECT_NEAR(got, si, 1e-12 * std::max(1.0, std::fabs(si)) + 1e-300)
      << "written " << written << " in unit " << unit_code << " of type " << unit_type;
}

void check_block_values(const RandomFlowsheet& f) {
  for (const RandomBlockResults& r : f.results) {
    const std::vector<std::string> path{"BLOCK", r.block.type, r.block.id, "RESULTS"};
    std::string ids;
    for (const std::string& p : path) ids += pad(p, 128);
    const int64_t nd = count(r.values);
    int64_t nid = 4, ndata = -1, nq = -1, ierr = -1;
    call(tknval_, Field(ids, 128, 4), nid, ndata, nq, ierr);
    EXPECT_EQ(std::pair(ierr, ndata), std::pair(int64_t{0}, nd)) << r.block.id;

    DsetCall d = call_tkdset(path);
    ASSERT_EQ(std::pair(d.ndata, d.nqual), std::pair(nd, int64_t{1})) << r.block.id;
    const int64_t types_at = d.locq + 4 * d.nqual + 2 * d.nqual * nd;
    for (int64_t j = 0; j < nd; ++j) {
      const RandomValue& v = r.values[static_cast<size_t>(j)];
      SCOPED_TRACE(r.block.id + " value " + std::to_string(j + 1));
      EXPECT_EQ((std::vector<int64_t>{work_word(d.locq + 4 + 2 * j), work_word(types_at + j), work_word(types_at + nd + j)}),
                (std::vector<int64_t>{v.property, v.type, v.unit_type}));
      if (v.type == 1) EXPECT_EQ(work_word(d.locd + j), v.integer);
      if (v.type == 5) EXPECT_EQ(work_text(d.locd + nd + 2 * j, 2), pad(v.text, 8));
      if (v.type == 6)  // a long text: its length, then where it lies
        EXPECT_EQ(std::pair(work_word(d.locd + nd + 2 * j), trim(work_text(work_word(d.locd + nd + 2 * j + 1), 20))),
                  std::pair(int64_t{20}, v.text));
      if (v.type == 2) {
        const double stored = work_real_word(d.locd + 4 * nd + j);
        EXPECT_EQ(std::pair(work_word(d.locd + 3 * nd + j), stored), std::pair(v.unit_code, v.missing ? kMissing : v.real));
        if (v.unit_type == 0) continue;
        int64_t type = v.unit_type, code = v.unit_code;
        double value = stored, result = 0;
        Field label(16);
        call(tkucnv_, type, code, value, result, label);
        EXPECT_EQ(label.text(), pad(si_label(v.unit_type), 16));
        expect_si_value(result, v.missing, v.si, v.real, v.unit_type, v.unit_code);
      }
    }
  }
}

// The substream a row counts in: blank, or no substream qualifier, is MIXED.
std::string counted_substream(const RandomStreamResults& s, const RandomStreamRow& row) {
  return s.without_substream || row.substream.empty() ? "MIXED" : row.substream;
}

// The properties with mole, mass and (HMX only) flow forms, and the basis a
// row of one takes from its unit type.
bool has_forms(const std::string& name) { return name == "HMX" || name == "RHOMX" || name == "SMX" || name == "CPMX"; }
std::string basis_of(const RandomStreamRow& row) {
  if (!has_forms(row.name)) return "";
  switch (row.unit_type) {
    case 13: return "FLOW";
    case 15: case 37: case 39: case 41: return "MOLE";
    case 38: case 40: case 42: case 49: return "MASS";
    default: return "";
  }
}

// A row's value as a caller in SI units gets it: dimensionless ones as written.
void expect_value(double got, const RandomStreamRow& row) {
  if (row.unit_type == 0 && !row.missing) EXPECT_EQ(got, row.real);
  else expect_si_value(got, row.missing, row.si, row.real, row.unit_type, row.unit_code);
}

// 1 plus the changes between consecutive non-blank substream names over
// the whole table, the three head values (which have no substream) first.
int64_t substream_count(const RandomStreamResults& s) {
  if (s.without_substream) return 1;
  std::vector<std::string> names(3, "");
  for (const RandomStreamRow& row : s.rows) names.push_back(row.substream);
  int64_t n = 1;
  for (size_t j = 1; j < names.size(); ++j)
    if (!names[j].empty() && !names[j - 1].empty() && names[j] != names[j - 1]) ++n;
  return n;
}

void expect_stream_info(const std::string& stream, const std::string& source, const std::string& destination,
                        int64_t nsub, int64_t nrows) {
  Field src(128), dst(128);
  int64_t ns = -1, nr = -1, dum = 0;
  call(tksinf_, Field(stream, 128), src, dst, ns, nr, dum);  // TKSINF: source, destination, counts
  EXPECT_EQ(std::tuple(src.text(), dst.text(), ns, nr), std::tuple(pad(source, 128), pad(destination, 128), nsub, nrows));
}

// TKSVAL for the property and substream of one row, on one basis, against
// every row of the table it should pick.
void check_single_value(const RandomStreamResults& s, const RandomStreamRow& picked, const std::string& basis) {
  SCOPED_TRACE("TKSVAL " + picked.name + " of '" + picked.substream + "' basis '" + basis + "'");
  std::vector<const RandomStreamRow*> want;
  for (const RandomStreamRow& row : s.rows) {
    if (counted_substream(s, row) != counted_substream(s, picked) || row.name != picked.name) continue;
    // A basis keeps the rows of its form; only HMX has a FLOW form.
    if (!basis.empty() && has_forms(picked.name) &&
        (basis_of(row) != basis || (basis == "FLOW" && picked.name != "HMX")))
      continue;
    want.push_back(&row);
  }
  Field sub(s.without_substream ? "" : picked.substream, 8), uname(12), label(16);
  std::vector<double> values(s.rows.size() + 1, -7.0);
  int64_t ierr = -1;
  call(tksval_, Field(s.stream.id, 128), sub, Field(picked.name, 12), Field(basis, 4), values, uname, label, ierr);
  EXPECT_EQ(std::pair(sub.text(), ierr), std::pair(pad(counted_substream(s, picked), 8), int64_t{want.empty() ? 1 : 0}));
  for (size_t k = 0; k < want.size(); ++k) expect_value(values[k], *want[k]);
  EXPECT_EQ(values[want.size()], -7.0) << "written past the matching rows";
  // The unit name and label are those of the last row with a unit type.
  std::string want_name(12, '#'), want_label(16, '#');
  for (const RandomStreamRow* row : want)
    if (row->unit_type != 0) {
      want_name = pad(known_type_name(row->unit_type), 12);
      want_label = pad(si_label(row->unit_type), 16);
    }
  EXPECT_EQ(std::pair(uname.text(), label.text()), std::pair(want_name, want_label));
}

void check_streams(const RandomFlowsheet& f) {
  std::set<std::string> with_table;
  for (const RandomStreamResults& s : f.stream_results) {
    with_table.insert(s.stream.id);
    SCOPED_TRACE("stream " + s.stream.id);
    const size_t n = s.rows.size();
    expect_stream_info(s.stream.id, s.source, s.destination, substream_count(s), count(s.rows));

    // The whole table, with one spare row that must stay as it was.
    Field rows(64, n + 1), names(12, n + 1), labels(16, n + 1);
    std::vector<double> values(n + 1, -7.0);
    int64_t dum = 0, nrows = -1;
    call(tkstrm_, Field(s.stream.id, 128), dum, rows, values, names, labels, nrows);
    EXPECT_EQ(nrows, 0);
    for (size_t k = 0; k < n; ++k) {
      const RandomStreamRow& row = s.rows[k];
      SCOPED_TRACE("row " + std::to_string(k + 1));
      EXPECT_EQ((Texts{rows[k], names[k], labels[k]}),
                (Texts{pad(row.name, 16) + pad(s.without_substream ? "MIXED" : row.substream, 16) +
                           pad(row.component, 16) + pad(basis_of(row), 16),
                       pad(known_type_name(row.unit_type), 12), pad(si_label(row.unit_type), 16)}));
      expect_value(values[k], row);
    }
    EXPECT_EQ((Texts{rows[n], names[n], labels[n]}), (Texts{std::string(64, '#'), std::string(12, '#'), std::string(16, '#')}));
    EXPECT_EQ(values[n], -7.0);

    // Single values for the first and a middle row, and for a property with
    // basis forms on the bases it has and has not.
    std::set<size_t> picks;
    if (n > 0) picks = {0, n / 2};
    const auto hmx = std::find_if(s.rows.begin(), s.rows.end(), [](auto& r) { return r.name == "HMX"; });
    if (hmx != s.rows.end()) picks.insert(static_cast<size_t>(hmx - s.rows.begin()));
    for (size_t k : picks) {
      const RandomStreamRow& row = s.rows[k];
      if (row.name.empty()) continue;
      for (const char* basis : {"", "FLOW", "MASS"})
        if (*basis == '\0' || row.name == "HMX") check_single_value(s, row, basis);
    }
  }
  // Streams that only exist: their main data set holds one real and no
  // head values, so no rows and one substream.
  for (const RandomObject& stream : f.streams)
    if (!with_table.count(stream.id)) expect_stream_info(stream.id, "", "", 1, 0);
}

// The identifiers or stored types of a list, and the untouched spare entry.
Texts listed_objects(const std::vector<RandomObject>& v, size_t width, bool types) {
  Texts t;
  for (const RandomObject& o : v) t.push_back(types ? stored_type(o.type) : o.id);
  return guarded(t, width);
}

void check_connections(const RandomFlowsheet& f) {
  for (size_t k = 0; k < f.blocks.size(); ++k) {
    const RandomConnections& c = f.connections[k];
    SCOPED_TRACE("block " + f.blocks[k].id);
    const Field id(f.blocks[k].id, 128);
    int64_t ni = -1, no = -1, status = -1;
    call(tkcntn_, id, ni, no, status);
    EXPECT_EQ(std::tuple(ni, no, status), std::tuple(count(c.inlets), count(c.outlets), int64_t{c.written ? 0 : 4}));
    Field in_ids(128, c.inlets.size() + 1), in_types(12, c.inlets.size() + 1), out_ids(128, c.outlets.size() + 1),
        out_types(12, c.outlets.size() + 1);
    int64_t ierr = -1, icap = count(c.inlets), ocap = count(c.outlets);
    call(tkcnct_, id, icap, ocap, in_ids, in_types, out_ids, out_types, ierr);
    EXPECT_EQ(std::tuple(ierr, listed(in_ids, c.inlets.size()), listed(in_types, c.inlets.size()),
                         listed(out_ids, c.outlets.size()), listed(out_types, c.outlets.size())),
              std::tuple(int64_t{0}, listed_objects(c.inlets, 128, false), listed_objects(c.inlets, 12, true),
                         listed_objects(c.outlets, 128, false), listed_objects(c.outlets, 12, true)));
  }
}

TEST(RoundTrip, RandomFlowsheetsReadBackExactly) {
  size_t curves = 0, exchangers = 0, compressors = 0, costed = 0, pipelines = 0;
  for (uint64_t seed = 1; seed <= kFiles; ++seed) {
    RandomFlowsheet f = random_flowsheet(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    TempSummaryFile file(f.text);
    LoadedSummary load(file.string(), "SI", 0, kMissing);
    ASSERT_EQ(load.ierr(), 0);
    check_objects(f);
    check_run_information(f);
    check_block_values(f);
    check_streams(f);
    check_connections(f);
    check_columns(f);
    check_reactors(f);
    check_heat_transfer(f);
    check_equipment(f);
    check_pipelines(f);
    curves += f.curve_blocks.size(), exchangers += f.exchangers.exchangers.size() + f.exchangers.columns.size();
    compressors += f.compressors.size(), costed += f.costing.size(), pipelines += f.pipelines.size();
    if (::testing::Test::HasFailure())
      return void(ADD_FAILURE() << "first failing seed " << seed << "; its file:\n" << f.text.substr(0, 4000));
  }
  // The generator writes every family often enough to be checked.
  EXPECT_GT(std::min({curves, exchangers, compressors, costed, pipelines}), 100u);
}

}  // namespace
}  // namespace flowsum::testing
