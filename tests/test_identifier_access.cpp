// Identifier tables built at load (lookup rules, the 10 000-object limit,
// lack of room, damaged links), TKLIDS/TKNEXT, and the item search TKNITM.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/item_search.hpp"
#include "loading/load_steps.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/packed_words.hpp"
#include "support/caller.hpp"
#include "support/message_capture.hpp"
#include "support/object_records.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;

template <typename Write>
SummaryBuilder file_with(Write write) {
  SummaryBuilder b;
  b.header();
  ObjectWriter w(b);
  write(w);
  return b;
}

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

std::string identifier_at(ItemKind kind, int64_t k) {
  char buf[128];
  if (!item_identifier(kind, k, TextField(buf, sizeof buf))) return "<none>";
  return trim(std::string_view(buf, sizeof buf));
}

std::string no_room_message(int64_t work_size) {
  std::string n = std::to_string(work_size);
  return "\n INSUFFICIENT WORK AREA WHILE LOADING LOOKUP TABLES\n CURRENT WORK SIZE =" +
         std::string(7 - n.size(), ' ') + n + "\n";
}

TEST(IdentifierTables, LookupMatchesWholeIdentifiersOfUpTo128Characters) {
  LoadedText file(file_with([](ObjectWriter& w) {
    for (const char* id : {"AB", "ABC", "WXYZQ", "ABCDEFGH", "ABCDEFGHI"}) w.block("CRUDEUNIT", id);
    for (const char* id : {"R1", "R10", "R1AB", "R1ABCD"}) w.relief(id);
    w.relief("R1", "PRSSSC");  // a second section of one object makes no second entry
  }));
  ASSERT_EQ(file.ierr(), 0);
  EXPECT_EQ(std::pair(glob(g::kNrelief), relief_count()), std::pair(int64_t{4}, int64_t{4}));
  EXPECT_EQ(trim(find_block("AB").type.view()), "CRUDEUNI") << "categories are cut to 8 characters";
  // Only the whole identifier, trailing blanks aside, in the same case.
  for (const char* id : {"AB", "ABC", "ABCDEFGH", "ABCDEFGHI", "AB      "})
    EXPECT_EQ(identifier_at(ItemKind::kBlock, find_block(id).index), trim(id));
  for (const char* miss : {"WXYZ", "ab", ""}) EXPECT_FALSE(find_block(miss)) << miss;
  EXPECT_NE(find_relief("R1AB"), find_relief("R1ABCD"));
  EXPECT_EQ(find_relief("R1A"), 0);
  // Lines hold 80 characters, so an entry of 128 is made by hand above the
  // free pointer.
  const int64_t saved_base = locs(l::kBlockTable), saved_count = glob(g::kNblk);
  const std::string id128(128, 'K');
  const int64_t base = locs(l::kFreePointer);
  blank_words(work_ptr(base), 34);
  pack_key(id128, work_ptr(base));
  pack_text("SPLITTER", 8, work_ptr(base + 32));
  locs(l::kBlockTable) = base;
  glob(g::kNblk) = 1;
  EXPECT_EQ(find_block(id128 + "ANYTHING AFTER").index, 1);
  EXPECT_FALSE(find_block(std::string(127, 'K')));
  Field field(140);
  int64_t ierr = -1;
  call(tknext_, Field("BLOCK"), int64_t{1}, field, Field(12), ierr);
  EXPECT_EQ(field.text(), id128 + std::string(12, ' '));
  // Counts that do not describe a table inside the work area read as empty.
  glob(g::kNblk) = TK_WORK_WORDS;
  EXPECT_EQ(item_count(ItemKind::kBlock), 0);
  EXPECT_FALSE(find_block(id128));
  locs(l::kBlockTable) = saved_base;
  glob(g::kNblk) = saved_count;
}

