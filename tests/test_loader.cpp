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
#include "store/packed_words.hpp"
#include "support/caller.hpp"
#include "support/message_capture.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace {

using namespace flowsum;
using flowsum::testing::call;
using flowsum::testing::Field;
using flowsum::testing::MessageCapture;
using flowsum::testing::TempSummaryFile;
using Words = std::vector<int64_t>;

constexpr int64_t kSum = 31, kScr = 32, kPrp = 33, kUnt = 34;
const std::string kPropertyFile = FLOWSUM_SOURCE_DIR "/data/RCPROPNU.DAT";
const std::string kUnitFile = FLOWSUM_SOURCE_DIR "/data/RCUNITS.DAT";

// Loads `content` as a summary file; the messages written are kept.
struct Load {
  int64_t ierr = -99;
  std::string messages;
};

Load load_text(const std::string& content, double rmiss = 1.0e35) {
  TempSummaryFile sum(content);
  MessageCapture capture;
  io::close_unit(kSum);
  EXPECT_EQ(io::open_unit(kSum, sum.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), 0);
  Load out;
  out.ierr = load_summary_file("SI", kScr, kSum, kPrp, kPropertyFile, kUnt, kUnitFile, rmiss,
                               capture.unit());
  out.messages = capture.take();
  return out;
}

// The line of a path's record in the loaded tree, or -1 when it is not found.
int64_t line_of(const std::vector<std::string>& path) {
  const auto e = flowsum::testing::tree_lookup(path);
  return e.ierr == 0 ? e.line : -1;
}

std::string unpack(int64_t word, int64_t nwords) {
  char buf[16];
  unpack_text(work_ptr(word), nwords, TextField(buf, 4 * nwords));
  return std::string(TextField::trim_right(std::string_view(buf, 4 * nwords)));
}

// Property names a load takes from the property-number file alone.
int64_t reference_property_count() {
  EXPECT_EQ(load_text(" IWPSUMMARY8.0\n").ierr, 0);
  return locs(l::kPropCount);
}

// The name the property table gives a number, or "?".
std::string property_name(int64_t number) {
  for (int64_t k = 0; k < locs(l::kPropCount); ++k) {
    int64_t e = locs(l::kPropTable) + 4 * k;
    if (work(e) == number) return unpack(e + 1, 3);
  }
  return "?";
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
  Load r = load_text(kGood);
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(r.messages, "");
  const LoadSummary& s = last_load();
  EXPECT_EQ((Words{s.header_line, s.lines, s.psets, s.lsets, s.idsets, s.dsets, s.ncc_line}),
            (Words{2, 20, 1, 2, 2, 8, 7}));
  // The file's property names are in the table with their numbers, which is
  // sorted by name in packed-word order.
  const int64_t nprop = locs(l::kPropCount);
  std::map<int64_t, std::string> props;
  for (int64_t k = 0; k < nprop; ++k) {
    int64_t e = locs(l::kPropTable) + 4 * k;
    props[work(e)] = unpack(e + 1, 3);
    if (k > 0) EXPECT_LE(work(e - 3), work(e + 1));
  }
  EXPECT_EQ(props[90101] + "/" + props[90103], "TEMP/MASS FLOW");
  // Directories in signed packed-word order (on this little-endian layout
  // "SP1" sorts before "ID_NCC"): line numbers, negative for special sets.
  ASSERT_EQ(std::pair(locs(l::kLsetCount), locs(l::kIdsetCount)), std::pair(int64_t{2}, int64_t{2}));
  const int64_t ldir = locs(l::kLsetDir), idir = locs(l::kIdsetDir);
  EXPECT_EQ(unpack(ldir + 1, 2) + "/" + unpack(ldir + 4, 2), "ASEQ/ZSEQ");
  EXPECT_EQ(unpack(idir + 1, 2) + "/" + unpack(idir + 4, 2), "SP1/ID_NCC");
  EXPECT_EQ(std::pair(work(ldir), work(idir)), std::pair(int64_t{6}, int64_t{-8}));
  // Tree: lines, qualifiers, and the renamed result sections.
  auto at = [](const std::vector<std::string>& path) {
    const auto e = flowsum::testing::tree_lookup(path);
    return std::to_string(e.line) + "@" + e.qualifier;
  };
  EXPECT_EQ(at({"RUN-STATUS", "TITLE"}), "9@ZSEQ");
  EXPECT_EQ(line_of({"BLOCK", "HEATER", "B1", "RESULTS"}), 11);
  EXPECT_EQ(line_of({"BLOCK", "DUCTLINE", "P1", "RES_MAIN"}), 12);
  EXPECT_EQ(line_of({"BLOCK", "TRAYCOL", "C1", "TR_RES"}), 13);
  EXPECT_EQ(line_of({"BLOCK", "TRAYCOL", "C1", "RESULTS"}), 14);
  EXPECT_EQ(line_of({"BLOCK", "MIXER", "M1", "OTHER"}), 15);
  // A record continued over four lines is entered at the line of its
  // at-name; the repeated path is a second sibling found after the first.
  EXPECT_EQ(at({"STREAM", "MATERIAL", "S1", "STR_MAIN"}), "18@ZSEQ");
  // The tables lie packed from word 1 in region order, the free pointer
  // above them, and the scanner reads the scratch copy by line number.
  EXPECT_EQ((Words{locs(l::kPropTable), locs(l::kIdsetDir), locs(l::kLsetDir), locs(l::kTree)}),
            (Words{1, 1 + 4 * nprop, 1 + 4 * nprop + 6, 1 + 4 * nprop + 12}));
  EXPECT_GE(locs(l::kFreePointer), locs(l::kTree) + locs(l::kTreeUsed));
  EXPECT_EQ((Words{scan::read_mode(), scan::read_unit(), glob(g::kScratchUnit)}), (Words{2, kScr, kScr}));
  std::string_view rec;
  EXPECT_NE(io::read_record(kScr, 21, rec), 0);
}

