// Reference tables built at load time: the property-number and unit-table
// files (ours and damaged ones), the component identifiers, the version
// adjustment and the ambient pressure.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "loading/scanner.hpp"
#include "support/flowsheet_records.hpp"
#include "support/reference_files.hpp"
#include "support/summary_suite.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;

const std::string kHeaderOnly = " IWPSUMMARY8.0\n";

std::string lines(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& l : v) s += l + "\n";
  return s;
}

// A unit table of one type with the three set units (6 + 3 x 6 words).
std::string small_unit_file() {
  return lines({"ADD", "   1", unit_type_line(1, 3, "LENGTH"), unit_line("M", "1.0"),
                unit_line("FT", "0.3048"), unit_line("CM", "0.01")});
}

const std::string kNoProperties = "ADD\n   0\n";

// However the property entries end, the scanner must be back on its
// standard table, where a percent sign starts a prefixed name.
bool scanner_on_standard_table() {
  scan::configure(1, 3, 1.0 + 1.0 / 256.0, "%ABC");
  scan::Token t;
  scan::next(t);
  return t.type == scan::kPercentName;
}

class ReferenceTables : public ::testing::Test {
 protected:
  void TearDown() override { close_reference_load(); }

  ReferenceLoad load_properties(const std::string& property_text,
                                const std::string& summary = kHeaderOnly) {
    TempSummaryFile prp(property_text, ".DAT"), unt(small_unit_file(), ".DAT");
    return load_with_references(summary, prp.string(), unt.string());
  }
  ReferenceLoad load_units(const std::string& unit_text, const std::string& unitset = "SI") {
    TempSummaryFile prp(kNoProperties, ".DAT"), unt(unit_text, ".DAT");
    return load_with_references(kHeaderOnly, prp.string(), unt.string(), unitset);
  }
};

// ---- Our own files ------------------------------------------------------------

TEST_F(ReferenceTables, BundledFilesAgreeWithTheFixturesAndNameWhatQueriesUse) {
  ReferenceLoad r = load_with_bundled_references(kHeaderOnly);
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(r.messages, "");

  // Property names from the file alone: the fixtures' PSET names must be the
  // same, or a number would have two names in the table.
  for (const PsetEntry& e : fixture_property_names())
    EXPECT_EQ(trim(property_name(e.number)), e.name) << e.number;
  const std::vector<int64_t> numbers_queries_read = {
      36, 37, 38, 39, 40, 41, 42, 61, 62, 63, 64, 88, 89, 90, 94, 95, 96, 105, 106, 111,
      115, 117, 119, 131, 161, 222, 347, 348, 355, 381, 382, 872, 873, 874, 875, 991, 992,
      993, 994, 7001, 7002, 7003};
  for (int64_t p : numbers_queries_read) EXPECT_NE(trim(property_name(p)), "") << p;
  EXPECT_EQ(trim(property_name(1)), "");

  // Unit types: at least 94, unit 1 of each the base unit, gauge and vacuum
  // pressures the only units with a negative offset.
  UnitTable table;
  ASSERT_GE(table.types(), 94);
  const std::vector<std::string> gauge = {"PSIG", "BARG",  "KPAG",     "KG/SQCMG", "MPAG",
                                          "ATMG", "MBARG", "MMHG-VAC", "IN-HG-VAC"};
  for (int64_t t = 1; t <= table.types(); ++t) {
    EXPECT_GE(table.units(t), 3) << t;
    EXPECT_NE(trim(table.type_name(t)), "") << t;
    EXPECT_EQ(std::pair(table.factor(t, 1), table.offset(t, 1)), std::pair(1.0, 0.0)) << t;
    for (int64_t u = 1; u <= table.units(t); ++u) {
      const std::string label = trim(table.label(t, u));
      const bool is_gauge = t == kPressureUnitType &&
                            std::find(gauge.begin(), gauge.end(), label) != gauge.end();
      EXPECT_EQ(table.offset(t, u) < 0.0, is_gauge) << t << " " << label;
    }
  }
  EXPECT_EQ(trim(table.type_name(49)), "MASS-HEAT-CP");
  EXPECT_EQ(trim(table.label(49, 1)), "J/KG-K");
}

// ---- Property-number file ----------------------------------------------------

