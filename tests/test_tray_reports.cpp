// Tray reports and reboiler results, checked against the random
// flowsheets' column blocks (called from check_columns), and the cases
// random files do not reach.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

namespace {
using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

std::string field(const std::string& a, size_t width, size_t k) {
  return trim(std::string_view(a).substr(width * k, width));
}
void expect_reals(const Reals& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9 * std::abs(want[i])) << i;
}
}  // namespace

void check_tray_reports(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const std::string id = pad(blk.id, 40);
  int64_t cc = c, nt = -1, np = -1;
  tktrep_(id.data(), &cc, &nt, &np, id.size());
  std::set<int64_t> trays;
  for (const RandomTrayReport& r : col.reports) trays.insert(r.trays.begin(), r.trays.end());
  EXPECT_EQ((Ints{nt, np}), (Ints{static_cast<int64_t>(trays.size()), static_cast<int64_t>(col.reports.size())}));
  for (size_t k = 0; k < col.reports.size(); ++k) {
    const RandomTrayReport& r = col.reports[k];
    SCOPED_TRACE("report " + r.name + " " + r.component);
    int64_t n = static_cast<int64_t>(r.trays.size()), kk = static_cast<int64_t>(k) + 1, ierr = -1;
    Ints got_trays(r.trays.size(), -1);
    Reals values(r.trays.size(), -1.0);
    std::string p(12, '#'), s(8, '#'), ph(8, '#'), cm(8, '#'), ba(4, '#'), un(4, '#'), q(12, '#'), l(16, '#');
    tkntpr_(id.data(), &cc, &n, got_trays.data(), &kk, p.data(), s.data(), ph.data(), cm.data(), ba.data(),
            un.data(), values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ(ierr, 0);
    const Texts want{r.name, r.substream, r.phase, r.component, r.basis, "",
                     r.unit_type ? known_type_name(r.unit_type) : "", r.unit_type ? si_label(r.unit_type) : ""};
    EXPECT_EQ((Texts{trim(p), trim(s), trim(ph), trim(cm), trim(ba), trim(un), trim(q), trim(l)}), want);
    EXPECT_EQ(got_trays, r.trays);
    expect_reals(values, r.si);
    // The same property chosen by its qualifiers.
    const std::string pn = pad(r.name, 12), sub = pad(r.substream, 8), phase = pad(r.phase, 8),
                      comp = pad(r.component, 8), basis = pad(r.basis, 4), units(4, ' ');
    std::fill(got_trays.begin(), got_trays.end(), -1);
    ierr = -1;
    tktprp_(id.data(), &cc, &n, got_trays.data(), pn.data(), sub.data(), phase.data(), comp.data(), basis.data(),
            units.data(), values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(got_trays, r.trays);
    expect_reals(values, r.si);
  }
  if (!col.reports.empty()) {
    // The first report's descriptive qualifiers and values.
    const RandomTrayReport& r = col.reports.front();
    int64_t n = static_cast<int64_t>(r.trays.size()), ut = -1;
    std::string names(16 * r.trays.size() + 1, '#'), vals(16 * r.trays.size() + 1, '#');
    Reals values(r.trays.size(), -1.0);
    tktray_(id.data(), &cc, &n, names.data(), vals.data(), &ut, values.data(), id.size(), 16, 16);
    EXPECT_EQ(ut, r.unit_type);
    EXPECT_EQ(names.back(), '#');
    const Texts qn{"SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"};
    const Texts qv{r.substream, r.phase, r.component, r.basis, ""};
    for (size_t i = 0; i < std::min<size_t>(qn.size(), r.trays.size()); ++i) {
      EXPECT_EQ(field(names, 16, i), qn[i]);
      EXPECT_EQ(field(vals, 16, i), qv[i]);
    }
    expect_reals(values, r.si);
  }
  if (c != 1) return;
  // Reboiler results.
  const RandomReboiler& rb = blk.reboiler;
  int64_t nres = -1, ncp = -1, ncomp = -1, ierr = -1;
  tktrnr_(id.data(), &nres, &ncp, &ncomp, id.size());
  const auto sz = [](const auto& v) { return static_cast<int64_t>(v.size()); };
  EXPECT_EQ((Ints{nres, ncp, ncomp}), (Ints{sz(rb.names), sz(rb.composition_names), sz(rb.components)}));
  if (!blk.has_reboiler) return;
  std::string pn(12 * rb.names.size() + 1, '#'), qn(12 * rb.names.size(), '#'), ul(16 * rb.names.size(), '#'),
      cpn(12 * rb.composition_names.size() + 1, '#'), ids(8 * rb.components.size() + 1, '#');
  Reals values(rb.names.size() + 1, -1.0), cvalues(rb.compositions.size() + 1, -1.0);
  tktrrs_(id.data(), &nres, &ncp, &ncomp, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
          cvalues.data(), &ierr, id.size(), 12, 12, 16, 12, 8);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ((Texts{pn.substr(pn.size() - 1), cpn.substr(cpn.size() - 1), ids.substr(ids.size() - 1)}),
            (Texts{"#", "#", "#"}));
  for (size_t k = 0; k < rb.names.size(); ++k) {
    EXPECT_EQ((Texts{field(pn, 12, k), field(qn, 12, k), field(ul, 16, k)}),
              (Texts{rb.names[k], rb.quantities[k], rb.unit_types[k] ? si_label(rb.unit_types[k]) : ""}));
  }
  values.pop_back();
  expect_reals(values, rb.si);
  for (size_t k = 0; k < rb.composition_names.size(); ++k) EXPECT_EQ(field(cpn, 12, k), rb.composition_names[k]);
  for (size_t k = 0; k < rb.components.size(); ++k) EXPECT_EQ(field(ids, 8, k), rb.components[k]);
  EXPECT_EQ(cvalues.back(), -1.0);
  cvalues.pop_back();
  expect_reals(cvalues, rb.compositions);
}

}  // namespace flowsum::testing

namespace {

using namespace flowsum::testing;

// A tray column with reboiler results (two values, X over two components),
// one without, and a linked column whose report of column 2 follows one
// of column 1 in the same section.
class TrayReports : public SummarySuite<TrayReports> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"A", "B"});
    ColumnWriter cw(w);
    cw.profile("TRAYCOL", "T1", "TRC_PRO2", {22, 0, 2, {}, false, 22, 1, {300, 310}});
    w.block_results("TRAYCOL", "T1", {}, {BlockResult::real(44, 5.0), BlockResult::real(22, 350.0, 22)}, "",
                    "TREB_RES");
    cw.reboiler_compositions("T1", {36}, {"A", "B"}, {0.25, 0.75});
    cw.profile("TRAYCOL", "T2", "TRC_PRO2", {22, 0, 2, {}, false, 22, 1, {300, 310}});
    cw.tray_report("LINKEDCOL", "L1", "MTRY_2", {22, "MIXED", "LIQUID", "", "MOLE", "", 1, {1}, 22, 1, {1.0}});
    cw.tray_report("LINKEDCOL", "L1", "MTRY_2", {23, "MIXED", "LIQUID", "", "MOLE", "", 2, {10, 11}, 0, 1, {2, 3}});
    write_file(b.text());
  }
};