TEST(Loader, HeaderSearch) {
  EXPECT_EQ(load_text(" MMSUMMARY and more\n DSET A @Q (\n").ierr, 0);
  EXPECT_EQ(last_load().header_line, 1);
  EXPECT_EQ(load_text(" IWPSUMMARY7.3\n").ierr, 0);
  // No leading blank: not a header, and the scratch copy stays open.
  Load r = load_text("MMSUMMARY\n IWPSUMMARY9.9\n");
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.messages, "\n NO RESULTS FOUND IN SUMMARY/BACKUP FILE\n");
  EXPECT_TRUE(io::is_open(kScr));
  EXPECT_EQ(load_text("").ierr, 1);
  std::string binary(3000, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 7919) % 256);
  EXPECT_EQ(load_text(binary).ierr, 1);
}

TEST(Loader, CrlfAndLongLinesReadLikeTheirFirst80Columns) {
  std::string crlf = kGood;
  for (size_t p = 0; (p = crlf.find('\n', p)) != std::string::npos; p += 2) crlf.insert(p, "\r");
  ASSERT_EQ(load_text(crlf).ierr, 0);
  EXPECT_EQ(line_of({"STREAM", "MATERIAL", "S1", "STR_MAIN"}), 18);
  std::string_view rec;
  ASSERT_EQ(io::read_record(kScr, 17, rec), 0);
  EXPECT_EQ(TextField::trim_right(rec), "   STR_MAIN");
  // Text past column 80 is not part of the record: here the file ends
  // inside the record, which enters nothing.
  ASSERT_EQ(load_text(" IWPSUMMARY8.0\n DSET AAA" + std::string(76, ' ') + "BBB @Q (\n").ierr, 0);
  EXPECT_EQ(line_of({"AAA", "BBB"}), -1);
  EXPECT_EQ(line_of({"AAA"}), -1);
}

