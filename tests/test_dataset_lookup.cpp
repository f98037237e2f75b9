// Data-set lookup: qualifier and value blocks word by word, the remembered
// answer, equal paths told apart by qualifier, special paths, malformed sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/scanner.hpp"
#include "support/lookup_calls.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;
using Ints = std::vector<int64_t>;
using Path = std::vector<std::string>;

constexpr int64_t kBlank = 0x2020202020202020;
constexpr double kMissing = 1.0e35;
const Path kResults{"BLOCK", "FLASH", "F1", "RESULTS"};

Ints words(int64_t first, int64_t n) { return {tkwork_ + first - 1, tkwork_ + first - 1 + n}; }

// Moves the scanner off the file: a lookup that reads the file again moves it.
void move_scanner() { flowsum::scan::configure(0, 0, 2.0 + 133.0 / 256.0, ""); }

class DatasetLookup : public SummarySuite<DatasetLookup> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    b.idset("RES", {"PROPERTIES"}, {{{"33"}, 1}, {{"22"}, 2, 22}, {{"99"}, 5}, {{"100"}, 6}});
    b.lset("RES", "(%RES)");
    b.dset(kResults, "RES",
           {Value::integer(7), Value::real(350.5, 1), Value::word("ABC"),
            Value::text("A LONG TEXT VALUE OF THE RESULTS TABLE, LONGER THAN EIGHT CHARACTERS")});
    b.dset({"WITH", "STAR"}, "RES", {Value::integer(7), Value::missing(1), Value::word("ABC"), Value::text("T")});
    b.idset("STRMID", {"STREAMID"}, {{{"?"}}});
    b.lset("CONN", "(%STRMID)");
    b.idset("ONE", {"ITEM"}, {{{"V"}, 1}});
    b.lset("QA", "(%ONE)");
    b.lset("QB", "(%ONE)");
    b.dset({"DUP", "SEC"}, "QA", {Value::integer(1)});
    b.dset({"DUP", "OTHER"}, "QA", {Value::integer(5)});
    b.dset({"DUP", "SEC"}, "QB", {Value::integer(2)});
    b.dset({"LONGKEY", "SECTION_A"}, "QA", {Value::integer(10)});
    b.dset({"LONGKEY", "SECTION_B"}, "QB", {Value::integer(20)});
    b.dset({"STREAM", "MATERIAL", "S1", "RES_STR"}, "QA", {Value::integer(3)});
    // Malformed data sets: tokens of the wrong kind, an unknown sequence, a
    // count that is no number.
    b.dset({"BAD", "KIND"}, "RES", {Value::word("NAME"), Value::word("ABC"), Value::integer(9), Value::integer(42), Value::word("X")});
    b.dset({"BAD", "LSET"}, "NOSUCH", {Value::integer(1)});
    b.dset({"BAD", "COUNT"}, "CONN", {Value::word("XYZ"), Value::word("A")});
    b.dset({"BAD", "HUGE"}, "CONN", {Value::integer(999999999), Value::word("A")});
    // A thousand long texts.
    b.idset("BIG", {"ITEM"}, {{{"#1000"}, 6}});
    b.lset("BIG", "(%BIG)");
    b.dset({"BIG", "BIG"}, "BIG", std::vector<Value>(1000, Value::text("T")));
    // Data sets of 64 integers: 300 of them fill what the lookup keeps.
    b.idset("I64", {"ITEM"}, {{{"#64"}, 1}});
    b.lset("I64", "(%I64)");
    for (int i = 0; i < 300; ++i) b.dset({"MANY", std::to_string(i)}, "I64", std::vector<Value>(64, Value::integer(i)));
    write_file(b.text());
  }
};

