// Files cut short or damaged: the load keeps its status and warns, naming
// the record's line; a data set whose values end before their count reads
// the rest as missing and never takes the next record's tokens; the tool
// puts the warnings on standard error and exits with 3.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "flowsum.h"
#include "support/example_flowsheet.hpp"
#include "support/lookup_calls.hpp"
#include "support/message_capture.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace {

using namespace flowsum::testing;
constexpr double kMissing = 1.0e35;

int64_t warnings() {
  int64_t n = -1;
  tknwrn_(&n);
  return n;
}

std::string cut_warning(int64_t line) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE%7lld\n",
                static_cast<long long>(line));
  return buf;
}

TEST(DamagedFiles, ValuesEndingBeforeTheirCountStopAtTheirRecord) {
  SummaryBuilder b;
  b.header();
  b.idset("R", {"PROPERTIES"}, {{{"22"}, 2}, {{"23"}, 2}, {{"24"}, 2}, {{"25"}, 2}});
  b.lset("R", "(%R)");
  const std::vector<Value> two = reals({1.5, 2.5});
  b.dset({"CUT", "CLOSED"}, "R", two);
  const int64_t closed = b.last_record_line();
  b.dset({"CUT", "UNCLOSED"}, "R", two, /*close=*/false);
  const int64_t unclosed = b.last_record_line();
  b.dset({"CUT", "AFTER"}, "R", reals({7, 8, 9, 10}));
  b.dset({"CUT", "END"}, "R", two, /*close=*/false);
  const int64_t end = b.last_record_line();
  TempSummaryFile file(b.text());
  MessageCapture capture;
  LoadedSummary loaded(file.string(), "OUT", capture.unit());
  ASSERT_EQ(loaded.ierr(), 0);
  EXPECT_EQ(capture.take(), cut_warning(end));
  EXPECT_EQ(warnings(), 1);

  struct Case {
    const char* last;
    int64_t line;
    std::vector<double> values;
  };
  const Case cases[] = {
      {"CLOSED", closed, {1.5, 2.5, kMissing, kMissing}},
      {"UNCLOSED", unclosed, {1.5, 2.5, kMissing, kMissing}},
      {"AFTER", 0, {7, 8, 9, 10}},
      {"END", end, {1.5, 2.5, kMissing, kMissing}},
  };
  int64_t expected_warnings = 1;
  for (const Case& c : cases) {
    const DsetCall d = call_tkdset({"CUT", c.last});
    ASSERT_EQ(d.ndata, 4) << c.last;
    std::vector<double> got;
    for (int64_t j = 0; j < 4; ++j) got.push_back(work_real_word(d.locd + 16 + j));
    EXPECT_EQ(got, c.values) << c.last;
    std::string message;
    if (c.line > 0) {
      char buf[96];
      std::snprintf(buf, sizeof buf, "\n WARNING: DSET AT LINE%7lld ENDS AFTER      2 OF      4 VALUES\n",
                    static_cast<long long>(c.line));
      message = buf;
      ++expected_warnings;
    }
    EXPECT_EQ(capture.take(), message) << c.last;
    EXPECT_EQ(warnings(), expected_warnings) << c.last;
  }
}

// The example cut at points a truncated copy or transfer leaves: inside the
// last data set's values (mid-line, at a line end), inside its head, and
// between two records. What was read before the cut stays readable.
TEST(DamagedFiles, CutExampleKeepsItsStatusAndWarnsInsideARecord) {
  const std::string text = example_flowsheet().text();
  const size_t last_record = text.rfind("\n DSET ") + 1;
  const int64_t last_line = std::count(text.begin(), text.begin() + static_cast<long>(last_record), '\n') + 1;
  const size_t previous_end = text.rfind(")\n", last_record) + 2;
  struct Case {
    const char* what;
    size_t length;
    bool warns;
  };
  const Case cases[] = {
      {"whole file", text.size(), false},
      {"between records", previous_end, false},
      {"inside the head", last_record + 12, true},
      {"after the head line", text.find('\n', last_record) + 1, true},
      {"in a value line", text.size() - 10, true},
  };
  for (const Case& c : cases) {
    TempSummaryFile file(text.substr(0, c.length));
    MessageCapture capture;
    LoadedSummary loaded(file.string(), "SI", capture.unit());
    EXPECT_EQ(loaded.ierr(), 0) << c.what;
    EXPECT_EQ(capture.take(), c.warns ? cut_warning(last_line) : "") << c.what;
    EXPECT_EQ(warnings(), c.warns ? 1 : 0) << c.what;
    EXPECT_EQ(call_tkdset({"STREAM", "MATERIAL", "LIQ", "STR_MAIN"}).ndata > 0, true) << c.what;
  }
}

TEST(DamagedFiles, ToolWarnsOnStandardErrorAndExitsWithThree) {
  const std::string text = example_flowsheet().text();
  TempSummaryFile cut(text.substr(0, text.size() - 10));
  const std::string base = std::string(FLOWSUM_TOOL) + " --ref-dir " + FLOWSUM_SOURCE_DIR + "/data " + cut.string();
  auto run = [](const std::string& cmd, std::string& out) {
    out.clear();
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out, err;
  EXPECT_EQ(run(base + " 2>/dev/null", out), 3);
  EXPECT_NE(out.find("load status: 0 (loaded)"), std::string::npos) << out;
  EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
  EXPECT_EQ(run(base + " 2>&1 >/dev/null", err), 3);
  EXPECT_NE(err.find(" WARNING: SUMMARY FILE ENDS INSIDE DSET"), std::string::npos) << err;
  EXPECT_NE(err.find(" WARNING: DSET AT LINE"), std::string::npos) << err;
  EXPECT_NE(err.find(" warnings about " + cut.string()), std::string::npos) << err;
}

}  // namespace