// The reboiler results stop at the caller's counts; a composition part of
// another size is left unread with flag 2; other blocks fail.
TEST_F(TrayReports, ReboilerResultsKeepToTheCallersCounts) {
  struct Case {
    const char* id;
    int64_t nres, ncprop, ncomp;
    int64_t ierr;
    Reals values, cvalues;
  };
  const std::vector<Case> cases{{"T1", 1, 1, 2, 0, {5.0, -1, -1}, {0.25, 0.75, -1}},
                                {"T1", 2, 1, 1, 2, {5.0, 350.0, -1}, {-1, -1, -1}},
                                {"T2", 2, 1, 2, 3, {-1, -1, -1}, {-1, -1, -1}},
                                {"L1", 2, 1, 2, 1, {-1, -1, -1}, {-1, -1, -1}},
                                {"NONE", 2, 1, 2, 1, {-1, -1, -1}, {-1, -1, -1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id + std::string(" ") + std::to_string(c.nres) + std::to_string(c.ncomp));
    const std::string id = pad(c.id, 8);
    int64_t nres = c.nres, ncp = c.ncprop, nc = c.ncomp, ierr = -1;
    std::string pn(37, '#'), qn(37, '#'), ul(49, '#'), cpn(13, '#'), ids(17, '#');
    Reals values(3, -1.0), cvalues(3, -1.0);
    tktrrs_(id.data(), &nres, &ncp, &nc, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
            cvalues.data(), &ierr, 8, 12, 12, 16, 12, 8);
    EXPECT_EQ(ierr, c.ierr);
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(cvalues, c.cvalues);
    EXPECT_EQ((std::string{pn[12 * static_cast<size_t>(c.nres)], ids[8 * static_cast<size_t>(c.ncomp)]}), "##");
  }
}

// A linked column's report counts only the data sets of its column; tray
// numbers of two digits read back whole.
TEST_F(TrayReports, LinkedReportsBelongToTheirColumn) {
  const std::string id = pad("L1", 8);
  int64_t col = 2, nt = -1, np = -1, k = 1, ierr = -1;
  tktrep_(id.data(), &col, &nt, &np, 8);
  EXPECT_EQ((Ints{nt, np}), (Ints{2, 1}));
  Ints trays(3, -1);
  Reals values(3, -1.0);
  std::string p(12, ' '), s(8, ' '), ph(8, ' '), cm(8, ' '), ba(4, ' '), un(4, ' '), q(12, ' '), l(16, ' ');
  int64_t two = 2;
  tkntpr_(id.data(), &col, &two, trays.data(), &k, p.data(), s.data(), ph.data(), cm.data(), ba.data(), un.data(),
          values.data(), q.data(), l.data(), &ierr, 8, 12, 8, 8, 8, 4, 4, 12, 16);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(trim(p), "PRES");
  EXPECT_EQ(trays, (Ints{10, 11, -1}));
  EXPECT_EQ(values, (Reals{2, 3, -1}));
}

}  // namespace