TEST(IdentifierTables, AtMost10000ObjectsPerTable) {
  // 6000 blocks of ALPHA, then 5000 of BETA: the table holds the first
  // 10 000 in tree order.
  LoadedText file(file_with([](ObjectWriter& w) {
    for (const std::string& id : numbered_ids("ALPHA", 6000)) w.block("ALPHA", id);
    for (const std::string& id : numbered_ids("BETA", 5000)) w.block("BETA", id);
    w.stream("MATERIAL", "S1");
  }));
  ASSERT_EQ(file.ierr(), 0);
  EXPECT_EQ(glob(g::kNblk), 10000);
  for (int64_t k = 1, base = locs(l::kBlockTable); k < 10000; ++k)
    ASSERT_LT(compare_words(work_ptr(base + (k - 1) * 34), work_ptr(base + k * 34), 32), 0) << k;
  EXPECT_TRUE(find_block("ALPHA6000"));
  EXPECT_TRUE(find_block("BETA4000"));
  EXPECT_FALSE(find_block("BETA4001"));
  EXPECT_TRUE(find_stream("S1"));  // the tables after it are complete
}

TEST(IdentifierTables, TablesThatDoNotFitAreLeftEmpty) {
  LoadedText file(file_with([](ObjectWriter& w) {
    for (const std::string& id : numbered_ids("B", 5)) w.block("MIXER", id);
    for (const std::string& id : numbered_ids("S", 3)) w.stream("MATERIAL", id);
    w.relief("R1");
    w.relief("R2");
  }));
  ASSERT_EQ(file.ierr(), 0);
  MessageCapture messages;
  // Room for the streams and both relief entries, not for the blocks.
  const int64_t start = locs(l::kFreePointer);
  LoadContext ctx;
  ctx.work_size = start + 34 * 3 + 32 * 2;
  locs(l::kNextFree) = start;
  build_item_tables(ctx);
  EXPECT_EQ((std::vector<int64_t>{ctx.ierr, glob(g::kNblk), glob(g::kNstr), glob(g::kNrelief)}),
            (std::vector<int64_t>{4, 0, 3, 2}));
  EXPECT_EQ(std::pair(locs(l::kStreamTable), locs(l::kNextFree)), std::pair(start, ctx.work_size));
  EXPECT_TRUE(find_stream("S3"));
  EXPECT_EQ(messages.take(), no_room_message(ctx.work_size));
  // The relief walk stops at the entry that does not fit and keeps the
  // ones before it.
  LoadContext tight;
  tight.work_size = start + 34 * 8 + 32;
  locs(l::kNextFree) = start;
  build_item_tables(tight);
  EXPECT_EQ((std::vector<int64_t>{tight.ierr, glob(g::kNblk), glob(g::kNrelief)}), (std::vector<int64_t>{4, 5, 1}));
  EXPECT_EQ(messages.take(), no_room_message(tight.work_size));
}

TEST(IdentifierAccess, TreeKeywordListings) {
  LoadedText file(file_with([](ObjectWriter& w) {
    w.data_set({"RUN-STATUS", "VERS"});
    w.data_set({"RUN-STATUS", "TITLE"});
    w.data_set({"LONELY"});
    w.equipment("PACK-TOWER", "P1");
  }));
  ASSERT_EQ(file.ierr(), 0);
  // TKLIDS over a top-level keyword: its children, the rest blank, types
  // blank; IERR 1 for a keyword the tree does not hold (compared exactly).
  auto lids = [](const char* kind, int64_t n) {
    Field ids(6, static_cast<size_t>(n)), types(12, static_cast<size_t>(n));
    int64_t ierr = -1;
    call(tklids_, Field(kind), n, ids, types, ierr);
    EXPECT_EQ(types.text(), std::string(types.text().size(), ' '));
    return ids.text() + "/" + std::to_string(ierr);
  };
  EXPECT_EQ(lids("RUN-STATUS", 3), "VERS  TITLE       /0");
  EXPECT_EQ(lids("NOWHERE", 2) + lids("block", 1), "            /1      /1");
  // TKNEXT over a top-level keyword: the INDEX-th child (the first for an
  // INDEX below 1), IERR 1 past the chain's end or for a keyword without
  // children; a table kind gives the stored type, not widened.
  Field type(12);
  auto next = [&](const char* kind, int64_t index) {
    Field id(8);
    int64_t ierr = -1;
    call(tknext_, Field(kind), index, id, type, ierr);
    return id.trimmed() + "/" + std::to_string(ierr);
  };
  EXPECT_EQ(next("RUN-STATUS", 2) + next("RUN-STATUS", 0) + next("RUN-STATUS", 3) + next("LONELY", 1),
            "TITLE/0VERS/0/1/1");
  next("EQUIPMEN", 1);
  EXPECT_EQ(type.text(), "PACK-TOW    ");
}

