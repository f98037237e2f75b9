// Loading a summary file as a caller does: TKOPEN on a unit, TKINI2, and
// TKCLOS (plus closing the summary unit) when the object goes away.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace flowsum::testing {

// Path of the project's reference file NAME in data/, or "" when it is missing.
std::string reference_file(const std::string& name);

class LoadedSummary {
 public:
  static constexpr int64_t kSummaryUnit = 61, kScratchUnit = 62, kPropertyUnit = 63,
                           kUnitTableUnit = 64;

  // A missing reference file is passed as a blank name.
  explicit LoadedSummary(const std::string& path, const std::string& unitset = "SI",
                         int64_t message_unit = 0, double rmiss = 1.0e35,
                         const std::string& property_file = reference_file("RCPROPNU.DAT"),
                         const std::string& unit_file = reference_file("RCUNITS.DAT"));
  ~LoadedSummary();
  LoadedSummary(const LoadedSummary&) = delete;
  LoadedSummary& operator=(const LoadedSummary&) = delete;

  int64_t open_status() const { return open_status_; }  // TKOPEN's IERR
  int64_t ierr() const { return ierr_; }                // TKINI2's IERR

 private:
  int64_t open_status_ = -1;
  int64_t ierr_ = -1;
};

// The data record of a path in the loaded data-set tree, found as the queries
// find it: line number and qualifier. ierr is the tree's result code (0
// found, else the failing level or a negative error).
struct TreeEntry {
  int64_t ierr = 0;
  int64_t line = 0;
  std::string qualifier;  // trailing blanks cut
};
TreeEntry tree_lookup(const std::vector<std::string>& path);
// Files entry e's data record under path in the loaded tree, as TKDTRE's
// mode 4 does (a caller editing the tree): the tree's result code.
int64_t file_in_tree(const std::vector<std::string>& path, const TreeEntry& e);

}  // namespace flowsum::testing
