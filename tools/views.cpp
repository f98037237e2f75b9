#include "tools/views.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "flowsum.h"

namespace flowsum_tool {

namespace {
int missing_objects = 0;
}

Settings& settings() {
  static Settings s;
  return s;
}

// Fixed notation with the digits asked for (a whole number keeps all its
// digits: 2950000 Pa stays readable), exponent notation only for very large
// or small magnitudes.
std::string significant(double x) {
  // std::to_chars: several times faster than snprintf on a large table,
  // and without locale.
  const int digits = settings().digits;
  char buf[400];
  if (!std::isfinite(x) || x == 0) {
    std::snprintf(buf, sizeof buf, "%g", x);
    return buf;
  }
  // The decimal exponent by comparison with the powers of ten of the fixed
  // range (1e-4 up to 1e15): a stream table prints hundreds of thousands of
  // values, and a logarithm for each was a good part of the printing.
  static constexpr double kPowers[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                       1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double magnitude = std::fabs(x);
  if (magnitude < kPowers[0] || magnitude >= kPowers[19]) {
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, digits);
    return std::string(buf, r.ptr);
  }
  const int exponent =
      static_cast<int>(std::upper_bound(std::begin(kPowers), std::end(kPowers), magnitude) - std::begin(kPowers)) - 5;
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed,
                               std::max(0, digits - 1 - exponent));
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  if (s.find('.') != std::string_view::npos) {
    s = s.substr(0, s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.remove_suffix(1);
  }
  return s == "-0" ? "0" : std::string(s);
}

std::string fit(const std::string& text, size_t width) {
  if (text.size() <= width || width == 0) return text;
  return text.substr(0, width - 1) + "~";
}

void not_in_file(const char* kind, const std::string& id) {
  std::fflush(stdout);
  std::fprintf(stderr, "flowsum: %s %s: not in the file\n", kind, id.c_str());
  ++missing_objects;
}

int objects_not_in_file() { return missing_objects; }

bool block_in_file(const std::string& id) {
  std::string field = id, model(8, ' ');
  field.resize(std::max<size_t>(field.size(), 128), ' ');
  int64_t ierr = 1;
  tkvblk_(field.data(), model.data(), &ierr, field.size(), model.size());
  return ierr == 0;
}

}  // namespace flowsum_tool