TEST(ObjectIds, PositionsAndCountsOutsideTheTables) {
  LoadedText file(file_with([](ObjectWriter& w) {
    w.block("MIXER", "M1");
    for (const char* id : {"PSV-2", "PSV-1", "PSV-10"}) w.relief(id);
  }));
  ASSERT_EQ(file.ierr(), 0);
  // k below 1 answers for k = 1 and changes the caller's variable; one past
  // the end gives blanks and flag 0.
  Field id(24), type(12);
  int64_t k = 0, ierr = -9;
  call(tknblk_, k, id, type, ierr);
  EXPECT_EQ(std::pair(k, id.trimmed()), std::pair(int64_t{1}, std::string("M1")));
  call(tknblk_, int64_t{2}, id, type, ierr);
  EXPECT_EQ(std::pair(ierr, id.text() + type.text()), std::pair(int64_t{0}, std::string(36, ' ')));
  // Relief objects: more asked for than there are, or a position outside
  // 1..count, is flag 1 with the field untouched.
  Field untouched(10, 4), one(4);
  call(tkpids_, int64_t{4}, untouched, ierr);
  EXPECT_EQ(std::pair(ierr, untouched.text()), std::pair(int64_t{1}, std::string(40, '#')));
  for (int64_t at : {0, 4}) {
    call(tknxpr_, at, one, ierr);
    EXPECT_EQ(std::pair(ierr, one.text()), std::pair(int64_t{1}, std::string("####"))) << at;
  }
}

class ItemSearch : public ::testing::Test {
 protected:
  template <typename Write>
  void load(Write write) {
    loaded_.reset();
    loaded_ = std::make_unique<LoadedText>(file_with(write), messages_.unit());
    ASSERT_EQ(loaded_->ierr(), 0);
  }

  MessageCapture messages_;
  std::unique_ptr<LoadedText> loaded_;
};

TEST_F(ItemSearch, AnySpecAndTypeSearchesAndTheirErrors) {
  load([](ObjectWriter& w) {
    for (auto [type, id] : {std::pair{"TRAYCOL", "C1"}, {"HEATX", "E1"}, {"TRAYCOL", "C2"}}) w.block(type, id);
    w.block("HEATX", "E2", "HCURVE");
    for (auto [type, id] : {std::pair{"MATERIAL", "S1"}, {"HEAT", "Q1"}, {"MATERIAL", "S2"}}) w.stream(type, id);
    w.property_table("PTENVELOPE", "ENV1");
    for (auto [type, id] : {std::pair{"TRAY-TOWER", "T1"}, {"HEATX", "X1"}}) w.equipment(type, id);
    for (const char* id : {"SENS-1", "SENS-2"}) w.sensitivity(id);
  });
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
  // MODE -1 swaps a fresh state in and hands the suspended one back.
  const int64_t c2 = nitm("BLK_ANY", 0).ipos;
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

TEST_F(ItemSearch, EmptyOrMissingCategoriesAndSectionSearches) {
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
  // A new load ends the searches of the old file: MODE 0 starts in the new
  // tree instead of going on from an old position.
  nitm("BLK_ANY", 1);
  load([](ObjectWriter& w) { for (const std::string& id : numbered_ids("NEW", 2)) w.block("MIXER", id); });
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "NEW1");
  EXPECT_EQ(nitm("BLK_ANY", 0).arg4, "NEW2");
  // Section searches return the blocks' named sections.
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

}  // namespace
