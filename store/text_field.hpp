// Blank-padded caller text fields (Fortran CHARACTER arguments): every
// routine that reads or writes a caller's text goes through these helpers so
// that the hidden length is always honoured.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace flowsum {

// A caller's field: pointer and hidden length. A null pointer or length 0 is
// a legal empty field.
struct TextField {
  char* data;
  size_t len;

  TextField(char* d, size_t n) : data(d), len(d ? n : 0) {}

  std::string_view view() const { return {data, len}; }
  // The field without its trailing blanks.
  std::string_view trimmed() const { return trim_right(view()); }

  void fill_blank() const {
    if (len) std::memset(data, ' ', len);
  }
  // Blank the field, then copy as much of s as fits.
  void assign(std::string_view s) const {
    size_t n = std::min(len, s.size());
    if (n) std::memcpy(data, s.data(), n);
    if (len > n) std::memset(data + n, ' ', len - n);
  }

  static std::string_view trim_right(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
  }
};

// Blank-padded equality: "AB" equals "AB  ".
inline bool padded_equal(std::string_view a, std::string_view b) {
  return TextField::trim_right(a) == TextField::trim_right(b);
}

// The first n characters of s, blank-padded to exactly n.
inline std::string padded(std::string_view s, size_t n) {
  std::string out(n, ' ');
  const size_t k = std::min(n, s.size());
  if (k) std::memcpy(out.data(), s.data(), k);
  return out;
}

// Element i (0-based) of a caller's text array whose elements are len long.
inline TextField text_element(char* base, size_t len, size_t i) {
  return TextField(base ? base + i * len : nullptr, len);
}

}  // namespace flowsum
