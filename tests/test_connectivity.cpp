// Connectivity: inlet and outlet lists with hierarchy prefixes and caller
// capacities, typed ports with their filler entries, and the source and
// destination of streams, "$" boundary blocks included.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "query/connectivity.hpp"
#include "support/flowsheet_records.hpp"
#include "support/stream_records.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

class Connectivity : public SummarySuite<Connectivity> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    FlowsheetWriter w(b);
    w.property_names();
    w.components({"WATER"});
    w.connections("MIXER", "B1", {{"F1", "MATERIAL"}, {"F2", "MATERIAL"}}, {{"H1.S3", "MATERIAL"}});
    w.connections("MIXER", "H1.B2", {{"S1", "MATERIAL"}, {"S4", "MATERIAL"}}, {{"S3", "MATERIAL"}});
    w.connections("FEEDBLK", "H1.$C-1", {{"S3", "MATERIAL"}}, {{"X9", "MATERIAL"}});
    w.connections("TRAYCOL", "C1", {{"F1", "MATERIAL"}}, {{"D", "MATERIAL"}, {"W", "MATERIAL"}});
    w.ports("TRAYCOL", "C1", {{0, 4, 7}}, {{1, 0, 0}, {9, 9, 2}, {40, 3, 0}});
    w.connections("TEMPCHG", "E1", {{"F2", "MATERIAL"}}, {{"E2", "MATERIAL"}});
    w.connections("SHORTC", "SC", {}, {});
    StreamWriter s(w);
    s.main_table({"MATERIAL", "H1.S3", "B2", "$C-1", "CONVEN", {}});
    s.main_table({"MATERIAL", "H1.S5", "B1", "$C-2", "CONVEN", {}});
    s.main_table({"MATERIAL", "H1.H2.S6", "$C-3", "", "CONVEN", {}});
    s.main_table({"MATERIAL", "F1", "", "B1", "CONVEN",
                  {{prop::kTemp, "MIXED", "", 300, unit_type::kTemperature},
                   {prop::kTemp, "MIXED", "", 300, unit_type::kTemperature},
                   {prop::kTemp, "NC", "", 300, unit_type::kTemperature},
                   {prop::kTemp, "", "", 300, unit_type::kTemperature},
                   {prop::kTemp, "CISOLID", "", 300, unit_type::kTemperature}}});
    write_file(b.text());
  }
};

struct Lists {
  int64_t ierr = -1;
  std::vector<std::string> in_ids, in_types, out_ids, out_types;
};

Lists connections(const std::string& block, int64_t in_cap, int64_t out_cap) {
  std::string id = pad(block, 16);
  const size_t ni = static_cast<size_t>(in_cap) + 1, no = static_cast<size_t>(out_cap) + 1;
  std::string ii(ni * 16, '#'), it(ni * 12, '#'), oi(no * 16, '#'), ot(no * 12, '#');
  Lists l;
  tkcnct_(id.data(), &in_cap, &out_cap, ii.data(), it.data(), oi.data(), ot.data(), &l.ierr, 16,
          16, 12, 16, 12);
  for (size_t i = 0; i < ni; ++i) l.in_ids.push_back(ii.substr(i * 16, 16)), l.in_types.push_back(it.substr(i * 12, 12));
  for (size_t i = 0; i < no; ++i) l.out_ids.push_back(oi.substr(i * 16, 16)), l.out_types.push_back(ot.substr(i * 12, 12));
  return l;
}

TEST_F(Connectivity, ListsWithHierarchyPrefixAndCapacities) {
  Lists l = connections("H1.B2", 2, 1);
  EXPECT_EQ(l.ierr, 0);
  EXPECT_EQ(trim(l.in_ids[0]), "H1.S1");
  EXPECT_EQ(trim(l.in_ids[1]), "H1.S4");
  EXPECT_EQ(trim(l.in_types[1]), "MATERIAL");
  EXPECT_EQ(l.in_ids[2], std::string(16, '#'));
  EXPECT_EQ(trim(l.out_ids[0]), "H1.S3");
  // An inlet list that does not fit is left untouched; the outlets still
  // come back and the flag is 0.
  Lists small = connections("B1", 1, 1);
  EXPECT_EQ(small.ierr, 0);
  EXPECT_EQ(small.in_ids[0], std::string(16, '#'));
  EXPECT_EQ(small.in_types[0], std::string(12, '#'));
  EXPECT_EQ(trim(small.out_ids[0]), "H1.S3");
  EXPECT_EQ(connections("NOPE", 1, 1).ierr, 1);
}

