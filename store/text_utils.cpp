// Text utilities: TKCINT, TKMBYT, TKCASE and TKUPPR.
#include "store/text_utils.hpp"

#include <algorithm>

#include "flowsum.h"
#include "store/packed_words.hpp"

namespace flowsum {

UnsignedRead read_unsigned(std::string_view text) {
  UnsignedRead r;
  size_t k = 0;
  while (k < text.size() && text[k] == ' ') ++k;
  uint64_t value = 0;
  for (; k < text.size(); ++k) {
    const char c = text[k];
    if (c == ' ') {
      // Blanks after leading zeros are skipped: "0 5" reads as 5.
      if (value != 0) break;
      continue;
    }
    if (c < '0' || c > '9') return {0, 1};
    const auto digit = static_cast<uint64_t>(c - '0');
    // A number that does not fit a signed 64-bit word would come back
    // wrapped into some unrelated value; it is refused instead.
    if (value > (static_cast<uint64_t>(INT64_MAX) - digit) / 10) return {0, 1};
    value = value * 10 + digit;
  }
  r.value = static_cast<int64_t>(value);
  return r;
}

void upper_case(TextField text, int64_t n) {
  if (n < 1) return;
  const size_t m = std::min<size_t>(static_cast<uint64_t>(n), text.len);
  for (size_t k = 0; k < m; ++k) {
    const char c = text.data[k];
    if (c >= 'a' && c <= 'z') text.data[k] = static_cast<char>(c - 'a' + 'A');
  }
}

}  // namespace flowsum

using flowsum::TextField;

extern "C" {

void tkcint_(int64_t* n, const char* text, int64_t* ival, int64_t* ierr,
             size_t text_len) {
  // Characters past the caller's field count as blanks, which end or skip
  // nothing that the field itself does not, so the field is cut there.
  std::string_view v = TextField(text, text_len).view();
  if (*n < 1) {
    *ival = 0;
    *ierr = 0;
    return;
  }
  v = v.substr(0, std::min<uint64_t>(static_cast<uint64_t>(*n), v.size()));
  const flowsum::UnsignedRead r = flowsum::read_unsigned(v);
  *ival = r.value;
  *ierr = r.ierr;
}

void tkmbyt_(int64_t* src, int64_t* i, int64_t* dst, int64_t* j) {
  // Positions below 1 would address bytes in front of the arrays.
  if (*i < 1 || *j < 1) return;
  flowsum::set_packed_char(dst, *j, flowsum::packed_char(src, *i));
}

void tkcase_(int64_t* n, char* text, size_t text_len) {
  flowsum::upper_case(TextField(text, text_len), *n);
}

void tkuppr_(char* text, int64_t* n, size_t text_len) {
  flowsum::upper_case(TextField(text, text_len), *n);
}

}  // extern "C"