TEST_F(ReferenceTables, AddLineIsFoundInAnyCaseButNeedsItsBlank) {
  ReferenceLoad r = load_properties("comment\nadd names\n   1\n  7 SEVEN\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(trim(property_name(7)), "SEVEN");

  // "ADDITIONAL" is not the ADD line; the file ends before one is found.
  r = load_properties("ADDITIONAL NAMES\n   1\n  7 SEVEN\n");
  EXPECT_EQ(r.ierr, 2);
  EXPECT_EQ(r.messages, "\n ERROR  -1 READING LINE     4 OF RCPROPNU.DAT FILE\n");

  // Only the first 1000 lines are searched.
  std::string text;
  for (int i = 0; i < 999; ++i) text += "*\n";
  r = load_properties(text + "ADD\n   0\n");
  EXPECT_EQ(r.ierr, 0) << r.messages;
  r = load_properties(text + "*\nADD\n   0\n");
  EXPECT_EQ(r.ierr, 2);
  EXPECT_EQ(r.messages, "\n ERROR   0 READING LINE  1000 OF RCPROPNU.DAT FILE\n");
}

TEST_F(ReferenceTables, PropertyNamesFollowTheTableOfEachLoadAndItsEdits) {
  // Names are looked up by number through an index: it must follow another
  // load with as many entries, a number given twice, and a caller's edit.
  ReferenceLoad r = load_properties("ADD\n   3\n  7 SEVEN\n  8 EIGHT\n  9 NINE\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(trim(property_name(8)), "EIGHT");
  close_reference_load();
  r = load_properties("ADD\n   3\n  7 SEPT\n  8 HUIT\n  7 ALSO-SEVEN\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(trim(property_name(8)), "HUIT");
  EXPECT_EQ(trim(property_name(9)), "");
  // The table is sorted by name: "ALSO-SEVEN" comes before "SEPT".
  EXPECT_EQ(trim(property_name(7)), "ALSO-SEVEN");
  ASSERT_EQ(locs(l::kPropCount), 3);
  for (int64_t k = 0; k < 3; ++k)
    if (work(locs(l::kPropTable) + 4 * k) == 8) work(locs(l::kPropTable) + 4 * k) = 11;
  EXPECT_EQ(trim(property_name(8)), "");
  EXPECT_EQ(trim(property_name(11)), "HUIT");
}

TEST_F(ReferenceTables, PropertyNamesFromEntryLines) {
  // A second name replaces the first unless it is "(" or blank; names are
  // turned into capitals and cut to 12 characters; slashes, percent signs
  // and angle brackets belong to names. The summary file's own names join
  // them.
  ReferenceLoad r = load_properties(
      "ADD\n   7\n"
      "  1 SHORT Long-Name\n"
      "  2 NAME ( described here )\n"
      "  3 lower\n"
      "  4 ABCDEFGHIJKLMNOP\n"
      "  5 MOLE/SEC%<A>\n"
      "  6 FIRST \"\"\n"
      "  7\n",
      kHeaderOnly + " PSET P 1 900001 FROM-PSET )\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  std::vector<std::string> names;
  for (int64_t n : {1, 2, 3, 4, 5, 6, 900001}) names.push_back(trim(property_name(n)));
  EXPECT_EQ(names, (std::vector<std::string>{"LONG-NAME", "NAME", "LOWER", "ABCDEFGHIJKL",
                                             "MOLE/SEC%<A>", "FIRST", "FROM-PSET"}));
  EXPECT_EQ(locs(l::kPropCount), 8);
  EXPECT_TRUE(scanner_on_standard_table());
}

TEST_F(ReferenceTables, DamagedPropertyFilesEndWithCode2) {
  // An entry without its number, fewer entries than the count says, a count
  // that is not a number.
  for (auto [text, message] :
       {std::pair{"ADD\n   2\n  1 A\n  B 2\n", "\n ERROR   0 READING LINE     4 OF RCPROPNU.DAT FILE\n"},
        {"ADD\n   3\n  1 A\n  2 B\n", "\n ERROR  -1 READING LINE     5 OF RCPROPNU.DAT FILE\n"},
        {"ADD\n  X1\n", "\n ERROR  22 READING LINE     2 OF RCPROPNU.DAT FILE\n"}}) {
    ReferenceLoad r = load_properties(text);
    EXPECT_EQ(r.ierr, 2) << text;
    EXPECT_EQ(r.messages, message) << text;
    EXPECT_TRUE(scanner_on_standard_table()) << text;
  }
}

TEST_F(ReferenceTables, MissingReferenceFilesEndTheLoadAtOnce) {
  const std::string absent = "/nonexistent-flowsum-dir/RCPROPNU.DAT";
  ASSERT_EQ(load_with_bundled_references(kHeaderOnly).ierr, 0);
  const int64_t free_before = locs(l::kFreePointer);

  TempSummaryFile unt(small_unit_file(), ".DAT");
  ReferenceLoad r = load_with_references(kHeaderOnly, absent, unt.string());
  EXPECT_EQ(r.ierr, 2);
  EXPECT_EQ(r.messages.substr(0, 28), "\n ERROR   2 OPENING FILE /no");
  EXPECT_NE(r.messages.find(absent + "\n\n FILE NOT FOUND\n"), std::string::npos) << r.messages;
  // The closing steps did not run.
  EXPECT_EQ(locs(l::kFreePointer), free_before);

  TempSummaryFile prp(kNoProperties, ".DAT");
  r = load_with_references(kHeaderOnly, prp.string(), "");
  EXPECT_EQ(r.ierr, 3);
  EXPECT_EQ(r.messages, "\n ERROR   2 OPENING FILE \n\n FILE NOT FOUND\n");

  // A reference unit that is the summary or the scratch unit is refused: the
  // file exists, so only the open message is written, and the summary file
  // stays where the caller opened it.
  r = load_with_references(kHeaderOnly, prp.string(), unt.string(), "SI", kRefSummaryUnit);
  EXPECT_EQ(r.ierr, 2);
  EXPECT_EQ(r.messages, "\n ERROR  -1 OPENING FILE " + prp.string() + "\n");
  EXPECT_TRUE(io::is_open(kRefSummaryUnit));
  r = load_with_references(kHeaderOnly, prp.string(), unt.string(), "SI", kRefPropertyUnit,
                           kRefScratchUnit);
  EXPECT_EQ(r.ierr, 3);
  std::string_view first;
  ASSERT_EQ(io::read_record(kRefScratchUnit, 1, first), 0);
  EXPECT_EQ(first, kHeaderOnly.substr(0, kHeaderOnly.size() - 1));
}

// ---- Unit-table file ---------------------------------------------------------

TEST_F(ReferenceTables, UnitTableColumnsNamesAndSets) {
  std::string text = lines({"* comment", "ADD", "   2", unit_type_line(1, 3, "temperature"),
                            unit_line("k", "1.0"), unit_line("F", "0.5555555555555556", "255.37222222222223"),
                            unit_line("C", "1.0", "273.15                 XX"),
                            unit_type_line(2, 4, "LENGTH"), unit_line("M", "1"), unit_line("FT", " 3.048 E-1"),
                            unit_line("KM", "1.0D3", " "), unit_line("IN", "2.54-2")});
  ReferenceLoad r = load_units(text, "MET");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable t;
  ASSERT_EQ(t.types(), 2);
  EXPECT_EQ(trim(t.type_name(1)), "TEMPERATURE");
  EXPECT_EQ(trim(t.label(1, 1)), "K");
  EXPECT_DOUBLE_EQ(t.offset(1, 3), 273.15);  // columns 76-77 are not read
  EXPECT_EQ(t.factor(2, 1), 1.0);             // no full stop: the value as written
  EXPECT_DOUBLE_EQ(t.factor(2, 2), 0.3048);
  EXPECT_DOUBLE_EQ(t.factor(2, 3), 1000.0);
  EXPECT_EQ(t.offset(2, 3), 0.0);  // blank offset
  EXPECT_DOUBLE_EQ(t.factor(2, 4), 0.0254);
  EXPECT_EQ(t.find_unit(2, "IN"), 4);
  // Every type records the unit set of the load; the target units too.
  EXPECT_EQ((std::vector<int64_t>{work(locs(l::kUnitTypes) + 2), work(locs(l::kUnitTypes) + 8),
                                  work(locs(l::kTargetUnits)), work(locs(l::kTargetUnits) + 1)}),
            (std::vector<int64_t>{3, 3, 3, 3}));
}

// Damaged tables end with code 3 and keep their complete types; a type out
// of order is reported and still loaded.
TEST_F(ReferenceTables, DamagedUnitTablesEndWithCode3AndCompleteTypesOnly) {
  struct Case {
    std::vector<std::string> text;
    const char* message;
    int64_t types;  // complete types left in the table
  };
  const std::string one = unit_type_line(1, 1, "ONE"), a = unit_line("A", "1.0");
  for (const Case& c : {
           Case{{"ADD", "   2", one, a, unit_type_line(2, 2, "TWO"), unit_line("B", "1.0")},
                "\n ERROR  -1 READING LINE     7 OF RCUNITS.DAT FILE\n", 1},
           Case{{"ADD", "   1", one, unit_line("A", "ONE")},
                "\n ERROR  22 READING LINE     4 OF RCUNITS.DAT FILE\n", 0},
           Case{{"ADD", "   1", unit_type_line(1, -1, "NEG")},
                "\n ERROR  22 READING LINE     3 OF RCUNITS.DAT FILE\n", 0},
           Case{{"ADD", "   T1"}, "\n ERROR  22 READING LINE     2 OF RCUNITS.DAT FILE\n", 0},
           Case{{"NO ADD LINE"}, "\n ERROR  -1 READING LINE     2 OF RCUNITS.DAT FILE\n", 0},
           Case{{"ADD", "   3", one, a, unit_type_line(2, 1, "TWO"), unit_line("B", "1.0"),
                 unit_type_line(4, 1, "THREE"), unit_line("C", "1.0")},
                "\n UNIT TYPE NO.   4 IN RCUNITS.DAT IS OUT OF ORDER\n", 3},
       }) {
    ReferenceLoad r = load_units(lines(c.text));
    EXPECT_EQ(r.ierr, 3) << c.message;
    EXPECT_EQ(r.messages, c.message);
    EXPECT_EQ(glob(g::kNunitTypes), c.types) << c.message;
    if (c.types == 3) EXPECT_EQ(trim(UnitTable().label(3, 1)), "C");
    // The closing steps ran: target units above the unit entries.
    EXPECT_GE(locs(l::kTargetUnits), locs(l::kUnitEntries)) << c.message;
  }
}

// ---- Work area too small -----------------------------------------------------

// A summary whose property set of n entries (4 words each) fills the work
// area up to a known word, optionally with an IDSET "ID_NCC".
std::string filling_summary(int64_t n, const std::string& components = "") {
  std::string s = kHeaderOnly + " PSET P " + std::to_string(n) + "\n";
  std::string line = " ";
  for (int64_t k = 1; k <= n; ++k) {
    line += " " + std::to_string(k) + " A";
    if (line.size() > 68) {
      s += line + "\n";
      line = " ";
    }
  }
  s += line + " )\n";
  if (!components.empty()) s += " IDSET ID_NCC (COMPONENTS) (" + components + ")\n";
  return s;
}

TEST_F(ReferenceTables, TablesThatDoNotFitTheWorkAreaEndWithCode4) {
  std::string ten = "ADD\n  10\n";
  for (int k = 1; k <= 10; ++k) ten += " " + std::to_string(k) + " P" + std::to_string(k) + "\n";
  TempSummaryFile none(kNoProperties, ".DAT"), small(small_unit_file(), ".DAT"), props(ten, ".DAT");
  auto load = [&](int64_t n, const TempSummaryFile& prp, const std::string& components = "") {
    return load_with_references(filling_summary(n, components), prp.string(), small.string());
  };

  // Body: words 1 .. 4n (properties) and 5 tree words; growing the property
  // region by 40 more words passes the 2 000 000 words.
  ReferenceLoad r = load(499990, props);
  EXPECT_EQ(r.ierr, 4);
  EXPECT_EQ(r.messages,
            "\n INSUFFICIENT WORK AREA WHILE PROCESSING RCPROPNU.DAT\n FILE WITH WORK SIZE OF2000000\n");

  // The type table fits, its 3 units (18 words) do not.
  r = load(499997, none);
  EXPECT_EQ(r.ierr, 4);
  EXPECT_EQ(r.messages,
            "\n INSUFFICIENT WORK AREA WHILE PROCESSING RCUNITS.DAT\n FILE WITH WORK SIZE OF2000000\n");
  EXPECT_EQ(glob(g::kNunitTypes), 0);

  // Components start at word 1 999 997: two identifiers fit, the third not.
  r = load(499991, none, "A B C");
  EXPECT_EQ(r.ierr, 4);
  EXPECT_EQ(r.messages,
            "\n INSUFFICIENT WORK AREA WHILE LOADING COMPONENT NAMES\n CURRENT WORK SIZE =2000000\n");
  EXPECT_EQ(locs(l::kComponents), 1999997);
  EXPECT_EQ(glob(g::kNcc), 2);
  EXPECT_EQ(trim(component_id(2)), "B");
}

// ---- Component identifiers ---------------------------------------------------

TEST_F(ReferenceTables, ComponentIdentifiersFromBothLists) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  w.components({"WATER", "METHANE", "LONGCOMPONENT"}, {"COAL", "ASH"});
  ReferenceLoad r = load_with_bundled_references(b.text());
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(glob(g::kNcc), 3);
  EXPECT_EQ(glob(g::kNcomp), 5);
  std::vector<std::string> ids;
  for (int64_t k = 1; k <= 5; ++k) ids.push_back(trim(component_id(k)));
  EXPECT_EQ(ids, (std::vector<std::string>{"WATER", "METHANE", "LONGCOMP", "COAL", "ASH"}));

  // Without "ID_NCC" the other list starts at the table's first word; a list
  // over many lines is read to its ")", and a later IDSET of the same name
  // replaces an earlier one.
  Layout one_a_line;
  one_a_line.tokens_per_line = 1;
  SummaryBuilder c(one_a_line);
  c.header();
  c.idset("ID_NNC", {"COMPONENTS"}, {{{"OLD"}}});
  c.idset("ID_NNC", {"COMPONENTS"}, {{{"N1"}}, {{"N2"}}, {{"N3"}}});
  c.dset({"AFTER", "LIST"}, "Q", {Value::text("NOT-AN-ID")});
  r = load_with_bundled_references(c.text());
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(glob(g::kNcc), 0);
  EXPECT_EQ(glob(g::kNnc), 3);
  EXPECT_EQ(trim(component_id(3)), "N3");
  EXPECT_EQ(trim(component_id(4)), "");

  // At most 1000 identifiers are taken from one list.
  std::string many;
  for (int k = 0; k < 1005; ++k) many += "C" + std::to_string(k) + (k % 8 == 7 ? "\n  " : " ");
  r = load_with_bundled_references(kHeaderOnly + " IDSET ID_NCC (COMPONENTS) (" + many + ")\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(glob(g::kNcc), 1000);
  EXPECT_EQ(trim(component_id(1000)), "C999");
}

// ---- Closing steps -----------------------------------------------------------

// A run with its version text and, unless none is given, its ambient
// pressure written in unit pamb_code of the pressure type.
std::string run_file(const std::string& version, std::optional<double> pamb,
                     int64_t pamb_code = 1) {
  SummaryBuilder b;
  b.header();
  FlowsheetWriter w(b);
  RunInfo info;
  info.version = version;
  info.ambient_pressure = pamb;
  w.run_status(info);
  std::string text = b.text();
  if (pamb && pamb_code != 1) {
    const std::string written = format_real(*pamb) + " 1";
    const size_t at = text.rfind(written);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos)
      text.replace(at, written.size(), format_real(*pamb) + " " + std::to_string(pamb_code));
  }
  return text;
}

TEST_F(ReferenceTables, OldVersionsTradePropertyRangesAndUnitTypes) {
  ReferenceLoad r = load_with_bundled_references(run_file("12.1", 101325.0));
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable now;
  const std::string type85 = now.type_name(85), type91 = now.type_name(91);
  ASSERT_NE(type85, type91);
  EXPECT_EQ(trim(property_name(905)), "OMEGA");
  const std::string name905 = property_name(905), name27005 = property_name(27005);

  r = load_with_bundled_references(run_file("8.2", 101325.0));
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable old;
  EXPECT_EQ(old.type_name(85), type91);
  EXPECT_EQ(old.type_name(88), now.type_name(94));
  EXPECT_EQ(old.type_name(84), now.type_name(84));
  EXPECT_EQ(property_name(27005), name905);
  EXPECT_EQ(property_name(905), name27005);

  for (const char* version : {"10.1", "   "}) {
    r = load_with_bundled_references(run_file(version, 101325.0));
    ASSERT_EQ(r.ierr, 0) << r.messages;
    EXPECT_EQ(UnitTable().type_name(85), type85) << version;
    EXPECT_EQ(property_name(905), name905) << version;
  }
}

TEST_F(ReferenceTables, AmbientPressureIsKeptInTheBaseUnit) {
  ReferenceLoad r = load_with_bundled_references(run_file("12.1", 0.95, 3));  // in bar
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_DOUBLE_EQ(rglb(2), 95000.0);
}

}  // namespace
