// The item search (TKNITM): what each kind of search returns and in which
// order, restarts, swapped states and errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/item_search.hpp"
#include "store/dataset_tree.hpp"
#include "support/caller.hpp"
#include "support/message_capture.hpp"
#include "support/object_records.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;
using Names = std::vector<std::string>;

struct Item {
  int64_t ipos = 0;
  std::string arg3, arg4;
};

// One call with 128-character ARG3 and ARG4 fields.
Item nitm(std::string_view stype, int64_t mode, const std::string& arg3 = "", const std::string& arg4 = "") {
  Field a3(arg3, 128), a4(arg4, 128);
  int64_t ipos = 12345;
  call(tknitm_, Field(stype), mode, a3, a4, ipos);
  return {ipos, a3.trimmed(), a4.trimmed()};
}

// Every object of a new search: ARG4 of each, or ARG3 when `categories`.
Names all(const std::string& stype, const std::string& arg3 = "", const std::string& arg4 = "",
          bool categories = false) {
  Names out;
  for (int64_t mode = 1; out.size() < 100; mode = 0) {
    Item it = nitm(stype, mode, arg3, arg4);
    if (it.ipos <= 0) break;
    out.push_back(categories ? it.arg3 : it.arg4);
  }
  return out;
}
Names categories(const std::string& stype) { return all(stype, "", "", true); }

class ItemSearch : public ::testing::Test {
 protected:
  template <typename Write>
  void load(Write write) {
    loaded_.reset();
    SummaryBuilder b;
    b.header();
    ObjectWriter w(b);
    write(w);
    loaded_ = std::make_unique<LoadedText>(b, messages_.unit());
    ASSERT_EQ(loaded_->ierr(), 0);
  }

  void load_flowsheet() {
    load([](ObjectWriter& w) {
      for (auto [type, id] : {std::pair{"TRAYCOL", "C1"}, {"HEATX", "E1"}, {"TRAYCOL", "C2"}})
        w.block(type, id);
      w.block("HEATX", "E2", "HCURVE");
      for (auto [type, id] : {std::pair{"MATERIAL", "S1"}, {"HEAT", "Q1"}, {"MATERIAL", "S2"}})
        w.stream(type, id);
      w.property_table("PTENVELOPE", "ENV1");
      w.equipment("TRAY-TOWER", "T1");
      w.equipment("HEATX", "X1");
      w.sensitivity("SENS-1");
      w.sensitivity("SENS-2");
    });
  }

  MessageCapture messages_;
  std::unique_ptr<LoadedText> loaded_;
};

TEST_F(ItemSearch, AnySearchesReturnEveryObjectCategoryByCategory) {
  load_flowsheet();
  // Categories in the tree's order, the objects of each in file order.
  EXPECT_EQ(all("BLK_ANY"), (Names{"C1", "C2", "E1", "E2"}));
  EXPECT_EQ(categories("BLK_ANY"), (Names{"TRAYCOL", "TRAYCOL", "HEATX", "HEATX"}));
  EXPECT_EQ(TreeNodes::loaded().keyword(nitm("BLK_ANY", 1).ipos), "C1");  // IPOS is the object's node
  EXPECT_EQ(all("STR_ANY"), (Names{"S1", "S2", "Q1"}));
  // "PROP-TAB" finds "PROP-TABLE", "SENSITIV" finds "SENSITIVITY".
  EXPECT_EQ(all("PTB_ANY"), (Names{"ENV1"}));
  EXPECT_EQ(all("SENSITIV"), (Names{"SENS-1", "SENS-2"}));

  // After the last object: IPOS 0 with blank texts, then a new search.
  for (int k = 0; k < 3; ++k) nitm("BLK_ANY", 0);
  Item end = nitm("BLK_ANY", 0, "X", "Y");
  EXPECT_EQ(end.ipos, 0);
  EXPECT_EQ(end.arg3 + end.arg4, "");
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "C1");
  // Searches of different types run side by side; a MODE other than 0 and
  // -1 starts again.
  EXPECT_EQ(nitm("STR_ANY", 1).arg4, "S1");
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "C2");
  EXPECT_EQ(nitm("STR_ANY", 0).arg4, "S2");
  EXPECT_EQ(nitm("BLK_ANY", 7).arg4, "C1");
}

TEST_F(ItemSearch, SpecAndTypeSearches) {
  load_flowsheet();
  EXPECT_EQ(all("STR_SPEC", "HEAT"), (Names{"Q1"}));
  EXPECT_EQ(all("BLK_SPEC", "NOSUCH"), Names{});
  EXPECT_EQ(all("EQP_SPEC"), (Names{"TRAY-TOWER", "HEATX"}));
  // MODE 0 with another ARG3 starts a search of that category.
  nitm("BLK_SPEC", 1, "TRAYCOL");
  EXPECT_EQ(nitm("BLK_SPEC", 0, "HEATX").arg4, "E1");
  EXPECT_EQ(nitm("BLK_SPEC", 0, "HEATX").arg4, "E2");

  // A blank category is refused; the search under way is kept.
  nitm("BLK_SPEC", 1, "TRAYCOL");
  messages_.take();
  EXPECT_EQ(nitm("BLK_SPEC", 1, " TRAYCOL").ipos, kInvalidCategory);
  EXPECT_EQ(messages_.take(), "\n INVALID TYPE ( TRAYCOL) FOR (BLK_SPEC) SEARCH IN ROUTINE TKNITM\n");
  EXPECT_EQ(nitm("BLK_SPEC", 0, "TRAYCOL").arg4, "C2");

  // The "_TYPE" searches list the categories in ARG3 and leave ARG4 alone.
  EXPECT_EQ(categories("BLK_TYPE"), (Names{"TRAYCOL", "HEATX"}));
  EXPECT_EQ(nitm("PTB_TYPE", 1, "", "KEEP").arg4, "KEEP");
}