TEST_F(DatasetLookup, QualifierAndValueBlocksWordByWord) {
  const int64_t free = free_pointer();
  DsetCall d = call_tkdset(kResults);
  ASSERT_EQ((Ints{d.ndata, d.nqual, d.locq}), (Ints{4, 1, free}));
  EXPECT_EQ(d.qual, "RES     ");
  // Qualifier block: name, four pairs, four types, four unit types; the
  // value block follows at once, the long text after it (the round trip
  // reads the pairs, types and values).
  const int64_t q = d.locq, v = d.locd, text_at = v + 6 * 4 + 2;
  EXPECT_EQ(words(q, 4), packed("PROPERTIES", 16));
  ASSERT_EQ(v, q + 20);
  EXPECT_EQ(words(v + 10, 2), (Ints{20, text_at}));
  EXPECT_EQ(work_real_word(v + 16), 0.0);
  // The remembered answer; the free-word pointer is as it was.
  const int64_t* iret = tkretn_.iret;
  EXPECT_EQ((Ints{iret[0], iret[3], iret[4], iret[5], iret[6], iret[9]}),
            (Ints{4, 1, 4, q, v, text_at + 20}));
  EXPECT_EQ(std::string(tkretn_.text[3], 128), pad("RESULTS", 128));
  EXPECT_EQ(std::string(tkretn_.text[4], 128), pad("RES", 128));
  EXPECT_EQ(free_pointer(), free);
}

TEST_F(DatasetLookup, RememberedAnswer) {
  DsetCall first = call_tkdset(kResults);
  ASSERT_EQ(first.ndata, 4);
  move_scanner();
  for (const std::string& qual : {std::string(), std::string("RES")}) {
    DsetCall again = call_tkdset(kResults, qual);
    EXPECT_EQ((Ints{again.ndata, again.locq, again.locd}), (Ints{4, first.locq, first.locd}));
    EXPECT_EQ(again.qual, "RES     ");
    EXPECT_EQ(flowsum::scan::line_number(), 2) << "answered without reading the file";
  }
  // Blocks another routine overwrote with its own scratch are read again.
  std::fill(tkwork_ + first.locq - 1, tkwork_ + first.locq + 40, -1);
  DsetCall again = call_tkdset(kResults);
  ASSERT_EQ(again.ndata, 4);
  EXPECT_EQ(words(again.locq + 12, 4), (Ints{1, 2, 5, 6}));
  EXPECT_EQ(work_word(again.locd), 7);
  // Another qualifier searches again (and finds none here).
  DsetCall other = call_tkdset(kResults, "QA");
  EXPECT_EQ(std::pair(other.ndata, other.qual), std::pair(int64_t{0}, std::string("QA      ")));
  EXPECT_EQ(tkretn_.iret[0], 0);
  // A stream's results section is never read, and the remembered answer stays.
  DsetCall d = call_tkdset({"DUP", "SEC"});
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(call_tkdset({"STREAM", "MATERIAL", "S1", "RES_STR"}).ndata, 0);
  EXPECT_EQ(tkretn_.iret[0], 2);
  EXPECT_EQ(call_tkdset({"DUP", "SEC"}).locq, d.locq);
}

TEST_F(DatasetLookup, AnswerAskedAgainAboveAnotherFreeWord) {
  // Another answer in between, and the free word moved on: the data set is
  // laid out again at the new free word, its long text with it.
  const DsetCall first = call_tkdset(kResults);
  const std::string text = work_text(first.locd + 6 * 4 + 2, 20);
  ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);
  const int64_t free = free_pointer();
  for (int64_t shift : {5, 0}) {
    tklocs_[24] = free + shift;
    const DsetCall again = call_tkdset(kResults);
    EXPECT_EQ((Ints{again.locq, again.locd}), (Ints{free + shift, free + shift + 20}));
    EXPECT_EQ(words(again.locd + 10, 2), (Ints{20, again.locd + 26}));
    EXPECT_EQ(work_text(again.locd + 26, 20), text);
    EXPECT_EQ(tkretn_.iret[9], again.locd + 46);
    ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);
  }
  tklocs_[24] = free;
}

TEST_F(DatasetLookup, AnswerAskedAgainReadsAMissingValueAsItIsNow) {
  const double missing = tkrglb_[0];
  for (double now : {missing, 2.0e35, missing}) {
    tkrglb_[0] = now;
    const DsetCall d = call_tkdset({"WITH", "STAR"});
    EXPECT_EQ(work_real_word(d.locd + 4 * 4 + 1), now);
    ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);
  }
  tkrglb_[0] = missing;
}