TEST(Loader, ProcessingErrorsReportAndIndexTheRest) {
  Load r = load_text(
      " IWPSUMMARY8.0\n"
      " DSET K1 K2 K3 K4 K5 K6 K7 K8 K9 K10 @Q (\n"
      " DSET K1 K2 K3 K4 K5 K6 K7 K8 K9 @Q (\n"
      " DSET A ( @Q (\n"
      " LSET L1 X\n"
      " LSET L2 %ONE_SET\n"
      " IDSET I1 %ONE_SET\n"
      " DSET LAST @Q (\n");
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.messages,
            "\n ERROR PROCESSING DSET   AT LINE      2\n"
            " TOKEN TYPE = 14  VALUE = K10             \n"
            "\n ERROR PROCESSING DSET   AT LINE      4\n"
            " TOKEN TYPE =  9  VALUE = (               \n"
            "\n ERROR PROCESSING LSET   AT LINE      5\n"
            " TOKEN TYPE = 14  VALUE = X               \n"
            "\n ERROR PROCESSING IDSET  AT LINE      7\n"
            " TOKEN TYPE =  6  VALUE = ONE_SET         \n"
            "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE          8\n");
  EXPECT_EQ(std::pair(last_load().dsets, last_load().lines), std::pair(int64_t{4}, int64_t{8}));
}

