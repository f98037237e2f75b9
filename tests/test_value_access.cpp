// Value access: generic property readers, profile shapes, and the choice of
// a data set among siblings by qualifier values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "flowsum.h"
#include "support/block_table_records.hpp"
#include "support/flowsheet_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

// A caller's path: keywords in fields of `width`.
std::string path(const std::vector<std::string>& keys, size_t width = 16) {
  std::string s;
  for (const std::string& k : keys) s += pad(k, width);
  return s;
}

class ValueAccess : public SummarySuite<ValueAccess> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.block_results("HEATER", "H1", {"PHASE"},
                    {BlockResult::real(prop::kTemp, 350.0, unit_type::kTemperature, {"VAPOR"}),
                     BlockResult::real(prop::kVfrac, 0.5, unit_type::kNone, {"VAPOR"}),
                     BlockResult::integer(prop::kNstage, 7, {"LIQUID"}),
                     BlockResult::text(prop::kMw, "SHORT", {"LIQUID"}),
                     {prop::kRefluxRatio, {"TOTAL"}, Value::text("A TEXT OF MORE THAN EIGHT"), 6, 0}});
    BlockTableWriter t(w);
    t.reactor_report("TUBERX", "R1", "TUBE_PRP",
                     {{prop::kTemp, "MIXED", "VAPOR", "", "MOLE", unit_type::kTemperature, 1, {300, 310, 320}},
                      {prop::kHmx, "MIXED", "LIQUID", "H2O", "MASS", unit_type::kMolarEnthalpy, 1, {1, 2, 3}},
                      {prop::kRhomx, "MIXED", "LIQUID", "", "MASS", unit_type::kMassDensity, 1, {7, 8, 9}}});
    // Three properties at two points along PHASE: A A A B B B.
    w.idset_once("P3", {"PROPERTIES"}, {{{"22"}, 2, 22}, {{"23"}, 2, 20}, {{"24"}, 2, 0}});
    w.idset_once("AB", {"PHASE"}, {{{"A"}}, {{"B"}}});
    w.lset_once("PAB", "(%P3 & %AB)");
    b.dset({"PROFILE", "P1"}, "PAB",
           {Value::real(300, 1), Value::real(1e5, 1), Value::real(0.1), Value::real(310, 1),
            Value::real(2e5, 1), Value::real(0.2)});
    // Two data sets on one path: one value, then the six of the profile.
    w.idset_once("P1", {"PROPERTIES"}, {{{"22"}, 2, 22}});
    w.lset_once("ONE", "(%P1)");
    b.dset({"BLOCK", "HEATER", "H2", "RESULTS"}, "ONE", {Value::real(300, 1)});
    const std::vector<Value> six{Value::real(1, 1), Value::real(2, 1), Value::real(3),
                                 Value::real(4, 1), Value::real(5, 1), Value::real(6)};
    b.dset({"BLOCK", "HEATER", "H2", "RESULTS"}, "PAB", six);
    // A keyword that is the start of a longer key met before it in its chain.
    b.dset({"BLOCK", "HEATX", "E1", "HOT_HCURVE"}, "ONE", {Value::real(300, 1)});
    b.dset({"BLOCK", "HEATX", "E1", "HOT_"}, "PAB", six);
    write_file(b.text());
  }
  ValueAccess() { unit_set_ = "MET"; }
};

// TKPVAL into arrays of n entries prefilled with '#' and -1.
struct Pval {
  std::string names, utypes, labels;
  std::vector<double> values;
  int64_t nval = -1, ierr = -1;
};
Pval pval(std::string ids, int64_t nid, size_t n) {
  Pval p{std::string(12 * n, '#'), std::string(12 * n, '#'), std::string(16 * n, '#'), std::vector<double>(n, -1)};
  int64_t dum = 0;
  tkpval_(ids.data(), &nid, &dum, p.names.data(), p.values.data(), p.utypes.data(), p.labels.data(), &p.nval,
          &p.ierr, 16, 12, 12, 16);
  return p;
}

// TKNVAL's count of a path, with IERR.
std::pair<int64_t, int64_t> nval(std::string ids, int64_t nid) {
  int64_t nd = -1, nq = -1, ierr = -1;
  tknval_(ids.data(), &nid, &nd, &nq, &ierr, 16);
  return {nd, ierr};
}