TEST_F(DatasetLookup, EqualPathsAreToldApartByQualifier) {
  // The value of a one-value data set, -1 when none is found.
  auto value = [](const DsetCall& d) { return d.qual + std::to_string(d.ndata == 1 ? work_word(d.locd) : -1); };
  const Path dup{"DUP", "SEC"};
  EXPECT_EQ(value(call_tkdset(dup)) + value(call_tkdset(dup, "QB")), "QA      1QB      2");
  // A blank qualifier finds the first sibling again, not the one remembered;
  // the one remembered is still answered for its own qualifier.
  DsetCall d = call_tkdset(dup);
  EXPECT_EQ(value(d), "QA      1");
  EXPECT_EQ(call_tkdset(dup, "QA").locq, d.locq);
  d = call_tkdset(dup, "QB");
  move_scanner();
  EXPECT_EQ(call_tkdset(dup, "QB").locq, d.locq);
  EXPECT_EQ(flowsum::scan::line_number(), 2);
  d = call_tkdset(dup, "QC");
  EXPECT_EQ((Ints{d.ndata, d.nqual}), (Ints{0, 0}));
  EXPECT_EQ(d.qual, "QC      ");
  // Among siblings the last keyword counts with 8 characters: a sibling that
  // agrees in them is chosen for its qualifier, and a keyword of 8
  // characters finds a longer key.
  EXPECT_EQ(value(call_tkdset({"LONGKEY", "SECTION_A"})) + value(call_tkdset({"LONGKEY", "SECTION_A"}, "QB")) +
                value(call_tkdset({"LONGKEY", "SECTION_"})),
            "QA      10QB      20QA      10");
  // Paths not in the tree, and paths of no or too many keywords.
  for (const Path& path : {Path{"DUP", "NONE"}, Path{"NOWHERE"}, Path{}, Path(10, "DUP")})
    EXPECT_EQ(call_tkdset(path).ndata, 0) << path.size();
}

TEST_F(DatasetLookup, CompletionStatusReadsTheLineOfTheLastDataSetFound) {
  ASSERT_EQ(call_tkdset(kResults).ndata, 4);
  const int64_t free = free_pointer();
  DsetCall c = call_tkdset({"BLOCK", "FLASH", "F1", "COMPSTAT"});
  ASSERT_EQ((Ints{c.ndata, c.nqual, c.locq, c.locd}), (Ints{1, 1, free, free + 8}));
  const Ints comp = packed("COMPSTAT", 8);
  EXPECT_EQ(words(c.locq, 8), (Ints{comp[0], comp[1], kBlank, kBlank, comp[0], comp[1], 1, 0}));
  EXPECT_EQ(work_word(c.locd), 7);  // the first value of the results, as an integer
  EXPECT_EQ(c.qual, "        ");
  EXPECT_EQ(free_pointer(), free);
}

TEST_F(DatasetLookup, MalformedDataSetsGiveWhatTheScannerGives) {
  // Tokens of the wrong kind: a name read as an integer gives its length
  // less one, a name read as a real the missing-value marker (values ending
  // early are shown by the unusual-input tests).
  DsetCall d = call_tkdset({"BAD", "KIND"});
  ASSERT_EQ(d.ndata, 4);
  EXPECT_EQ(work_word(d.locd), 3);
  EXPECT_EQ(work_real_word(d.locd + 17), kMissing);
  EXPECT_EQ(work_text(d.locd + 8, 2), "42      ");
  // An unknown loading sequence: found, but no values.
  d = call_tkdset({"BAD", "LSET"});
  EXPECT_EQ(d.ndata, 0);
  EXPECT_EQ(d.qual, "NOSUCH  ");
  // A count that is no number, or one beyond the work area: no values.
  EXPECT_EQ(call_tkdset({"BAD", "COUNT"}).ndata, 0);
  EXPECT_EQ(call_tkdset({"BAD", "HUGE"}).ndata, 0);
}

