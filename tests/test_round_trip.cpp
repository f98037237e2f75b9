// Round trip: random flowsheets (seeded, reproducible) are written with the
// fixture builder and loaded; every query must return exactly what the
// generator wrote: objects, run information, components, block values with
// their units, stream main tables and the blocks' inlet and outlet lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/column_checks.hpp"
#include "support/lookup_calls.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr int kFiles = 300;
constexpr double kMissing = 1.0e35;

template <class V>
int64_t count(const V& v) { return static_cast<int64_t>(v.size()); }

// A caller's array of n fields `width` long, with one guard byte after it,
// and its entry k (0-based) without trailing blanks.
std::string fields(size_t n, size_t width) { return std::string(width * n + 1, '#'); }
std::string entry(const std::string& a, size_t width, size_t k) {
  return trim(std::string_view(a).substr(width * k, width));
}

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
    std::string id(128, ' '), type(12, ' ');
    int64_t kk = k, ierr = -1;
    fn(&kk, id.data(), type.data(), &ierr, 128, 12);
    EXPECT_EQ(ierr, 0);
    p.insert({trim(id), trim(type)});
  }
  return p;
}

// A whole list routine (TKBIDS and its kin) with n entries.
template <class Fn>
Pairs by_list(Fn fn, int64_t n) {
  std::string ids = fields(static_cast<size_t>(n), 128), types = fields(static_cast<size_t>(n), 12);
  int64_t nn = n, ierr = -1;
  fn(&nn, ids.data(), types.data(), &ierr, 128, 12);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ids.back(), '#') << "written past the identifier array";
  EXPECT_EQ(types.back(), '#') << "written past the type array";
  Pairs p;
  for (size_t k = 0; k < static_cast<size_t>(n); ++k) p.insert({entry(ids, 128, k), entry(types, 12, k)});
  return p;
}

void check_objects(const RandomFlowsheet& f) {
  // The block, stream and table counts are read back through TKINFO.
  const int64_t nblk = count(f.blocks), nstr = count(f.streams), neqp = count(f.equipment),
                nprs = count(f.reliefs);
  int64_t n = -1;
  tkneq_(&n);
  EXPECT_EQ(n, neqp);
  tknprs_(&n);
  EXPECT_EQ(n, nprs);

  EXPECT_EQ(by_list(tkbids_, nblk), truth_pairs(f.blocks, "BLOCK"));
  EXPECT_EQ(by_list(tksids_, nstr), truth_pairs(f.streams, "STREAM"));
  EXPECT_EQ(by_list(tkeids_, neqp), truth_pairs(f.equipment, "EQUIPMEN"));
  EXPECT_EQ(by_position(tknblk_, nblk), truth_pairs(f.blocks, "BLOCK"));
  EXPECT_EQ(by_position(tknstr_, nstr), truth_pairs(f.streams, "STREAM"));
  EXPECT_EQ(by_position(tknppt_, count(f.tables)), truth_pairs(f.tables, "PROP-TABLE"));
  EXPECT_EQ(by_position(tkneqp_, neqp), truth_pairs(f.equipment, "EQUIPMEN"));

  // Pressure-relief identifiers, in a list and one by one.
  const std::set<std::string> reliefs(f.reliefs.begin(), f.reliefs.end());
  std::set<std::string> listed, one_by_one;
  std::string ids = fields(f.reliefs.size(), 128);
  int64_t ierr = -1, want = nprs;
  tkpids_(&want, ids.data(), &ierr, 128);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ids.back(), '#');
  for (int64_t k = 1; k <= nprs; ++k) {
    listed.insert(entry(ids, 128, static_cast<size_t>(k - 1)));
    std::string id(128, ' ');
    int64_t kk = k;
    tknxpr_(&kk, id.data(), &ierr, 128);
    EXPECT_EQ(ierr, 0);
    one_by_one.insert(trim(id));
  }
  EXPECT_EQ(listed, reliefs);
  EXPECT_EQ(one_by_one, reliefs);

  // Every block is found with its stored model; a name that is not a block
  // is not, and its type field is left alone.
  auto model = [](std::string id, int64_t want_ierr) {
    std::string type(8, '#');
    int64_t e = -1;
    tkvblk_(id.data(), type.data(), &e, id.size(), 8);
    EXPECT_EQ(e, want_ierr) << id;
    return type;
  };
  for (const RandomObject& b : f.blocks) EXPECT_EQ(model(b.id, 0), pad(stored_type(b.type), 8)) << b.id;
  EXPECT_EQ(model("NOT-A-BLOCK-ID", 1), "########");

  // The iterator over all blocks meets every block once.
  std::multiset<std::string> seen, blocks;
  for (const RandomObject& b : f.blocks) blocks.insert(b.id);
  std::string stype = "BLK_ANY", arg3(128, ' '), arg4(128, ' ');
  for (int64_t mode = 1, guard = 0; guard < 1000; ++guard, mode = 0) {
    int64_t ipos = 0;
    tknitm_(stype.data(), &mode, arg3.data(), arg4.data(), &ipos, stype.size(), 128, 128);
    if (ipos <= 0) {
      EXPECT_EQ(ipos, 0);
      break;
    }
    seen.insert(trim(arg4));
  }
  EXPECT_EQ(seen, blocks);
}

