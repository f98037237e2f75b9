// Round trip: random flowsheets (seeded, reproducible) are written with the
// fixture builder, loaded, and every landed query must return exactly what
// the generator wrote: object identifiers and types, counts, run
// information, components, block result values with their types, unit
// codes and conversions into SI, stream main tables (source, destination,
// substreams, rows with their names, units and SI values, single values
// picked by property) and the inlet and outlet lists of the blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/reference_tables.hpp"
#include "support/lookup_calls.hpp"
#include "support/random_flowsheet.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {
namespace {

constexpr int kFiles = 300;
constexpr double kMissing = 1.0e35;

// The listing routines give back the whole name of types the tables cut.
std::string widened(const std::string& type, const std::string& kind) {
  std::string stored = stored_type(type);
  if (kind == "BLOCK" && (stored == "LINKEDCO" || stored == "CRUDEUNI")) return type;
  if (kind == "EQUIPMEN" && (stored == "FURNACE-" || stored == "TRAY-TOW" || stored == "PACK-TOW"))
    return type;
  if (kind == "PROP-TABLE" && (stored == "FLASHCUR" || stored == "PTENVELO")) return type;
  return stored;
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
    char id[128], type[12];
    int64_t kk = k, ierr = -1;
    fn(&kk, id, type, &ierr, sizeof id, sizeof type);
    EXPECT_EQ(ierr, 0);
    p.insert({trim(std::string(id, sizeof id)), trim(std::string(type, sizeof type))});
  }
  return p;
}

// A whole list routine (TKBIDS and its kin) with n entries.
template <class Fn>
Pairs by_list(Fn fn, int64_t n) {
  std::vector<char> ids(128 * static_cast<size_t>(n) + 1, '#'), types(12 * static_cast<size_t>(n) + 1, '#');
  int64_t nn = n, ierr = -1;
  fn(&nn, ids.data(), types.data(), &ierr, 128, 12);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ids.back(), '#') << "written past the identifier array";
  EXPECT_EQ(types.back(), '#') << "written past the type array";
  Pairs p;
  for (int64_t k = 0; k < n; ++k)
    p.insert({trim(std::string(&ids[128 * static_cast<size_t>(k)], 128)),
              trim(std::string(&types[12 * static_cast<size_t>(k)], 12))});
  return p;
}

void check_objects(const RandomFlowsheet& f) {
  const int64_t nblk = static_cast<int64_t>(f.blocks.size()), nstr = static_cast<int64_t>(f.streams.size()),
                nppt = static_cast<int64_t>(f.tables.size()), neqp = static_cast<int64_t>(f.equipment.size()),
                nprs = static_cast<int64_t>(f.reliefs.size());
  EXPECT_EQ(tkglob_[3], nblk);
  EXPECT_EQ(tkglob_[4], nstr);
  EXPECT_EQ(tkglob_[5], nppt);
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
  EXPECT_EQ(by_position(tknppt_, nppt), truth_pairs(f.tables, "PROP-TABLE"));
  EXPECT_EQ(by_position(tkneqp_, neqp), truth_pairs(f.equipment, "EQUIPMEN"));

  // Pressure-relief identifiers, in a list and one by one.
  std::set<std::string> reliefs(f.reliefs.begin(), f.reliefs.end()), listed, one_by_one;
  std::vector<char> ids(128 * f.reliefs.size() + 1, '#');
  int64_t ierr = -1, want = nprs;
  tkpids_(&want, ids.data(), &ierr, 128);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ids.back(), '#');
  for (int64_t k = 0; k < nprs; ++k) listed.insert(trim(std::string(&ids[128 * static_cast<size_t>(k)], 128)));
  for (int64_t k = 1; k <= nprs; ++k) {
    char id[128];
    int64_t kk = k;
    tknxpr_(&kk, id, &ierr, sizeof id);
    EXPECT_EQ(ierr, 0);
    one_by_one.insert(trim(std::string(id, sizeof id)));
  }
  EXPECT_EQ(listed, reliefs);
  EXPECT_EQ(one_by_one, reliefs);

  // Every block is found with its stored model; a name that is not a block
  // is not.
  for (const RandomObject& b : f.blocks) {
    std::string id = b.id;
    char type[8];
    int64_t e = -1;
    tkvblk_(id.data(), type, &e, id.size(), sizeof type);
    EXPECT_EQ(e, 0) << b.id;
    EXPECT_EQ(std::string(type, 8), pad(stored_type(b.type), 8)) << b.id;
  }
  std::string absent = "NOT-A-BLOCK-ID";
  char type[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  int64_t e = -1;
  tkvblk_(absent.data(), type, &e, absent.size(), sizeof type);
  EXPECT_EQ(e, 1);
  EXPECT_EQ(std::string(type, 8), "########");

  // The iterator over all blocks meets every block once.
  std::multiset<std::string> seen;
  std::string stype = "BLK_ANY";
  char arg3[128], arg4[128];
  std::fill(std::begin(arg3), std::end(arg3), ' ');
  std::fill(std::begin(arg4), std::end(arg4), ' ');
  int64_t mode = 1;
  for (int guard = 0; guard < 1000; ++guard) {
    int64_t ipos = 0;
    tknitm_(stype.data(), &mode, arg3, arg4, &ipos, stype.size(), 128, 128);
    mode = 0;
    if (ipos <= 0) {
      EXPECT_EQ(ipos, 0);
      break;
    }
    seen.insert(trim(std::string(arg4, 128)));
  }
  std::multiset<std::string> blocks;
  for (const RandomObject& b : f.blocks) blocks.insert(b.id);
  EXPECT_EQ(seen, blocks);
}

