// Column profiles: the columns, trays, components and profile properties of
// a column block, each property's profile along the trays (one value per
// tray, or one per component and tray) and the summary values of the
// rate-based column.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "query/profile_readers.hpp"

namespace flowsum {

// One listed profile property: its 12-character name and its kind (1 one
// value per tray, 2 one value per component and tray).
struct ProfileProperty {
  std::string name;
  int64_t kind = 1;
};

// What a column of a column block holds. found is false when its profile
// section is absent (status then holds the lookup's code).
struct ColumnProfile {
  bool found = false;
  int64_t status = 1;
  int64_t trays = 0;
  int64_t components = 0;
  std::vector<ProfileProperty> properties;
};

// The profile of column `column` of a block (not of a "CRUDEUNI" block,
// whose profile the refinery family describes).
ColumnProfile column_profile(const ProfileBlock& b, int64_t column);

// Number of columns of a column block; 0 for any other block.
int64_t column_count(const ProfileBlock& b);

}  // namespace flowsum
