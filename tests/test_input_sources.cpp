// Summary files that are not plain files, and files opened read-only: a FIFO
// and a pipe reached through /dev/fd load like the same text in a regular
// file (their ends are seen, every record reads back), and a unit opened for
// reading never writes to its file. A hang shows as the test's CTest timeout.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "support/example_flowsheet.hpp"
#include "support/summary_builder.hpp"
#include "support/summary_loader.hpp"

namespace {

using flowsum::testing::LoadedSummary;
using flowsum::testing::TempSummaryFile;
namespace io = flowsum::io;

// The example flowsheet behind more than a read buffer (1 MiB) of lines that
// come before the header, so that the copy crosses several reads of the pipe.
std::string large_example() {
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "preamble line " + std::to_string(i) + " of the run log\n";
  return text + flowsum::testing::example_flowsheet().text();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l.substr(0, 80));
  return lines;
}

// Every scratch record of the loaded file against the text's lines, and the
// record after the last one, which was never written.
void expect_records(const std::vector<std::string>& lines) {
  std::string_view rec;
  for (size_t n = 1; n <= lines.size(); ++n) {
    ASSERT_EQ(io::read_record(LoadedSummary::kScratchUnit, static_cast<int64_t>(n), rec), 0) << n;
    ASSERT_EQ(rec, lines[n - 1]) << n;
  }
  EXPECT_EQ(io::read_record(LoadedSummary::kScratchUnit, static_cast<int64_t>(lines.size()) + 1, rec),
            io::kEndOfFile);
}

std::string first_block() {
  int64_t k = 1, ierr = -1;
  char id[128], type[8];
  tknblk_(&k, id, type, &ierr, sizeof id, sizeof type);
  std::string s(id, sizeof id);
  return s.erase(s.find_last_not_of(' ') + 1);
}

// A child process that writes `text` to `fd` (opening `path` first when it
// is given) and exits.
pid_t feed(const std::string& text, int fd, const std::string& path = {}) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (!path.empty()) fd = ::open(path.c_str(), O_WRONLY);
  for (size_t done = 0; fd >= 0 && done < text.size();) {
    const ssize_t w = ::write(fd, text.data() + done, text.size() - done);
    if (w <= 0) ::_exit(1);
    done += static_cast<size_t>(w);
  }
  ::_exit(0);
}

void expect_child_done(pid_t pid) {
  int status = -1;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(InputSources, FifoAndPipeLoadLikeTheSameRegularFile) {
  const std::string text = large_example();
  const std::vector<std::string> lines = lines_of(text);
  TempSummaryFile regular(text);
  std::string expected_block;
  {
    LoadedSummary loaded(regular.string());
    ASSERT_EQ(loaded.ierr(), 0);
    expected_block = first_block();
    ASSERT_FALSE(expected_block.empty());
  }

  const std::string fifo = regular.string() + ".fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << errno;
  {
    const pid_t child = feed(text, -1, fifo);
    {
      LoadedSummary loaded(fifo);
      ASSERT_EQ(loaded.open_status(), 0);
      EXPECT_EQ(loaded.ierr(), 0);
      expect_records(lines);
      EXPECT_EQ(first_block(), expected_block);
    }
    expect_child_done(child);
  }
  std::filesystem::remove(fifo);

  // What a shell's process substitution hands over: /dev/fd/N of a pipe.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = feed(text, fds[1]);
  ::close(fds[1]);
  {
    LoadedSummary loaded("/dev/fd/" + std::to_string(fds[0]));
    ::close(fds[0]);
    ASSERT_EQ(loaded.open_status(), 0);
    EXPECT_EQ(loaded.ierr(), 0);
    expect_records(lines);
    EXPECT_EQ(first_block(), expected_block);
  }
  expect_child_done(child);
}

TEST(InputSources, ReadOnlyFileLoadsAndIsNeverWritten) {
  const std::string text = flowsum::testing::example_flowsheet().text();
  TempSummaryFile file(text);
  std::filesystem::permissions(file.path(), std::filesystem::perms::owner_read |
                                                std::filesystem::perms::group_read |
                                                std::filesystem::perms::others_read);
  {
    LoadedSummary loaded(file.string());
    ASSERT_EQ(loaded.ierr(), 0);
    // Opened with ACTION "READ": a write is refused, even for a caller who
    // could write the file (root ignores the permissions).
    EXPECT_EQ(io::write_line(LoadedSummary::kSummaryUnit, "OVERWRITTEN"), EBADF);
    io::rewind_unit(LoadedSummary::kSummaryUnit);
    EXPECT_EQ(io::write_line(LoadedSummary::kSummaryUnit, "OVERWRITTEN"), EBADF);
  }
  std::stringstream now;
  now << std::ifstream(file.path(), std::ios::binary).rdbuf();
  EXPECT_EQ(now.str(), text);
  std::filesystem::permissions(file.path(), std::filesystem::perms::owner_all);
}

}  // namespace
