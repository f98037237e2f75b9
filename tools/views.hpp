// What the flowsum tool's views share: the record of asked-for objects that
// are not in the file, and the shape of a view that an option selects.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "flowsum/summary.hpp"

namespace flowsum_tool {

// Exit codes of the tool.
constexpr int kExitDone = 0;
constexpr int kExitNotLoaded = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotInFile = 3;
constexpr int kExitWarnings = 4;

// What the options set for every view.
struct Settings {
  std::string basis = "MASS-FLOW";  // of the stream table's component flows
  int digits = 6;                   // significant digits of every real printed
  int width = 0;                    // of the text stream table; 0: no limit
  bool by_stream = false;           // the stream table with one stream per row
  int block_rows = 5;               // results per block in the report's block summaries
};
Settings& settings();

// Blank-padded caller fields as the text views read them: s padded or cut
// to n characters; s without its trailing blanks; element i of an array of
// fields of the given width, trailing blanks cut.
inline std::string pad(const std::string& s, size_t n) {
  std::string out = s.substr(0, n);
  out.resize(n, ' ');
  return out;
}
inline std::string trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}
inline std::string field(const std::string& all, size_t i, size_t width) {
  return trim(all.substr(i * width, width));
}

// A real with settings().digits significant digits, as every view prints it.
std::string significant(double x);
// The same text written into buf, for the tables that print hundreds of
// thousands of values; valid while buf is.
using SignificantBuffer = std::array<char, 400>;
std::string_view significant_into(double x, SignificantBuffer& buf);

// A text cut to at most width characters; a cut text ends in '~' to say so.
std::string fit(const std::string& text, size_t width);

// Says on standard error that an asked-for object is not in the file
// ("flowsum: block NOPE: not in the file", or what else is wrong with it)
// and counts it; the tool then exits with kExitNotInFile.
void not_in_file(const char* kind, const std::string& id, const std::string& what = "not in the file");
int objects_not_in_file();

// What the tool checks of each ID of a view before the view prints it.
enum class Check {
  kView,    // nothing: print reports a missing ID itself through not_in_file
  kBlock,   // a block of the file, of one of the view's models when it names some
  kRelief,  // a relief object of the file
};

// A view that an option naming objects selects: `--OPTION ID`, repeatable,
// and ID may be a comma list. The tool checks each ID as check says
// (object_in_file) and calls print with those that pass.
//
// table gives the view of one object as a table of the C++ API for --format
// csv and json, tables as several named ones (either throws
// flowsum::NotFoundError when the file lacks the object); a view with
// neither is text only.
struct View {
  const char* option;  // without the leading "--"
  const char* help;    // one line for --help
  Check check;
  void (*print)(const std::vector<std::string>& ids, std::FILE* out);
  const char* kind = nullptr;  // of the object, in messages and sections
  flowsum::Table (*table)(const flowsum::Summary& s, const std::string& id) = nullptr;
  flowsum::Tables (*tables)(const flowsum::Summary& s, const std::string& id) = nullptr;
  const char* const* models = nullptr;  // the block models served, ending in nullptr; nullptr: any
};

// Whether the loaded file holds what ID names for this view; when it does
// not (no such object, or a block of a model the view does not serve), says
// so through not_in_file. Every output format checks IDs through this, so
// that text, CSV and JSON report the same IDs and exit alike.
bool object_in_file(const View& view, const std::string& id);

}  // namespace flowsum_tool
