// The loader: header search, record indexing, region growth, messages and
// error codes, the scratch copy, and what a load leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"
#include "support/caller.hpp"
#include "support/message_capture.hpp"
#include "support/reference_files.hpp"
#include "support/summary_builder.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;
using Words = std::vector<int64_t>;

constexpr int64_t kSum = kRefSummaryUnit, kScr = kRefScratchUnit, kPrp = kRefPropertyUnit, kUnt = kRefUnitTableUnit;
const std::string kPropertyFile = FLOWSUM_SOURCE_DIR "/data/RCPROPNU.DAT";
const std::string kUnitFile = FLOWSUM_SOURCE_DIR "/data/RCUNITS.DAT";

ReferenceLoad load_text(const std::string& content, double rmiss = 1.0e35) {
  return load_with_bundled_references(content, "SI", rmiss);
}

// "line@qualifier" of a path's record in the loaded tree, "-" when absent.
std::string at(const std::vector<std::string_view>& path) {
  int64_t node = 0;
  DataRecord rec;
  if (TreeNodes::loaded().find(path, node, &rec) != 0) return "-";
  return std::to_string(rec.idata) + "@" + std::string(TextField::trim_right(std::string_view(rec.value, 8)));
}

std::string unpack(int64_t word, int64_t nwords) {
  char buf[16];
  unpack_text(work_ptr(word), nwords, TextField(buf, 4 * nwords));
  return std::string(TextField::trim_right(std::string_view(buf, 4 * nwords)));
}

// The file's property names by number.
std::map<int64_t, std::string> properties() {
  std::map<int64_t, std::string> props;
  for (int64_t k = 0; k < locs(l::kPropCount); ++k) props[work(locs(l::kPropTable) + 4 * k)] = unpack(locs(l::kPropTable) + 4 * k + 1, 3);
  return props;
}

const char* kGood =
    "some text before the header\n"
    " IWPSUMMARY8.0 written by the test\n"
    " PSET PROPS 3 \"first\" 90102 PRES 90101 TEMP\n"
    "  90103 \"MASS FLOW\" \"end\" )\n"
    " LSET ZSEQ ( PROPERTIES ( 101 ) )\n"
    " LSET ASEQ ( PROPERTIES ( 102 ) )\n"
    " IDSET ID_NCC ( WATER )\n"
    " IDSET SP1 (SPDATA) ( 1 )\n"
    " DSET RUN-STATUS TITLE @ZSEQ (\n"
    "   1 )\n"
    " DSET BLOCK HEATER B1 RES_MAIN @ASEQ ( 1.0 )\n"
    " DSET BLOCK DUCTLINE P1 RES_MAIN @ASEQ ( 1.0 )\n"
    " DSET BLOCK TRAYCOL C1 TR_RES @ASEQ ( 1.0 )\n"
    " DSET BLOCK TRAYCOL C1 PROF_RES @ASEQ ( 1.0 )\n"
    " DSET BLOCK MIXER M1 OTHER @ASEQ ( 1.0 )\n"
    " DSET STREAM MATERIAL S1\n"
    "   STR_MAIN\n"
    "   @ZSEQ\n"
    "   ( 5.0 )\n"
    " DSET STREAM MATERIAL S1 STR_MAIN @ASEQ ( 6.0 )\n";

TEST(Loader, IndexesRecordsOfAGoodFile) {
  ReferenceLoad r = load_text(kGood);
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(r.messages, "");
  const LoadSummary& s = last_load();
  EXPECT_EQ((Words{s.header_line, s.lines, s.psets, s.lsets, s.idsets, s.dsets, s.ncc_line}),
            (Words{2, 20, 1, 2, 2, 8, 7}));
  EXPECT_EQ(properties()[90101] + "/" + properties()[90103], "TEMP/MASS FLOW");
  // Directories in signed packed-word order ("SP1" before "ID_NCC" on this
  // little-endian layout), line numbers negative for special sets.
  const int64_t ldir = locs(l::kLsetDir), idir = locs(l::kIdsetDir);
  EXPECT_EQ(std::pair(locs(l::kLsetCount), locs(l::kIdsetCount)), std::pair(int64_t{2}, int64_t{2}));
  EXPECT_EQ(unpack(ldir + 1, 2) + "/" + unpack(ldir + 4, 2) + "/" + unpack(idir + 1, 2) + "/" + unpack(idir + 4, 2),
            "ASEQ/ZSEQ/SP1/ID_NCC");
  EXPECT_EQ(std::pair(work(ldir), work(idir)), std::pair(int64_t{6}, int64_t{-8}));
  // Result sections renamed; a record over four lines entered at the line
  // of its at-name; a repeated path is a sibling found after the first.
  EXPECT_EQ(at({"RUN-STATUS", "TITLE"}), "9@ZSEQ");
  EXPECT_EQ(at({"BLOCK", "HEATER", "B1", "RESULTS"}) + " " + at({"BLOCK", "DUCTLINE", "P1", "RES_MAIN"}) + " " +
                at({"BLOCK", "TRAYCOL", "C1", "TR_RES"}) + " " + at({"BLOCK", "TRAYCOL", "C1", "RESULTS"}) + " " +
                at({"BLOCK", "MIXER", "M1", "OTHER"}),
            "11@ASEQ 12@ASEQ 13@ASEQ 14@ASEQ 15@ASEQ");
  EXPECT_EQ(at({"STREAM", "MATERIAL", "S1", "STR_MAIN"}), "18@ZSEQ");
  // The free pointer lies above the tables; the scanner reads the scratch
  // copy by line number.
  EXPECT_GE(locs(l::kFreePointer), locs(l::kTree) + locs(l::kTreeUsed));
  EXPECT_EQ((Words{scan::read_mode(), scan::read_unit(), glob(g::kScratchUnit)}), (Words{2, kScr, kScr}));
  std::string_view rec;
  ASSERT_EQ(io::read_record(kScr, 17, rec), 0);
  EXPECT_EQ(TextField::trim_right(rec), "   STR_MAIN");
  EXPECT_NE(io::read_record(kScr, 21, rec), 0);
}

