// Sensitivity tables (TKNSEN, TKSENS): the data set "SENSITIVITY", study
// identifier, "SNS_TAB". Its qualifiers "NPOINTS" and "NCOL" number each
// value's point and column (integers written as texts) and "PROPERTIES"
// gives the value's role:
//   105         table entry (point, column), a real
//   106 .. 111  descriptor 1 .. 6 of a column, a long text (8 characters kept)
//   131         status of a point, an integer
// Other codes are ignored. Entries are returned as stored, without unit
// conversion. The numbers of points and columns are written in the
// identifier sets of the qualifiers "NPOINTS" and "NCOL".
#pragma once

#include <cstdint>
#include <string_view>

namespace flowsum {

inline constexpr int64_t kSensitivityEntry = 105;
inline constexpr int64_t kSensitivityFirstDescriptor = 106;
inline constexpr int64_t kSensitivityLastDescriptor = 111;
inline constexpr int64_t kSensitivityStatus = 131;
inline constexpr int64_t kSensitivityDescriptors = 6;

struct SensitivityShape {
  int64_t npoints = 0;
  int64_t ncolumns = 0;
  int64_t status = 1;  // 1 until the loading sequence is expanded, then its status
};
// TKNSEN.
SensitivityShape sensitivity_shape(std::string_view id);

}  // namespace flowsum
