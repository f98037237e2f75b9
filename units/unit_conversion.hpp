// Unit conversion: stored reals into the caller's target units (TKUCNV), the
// choice of target units (TKUNIT), their labels (TKLABL) and conversions into
// named units (TKCNVT, TKRCNV).
//
// A value v in unit u of a type is v * factor(u) + offset(u) in the type's
// base unit, so a value goes from unit s to unit d as
//   (v * factor(s) + offset(s) - offset(d)) / factor(d).
// In the pressure type (20) a negative offset marks a gauge unit and is
// replaced by the run's ambient pressure (TKRGLB word 2).
//
// Target units: one word per unit type (TKLOCS word 13), the unit number
// results of that type are converted into, 0 for "as stored". The load fills
// it from its unit set; TKUNIT changes it. While TKLOCS word 13 is 0 no table
// exists and nothing is converted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flowsum {

inline constexpr size_t kUnitLabelChars = 16;
inline constexpr size_t kUnitTypeNameChars = 12;

// A converted value with the 16-character label of the unit it is in
// (blank-padded; all blanks when the value was not converted into a known
// unit, see convert_stored).
struct ConvertedValue {
  double value = 0.0;
  char label[kUnitLabelChars] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                 ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

  std::string_view label_view() const { return {label, kUnitLabelChars}; }
};

// TKUCNV: a real as the summary file stores it, with its unit type and the
// code of its unit, in the target unit of its type. A missing value (at
// least as large as the missing-value marker) comes back unchanged with the
// target's label; a type outside the table, an unknown unit code or an
// unusable target return the value unchanged with a blank label; a type whose
// target is 0 returns it unchanged with the label of its stored unit.
ConvertedValue convert_stored(int64_t unit_type, int64_t unit_code, double value);

// convert_stored for many values in a row: what the tables say about the
// last few unit types and codes is kept, so values in units met just before
// cost only the arithmetic, also when a row's values alternate between a
// few types. Results are the same as convert_stored's. For the length of one
// query: the tables must not change while it lives.
class StoredConverter {
 public:
  ConvertedValue operator()(int64_t unit_type, int64_t unit_code, double value) {
    for (int i = 0; i < kept_; ++i)
      if (kept_type_[i] == unit_type && kept_code_[i] == unit_code) return apply(plans_[i], value);
    // Not kept: the plan takes the slot used longest ago.
    const int i = kept_ < kPlans ? kept_++ : next_;
    if (kept_ == kPlans) next_ = (i + 1) % kPlans;
    plans_[i] = plan(unit_type, unit_code);
    kept_type_[i] = unit_type;
    kept_code_[i] = unit_code;
    return apply(plans_[i], value);
  }

  // What the tables say about converting values of one type and stored unit.
  struct Plan {
    bool target_found = false;  // a usable target unit: missing values take its label
    bool converts = false;      // and the stored unit converts into it
    double factor = 0.0, offset = 0.0, target_offset = 0.0, target_factor = 0.0;
    char label[kUnitLabelChars];         // label of a value that is not missing
    char target_label[kUnitLabelChars];  // label of a missing value
  };
  static Plan plan(int64_t unit_type, int64_t unit_code);
  static ConvertedValue apply(const Plan& p, double value);

 private:
  static constexpr int kPlans = 4;
  int64_t kept_type_[kPlans] = {}, kept_code_[kPlans] = {};
  int kept_ = 0, next_ = 0;  // plans kept; the slot the next new plan takes once all are used
  Plan plans_[kPlans];
};

// The 12-character name of a unit type (the "quantity name" of the query
// routines); blank for 0 and for a type not in the table.
std::string unit_type_name(int64_t unit_type);

// The target unit of a type (0: as stored), or -1 when no target table
// exists or the type is not in the table.
int64_t target_unit(int64_t unit_type);

// Unit-set number of a set name, compared blank-padded and case-sensitive: "SI" 1, "ENG" 2, "MET" 3, "OUT" 0; -1 for anything else.
int64_t unit_set_number(std::string_view name);

}  // namespace flowsum
