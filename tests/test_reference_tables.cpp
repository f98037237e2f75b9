// Reference tables built at load time: the property-number and unit-table
// files (ours and damaged ones), the component identifiers, the version
// adjustment and the ambient pressure.
#include <gtest/gtest.h>

#include <algorithm>
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
using Texts = std::vector<std::string>;

const std::string kHeaderOnly = " IWPSUMMARY8.0\n";
const std::string kNoProperties = "ADD\n   0\n";

std::string lines(const Texts& v) {
  std::string s;
  for (const auto& l : v) s += l + "\n";
  return s;
}
// A unit table of one type with the three set units.
const std::string kSmallUnits =
    lines({"ADD", "   1", unit_type_line(1, 3, "LENGTH"), unit_line("M", "1.0"), unit_line("FT", "0.3048"), unit_line("CM", "0.01")});

// However the property entries end, the scanner must be back on its
// standard table, where a percent sign starts a prefixed name.
bool scanner_on_standard_table() {
  scan::configure(1, 3, 1.0 + 1.0 / 256.0, "%ABC");
  scan::Token t;
  scan::next(t);
  return t.type == scan::kPercentName;
}

Texts names_of(std::initializer_list<int64_t> numbers) {
  Texts out;
  for (int64_t n : numbers) out.push_back(trim(property_name(n)));
  return out;
}

class ReferenceTables : public ::testing::Test {
 protected:
  void TearDown() override { close_reference_load(); }
  static ReferenceLoad load(const std::string& properties, const std::string& units = kSmallUnits,
                            const std::string& summary = kHeaderOnly, const std::string& unitset = "SI") {
    TempSummaryFile prp(properties, ".DAT"), unt(units, ".DAT");
    return load_with_references(summary, prp.string(), unt.string(), unitset);
  }
};

TEST_F(ReferenceTables, BundledFilesAgreeWithTheFixtures) {
  ReferenceLoad r = load_with_bundled_references(kHeaderOnly);
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(r.messages, "");
  // The fixtures' PSET names must be the file's, or a number would have two
  // names in the table; gauge and vacuum pressures are the only units with
  // a negative offset.
  for (const PsetEntry& e : fixture_property_names()) EXPECT_EQ(trim(property_name(e.number)), e.name) << e.number;
  UnitTable table;
  const Texts gauge = {"PSIG", "BARG", "KPAG", "KG/SQCMG", "MPAG", "ATMG", "MBARG", "MMHG-VAC", "IN-HG-VAC"};
  for (int64_t t = 1; t <= table.types(); ++t)
    for (int64_t u = 1; u <= table.units(t); ++u) {
      const bool is_gauge = t == kPressureUnitType && std::count(gauge.begin(), gauge.end(), trim(table.label(t, u)));
      EXPECT_EQ(table.offset(t, u) < 0.0, is_gauge) << t << " " << table.label(t, u);
    }
}