TEST_F(ValueAccess, EveryValueAsAConvertedReal) {
  const std::string ids = path({"BLOCK", "HEATER", "H1", "RESULTS"});
  Pval p = pval(ids, 4, 6);
  ASSERT_EQ(std::pair(p.ierr, p.nval), std::pair(int64_t{0}, int64_t{5}));
  EXPECT_EQ(p.names.substr(0, 24), pad("TEMP", 12) + pad("VFRAC", 12));
  EXPECT_NEAR(p.values[0], 76.85, 1e-9);
  EXPECT_EQ(p.labels.substr(0, 16), pad("C", 16));
  // No unit type: the stored real, blank unit texts.
  EXPECT_EQ(p.values[1], 0.5);
  EXPECT_EQ(p.utypes.substr(12, 12), pad("", 12));
  EXPECT_EQ(pval(ids, 3, 6).ierr, 1);
}

// TKNVAL sizes TKPVAL's and TKAVAL's arrays: after the later sibling of a
// path was read by its qualifier, both still read the first one.
TEST_F(ValueAccess, CountAndValuesAgreeAfterASiblingWasRead) {
  std::string ids = path({"BLOCK", "HEATER", "H2", "RESULTS"});
  auto read_later_sibling = [&] {
    std::string qual = pad("PAB", 8);
    int64_t nid = 4, nq = -1, nd = -1, locq = 0, locd = 0;
    tkdset_(&nid, ids.data(), qual.data(), &nq, &nd, &locq, &locd, 16, 8);
    return nd;
  };
  ASSERT_EQ(read_later_sibling(), 6);
  ASSERT_EQ(nval(ids, 4), std::pair(int64_t{1}, int64_t{0}));
  Pval p = pval(ids, 4, 2);
  EXPECT_EQ(p.nval, 1);
  EXPECT_NEAR(p.values[0], 300 - 273.15, 1e-9);
  EXPECT_EQ(p.values[1], -1);
  EXPECT_EQ(p.names.substr(12), std::string(12, '#'));
  ASSERT_EQ(read_later_sibling(), 6);
  std::string names(12 * 2, '#'), utypes(12 * 2, '#'), labels(16 * 2, '#'), texts(8 * 2, '#');
  std::vector<double> values(2, -1);
  std::vector<int64_t> types(2, -1), ints(2, -1);
  int64_t nid = 4, dum = 0, nval = -1, ierr = -1;
  tkaval_(ids.data(), &nid, &dum, names.data(), types.data(), ints.data(), texts.data(), values.data(),
          utypes.data(), labels.data(), &nval, &ierr, 16, 12, 8, 12, 16);
  EXPECT_EQ(std::pair(nval, types[1]), std::pair(int64_t{1}, int64_t{-1}));
  EXPECT_EQ(labels.substr(16), std::string(16, '#'));
}

// TKNVAL counts the data set the readers read: for a keyword that a longer
// key earlier in its chain starts with (the readers take the key that is the
// keyword itself), and for a block's "COMPSTAT" (one value built for it).
TEST_F(ValueAccess, CountIsOfTheDataSetTheReadersRead) {
  const std::pair<std::vector<std::string>, int64_t> cases[] = {
      {{"BLOCK", "HEATX", "E1", "HOT_"}, 6},
      {{"BLOCK", "HEATX", "E1", "HOT_HCURVE"}, 1},
      {{"BLOCK", "HEATER", "H1", "COMPSTAT"}, 1},
  };
  for (const auto& [keys, want] : cases) {
    std::string ids = path(keys);
    ASSERT_EQ(nval(ids, 4), std::pair(want, int64_t{0})) << keys[3];
    Pval p = pval(ids, 4, static_cast<size_t>(want) + 1);
    EXPECT_EQ(p.nval, want) << keys[3];
    EXPECT_EQ(p.values[static_cast<size_t>(want)], -1) << keys[3] << ": nothing past the count";
  }
}

TEST_F(ValueAccess, EveryValueWithItsKind) {
  std::string ids = path({"BLOCK", "HEATER", "H1", "RESULTS"});
  int64_t nid = 4, dum = 0, nval = -1, ierr = -1;
  std::string names(12 * 5, '#'), texts(8 * 5, '#'), utypes(12 * 5, '#'), labels(16 * 5, '#');
  std::vector<int64_t> types(5, -1), ints(5, -1);
  std::vector<double> reals(5, -1);
  tkaval_(ids.data(), &nid, &dum, names.data(), types.data(), ints.data(), texts.data(), reals.data(),
          utypes.data(), labels.data(), &nval, &ierr, 16, 12, 8, 12, 16);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(types, (std::vector<int64_t>{2, 2, 1, 3, 3}));
  EXPECT_EQ(ints[2], 7);
  EXPECT_EQ(texts, pad("", 16) + pad("", 8) + pad("SHORT", 8) + "A TEXT O");
}

