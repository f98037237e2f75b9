// Refinery columns: counts, connections and summary results against the
// random flowsheets (check_refinery, called by check_columns; the twins
// through the general routines), and a hand-built block for the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/caller.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

void check_refinery(const RandomColumnBlock& blk) {
  const std::string id = pad(blk.id, 40);
  // A result list sized by the truth, one guard element after it.
  auto lists = [&](const char* routine, int64_t number, const std::vector<Series>& want) {
    SCOPED_TRACE(std::string(routine) + " " + std::to_string(number));
    const size_t n = want.size();
    std::string names(12 * n + 1, '#'), q(12 * n + 1, '#'), l(16 * n + 1, '#');
    Reals v(n + 1, -1.0), wv;
    Ints kinds(n + 1, -7);
    int64_t nres = static_cast<int64_t>(n), ierr = -1, k = number;
    const std::string r = routine;
    if (r == "CN") tkptcn_(id.data(), &k, &nres, names.data(), v.data(), q.data(), l.data(), &ierr, 40, 12, 12, 16);
    if (r == "FR") tkptfr_(id.data(), &k, &nres, names.data(), v.data(), q.data(), l.data(), &ierr, 40, 12, 12, 16);
    if (r == "RS")
      tkptrs_(id.data(), &k, &nres, names.data(), kinds.data(), v.data(), q.data(), l.data(), &ierr, 40, 12, 12, 16);
    EXPECT_EQ(ierr, n > 0 ? 0 : 1);
    Texts got{names.substr(12 * n), q.substr(12 * n), l.substr(16 * n)}, exp{"#", "#", "#"};
    for (size_t j = 0; j < n; ++j) {
      got.insert(got.end(), {field(names, 12, j), field(q, 12, j), field(l, 16, j)});
      exp.insert(exp.end(), {want[j].name, units_of(want[j].unit_type)[0], units_of(want[j].unit_type)[1]});
      wv.push_back(want[j].si[0]);
    }
    EXPECT_EQ(got, exp);
    wv.push_back(-1.0);
    expect_si(v, wv);
    if (r == "RS" && n > 0) EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 2), static_cast<long>(n));
  };
  const int64_t ncol = static_cast<int64_t>(blk.columns.size()), nconn = static_cast<int64_t>(blk.feed_connections.size());
  int64_t stripper_values = 0;
  for (int64_t c = 2; c <= ncol; ++c) stripper_values += static_cast<int64_t>(blk.columns[static_cast<size_t>(c - 1)].summary.size());
  for (int64_t c = 1; c <= ncol + 1; ++c) {
    const RandomColumn none, &col = c <= ncol ? blk.columns[static_cast<size_t>(c - 1)] : none;
    Ints n(12, -7);
    int64_t cc = c;
    tknpet_(id.data(), &cc, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11], 40);
    const int64_t sets = c == 1 || c > ncol ? 0 : blk.stripper_sets[static_cast<size_t>(c - 1)];
    const int64_t each = sets > 0 ? static_cast<int64_t>(col.connections.size()) / sets : 0;
    EXPECT_EQ((Ints{n[3], n[6], n[7], n[10], n[11]}), (c == 1 ? Ints{static_cast<int64_t>(col.summary.size()), nconn,
                             nconn ? static_cast<int64_t>(col.connections.size()) / nconn + 3 : 0, 0, 0}
                      : Ints{stripper_values, 0, 0, each, sets}))
        << c;
    lists("CN", c, col.connections);
    lists("RS", c, col.summary);
  }
  // Column 0 and an unknown block: every count zeroed.
  for (const auto& [block, column] : {std::pair{id, int64_t{0}}, std::pair{pad("NOSUCH", 40), int64_t{1}}}) {
    Ints n(12, -7);
    int64_t c = column;
    tknpet_(block.data(), &c, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11], 40);
    EXPECT_EQ(n, Ints(12, 0)) << block << column;
  }
  for (int64_t k = 1; k <= nconn + 1; ++k) lists("FR", k, k <= nconn ? blk.feed_connections[static_cast<size_t>(k - 1)] : std::vector<Series>{});
}

