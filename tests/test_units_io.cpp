// Numbered units: line reads, record storage, opening rules and the exported
// open and close routines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flowsum.h"
#include "io/units.hpp"

namespace io = flowsum::io;
namespace fs = std::filesystem;

namespace {

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
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static int open_read(int64_t unit, const std::string& p) {
    return io::open_unit(unit, p, "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ");
  }
  // All lines of a unit until the end of the file.
  static std::vector<std::string> all_lines(int64_t unit, size_t max_chars) {
    std::vector<std::string> out;
    std::string_view line;
    int st;
    while ((st = io::read_line(unit, line, max_chars)) == 0) out.emplace_back(line);
    EXPECT_EQ(st, io::kEndOfFile);
    return out;
  }

  static constexpr int64_t kA = 90001, kB = 90002, kC = 123456789012345;
  fs::path dir_;
};

using Lines = std::vector<std::string>;

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

TEST_F(UnitsIo, LinesLongerThanTheBufferAndAcrossBufferBoundaries) {
  // Lines of irregular lengths so that many of them straddle the edges of the
  // 1 MiB read buffer, plus lines of several MiB in the middle and at the end.
  std::mt19937 rng(7);
  std::string bytes;
  Lines want;
  for (int i = 0; i < 60000; ++i) {
    if (i == 20000 || i == 40000) {
      std::string huge(3 * 1024 * 1024 + 17, 'h');
      huge[0] = static_cast<char>('0' + i / 20000);
      bytes += huge + "\r\n";
      want.push_back(huge.substr(0, 100));
      continue;
    }
    std::string line(rng() % 150, static_cast<char>('a' + i % 26));
    if (!line.empty()) line[0] = static_cast<char>('A' + i % 26);
    bytes += line + (i % 3 == 0 ? "\r\n" : "\n");
    want.push_back(line.substr(0, 100));
  }
  std::string tail(2 * 1024 * 1024, 't');
  bytes += tail;  // no newline after the last, very long line
  want.push_back(tail.substr(0, 100));
  std::string p = write_file("big.txt", bytes);
  ASSERT_EQ(open_read(kA, p), 0);
  EXPECT_TRUE(all_lines(kA, 100) == want);
}

TEST_F(UnitsIo, DirectScratchKeepsEveryRecordAndRejectsUnwrittenOnes) {
  ASSERT_EQ(io::open_unit(kA, "SCRATCH DATA A", "DIRECT", "FORMATTED", 300, "SCRATCH", "WRITE"), 0);
  std::string_view rec;
  EXPECT_EQ(io::read_record(kA, 1, rec), io::kEndOfFile);  // nothing written yet

  // Enough records to fill several chunks, of every length including empty
  // ones and ones too long for the compact index.
  std::mt19937 rng(11);
  std::vector<std::string> want;
  for (int i = 1; i <= 70000; ++i) {
    size_t len = i % 997 == 0 ? 280 : rng() % 120;
    std::string s(len, static_cast<char>('!' + i % 90));
    s += std::to_string(i);
    want.push_back(s);
    ASSERT_EQ(io::write_record(kA, i, s), 0);
  }
  for (int i = 1; i <= 70000; ++i) {
    ASSERT_EQ(io::read_record(kA, i, rec), 0);
    ASSERT_EQ(rec, want[static_cast<size_t>(i - 1)]) << i;
  }
  EXPECT_EQ(io::read_record(kA, 70001, rec), io::kEndOfFile);
  EXPECT_EQ(io::read_record(kA, 0, rec), EINVAL);

  // Overwriting an earlier record leaves its neighbour as it was.
  ASSERT_EQ(io::write_record(kA, 500, "changed"), 0);
  ASSERT_EQ(io::read_record(kA, 500, rec), 0);
  EXPECT_EQ(rec, "changed");
  ASSERT_EQ(io::read_record(kA, 501, rec), 0);
  EXPECT_EQ(rec, want[500]);
  // A record beyond the next number leaves a gap of unwritten ones; filling
  // the gap in order passes through the record written ahead.
  ASSERT_EQ(io::write_record(kA, 70005, "ahead"), 0);
  EXPECT_EQ(io::read_record(kA, 70004, rec), io::kEndOfFile);
  for (int i = 70001; i <= 70006; ++i) ASSERT_EQ(io::write_record(kA, i, "r" + std::to_string(i)), 0);
  ASSERT_EQ(io::read_record(kA, 70005, rec), 0);
  EXPECT_EQ(rec, "r70005");
  // A record number far away costs nothing for the numbers in between.
  ASSERT_EQ(io::write_record(kA, int64_t{1} << 60, "far"), 0);
  ASSERT_EQ(io::read_record(kA, int64_t{1} << 60, rec), 0);
  EXPECT_EQ(rec, "far");
  EXPECT_EQ(io::read_record(kA, (int64_t{1} << 60) - 1, rec), io::kEndOfFile);

  // A record longer than the record length is cut; closing discards them all.
  ASSERT_EQ(io::write_record(kA, 2, std::string(400, 'x')), 0);
  ASSERT_EQ(io::read_record(kA, 2, rec), 0);
  EXPECT_EQ(rec, std::string(300, 'x'));
  ASSERT_EQ(io::close_unit(kA), 0);
  EXPECT_EQ(io::read_record(kA, 1, rec), EBADF);
  ASSERT_EQ(io::open_unit(kA, "", "DIRECT", "FORMATTED", 300, "SCRATCH", "WRITE"), 0);
  EXPECT_EQ(io::read_record(kA, 1, rec), io::kEndOfFile);  // a new, empty copy
}

