// Input that is not a plain file, opened read-only, cut short or damaged. A
// FIFO or pipe that hung the load shows as the test's CTest timeout.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "support/example_flowsheet.hpp"
#include "support/lookup_calls.hpp"
#include "support/message_capture.hpp"
#include "support/summary_loader.hpp"

namespace {

using namespace flowsum::testing;
namespace io = flowsum::io;

int64_t warnings() {
  int64_t n = -1;
  tknwrn_(&n);
  return n;
}
std::string message(int64_t line, const char* format = "\n WARNING: SUMMARY FILE ENDS INSIDE DSET   AT LINE %10lld\n") {
  char buf[100];
  std::snprintf(buf, sizeof buf, format, static_cast<long long>(line));
  return buf;
}

// A read-only (0444) file, a FIFO and /dev/fd/N of a pipe (a shell's process
// substitution), the last two fed by a child process: more than a read
// buffer of lines before the example, all read back from the scratch copy,
// and the file never written, not even for root.
TEST(UnusualInput, ReadOnlyFileFifoAndPipeLoadAlike) {
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "run log line " + std::to_string(i) + " before the header\n";
  text += example_flowsheet().text();
  TempSummaryFile file(text);
  ::chmod(file.string().c_str(), 0444);
  const std::string fifo = file.string() + ".fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (int source = 0; source < 3; ++source) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = source == 0 ? -1 : ::fork();
    if (child == 0) {
      FILE* out = source == 1 ? std::fopen(fifo.c_str(), "w") : ::fdopen(fds[1], "w");
      ::_exit(out && std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fclose(out) == 0 ? 0 : 1);
    }
    ::close(fds[1]);
    {
      LoadedSummary loaded(source == 0 ? file.string() : source == 1 ? fifo : "/dev/fd/" + std::to_string(fds[0]));
      ::close(fds[0]);
      ASSERT_EQ(loaded.ierr(), 0);
      EXPECT_EQ(io::write_line(LoadedSummary::kSummaryUnit, "OVERWRITTEN"), EBADF);
      std::istringstream lines(text);
      std::string_view rec;
      int64_t n = 0;
      for (std::string l; std::getline(lines, l);) {
        ASSERT_EQ(io::read_record(LoadedSummary::kScratchUnit, ++n, rec), 0) << n;
        ASSERT_EQ(rec, l.substr(0, 80)) << n;
      }
      EXPECT_EQ(call_tkdset({"STREAM", "MATERIAL", "LIQ", "STR_MAIN"}).ndata, 19);
    }
    int status = -1;
    if (child > 0) EXPECT_TRUE(::waitpid(child, &status, 0) == child && status == 0);
  }
  ::unlink(fifo.c_str());
  std::stringstream now;
  now << std::ifstream(file.path()).rdbuf();
  EXPECT_EQ(now.str(), text);
}

// Data sets of four reals that end after two: at their ")", without it (the
// next record follows), and at the end of the file, which the load reports.
TEST(UnusualInput, ValuesEndingEarlyAndCutFilesWarn) {
  SummaryBuilder b;
  b.header();
  b.idset("R", {"PROPERTIES"}, {{{"22"}, 2}, {{"23"}, 2}, {{"24"}, 2}, {{"25"}, 2}});
  b.lset("R", "(%R)");
  std::vector<std::pair<std::string, int64_t>> sets;
  for (const char* last : {"CLOSED", "OPEN", "AFTER", "END"}) {
    sets.emplace_back(last, last[0] == 'A' ? 0 : b.line_count() + 1);
    b.dset({"CUT", last}, "R", last[0] == 'A' ? reals({7, 8, 9, 10}) : reals({1.5, 2.5}), last[0] == 'C');
  }
  TempSummaryFile file(b.text());
  MessageCapture capture;
  LoadedSummary loaded(file.string(), "OUT", capture.unit());
  ASSERT_EQ(loaded.ierr(), 0);
  EXPECT_EQ(capture.take(), message(sets[3].second));
  // Twice: a cut data set is never answered from what the lookup keeps.
  for (int round = 0; round < 2; ++round)
    for (const auto& [last, line] : sets) {
      const DsetCall d = call_tkdset({"CUT", last});
      std::vector<double> got;
      for (int64_t j = 0; j < d.ndata; ++j) got.push_back(work_real_word(d.locd + 16 + j));
      const std::vector<double> cut = {1.5, 2.5, 1e35, 1e35}, whole = {7, 8, 9, 10};
      EXPECT_EQ(got, line ? cut : whole) << last;
      EXPECT_EQ(capture.take(), line ? message(line, "\n WARNING: DSET AT LINE%10lld ENDS AFTER      2 OF      4 VALUES\n") : "");
    }
  EXPECT_EQ(warnings(), 7);
  // The example cut where a stopped copy leaves it: only a cut inside a
  // record warns, the status stays 0, and the tool exits with 4, the
  // warnings on standard error.
  const std::string text = example_flowsheet().text();
  const size_t last = text.rfind("\n DSET ") + 1;
  const int64_t line = std::count(text.begin(), text.begin() + static_cast<long>(last), '\n') + 1;
  for (size_t cut : {text.size(), text.rfind(")\n", last) + 2, last + 12, text.find('\n', last) + 1, text.size() - 10}) {
    TempSummaryFile file(text.substr(0, cut));
    MessageCapture capture;
    LoadedSummary loaded(file.string(), "SI", capture.unit());
    const bool inside = cut > last && cut < text.size();
    EXPECT_EQ(loaded.ierr(), 0);
    EXPECT_EQ(capture.take(), inside ? message(line) : "");
    EXPECT_EQ(warnings(), inside ? 1 : 0) << cut;
  }
  TempSummaryFile cut(text.substr(0, text.size() - 10));
  const std::string cmd = std::string(FLOWSUM_TOOL) + " --ref-dir " + FLOWSUM_SOURCE_DIR + "/data " + cut.string();
  TempSummaryFile err("");
  EXPECT_EQ(std::system((cmd + " >/dev/null 2>" + err.string()).c_str()), 4 << 8);
  std::stringstream said;
  said << std::ifstream(err.path()).rdbuf();
  EXPECT_NE(said.str().find(message(line)), std::string::npos) << said.str();
}

}  // namespace
