// Blank-padded caller text fields (Fortran CHARACTER arguments): every
// routine that reads or writes a caller's text goes through these helpers so
// that the hidden length is always honoured.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace flowsum {

// Short copies and blankings without a library call. Most caller fields are
// a few to a few dozen characters and are written once per row of a table,
// where a call to memcpy or memset for each would cost more than the bytes.
// Up to 64 bytes are covered by two to four overlapping moves of a fixed
// size (written out: a loop of them would be turned back into a call).
inline void copy_bytes(char* d, const char* s, size_t n) {
  if (n >= 16) {
    if (n > 64) {
      std::memcpy(d, s, n);
      return;
    }
    std::memcpy(d, s, 16);
    if (n > 32) {
      std::memcpy(d + 16, s + 16, 16);
      std::memcpy(d + n - 32, s + n - 32, 16);
    }
    std::memcpy(d + n - 16, s + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(d, s, 8);
    std::memcpy(d + n - 8, s + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(d, s, 4);
    std::memcpy(d + n - 4, s + n - 4, 4);
  } else {
    if (n > 0) d[0] = s[0];
    if (n > 1) d[1] = s[1];
    if (n > 2) d[2] = s[2];
  }
}
inline void blank_bytes(char* d, size_t n) {
  static constexpr char kBlanks[64] = {
      ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
      ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
      ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
      ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  if (n > 64) std::memset(d, ' ', n);
  else copy_bytes(d, kBlanks, n);
}

// A caller's field: pointer and hidden length. A null pointer or length 0 is
// a legal empty field.
struct TextField {
  char* data;
  size_t len;

  TextField(char* d, size_t n) : data(d), len(d ? n : 0) {}
  // A caller's input text: the routines only read it (view, trimmed), never
  // assign or blank it.
  TextField(const char* d, size_t n) : TextField(const_cast<char*>(d), n) {}

  std::string_view view() const { return {data, len}; }
  // The field without its trailing blanks.
  std::string_view trimmed() const { return trim_right(view()); }

  void fill_blank() const { blank_bytes(data, len); }
  // Blank the field, then copy as much of s as fits.
  void assign(std::string_view s) const {
    size_t n = std::min(len, s.size());
    copy_bytes(data, s.data(), n);
    if (len > n) blank_bytes(data + n, len - n);
  }

  static std::string_view trim_right(std::string_view s) {
    // Eight blanks at a time first: the texts trimmed are often long
    // keyword fields holding a short keyword.
    size_t n = s.size();
    for (uint64_t w; n >= 8; n -= 8) {
      std::memcpy(&w, s.data() + n - 8, 8);
      if (w != 0x2020202020202020) break;
    }
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
  }
};

// Whether all n characters from p are blanks; eight at a time, since the
// fields compared are often long keyword fields holding a short keyword.
inline bool all_blank(const char* p, size_t n) {
  constexpr uint64_t kBlanks = 0x2020202020202020;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w != kBlanks) return false;
  }
  for (; i < n; ++i)
    if (p[i] != ' ') return false;
  return true;
}

// Whether n bytes at a and b agree; short lengths by fixed-size loads, as
// copy_bytes copies them, since the texts compared are mostly keywords.
inline bool equal_bytes(const char* a, const char* b, size_t n) {
  if (n > 16) return std::memcmp(a, b, n) == 0;
  uint64_t x0, y0, x1, y1;
  if (n >= 8) {
    std::memcpy(&x0, a, 8);
    std::memcpy(&y0, b, 8);
    std::memcpy(&x1, a + n - 8, 8);
    std::memcpy(&y1, b + n - 8, 8);
    return ((x0 ^ y0) | (x1 ^ y1)) == 0;
  }
  if (n >= 4) {
    uint32_t u0, v0, u1, v1;
    std::memcpy(&u0, a, 4);
    std::memcpy(&v0, b, 4);
    std::memcpy(&u1, a + n - 4, 4);
    std::memcpy(&v1, b + n - 4, 4);
    return ((u0 ^ v0) | (u1 ^ v1)) == 0;
  }
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// Blank-padded equality: "AB" equals "AB  ". The shorter text must be the
// start of the longer one, and the rest of the longer one blank.
inline bool padded_equal(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  if (!equal_bytes(a.data(), b.data(), a.size())) return false;
  return all_blank(b.data() + a.size(), b.size() - a.size());
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
inline TextField text_element(const char* base, size_t len, size_t i) {
  return text_element(const_cast<char*>(base), len, i);
}

}  // namespace flowsum
