// The summary-file scanner: one table-driven automaton shared by the whole
// library. Its state lives here and survives between calls.
#pragma once

#include <cstdint>
#include <string_view>

namespace flowsum::scan {

inline constexpr int kLineChars = 128;  // characters of the held line

// Token types.
enum : int64_t {
  kNone = -1, kInteger = 2, kReal = 3, kMissing = 4, kQuoted = 5,
  kPercentName = 6, kAtName = 7, kBracketInt = 8, kOpen = 9, kClose = 10,
  kComma = 11, kAmpersand = 12, kNumberSign = 13, kName = 14,
  kQuestion = 15, kSemicolon = 16, kSlash = 17, kBackslash = 18,
  kEquals = 19
};

struct Token {
  int64_t type = kNone;
  int64_t ival = 0;
  double rval = 0.0;
  std::string_view text;  // valid until the next call that moves the scanner
};

// TKTOKI: comma variant, unit and mode, then position and text.
void configure(int64_t variant, int64_t unitmode, double position,
               std::string_view text);
// TKTOKN.
void next(Token& tok);
// TKTOKS: 1 standard table, anything else the extended table.
void select_table(int64_t flag);

// A number that changes whenever the transition table in force changes
// (TKTOKS, or TKTOKI's comma variant): what the scanner made of a text is
// kept by callers only while it is the same.
uint64_t table_generation();

// Whether plain numbers are read by a shortcut rather than the automaton
// (on by default; the results are the same, which tests check by turning it
// off).
void use_number_shortcut(bool on);

// State read by the library (the line number held, the read unit and mode).
int64_t line_number();
int64_t read_unit();
int64_t read_mode();
// The held line up to its last non-blank character (valid until the scanner
// reads another line or is positioned again).
std::string_view held_line();

}  // namespace flowsum::scan