TEST_F(DatasetLookup, ValuesThatDoNotFitTheWorkAreaAreNotRead) {
  const int64_t free = free_pointer();
  ASSERT_EQ(call_tkdset({"BIG", "BIG"}).ndata, 1000);
  ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);  // remembered instead
  // 20 000 words left: the qualifier block can be built, the 1000 long
  // texts (26 000 words with their value block) cannot be read.
  tklocs_[24] = TK_WORK_WORDS - 20000;
  const Ints top = words(TK_WORK_WORDS - 10, 10);
  DsetCall d = call_tkdset({"BIG", "BIG"});
  EXPECT_EQ((Ints{d.ndata, d.nqual, tkretn_.iret[0]}), (Ints{0, 0, 0}));
  EXPECT_EQ(free_pointer(), TK_WORK_WORDS - 20000);
  EXPECT_EQ(words(TK_WORK_WORDS - 10, 10), top);
  // With room the same data set reads.
  tklocs_[24] = TK_WORK_WORDS - 40000;
  d = call_tkdset({"BIG", "BIG"});
  EXPECT_EQ(d.ndata, 1000);
  EXPECT_EQ(work_text(work_word(d.locd + 1000 + 2 * 999 + 1), 1), "T   ");
  tklocs_[24] = free;
}

// Last of the suite: it edits the tree. The edit empties what the lookup
// keeps; 4 096 answers fill it (one present, the rest missing paths), so it
// starts over when the next answer comes, and what it keeps after that,
// qualifier block and values, is given again whole. So are answers of 64
// values when they fill its words.
TEST_F(DatasetLookup, AnswersKeptAfterTheMemoryStartsOver) {
  ASSERT_EQ(file_in_tree({"EDITED", "SEC"}, tree_lookup({"DUP", "SEC"})), 0);
  ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);
  int64_t found = 0;
  for (int i = 1; i < 4096; ++i) found += call_tkdset({"NOWHERE", std::to_string(i)}).ndata;
  EXPECT_EQ(found, 0);
  for (int round = 0; round < 2; ++round) {
    const DsetCall other = call_tkdset({"DUP", "OTHER"});
    EXPECT_EQ((Ints{other.ndata, other.nqual, work_word(other.locd)}), (Ints{1, 1, 5})) << round;
    EXPECT_EQ(work_text(other.locq, 4), pad("ITEM", 16)) << round;
    ASSERT_EQ(call_tkdset(kResults).ndata, 4);
  }
  int64_t wrong = 0;
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 300; ++i) {
      const DsetCall d = call_tkdset({"MANY", std::to_string(i)});
      wrong += d.ndata != 64 || work_word(d.locd) != i || work_word(d.locd + 63) != i;
    }
  EXPECT_EQ(wrong, 0);
}

// The choice among siblings by qualifier values is kept for the load and the
// tree it was made in: a reload chooses in the new file, and a sibling that
// TKDTRE adds to the path is found.
TEST(DatasetChoice, KeptChoicesFollowReloadsAndTreeEdits) {
  const Path profile{"BLOCK", "FLASH", "F1", "PROFILE"}, other{"BLOCK", "FLASH", "F2", "OTHER"};
  auto file = [&](const std::string& phase) {
    SummaryBuilder b;
    b.header();
    b.idset("PH", {"PHASE"}, {{{phase}, 2}});
    b.idset("VAP", {"PHASE"}, {{{"VAPOR"}, 2}});
    b.lset("PH", "(%PH)");
    b.lset("VAP", "(%VAP)");
    b.dset(profile, "PH", {Value::real(1.0)});
    b.dset(other, "VAP", {Value::real(2.0)});
    return b.text();
  };
  const TempSummaryFile vapor(file("VAPOR")), liquid(file("LIQUID"));
  std::string ids;
  for (const std::string& k : profile) ids += pad(k, 16);
  auto choose = [&] {
    std::string name = pad("PHASE", 16), value = pad("VAPOR", 16), qual(8, ' ');
    int64_t nid = 4, nk = 1, ipos = -1, ierr = -1;
    tkfdst_(ids.data(), &nid, &nk, name.data(), value.data(), qual.data(), &ipos, &ierr, 16, 16, 16, 8);
    return ierr;
  };
  {
    LoadedSummary loaded(vapor.string());
    ASSERT_EQ(loaded.ierr(), 0);
    EXPECT_EQ(choose(), 0);
  }
  LoadedSummary loaded(liquid.string());
  EXPECT_EQ(choose(), 1);
  ASSERT_EQ(file_in_tree(profile, tree_lookup(other)), 0);
  EXPECT_EQ(choose(), 0);
}

}  // namespace
