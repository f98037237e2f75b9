// Data-set lookup: qualifier and value blocks word by word, the remembered
// answer, the choice among equal paths by qualifier, the special paths, and
// malformed data sets (the round trip reads connection paths through
// TKCNCT).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/scanner.hpp"
#include "support/lookup_calls.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum::testing;

constexpr int64_t kBlank = 0x2020202020202020;
constexpr double kMissing = 1.0e35;
const std::string kLongText = "A LONG TEXT VALUE OF THE RESULTS TABLE, LONGER THAN EIGHT CHARACTERS";

std::vector<int64_t> words(int64_t first, int64_t n) { return {tkwork_ + first - 1, tkwork_ + first - 1 + n}; }

class DatasetLookup : public SummarySuite<DatasetLookup> {
 protected:
  static void SetUpTestSuite() {
    SummaryBuilder b;
    b.header();
    b.idset("RES", {"PROPERTIES"}, {{{"33"}, 1}, {{"22"}, 2, 22}, {{"99"}, 5}, {{"100"}, 6}});
    b.lset("RES", "(%RES)");
    b.dset({"BLOCK", "FLASH", "F1", "RESULTS"}, "RES",
           {Value::integer(7), Value::real(350.5, 1), Value::word("ABC"), Value::text(kLongText)});
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
    // Malformed data sets: fewer values than the sequence gives, tokens of
    // the wrong kind, an unknown sequence, a count that is no number.
    b.dset({"BAD", "FEWER"}, "RES", {Value::integer(7), Value::real(350.5, 1)});
    b.dset({"BAD", "KIND"}, "RES", {Value::name("NAME"), Value::name("ABC"), Value::integer(9), Value::integer(42), Value::word("X")});
    b.dset({"BAD", "LSET"}, "NOSUCH", {Value::integer(1)});
    b.dset({"BAD", "COUNT"}, "CONN", {Value::name("XYZ"), Value::word("A")});
    b.dset({"BAD", "HUGE"}, "CONN", {Value::integer(999999999), Value::word("A")});
    // A thousand long texts.
    b.idset_text("BIG", "(ITEM) (#1000 *6)");
    b.lset("BIG", "(%BIG)");
    std::vector<Value> many(1000, Value::text("T"));
    b.dset({"BIG", "BIG"}, "BIG", many);
    write_file(b.text());
  }
};

TEST_F(DatasetLookup, QualifierAndValueBlocksWordByWord) {
  const int64_t free = free_pointer();
  DsetCall d = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"});
  ASSERT_EQ(d.ndata, 4);
  ASSERT_EQ(d.nqual, 1);
  EXPECT_EQ(d.qual, "RES     ");
  EXPECT_EQ(d.locq, free);
  // Qualifier block: name, four pairs, four types, four unit types; the
  // value block follows at once, the long text after it (the round trip
  // reads the pairs, types and values).
  const int64_t q = d.locq;
  EXPECT_EQ(words(q, 4), packed("PROPERTIES", 16));
  const int64_t v = d.locd;
  ASSERT_EQ(v, q + 20);
  const int64_t text_at = v + 6 * 4 + 2;
  EXPECT_EQ(words(v + 10, 2), (std::vector<int64_t>{20, text_at}));
  EXPECT_EQ(work_real_word(v + 16), 0.0);
  // The remembered answer; the free-word pointer is as it was.
  EXPECT_EQ(tkretn_.iret[0], 4);
  EXPECT_EQ((std::vector<int64_t>{tkretn_.iret[3], tkretn_.iret[4], tkretn_.iret[5], tkretn_.iret[6]}),
            (std::vector<int64_t>{1, 4, q, v}));
  EXPECT_EQ(tkretn_.iret[9], text_at + 20);
  EXPECT_EQ(std::string(tkretn_.text[3], 128), pad("RESULTS", 128));
  EXPECT_EQ(std::string(tkretn_.text[4], 128), pad("RES", 128));
  EXPECT_EQ(free_pointer(), free);
}

