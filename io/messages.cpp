// Message lines and the fixed-column number formats they are built from.
#include "io/messages.hpp"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "store/text_field.hpp"

namespace flowsum {
namespace {

std::string right_aligned(std::string_view s, int width) {
  if (static_cast<int>(s.size()) > width) return std::string(static_cast<size_t>(width), '*');
  std::string out(static_cast<size_t>(width) - s.size(), ' ');
  out.append(s);
  return out;
}

// Infinity and NaN as a Fortran output edit writes them: the longest of
// "Infinity" / "Inf" that fits, a minus sign for negative infinity.
std::string non_finite(double value, int width) {
  if (std::isnan(value)) return right_aligned("NaN", width);
  bool neg = value < 0;
  int sign = neg ? 1 : 0;
  if (width >= 8 + sign) return right_aligned(neg ? "-Infinity" : "Infinity", width);
  return right_aligned(neg ? "-Inf" : "Inf", width);
}

}  // namespace

void write_message_lines(std::initializer_list<std::string_view> lines) {
  int64_t unit = message_unit();
  if (unit <= 0) return;
  for (std::string_view line : lines) io::write_line(unit, line);
}

void write_message(std::initializer_list<std::string_view> lines) {
  int64_t unit = message_unit();
  if (unit <= 0) return;
  io::write_line(unit, "");
  for (std::string_view line : lines) io::write_line(unit, line);
}

namespace {
int64_t g_warnings = 0;
}  // namespace

void write_warning(std::initializer_list<std::string_view> lines) {
  ++g_warnings;
  if (g_warnings <= kWarningMessages) write_message(lines);
  if (g_warnings == kWarningMessages + 1)
    write_message({" WARNING: FURTHER WARNINGS ARE COUNTED, NOT WRITTEN"});
}

void reset_warnings() { g_warnings = 0; }

int64_t warning_count() { return g_warnings; }

std::string fortran_i(int64_t value, int width) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  if (width <= 0) return std::string(s);  // I0: as many columns as needed
  return right_aligned(s, width);
}

std::string fortran_e(double value, int width, int digits) {
  if (width <= 0) return {};
  if (digits < 1) return std::string(static_cast<size_t>(width), '*');
  if (!std::isfinite(value)) return non_finite(value, width);

  // d significant digits, rounded correctly from the binary value: scientific
  // notation gives "m.mmmmme+xx", that is 0.mmmmmm times 10 to xx + 1.
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                           std::chars_format::scientific, digits - 1);
  if (res.ec != std::errc()) return std::string(static_cast<size_t>(width), '*');
  std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
  size_t epos = sci.find('e');
  std::string mantissa;
  mantissa.reserve(static_cast<size_t>(digits));
  for (char c : sci.substr(0, epos))
    if (c != '.') mantissa.push_back(c);
  int exponent = 0;
  std::string_view exp_text = sci.substr(epos + 1);
  if (!exp_text.empty() && exp_text[0] == '+') exp_text.remove_prefix(1);
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);
  if (value != 0.0) exponent += 1;  // zero keeps the exponent 0

  std::string exp_field;
  int mag = std::abs(exponent);
  char sign = exponent < 0 ? '-' : '+';
  if (mag <= 99) {
    exp_field = {'E', sign, static_cast<char>('0' + mag / 10), static_cast<char>('0' + mag % 10)};
  } else if (mag <= 999) {
    // Three exponent digits take the place of the letter.
    exp_field = {sign, static_cast<char>('0' + mag / 100),
                 static_cast<char>('0' + mag / 10 % 10), static_cast<char>('0' + mag % 10)};
  } else {
    return std::string(static_cast<size_t>(width), '*');
  }

  std::string body = "0." + mantissa + exp_field;
  std::string neg = std::signbit(value) ? "-" : "";
  if (static_cast<int>(neg.size() + body.size()) > width)
    body.erase(0, 1);  // the leading zero is optional when space is short
  return right_aligned(neg + body, width);
}

std::string fortran_a(std::string_view text, int width) {
  if (width <= 0) return {};
  return padded(text, static_cast<size_t>(width));
}

}  // namespace flowsum
