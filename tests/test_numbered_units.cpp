// Numbered units (line reads, records, opening rules, copied lines, the
// exported open and close) and the fixed-column message formats.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "flowsum.h"
#include "io/messages.hpp"
#include "io/numbered_units.hpp"

namespace io = flowsum::io;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// What a read gives: the text, or the failed status as "<status>".
std::string outcome(int st, std::string_view text) { return st == 0 ? std::string(text) : "<" + std::to_string(st) + ">"; }
std::string record(int64_t unit, int64_t n) {
  std::string_view rec;
  const int st = io::read_record(unit, n, rec);
  return outcome(st, rec);
}
std::string next_line(int64_t unit) {
  std::string_view line;
  const int st = io::read_line(unit, line, 80);
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
  static int open_read(int64_t unit, const std::string& p) {
    return io::open_unit(unit, p, "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ");
  }
  static int open_scratch(int64_t unit, int64_t recl) {
    return io::open_unit(unit, "", "DIRECT", "FORMATTED", recl, "SCRATCH", "WRITE");
  }
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
    EXPECT_EQ(all_lines(kA, c.max_chars), c.want) << c.bytes.substr(0, 20);
  }
}

TEST_F(UnitsIo, DirectScratchKeepsEveryRecord) {
  ASSERT_EQ(io::open_unit(kA, "SCRATCH DATA A", "DIRECT", "FORMATTED", 300, "SCRATCH", "WRITE"), 0);
  EXPECT_EQ(record(kA, 1), kEof);
  // Enough records to fill several chunks, of every length including empty
  // ones and ones too long for the compact index.
  std::mt19937 rng(11);
  Lines want;
  for (int i = 1; i <= 70000; ++i) {
    want.push_back(std::string(i % 997 == 0 ? 280 : rng() % 120, static_cast<char>('!' + i % 90)) + std::to_string(i));
    ASSERT_EQ(io::write_record(kA, i, want.back()), 0);
  }
  for (int i = 1; i <= 70000; ++i) ASSERT_EQ(record(kA, i), want[static_cast<size_t>(i - 1)]) << i;
  EXPECT_EQ(record(kA, 70001) + record(kA, 0), kEof + outcome(EINVAL, ""));
  // A record longer than RECL is cut.
  ASSERT_EQ(io::write_record(kA, 2, std::string(400, 'x')), 0);
  EXPECT_EQ(record(kA, 2), std::string(300, 'x'));
  // Closing discards them all; a new scratch copy is empty.
  ASSERT_EQ(io::close_unit(kA), 0);
  EXPECT_EQ(record(kA, 1), outcome(EBADF, ""));
  ASSERT_EQ(open_scratch(kA, 300), 0);
  EXPECT_EQ(record(kA, 1), kEof);

  // A named direct file holds fixed-length records and keeps them across
  // opens; the holes read as unwritten.
  const std::string p = path("recs.dat");
  ASSERT_EQ(io::open_unit(kB, p, "DIRECT", "FORMATTED", 8, "NEW", "WRITE"), 0);
  ASSERT_EQ(io::write_record(kB, 1, "ONE"), 0);
  ASSERT_EQ(io::write_record(kB, 3, "THREE-CUT-HERE"), 0);
  ASSERT_EQ(io::close_unit(kB), 0);
  ASSERT_EQ(io::open_unit(kB, p, "DIRECT", "FORMATTED", 8, "OLD", "READ"), 0);
  EXPECT_EQ(record(kB, 1) + "|" + record(kB, 2) + "|" + record(kB, 3) + "|" + record(kB, 4),
            "ONE     |" + kEof + "|THREE-CU|" + kEof);
  EXPECT_EQ(next_line(kB), outcome(EINVAL, ""));  // not a sequential unit
}

TEST_F(UnitsIo, OpenStatusesRefusedWordsAndTheExportedRoutines) {
  const std::string missing = path("missing.txt"), existing = write_file("there.txt", "x\n");
  EXPECT_EQ(io::open_unit(kA, existing, "SEQUENTIAL", "FORMATTED", 0, "NEW", "WRITE"), EEXIST);
  EXPECT_EQ(io::open_unit(kA, dir_.string(), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), EISDIR);
  EXPECT_EQ(io::open_unit(kA, missing, "SEQUENTIAL", "FORMATTED", 0, "UNKNOWN", "READ"), 0);
  // Refused words (lower case, an unknown status, stream access) and a
  // failed open leave the unit's connection as it was.
  for (auto [access, status] : {std::pair{"sequential", "OLD"}, {"SEQUENTIAL", "REPLACE"}, {"STREAM", "SCRATCH"}})
    EXPECT_EQ(io::open_unit(kA, existing, access, "FORMATTED", 80, status, "READ"), -1) << access << status;
  EXPECT_EQ(io::open_unit(kA, path("nope"), "SEQUENTIAL", "FORMATTED", 0, "OLD", "READ"), ENOENT);
  EXPECT_EQ(next_line(kA), kEof);  // still the empty file
  // A unit that is not open: no effect, no failure where none is due.
  EXPECT_EQ(io::close_unit(kC), 0);
  EXPECT_EQ(io::write_record(kC, 1, "lost"), EBADF);

  // TKOPEN cuts words longer than their hidden lengths to the accepted
  // words; TKCLOS rewinds the first unit and closes the others.
  const std::string name = write_file("in.txt", "line one\n");
  int64_t unit = kB, recl = 0, ierr = 99, u1 = kA, u2 = kB, u3 = kC, u4 = kA;
  std::string file = name + std::string(40, ' ');
  tkopen_(&unit, file.data(), "SEQUENTIALXYZ", "FORMATTED", &recl, "OLD!", "READ", &ierr, file.size(), 10, 9, 3, 4);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(next_line(kB), "line one");
  tkclos_(&u2, &u1, &u3, &u4);
  EXPECT_EQ(std::pair(next_line(kB), io::is_open(kA)), std::pair(std::string("line one"), false));
  tkclfl_(&u2, &ierr);
  EXPECT_EQ(std::pair(ierr, io::is_open(kB)), std::pair(int64_t{0}, false));
}