TEST_F(Connectivity, PortsWithFillerEntries) {
  std::string id = pad("C1", 8);
  int64_t m = 3, k = 4, ierr = -1;
  std::string il(12, '#'), ol(16, '#');
  std::vector<int64_t> iloc(3, -9), ith(3, -9), oloc(4, -9), oth(4, -9);
  tkport_(id.data(), &m, &k, il.data(), iloc.data(), ith.data(), ol.data(), oloc.data(),
          oth.data(), &ierr, 8, 4, 4);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(il, "F   G   G   ");
  EXPECT_EQ(iloc, (std::vector<int64_t>{5, 1, 1}));
  EXPECT_EQ(ith, (std::vector<int64_t>{7, 0, 0}));
  // Code 9 is past the seven outlet labels of the model and 40 outside the
  // table: blank labels, never a read outside it.
  EXPECT_EQ(ol, "LD          G   ");
  EXPECT_EQ(oloc, (std::vector<int64_t>{1, 10, 4, 1}));
  std::string e1 = pad("E1", 8);
  tkport_(e1.data(), &m, &k, il.data(), iloc.data(), ith.data(), ol.data(), oloc.data(),
          oth.data(), &ierr, 8, 4, 4);
  EXPECT_EQ(ierr, 2);
  std::string none = pad("NOPE", 8);
  tkport_(none.data(), &m, &k, il.data(), iloc.data(), ith.data(), ol.data(), oloc.data(),
          oth.data(), &ierr, 8, 4, 4);
  EXPECT_EQ(ierr, 1);
  // A served model without port data sets: fillers only.
  std::string sc = pad("SC", 8);
  int64_t one = 1, zero = 0;
  std::string l1(4, '#');
  int64_t loc = -9, th = -9;
  tkport_(sc.data(), &one, &zero, l1.data(), &loc, &th, nullptr, nullptr, nullptr, &ierr, 8, 4, 4);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(l1, "G   ");
  EXPECT_EQ(loc, 1);
}

struct Info {
  std::string source, destination;
  int64_t nsub = -1, nrows = -1;
};
Info info(const std::string& stream) {
  std::string id = pad(stream, 16);
  Info i{std::string(16, '#'), std::string(16, '#')};
  int64_t dum = 0;
  tksinf_(id.data(), i.source.data(), i.destination.data(), &i.nsub, &i.nrows, &dum, 16, 16, 16);
  i.source = trim(i.source);
  i.destination = trim(i.destination);
  return i;
}

TEST_F(Connectivity, SourceAndDestinationWithHierarchy) {
  Info s3 = info("H1.S3");
  EXPECT_EQ(s3.source, "H1.B2");
  // The boundary block H1.$C-1 lists H1.S3 as its first inlet: own level.
  EXPECT_EQ(s3.destination, "H1.$C-1");
  EXPECT_EQ(s3.nsub, 1);
  EXPECT_EQ(s3.nrows, 0);
  Info s5 = info("H1.S5");
  EXPECT_EQ(s5.source, "H1.B1");
  EXPECT_EQ(s5.destination, "$C-2");  // no parent prefix above H1.
  Info s6 = info("H1.H2.S6");
  EXPECT_EQ(s6.source, "H1.$C-3");    // parent level
  EXPECT_EQ(s6.destination, "");      // a product stays blank
  Info f1 = info("F1");
  EXPECT_EQ(f1.source, "");
  EXPECT_EQ(f1.destination, "B1");
  EXPECT_EQ(f1.nrows, 5);
  // MIXED, MIXED, NC, blank, CISOLID: one change between non-blank names.
  EXPECT_EQ(f1.nsub, 2);
}

TEST(HierarchyPrefix, PrefixesAndQualification) {
  EXPECT_EQ(flowsum::hierarchy_prefix("H1.H2.B5"), "H1.H2.");
  EXPECT_EQ(flowsum::parent_prefix("H1.H2.B5"), "H1.");
  EXPECT_EQ(flowsum::parent_prefix("H1.B5"), "");
  EXPECT_EQ(flowsum::hierarchy_prefix("B5  "), "");
  std::string f = pad("LONGNAME", 10);
  flowsum::qualify(flowsum::TextField(f.data(), f.size()), "H1.");
  EXPECT_EQ(f, "H1.LONGNAM");  // cut to the field
}

}  // namespace