TEST_F(DatasetLookup, SecondCallIsAnsweredFromMemory) {
  DsetCall first = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"});
  ASSERT_EQ(first.ndata, 4);
  // Put the scanner elsewhere: a second read of the file would move it.
  flowsum::scan::configure(0, 0, 2.0 + 133.0 / 256.0, "");
  for (const std::string& qual : {std::string(), std::string("RES")}) {
    DsetCall again = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"}, qual);
    EXPECT_EQ(again.ndata, 4);
    EXPECT_EQ(again.locq, first.locq);
    EXPECT_EQ(again.locd, first.locd);
    EXPECT_EQ(again.qual, "RES     ");
    EXPECT_EQ(flowsum::scan::line_number(), 2);
  }
  // Another qualifier searches again (and finds none here).
  DsetCall other = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"}, "QA");
  EXPECT_EQ(other.ndata, 0);
  EXPECT_EQ(other.qual, "QA      ");
  EXPECT_EQ(tkretn_.iret[0], 0);
}

TEST_F(DatasetLookup, OverwrittenBlocksAreReadAgain) {
  DsetCall first = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"});
  ASSERT_EQ(first.ndata, 4);
  // Another routine used the free words for its own scratch.
  std::fill(tkwork_ + first.locq - 1, tkwork_ + first.locq + 40, -1);
  DsetCall again = call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"});
  ASSERT_EQ(again.ndata, 4);
  EXPECT_EQ(words(again.locq + 12, 4), (std::vector<int64_t>{1, 2, 5, 6}));
  EXPECT_EQ(work_word(again.locd), 7);
}

TEST_F(DatasetLookup, DataSetsOfOneSequenceShareItsBlockWithinALoadOnly) {
  // DUP/SEC and LONGKEY/SECTION_A both read through sequence QA: the second
  // lookup's qualifier block must be word for word what TKLIST builds.
  const int64_t free = free_pointer();
  ASSERT_EQ(call_tkdset({"DUP", "SEC"}).ndata, 1);
  DsetCall d = call_tkdset({"LONGKEY", "SECTION_A"});
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(work_word(d.locd), 10);
  const std::vector<int64_t> shared = words(d.locq, 4 + 4);
  tkretn_.iret[0] = 0;  // TKLIST then builds at the free-word pointer
  ListCall fresh = call_tklist("QA");
  ASSERT_EQ(fresh.ndata, 1);
  EXPECT_EQ(words(fresh.locq, 4 + 4), shared);
  tklocs_[24] = free;

  // Another file with a sequence of the same name reads its own qualifiers.
  loaded_.reset();
  SummaryBuilder b;
  b.header();
  b.idset("OTHER", {"COMPONENTS"}, {{{"WATER"}, 2}, {{"AIR"}, 2}});
  b.lset("QA", "(%OTHER)");
  b.dset({"LONGKEY", "SECTION_A"}, "QA", {Value::real(1.5), Value::real(2.5)});
  TempSummaryFile other(b.text());
  LoadedSummary again(other.string());
  ASSERT_EQ(again.ierr(), 0);
  d = call_tkdset({"LONGKEY", "SECTION_A"});
  ASSERT_EQ(d.ndata, 2);
  EXPECT_EQ(words(d.locq, 4), packed("COMPONENTS", 16));
  EXPECT_EQ(words(d.locq + 4, 2), packed("WATER", 8));
}

TEST_F(DatasetLookup, EqualPathsAreToldApartByQualifier) {
  DsetCall d = call_tkdset({"DUP", "SEC"});
  EXPECT_EQ(d.qual, "QA      ");
  EXPECT_EQ(work_word(d.locd), 1);
  d = call_tkdset({"DUP", "SEC"}, "QB");
  EXPECT_EQ(d.qual, "QB      ");
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(work_word(d.locd), 2);
  // A blank qualifier finds the first sibling again, not the one remembered;
  // the one remembered is still answered for its own qualifier.
  d = call_tkdset({"DUP", "SEC"});
  EXPECT_EQ(d.qual, "QA      ");
  EXPECT_EQ(work_word(d.locd), 1);
  const int64_t first_locq = call_tkdset({"DUP", "SEC"}, "QA").locq;
  EXPECT_EQ(first_locq, d.locq);
  d = call_tkdset({"DUP", "SEC"}, "QB");
  flowsum::scan::configure(0, 0, 2.0 + 133.0 / 256.0, "");
  EXPECT_EQ(call_tkdset({"DUP", "SEC"}, "QB").locq, d.locq);
  EXPECT_EQ(flowsum::scan::line_number(), 2);
  d = call_tkdset({"DUP", "SEC"}, "QC");
  EXPECT_EQ(d.ndata, 0);
  EXPECT_EQ(d.nqual, 0);
  EXPECT_EQ(d.qual, "QC      ");
  // Among siblings the last keyword counts with 8 characters: a sibling that
  // agrees in them is chosen for its qualifier.
  d = call_tkdset({"LONGKEY", "SECTION_A"});
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(work_word(d.locd), 10);
  d = call_tkdset({"LONGKEY", "SECTION_A"}, "QB");
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(work_word(d.locd), 20);
  // A keyword of 8 characters finds a longer key.
  d = call_tkdset({"LONGKEY", "SECTION_"});
  ASSERT_EQ(d.ndata, 1);
  EXPECT_EQ(work_word(d.locd), 10);
  // Paths not in the tree, and paths of no or too many keywords.
  EXPECT_EQ(call_tkdset({"DUP", "NONE"}).ndata, 0);
  EXPECT_EQ(call_tkdset({"NOWHERE"}).ndata, 0);
  EXPECT_EQ(call_tkdset({}).ndata, 0);
  EXPECT_EQ(call_tkdset(std::vector<std::string>(10, "DUP")).ndata, 0);
}

