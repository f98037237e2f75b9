// How long reading every stream's main table takes at the least: the work
// any reader has to do, without the library. For each "STR_MAIN" data set of
// the file (in file order, the kindest to caches) it reads exactly the data
// set's bytes with one pread, turns every plain number into a double with a
// minimal loop, and writes a 64-character row, a 12-character name, a
// 16-character label and a value for every number with a full stop (the
// generated file writes every result that way, and its unit codes without
// one, so these are the tables' rows). No tree search, no qualifier block, no work-area answer, no
// unit tables. Prints its time and the load's (fastest of 7 each) and their
// ratio: what stream_bench's pass could come down to if the library's own
// data path cost nothing.
//
//   stream_floor FILE
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/load_common.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Byte ranges (after "(" up to ")") of every main table in the file.
std::vector<std::pair<size_t, size_t>> main_tables(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string_view text(all);
  std::vector<std::pair<size_t, size_t>> sets;
  for (size_t p = 0; (p = text.find(" STR_MAIN ", p)) != std::string_view::npos;) {
    const size_t open = text.find('(', p), close = text.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos) break;
    sets.emplace_back(open + 1, close - open - 1);
    p = close;
  }
  return sets;
}

bool is_digit(char c) { return static_cast<unsigned>(c - '0') < 10; }
bool is_space(char c) { return c == ' ' || c == '\n' || c == '\r'; }

// The plain numbers of text (digits with one optional full stop and sign;
// anything else is skipped as a text value): those with a full stop go to
// out, and their count is returned; integers are read and counted in
// integers.
size_t numbers(const char* p, const char* end, std::vector<double>& out, size_t& integers) {
  size_t n = 0;
  for (;;) {
    while (p < end && is_space(*p)) ++p;
    if (p >= end) break;
    const bool neg = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    const char* first = p;
    uint64_t m = 0;
    int fraction = 0;
    for (; is_digit(*p); ++p) m = m * 10 + static_cast<uint64_t>(*p - '0');
    const bool point = *p == '.';
    if (point) {
      const char* q = ++p;
      for (; is_digit(*p); ++p) m = m * 10 + static_cast<uint64_t>(*p - '0');
      fraction = static_cast<int>(std::min<ptrdiff_t>(p - q, 22));
    }
    if (p == first || !is_space(*p)) {
      while (p < end && !is_space(*p)) ++p;
      continue;
    }
    if (!point) {
      ++integers;
      continue;
    }
    const double v = static_cast<double>(m) / kPowers[fraction];
    if (n == out.size()) out.resize(2 * n + 64);
    out[n++] = neg ? -v : v;
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: stream_floor FILE\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const std::vector<std::pair<size_t, size_t>> sets = main_tables(path);
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0 || sets.empty()) {
    std::fprintf(stderr, "stream_floor: no main tables in %s\n", path.c_str());
    return 2;
  }

  double load = 1e300;
  for (int r = 0; r < 7; ++r) {
    const auto t0 = Clock::now();
    if (flowsum::bench::load_file_once(path) != 0) return 2;
    load = std::min(load, seconds_since(t0));
  }

  std::vector<char> bytes;
  std::vector<double> nums, values;
  std::string rows, names, labels;
  const std::string row(64, ' '), name = "MASSFLOW    ", label = "KG/SEC          ";
  double pass = 1e300;
  size_t count = 0, integers = 0;
  for (int r = 0; r < 7; ++r) {
    const auto t0 = Clock::now();
    count = 0;
    integers = 0;
    for (const auto& [off, len] : sets) {
      if (bytes.size() < len + 1) bytes.resize(len + 1);
      if (::pread(fd, bytes.data(), len, static_cast<off_t>(off)) != static_cast<ssize_t>(len)) return 2;
      bytes[len] = ' ';
      const size_t n = numbers(bytes.data(), bytes.data() + len, nums, integers);
      if (values.size() < n) {
        values.resize(n);
        rows.resize(64 * n);
        names.resize(12 * n);
        labels.resize(16 * n);
      }
      for (size_t i = 0; i < n; ++i) {
        std::memcpy(&rows[64 * i], row.data(), 64);
        std::memcpy(&names[12 * i], name.data(), 12);
        std::memcpy(&labels[16 * i], label.data(), 16);
        values[i] = nums[i] * 1.0 + 0.0;
      }
      count += n;
    }
    pass = std::min(pass, seconds_since(t0));
  }
  ::close(fd);
  std::printf("main tables %zu, rows %zu, integers %zu\nload %.4f s, least read of all main tables %.4f s, ratio %.3f\n",
              sets.size(), count, integers, load, pass, pass / load);
  return 0;
}
