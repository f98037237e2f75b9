// The identifier tables built at load and the access to them: layout, order
// and categories, the lookup's key rule, the 10 000-object limit, lack of
// room, the pressure-relief table, damaged links, and TKLIDS and TKNEXT
// over tree keywords.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/item_search.hpp"
#include "loading/load_steps.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/packed_words.hpp"
#include "support/example_flowsheet.hpp"
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

std::string identifier_at(ItemKind kind, int64_t k) {
  char buf[128];
  if (!item_identifier(kind, k, TextField(buf, sizeof buf))) return "<none>";
  return trim(std::string_view(buf, sizeof buf));
}

void expect_sorted(int64_t base, int64_t count, int64_t stride) {
  for (int64_t k = 1; k < count; ++k)
    ASSERT_LT(compare_words(work_ptr(base + (k - 1) * stride), work_ptr(base + k * stride), 32), 0) << k;
}

std::string no_room_message(int64_t work_size) {
  std::string n = std::to_string(work_size);
  return "\n INSUFFICIENT WORK AREA WHILE LOADING LOOKUP TABLES\n CURRENT WORK SIZE =" +
         std::string(7 - n.size(), ' ') + n + "\n";
}

TEST(IdentifierTables, SortedTablesAndCategories) {
  const std::vector<std::string> models{"TRAYCOL", "CRUDEUNIT", "MIXER"};
  const std::vector<std::string> types{"TRAY-TOWER", "FURNACE-UNIT", "HEATX"};
  LoadedText file(file_with([&](ObjectWriter& w) {
    std::vector<std::string> blocks = numbered_ids("B", 300), items = numbered_ids("EQ", 30);
    for (size_t i = 0; i < blocks.size(); ++i) w.block(models[i % 3], blocks[i]);
    for (const std::string& id : numbered_ids("S", 120)) w.stream(id.size() == 2 ? "HEAT" : "MATERIAL", id);
    for (size_t i = 0; i < items.size(); ++i) w.equipment(types[i % 3], items[i]);
    for (const std::string& id : numbered_ids("R", 25)) w.relief(id);
    w.relief("R3", "PRSSSC");  // a second section of one object makes no second entry
  }));
  ASSERT_EQ(file.ierr(), 0);
  EXPECT_EQ(std::pair(glob(g::kNrelief), relief_count()), std::pair(int64_t{25}, int64_t{25}));
  EXPECT_LE(locs(l::kReliefTable) + 32 * 25, locs(l::kFreePointer));  // inside the used words
  expect_sorted(locs(l::kBlockTable), 300, 34);
  expect_sorted(locs(l::kStreamTable), 120, 34);
  expect_sorted(locs(l::kReliefTable), 25, 32);
  // Categories are cut to 8 characters.
  const ItemMatch b2 = find_block("B2");
  ASSERT_TRUE(b2);
  EXPECT_EQ(identifier_at(ItemKind::kBlock, b2.index), "B2");
  EXPECT_EQ(trim(b2.type.view()) + "/" + trim(find_stream("S7").type.view()) + "/" +
                trim(find_equipment("EQ2").type.view()),
            "CRUDEUNI/HEAT/FURNACE-");
  EXPECT_GT(find_relief("R25"), 0);
  EXPECT_FALSE(find_block("S1"));
}