// Lines copied into records: runs of empty and blank lines read back as
// empty records, and the last record up to n that is not blank is found
// across and inside the runs.
TEST_F(UnitsIo, CopiedRecordsBlankRunsAndTheLastRecordNotBlank) {
  std::string bytes;
  Lines records;
  for (int i = 0; i < 40; ++i) {
    const int run = i % 7 == 0 ? 3000 : i % 3;
    for (int k = 0; k < run; ++k) bytes += k % 5 ? "\n" : "   \r\n", records.push_back("");
    bytes += "X" + std::to_string(i) + "\n", records.push_back("X" + std::to_string(i));
  }
  auto copy_all = [&](int64_t expected) {
    io::close_unit(kB);
    ASSERT_EQ(open_scratch(kB, 80), 0);
    std::string_view line;
    int64_t copied = 0;
    ASSERT_EQ(io::copy_lines(kA, kB, 1, 80, [](std::string_view) { return false; }, line, copied), io::kEndOfFile);
    ASSERT_EQ(copied, expected);
    io::close_unit(kA);
  };
  ASSERT_EQ(open_read(kA, write_file("runs.txt", bytes)), 0);
  copy_all(static_cast<int64_t>(records.size()));
  std::string_view text;
  for (int64_t n = 1, last = 0; n <= static_cast<int64_t>(records.size()); ++n) {
    if (!records[static_cast<size_t>(n - 1)].empty()) last = n;
    ASSERT_EQ(record(kB, n), records[static_cast<size_t>(n - 1)]) << n;
    ASSERT_EQ(io::last_record_not_blank(kB, 1, n, text), last) << n;
  }
  // Lines copied from a file changed after the load are not handed out as
  // the loaded lines; lines from a scratch unit outlive their unit.
  ASSERT_EQ(open_read(kA, write_file("changing.txt", "first line\nsecond line\n")), 0);
  copy_all(2);
  write_file("changing.txt", "other text entirely, and longer than before\n");
  EXPECT_EQ(record(kB, 2) + record(kB, 1), kEof + kEof);

  ASSERT_EQ(io::open_unit(kA, "", "SEQUENTIAL", "FORMATTED", 0, "SCRATCH", "WRITE"), 0);
  for (const char* l : {"alpha", "", "gamma"}) ASSERT_EQ(io::write_line(kA, l), 0);
  io::rewind_unit(kA);
  copy_all(3);
  EXPECT_EQ(record(kB, 3) + "|" + record(kB, 2), "gamma|");
}

using flowsum::fortran_a;
using flowsum::fortran_e;
using flowsum::fortran_i;

TEST(MessageFormats, FixedColumns) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double value;
    int w, d;
    const char* want;
  } cases[] = {{-1.0, 13, 6, "-0.100000E+01"},
               {0.99999996, 13, 6, " 0.100000E+01"},  // rounding carries into the exponent
               {1.0e99, 13, 6, " 0.100000+100"},      // three exponent digits drop the E
               {-1.0, 12, 6, "-.100000E+01"},         // no room for the leading zero
               {std::nan(""), 13, 6, "          NaN"}, {-inf, 4, 2, "-Inf"}, {-inf, 3, 2, "***"}};
  for (const Case& c : cases) EXPECT_EQ(fortran_e(c.value, c.w, c.d), c.want) << c.value << " E" << c.w << "." << c.d;
  EXPECT_EQ(fortran_i(-123, 4) + fortran_i(-123, 3) + fortran_i(7, 0), "-123***7");  // width 0: as wide as needed
  EXPECT_EQ(fortran_i(INT64_MIN, 20) + fortran_i(INT64_MIN, 19), "-9223372036854775808" + std::string(19, '*'));
  EXPECT_EQ(fortran_a("DSET", 6) + fortran_a("PROCESSING", 6) + fortran_a("X", 0), "DSET  PROCES");
}


}  // namespace