void check_run_information(const RandomFlowsheet& f) {
  char title[64];
  tktitl_(title, sizeof title);
  EXPECT_EQ(std::string(title, 64), pad(f.run.title, 64));

  char version[16], runid[8], s1[40], s2[40];
  int64_t completion = -1, flags[6], nblk = -1, nstr = -1, nppt = -1, ninfo = -1;
  tkinfo_(version, runid, s1, s2, &completion, flags, &nblk, &nstr, &nppt, &ninfo, sizeof version,
          sizeof runid, sizeof s1, sizeof s2);
  EXPECT_EQ(std::string(version, 16), pad(f.run.version, 16).substr(0, 16));
  EXPECT_EQ(std::string(runid, 8), pad(f.run.run_id, 8));
  EXPECT_EQ(std::string(s1, 40), pad(f.run.status_text1, 40));
  EXPECT_EQ(std::string(s2, 40), pad(f.run.status_text2, 40));
  EXPECT_EQ(completion, -f.run.completion);  // minus item 115
  EXPECT_EQ(std::vector<int64_t>(flags, flags + 6), f.run.flags);
  EXPECT_EQ(nblk, static_cast<int64_t>(f.blocks.size()));
  EXPECT_EQ(nstr, static_cast<int64_t>(f.streams.size()));
  EXPECT_EQ(nppt, static_cast<int64_t>(f.tables.size()));

  char user[8], project[8], t355[80], t348[80];
  int64_t ierr = -1;
  tkacct_(user, project, t355, t348, &ierr, 8, 8, 80, 80);
  if (f.has_account) {
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(std::string(user, 8), pad(f.account.user, 8));
    EXPECT_EQ(std::string(project, 8), pad(f.account.project, 8));
    EXPECT_EQ(std::string(t355, 80), pad(f.account.text355, 80));
    EXPECT_EQ(std::string(t348, 80), pad(f.account.text348, 80));
  } else {
    EXPECT_EQ(ierr, 1);
  }

  auto check_list = [](auto count_fn, auto list_fn, const auto& truth) {
    int64_t n = -1;
    count_fn(&n);
    ASSERT_EQ(n, static_cast<int64_t>(truth.size()));
    std::vector<char> names(8 * truth.size() + 1, '#'), texts(12 * truth.size() + 1, '#');
    int64_t idum = 0, ierr = -1;
    list_fn(&idum, names.data(), texts.data(), &ierr, 8, 12);
    EXPECT_EQ(names.back(), '#');
    EXPECT_EQ(texts.back(), '#');
    for (size_t i = 0; i < truth.size(); ++i) {
      EXPECT_EQ(std::string(&names[8 * i], 8), pad(truth[i].first, 8));
      EXPECT_EQ(std::string(&texts[12 * i], 12), pad(truth[i].second, 12));
    }
  };
  check_list(tknals_, tkalis_, f.aliases);
  check_list(tkncsn_, tkcasn_, f.case_names);

  // Components: the conventional ones first, then the others.
  ASSERT_EQ(tkglob_[0], static_cast<int64_t>(f.ncc.size()));
  ASSERT_EQ(tkglob_[1], static_cast<int64_t>(f.nnc.size()));
  std::vector<std::string> all = f.ncc;
  all.insert(all.end(), f.nnc.begin(), f.nnc.end());
  ASSERT_EQ(component_count(), static_cast<int64_t>(all.size()));
  for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(trim(component_id(static_cast<int64_t>(i) + 1)), all[i]);
}

