// Connectivity beyond what the round trip reads: lists that do not fit the
// caller's capacity, typed ports with their filler entries, and "$"
// boundary blocks as a stream's source and destination.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "flowsum.h"
#include "support/stream_records.hpp"
#include "support/caller.hpp"
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
    // A model whose listed name is longer than the 8 characters its paths carry.
    w.connections("LINKEDCO", "L1", {{"F1", "MATERIAL"}}, {});
    w.ports("LINKEDCO", "L1", {{0, 2, 0}}, {{1, 0, 0}});
    StreamWriter s(w);
    s.main_table({"MATERIAL", "H1.S3", "B2", "$C-1", "CONVEN", {}});
    s.main_table({"MATERIAL", "H1.S5", "B1", "$C-2", "CONVEN", {}});
    s.main_table({"MATERIAL", "H1.H2.S6", "$C-3", "", "CONVEN", {}});
    write_file(b.text());
  }
};

// TKCNCT with room for in_cap and out_cap entries and one guard entry more.
struct Lists {
  int64_t ierr = -1;
  Field in_ids, in_types, out_ids, out_types;
};
Lists connections(const std::string& block, int64_t in_cap, int64_t out_cap) {
  const size_t ni = static_cast<size_t>(in_cap) + 1, no = static_cast<size_t>(out_cap) + 1;
  Lists l{-1, Field(16, ni), Field(12, ni), Field(16, no), Field(12, no)};
  call(tkcnct_, Field(block, 16), in_cap, out_cap, l.in_ids, l.in_types, l.out_ids, l.out_types, l.ierr);
  return l;
}

// A stream's source and destination, blanks cut.
std::pair<std::string, std::string> ends(const std::string& stream, size_t width = 16) {
  Field source(16), destination(16);
  int64_t nsub = -1, nrows = -1;
  call(tksinf_, Field(stream, width), source, destination, nsub, nrows, int64_t{0});
  return {source.trimmed(), destination.trimmed()};
}

TEST_F(Connectivity, ListsWithinTheCapacityPortsWithFillerEntriesAndBoundaryBlocks) {
  // An inlet list that does not fit is left untouched; the outlets still
  // come back and the flag is 0.
  Lists small = connections("B1", 1, 1);
  EXPECT_EQ(small.ierr, 0);
  EXPECT_EQ(small.in_ids.text() + small.in_types.text(), std::string(56, '#'));
  EXPECT_EQ(small.out_ids.trimmed(0), "H1.S3");
  EXPECT_EQ(connections("NOPE", 1, 1).ierr, 1);
  EXPECT_EQ(connections("L1", 1, 1).in_ids.trimmed(0), "F1");

  int64_t ierr = -1;
  Field il(4, 3), ol(4, 4);
  std::vector<int64_t> iloc(3, -9), ith(3, -9), oloc(4, -9), oth(4, -9);
  auto port = [&](const std::string& block) {
    il = Field(4, 3);
    ol = Field(4, 4);
    call(tkport_, Field(block, 8), int64_t{3}, int64_t{4}, il, iloc, ith, ol, oloc, oth, ierr);
    return ierr;
  };
  EXPECT_EQ(port("C1"), 0);
  EXPECT_EQ(il.text(), "F   G   G   ");
  EXPECT_EQ(iloc, (std::vector<int64_t>{5, 1, 1}));
  EXPECT_EQ(ith, (std::vector<int64_t>{7, 0, 0}));
  // Code 9 is past the seven outlet labels of the model and 40 outside the
  // table: blank labels, never a read outside it.
  EXPECT_EQ(ol.text(), "LD          G   ");
  EXPECT_EQ(oloc, (std::vector<int64_t>{1, 10, 4, 1}));
  EXPECT_EQ(port("E1"), 2);
  EXPECT_EQ(port("NOPE"), 1);
  // A model whose listed name is longer than its paths carry.
  EXPECT_EQ(port("L1"), 0);
  EXPECT_EQ(il.text() + ol.text(), "F   G   G   LD  G   G   G   ");
  // A served model without port data sets: fillers only, and no outlet
  // array to write.
  std::string sc = pad("SC", 8), l1(4, '#');
  int64_t one = 1, zero = 0, loc = -9, th = -9;
  tkport_(sc.data(), &one, &zero, l1.data(), &loc, &th, nullptr, nullptr, nullptr, &ierr, 8, 4, 4);
  EXPECT_EQ(std::tuple(ierr, l1, loc), std::tuple(int64_t{0}, std::string("G   "), int64_t{1}));
  // "$" boundary blocks as a stream's source and destination: on the
  // stream's own level when they list it, else one level up (the round trip
  // covers ordinary blocks).
  EXPECT_EQ(ends("H1.S3").second, "H1.$C-1");  // H1.$C-1 lists H1.S3 as an inlet
  EXPECT_EQ(ends("H1.S5").second, "$C-2");     // no parent prefix above H1.
  EXPECT_EQ(ends("H1.H2.S6"), std::make_pair(std::string("H1.$C-3"), std::string()));  // a product stays blank
  // Only the first 128 characters of a longer field name the stream.
  EXPECT_EQ(ends(pad("H1.S3", 128) + "IGNORED", 135), ends("H1.S3"));
}

// TKCNCT after TKCNTN is answered from the lists TKCNTN read: only for the
// block counted, and never from a file loaded before.
TEST_F(Connectivity, CountedListsServeOnlyTheirBlockAndLoad) {
  int64_t nin = -1, nout = -1, status = -1;
  call(tkcntn_, Field("B1", 8), nin, nout, status);
  EXPECT_EQ(connections("H1.B2", 2, 1).in_ids.trimmed(1), "H1.S4");
  call(tkcntn_, Field("B1", 8), nin, nout, status);
  loaded_.reset();
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.property_names();
  w.components({"WATER"});
  w.connections("MIXER", "B1", {{"G1", "MATERIAL"}}, {{"G2", "HEAT"}});
  const TempSummaryFile other(b.text());
  loaded_ = std::make_unique<LoadedSummary>(other.string(), unit_set_);
  const Lists l = connections("B1", 2, 1);
  EXPECT_EQ(l.in_ids.trimmed(0) + l.out_ids.trimmed(0) + l.out_types.trimmed(0), "G1G2HEAT");
  EXPECT_EQ(l.in_ids.trimmed(1), std::string(16, '#'));  // one inlet: the second entry untouched
}

}  // namespace
