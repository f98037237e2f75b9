// The tables the load builds from the reference files and the component
// lists, as the rest of the library reads them: property names by number,
// the unit-type table with its unit entries, and the component identifiers.
//
// Layouts (all in the work area; word sizes come from TKGLOB words 15 to 19):
//   property-number table  TKLOCS 1 (first word), 2 (entries); per entry the
//                          number, then the 12-character name in 3 words
//   unit-type table        TKLOCS 14, TKGLOB 8 types; per type: offset of its
//                          first unit entry from TKLOCS 15, number of units,
//                          unit set chosen at load, 12-character name
//   unit entries           TKLOCS 15; per unit: 16-character label, factor
//                          (real), offset (real)
//   component identifiers  TKLOCS 16, TKGLOB 1 + 2 entries of 8 characters
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "loading/globals.hpp"
#include "store/text_field.hpp"

namespace flowsum {

// The unit type of pressures. Its units with a negative offset are gauge
// units: the offset stands for the run's ambient pressure (TKRGLB word 2).
inline constexpr int64_t kPressureUnitType = 20;

// Word sizes of the tables, from the machine constants (their usual values
// before the first load has set them).
inline int64_t words_of_text8() { return glob(g::kWords8) > 0 ? glob(g::kWords8) : 2; }
inline int64_t words_of_text12() { return glob(g::kWords12) > 0 ? glob(g::kWords12) : 3; }
inline int64_t words_of_text16() { return glob(g::kWords16) > 0 ? glob(g::kWords16) : 4; }
inline int64_t words_of_real() { return glob(g::kWordsPerReal) > 0 ? glob(g::kWordsPerReal) : 1; }
inline int64_t property_entry_words() { return 1 + words_of_text12(); }
inline int64_t unit_type_entry_words() { return 3 + words_of_text12(); }
inline int64_t unit_entry_words() { return words_of_text16() + 2 * words_of_real(); }

// The 12-character name of a property number (blank-padded), blank when the
// property-number table does not hold the number. The table is sorted by
// name, so the search runs along it and the first entry with the number wins.
std::string property_name(int64_t number);
// The same written straight into a field (blank-padded or cut to it).
void property_name_into(int64_t number, TextField out);

// Read-only view of the unit table as the last load left it. Every accessor
// checks its indexes against the table and the work area: a type or unit
// that is not in the table reads as absent (0, blank, or false).
class UnitTable {
 public:
  UnitTable();

  int64_t types() const { return ntypes_; }
  bool has_type(int64_t type) const { return type >= 1 && type <= ntypes_; }
  // Number of units of the type (0 for a type not in the table).
  int64_t units(int64_t type) const;
  bool has_unit(int64_t type, int64_t unit) const { return unit >= 1 && unit <= units(type); }
  // 12-character type name; 16-character label. Blank when absent.
  std::string type_name(int64_t type) const;
  std::string label(int64_t type, int64_t unit) const;
  // The same written straight into a field (blank-padded or cut to it).
  void type_name_into(int64_t type, TextField out) const;
  void label_into(int64_t type, int64_t unit, TextField out) const;
  double factor(int64_t type, int64_t unit) const;
  double offset(int64_t type, int64_t unit) const;
  // First type whose name equals name, compared over 12 characters
  // blank-padded and case-sensitive; 0 when none.
  int64_t find_type(std::string_view name) const;
  // First unit of the type whose label equals label over 16 characters; 0
  // when none.
  int64_t find_unit(int64_t type, std::string_view label) const;

  // One unit's entry, located once for reading its label, factor and offset
  // (what label_into, factor and offset give for that type and unit).
  struct Entry {
    int64_t word = 0;  // first word, 0 when the entry is not in the work area
    void label_into(TextField out) const;
    double factor() const;
    double offset() const;
  };
  Entry entry(int64_t type, int64_t unit) const { return {unit_word(type, unit)}; }

 private:
  // First word of a unit entry, or 0 when it does not lie in the work area.
  int64_t unit_word(int64_t type, int64_t unit) const;

  int64_t type_base_ = 0;
  int64_t unit_base_ = 0;
  int64_t ntypes_ = 0;
};

// Number of component identifiers of both lists, and identifier k (1-based,
// 8 characters blank-padded; blank when k is out of range).
int64_t component_count();
std::string component_id(int64_t k);
// Position (1-based) of the first component whose identifier equals id
// (compared blank-padded over 8 characters), 0 when none; found through an
// index of the table, not a search of the whole list.
int64_t component_position(std::string_view id);

}  // namespace flowsum