TEST_F(DatasetLookup, StreamResultsSectionIsNeverRead) {
  DsetCall d = call_tkdset({"DUP", "SEC"});
  ASSERT_EQ(d.ndata, 1);
  DsetCall r = call_tkdset({"STREAM", "MATERIAL", "S1", "RES_STR"});
  EXPECT_EQ(r.ndata, 0);
  // The remembered answer stays.
  EXPECT_EQ(tkretn_.iret[0], 2);
  EXPECT_EQ(call_tkdset({"DUP", "SEC"}).locq, d.locq);
}

TEST_F(DatasetLookup, CompletionStatusReadsTheLineOfTheLastDataSetFound) {
  ASSERT_EQ(call_tkdset({"BLOCK", "FLASH", "F1", "RESULTS"}).ndata, 4);
  const int64_t free = free_pointer();
  DsetCall c = call_tkdset({"BLOCK", "FLASH", "F1", "COMPSTAT"});
  ASSERT_EQ(c.ndata, 1);
  EXPECT_EQ(c.nqual, 1);
  EXPECT_EQ(c.locq, free);
  const std::vector<int64_t> comp = packed("COMPSTAT", 8);
  EXPECT_EQ(words(c.locq, 8), (std::vector<int64_t>{comp[0], comp[1], kBlank, kBlank, comp[0], comp[1], 1, 0}));
  EXPECT_EQ(c.locd, c.locq + 8);
  EXPECT_EQ(work_word(c.locd), 7);  // the first value of the results, as an integer
  EXPECT_EQ(c.qual, "        ");
  EXPECT_EQ(free_pointer(), free);
}

TEST_F(DatasetLookup, MalformedDataSetsGiveWhatTheScannerGives) {
  // Fewer values than the sequence says: the count stays; the values read
  // are right, the rest come from the tokens that follow.
  DsetCall d = call_tkdset({"BAD", "FEWER"});
  ASSERT_EQ(d.ndata, 4);
  EXPECT_EQ(work_real_word(d.locd + 17), 350.5);

  // Tokens of the wrong kind: a name read as an integer gives its length
  // less one, a name read as a real the missing-value marker.
  d = call_tkdset({"BAD", "KIND"});
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
  const std::vector<int64_t> top = words(TK_WORK_WORDS - 10, 10);
  DsetCall d = call_tkdset({"BIG", "BIG"});
  EXPECT_EQ(d.ndata, 0);
  EXPECT_EQ(d.nqual, 0);
  EXPECT_EQ(tkretn_.iret[0], 0);
  EXPECT_EQ(free_pointer(), TK_WORK_WORDS - 20000);
  EXPECT_EQ(words(TK_WORK_WORDS - 10, 10), top);
  // With room the same data set reads.
  tklocs_[24] = TK_WORK_WORDS - 40000;
  d = call_tkdset({"BIG", "BIG"});
  EXPECT_EQ(d.ndata, 1000);
  EXPECT_EQ(work_text(work_word(d.locd + 1000 + 2 * 999 + 1), 1), "T   ");
  tklocs_[24] = free;
}

}  // namespace
