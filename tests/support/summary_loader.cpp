// Loading a summary file through the exported routines.
#include "support/summary_loader.hpp"

#include "flowsum.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace flowsum::testing {

namespace {

// The exported routines take blank-padded fields and modify nothing they are
// not told to, but their text arguments are not const: pass copies.
struct Field {
  std::string text;
  explicit Field(std::string s) : text(std::move(s)) {}
  char* data() { return text.data(); }
  size_t size() const { return text.size(); }
};

}  // namespace

std::string reference_file(const std::string& name) {
  std::string path = std::string(FLOWSUM_SOURCE_DIR) + "/data/" + name;
  std::error_code ec;
  return std::filesystem::exists(path, ec) ? path : std::string();
}

LoadedSummary::LoadedSummary(const std::string& path, const std::string& unitset,
                             int64_t message_unit, double rmiss, const std::string& property_file,
                             const std::string& unit_file) {
  int64_t unit = kSummaryUnit, recl = 0, ierr = 0;
  Field file(path), access("SEQUENTIAL"), form("FORMATTED"), status("OLD"), action("READ");
  tkopen_(&unit, file.data(), access.data(), form.data(), &recl, status.data(), action.data(),
          &ierr, file.size(), access.size(), form.size(), status.size(), action.size());
  open_status_ = ierr;
  if (ierr != 0) return;
  int64_t scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit, msg = message_unit;
  Field set(unitset), prpfile(property_file.empty() ? " " : property_file),
      untfile(unit_file.empty() ? " " : unit_file);
  tkini2_(set.data(), &scr, &unit, &prp, prpfile.data(), &unt, untfile.data(), &rmiss, &ierr, &msg,
          set.size(), prpfile.size(), untfile.size());
  ierr_ = ierr;
}

LoadedSummary::~LoadedSummary() {
  int64_t sum = kSummaryUnit, scr = kScratchUnit, prp = kPropertyUnit, unt = kUnitTableUnit;
  if (open_status_ == 0) tkclos_(&sum, &scr, &prp, &unt);
  int64_t ierr = 0;
  tkclfl_(&sum, &ierr);
}

TreeEntry tree_lookup(const std::vector<std::string>& path) {
  std::string ids(128 * path.size(), ' ');
  for (size_t i = 0; i < path.size(); ++i) ids.replace(128 * i, std::min<size_t>(path[i].size(), 128), path[i].substr(0, 128));
  int64_t mode = 1, nids = static_cast<int64_t>(path.size()), idata = 0, ipos = 0, ierr = 0;
  int64_t nused = tklocs_[7];
  char value[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  TreeEntry e;
  if (tklocs_[6] < 1 || tklocs_[6] > TK_WORK_WORDS) {
    e.ierr = -99;
    return e;
  }
  tkdtre_(&mode, &nids, ids.data(), value, &idata, &tkwork_[tklocs_[6] - 1], &nused, &ipos, &ierr,
          128, 8);
  e.ierr = ierr;
  e.line = idata;
  e.qualifier.assign(value, 8);
  e.qualifier.erase(e.qualifier.find_last_not_of(' ') + 1);
  return e;
}

}  // namespace flowsum::testing