void check_block_values(const RandomFlowsheet& f) {
  for (const RandomBlockResults& r : f.results) {
    const std::vector<std::string> path{"BLOCK", r.block.type, r.block.id, "RESULTS"};
    std::string ids(128 * path.size(), ' ');
    for (size_t i = 0; i < path.size(); ++i) ids.replace(128 * i, path[i].size(), path[i]);
    int64_t nid = 4, ndata = -1, nq = -1, ierr = -1;
    tknval_(ids.data(), &nid, &ndata, &nq, &ierr, 128);
    EXPECT_EQ(ierr, 0) << r.block.id;
    EXPECT_EQ(ndata, static_cast<int64_t>(r.values.size())) << r.block.id;

    DsetCall d = call_tkdset(path);
    const int64_t nd = static_cast<int64_t>(r.values.size());
    ASSERT_EQ(d.ndata, nd) << r.block.id;
    ASSERT_EQ(d.nqual, 1) << r.block.id;
    const int64_t types_at = d.locq + 4 * d.nqual + 2 * d.nqual * nd;
    for (int64_t j = 0; j < nd; ++j) {
      const RandomValue& v = r.values[static_cast<size_t>(j)];
      SCOPED_TRACE(r.block.id + " value " + std::to_string(j + 1));
      EXPECT_EQ(work_word(d.locq + 4 + 2 * j), v.property);
      EXPECT_EQ(work_word(types_at + j), v.type);
      EXPECT_EQ(work_word(types_at + nd + j), v.unit_type);
      switch (v.type) {
        case 1: EXPECT_EQ(work_word(d.locd + j), v.integer); break;
        case 5: EXPECT_EQ(work_text(d.locd + nd + 2 * j, 2), pad(v.text, 8)); break;
        case 6:
          EXPECT_EQ(work_word(d.locd + nd + 2 * j), 20);
          EXPECT_EQ(trim(work_text(work_word(d.locd + nd + 2 * j + 1), 20)), v.text);
          break;
        default: {
          const double stored = work_real_word(d.locd + 4 * nd + j);
          EXPECT_EQ(work_word(d.locd + 3 * nd + j), v.unit_code);
          EXPECT_EQ(stored, v.missing ? kMissing : v.real);
          if (v.unit_type == 0) break;
          int64_t type = v.unit_type, code = v.unit_code;
          double value = stored, result = 0;
          char label[16];
          tkucnv_(&type, &code, &value, &result, label, sizeof label);
          EXPECT_EQ(std::string(label, 16), pad(si_label(v.unit_type), 16));
          if (v.missing) {
            EXPECT_EQ(result, kMissing);
          } else {
            EXPECT_NEAR(result, v.si, 1e-12 * std::max(1.0, std::fabs(v.si)) + 1e-300)
                << "written " << v.real << " in unit " << v.unit_code << " of type " << v.unit_type;
          }
        }
      }
    }
  }
}

// ---- Streams and connections -----------------------------------------------

// The substream a row counts in: blank, or no substream qualifier, is MIXED.
std::string counted_substream(const RandomStreamResults& s, const RandomStreamRow& row) {
  return s.without_substream || row.substream.empty() ? "MIXED" : row.substream;
}

