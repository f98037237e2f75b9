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
#include "support/caller.hpp"
#include "support/flowsheet_records.hpp"
#include "support/reference_files.hpp"
#include "support/summary_suite.hpp"
#include "units/unit_conversion.hpp"

namespace {

using namespace flowsum;
using namespace flowsum::testing;
using Texts = std::vector<std::string>;
using Reals = std::vector<double>;

constexpr double kAmbient = 95000.0;  // Pa, the run's ambient pressure
constexpr double kPsi = 6894.757293168361;

// TKUCNV with a 16-character label field.
std::pair<double, std::string> ucnv(int64_t type, int64_t unit, double value) {
  double result = -1.0;
  Field label(16);
  call(tkucnv_, type, unit, value, result, label);
  return {result, label.trimmed()};
}

// TKRCNV from the unit labelled `from` into the unit labelled `to`.
double rcnv(int64_t type, const std::string& from, const std::string& to, double value) {
  double result = 0.0;
  call(tkrcnv_, type, UnitTable().find_unit(type, from), Field(to), value, result);
  return result;
}

int64_t choose_units(const std::string& set, const Texts& types = {}, const Texts& labels = {}) {
  std::string type_fields, label_fields;
  for (const auto& t : types) type_fields += pad(t, 12);
  for (const auto& l : labels) label_fields += pad(l, 16);
  int64_t ierr = -1;
  call(tkunit_, Field(set), static_cast<int64_t>(types.size()), Field(type_fields, 12, types.size()),
       Field(label_fields, 16, labels.size()), ierr);
  return ierr;
}

Texts labels_of(const Texts& types) {
  std::string type_fields;
  for (const auto& t : types) type_fields += pad(t, 12);
  Field labels(16, types.size());
  call(tklabl_, static_cast<int64_t>(types.size()), Field(type_fields, 12, types.size()), labels);
  Texts out;
  for (size_t i = 0; i < types.size(); ++i) out.push_back(labels.trimmed(i));
  return out;
}

// TKCNVT into an array prefilled with -7.
Reals cnvt(const std::string& type, const std::string& label, Reals in) {
  Reals out(in.size(), -7.0);
  call(tkcnvt_, Field(type), Field(label), static_cast<int64_t>(in.size()), in, out);
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

TEST_F(UnitConversion, KnownValuesGaugePressuresAndChosenTargets) {
  load("SI");
  EXPECT_NEAR(rcnv(22, "C", "F", -40.0), -40.0, 1e-12);
  // Types and units outside the table: unchanged, no label.
  for (auto [type, unit] : {std::pair<int64_t, int64_t>{0, 1}, {UnitTable().types() + 1, 1}, {22, 0},
                            {22, UnitTable().units(22) + 1}})
    EXPECT_EQ(ucnv(type, unit, 5.0), std::pair(5.0, std::string())) << type << " " << unit;
  // Gauge units against the run's ambient pressure, in every converter
  // (the round trip converts PSIG by TKUCNV).
  EXPECT_NEAR(ucnv(20, UnitTable().find_unit(20, "MMHG-VAC"), 100.0).first, kAmbient - 100.0 * 133.322387415, 1e-9);
  EXPECT_NEAR(rcnv(20, "PA", "BARG", 200000.0), 1.05, 1e-14);
  EXPECT_NEAR(cnvt("PRESSURE", "PSIG", {10.0 * kPsi + kAmbient})[0], 10.0, 1e-12);
  // Without PAMB, against one standard atmosphere.
  load("ENG", std::nullopt);
  EXPECT_EQ(rglb(2), 101325.0);
  choose_units("ENG", {"PRESSURE"}, {"PSIG"});
  EXPECT_EQ(ucnv(20, 1, 101325.0 + 14.5 * kPsi).second, "PSIG");
  EXPECT_NEAR(ucnv(20, 1, 101325.0 + 14.5 * kPsi).first, 14.5, 1e-12);
}

TEST_F(UnitConversion, StoredValuesIntoEachUnitSet) {
  // A missing value is never converted but carries the target's label.
  for (auto [set, value, label] : {std::tuple{"SI", 373.15, "K"}, {"ENG", 212.0, "F"}, {"MET", 100.0, "C"},
                                   {"OUT", 212.0, "F"}}) {
    load(set);
    EXPECT_NEAR(ucnv(22, 2, 212.0).first, value, 1e-12) << set;
    EXPECT_EQ(ucnv(22, 2, 212.0).second + ucnv(22, 2, -1.0e35).second, std::string(label) + label) << set;
    EXPECT_EQ(ucnv(22, 2, -1.0e35).first, -1.0e35);
  }
  // With the stored units kept, there are no target labels and no
  // conversions into named units.
  EXPECT_EQ(labels_of({"TEMPERATURE", "PRESSURE"}), (Texts{"", ""}));
  EXPECT_EQ(cnvt("TEMPERATURE", "C", {300.0}), Reals{300.0});
  // Choosing target units.
  load("SI");
  // An unknown set name (case matters) changes nothing.
  EXPECT_EQ(choose_units("si"), 1);
  EXPECT_EQ(target_unit(22), 1);
  EXPECT_EQ(choose_units("MET"), 0);
  EXPECT_EQ(labels_of({"TEMPERATURE", "NO-SUCH-TYPE"}), (Texts{"C", ""}));
  // The set applies first; overrides in order until one fails.
  EXPECT_EQ(choose_units("ENG", {"TEMPERATURE", "PRESSURE", "MASS-FLOW"}, {"R", "NOPE", "KG/HR"}), 1);
  EXPECT_EQ(labels_of({"TEMPERATURE", "PRESSURE", "MASS-FLOW"}), (Texts{"R", "PSIA", "LB/HR"}));
  EXPECT_NEAR(ucnv(22, 1, 100.0).first, 180.0, 1e-12);
  EXPECT_EQ(choose_units("SI", {"NO-SUCH-TYPE"}, {"K"}), 1);
  EXPECT_EQ(target_unit(22), 1);
  EXPECT_EQ(choose_units("SI", {"MASS-FLOW"}, {"TONNE/DAY"}), 0);
  EXPECT_NEAR(ucnv(10, 1, 1.0).first, 86.4, 1e-12);
  EXPECT_EQ(ucnv(10, 1, 1.0).second, "TONNE/DAY");
  // TKCNVT and TKRCNV convert from the current target unit and treat a
  // missing value like any number.
  choose_units("SI");
  Reals out = cnvt("TEMPERATURE", "C", {273.15, 373.15, 1.0e35});
  EXPECT_NEAR(out[1], 100.0, 1e-12);
  EXPECT_EQ(out[2], 1.0e35 - 273.15);
  EXPECT_EQ(cnvt("TEMPERATURE", "NO-SUCH-UNIT", {1.0, 2.0}), (Reals{1.0, 2.0}));
  EXPECT_NEAR(rcnv(22, "K", "C", 1.0e35), 1.0e35 - 273.15, 1e21);
}

TEST_F(UnitConversion, BeforeAnyTargetTableExistsAndUnusableUnits) {
  load("SI");
  const int64_t saved = locs(l::kTargetUnits), free_word = locs(l::kFreePointer);
  locs(l::kTargetUnits) = 0;
  EXPECT_EQ(ucnv(22, 2, 212.0), std::pair(212.0, std::string()));
  EXPECT_EQ(cnvt("TEMPERATURE", "C", {1.0, 2.0}), (Reals{-7.0, -7.0}));
  EXPECT_EQ(labels_of({"TEMPERATURE"}), Texts{""});
  EXPECT_EQ(rcnv(22, "F", "C", 212.0), 212.0);
  // TKUNIT makes one at the free word, which moves past it.
  EXPECT_EQ(choose_units("MET"), 0);
  EXPECT_EQ(std::pair(locs(l::kTargetUnits), locs(l::kFreePointer)), std::pair(free_word, free_word + UnitTable().types()));
  EXPECT_NEAR(ucnv(22, 2, 212.0).first, 100.0, 1e-12);
  locs(l::kTargetUnits) = saved;

  // A type with fewer units than the set number, and a unit whose factor is
  // 0: no conversion into them, before and after choosing it.
  const std::string units = "ADD\n   1\n" + unit_type_line(1, 2, "LENGTH") + "\n" + unit_line("M", "1.0") + "\n" +
                            unit_line("NOTHING", "0.0") + "\n";
  TempSummaryFile prp("ADD\n   0\n", ".DAT"), unt(units, ".DAT");
  ReferenceLoad r = load_with_references(" IWPSUMMARY8.0\n", prp.string(), unt.string(), "MET");
  ASSERT_EQ(r.ierr, 0) << r.messages;
  EXPECT_EQ(ucnv(1, 1, 5.0), std::pair(5.0, std::string()));
  EXPECT_EQ(labels_of({"LENGTH"}), Texts{""});
  EXPECT_EQ(rcnv(1, "M", "NOTHING", 5.0), 5.0);
  EXPECT_EQ(choose_units("SI", {"LENGTH"}, {"NOTHING"}), 0);
  EXPECT_EQ(ucnv(1, 1, 5.0), std::pair(5.0, std::string()));
}

}  // namespace
