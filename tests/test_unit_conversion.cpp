// Unit conversion through the exported routines over our own unit table:
// known values, unit sets and overrides, labels, missing values, gauge
// pressures, and the state before any target table exists.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/reference_tables.hpp"
#include "store/text_field.hpp"
#include "support/flowsheet_records.hpp"
#include "support/reference_files.hpp"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"
#include "units/unit_conversion.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;
using Texts = std::vector<std::string>;

constexpr double kAmbient = 95000.0;  // Pa, the run's ambient pressure
constexpr double kPsi = 6894.757293168361;
constexpr double kMmHg = 133.322387415;

struct Converted {
  double value;
  std::string label;
};

// TKUCNV with a 16-character label field.
Converted ucnv(int64_t type, int64_t unit, double value) {
  double result = -1.0;
  char label[16];
  tkucnv_(&type, &unit, &value, &result, label, sizeof label);
  return {result, trim(std::string_view(label, sizeof label))};
}

int64_t unit_number(int64_t type, const std::string& label) {
  int64_t u = UnitTable().find_unit(type, label);
  EXPECT_NE(u, 0) << type << " " << label;
  return u;
}

// TKRCNV from the unit labelled `from` into the unit labelled `to`.
double rcnv(int64_t type, const std::string& from, const std::string& to, double value) {
  int64_t unit = unit_number(type, from);
  std::string field = to;
  double result = 0.0;
  tkrcnv_(&type, &unit, field.data(), &value, &result, field.size());
  return result;
}

int64_t choose_units(std::string set, const Texts& types = {}, const Texts& labels = {}) {
  std::string type_fields, label_fields;
  for (const auto& t : types) type_fields += padded(t, 12);
  for (const auto& l : labels) label_fields += padded(l, 16);
  int64_t n = static_cast<int64_t>(types.size()), ierr = -1;
  tkunit_(set.data(), &n, type_fields.data(), label_fields.data(), &ierr, set.size(), 12, 16);
  return ierr;
}

Texts labels_of(const Texts& types) {
  std::string type_fields, label_fields(16 * types.size(), '?');
  for (const auto& t : types) type_fields += padded(t, 12);
  int64_t n = static_cast<int64_t>(types.size());
  tklabl_(&n, type_fields.data(), label_fields.data(), 12, 16);
  Texts out;
  for (size_t i = 0; i < types.size(); ++i) out.push_back(trim(label_fields.substr(16 * i, 16)));
  return out;
}

// TKCNVT into an array prefilled with -7.
std::vector<double> cnvt(std::string type, std::string label, std::vector<double> in) {
  std::vector<double> out(in.size(), -7.0);
  int64_t n = static_cast<int64_t>(in.size());
  tkcnvt_(type.data(), label.data(), &n, in.data(), out.data(), type.size(), label.size());
  return out;
}

class UnitConversion : public ::testing::Test {
 protected:
  void TearDown() override { close_reference_load(); }
  // A run whose PAMB data set gives the ambient pressure in Pa (or none).
  void load(const std::string& set, std::optional<double> pamb = kAmbient) {
    SummaryBuilder b;
    b.header();
    RunInfo info;
    info.ambient_pressure = pamb;
    FlowsheetWriter(b).run_status(info);
    ReferenceLoad r = load_with_bundled_references(b.text(), set);
    ASSERT_EQ(r.ierr, 0) << r.messages;
  }
};

TEST_F(UnitConversion, KnownValuesBetweenNamedUnits) {
  load("SI");
  EXPECT_NEAR(rcnv(20, "PSIA", "ATM", 14.695948775513450), 1.0, 1e-14);
  EXPECT_NEAR(rcnv(22, "C", "F", 0.0), 32.0, 1e-12);
  EXPECT_NEAR(rcnv(22, "C", "F", -40.0), -40.0, 1e-12);
  EXPECT_NEAR(rcnv(10, "LB/HR", "KG/SEC", 3600.0), 0.45359237, 1e-15);
  // Types and units outside the table: unchanged, no label.
  for (auto [type, unit] : {std::pair<int64_t, int64_t>{0, 1}, {UnitTable().types() + 1, 1}, {22, 0},
                            {22, UnitTable().units(22) + 1}}) {
    Converted r = ucnv(type, unit, 5.0);
    EXPECT_EQ(r.value, 5.0) << type << " " << unit;
    EXPECT_EQ(r.label, "") << type << " " << unit;
  }
}

