// Run information: the title, account fields, aliases, case names, and the
// run's version, identifier, completion code, status texts and status flags,
// each read from its data set through the data-set lookup. Values are
// returned as the summary file holds them (no unit conversion).
//
// Texts are read from the value slots: a text of 8 characters as it is, a
// long text whole (80 characters), then cut or blank-padded to the field
// that receives it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace flowsum {

// Item codes of the summary file that feed the outputs.
namespace run_item {
inline constexpr int64_t kCompletion = 115, kStatusText1 = 117, kStatusText2 = 119;
inline constexpr int64_t kAccount222 = 222, kAccount347 = 347, kAccount355 = 355, kAccount348 = 348;
}  // namespace run_item

// The run title ("RUN-STATUS" "TITLE", else "TITLE" "TITLE"); 80 characters,
// blank when the file has neither.
std::string run_title();

struct AccountFields {
  bool found = false;  // the account data set exists and has values
  std::string item222, item347, item355, item348;  // blank when absent
};
AccountFields account_fields();

// One entry of the alias or case-name list: the 8-character name (qualifier
// value) and the text of the value (long texts whole, 80 characters).
struct NamedText {
  std::string name;
  std::string text;
};
// Empty when the data set is missing or holds no values.
std::vector<NamedText> aliases();
std::vector<NamedText> case_names();
// The number of entries TKALIS and TKCASN write.
int64_t alias_count();
int64_t case_name_count();

struct RunSummary {
  std::string version;             // long text, whole
  std::string run_id;              // 8 characters
  std::string status_text1;        // item 117
  std::string status_text2;        // item 119
  int64_t completion = 0;          // minus the value of item 115
  std::array<int64_t, 6> flags{2, 2, 2, 2, 2, 2};
  int64_t blocks = 0, streams = 0, property_tables = 0, info = 0;
};
// TKINFO's answer. A completion code below -4 ends the reading early: the
// flags stay 2 and the four counts 0.
RunSummary run_summary();

}  // namespace flowsum