TEST_F(UnitsIo, DirectFileIsFixedLengthTextAndKeepsRecordsAcrossOpens) {
  std::string p = path("recs.dat");
  ASSERT_EQ(io::open_unit(kA, p, "DIRECT", "FORMATTED", 8, "NEW", "WRITE"), 0);
  ASSERT_EQ(io::write_record(kA, 1, "ONE"), 0);
  ASSERT_EQ(io::write_record(kA, 3, "THREE-CUT-HERE"), 0);
  std::string_view rec;
  EXPECT_EQ(io::read_record(kA, 2, rec), io::kEndOfFile);  // the hole between
  EXPECT_EQ(io::read_record(kA, 4, rec), io::kEndOfFile);  // past the end
  ASSERT_EQ(io::close_unit(kA), 0);
  std::string bytes = slurp(p);
  EXPECT_EQ(bytes.substr(0, 9), "ONE     \n");
  EXPECT_EQ(bytes.substr(18), "THREE-CU\n");

  ASSERT_EQ(io::open_unit(kA, p, "DIRECT", "FORMATTED", 8, "OLD", "READ"), 0);
  ASSERT_EQ(io::read_record(kA, 3, rec), 0);
  EXPECT_EQ(rec, "THREE-CU");
  EXPECT_EQ(io::read_line(kA, rec, 80), EINVAL);  // not a sequential unit
}

TEST_F(UnitsIo, SequentialWritesAppendAndCutWhatFollows) {
  std::string p = path("out.txt");
  ASSERT_EQ(io::open_unit(kA, p, "SEQUENTIAL", "FORMATTED", 0, "UNKNOWN", "WRITE"), 0);
  for (const char* l : {"first", "", "third"}) ASSERT_EQ(io::write_line(kA, l), 0);
  std::string_view line;
  EXPECT_EQ(io::read_line(kA, line, 80), io::kEndOfFile);  // a write ends the file
  io::rewind_unit(kA);
  ASSERT_EQ(io::read_line(kA, line, 80), 0);
  EXPECT_EQ(line, "first");
  // Writing after the first line replaces everything after it.
  ASSERT_EQ(io::write_line(kA, "second"), 0);
  ASSERT_EQ(io::close_unit(kA), 0);
  EXPECT_EQ(slurp(p), "first\nsecond\n");

  // The same on a sequential scratch unit, which lives in memory.
  ASSERT_EQ(io::open_unit(kB, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "READ"), 0);
  for (const char* l : {"a", "b"}) ASSERT_EQ(io::write_line(kB, l), 0);
  io::rewind_unit(kB);
  ASSERT_EQ(io::read_line(kB, line, 80), 0);
  ASSERT_EQ(io::write_line(kB, "c"), 0);
  io::rewind_unit(kB);
  EXPECT_EQ(all_lines(kB, 80), (Lines{"a", "c"}));
}