TEST(Loader, CodesAndMessagesOfDamagedFiles) {
  const std::string h = " IWPSUMMARY8.0\n";
  std::string binary(3000, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 7919) % 256);
  const std::string none = "\n NO RESULTS FOUND IN SUMMARY/BACKUP FILE\n";
  struct Case {
    std::string text;
    int64_t ierr;
    std::string messages;
    Words counts;  // DSETs opened and lines read, when given
    double rmiss = 1.0e35;
  } cases[] = {
      {" MMSUMMARY and more\n", 0, "", {0, 1}},
      // No leading blank: not a header.
      {"MMSUMMARY\n IWPSUMMARY9.9\n", 1, none},
      {"", 1, none},
      {binary, 1, none},
      {h + " DSET K1 K2 K3 K4 K5 K6 K7 K8 K9 K10 @Q (\n DSET K1 K2 K3 K4 K5 K6 K7 K8 K9 @Q (\n"
           " DSET A ( @Q (\n LSET L1 X\n LSET L2 %ONE_SET\n IDSET I1 %ONE_SET\n DSET LAST @Q (\n",
       1,
       "\n ERROR PROCESSING DSET   AT LINE      2\n TOKEN TYPE = 14  VALUE = K10             \n"
       "\n ERROR PROCESSING DSET   AT LINE      4\n TOKEN TYPE =  9  VALUE = (               \n"
       "\n ERROR PROCESSING LSET   AT LINE      5\n TOKEN TYPE = 14  VALUE = X               \n"
       "\n ERROR PROCESSING IDSET  AT LINE      7\n TOKEN TYPE =  6  VALUE = ONE_SET         \n"
       "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE          8\n",
       {4, 8}},
      // A PSET count that is not an integer skips the set; a count of 0
      // needs only the closing parenthesis.
      {h + " PSET P X 1 A )\n PSET P 0\n )\n", 0, ""},
      // Entries continue over lines; a wrong first token on a continuation
      // line is an error, and that line may open the next record.
      {h + " PSET P 3 1 ONE\n  2 TWO\n DSET NEXT @Q (\n", 1,
       "\n ERROR PROCESSING PSET   AT LINE      4\n TOKEN TYPE = 14  VALUE = DSET            \n"
       "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE          4\n",
       {1, 4}},
      {h + " PSET P 1 7 A B\n", 1, ""},  // the file ends before the ")"
      {h, 0, "\n WARNING: RMISS VALUE -0.100000E+01 IS WITHIN RANGE ENGINEERING VALUES\n", {}, -1.0},
      // The body is abandoned at once when the work area is too small.
      {h + " PSET P 1000000000 1 A )\n DSET X @Q (\n", 4,
       "\n INSUFFICIENT WORK AREA WHILE PROCESSING SUMMARY FILE PSET   AT LINE      2\n"
       " TOKEN TYPE =  2  VALUE = 1000000000        WORK SIZE =2000000\n",
       {0, -1}},
  };
  for (const Case& c : cases) {
    const ReferenceLoad r = load_text(c.text, c.rmiss);
    EXPECT_EQ(r.ierr, c.ierr) << c.text.substr(0, 60);
    if (!c.messages.empty() || c.ierr == 0) EXPECT_EQ(r.messages, c.messages) << c.text.substr(0, 60);
    if (!c.counts.empty()) EXPECT_EQ(last_load().dsets, c.counts[0]) << c.text.substr(0, 60);
    if (!c.counts.empty() && c.counts[1] >= 0) EXPECT_EQ(last_load().lines, c.counts[1]) << c.text.substr(0, 60);
    EXPECT_LE(locs(l::kFreePointer), kWorkWords + 1);
    if (c.messages == none) EXPECT_TRUE(io::is_open(kScr)) << "a failed header search keeps the scratch copy";
  }
  // Text past column 80 is not part of the record: here the file ends
  // inside the record, which enters nothing.
  ASSERT_EQ(load_text(h + " DSET AAA" + std::string(76, ' ') + "BBB @Q (\n").ierr, 0);
  EXPECT_EQ(at({"AAA", "BBB"}) + at({"AAA"}), "--");
  // Data sets that fill the tree region end in code 4 too, found while
  // growing the regions.
  std::string big = h;
  for (int i = 0; i < 100000; ++i)
    big += " DSET BLOCK M" + std::to_string(i % 100) + " " + std::string(56, 'A') + std::to_string(i) + "\n   RESULTS @Q (\n";
  const ReferenceLoad r = load_text(big);
  EXPECT_EQ(r.ierr, 4);
  EXPECT_NE(r.messages.find(" INSUFFICIENT WORK AREA WHILE PROCESSING SUMMARY FILE DSET"), std::string::npos);
}