TEST_F(ReferenceTables, PropertyFiles) {
  // The ADD line is found in any case but needs its blank, among the first
  // 1000 lines. A second name replaces the first unless it is "(" or blank;
  // names are turned into capitals and cut to 12 characters; slashes,
  // percent signs and angle brackets belong to names. The summary file's
  // own names join them.
  std::string nines;
  for (int i = 0; i < 999; ++i) nines += "*\n";
  ReferenceLoad r = load("comment\nadd names\n   7\n  1 SHORT Long-Name\n  2 NAME ( described here )\n  3 lower\n"
                         "  4 ABCDEFGHIJKLMNOP\n  5 MOLE/SEC%<A>\n  6 FIRST \"\"\n  7\n",
                         kSmallUnits, kHeaderOnly + " PSET P 1 900001 FROM-PSET )\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(names_of({1, 2, 3, 4, 5, 6, 900001}),
            (Texts{"LONG-NAME", "NAME", "LOWER", "ABCDEFGHIJKL", "MOLE/SEC%<A>", "FIRST", "FROM-PSET"}));
  EXPECT_EQ(locs(l::kPropCount), 8);
  EXPECT_TRUE(scanner_on_standard_table());
  EXPECT_EQ(load(nines + "ADD\n   0\n").ierr, 0);

  // Damaged files end the load with code 2 and the scanner on its table.
  for (auto [text, message] : {
           std::pair<std::string, std::string>{"ADDITIONAL NAMES\n   1\n  7 SEVEN\n", "  -1 READING LINE     4"},
           {nines + "*\nADD\n   0\n", "   0 READING LINE  1000"},
           {"ADD\n   2\n  1 A\n  B 2\n", "   0 READING LINE     4"},  // an entry without its number
           {"ADD\n   3\n  1 A\n  2 B\n", "  -1 READING LINE     5"},  // fewer entries than counted
           {"ADD\n  X1\n", "  22 READING LINE     2"}}) {
    r = load(text);
    EXPECT_EQ(r.ierr, 2) << text.substr(0, 30);
    EXPECT_EQ(r.messages, "\n ERROR" + message + " OF RCPROPNU.DAT FILE\n");
    EXPECT_TRUE(scanner_on_standard_table()) << text.substr(0, 30);
  }

  // Names are looked up by number through an index: it must follow another
  // load with as many entries, a number given twice, and a caller's edit.
  ASSERT_EQ(load("ADD\n   3\n  7 SEVEN\n  8 EIGHT\n  9 NINE\n").ierr, 0);
  EXPECT_EQ(trim(property_name(8)), "EIGHT");
  close_reference_load();
  ASSERT_EQ(load("ADD\n   3\n  7 SEPT\n  8 HUIT\n  7 ALSO-SEVEN\n").ierr, 0);
  // Sorted by name: "ALSO-SEVEN" comes before "SEPT".
  EXPECT_EQ(names_of({8, 9, 7}), (Texts{"HUIT", "", "ALSO-SEVEN"}));
  for (int64_t k = 0; k < 3; ++k)
    if (work(locs(l::kPropTable) + 4 * k) == 8) work(locs(l::kPropTable) + 4 * k) = 11;
  EXPECT_EQ(names_of({8, 11}), (Texts{"", "HUIT"}));
}

TEST_F(ReferenceTables, MissingReferenceFilesEndTheLoadAtOnce) {
  const std::string absent = "/nonexistent-flowsum-dir/RCPROPNU.DAT";
  ASSERT_EQ(load_with_bundled_references(kHeaderOnly).ierr, 0);
  const int64_t free_before = locs(l::kFreePointer);
  TempSummaryFile prp(kNoProperties, ".DAT"), unt(kSmallUnits, ".DAT");
  ReferenceLoad r = load_with_references(kHeaderOnly, absent, unt.string());
  EXPECT_EQ(r.ierr, 2);
  EXPECT_EQ(r.messages, "\n ERROR   2 OPENING FILE " + absent + "\n\n FILE NOT FOUND\n");
  EXPECT_EQ(locs(l::kFreePointer), free_before) << "the closing steps did not run";
  r = load_with_references(kHeaderOnly, prp.string(), "");
  EXPECT_EQ(std::pair(r.ierr, r.messages), std::pair(int64_t{3}, std::string("\n ERROR   2 OPENING FILE \n\n FILE NOT FOUND\n")));
  // A reference unit that is the summary or the scratch unit is refused:
  // only the open message, and the caller's summary unit stays as it was.
  r = load_with_references(kHeaderOnly, prp.string(), unt.string(), "SI", kRefSummaryUnit);
  EXPECT_EQ(std::pair(r.ierr, r.messages), std::pair(int64_t{2}, "\n ERROR  -1 OPENING FILE " + prp.string() + "\n"));
  EXPECT_TRUE(io::is_open(kRefSummaryUnit));
  r = load_with_references(kHeaderOnly, prp.string(), unt.string(), "SI", kRefPropertyUnit, kRefScratchUnit);
  EXPECT_EQ(r.ierr, 3);
  std::string_view first;
  ASSERT_EQ(io::read_record(kRefScratchUnit, 1, first), 0);
  EXPECT_EQ(first, " IWPSUMMARY8.0");
}

