// Numbered units: line reads, record storage, opening rules and the exported
// open and close routines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "io/numbered_units.hpp"

namespace io = flowsum::io;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// What a read gives: the text, or the failed status as "<status>".
std::string outcome(int st, std::string_view text) {
  return st == 0 ? std::string(text) : "<" + std::to_string(st) + ">";
}
std::string record(int64_t unit, int64_t n) {
  std::string_view rec;
  const int st = io::read_record(unit, n, rec);
  return outcome(st, rec);
}
std::string next_line(int64_t unit, size_t max_chars = 80) {
  std::string_view line;
  const int st = io::read_line(unit, line, max_chars);
  return outcome(st, line);
}
const std::string kEof = outcome(io::kEndOfFile, "");

class UnitsIo : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "flowsum-units-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    for (int64_t u : {kA, kB, kC}) io::close_unit(u);
    fs::remove_all(dir_);
  }

  std::string path(const char* name) const { return (dir_ / name).string(); }
  std::string write_file(const char* name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
    return path(name);
  }
  static std::string slurp(const std::string& p) {
    std::stringstream ss;
    ss << std::ifstream(p, std::ios::binary).rdbuf();
    return ss.str();
  }
  static int open_read(int64_t unit, const std::string& p) {
    return io::open_unit(unit, p, "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ");
  }
  static int open_scratch(int64_t unit, int64_t recl) {
    return io::open_unit(unit, "", "DIRECT", "FORMATTED", recl, "SCRATCH", "WRITE");
  }
  // All lines of a unit until the end of the file.
  static Lines all_lines(int64_t unit, size_t max_chars) {
    Lines out;
    std::string_view line;
    int st;
    while ((st = io::read_line(unit, line, max_chars)) == 0) out.emplace_back(line);
    EXPECT_EQ(st, io::kEndOfFile);
    return out;
  }

  static constexpr int64_t kA = 90001, kB = 90002, kC = 123456789012345;
  fs::path dir_;
};