TEST(Loader, RegionsGrowWithoutLosingEntries) {
  // Enough entries of every kind to make every region grow several times.
  ASSERT_EQ(load_text(" IWPSUMMARY8.0\n").ierr, 0);
  const int64_t from_file = locs(l::kPropCount);
  std::string text = " IWPSUMMARY8.0\n PSET P 70000\n";
  for (int i = 0; i < 70000; ++i) text += "  " + std::to_string(100000 + i) + " N" + std::to_string(i) + "\n";
  text += " )\n";
  for (int i = 0; i < 90000; ++i) text += " LSET L" + std::to_string(i) + " (\n";
  for (int i = 0; i < 3000; ++i) text += " DSET STREAM MATERIAL S" + std::to_string(i) + " STR_MAIN @Q (\n";
  ReferenceLoad r = load_text(text);
  ASSERT_EQ(r.ierr, 0) << r.messages.substr(0, 400);
  EXPECT_EQ(std::pair(locs(l::kPropCount), locs(l::kLsetCount)), std::pair(from_file + 70000, int64_t{90000}));
  const int64_t first = 70004 + 90000;  // header, PSET, 70000 entries, ")", the LSETs
  EXPECT_EQ(at({"STREAM", "MATERIAL", "S0", "STR_MAIN"}), std::to_string(first) + "@Q");
  EXPECT_EQ(at({"STREAM", "MATERIAL", "S2999", "STR_MAIN"}), std::to_string(first + 2999) + "@Q");
  int64_t sum = 0;
  for (const auto& [number, name] : properties())
    if (number >= 100000) sum += number - 100000;
  EXPECT_EQ(sum, int64_t{70000} * 69999 / 2);
}

TEST(Loader, ReloadsUnitsAndExportedEntryPoints) {
  ASSERT_EQ(load_text(kGood).ierr, 0);
  // The scratch copy may not take the summary file's unit.
  EXPECT_EQ(load_summary_file("SI", kSum, kSum, kPrp, kPropertyFile, kUnt, kUnitFile, 1e35, 0), 1);
  // A summary unit that is not open.
  io::close_unit(kSum);
  flowsum::testing::MessageCapture capture;
  EXPECT_EQ(load_summary_file("SI", kScr, kSum, kPrp, kPropertyFile, kUnt, kUnitFile, 1e35, capture.unit()), 1);
  EXPECT_NE(capture.take().find(" READING THE SUMMARY FILE\n SUMMARY FILE NOT OPEN ON UNIT  91\n"), std::string::npos);

  TempSummaryFile sum(kGood);
  int64_t unit = kSum, scr = kScr, prp = kPrp, unt = kUnt, recl = 0, ierr = -1, msg = 0;
  double rmiss = 1e35;
  call(tkopen_, unit, Field(sum.string()), Field("SEQUENTIAL"), Field("FORMATTED"), recl, Field("OLD"), Field("READ"), ierr);
  ASSERT_EQ(ierr, 0);
  // The unit set is read from its field only: "METRIC" is the ENG set, its
  // first three characters the MET set.
  auto ini2 = [&](std::string_view unitset, const std::string& prpfile) {
    call(tkini2_, Field(unitset), scr, unit, prp, Field(prpfile), unt, Field(kUnitFile), rmiss, ierr, msg);
    return std::pair(ierr, last_load().unit_set);
  };
  EXPECT_EQ(ini2("METRIC", kPropertyFile), std::pair(int64_t{0}, int64_t{2}));
  EXPECT_EQ(ini2("MET", kPropertyFile), std::pair(int64_t{0}, int64_t{3}));
  io::close_unit(kSum);
}

}  // namespace