TEST_F(ReferenceTables, UnitTables) {
  ReferenceLoad r = load(kNoProperties,
                         lines({"* comment", "ADD", "   2", unit_type_line(1, 3, "temperature"), unit_line("k", "1.0"),
                                unit_line("F", "0.5555555555555556", "255.37222222222223"),
                                unit_line("C", "1.0", "273.15                 XX"), unit_type_line(2, 4, "LENGTH"),
                                unit_line("M", "1"), unit_line("FT", " 3.048 E-1"), unit_line("KM", "1.0D3", " "),
                                unit_line("IN", "2.54-2")}),
                         kHeaderOnly, "MET");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable t;
  ASSERT_EQ(t.types(), 2);
  EXPECT_EQ(trim(t.type_name(1)) + " " + trim(t.label(1, 1)), "TEMPERATURE K");
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

  // Damaged tables end with code 3 and keep their complete types; a type
  // out of order is reported and still loaded.
  const std::string one = unit_type_line(1, 1, "ONE"), a = unit_line("A", "1.0");
  struct Case {
    Texts text;
    const char* message;
    int64_t types;  // complete types left in the table
  } cases[] = {
      {{"ADD", "   2", one, a, unit_type_line(2, 2, "TWO"), unit_line("B", "1.0")}, "  -1 READING LINE     7", 1},
      {{"ADD", "   1", one, unit_line("A", "ONE")}, "  22 READING LINE     4", 0},
      {{"ADD", "   1", unit_type_line(1, -1, "NEG")}, "  22 READING LINE     3", 0},
      {{"ADD", "   T1"}, "  22 READING LINE     2", 0},
      {{"NO ADD LINE"}, "  -1 READING LINE     2", 0},
      {{"ADD", "   3", one, a, unit_type_line(2, 1, "TWO"), unit_line("B", "1.0"), unit_type_line(4, 1, "THREE"),
        unit_line("C", "1.0")},
       "", 3},
  };
  for (const Case& c : cases) {
    r = load(kNoProperties, lines(c.text));
    EXPECT_EQ(r.ierr, 3) << c.message;
    EXPECT_EQ(r.messages, *c.message ? "\n ERROR" + std::string(c.message) + " OF RCUNITS.DAT FILE\n"
                                     : "\n UNIT TYPE NO.   4 IN RCUNITS.DAT IS OUT OF ORDER\n");
    EXPECT_EQ(glob(g::kNunitTypes), c.types) << c.message;
    if (c.types == 3) EXPECT_EQ(trim(UnitTable().label(3, 1)), "C");
    EXPECT_GE(locs(l::kTargetUnits), locs(l::kUnitEntries)) << "the closing steps ran";
  }
}

TEST_F(ReferenceTables, TablesThatDoNotFitTheWorkAreaEndWithCode4) {
  // A summary whose property set of n entries (4 words each) fills the work
  // area up to a known word, optionally with an IDSET "ID_NCC".
  auto filling = [](int64_t n, const std::string& components) {
    std::string s = kHeaderOnly + " PSET P " + std::to_string(n) + "\n", line = " ";
    for (int64_t k = 1; k <= n; ++k) {
      line += " " + std::to_string(k) + " A";
      if (line.size() > 68) s += line + "\n", line = " ";
    }
    s += line + " )\n";
    return components.empty() ? s : s + " IDSET ID_NCC (COMPONENTS) (" + components + ")\n";
  };
  std::string ten = "ADD\n  10\n";
  for (int k = 1; k <= 10; ++k) ten += " " + std::to_string(k) + " P" + std::to_string(k) + "\n";
  const std::string head = "\n INSUFFICIENT WORK AREA WHILE ";
  // Words 1 .. 4n hold properties, 5 the tree: growing the property region
  // by 40 more words passes the 2 000 000 words. Then the type table fits
  // but its 3 units (18 words) do not. Then components start at word
  // 1 999 997: two identifiers fit, the third not.
  ReferenceLoad r = load(ten, kSmallUnits, filling(499990, ""));
  EXPECT_EQ(std::pair(r.ierr, r.messages),
            std::pair(int64_t{4}, head + "PROCESSING RCPROPNU.DAT\n FILE WITH WORK SIZE OF2000000\n"));
  r = load(kNoProperties, kSmallUnits, filling(499997, ""));
  EXPECT_EQ(std::pair(r.ierr, r.messages),
            std::pair(int64_t{4}, head + "PROCESSING RCUNITS.DAT\n FILE WITH WORK SIZE OF2000000\n"));
  EXPECT_EQ(glob(g::kNunitTypes), 0);
  r = load(kNoProperties, kSmallUnits, filling(499991, "A B C"));
  EXPECT_EQ(std::pair(r.ierr, r.messages),
            std::pair(int64_t{4}, head + "LOADING COMPONENT NAMES\n CURRENT WORK SIZE =2000000\n"));
  EXPECT_EQ((std::vector<int64_t>{locs(l::kComponents), glob(g::kNcc)}), (std::vector<int64_t>{1999997, 2}));
  EXPECT_EQ(trim(component_id(2)), "B");
}