void check_run_information(const RandomFlowsheet& f) {
  std::string title(64, '#');
  tktitl_(title.data(), title.size());
  EXPECT_EQ(title, pad(f.run.title, 64));

  std::string version(16, '#'), runid(8, '#'), s1(40, '#'), s2(40, '#');
  int64_t completion = -1, nblk = -1, nstr = -1, nppt = -1, ninfo = -1;
  std::vector<int64_t> flags(6, -1);
  tkinfo_(version.data(), runid.data(), s1.data(), s2.data(), &completion, flags.data(), &nblk, &nstr,
          &nppt, &ninfo, 16, 8, 40, 40);
  EXPECT_EQ((std::vector<std::string>{version, runid, s1, s2}),
            (std::vector<std::string>{pad(f.run.version, 16), pad(f.run.run_id, 8),
                                      pad(f.run.status_text1, 40), pad(f.run.status_text2, 40)}));
  EXPECT_EQ(completion, -f.run.completion);  // minus item 115
  EXPECT_EQ(flags, f.run.flags);
  EXPECT_EQ((std::vector<int64_t>{nblk, nstr, nppt}),
            (std::vector<int64_t>{count(f.blocks), count(f.streams), count(f.tables)}));

  std::string user(8, '#'), project(8, '#'), t355(80, '#'), t348(80, '#');
  int64_t ierr = -1;
  tkacct_(user.data(), project.data(), t355.data(), t348.data(), &ierr, 8, 8, 80, 80);
  EXPECT_EQ(ierr, f.has_account ? 0 : 1);
  if (f.has_account)
    EXPECT_EQ((std::vector<std::string>{user, project, t355, t348}),
              (std::vector<std::string>{pad(f.account.user, 8), pad(f.account.project, 8),
                                        pad(f.account.text355, 80), pad(f.account.text348, 80)}));

  auto check_list = [](auto count_fn, auto list_fn, const auto& truth) {
    int64_t n = -1, idum = 0, ierr = -1;
    count_fn(&n);
    ASSERT_EQ(n, count(truth));
    std::string names = fields(truth.size(), 8), texts = fields(truth.size(), 12);
    list_fn(&idum, names.data(), texts.data(), &ierr, 8, 12);
    EXPECT_EQ(names.back(), '#');
    EXPECT_EQ(texts.back(), '#');
    for (size_t i = 0; i < truth.size(); ++i) {
      EXPECT_EQ(names.substr(8 * i, 8), pad(truth[i].first, 8));
      EXPECT_EQ(texts.substr(12 * i, 12), pad(truth[i].second, 12));
    }
  };
  check_list(tknals_, tkalis_, f.aliases);
  check_list(tkncsn_, tkcasn_, f.case_names);

  // Components: the conventional ones first, then the others.
  ASSERT_EQ(tkglob_[0], count(f.ncc));
  ASSERT_EQ(tkglob_[1], count(f.nnc));
  std::vector<std::string> all = f.ncc, got;
  all.insert(all.end(), f.nnc.begin(), f.nnc.end());
  ASSERT_EQ(component_count(), count(all));
  for (int64_t i = 1; i <= count(all); ++i) got.push_back(trim(component_id(i)));
  EXPECT_EQ(got, all);
}

