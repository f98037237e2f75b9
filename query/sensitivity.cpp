// Sensitivity tables.
#include "query/sensitivity.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "flowsum.h"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"

namespace flowsum {
namespace {

std::string study_id(std::string_view id) {
  return std::string(TextField::trim_right(id.substr(0, std::min<size_t>(id.size(), 128))));
}

// A point or column number as the qualifier text holds it; 0 when the text
// is not a number.
int64_t number_in(const std::string& text) {
  const UnsignedRead r = read_unsigned(text);
  return r.ierr == 0 ? r.value : 0;
}

}  // namespace

SensitivityShape sensitivity_shape(std::string_view id) {
  SensitivityShape s;
  FreePointerGuard guard;
  const std::string sid = study_id(id);
  const std::array<std::string_view, 3> path{"SENSITIVITY", sid, "SNS_TAB"};
  int64_t node = 0;
  DataRecord rec;
  const TreeNodes tree = TreeNodes::loaded();
  if (tree.find(path, node, &rec) != 0 || node == 0 || tree.keyword(node) != "SNS_TAB") return s;
  static constexpr std::array<std::string_view, 2> kNames{"NPOINTS", "NCOL"};
  std::array<int64_t, 2> counts{};
  s.status = sequence_set_counts(std::string_view(rec.value, 8), kNames, counts);
  s.npoints = counts[0];
  s.ncolumns = counts[1];
  return s;
}

}  // namespace flowsum

using namespace flowsum;

extern "C" {

void tknsen_(const char* id, int64_t* npoints, int64_t* ncol, int64_t* status, size_t id_len) {
  const SensitivityShape s = sensitivity_shape(TextField(id, id_len).view());
  *npoints = s.npoints;
  *ncol = s.ncolumns;
  *status = s.status;
}

void tksens_(const char* id, int64_t* ld, int64_t* /*idum*/, char* descriptors, double* matrix,
             int64_t* pstatus, int64_t* ierr, size_t id_len, size_t descriptors_len) {
  *ierr = 1;
  // The caller sized its arrays by the counts TKNSEN reports: entries with
  // a point or column outside them are not written.
  const SensitivityShape shape = sensitivity_shape(TextField(id, id_len).view());
  FreePointerGuard guard;
  const std::string sid = study_id(TextField(id, id_len).view());
  const std::array<std::string_view, 3> path{"SENSITIVITY", sid, "SNS_TAB"};
  const DatasetAnswer a = lookup_dataset(path);
  if (a.nqual <= 0 || !a.found()) return;
  const int64_t qcol = a.find_qualifier("NCOL"), qpoint = a.find_qualifier("NPOINTS"),
                qprop = a.find_qualifier("PROPERTIES");
  if (qprop == 0) return;
  // A leading dimension so large that an element number would overflow
  // cannot describe an array the caller holds.
  const int64_t lead = *ld > 0 && *ld <= INT64_MAX / std::max<int64_t>(shape.ncolumns, 1) ? *ld : 0;
  bool clipped = false;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const int64_t code = a.qualifier_int(qprop, j);
    const int64_t p = qpoint > 0 ? number_in(a.qualifier_text(qpoint, j)) : 0;
    const int64_t c = qcol > 0 ? number_in(a.qualifier_text(qcol, j)) : 0;
    const bool point_ok = p >= 1 && p <= shape.npoints;
    const bool col_ok = c >= 1 && c <= shape.ncolumns;
    if (code == kSensitivityStatus) {
      if (point_ok) pstatus[p - 1] = a.int_value(j);
      else clipped = true;
    } else if (code == kSensitivityEntry) {
      // A leading dimension below the point number would put the entry in
      // another column's place.
      if (point_ok && col_ok && p <= lead) matrix[(c - 1) * lead + (p - 1)] = a.real_value(j);
      else clipped = true;
    } else if (code >= kSensitivityFirstDescriptor && code <= kSensitivityLastDescriptor) {
      if (col_ok)
        text_element(descriptors, descriptors_len,
                     static_cast<size_t>(kSensitivityDescriptors * (c - 1) + (code - kSensitivityEntry - 1)))
            .assign(a.text_value(j).substr(0, 8));
      else clipped = true;
    }
  }
  // Success is 0, so that a caller can tell a study that is there from one
  // that is not; entries that did not fit the caller's arrays leave it at 1.
  *ierr = clipped ? 1 : 0;
}

}  // extern "C"
