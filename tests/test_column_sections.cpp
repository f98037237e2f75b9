// Sized and rated column sections, checked against the random flowsheets'
// column blocks (called from check_columns), and the cases random files do
// not reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "support/column_checks.hpp"
#include "support/column_records.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

using Ints = std::vector<int64_t>;
using Reals = std::vector<double>;
using Texts = std::vector<std::string>;

void check_sections(const RandomColumnBlock& blk, int64_t c, const RandomColumn& col) {
  const std::string id = pad(blk.id, 40);
  const bool served = blk.model == "TRAYCOL" || blk.model == "LINKEDCOL" || blk.model == "CRUDEUNIT";
  int64_t cc = c, n = -1, ierr = -1;
  tknsec_(id.data(), &cc, &n, &ierr, id.size());
  const size_t nsec = col.sections.size();
  EXPECT_EQ((Ints{n, ierr}), (Ints{static_cast<int64_t>(nsec), 0}));
  Ints numbers(nsec + 1, -1);
  std::string types(12 * nsec + 1, '#');
  tklsec_(id.data(), &cc, &n, numbers.data(), types.data(), &ierr, id.size(), 12);
  EXPECT_EQ((Ints{ierr, numbers.back(), types.back()}), (Ints{served ? 0 : 1, -1, '#'}));
  // A shorter list stops at its count; a type in lower case is unknown.
  int64_t shorter = n - 1, number = 1, ints[3];
  Ints cut(nsec + 1, -1);
  std::string cut_types(12 * nsec + 1, '#');
  tklsec_(id.data(), &cc, &shorter, cut.data(), cut_types.data(), &ierr, id.size(), 12);
  EXPECT_EQ(cut[nsec > 0 ? nsec - 1 : 0], -1);
  tkssec_(id.data(), &cc, "tray-size   ", &number, &ints[0], &ints[1], &ints[2], &ierr, id.size(), 12);
  EXPECT_EQ(ierr, 1);
  for (size_t k = 0; k < nsec; ++k) {
    const RandomSection& s = col.sections[k];
    SCOPED_TRACE(s.type + " " + std::to_string(s.number));
    EXPECT_EQ((std::pair{numbers[k], field(types, 12, k)}), (std::pair{s.number, s.type}));
    const std::string type = pad(s.type, 12);
    int64_t number = s.number, np = -1, nprop = -1, nres = -1;
    tkssec_(id.data(), &cc, type.data(), &number, &np, &nprop, &nres, &ierr, id.size(), 12);
    const size_t nr = s.results.size(), npr = s.profile.size();
    EXPECT_EQ((Ints{np, nprop, nres, ierr}), (Ints{static_cast<int64_t>(s.profile[0].trays.size()),
                                                    static_cast<int64_t>(npr), static_cast<int64_t>(nr), 0}));
    // Results, each kind in its own field.
    std::string pn(12 * nr + 1, '#'), tv(12 * nr, '#'), qn(12 * nr, '#'), ul(16 * nr, '#');
    Ints kinds(nr), ints(nr);
    Reals reals(nr);
    tkscrs_(id.data(), &cc, type.data(), &number, &nres, pn.data(), kinds.data(), ints.data(), tv.data(),
            reals.data(), qn.data(), ul.data(), &ierr, id.size(), 12, 12, 12, 12, 16);
    EXPECT_EQ((Ints{ierr, pn.back()}), (Ints{0, '#'}));
    for (size_t j = 0; j < nr; ++j) {
      const Series& v = s.results[j];
      EXPECT_EQ((Texts{field(pn, 12, j), field(tv, 12, j), field(qn, 12, j), field(ul, 16, j)}),
                (Texts{v.name, v.text, units_of(v.unit_type)[0], units_of(v.unit_type)[1]}));
      EXPECT_EQ(kinds[j], v.kind);
      if (v.kind == 1) EXPECT_EQ(ints[j], static_cast<int64_t>(v.si[0]));
      if (v.kind == 2) expect_si({reals[j]}, v.si);
    }
    // Profile names, parts and values.
    std::string names(12 * npr + 1, '#'), parts(npr + 1, '#');
    tkpsec_(id.data(), &cc, type.data(), &number, &nprop, names.data(), parts.data(), &ierr, id.size(), 12, 12, 1);
    EXPECT_EQ((Ints{ierr, names.back(), parts.back()}), (Ints{0, '#', '#'}));
    for (size_t k2 = 0; k2 < npr; ++k2) {
      const Series& p = s.profile[k2];
      EXPECT_EQ((std::pair{field(names, 12, k2), parts[k2]}), (std::pair{p.name, p.part}));
      Ints trays(p.trays.size(), -1);
      Reals values(p.trays.size(), -1.0);
      std::string q(12, ' '), l(16, ' ');
      const std::string pname = pad(p.name, 12);
      tkscpr_(id.data(), &cc, type.data(), &number, &np, trays.data(), pname.data(), &p.part, values.data(),
              q.data(), l.data(), &ierr, id.size(), 12, 12, 1, 12, 16);
      EXPECT_EQ((std::tuple{ierr, trays, trim(l)}), (std::tuple{int64_t{0}, p.trays, units_of(p.unit_type)[1]}));
      expect_si(values, p.si);
    }
  }
}

}  // namespace flowsum::testing
