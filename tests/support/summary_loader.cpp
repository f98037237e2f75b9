// Loading a summary file through the exported routines.
#include "support/summary_loader.hpp"

#include <filesystem>
#include <system_error>

#include "flowsum.h"
#include "support/caller.hpp"

namespace flowsum::testing {

std::string reference_file(const std::string& name) {
  std::string path = std::string(FLOWSUM_SOURCE_DIR) + "/data/" + name;
  std::error_code ec;
  return std::filesystem::exists(path, ec) ? path : std::string();
}

LoadedSummary::LoadedSummary(const std::string& path, const std::string& unitset,
                             int64_t message_unit, double rmiss, const std::string& property_file,
                             const std::string& unit_file) {
  int64_t unit = kSummaryUnit, recl = 0, scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit;
  call(tkopen_, unit, Field(path), Field("SEQUENTIAL"), Field("FORMATTED"), recl, Field("OLD"),
       Field("READ"), open_status_);
  if (open_status_ != 0) return;
  call(tkini2_, Field(unitset), scr, unit, prp, Field(property_file.empty() ? " " : property_file), unt,
       Field(unit_file.empty() ? " " : unit_file), rmiss, ierr_, message_unit);
}

LoadedSummary::~LoadedSummary() {
  int64_t sum = kSummaryUnit, scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit, ierr = 0;
  if (open_status_ == 0) tkclos_(&sum, &scr, &prp, &unt);
  tkclfl_(&sum, &ierr);
}

namespace {
// TKDTRE on the loaded tree: mode, path, the record's qualifier and line,
// the tree's words in use.
int64_t run_tree(int64_t mode, const std::vector<std::string>& path, Field& value, int64_t& line, int64_t& used) {
  std::string ids;
  for (const std::string& k : path) ids += Field(k, 128).text();
  int64_t nids = static_cast<int64_t>(path.size()), ipos = 0, ierr = -99;
  call(tkdtre_, mode, nids, Field(ids, 128, path.size()), value, line, tkwork_[tklocs_[6] - 1], used, ipos,
       ierr);
  return ierr;
}
}  // namespace

TreeEntry tree_lookup(const std::vector<std::string>& path) {
  TreeEntry e{-99, 0, ""};
  if (tklocs_[6] < 1 || tklocs_[6] > TK_WORK_WORDS) return e;
  int64_t used = tklocs_[7];  // a search leaves the tree as it is
  Field value("", 8);
  e.ierr = run_tree(1, path, value, e.line, used);
  e.qualifier = value.trimmed();
  return e;
}

int64_t file_in_tree(const std::vector<std::string>& path, const TreeEntry& e) {
  if (tklocs_[6] < 1 || tklocs_[6] > TK_WORK_WORDS) return -99;
  Field value(e.qualifier, 8);
  int64_t line = e.line;
  return run_tree(4, path, value, line, tklocs_[7]);
}

}  // namespace flowsum::testing
