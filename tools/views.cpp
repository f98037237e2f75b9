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

namespace {

// Fixed notation of x with `precision` decimals, trailing zeros of the
// fraction and a bare full stop left out, by scaling x into an integer: the
// common case of the tables, at a fraction of the cost of an exact
// conversion. With at most 9 significant digits the scaled value is below
// 1e9 (or x itself when nothing is scaled) and its one rounding error is far
// below 1e-6, so a fraction that is not within 1e-6 of one half rounds as
// the exact value does. Returns the characters written into out, or 0 when
// the exact conversion must decide (ties and near-ties, more digits).
size_t fixed_by_scaling(double x, int precision, int digits, char* out) {
  static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6,
                                      1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
  if (digits > 9 || precision < 0 || precision >= static_cast<int>(std::size(kScale))) return 0;
  const double scaled = std::fabs(x) * kScale[precision];
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) <= 1e-6) return 0;
  uint64_t r = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  if (r == 0) return 0;
  // The digits of r, last first, two at a time.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char d[24];
  int n = 0;
  for (; r >= 100; r /= 100) {
    const size_t k = static_cast<size_t>(r % 100) * 2;
    d[n++] = kPairs[k + 1];
    d[n++] = kPairs[k];
  }
  if (r >= 10) {
    d[n++] = kPairs[r * 2 + 1];
    d[n++] = kPairs[r * 2];
  } else {
    d[n++] = static_cast<char>('0' + r);
  }
  int zeros = 0;  // trailing zeros of the fraction, left out
  while (zeros < precision && zeros < n && d[zeros] == '0') ++zeros;
  char* o = out;
  if (x < 0) *o++ = '-';
  if (n <= precision) {
    *o++ = '0';
    *o++ = '.';
    for (int i = precision; i > n; --i) *o++ = '0';
    for (int i = n - 1; i >= zeros; --i) *o++ = d[i];
  } else {
    for (int i = n - 1; i >= precision; --i) *o++ = d[i];
    if (zeros < precision) {
      *o++ = '.';
      for (int i = precision - 1; i >= zeros; --i) *o++ = d[i];
    }
  }
  return static_cast<size_t>(o - out);
}

}  // namespace

// Fixed notation with the digits asked for (a whole number keeps all its
// digits: 2950000 Pa stays readable), exponent notation only for very large
// or small magnitudes.
std::string_view significant_into(double x, SignificantBuffer& buf) {
  // std::to_chars: several times faster than snprintf on a large table,
  // and without locale.
  const int digits = settings().digits;
  if (!std::isfinite(x) || x == 0) {
    const int n = std::snprintf(buf.data(), buf.size(), "%g", x);
    return {buf.data(), static_cast<size_t>(std::clamp(n, 0, static_cast<int>(buf.size()) - 1))};
  }
  // The decimal exponent by comparison with the powers of ten of the fixed
  // range (1e-4 up to 1e15): a stream table prints hundreds of thousands of
  // values, and a logarithm for each was a good part of the printing.
  static constexpr double kPowers[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                       1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double magnitude = std::fabs(x);
  char* const first = buf.data();
  char* const end = first + buf.size();
  if (magnitude < kPowers[0] || magnitude >= kPowers[19]) {
    const auto r = std::to_chars(first, end, x, std::chars_format::general, digits);
    return {first, static_cast<size_t>(r.ptr - first)};
  }
  const int exponent =
      static_cast<int>(std::upper_bound(std::begin(kPowers), std::end(kPowers), magnitude) - std::begin(kPowers)) - 5;
  const int precision = std::max(0, digits - 1 - exponent);
  if (const size_t n = fixed_by_scaling(x, precision, digits, first)) return {first, n};
  const auto r = std::to_chars(first, end, x, std::chars_format::fixed, precision);
  std::string_view s(first, static_cast<size_t>(r.ptr - first));
  if (s.find('.') != std::string_view::npos) {
    s = s.substr(0, s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.remove_suffix(1);
  }
  return s == "-0" ? std::string_view("0") : s;
}

std::string significant(double x) {
  SignificantBuffer buf;
  return std::string(significant_into(x, buf));
}

std::string fit(const std::string& text, size_t width) {
  if (text.size() <= width || width == 0) return text;
  return text.substr(0, width - 1) + "~";
}

void not_in_file(const char* kind, const std::string& id, const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "flowsum: %s %s: %s\n", kind, id.c_str(), what.c_str());
  ++missing_objects;
}

int objects_not_in_file() { return missing_objects; }

namespace {

// Relief objects have no index of their own: they are few, and the listing
// is how the file tells them apart from other identifiers.
bool relief_in_file(const std::string& id) {
  int64_t n = 0;
  tknprs_(&n);
  if (n <= 0 || n > 100000) return false;
  constexpr size_t kId = 128;
  std::string ids(static_cast<size_t>(n) * kId, ' ');
  int64_t ierr = 1;
  tkpids_(&n, ids.data(), &ierr, kId);
  for (int64_t k = 0; ierr == 0 && k < n; ++k)
    if (field(ids, static_cast<size_t>(k), kId) == id) return true;
  return false;
}

}  // namespace

bool object_in_file(const View& view, const std::string& id) {
  if (view.check == Check::kView) return true;
  if (view.check == Check::kRelief) {
    if (relief_in_file(id)) return true;
    not_in_file(view.kind, id);
    return false;
  }
  std::string field = pad(id, std::max<size_t>(id.size(), 128)), model(8, ' ');
  int64_t ierr = 1;
  tkvblk_(field.data(), model.data(), &ierr, field.size(), model.size());
  if (ierr != 0) {
    not_in_file("block", id);
    return false;
  }
  if (!view.models) return true;
  model = trim(model);
  for (const char* const* m = view.models; *m; ++m)
    if (model == *m) return true;
  not_in_file(view.kind, id, "a " + model + " block, not a " + view.kind);
  return false;
}

}  // namespace flowsum_tool