TEST_F(UnitConversion, GaugePressuresUseTheRunsAmbientPressure) {
  load("SI");
  ASSERT_EQ(rglb(2), kAmbient);
  Converted c = ucnv(20, unit_number(20, "PSIG"), 10.0);
  EXPECT_NEAR(c.value, 10.0 * kPsi + kAmbient, 1e-9);
  EXPECT_EQ(c.label, "PA");
  EXPECT_NEAR(ucnv(20, unit_number(20, "MMHG-VAC"), 100.0).value, kAmbient - 100.0 * kMmHg, 1e-9);
  // The converters into named units treat gauge units the same way.
  EXPECT_NEAR(rcnv(20, "PA", "BARG", 200000.0), 1.05, 1e-14);
  EXPECT_NEAR(cnvt("PRESSURE", "PSIG", {10.0 * kPsi + kAmbient})[0], 10.0, 1e-12);

  // A run without PAMB: gauge units against one standard atmosphere.
  load("ENG", std::nullopt);
  EXPECT_EQ(rglb(2), 101325.0);
  choose_units("ENG", {"PRESSURE"}, {"PSIG"});
  c = ucnv(20, 1, 101325.0 + 14.5 * kPsi);
  EXPECT_EQ(c.label, "PSIG");
  EXPECT_NEAR(c.value, 14.5, 1e-12);
}

TEST_F(UnitConversion, StoredValuesIntoEachUnitSet) {
  struct Case {
    const char* set;
    double value;
    const char* label;
  };
  const int64_t fahrenheit = 2;
  for (const Case& c : {Case{"SI", 373.15, "K"}, Case{"ENG", 212.0, "F"}, Case{"MET", 100.0, "C"},
                        Case{"OUT", 212.0, "F"}}) {
    load(c.set);
    Converted r = ucnv(22, fahrenheit, 212.0);
    EXPECT_NEAR(r.value, c.value, 1e-12) << c.set;
    EXPECT_EQ(r.label, c.label) << c.set;
    // A missing value is never converted but carries the target's label.
    r = ucnv(22, fahrenheit, -1.0e35);
    EXPECT_EQ(r.value, -1.0e35);
    EXPECT_EQ(r.label, c.label) << c.set;
  }
  // With the stored units kept, there are no target labels and no
  // conversions into named units.
  EXPECT_EQ(labels_of({"TEMPERATURE", "PRESSURE"}), (Texts{"", ""}));
  EXPECT_EQ(cnvt("TEMPERATURE", "C", {300.0}), std::vector<double>{300.0});
}

TEST_F(UnitConversion, LabelFieldsAreCutOrPaddedToTheCallersLength) {
  load("SI");
  for (auto [width, want] : {std::pair<size_t, std::string>{6, "KMOL/S"}, {10, "KMOL/SEC  "}}) {
    Field label(width);
    double result = 0.0;
    call(tkucnv_, int64_t{11}, int64_t{2}, 3600.0, result, label);
    EXPECT_EQ(label.text(), want);
    EXPECT_NEAR(result, 0.45359237, 1e-15);
  }
}