TEST_F(UnitsIo, LineEndsEmptyLinesLastLineWithoutNewlineAndCuts) {
  const std::string long_line = std::string(200, 'A') + "\nshort\n";
  struct Case {
    std::string bytes;
    Lines want;
    size_t max_chars = 128;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\r\nbb\n\nlast", {"a", "bb", "", "last"}},
      {"end\r", {"end"}},  // last line ended by a lone '\r'
      {"  \t lead\n", {"  \t lead"}},
      {long_line, {std::string(80, 'A'), "short"}, 80},
      {long_line, {"", ""}, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(open_read(kA, write_file("f.txt", c.bytes)), 0);
    EXPECT_EQ(all_lines(kA, c.max_chars), c.want) << "file bytes: " << c.bytes.substr(0, 20);
    ASSERT_EQ(io::close_unit(kA), 0);
  }
}

TEST_F(UnitsIo, DirectScratchKeepsEveryRecordAndRejectsUnwrittenOnes) {
  ASSERT_EQ(io::open_unit(kA, "SCRATCH DATA A", "DIRECT", "FORMATTED", 300, "SCRATCH", "WRITE"), 0);
  EXPECT_EQ(record(kA, 1), kEof);  // nothing written yet

  // Enough records to fill several chunks, of every length including empty
  // ones and ones too long for the compact index.
  std::mt19937 rng(11);
  Lines want;
  for (int i = 1; i <= 70000; ++i) {
    want.push_back(std::string(i % 997 == 0 ? 280 : rng() % 120, static_cast<char>('!' + i % 90)) +
                   std::to_string(i));
    ASSERT_EQ(io::write_record(kA, i, want.back()), 0);
  }
  for (int i = 1; i <= 70000; ++i) ASSERT_EQ(record(kA, i), want[static_cast<size_t>(i - 1)]) << i;
  EXPECT_EQ(record(kA, 70001), kEof);
  EXPECT_EQ(record(kA, 0), outcome(EINVAL, ""));

  // Overwriting an earlier record leaves its neighbour as it was.
  ASSERT_EQ(io::write_record(kA, 500, "changed"), 0);
  EXPECT_EQ(record(kA, 500), "changed");
  EXPECT_EQ(record(kA, 501), want[500]);
  // A record beyond the next number leaves a gap of unwritten ones; filling
  // the gap in order passes through the record written ahead.
  ASSERT_EQ(io::write_record(kA, 70005, "ahead"), 0);
  EXPECT_EQ(record(kA, 70004), kEof);
  for (int i = 70001; i <= 70006; ++i) ASSERT_EQ(io::write_record(kA, i, "r" + std::to_string(i)), 0);
  EXPECT_EQ(record(kA, 70005), "r70005");
  // A record number far away costs nothing for the numbers in between.
  ASSERT_EQ(io::write_record(kA, int64_t{1} << 60, "far"), 0);
  EXPECT_EQ(record(kA, int64_t{1} << 60), "far");
  EXPECT_EQ(record(kA, (int64_t{1} << 60) - 1), kEof);

  // A record longer than the record length is cut; closing discards them all.
  ASSERT_EQ(io::write_record(kA, 2, std::string(400, 'x')), 0);
  EXPECT_EQ(record(kA, 2), std::string(300, 'x'));
  ASSERT_EQ(io::close_unit(kA), 0);
  EXPECT_EQ(record(kA, 1), outcome(EBADF, ""));
  ASSERT_EQ(open_scratch(kA, 300), 0);
  EXPECT_EQ(record(kA, 1), kEof);  // a new, empty copy
}

TEST_F(UnitsIo, DirectFileIsFixedLengthTextAndKeepsRecordsAcrossOpens) {
  std::string p = path("recs.dat");
  ASSERT_EQ(io::open_unit(kA, p, "DIRECT", "FORMATTED", 8, "NEW", "WRITE"), 0);
  ASSERT_EQ(io::write_record(kA, 1, "ONE"), 0);
  ASSERT_EQ(io::write_record(kA, 3, "THREE-CUT-HERE"), 0);
  EXPECT_EQ(record(kA, 2), kEof);  // the hole between
  EXPECT_EQ(record(kA, 4), kEof);  // past the end
  ASSERT_EQ(io::close_unit(kA), 0);
  const std::string bytes = slurp(p);
  EXPECT_EQ(bytes.substr(0, 9), "ONE     \n");
  EXPECT_EQ(bytes.substr(18), "THREE-CU\n");

  ASSERT_EQ(io::open_unit(kA, p, "DIRECT", "FORMATTED", 8, "OLD", "READ"), 0);
  EXPECT_EQ(record(kA, 3), "THREE-CU");
  EXPECT_EQ(next_line(kA), outcome(EINVAL, ""));  // not a sequential unit
}

TEST_F(UnitsIo, SequentialWritesAppendAndCutWhatFollows) {
  std::string p = path("out.txt");
  ASSERT_EQ(io::open_unit(kA, p, "SEQUENTIAL", "FORMATTED", 0, "UNKNOWN", "WRITE"), 0);
  for (const char* l : {"first", "", "third"}) ASSERT_EQ(io::write_line(kA, l), 0);
  EXPECT_EQ(next_line(kA), kEof);  // a write ends the file
  io::rewind_unit(kA);
  EXPECT_EQ(next_line(kA), "first");
  // Writing after the first line replaces everything after it.
  ASSERT_EQ(io::write_line(kA, "second"), 0);
  ASSERT_EQ(io::close_unit(kA), 0);
  EXPECT_EQ(slurp(p), "first\nsecond\n");

  // The same on a sequential scratch unit, which lives in memory.
  ASSERT_EQ(io::open_unit(kB, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "READ"), 0);
  for (const char* l : {"a", "b"}) ASSERT_EQ(io::write_line(kB, l), 0);
  io::rewind_unit(kB);
  EXPECT_EQ(next_line(kB), "a");
  ASSERT_EQ(io::write_line(kB, "c"), 0);
  io::rewind_unit(kB);
  EXPECT_EQ(all_lines(kB, 80), (Lines{"a", "c"}));
}

TEST_F(UnitsIo, OpenStatusesAndRefusedCombinations) {
  const std::string missing = path("missing.txt"), existing = write_file("there.txt", "x\n");
  EXPECT_EQ(io::open_unit(kA, missing, "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), ENOENT);
  EXPECT_EQ(io::open_unit(kA, existing, "SEQUENTIAL", "FORMATTED", 0, "NEW", "WRITE"), EEXIST);
  EXPECT_EQ(io::open_unit(kA, dir_.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), EISDIR);
  EXPECT_EQ(io::open_unit(kA, existing, "DIRECT", "FORMATTED", 0, "OLD", "READ"), EINVAL);
  EXPECT_FALSE(io::is_open(kA));
  EXPECT_EQ(io::open_unit(kA, missing, "SEQUENTIAL", "FORMATTED", 0, "UNKNOWN", "READ"), 0);
  EXPECT_TRUE(fs::exists(missing));

  // Refused word combinations (lower case, an unknown status, stream access)
  // leave the unit's connection as it was.
  for (auto [access, status] :
       {std::pair{"sequential", "OLD"}, {"SEQUENTIAL", "REPLACE"}, {"STREAM", "SCRATCH"}}) {
    EXPECT_EQ(io::open_unit(kA, existing, access, "FORMATTED", 80, status, "READ"), -1)
        << access << "/" << status;
    EXPECT_TRUE(io::is_open(kA));
  }
  // A failed open keeps the old connection too; a good one replaces it.
  EXPECT_EQ(io::open_unit(kA, path("nope"), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), ENOENT);
  EXPECT_EQ(next_line(kA), kEof);  // still the empty file
  ASSERT_EQ(open_read(kA, existing), 0);
  EXPECT_EQ(next_line(kA), "x");
  // Blank-padded words and a direct scratch unit whose action is not looked at.
  EXPECT_EQ(io::open_unit(kB, "", "DIRECT     ", "FORMATTED", 80, "SCRATCH  ", "?"), 0);
}

TEST_F(UnitsIo, UnitsNotOpenAndStandardUnits) {
  EXPECT_FALSE(io::is_open(kC));
  EXPECT_EQ(io::close_unit(kC), 0);
  EXPECT_EQ(next_line(kC), outcome(EBADF, ""));
  EXPECT_EQ(io::write_record(kC, 1, "lost"), EBADF);
  io::rewind_unit(kC);  // no effect, no failure

  // Units 5 and 6 stay connected; a file opened on 6 is used until closed.
  EXPECT_TRUE(io::is_open(5));
  std::string p = path("six.txt");
  ASSERT_EQ(io::open_unit(6, p, "SEQUENTIAL", "FORMATTED", 0, "NEW", "WRITE"), 0);
  ASSERT_EQ(io::write_line(6, "to the file"), 0);
  ASSERT_EQ(io::close_unit(6), 0);
  EXPECT_TRUE(io::is_open(6));
  EXPECT_EQ(slurp(p), "to the file\n");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(io::write_line(6, "to standard output"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "to standard output\n");
  EXPECT_EQ(record(6, 1), outcome(EINVAL, ""));
}

TEST_F(UnitsIo, ExportedRoutines) {
  // Words longer than their hidden lengths are cut to the accepted words; a
  // blank-padded file name names the file.
  const std::string name = write_file("in.txt", "line one\n");
  char access[] = "SEQUENTIALXYZ", form[] = "FORMATTED", status[] = "OLD!", action[] = "READ";
  int64_t recl = 0, ierr = 99;
  for (int64_t unit : {kA, kB}) {
    std::string file = name + std::string(unit == kB ? 40 : 0, ' ');
    tkopen_(&unit, file.data(), access, form, &recl, status, action, &ierr, file.size(), 10, 9, 3, 4);
    ASSERT_EQ(ierr, 0);
  }
  // TKCLOS rewinds the first unit and closes the others; closing a unit that
  // is not open is no error.
  int64_t u1 = kA, u2 = kB, u3 = kC, u4 = kB;
  EXPECT_EQ(next_line(kA), "line one");
  tkclos_(&u1, &u2, &u3, &u4);
  EXPECT_TRUE(io::is_open(kA));
  EXPECT_FALSE(io::is_open(kB));
  EXPECT_EQ(next_line(kA), "line one");
  for (int i = 0; i < 2; ++i) {
    tkclfl_(&u1, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_FALSE(io::is_open(kA));
  }
}

bool never(std::string_view) { return false; }
bool starts_with_x(std::string_view line) { return !line.empty() && line[0] == 'X'; }

// A file several read buffers long, read line by line and copied: stop
// lines, a "\r\n" split by the end of the first buffer, lines longer than
// one and than three buffers, records long enough to be kept with their text,
// a last line longer than a buffer without a line end, and runs of empty and
// blank lines (which read back as empty records). The lines, stops and
// records are those expected, also when the file is copied again after a
// rewind, and records in and around the runs can be rewritten.
TEST_F(UnitsIo, CopiedLinesAcrossReadBuffers) {
  constexpr size_t kBuffer = size_t{1} << 20;
  std::mt19937 rng(5);
  std::string bytes;
  Lines want, stops, records;
  auto add = [&](const std::string& line, const char* end) {
    bytes += line + end;
    want.push_back(line.substr(0, 300));
    records.push_back(line.find_first_not_of(' ') == std::string::npos ? "" : want.back());
    if (!line.empty() && line[0] == 'X') stops.push_back(want.back());
  };
  while (bytes.size() < kBuffer - 200) add("X" + std::string(rng() % 150, 'a'), rng() % 4 ? "\n" : "\r\n");
  add("X" + std::string(kBuffer - 1 - bytes.size() - 1, 'c'), "\r\n");  // '\r' is the buffer's last byte
  add("-" + std::string(3 * kBuffer + 17, 'h'), "\r\n");
  while (bytes.size() < 7 * kBuffer) {
    const uint64_t pick = rng() % 200;
    if (pick >= 190) {  // a run of empty and blank lines, long or short
      const uint64_t n = pick == 199 ? 5000 + rng() % 3000 : rng() % 100;
      for (uint64_t i = 0; i < n; ++i) {
        const bool empty = rng() % (pick % 2 ? 2 : 16) != 0;
        add(empty ? "" : std::string(1 + rng() % 90, ' '), rng() % 16 ? "\n" : "\r\n");
      }
      continue;
    }
    std::string line = pick == 0   ? std::string(kBuffer + rng() % 5000, 'L')
                       : pick < 6  ? std::string(255 + rng() % 60, 'W')
                                   : std::string(rng() % 150, static_cast<char>('a' + rng() % 26));
    line.insert(0, rng() % 8 == 0 ? "X" : "-");
    add(line, rng() % 4 ? "\n" : "\r\n");
  }
  add("X last" + std::string(2 * kBuffer, 't'), "");
  const std::string file = write_file("big-copy.txt", bytes);

  ASSERT_EQ(open_read(kC, file), 0);
  ASSERT_TRUE(all_lines(kC, 300) == want);
  ASSERT_EQ(open_read(kA, file), 0);
  for (int pass = 0; pass < 2; ++pass) {
    io::rewind_unit(kA);
    ASSERT_EQ(open_scratch(kB, 300), 0);
    Lines got_stops;
    int64_t total = 0, copied = 0;
    std::string_view line;
    int st;
    while ((st = io::copy_lines(kA, kB, total + 1, 300, starts_with_x, line, copied)) == 0) {
      total += copied;
      got_stops.emplace_back(line);
    }
    ASSERT_EQ(st, io::kEndOfFile);
    EXPECT_EQ(copied, 0);
    EXPECT_TRUE(got_stops == stops) << got_stops.size() << " stops, " << stops.size() << " expected";
    ASSERT_EQ(total, static_cast<int64_t>(want.size()));
    for (int64_t n = 1; n <= total; ++n) ASSERT_EQ(record(kB, n), records[static_cast<size_t>(n - 1)]) << n;
  }
  for (int64_t n = static_cast<int64_t>(records.size()); n >= 1; n -= 1 + static_cast<int64_t>(rng() % 50)) {
    ASSERT_EQ(record(kB, n), records[static_cast<size_t>(n - 1)]) << n;
    int64_t last = n;  // the last record up to n that is not blank
    while (last >= 1 && records[static_cast<size_t>(last - 1)].empty()) --last;
    std::string_view text;
    ASSERT_EQ(io::last_record_not_blank(kB, 1, n, text), last) << n;
  }
  for (int64_t n = 1; n <= static_cast<int64_t>(records.size()); n += 2 + static_cast<int64_t>(rng() % 500)) {
    ASSERT_EQ(io::write_record(kB, n, "rewritten"), 0);
    ASSERT_EQ(record(kB, n), "rewritten");
    if (n > 1) ASSERT_EQ(record(kB, n - 1), records[static_cast<size_t>(n - 2)]) << n;
  }
}

// A summary file changed after it was loaded must not hand out other text
// as if it were the loaded lines; lines that do not come from a regular file
// are copied into memory and outlive their unit.
TEST_F(UnitsIo, CopiedRecordsOfAChangedFileOrAScratchUnit) {
  auto copy_all = [&](int64_t expected) {
    io::close_unit(kB);
    ASSERT_EQ(open_scratch(kB, 80), 0);
    std::string_view line;
    int64_t copied = 0;
    ASSERT_EQ(io::copy_lines(kA, kB, 1, 80, never, line, copied), io::kEndOfFile);
    ASSERT_EQ(copied, expected);
    io::close_unit(kA);
  };
  ASSERT_EQ(open_read(kA, write_file("changing.txt", "first line\nsecond line\n")), 0);
  copy_all(2);
  write_file("changing.txt", "other text entirely, and longer than before\n");
  EXPECT_EQ(record(kB, 2), kEof);
  EXPECT_EQ(record(kB, 1), kEof);

  ASSERT_EQ(io::open_unit(kA, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE"), 0);
  for (const char* l : {"alpha", "", "gamma"}) ASSERT_EQ(io::write_line(kA, l), 0);
  io::rewind_unit(kA);
  copy_all(3);
  EXPECT_EQ(record(kB, 3), "gamma");
  EXPECT_EQ(record(kB, 2), "");
}

}  // namespace