namespace {

ColumnSet temp_pres() { return {{"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}}, ""}; }

// Block "CU": a main column and stripper 10 (column 11) with profiles, and
// what the random blocks do not write: pumparounds, the furnace table and
// petroleum properties.
TEST(RefineryColumn, PumparoundsFurnaceAndPetroleumProperties) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.components({"A", "B", "C"});
  w.block_results("CRUDEUNIT", "CU", {}, {BlockResult::real(prop::kTemp, 1.0)});
  auto at = [](const std::string& s) { return std::vector<std::string>{"BLOCK", "CRUDEUNIT", "CU", s}; };
  int next = 1;
  column_dataset(w, at("HYD_M"), {property_set(601), tray_set({1, 2})}, {Value::real(1.5), Value::real(2.5)}, &next);
  column_dataset(w, at("HYDS_10"), {property_set(602), tray_set({1})}, {Value::real(7)}, &next);
  column_dataset(w, at("TRAY_Y_M"), {property_set(39), component_set({"B", "A"}), tray_set({1, 2})},
                 {Value::real(.1), Value::real(.2), Value::real(.3), Value::real(.4)}, &next);
  column_dataset(w, at("TRAY_Y_S"), {property_set(39), component_set({}), column_set(10), tray_set({1})},
                 {Value::real(.5), Value::real(.6), Value::real(.7)}, &next);
  for (int64_t s = 1; s <= 10; ++s) column_dataset(w, at("MSCO_" + std::to_string(s)), {property_set(22)}, {Value::real(1)}, &next);
  column_dataset(w, at("INFO_M"), {temp_pres()}, reals({300, 2e5}, 1), &next);
  column_dataset(w, at("INFO_S"), {temp_pres(), keyed_set("N_STRIP", {"1", "10"})}, reals({310, 3e5, 320, 4e5}, 1), &next);
  column_dataset(w, at("PUMPAROU"), {temp_pres(), keyed_set("PUMPAROUND", {"PA-1", "PA-2"})}, reals({330, 5e5, 340, 6e5}, 1),
                 &next);
  column_dataset(w, at("M-FCONNE"), {temp_pres(), keyed_set("M-FCONNECT", {"FEED", "NAPHTHA", "KERO"})},
                 reals({1, 2, 3, 4, 5, 6}, 1), &next);
  column_dataset(w, at("FURN_XXY"), {temp_pres(), component_set({})}, reals({11, 12, 21, 22, 31, 32}, 1), &next);
  for (const char* pp : {"PPL_M", "PPS_M", "PPV_M", "PPVS_10"}) {
    column_dataset(w, at(pp), {property_set(22, 22), tray_set({1, 2})}, reals({400, 410}, 1), &next);
    if (pp == std::string("PPL_M"))
      column_dataset(w, at(pp), {property_set(23, 20), tray_set({1, 2})}, reals({1e5, 2e5}, 1), &next);
  }
  TempSummaryFile file(b.text());
  LoadedSummary loaded(file.string());
  ASSERT_EQ(loaded.ierr(), 0);
  const std::string id = pad("CU", 40);
  const Field cu("CU", 40);
  int64_t ncol = -1, ierr = -1;
  call(tkncol_, cu, ncol);
  EXPECT_EQ(ncol, 11);
  // Every count of the main column and of stripper 10 (zeroed on entry).
  for (auto [column, want] : {std::pair{int64_t{1}, Ints{2, 1, 1, 2, 2, 2, 3, 5, 2, 3, 0, 0}},
                              std::pair{int64_t{11}, Ints{2, 1, 1, 4, 0, 0, 0, 0, 0, 0, 1, 1}}}) {
    Ints n(12, -7);
    tknpet_(id.data(), &column, &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &n[7], &n[8], &n[9], &n[10], &n[11], 40);
    EXPECT_EQ(n, want) << column;
  }
  // Pumparound 2, and 3 which is not there.
  for (auto [number, want, werr] : {std::tuple{int64_t{2}, 340.0, int64_t{0}}, {int64_t{3}, -1.0, int64_t{1}}}) {
    Field name(12), q(12), l(16);
    Reals v{-1};
    call(tkptpp_, cu, number, int64_t{1}, name, v, q, l, ierr);
    EXPECT_EQ(ierr, werr) << number;
    expect_si(v, {want});
    if (ierr == 0)
      EXPECT_EQ((Texts{name.trimmed(), q.trimmed(), l.trimmed()}), (Texts{"TEMP", units_of(22)[0], units_of(22)[1]}));
  }
  // Two components of three: values (component, property).
  Field pn(12, 2), comps(8, 2), qn(12, 2), ul(16, 2);
  Reals v(4, -1.0);
  call(tkfrcm_, cu, int64_t{2}, int64_t{2}, pn, comps, v, qn, ul, ierr);
  EXPECT_EQ(pn.text() + comps.text(), pad("TEMP", 12) + pad("PRES", 12) + pad("A", 8) + pad("B", 8));
  expect_si(v, {11, 21, 12, 22});
  for (auto [basis, column, werr] : {std::tuple{"MOLE", int64_t{1}, int64_t{0}}, {"SVOL", 11, 0}, {"MASS", 11, 3},
                                     {"MOLX", 1, 1}, {"MOLE", 0, 1}}) {
    Field q(12), l(16);
    Reals got(2, -1.0);
    call(tkptpr_, cu, Field("TEMP", 12), column, int64_t{2}, Field(basis, 4), got, q, l, ierr);
    EXPECT_EQ(ierr, werr) << basis << column;
    expect_si(got, werr == 0 ? Reals{400, 410} : Reals{-1, -1});
  }
  // The listed properties and bases, cut to the count given.
  Field names(12, 4), bases(4, 3);
  call(tkptad_, cu, int64_t{1}, int64_t{3}, names, bases, ierr);
  EXPECT_EQ(names.text() + bases.text(),
            pad("TEMP", 12) + pad("PRES", 12) + pad("TEMP", 12) + std::string(12, '#') + "MOLEMOLEMASS");
  // A stripper's composition stops at LD: stripper 10 (column 11) has three
  // components, the general routine hands the block on to its twin.
  int64_t c11 = 11, ld = 2, nt = 2;
  Field cids(8, 3), q(12), l(16);
  Reals y(5, -1.0);
  call(tkpro2_, cu, Field("Y", 3), c11, ld, cids, nt, y, q, l, ierr);
  EXPECT_EQ(std::tuple(ierr, y, cids.trimmed(2)), std::tuple(int64_t{0}, Reals{.5, .6, -1, -1, -1}, std::string(8, '#')));
  // The main column's composition through the petroleum routines: TKPET1
  // the data set's first NTRAY values as they lie, TKPET2 all of it.
  int64_t c1 = 1;
  Reals first(3, -1.0), all(5, -1.0);
  call(tkpet1_, cu, Field("Y", 12), c1, nt, first, q, l, ierr);
  EXPECT_EQ(std::tuple(ierr, first), std::tuple(int64_t{0}, Reals{.1, .2, -1}));
  call(tkpet2_, cu, Field("Y", 12), c1, ld, cids, nt, all, q, l, ierr);
  EXPECT_EQ(std::tuple(ierr, all, cids.text()),
            std::tuple(int64_t{0}, Reals{.1, .2, .3, .4, -1}, pad("B", 8) + pad("A", 8) + std::string(8, '#')));
}

}  // namespace
}  // namespace flowsum::testing