TEST_F(ValueAccess, ProfileShapeAndReading) {
  std::string ids = path({"PROFILE", "P1"});
  int64_t nid = 2, nset = -1, nper = -1, ierr = -1;
  int64_t qwords[4], nchar = 16, nword = 0;
  std::string qname = pad("PHASE", 16);
  tkcins_(&nchar, qname.data(), &nword, qwords, 16);
  tksprf_(ids.data(), &nid, qwords, &nset, &nper, &ierr, 16);
  EXPECT_EQ((std::vector<int64_t>{nset, nper, ierr}), (std::vector<int64_t>{2, 3, 0}));
  std::string names, utypes(12 * 6, '#'), labels(16 * 6, '#');
  std::vector<double> values;
  auto prf2 = [&](int64_t np, int64_t nprop) {
    names.assign(12 * 4, '#');
    values.assign(7, -1);
    tkprf2_(ids.data(), &nid, qname.data(), &np, &nprop, names.data(), values.data(), utypes.data(),
            labels.data(), &ierr, 16, 16, 12, 12, 16);
    return ierr;
  };
  EXPECT_EQ(prf2(2, 3), 0);
  EXPECT_EQ(names, pad("TEMP", 12) + pad("PRES", 12) + pad("VFRAC", 12) + std::string(12, '#'));
  EXPECT_NEAR(values[3], 310 - 273.15, 1e-9);  // property 1 at point 2
  EXPECT_EQ(values[5], 0.2);
  EXPECT_EQ(values[6], -1);
  // A shape that is not the data set's, and one whose product wraps around
  // 64 bits onto a small count.
  for (auto [points, props] : {std::pair<int64_t, int64_t>{3, 3}, {INT64_MAX / 2 + 1, 2}}) {
    EXPECT_EQ(prf2(points, props), 3) << points;
    EXPECT_EQ(values[0], -1) << points;
  }
}

TEST_F(ValueAccess, NumberedIdentifiers) {
  auto spid = [](const std::string& text, int64_t n, size_t width = 16) {
    std::string t = pad(text, width) + "##";
    tkspid_(t.data(), &n, width);
    return t;
  };
  EXPECT_EQ(spid("TRAY", 0), pad("TRAY", 16) + "##");
  EXPECT_EQ(spid("ABCDEFGHIJKLMNO", 123), "ABCDEFGHIJKLMNO1##");
  // A shorter field is never written past.
  EXPECT_EQ(spid("AB", 12345, 4), "AB12##");
}

// TKSPLT over a block's TUBE_PRP section (the model keyword left for it to
// fill), with the descriptor values in their usual order.
struct Split {
  std::string ids;
  std::string qual = pad("#", 8);
  int64_t ierr = -1;
};
Split split(const std::string& block, const std::vector<std::string>& vals) {
  Split s;
  s.ids = path({"BLOCK", "X", block, "TUBE_PRP"}, 128);
  const std::vector<std::string> names{"PROPERTIES", "SUBSTREAM", "PHASE", "COMPONENTS", "BASIS", "UNITS"};
  std::string kn, kv;
  for (size_t i = 0; i < vals.size(); ++i) {
    kn += pad(names[i], 16);
    kv += pad(vals[i], 16);
  }
  int64_t nid = 4, nk = static_cast<int64_t>(vals.size());
  tksplt_(&nid, s.ids.data(), &nk, kn.data(), kv.data(), s.qual.data(), &s.ierr, 128, 16, 16, 8);
  return s;
}

TEST_F(ValueAccess, ChoosingBlockResultsByQualifierValues) {
  Split hmx = split("R1", {"HMX", "", "LIQUID"});
  EXPECT_EQ(hmx.ierr, 0);
  EXPECT_NE(hmx.qual, pad("#", 8));
  EXPECT_EQ(hmx.ids.substr(128, 128), pad("TUBERX", 128));  // the model filled in
  EXPECT_EQ(split("R1", {"NOSUCHPROP"}).ierr, 2);
  // A block that does not exist is a failure, with the qualifier blank.
  Split none = split("NOSUCH", {"HMX"});
  EXPECT_EQ(std::pair(none.ierr, none.qual), std::pair(int64_t{1}, pad("", 8)));
  // The block exists, the section does not.
  EXPECT_EQ(split("H1", {"TEMP"}).ierr, 3);
}