TEST_F(ReferenceTables, ComponentIdentifierEdges) {
  // Identifiers are cut to 8 characters. Without "ID_NCC" the other list
  // starts at the table's first word; a list over many lines is read to its
  // ")", and a later IDSET of the same name replaces an earlier one.
  Layout one_a_line;
  one_a_line.tokens_per_line = 1;
  SummaryBuilder c(one_a_line);
  c.header();
  c.idset("ID_NNC", {"COMPONENTS"}, {{{"OLD"}}});
  c.idset("ID_NNC", {"COMPONENTS"}, {{{"N1"}}, {{"LONGCOMPONENT"}}, {{"N3"}}});
  c.dset({"AFTER", "LIST"}, "Q", {Value::text("NOT-AN-ID")});
  ReferenceLoad r = load_with_bundled_references(c.text());
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(std::pair(glob(g::kNcc), glob(g::kNnc)), std::pair(int64_t{0}, int64_t{3}));
  EXPECT_EQ(trim(component_id(2)) + "/" + trim(component_id(3)) + "/" + trim(component_id(4)), "LONGCOMP/N3/");
  // At most 1000 identifiers are taken from one list.
  std::string many;
  for (int k = 0; k < 1005; ++k) many += "C" + std::to_string(k) + (k % 8 == 7 ? "\n  " : " ");
  r = load_with_bundled_references(kHeaderOnly + " IDSET ID_NCC (COMPONENTS) (" + many + ")\n");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(std::pair(glob(g::kNcc), trim(component_id(1000))), std::pair(int64_t{1000}, std::string("C999")));
}

// A run with its version text and, unless none is given, its ambient
// pressure written in unit pamb_code of the pressure type.
std::string run_file(const std::string& version, double pamb, int64_t pamb_code = 1) {
  SummaryBuilder b;
  b.header();
  RunInfo info;
  info.version = version;
  info.ambient_pressure = pamb;
  FlowsheetWriter(b).run_status(info);
  std::string text = b.text();
  const std::string written = format_real(pamb) + " 1";
  if (pamb_code != 1) text.replace(text.rfind(written), written.size(), format_real(pamb) + " " + std::to_string(pamb_code));
  return text;
}

TEST_F(ReferenceTables, OldVersionsTradePropertyRangesAndUnitTypes) {
  ReferenceLoad r = load_with_bundled_references(run_file("12.1", 101325.0));
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable now;
  const std::string type85 = now.type_name(85), type91 = now.type_name(91);
  ASSERT_NE(type85, type91);
  EXPECT_EQ(trim(property_name(905)), "OMEGA");
  const std::string name905 = property_name(905);
  // Old versions trade 901..977 with 27001..27077: the lower edge and one inside.
  auto names = [](std::initializer_list<int64_t> ps) {
    Texts t;
    for (int64_t p : ps) t.push_back(property_name(p));
    return t;
  };
  const Texts traded = names({901, 905, 27001, 27005});

  r = load_with_bundled_references(run_file("8.2", 101325.0));
  ASSERT_EQ(r.ierr, 0) << r.messages;
  UnitTable old;
  EXPECT_EQ(Texts({old.type_name(85), old.type_name(88), old.type_name(84)}),
            Texts({type91, now.type_name(94), now.type_name(84)}));
  EXPECT_EQ(names({27001, 27005, 901, 905}), traded);

  for (const char* version : {"10.1", "   "}) {
    r = load_with_bundled_references(run_file(version, 101325.0));
    ASSERT_EQ(r.ierr, 0) << r.messages;
    EXPECT_EQ(Texts({UnitTable().type_name(85), property_name(905)}), Texts({type85, name905})) << version;
  }
  // The ambient pressure is kept in the base unit (here given in bar).
  r = load_with_bundled_references(run_file("12.1", 0.95, 3));
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_DOUBLE_EQ(rglb(2), 95000.0);
}

}  // namespace