void check_block_values(const RandomFlowsheet& f) {
  for (const RandomBlockResults& r : f.results) {
    const std::vector<std::string> path{"BLOCK", r.block.type, r.block.id, "RESULTS"};
    std::string ids;
    for (const std::string& p : path) ids += pad(p, 128);
    const int64_t nd = count(r.values);
    int64_t nid = 4, ndata = -1, nq = -1, ierr = -1;
    tknval_(ids.data(), &nid, &ndata, &nq, &ierr, 128);
    EXPECT_EQ(ierr, 0) << r.block.id;
    EXPECT_EQ(ndata, nd) << r.block.id;

    DsetCall d = call_tkdset(path);
    ASSERT_EQ(d.ndata, nd) << r.block.id;
    ASSERT_EQ(d.nqual, 1) << r.block.id;
    const int64_t types_at = d.locq + 4 * d.nqual + 2 * d.nqual * nd;
    for (int64_t j = 0; j < nd; ++j) {
      const RandomValue& v = r.values[static_cast<size_t>(j)];
      SCOPED_TRACE(r.block.id + " value " + std::to_string(j + 1));
      EXPECT_EQ(work_word(d.locq + 4 + 2 * j), v.property);
      EXPECT_EQ(work_word(types_at + j), v.type);
      EXPECT_EQ(work_word(types_at + nd + j), v.unit_type);
      if (v.type == 1) {
        EXPECT_EQ(work_word(d.locd + j), v.integer);
      } else if (v.type == 5) {
        EXPECT_EQ(work_text(d.locd + nd + 2 * j, 2), pad(v.text, 8));
      } else if (v.type == 6) {
        EXPECT_EQ(work_word(d.locd + nd + 2 * j), 20);
        EXPECT_EQ(trim(work_text(work_word(d.locd + nd + 2 * j + 1), 20)), v.text);
      } else {
        const double stored = work_real_word(d.locd + 4 * nd + j);
        EXPECT_EQ(work_word(d.locd + 3 * nd + j), v.unit_code);
        EXPECT_EQ(stored, v.missing ? kMissing : v.real);
        if (v.unit_type == 0) continue;
        int64_t type = v.unit_type, code = v.unit_code;
        double value = stored, result = 0;
        std::string label(16, '#');
        tkucnv_(&type, &code, &value, &result, label.data(), label.size());
        EXPECT_EQ(label, pad(si_label(v.unit_type), 16));
        if (v.missing)
          EXPECT_EQ(result, kMissing);
        else
          EXPECT_NEAR(result, v.si, 1e-12 * std::max(1.0, std::fabs(v.si)) + 1e-300)
              << "written " << v.real << " in unit " << v.unit_code << " of type " << v.unit_type;
      }
    }
  }
}

// ---- Streams and connections -----------------------------------------------

// The substream a row counts in: blank, or no substream qualifier, is MIXED.
std::string counted_substream(const RandomStreamResults& s, const RandomStreamRow& row) {
  return s.without_substream || row.substream.empty() ? "MIXED" : row.substream;
}

// The properties with mole, mass and (HMX only) flow forms, and the basis a
// row of one takes from its unit type.
bool has_forms(const std::string& name) {
  return name == "HMX" || name == "RHOMX" || name == "SMX" || name == "CPMX";
}
std::string basis_of(const RandomStreamRow& row) {
  if (!has_forms(row.name)) return "";
  switch (row.unit_type) {
    case 13: return "FLOW";
    case 15: case 37: case 39: case 41: return "MOLE";
    case 38: case 40: case 42: case 49: return "MASS";
    default: return "";
  }
}