TEST_F(UnitConversion, ChoosingTargetUnits) {
  load("SI");
  // An unknown set name (case matters) changes nothing.
  EXPECT_EQ(choose_units("si"), 1);
  EXPECT_EQ(target_unit(22), 1);
  EXPECT_EQ(choose_units("MET"), 0);
  EXPECT_EQ(labels_of({"TEMPERATURE", "NO-SUCH-TYPE"}), (Texts{"C", ""}));

  // The set applies first; overrides in order until one fails.
  EXPECT_EQ(choose_units("ENG", {"TEMPERATURE", "PRESSURE", "MASS-FLOW"}, {"R", "NOPE", "KG/HR"}), 1);
  EXPECT_EQ(labels_of({"TEMPERATURE", "PRESSURE", "MASS-FLOW"}), (Texts{"R", "PSIA", "LB/HR"}));
  EXPECT_NEAR(ucnv(22, 1, 100.0).value, 180.0, 1e-12);
  EXPECT_EQ(choose_units("SI", {"NO-SUCH-TYPE"}, {"K"}), 1);
  EXPECT_EQ(target_unit(22), 1);

  EXPECT_EQ(choose_units("SI", {"MASS-FLOW"}, {"TONNE/DAY"}), 0);
  Converted c = ucnv(10, 1, 1.0);
  EXPECT_NEAR(c.value, 86.4, 1e-12);
  EXPECT_EQ(c.label, "TONNE/DAY");

  // TKCNVT and TKRCNV convert from the current target unit and treat a
  // missing value like any number.
  choose_units("SI");
  std::vector<double> out = cnvt("TEMPERATURE", "C", {273.15, 373.15, 1.0e35});
  EXPECT_NEAR(out[1], 100.0, 1e-12);
  EXPECT_EQ(out[2], 1.0e35 - 273.15);
  EXPECT_EQ(cnvt("TEMPERATURE", "NO-SUCH-UNIT", {1.0, 2.0}), (std::vector<double>{1.0, 2.0}));
  EXPECT_NEAR(rcnv(22, "K", "C", 1.0e35), 1.0e35 - 273.15, 1e21);
}

TEST_F(UnitConversion, BeforeAnyTargetTableExists) {
  load("SI");
  const int64_t saved = locs(l::kTargetUnits);
  const int64_t free_word = locs(l::kFreePointer);
  locs(l::kTargetUnits) = 0;

  Converted c = ucnv(22, 2, 212.0);
  EXPECT_EQ(c.value, 212.0);
  EXPECT_EQ(c.label, "");
  EXPECT_EQ(cnvt("TEMPERATURE", "C", {1.0, 2.0}), (std::vector<double>{-7.0, -7.0}));
  EXPECT_EQ(labels_of({"TEMPERATURE"}), Texts{""});
  EXPECT_EQ(rcnv(22, "F", "C", 212.0), 212.0);

  // TKUNIT makes one at the free word, which moves past it.
  EXPECT_EQ(choose_units("MET"), 0);
  EXPECT_EQ(locs(l::kTargetUnits), free_word);
  EXPECT_EQ(locs(l::kFreePointer), free_word + UnitTable().types());
  EXPECT_NEAR(ucnv(22, 2, 212.0).value, 100.0, 1e-12);
  locs(l::kTargetUnits) = saved;
}

TEST_F(UnitConversion, UnusableUnitsConvertNothing) {
  // A type with fewer units than the set number, and a unit whose factor
  // is 0: no conversion into them, before and after choosing it.
  const std::string units = "ADD\n   1\n" + unit_type_line(1, 2, "LENGTH") + "\n" +
                            unit_line("M", "1.0") + "\n" + unit_line("NOTHING", "0.0") + "\n";
  TempSummaryFile prp("ADD\n   0\n", ".DAT"), unt(units, ".DAT");
  ReferenceLoad r = load_with_references(" IWPSUMMARY8.0\n", prp.string(), unt.string(), "MET");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  Converted c = ucnv(1, 1, 5.0);
  EXPECT_EQ(c.value, 5.0);
  EXPECT_EQ(c.label, "");
  EXPECT_EQ(labels_of({"LENGTH"}), Texts{""});
  EXPECT_EQ(rcnv(1, "M", "NOTHING", 5.0), 5.0);
  EXPECT_EQ(choose_units("SI", {"LENGTH"}, {"NOTHING"}), 0);
  c = ucnv(1, 1, 5.0);
  EXPECT_EQ(c.value, 5.0);
  EXPECT_EQ(c.label, "");
}

// The tool's --units option selects the set the file is loaded with.
TEST(UnitConversionTool, UnitsOptionSelectsTheLoadedSet) {
  ToolRun met = run_tool("--units MET " + kSourceDir + "/examples/flowsheet.sum");
  EXPECT_EQ(met.status, 0) << met.out;
  EXPECT_NE(met.out.find("units: MET\n  TEMPERATURE   C\n  PRESSURE      BAR\n"), std::string::npos) << met.out;
  EXPECT_NE(met.out.find("ambient pressure: 1.01325 BAR\n"), std::string::npos) << met.out;
}

}  // namespace
