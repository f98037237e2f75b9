// Tray reports and reboiler results, checked against the random
// flowsheets' column blocks (called from check_columns), and the cases
// random files do not reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

void check_tray_reports(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const std::string id = pad(blk.id, 40);
  int64_t cc = c, nt = -1, np = -1, ierr = -1;
  tktrep_(id.data(), &cc, &nt, &np, id.size());
  std::set<int64_t> trays;
  for (const Series& r : col.reports) trays.insert(r.trays.begin(), r.trays.end());
  EXPECT_EQ((Ints{nt, np}), (Ints{static_cast<int64_t>(trays.size()), static_cast<int64_t>(col.reports.size())}));
  for (size_t k = 0; k < col.reports.size(); ++k) {
    const Series& r = col.reports[k];
    SCOPED_TRACE("report " + r.name + " " + r.component);
    int64_t n = static_cast<int64_t>(r.trays.size()), kk = static_cast<int64_t>(k) + 1;
    Ints got(r.trays.size(), -1);
    Reals values(r.trays.size(), -1.0);
    std::string p(12, '#'), s(8, '#'), ph(8, '#'), cm(8, '#'), ba(4, '#'), un(4, '#'), q(12, '#'), l(16, '#');
    tkntpr_(id.data(), &cc, &n, got.data(), &kk, p.data(), s.data(), ph.data(), cm.data(), ba.data(), un.data(),
            values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ((Texts{trim(p), trim(s), trim(ph), trim(cm), trim(ba), trim(un), trim(q), trim(l)}),
              (Texts{r.name, "MIXED", "LIQUID", r.component, "MOLE", "", units_of(r.unit_type)[0],
                     units_of(r.unit_type)[1]}));
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
    // The same property chosen by its qualifiers; blank units match any.
    std::fill(got.begin(), got.end(), -1);
    tktprp_(id.data(), &cc, &n, got.data(), p.data(), s.data(), ph.data(), cm.data(), ba.data(), un.data(),
            values.data(), q.data(), l.data(), &ierr, id.size(), 12, 8, 8, 8, 4, 4, 12, 16);
    EXPECT_EQ((std::pair{ierr, got}), (std::pair{int64_t{0}, r.trays}));
    expect_si(values, r.si);
  }
  if (!col.reports.empty() && blk.model != "CRUDEUNIT") {
    // The first report's descriptive qualifiers, cut to the count given
    // (a refinery column's report has no such view).
    const Series& r = col.reports.front();
    int64_t n = static_cast<int64_t>(r.trays.size()), ut = -1;
    std::string names(16 * r.trays.size() + 1, '#'), vals(16 * r.trays.size() + 1, '#');
    Reals values(r.trays.size(), -1.0);
    tktray_(id.data(), &cc, &n, names.data(), vals.data(), &ut, values.data(), id.size(), 16, 16);
    EXPECT_EQ((Ints{ut, names.back(), vals.back()}), (Ints{r.unit_type, '#', '#'}));
    const Texts qn{"SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"}, qv{"MIXED", "LIQUID", r.component, "MOLE", ""};
    for (size_t i = 0; i < std::min<size_t>(5, r.trays.size()); ++i)
      EXPECT_EQ((Texts{field(names, 16, i), field(vals, 16, i)}), (Texts{qn[i], qv[i]}));
    expect_si(values, r.si);
  }
  if (c != 1) return;
  // Reboiler results: the three results, then X and Y by component.
  const std::vector<Series>& rb = blk.reboiler;
  int64_t nres = -1, ncp = -1, ncomp = -1;
  tktrnr_(id.data(), &nres, &ncp, &ncomp, id.size());
  const int64_t nxy = rb.size() > 3 ? 2 : 0, nc = nxy ? static_cast<int64_t>(rb[3].components.size()) : 0;
  EXPECT_EQ((Ints{nres, ncp, ncomp}), (Ints{rb.empty() ? 0 : 3, nxy, nc}));
  if (rb.empty()) return;
  std::string pn(37, '#'), qn(36, '#'), ul(48, '#'), cpn(12 * static_cast<size_t>(nxy) + 1, '#'),
      ids(8 * static_cast<size_t>(nc) + 1, '#');
  Reals values(4, -1.0), cvalues(static_cast<size_t>(nc * nxy) + 1, -1.0), want, cwant;
  tktrrs_(id.data(), &nres, &ncp, &ncomp, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
          cvalues.data(), &ierr, id.size(), 12, 12, 16, 12, 8);
  EXPECT_EQ((Ints{ierr, pn.back(), cpn.back(), ids.back()}), (Ints{0, '#', '#', '#'}));
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ((Texts{field(pn, 12, k), field(qn, 12, k), field(ul, 16, k)}),
              (Texts{rb[k].name, units_of(rb[k].unit_type)[0], units_of(rb[k].unit_type)[1]}));
    want.push_back(rb[k].si[0]);
  }
  for (size_t k = 3; k < rb.size(); ++k) {
    EXPECT_EQ(field(cpn, 12, k - 3), rb[k].name);
    cwant.insert(cwant.end(), rb[k].si.begin(), rb[k].si.end());
  }
  for (size_t k = 0; k < static_cast<size_t>(nc); ++k) EXPECT_EQ(field(ids, 8, k), rb[3].components[k]);
  want.push_back(-1.0);
  cwant.push_back(-1.0);
  expect_si(values, want);
  expect_si(cvalues, cwant);
  // Fewer results than stored, and compositions of another size (flag 2,
  // left unread).
  int64_t one = 1, more = nc + 1;
  std::fill(cvalues.begin(), cvalues.end(), -1.0);
  tktrrs_(id.data(), &one, &ncp, &more, pn.data(), values.data(), qn.data(), ul.data(), cpn.data(), ids.data(),
          cvalues.data(), &ierr, id.size(), 12, 12, 16, 12, 8);
  EXPECT_EQ((Ints{ierr, cvalues[0] == -1.0}), (Ints{nxy ? 2 : 0, 1}));
}

}  // namespace flowsum::testing