// A value as a caller in SI units gets it: missing values as the marker,
// dimensionless ones as written, the others converted.
void expect_value(double got, const RandomStreamRow& row) {
  if (row.missing) {
    EXPECT_EQ(got, kMissing);
  } else if (row.unit_type == 0) {
    EXPECT_EQ(got, row.real);
  } else {
    EXPECT_NEAR(got, row.si, 1e-12 * std::max(1.0, std::fabs(row.si)) + 1e-300)
        << "written " << row.real << " in unit " << row.unit_code << " of type " << row.unit_type;
  }
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

// TKSINF: source, destination, substream and row counts.
void expect_stream_info(const std::string& stream, const std::string& source,
                        const std::string& destination, int64_t nsub, int64_t nrows) {
  std::string id = pad(stream, 128), src(128, '#'), dst(128, '#');
  int64_t ns = -1, nr = -1, dum = 0;
  tksinf_(id.data(), src.data(), dst.data(), &ns, &nr, &dum, id.size(), src.size(), dst.size());
  EXPECT_EQ(src, pad(source, 128));
  EXPECT_EQ(dst, pad(destination, 128));
  EXPECT_EQ(ns, nsub);
  EXPECT_EQ(nr, nrows);
}

// TKSVAL for the property and substream of one row, on one basis, against
// every row of the table it should pick.
void check_single_value(const RandomStreamResults& s, const RandomStreamRow& picked,
                        const std::string& basis) {
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
  std::string id = pad(s.stream.id, 128), sub = pad(s.without_substream ? "" : picked.substream, 8),
              prop = pad(picked.name, 12), b = pad(basis, 4), uname(12, '#'), label(16, '#');
  std::vector<double> values(s.rows.size() + 1, -7.0);
  int64_t ierr = -1;
  tksval_(id.data(), sub.data(), prop.data(), b.data(), values.data(), uname.data(), label.data(),
          &ierr, id.size(), sub.size(), prop.size(), b.size(), uname.size(), label.size());
  EXPECT_EQ(sub, pad(counted_substream(s, picked), 8));
  EXPECT_EQ(ierr, want.empty() ? 1 : 0);
  for (size_t k = 0; k < want.size(); ++k) expect_value(values[k], *want[k]);
  EXPECT_EQ(values[want.size()], -7.0) << "written past the matching rows";
  // The unit name and label are those of the last row with a unit type.
  std::string want_name(12, '#'), want_label(16, '#');
  for (const RandomStreamRow* row : want)
    if (row->unit_type != 0) {
      want_name = pad(known_type_name(row->unit_type), 12);
      want_label = pad(si_label(row->unit_type), 16);
    }
  EXPECT_EQ(uname, want_name);
  EXPECT_EQ(label, want_label);
}

void check_streams(const RandomFlowsheet& f) {
  std::set<std::string> with_table;
  for (const RandomStreamResults& s : f.stream_results) {
    with_table.insert(s.stream.id);
    SCOPED_TRACE("stream " + s.stream.id);
    const size_t n = s.rows.size();
    expect_stream_info(s.stream.id, s.source, s.destination, substream_count(s), count(s.rows));

    // The whole table, with one spare row that must stay as it was.
    std::string id = pad(s.stream.id, 128), rows(64 * (n + 1), '#'), names(12 * (n + 1), '#'),
                labels(16 * (n + 1), '#');
    std::vector<double> values(n + 1, -7.0);
    int64_t dum = 0, nrows = -1;
    tkstrm_(id.data(), &dum, rows.data(), values.data(), names.data(), labels.data(), &nrows,
            id.size(), 64, 12, 16);
    EXPECT_EQ(nrows, 0);
    for (size_t k = 0; k < n; ++k) {
      const RandomStreamRow& row = s.rows[k];
      SCOPED_TRACE("row " + std::to_string(k + 1));
      EXPECT_EQ(rows.substr(64 * k, 64),
                pad(row.name, 16) + pad(s.without_substream ? "MIXED" : row.substream, 16) +
                    pad(row.component, 16) + pad(basis_of(row), 16));
      expect_value(values[k], row);
      EXPECT_EQ(names.substr(12 * k, 12), pad(known_type_name(row.unit_type), 12));
      EXPECT_EQ(labels.substr(16 * k, 16), pad(si_label(row.unit_type), 16));
    }
    EXPECT_EQ(rows.substr(64 * n) + names.substr(12 * n) + labels.substr(16 * n), std::string(92, '#'));
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
      check_single_value(s, row, "");
      if (row.name == "HMX") {
        check_single_value(s, row, "FLOW");
        check_single_value(s, row, "MASS");
      }
    }
  }

  // Streams that only exist: their main data set holds one real and no
  // head values, so no rows and one substream.
  for (const RandomObject& stream : f.streams) {
    SCOPED_TRACE("stream " + stream.id);
    if (!with_table.count(stream.id)) expect_stream_info(stream.id, "", "", 1, 0);
  }
}

// The identifiers or stored types of a list in fields of `width`, and one
// spare entry of '#' after them.
std::string listed(const std::vector<RandomObject>& v, size_t width, bool types) {
  std::string s;
  for (const RandomObject& o : v) s += pad(types ? stored_type(o.type) : o.id, width);
  return s + std::string(width, '#');
}

void check_connections(const RandomFlowsheet& f) {
  for (size_t k = 0; k < f.blocks.size(); ++k) {
    const RandomConnections& c = f.connections[k];
    SCOPED_TRACE("block " + f.blocks[k].id);
    std::string id = pad(f.blocks[k].id, 128);
    int64_t ni = -1, no = -1, status = -1;
    tkcntn_(id.data(), &ni, &no, &status, id.size());
    EXPECT_EQ(ni, count(c.inlets));
    EXPECT_EQ(no, count(c.outlets));
    EXPECT_EQ(status, c.written ? 0 : 4);  // else the tree misses level 4

    // Lists of exactly the counted size, and one spare entry each.
    auto room = [](const auto& v, size_t width) { return std::string(width * (v.size() + 1), '#'); };
    std::string in_ids = room(c.inlets, 128), in_types = room(c.inlets, 12),
                out_ids = room(c.outlets, 128), out_types = room(c.outlets, 12);
    int64_t ierr = -1, icap = count(c.inlets), ocap = count(c.outlets);
    tkcnct_(id.data(), &icap, &ocap, in_ids.data(), in_types.data(), out_ids.data(), out_types.data(),
            &ierr, id.size(), 128, 12, 128, 12);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(in_ids, listed(c.inlets, 128, false));
    EXPECT_EQ(in_types, listed(c.inlets, 12, true));
    EXPECT_EQ(out_ids, listed(c.outlets, 128, false));
    EXPECT_EQ(out_types, listed(c.outlets, 12, true));
  }
}

TEST(RoundTrip, RandomFlowsheetsReadBackExactly) {
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
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "first failing seed " << seed << "; its file:\n" << f.text.substr(0, 4000);
      return;
    }
  }
}

}  // namespace
}  // namespace flowsum::testing
