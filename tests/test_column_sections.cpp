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
  const bool served = blk.model == "TRAYCOL" || blk.model == "LINKEDCOL";
  int64_t cc = c, n = -1, ierr = -1;
  tknsec_(id.data(), &cc, &n, &ierr, id.size());
  const size_t nsec = col.sections.size();
  EXPECT_EQ((Ints{n, ierr}), (Ints{static_cast<int64_t>(nsec), 0}));
  Ints numbers(nsec + 1, -1);
  std::string types(12 * nsec + 1, '#');
  tklsec_(id.data(), &cc, &n, numbers.data(), types.data(), &ierr, id.size(), 12);
  EXPECT_EQ((Ints{ierr, numbers.back(), types.back()}), (Ints{served ? 0 : 1, -1, '#'}));
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

namespace {

// A tray column with sized sections 1 and 12 (two results each; a profile
// for section 12 only) and a rate-based column the family does not serve.
class ColumnSections : public SummarySuite<ColumnSections> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    const ColumnSet results{{"PROPERTIES"}, {{{"56"}, 2, 0}, {{"33"}, 1, 0}}, ""};
    for (int64_t s : {1, 12})
      column_dataset(w, {"BLOCK", "TRAYCOL", "T1", "TS_RES"}, {results, identity_set(s, 0)},
                     {Value::real(1.5 * static_cast<double>(s)), Value::integer(7)});
    column_dataset(w, {"BLOCK", "TRAYCOL", "T1", "TSPR"}, {property_set(57), identity_set(12, 0), tray_set({3, 4})},
                   reals({.5, .6}));
    column_dataset(w, {"BLOCK", "KINETCOL", "K1", "COL_INFO"}, {property_set(44), column_set(1)}, reals({5}));
    write_file(b.text());
  }
};

// Bad section types, unknown blocks and models not served fail with flag
// 1 (never a stale 0); lists stop at the caller's counts.
TEST_F(ColumnSections, FailuresAndCallerCounts) {
  struct Case {
    const char* id;
    const char* type;
    int64_t number;
    Ints sizes;  // TKSSEC's points, properties, results, flag; TKSCRS's flag
  };
  const std::vector<Case> cases{{"T1", "TRAY-SIZE", 12, {2, 1, 2, 0, 0}},
                                {"T1", "TRAY-SIZE", 1, {0, 0, 0, 2, 0}},
                                {"T1", "tray-size", 12, {0, 0, 0, 1, 1}},
                                {"T1", "PACK-RATE", 12, {0, 0, 0, 1, 1}},
                                {"NONE", "TRAY-SIZE", 12, {0, 0, 0, 1, 1}},
                                {"K1", "TRAY-SIZE", 1, {0, 0, 0, 1, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " " + c.type + " " + std::to_string(c.number));
    const std::string id = pad(c.id, 8), type = pad(c.type, 12);
    int64_t col = 1, number = c.number, np = -1, nprop = -1, nres = -1, ierr = 0, one = 1;
    tkssec_(id.data(), &col, type.data(), &number, &np, &nprop, &nres, &ierr, 8, 12);
    Ints got{np, nprop, nres, ierr};
    std::string pn(13, '#'), tv(12, ' '), qn(12, ' '), ul(16, ' ');
    Ints kinds(2, -1), ints(2, -1);
    Reals reals(2, -1.0);
    ierr = 0;
    tkscrs_(id.data(), &col, type.data(), &number, &one, pn.data(), kinds.data(), ints.data(), tv.data(),
            reals.data(), qn.data(), ul.data(), &ierr, 8, 12, 12, 12, 12, 16);
    got.push_back(ierr);
    EXPECT_EQ(got, c.sizes);
    EXPECT_EQ((std::pair{pn.back(), kinds[1]}), (std::pair{'#', int64_t{-1}}));
  }
  const std::string id = pad("T1", 8);
  int64_t col = 1, one = 1, ierr = -1;
  Ints numbers(2, -1);
  std::string types(13, '#');
  tklsec_(id.data(), &col, &one, numbers.data(), types.data(), &ierr, 8, 12);
  EXPECT_EQ((std::pair{numbers, types}), (std::pair{Ints{1, -1}, pad("TRAY-SIZE", 12) + "#"}));
  const std::string k1 = pad("K1", 8);
  tklsec_(k1.data(), &col, &one, numbers.data(), types.data(), &ierr, 8, 12);
  EXPECT_EQ(ierr, 1);
}

}  // namespace
}  // namespace flowsum::testing