TEST_F(ValueAccess, ChoosingAnyDataSetAndItsDimensions) {
  std::string ids = path({"BLOCK", "TUBERX", "R1", "TUBE_PRP"});
  int64_t nid = 4, nk = 2, ipos = -1, ierr = -1;
  std::string kn = pad("PROPERTIES", 16) + pad("PHASE", 16), kv = pad("RHOMX", 16) + pad("LIQUID", 16);
  auto fdst = [&](std::string at, std::string values) {
    std::string qual(8, '#');
    tkfdst_(at.data(), &nid, &nk, kn.data(), values.data(), qual.data(), &ipos, &ierr, 16, 16, 16, 8);
    return ierr;
  };
  EXPECT_EQ(fdst(ids, kv), 0);
  EXPECT_GT(ipos, 0);
  EXPECT_EQ(fdst(ids, pad("NOTAPROP", 32)), 2);
  EXPECT_EQ(fdst(path({"BLOCK", "TUBERX", "R9", "TUBE_PRP"}), pad("RHOMX", 32)), 3);
  // Dimensions of the chosen data set, and the members along NPOINT.
  std::string dn = pad("NPOINT", 16) + pad("OTHER", 16);
  std::vector<int64_t> sizes{-1, -1};
  int64_t ndim = 2, nfound = -1;
  tkspr3_(ids.data(), &nid, &nk, kn.data(), kv.data(), &ndim, dn.data(), sizes.data(), &nfound, &ierr, 16, 16,
          16, 16);
  EXPECT_EQ((std::vector<int64_t>{ierr, nfound, sizes[0], sizes[1]}), (std::vector<int64_t>{0, 1, 3, -1}));
  std::string q = pad("NPOINT", 8);
  int64_t nmem = -1, nsets = -1;
  tkspr2_(ids.data(), &nid, q.data(), &nmem, &nsets, &ierr, 16, 8);
  EXPECT_EQ((std::vector<int64_t>{nmem, nsets, ierr}), (std::vector<int64_t>{3, 3, 0}));
  std::string names(12 * 4, '#');
  int64_t dum = 0;
  tkprfp_(ids.data(), &nid, &dum, names.data(), &ierr, 16, 12);
  EXPECT_EQ(names, pad("TEMP", 12) + pad("HMX", 12) + pad("RHOMX", 12) + std::string(12, '#'));
}

struct NthProfile {
  std::string pname = pad("#", 12), sub = pad("#", 8), phase = pad("#", 8), comp = pad("#", 8),
              basis = pad("#", 4), fbasis = pad("#", 4), quantity = pad("#", 12), label = pad("#", 16);
  std::vector<double> values = std::vector<double>(4, -1);
  int64_t ierr = -1;
};
NthProfile nth(int64_t n, int64_t k) {
  NthProfile p;
  std::string ids = path({"BLOCK", "TUBERX", "R1", "TUBE_PRP"});
  int64_t nid = 4;
  tknprf_(ids.data(), &nid, &n, &k, p.pname.data(), p.sub.data(), p.phase.data(), p.comp.data(), p.basis.data(),
          p.fbasis.data(), p.values.data(), p.quantity.data(), p.label.data(), &p.ierr, 16, 12, 8, 8, 8, 4, 4,
          12, 16);
  return p;
}

TEST_F(ValueAccess, ProfileByPositionAmongSiblings) {
  NthProfile p = nth(3, 3);
  EXPECT_EQ(p.ierr, 0);
  EXPECT_EQ(p.pname + p.fbasis + p.quantity, pad("RHOMX", 12) + "MASS" + pad("MASS-DENSITY", 12));
  EXPECT_EQ(p.values, (std::vector<double>{7, 8, 9, -1}));
  // K past the siblings: blank descriptors, values untouched, flag 0.
  NthProfile past = nth(3, 4);
  EXPECT_EQ(std::tuple(past.ierr, past.pname, past.values[0]), std::tuple(int64_t{0}, pad("", 12), -1.0));
  // N that is not the profile's number of values.
  NthProfile wrong = nth(2, 1);
  EXPECT_EQ(std::pair(wrong.ierr, wrong.values[0]), std::pair(int64_t{1}, -1.0));
}

TEST_F(ValueAccess, BlockProfileByDescriptors) {
  std::string ids = path({"BLOCK", "X", "R1", "TUBE_PRP"}, 128), kv = pad("TEMP", 16) + pad("MIXED", 16),
              ut = pad("#", 12), lb = pad("#", 16);
  std::vector<double> v;
  auto prfr = [&](int64_t np) {
    int64_t nid = 4, nk = 2, ierr = -1;
    v.assign(4, -1);
    tkprfr_(ids.data(), &nid, kv.data(), &nk, &np, v.data(), ut.data(), lb.data(), &ierr, 128, 16, 12, 16);
    return ierr;
  };
  EXPECT_EQ(prfr(3), 0);
  EXPECT_NEAR(v[2], 320 - 273.15, 1e-9);
  EXPECT_EQ(lb, pad("C", 16));
  EXPECT_EQ(prfr(4), 1);
  EXPECT_EQ(v[0], -1);
}

}  // namespace
