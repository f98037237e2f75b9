// Small text utilities exported for the calling program and used by the
// loader: an unsigned integer read from text, upper-casing, and moving one
// character between packed texts.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/text_field.hpp"

namespace flowsum {

struct UnsignedRead {
  int64_t value = 0;
  int64_t ierr = 0;  // 0 read (or nothing to read), 1 not a number
};

// TKCINT over a text that is already cut to the characters to look at:
// digits only, leading blanks skipped, blanks between leading zeros and the
// number skipped, a blank after a non-zero value ends it. A value beyond the
// 64-bit range is refused like a bad character.
UnsignedRead read_unsigned(std::string_view text);

// Capitals for a..z among the first n characters of the field (n < 1: none).
void upper_case(TextField text, int64_t n);

}  // namespace flowsum