TEST_F(UnitsIo, OpenStatusesAndRefusedCombinations) {
  std::string missing = path("missing.txt");
  std::string existing = write_file("there.txt", "x\n");
  EXPECT_EQ(io::open_unit(kA, missing, "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), ENOENT);
  EXPECT_EQ(io::open_unit(kA, existing, "SEQUENTIAL", "FORMATTED", 0, "NEW", "WRITE"), EEXIST);
  EXPECT_EQ(io::open_unit(kA, dir_.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), EISDIR);
  EXPECT_EQ(io::open_unit(kA, existing, "DIRECT", "FORMATTED", 0, "OLD", "READ"), EINVAL);
  EXPECT_FALSE(io::is_open(kA));
  EXPECT_EQ(io::open_unit(kA, missing, "SEQUENTIAL", "FORMATTED", 0, "UNKNOWN", "READ"), 0);
  EXPECT_TRUE(fs::exists(missing));

  // Refused word combinations leave the unit's connection as it was.
  struct Words {
    const char *access, *status, *action;
  } refused[] = {
      {"sequential", "OLD", "READ"},      // capitals only
      {"SEQUENTIAL", "REPLACE", "READ"},  // unknown status
      {"STREAM", "SCRATCH", "READ"},
  };
  for (const Words& w : refused) {
    EXPECT_EQ(io::open_unit(kA, existing, w.access, "FORMATTED", 80, w.status, w.action), -1)
        << w.access << "/" << w.status << "/" << w.action;
    EXPECT_TRUE(io::is_open(kA));
  }
  // A failed open keeps the old connection too; a good one replaces it.
  std::string_view line;
  EXPECT_EQ(io::open_unit(kA, path("nope"), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), ENOENT);
  EXPECT_EQ(io::read_line(kA, line, 80), io::kEndOfFile);  // still the empty file
  ASSERT_EQ(open_read(kA, existing), 0);
  ASSERT_EQ(io::read_line(kA, line, 80), 0);
  EXPECT_EQ(line, "x");
  // Blank-padded words and a direct scratch unit whose action is not looked at.
  EXPECT_EQ(io::open_unit(kB, "", "DIRECT     ", "FORMATTED", 80, "SCRATCH  ", "?"), 0);
}

TEST_F(UnitsIo, UnitsNotOpenAndStandardUnits) {
  std::string_view line;
  EXPECT_FALSE(io::is_open(kC));
  EXPECT_EQ(io::close_unit(kC), 0);
  EXPECT_EQ(io::read_line(kC, line, 80), EBADF);
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
  EXPECT_EQ(io::read_record(6, 1, line), EINVAL);
}

TEST_F(UnitsIo, ExportedRoutinesHonourHiddenLengths) {
  std::string p = write_file("in.txt", "line one\nline two\n");
  // The file name field holds rubbish after its hidden length; the words are
  // longer than their hidden lengths, which cut them to the accepted words.
  std::string name = p + "GARBAGE";
  char access[] = "SEQUENTIALXYZ", form[] = "FORMATTED", status[] = "OLD!", action[] = "READ";
  int64_t unit = kA, recl = 0, ierr = 99;
  tkopen_(&unit, name.data(), access, form, &recl, status, action, &ierr, p.size(), 10, 9, 3, 4);
  ASSERT_EQ(ierr, 0);
  std::string_view line;
  ASSERT_EQ(io::read_line(kA, line, 80), 0);
  EXPECT_EQ(line, "line one");

  // A file name padded with blanks.
  std::string padded_name = p + std::string(40, ' ');
  unit = kB;
  tkopen_(&unit, padded_name.data(), access, form, &recl, status, action, &ierr,
          padded_name.size(), 10, 9, 3, 4);
  ASSERT_EQ(ierr, 0);
  // Hidden length 0 makes every word empty: a refused combination.
  unit = kC;
  tkopen_(&unit, name.data(), access, form, &recl, status, action, &ierr, 0, 0, 0, 0, 0);
  EXPECT_EQ(ierr, -1);

  // TKCLOS rewinds the first unit and closes the others; closing a unit that
  // is not open is no error.
  int64_t u1 = kA, u2 = kB, u3 = kC, u4 = kB;
  tkclos_(&u1, &u2, &u3, &u4);
  EXPECT_TRUE(io::is_open(kA));
  EXPECT_FALSE(io::is_open(kB));
  ASSERT_EQ(io::read_line(kA, line, 80), 0);
  EXPECT_EQ(line, "line one");
  tkclfl_(&u1, &ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FALSE(io::is_open(kA));
  tkclfl_(&u1, &ierr);  // already closed: no error
  EXPECT_EQ(ierr, 0);
}

bool never(std::string_view) { return false; }
bool starts_with_x(std::string_view line) { return !line.empty() && line[0] == 'X'; }

// The loader's copy of a file into a scratch unit: records read back as the
// lines, whether they refer to the file or were copied, in any order.
TEST_F(UnitsIo, CopiedLinesReadBackAsRecordsInAnyOrder) {
  std::string text;
  std::vector<std::string> expect;
  for (int i = 0; i < 5000; ++i) {
    std::string line = "line " + std::to_string(i) + std::string(static_cast<size_t>(i % 97), '.');
    if (i % 7 == 0) line.clear();
    text += line + (i % 3 == 0 ? "\r\n" : "\n");
    expect.push_back(line.substr(0, 80));
  }
  text += "X stop here\nafter the stop";
  expect.push_back("X stop here");
  expect.push_back("after the stop");
  std::string file = write_file("copy.txt", text);

  ASSERT_EQ(open_read(kA, file), 0);
  ASSERT_EQ(io::open_unit(kB, "", "DIRECT", "FORMATTED", 80, "SCRATCH", "WRITE"), 0);
  std::string_view line;
  int64_t copied = 0;
  ASSERT_EQ(io::copy_lines(kA, kB, 1, 80, starts_with_x, line, copied), 0);
  EXPECT_EQ(copied, 5001);
  EXPECT_EQ(line, "X stop here");
  // A record not yet copied cannot be read.
  std::string_view rec;
  EXPECT_EQ(io::read_record(kB, 5002, rec), io::kEndOfFile);
  ASSERT_EQ(io::copy_lines(kA, kB, 5002, 80, never, line, copied), io::kEndOfFile);
  EXPECT_EQ(copied, 1);

  // Backwards, so that every read leaves the block the last one read.
  for (int64_t n = static_cast<int64_t>(expect.size()); n >= 1; --n) {
    ASSERT_EQ(io::read_record(kB, n, rec), 0) << n;
    ASSERT_EQ(rec, expect[static_cast<size_t>(n - 1)]) << n;
  }
  // A record written among the copied ones replaces only itself.
  ASSERT_EQ(io::write_record(kB, 10, "rewritten"), 0);
  ASSERT_EQ(io::read_record(kB, 10, rec), 0);
  EXPECT_EQ(rec, "rewritten");
  ASSERT_EQ(io::read_record(kB, 11, rec), 0);
  EXPECT_EQ(rec, expect[10]);
}

// A copy of a file several read buffers long: stop lines, a "\r\n" split
// by the end of the first buffer, lines longer than the buffer, records long
// enough to be kept with their text, and a last line without a line end. The
// stops and the records are those of a plain line-by-line read, also when the
// file is read a second time after a rewind.
TEST_F(UnitsIo, CopiedLinesAcrossReadBuffers) {
  constexpr size_t kBuffer = size_t{1} << 20;
  std::mt19937 rng(5);
  std::string bytes;
  Lines want, stops;
  auto add = [&](const std::string& line, const char* end) {
    bytes += line + end;
    want.push_back(line.substr(0, 300));
    if (line[0] == 'X') stops.push_back(want.back());
  };
  while (bytes.size() < kBuffer - 200) add("X" + std::string(rng() % 150, 'a'), rng() % 4 ? "\n" : "\r\n");
  add("X" + std::string(kBuffer - 1 - bytes.size() - 1, 'c'), "\r\n");  // '\r' is the buffer's last byte
  while (bytes.size() < 4 * kBuffer) {
    const uint64_t pick = rng() % 200;
    std::string line = pick == 0   ? std::string(kBuffer + rng() % 5000, 'L')
                       : pick < 6  ? std::string(255 + rng() % 60, 'W')
                                   : std::string(rng() % 150, static_cast<char>('a' + rng() % 26));
    line.insert(0, rng() % 8 == 0 ? "X" : "-");
    add(line, rng() % 4 ? "\n" : "\r\n");
  }
  bytes += "X last";
  want.push_back("X last");
  stops.push_back("X last");
  const std::string file = write_file("big-copy.txt", bytes);

  ASSERT_EQ(open_read(kC, file), 0);
  ASSERT_TRUE(all_lines(kC, 300) == want);
  ASSERT_EQ(open_read(kA, file), 0);
  for (int pass = 0; pass < 2; ++pass) {
    io::rewind_unit(kA);
    ASSERT_EQ(io::open_unit(kB, "", "DIRECT", "FORMATTED", 300, "SCRATCH", "WRITE"), 0);
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
    std::string_view rec;
    for (int64_t n = 1; n <= total; ++n) {
      ASSERT_EQ(io::read_record(kB, n, rec), 0) << n;
      ASSERT_EQ(rec, want[static_cast<size_t>(n - 1)]) << n;
    }
  }
}

// A summary file changed after it was loaded must not hand out other text
// as if it were the loaded lines; lines that do not come from a regular file
// are copied into memory and outlive their unit.
TEST_F(UnitsIo, CopiedRecordsOfAChangedFileOrAScratchUnit) {
  auto copy_all = [&](int64_t expected) {
    io::close_unit(kB);
    ASSERT_EQ(io::open_unit(kB, "", "DIRECT", "FORMATTED", 80, "SCRATCH", "WRITE"), 0);
    std::string_view line;
    int64_t copied = 0;
    ASSERT_EQ(io::copy_lines(kA, kB, 1, 80, never, line, copied), io::kEndOfFile);
    ASSERT_EQ(copied, expected);
    io::close_unit(kA);
  };
  std::string_view rec;
  ASSERT_EQ(open_read(kA, write_file("changing.txt", "first line\nsecond line\n")), 0);
  copy_all(2);
  write_file("changing.txt", "other text entirely, and longer than before\n");
  EXPECT_EQ(io::read_record(kB, 2, rec), io::kEndOfFile);
  EXPECT_EQ(io::read_record(kB, 1, rec), io::kEndOfFile);

  ASSERT_EQ(io::open_unit(kA, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE"), 0);
  for (const char* l : {"alpha", "", "gamma"}) ASSERT_EQ(io::write_line(kA, l), 0);
  io::rewind_unit(kA);
  copy_all(3);
  ASSERT_EQ(io::read_record(kB, 3, rec), 0);
  EXPECT_EQ(rec, "gamma");
  ASSERT_EQ(io::read_record(kB, 2, rec), 0);
  EXPECT_EQ(rec, "");
}

}  // namespace