// The basis the four properties with mole, mass and flow forms take from
// their unit type.
std::string basis_of(const RandomStreamRow& row) {
  if (row.name != "HMX" && row.name != "RHOMX" && row.name != "SMX" && row.name != "CPMX") return "";
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

struct StreamInfo {
  std::string source = std::string(128, '#'), destination = std::string(128, '#');
  int64_t nsub = -1, nrows = -1;
};
StreamInfo stream_info(const std::string& stream) {
  std::string id = pad(stream, 128);
  StreamInfo i;
  int64_t dum = 0;
  tksinf_(id.data(), i.source.data(), i.destination.data(), &i.nsub, &i.nrows, &dum, id.size(),
          i.source.size(), i.destination.size());
  return i;
}

// TKSVAL for the property and substream of one row, on one basis, against
// every row of the table it should pick.
void check_single_value(const RandomStreamResults& s, const RandomStreamRow& picked,
                        const std::string& basis) {
  SCOPED_TRACE("TKSVAL " + picked.name + " of '" + picked.substream + "' basis '" + basis + "'");
  std::vector<const RandomStreamRow*> want;
  for (const RandomStreamRow& row : s.rows) {
    if (counted_substream(s, row) != counted_substream(s, picked) || row.name != picked.name) continue;
    // The basis keeps the rows of its form; only HMX has a FLOW form.
    const bool filtered = (basis == "FLOW" || basis == "MOLE" || basis == "MASS") &&
                          (picked.name == "HMX" || picked.name == "RHOMX" || picked.name == "SMX" ||
                           picked.name == "CPMX");
    if (filtered && (basis_of(row) != basis || (basis == "FLOW" && picked.name != "HMX"))) continue;
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
    const StreamInfo info = stream_info(s.stream.id);
    EXPECT_EQ(info.source, pad(s.source, 128));
    EXPECT_EQ(info.destination, pad(s.destination, 128));
    EXPECT_EQ(info.nsub, substream_count(s));
    ASSERT_EQ(info.nrows, static_cast<int64_t>(s.rows.size()));

    // The whole table, with one spare row that must stay as it was.
    const size_t n = s.rows.size();
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
    EXPECT_EQ(rows.substr(64 * n), std::string(64, '#'));
    EXPECT_EQ(values[n], -7.0);
    EXPECT_EQ(names.substr(12 * n), std::string(12, '#'));
    EXPECT_EQ(labels.substr(16 * n), std::string(16, '#'));

    // Single values for the first and a middle row, and for a property
    // with basis forms on the bases it has and has not.
    std::set<size_t> picks;
    if (n > 0) picks = {0, n / 2};
    for (size_t k = 0; k < n; ++k)
      if (s.rows[k].name == "HMX") {
        picks.insert(k);
        break;
      }
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
    if (with_table.count(stream.id)) continue;
    SCOPED_TRACE("stream " + stream.id);
    const StreamInfo info = stream_info(stream.id);
    EXPECT_EQ(info.source, std::string(128, ' '));
    EXPECT_EQ(info.destination, std::string(128, ' '));
    EXPECT_EQ(info.nsub, 1);
    EXPECT_EQ(info.nrows, 0);
  }
}

void check_connections(const RandomFlowsheet& f) {
  for (size_t k = 0; k < f.blocks.size(); ++k) {
    const RandomConnections& c = f.connections[k];
    SCOPED_TRACE("block " + f.blocks[k].id);
    const int64_t nin = static_cast<int64_t>(c.inlets.size()),
                  nout = static_cast<int64_t>(c.outlets.size());
    std::string id = pad(f.blocks[k].id, 128);
    int64_t ni = -1, no = -1, status = -1;
    tkcntn_(id.data(), &ni, &no, &status, id.size());
    EXPECT_EQ(ni, nin);
    EXPECT_EQ(no, nout);
    EXPECT_EQ(status, c.written ? 0 : 4);  // else the tree misses level 4

    // Lists of exactly the counted size, and one spare entry each.
    const size_t ni_room = c.inlets.size() + 1, no_room = c.outlets.size() + 1;
    std::string in_ids(128 * ni_room, '#'), in_types(12 * ni_room, '#'), out_ids(128 * no_room, '#'),
        out_types(12 * no_room, '#');
    int64_t ierr = -1, icap = nin, ocap = nout;
    tkcnct_(id.data(), &icap, &ocap, in_ids.data(), in_types.data(), out_ids.data(), out_types.data(),
            &ierr, id.size(), 128, 12, 128, 12);
    EXPECT_EQ(ierr, 0);
    auto expect_list = [](const std::string& ids, const std::string& types,
                          const std::vector<RandomObject>& truth) {
      std::string want_ids, want_types;
      for (const RandomObject& s : truth) {
        want_ids += pad(s.id, 128);
        want_types += pad(stored_type(s.type), 12);
      }
      EXPECT_EQ(ids, want_ids + std::string(128, '#'));
      EXPECT_EQ(types, want_types + std::string(12, '#'));
    };
    expect_list(in_ids, in_types, c.inlets);
    expect_list(out_ids, out_types, c.outlets);
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
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "first failing seed " << seed << "; its file:\n" << f.text.substr(0, 4000);
      return;
    }
  }
}

}  // namespace
}  // namespace flowsum::testing