TEST(Loader, PropertySetsOverLines) {
  // A count that is not an integer skips the set without error; a count of 0
  // needs only the closing parenthesis.
  const int64_t from_file = reference_property_count();
  Load r = load_text(" IWPSUMMARY8.0\n PSET P X 1 A )\n PSET P 0\n )\n");
  EXPECT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(locs(l::kPropCount), from_file);
  // Entries continue over lines; a wrong first token on a continuation line
  // is an error and that line may open the next record.
  r = load_text(" IWPSUMMARY8.0\n PSET P 3 1 ONE\n  2 TWO\n DSET NEXT @Q (\n");
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(r.messages,
            "\n ERROR PROCESSING PSET   AT LINE      4\n"
            " TOKEN TYPE = 14  VALUE = DSET            \n"
            "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE          4\n");
  EXPECT_EQ(last_load().dsets, 1);
  // A name longer than 12 characters keeps its first 12.
  r = load_text(" IWPSUMMARY8.0\n PSET P 1 99007 ABCDEFGHIJKLMNOP )\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(property_name(99007), "ABCDEFGHIJKL");
  // The file ends before the closing parenthesis.
  EXPECT_EQ(load_text(" IWPSUMMARY8.0\n PSET P 1 7 A B\n").ierr, 1);
}

TEST(Loader, RmissWarning) {
  Load r = load_text(" IWPSUMMARY8.0\n", -1.0);
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(r.messages, "\n WARNING: RMISS VALUE -0.100000E+01 IS WITHIN RANGE ENGINEERING VALUES\n");
  EXPECT_EQ(load_text(" IWPSUMMARY8.0\n", 1.0e35).messages, "");
}

TEST(Loader, WorkAreaTooSmall) {
  Load r = load_text(" IWPSUMMARY8.0\n PSET P 1000000000 1 A )\n DSET X @Q (\n");
  EXPECT_EQ(r.ierr, 4);
  EXPECT_EQ(r.messages,
            "\n INSUFFICIENT WORK AREA WHILE PROCESSING SUMMARY FILE PSET   AT LINE      2\n"
            " TOKEN TYPE =  2  VALUE = 1000000000        WORK SIZE =2000000\n");
  // The body is abandoned at once; the free pointer stays inside the area.
  EXPECT_EQ(last_load().dsets, 0);
  EXPECT_LE(locs(l::kFreePointer), kWorkWords + 1);
  // Data sets that fill the tree region end in the same code, found while
  // growing the regions.
  std::string big = " IWPSUMMARY8.0\n";
  for (int i = 0; i < 100000; ++i)
    big += " DSET BLOCK M" + std::to_string(i % 100) + " " + std::string(56, 'A') + std::to_string(i) +
           "\n   RESULTS @Q (\n";
  r = load_text(big);
  EXPECT_EQ(r.ierr, 4);
  EXPECT_NE(r.messages.find(" INSUFFICIENT WORK AREA WHILE PROCESSING SUMMARY FILE DSET"), std::string::npos);
}

TEST(Loader, RegionsGrowWithoutLosingEntries) {
  // Enough entries of every kind to make every region grow several times.
  const int64_t from_file = reference_property_count();
  std::string text = " IWPSUMMARY8.0\n PSET P 70000\n";
  for (int i = 0; i < 70000; ++i) text += "  " + std::to_string(100000 + i) + " N" + std::to_string(i) + "\n";
  text += " )\n";
  for (int i = 0; i < 90000; ++i) text += " LSET L" + std::to_string(i) + " (\n";
  for (int i = 0; i < 3000; ++i) text += " DSET STREAM MATERIAL S" + std::to_string(i) + " STR_MAIN @Q (\n";
  Load r = load_text(text);
  ASSERT_EQ(r.ierr, 0) << r.messages.substr(0, 400);
  EXPECT_EQ(std::pair(locs(l::kPropCount), locs(l::kLsetCount)), std::pair(from_file + 70000, int64_t{90000}));
  const int64_t first = 70004 + 90000;  // header, PSET, 70000 entries, ")", the LSETs
  EXPECT_EQ(line_of({"STREAM", "MATERIAL", "S0", "STR_MAIN"}), first);
  EXPECT_EQ(line_of({"STREAM", "MATERIAL", "S2999", "STR_MAIN"}), first + 2999);
  int64_t sum = 0;
  for (int64_t k = 0; k < locs(l::kPropCount); ++k) {
    int64_t number = work(locs(l::kPropTable) + 4 * k);
    if (number >= 100000) sum += number - 100000;
  }
  EXPECT_EQ(sum, int64_t{70000} * 69999 / 2);
}

TEST(Loader, ReloadWithoutCloseAndBadUnits) {
  ASSERT_EQ(load_text(kGood).ierr, 0);
  // A second load on the same scratch unit replaces the first.
  ASSERT_EQ(load_text(" IWPSUMMARY8.0\n DSET ONLY @Q (\n").ierr, 0);
  EXPECT_EQ(line_of({"ONLY"}), 2);
  EXPECT_EQ(line_of({"RUN-STATUS", "TITLE"}), -1);
  EXPECT_EQ(locs(l::kLsetCount), 0);
  // The scratch copy may not take the summary file's unit.
  EXPECT_EQ(load_summary_file("SI", kSum, kSum, kPrp, kPropertyFile, kUnt, kUnitFile, 1e35, 0), 1);
  // A summary unit that is not open.
  io::close_unit(kSum);
  MessageCapture capture;
  EXPECT_EQ(load_summary_file("SI", kScr, kSum, kPrp, kPropertyFile, kUnt, kUnitFile, 1e35, capture.unit()), 1);
  const std::string text = capture.take();
  EXPECT_NE(text.find(" READING THE SUMMARY FILE\n SUMMARY FILE NOT OPEN ON UNIT  31\n"), std::string::npos)
      << text;
}

TEST(Loader, ExportedEntryPoints) {
  TempSummaryFile sum(kGood);
  int64_t unit = kSum, scr = kScr, prp = kPrp, unt = kUnt, recl = 0, ierr = -1, msg = 0;
  call(tkopen_, unit, Field(sum.string()), Field("SEQUENTIAL"), Field("FORMATTED"), recl, Field("OLD"),
       Field("READ"), ierr);
  ASSERT_EQ(ierr, 0);
  double rmiss = 1e35;
  // The unit set is read from its field only: "METRIC" is the ENG set, its
  // first three characters the MET set.
  auto ini2 = [&](std::string_view unitset, const std::string& prpfile) {
    call(tkini2_, Field(unitset), scr, unit, prp, Field(prpfile), unt, Field(kUnitFile), rmiss, ierr, msg);
    return std::pair(ierr, last_load().unit_set);
  };
  EXPECT_EQ(ini2("METRIC", kPropertyFile), std::pair(int64_t{0}, int64_t{2}));
  EXPECT_EQ(ini2("MET", kPropertyFile), std::pair(int64_t{0}, int64_t{3}));
  // A property-number file that cannot be opened fails the load.
  EXPECT_EQ(ini2("SI", kPropertyFile + "#junk").first, 2);
  io::close_unit(kSum);
}

}  // namespace