TEST(IdentifierTables, LookupMatchesWholeIdentifiersOfUpTo128Characters) {
  LoadedText file(file_with([](ObjectWriter& w) {
    for (const char* id : {"AB", "ABC", "WXYZQ", "ABCDEFGH", "ABCDEFGHI"}) w.block("MIXER", id);
    for (const char* id : {"R1", "R10", "R1AB", "R1ABCD"}) w.relief(id);
  }));
  ASSERT_EQ(file.ierr(), 0);
  for (const char* id : {"AB", "ABC", "ABCDEFGH", "ABCDEFGHI"})
    EXPECT_EQ(identifier_at(ItemKind::kBlock, find_block(id).index), id);
  // Only the whole identifier, trailing blanks aside, in the same case.
  for (const char* miss : {"WXYZ", "ab", ""}) EXPECT_FALSE(find_block(miss)) << miss;
  EXPECT_TRUE(find_block("AB      "));
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
  std::string field(140, '#');
  int64_t k = 1, ierr = -1;
  char type[12];
  std::string kind = "BLOCK";
  tknext_(kind.data(), &k, field.data(), type, &ierr, kind.size(), field.size(), sizeof type);
  EXPECT_EQ(field, id128 + std::string(12, ' '));
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
  expect_sorted(locs(l::kBlockTable), 10000, 34);
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

TEST(IdentifierTables, WalksEndOnLinksThatLeaveTheTreeOrLoop) {
  LoadedText file(file_with([](ObjectWriter& w) {
    w.data_set({"RUN-STATUS", "VERS"});
    w.data_set({"RUN-STATUS", "TITLE"});
    w.block("MIXER", "M1");
    w.block("MIXER", "M2");
    w.block("FLASH", "F1");
  }));
  ASSERT_EQ(file.ierr(), 0);
  const TreeNodes tree = TreeNodes::loaded();
  int64_t* words = work_ptr(locs(l::kTree));
  const std::string_view run[1] = {"RUN-STATUS"}, m2_path[3] = {"BLOCK", "MIXER", "M2"};
  int64_t node = 0, m2 = 0;
  ASSERT_EQ(tree.find(run, node), 0);
  ASSERT_EQ(tree.find(m2_path, m2), 0);
  const int64_t vers = tree.first_child(node);
  // TKNEXT's identifier and IERR, as "id/ierr".
  auto next = [](int64_t index) {
    char id[8], type[12];
    std::string kind = "RUN-STATUS";
    int64_t ierr = -1;
    tknext_(kind.data(), &index, id, type, &ierr, kind.size(), sizeof id, sizeof type);
    return trim(std::string_view(id, sizeof id)) + "/" + std::to_string(ierr);
  };
  words[vers] = 5'000'000;  // NEXT of VERS far outside the tree
  EXPECT_EQ(next(2), "/1");
  words[vers] = vers;  // NEXT of VERS back to itself
  EXPECT_EQ(next(INT64_MAX), "/1");
  // The end mark of M2's chain no longer names its model: the block search
  // ends there instead of reading elsewhere.
  words[m2] = -9'999'999;
  char a3[16], a4[16];
  std::vector<std::string> found;
  for (int64_t mode = 1, ipos = 1; found.size() < 10; mode = 0) {
    next_item(SearchType::kBlockAny, mode, TextField(a3, sizeof a3), TextField(a4, sizeof a4), ipos);
    if (ipos <= 0) break;
    found.push_back(trim(std::string_view(a4, sizeof a4)));
  }
  EXPECT_EQ(found, (std::vector<std::string>{"M1", "M2"}));
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
  // blank, nothing past N; IERR 1 for a keyword the tree does not hold
  // (kinds are compared in capitals exactly).
  // Both give "ids/ierr".
  auto lids = [](std::string kind, int64_t n) {
    std::string ids(static_cast<size_t>(n) * 6 + 2, '#'), types(static_cast<size_t>(n) * 12 + 2, '#');
    int64_t ierr = -1;
    tklids_(kind.data(), &n, ids.data(), types.data(), &ierr, kind.size(), 6, 12);
    EXPECT_EQ(types, std::string(static_cast<size_t>(n) * 12, ' ') + "##");
    return ids + "/" + std::to_string(ierr);
  };
  EXPECT_EQ(lids("RUN-STATUS", 3), "VERS  TITLE       ##/0");
  EXPECT_EQ(lids("NOWHERE", 2), "            ##/1");
  EXPECT_EQ(lids("block", 1), "      ##/1");
  // TKNEXT over a top-level keyword: the INDEX-th child (the first for an
  // INDEX below 1), IERR 1 past the chain's end or for a keyword without
  // children; a table kind gives the stored type, not widened.
  char typebuf[12];
  auto next = [&](std::string kind, int64_t index) {
    char idbuf[8];
    int64_t ierr = -1;
    tknext_(kind.data(), &index, idbuf, typebuf, &ierr, kind.size(), sizeof idbuf, sizeof typebuf);
    return trim(std::string_view(idbuf, sizeof idbuf)) + "/" + std::to_string(ierr);
  };
  EXPECT_EQ(next("RUN-STATUS", 2), "TITLE/0");
  EXPECT_EQ(next("RUN-STATUS", 0), "VERS/0");
  EXPECT_EQ(next("RUN-STATUS", 3), "/1");
  EXPECT_EQ(next("LONELY", 1), "/1");
  next("EQUIPMEN", 1);
  EXPECT_EQ(std::string(typebuf, 12), "PACK-TOW    ");
}

TEST(IdentifierAccess, ValueCountsOfADataSetWithoutReadingIt) {
  LoadedText file(example_flowsheet());
  ASSERT_EQ(file.ierr(), 0);
  // IERR, NDATA and NQ; the free-word pointer stays where it was.
  auto nval = [](const std::vector<std::string>& path) {
    std::string ids;
    for (const std::string& k : path) ids += padded(k, 128);
    int64_t nid = static_cast<int64_t>(path.size()), ierr = -9, ndata = -9, nq = -9;
    const int64_t free_before = locs(l::kFreePointer);
    tknval_(ids.data(), &nid, &ndata, &nq, &ierr, 128);
    EXPECT_EQ(locs(l::kFreePointer), free_before);
    return std::vector<int64_t>{ierr, ndata, nq};
  };
  // Six results with a second qualifier (the location).
  EXPECT_EQ(nval({"BLOCK", "TRAYCOL", "C1", "RESULTS"}), (std::vector<int64_t>{0, 6, 1}));
  // An open-ended data set gives its count only with its values.
  EXPECT_EQ(nval({"BLOCK", "MIXER", "M1", "BLKIN"})[1], -1);
  // A path not in the tree: the failing level and zero counts.
  EXPECT_EQ(nval({"BLOCK", "MIXER", "NOSUCH", "RESULTS"}), (std::vector<int64_t>{3, 0, 0}));
}

}  // namespace