TEST_F(ItemSearch, EmptyOrMissingCategories) {
  // "BLOCK" "ODD" is a data set of its own: a category without blocks
  // between two that have some. It must not end the search.
  load([](ObjectWriter& w) {
    w.block("MIXER", "M1");
    w.data_set({"BLOCK", "ODD"});
    w.block("FLASH", "F1");
    w.data_set({"STREAM", "EMPTY"});
    w.stream("MATERIAL", "S9");
  });
  EXPECT_EQ(all("BLK_ANY"), (Names{"M1", "F1"}));
  EXPECT_EQ(categories("BLK_ANY"), (Names{"MIXER", "FLASH"}));
  EXPECT_EQ(all("STR_ANY"), (Names{"S9"}));
  // Categories absent from the tree end a search at once, without a message.
  messages_.take();
  for (const char* type : {"SENSITIV", "PTB_TYPE", "EQP_SPEC"})
    EXPECT_EQ(nitm(type, 1, "X").ipos, 0) << type;
  EXPECT_EQ(messages_.take(), "");
}

TEST_F(ItemSearch, SwapSuspendsAndResumesASearch) {
  load_flowsheet();
  nitm("BLK_ANY", 1);
  const int64_t c2 = nitm("BLK_ANY", 0).ipos;
  // Swap a fresh state in: the caller receives the suspended one.
  Field a3("", 128), a4("", 128);
  int64_t mode = -1, ipos = 0, junk = 999999;
  auto swap = [&](int64_t& pos) { call(tknitm_, Field("BLK_ANY"), mode, a3, a4, pos); };
  swap(ipos);
  EXPECT_EQ(ipos, c2);
  EXPECT_EQ(a3.trimmed() + "/" + a4.trimmed(), "TRAYCOL/C2");
  EXPECT_EQ(all("BLK_ANY").size(), 4u);  // a whole search meanwhile
  swap(ipos);
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "E1");  // resumed after C2
  // A position swapped in that is no node of the tree ends the search.
  swap(junk);
  EXPECT_EQ(nitm("BLK_ANY", 0).ipos, 0);
}

TEST_F(ItemSearch, SectionSearchesReturnTheBlocksNamedSections) {
  load([](ObjectWriter& w) {
    for (const char* s : {"HCURVE", "RESULTS", "HCURVE", "OTHER", "HCURVE"}) w.block("HEATER", "H1", s);
    for (const char* s : {"TRC_PRO", "TRC_PRO", "TRC_PRO", "REB_HCURVE", "TRC_PRO"}) w.block("TRAYCOL", "C1", s);
    w.block("LINKEDCOL", "L1", "TRC_PRO");
    w.block("LINKEDCOL", "L1", "COL_INFO");
    w.block("SCRUB", "S1", "LKCL_PRO");
  });
  const TreeNodes tree = TreeNodes::loaded();
  size_t curves = 0;
  for (Item it = nitm("HCURVE", 1, "", "H1"); it.ipos > 0; it = nitm("HCURVE", 0, "", "H1"), ++curves) {
    EXPECT_EQ(tree.keyword(it.ipos), "HCURVE");
    EXPECT_EQ(it.arg3 + "/" + it.arg4, "HEATER/H1");  // ARG3 receives the model
  }
  EXPECT_EQ(curves, 3u);
  EXPECT_EQ(all("HOT_HCUR", "", "H1").size(), 0u);
  EXPECT_EQ(all("REB_HCUR", "", "C1").size(), 1u);  // finds "REB_HCURVE"
  // One profile for each run of equal sections; the name depends on the model.
  EXPECT_EQ(all("COL_PROF", "", "C1").size(), 2u);
  EXPECT_EQ(tree.keyword(nitm("COL_PROF", 1, "", "L1").ipos), "COL_INFO");
  EXPECT_EQ(tree.keyword(nitm("COL_PROF", 1, "", "S1").ipos), "LKCL_PRO");
  // Another ARG4 with MODE 0 starts a search of that block; ARG3 is not read.
  nitm("HCURVE", 1, "", "H1");
  EXPECT_EQ(nitm("COL_PROF", 0, "ANYTHING", "C1").arg3, "TRAYCOL");
}

TEST_F(ItemSearch, ErrorsAreReportedWithTheirMessages) {
  load_flowsheet();
  messages_.take();
  EXPECT_EQ(nitm("HCURVE", 1, "", "NOBLOCK-WITH-A-LONG-NAME").ipos, kUnknownBlock);
  EXPECT_EQ(messages_.take(),
            "\n CANNOT LOCATE HCURVE   DATA FOR AN UNKNOWN BLOCK (NOBLOCK-) IN ROUTINE TKNITM\n");
  // Only whole slot names in capitals are search types.
  for (const char* bad : {"BLK_AN", "blk_any", ""}) {
    EXPECT_EQ(nitm(bad, 1).ipos, kUnknownSearchType) << bad;
    EXPECT_EQ(messages_.take(), "\n UNKNOWN SEARCH TYPE (" + padded(bad, 8) + ") IN ROUTINE TKNITM\n");
  }
  EXPECT_GT(nitm("BLK_ANY EXTRA", 1).ipos, 0);  // the first 8 characters count
}

TEST_F(ItemSearch, ANewLoadEndsTheSearchesOfTheOldFile) {
  load_flowsheet();
  nitm("BLK_ANY", 1);
  load([](ObjectWriter& w) { for (const std::string& id : numbered_ids("NEW", 2)) w.block("MIXER", id); });
  // MODE 0 starts in the new tree instead of going on from an old position.
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "NEW1");
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "NEW2");
}

}  // namespace
