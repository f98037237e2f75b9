// The summary-file scanner: a finite automaton over 22 character classes and
// 11 states that cuts the held line into tokens and fetches the next line by
// itself when the held one is used up. The loader runs it over every record
// line of a summary file, so a token costs no heap allocation: the line and
// the token text live in fixed buffers.
#include "loading/scanner.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "flowsum.h"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "store/text_field.hpp"

namespace flowsum::scan {
namespace {

constexpr int kStates = 11;
constexpr int kClasses = 22;
constexpr int kRecordChars = 80;  // characters taken from a direct-access record
constexpr int kIntegerChars = 10; // characters of a token that an integer read sees
constexpr int kNumberField = 16;  // width of the field a number is read from

struct Cell {
  int8_t action;  // 0 or 1: no type change; 2 or more: the token's type
  int8_t next;    // next state; 1 ends the token
};

// The standard transition table, row = state, column = character class.
constexpr Cell kStandard[kStates][kClasses] = {
    // 1      2      3      4      5      6      7      8      9      10     11     12     13     14     15     16     17     18     19     20     21     22
    {{2, 3}, {14, 2}, {6, 2}, {12, 1}, {9, 1}, {10, 1}, {5, 7}, {8, 9}, {0, 1}, {7, 2}, {11, 1}, {13, 8}, {14, 2}, {2, 3}, {3, 4}, {4, 8}, {0, 1}, {15, 1}, {16, 1}, {17, 1}, {18, 1}, {19, 10}},
    {{1, 2}, {1, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 2}, {1, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 2}},
    {{1, 3}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {3, 5}, {14, 2}, {3, 4}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
    {{1, 4}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 5}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
    {{1, 11}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}, {1, 6}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}},
    {{1, 11}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}, {0, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}},
    {{1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 1}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}, {1, 7}},
    {{1, 8}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
    {{1, 9}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 9}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
    {{14, 2}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
    {{1, 11}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}, {14, 2}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {14, 2}},
};

// Comma column (class 11) of the second comma variant, by state: a comma
// continues a name and turns an integer, an exponent or an equals sign into
// a name.
constexpr Cell kCommaVariant2[kStates] = {{11, 1}, {1, 2}, {14, 2}, {0, 1}, {14, 2}, {14, 2},
                                          {1, 7},  {0, 1}, {0, 1},  {14, 2}, {14, 2}};

// Extended table: percent (class 3), angle brackets (8) and slash (20)
// become name characters. States 4, 7, 8 and 9 keep the standard entries.
constexpr int kExtendedColumns[3] = {3, 8, 20};
void apply_extended(Cell (&t)[kStates][kClasses]) {
  t[0][3 - 1] = {14, 2};
  t[0][8 - 1] = {14, 2};
  // state 1, slash: a slash starting a token is still type 17
  t[1][3 - 1] = {1, 2};
  t[1][8 - 1] = {1, 2};
  t[1][20 - 1] = {0, 2};
  for (int state : {3, 5, 6, 10, 11})
    for (int col : kExtendedColumns) t[state - 1][col - 1] = {14, 2};
}

// Character classes; every code not listed is class 17 (tab, control
// characters and all codes above 127 among them).
void assign_class(int64_t cls, int64_t* table, const char* chars, int64_t n) {
  for (int64_t i = 0; i < n; ++i) table[static_cast<unsigned char>(chars[i])] = cls;
}

std::array<uint8_t, 256> build_classes() {
  int64_t t[256];
  for (int64_t& c : t) c = 17;
  struct {
    int cls;
    const char* chars;
  } const groups[] = {
      {1, "0123456789"},
      {2, "$:_ABCFGHIJKLMNOPQRSTUVWXYZabcfghijklmnopqrstuvwxyz"},
      {3, "%"}, {4, "&"}, {5, "("}, {6, ")"}, {7, "\""}, {8, "<>"}, {9, " "},
      {10, "@"}, {11, ","}, {12, "#"}, {13, "DEde"}, {14, "+-"}, {15, "."},
      {16, "*"}, {18, "?"}, {19, ";"}, {20, "/"}, {21, "\\"}, {22, "="},
  };
  for (const auto& g : groups)
    assign_class(g.cls, t, g.chars, static_cast<int64_t>(std::strlen(g.chars)));
  std::array<uint8_t, 256> out{};
  for (int i = 0; i < 256; ++i) out[static_cast<size_t>(i)] = static_cast<uint8_t>(t[i]);
  return out;
}

const std::array<uint8_t, 256> kClassOf = build_classes();

struct State {
  // The held line at positions 1..128 (index 0..127), then one blank so that
  // a token running up to position 128 meets a blank after it, and blanks
  // enough that sixteen characters can be read from any position.
  char line[kLineChars + 1 + 16]{};
  int64_t pos = 81;   // 1-based position of the next character
  int64_t last = 80;  // position of the last non-blank character
  int64_t unit = 5;
  int64_t mode = 1;
  int64_t line_number = 0;
  int64_t comma = 1;
  bool extended = false;
  uint64_t generation = 0;  // table rebuilds so far
  Cell table[kStates][kClasses]{};
  char text[kLineChars]{};

  // Blank line, standard table: made at compile time, so the state is
  // ready before any constructor of the program runs.
  constexpr State() {
    for (char& c : line) c = ' ';
    for (int s = 0; s < kStates; ++s)
      for (int c = 0; c < kClasses; ++c) table[s][c] = kStandard[s][c];
  }

  void rebuild_table() {
    ++generation;
    std::memcpy(table, kStandard, sizeof table);
    if (comma == 2)
      for (int s = 0; s < kStates; ++s) table[s][11 - 1] = kCommaVariant2[s];
    if (extended) apply_extended(table);
  }

  void hold(std::string_view s) {
    size_t n = std::min(s.size(), static_cast<size_t>(kLineChars));
    // Fixed-size blanking and 16-byte copies: a line is held for every line
    // read, and copies of a variable length become slow string instructions.
    std::memset(line, ' ', sizeof line);
    const char* from = s.data();
    if (n >= 16) {
      size_t k = 0;
      for (; k + 16 <= n; k += 16) std::memcpy(line + k, from + k, 16);
      if (k < n) std::memcpy(line + n - 16, from + n - 16, 16);  // the last 16, overlapping
    } else {
      for (size_t k = 0; k < n; ++k) line[k] = from[k];
    }
    // Everything past the copied characters is blank.
    auto k = static_cast<int64_t>(n);
    while (k > 0 && line[k - 1] == ' ') --k;
    last = k;
  }
};

// One scanner state for the library, initialised as a constant: a
// function-local static would test its guard on each of the millions of
// tokens a load and its queries read.
constinit State g_state;

State& state() { return g_state; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Integer read of a field: blanks ignored, an optional sign, then digits.
// Anything else makes the field unreadable (false). Digits beyond what an
// int64 holds saturate, which only matters for the exponent test.
bool read_integer(std::string_view field, int64_t& value) {
  bool neg = false, sign_seen = false, digit_seen = false;
  int64_t v = 0;
  for (char c : field) {
    if (c == ' ') continue;
    if ((c == '+' || c == '-') && !sign_seen && !digit_seen) {
      sign_seen = true;
      neg = c == '-';
    } else if (is_digit(c)) {
      digit_seen = true;
      int d = c - '0';
      v = v > (INT64_MAX - d) / 10 ? INT64_MAX : v * 10 + d;
    } else {
      return false;
    }
  }
  value = neg ? -v : v;
  return true;  // a field of blanks, or a sign alone, reads as 0
}

// Real read of a field, blanks ignored: an optional sign, digits with at
// most one full stop (at least one digit), then optionally an exponent: a
// letter E, D, e or d with an optional signed integer (a letter without
// digits, as when the field cut it off, means exponent 0), or a signed
// integer alone. The plain decimal value is taken. Anything else, and values
// beyond the range of a double, read as 0.0.
double read_real(std::string_view field) {
  char buf[2 * kNumberField + 8];
  size_t n = 0;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < field.size() && field[i] == ' ') ++i;
  };
  skip_blanks();
  bool neg = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) neg = field[i++] == '-';
  bool digits = false, point = false;
  for (; i < field.size(); ++i) {
    char c = field[i];
    if (c == ' ') continue;
    if (is_digit(c)) {
      digits = true;
      buf[n++] = c;
    } else if (c == '.' && !point) {
      point = true;
      buf[n++] = c;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  if (i < field.size()) {
    char c = field[i];
    if (c == 'E' || c == 'D' || c == 'e' || c == 'd') ++i;
    else if (c != '+' && c != '-') return 0.0;
    int64_t exponent = 0;
    if (!read_integer(field.substr(i), exponent)) return 0.0;
    if (exponent > 99999) exponent = 99999;    // far beyond any double either way
    if (exponent < -99999) exponent = -99999;
    buf[n++] = 'e';
    auto r = std::to_chars(buf + n, buf + sizeof buf, exponent);
    n = static_cast<size_t>(r.ptr - buf);
  }
  double v = 0.0;
  auto r = std::from_chars(buf, buf + n, v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != buf + n) return 0.0;
  return neg ? -v : v;
}

// A real token whose exponent after the first `letter` exceeds 300 in
// magnitude is not a number the library reads: it becomes a name.
bool exponent_too_large(std::string_view text, char letter) {
  size_t at = text.find(letter);
  if (at == std::string_view::npos) return false;
  int64_t e = 0;
  if (!read_integer(text.substr(at + 1), e)) return false;
  return e > 300 || e < -300;
}

// Powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool g_number_shortcut = true;

// How many of the eight characters of a word (in memory order) are digits
// before the first one that is not. A byte is a digit when its high nibble
// and that of the byte plus 6 are both 3; a carry out of a byte of 0xFA or
// more only reaches bytes after it, which do not count then.
int leading_digits(uint64_t eight) {
  const uint64_t t = (eight & 0xF0F0F0F0F0F0F0F0) |
                     (((eight + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4);
  const uint64_t other = t ^ 0x3333333333333333;  // non-zero bytes: not digits
  return other == 0 ? 8 : std::countr_zero(other) / 8;
}

constexpr uint64_t kPowersOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The value of eight digits held in a word in memory order (the first digit
// in the lowest byte): pairs, then fours, then all eight are combined.
uint64_t eight_digits(uint64_t eight) {
  eight = ((eight & 0x0F0F0F0F0F0F0F0F) * 2561) >> 8;
  eight = ((eight & 0x00FF00FF00FF00FF) * 6553601) >> 16;
  return ((eight & 0x0000FFFF0000FFFF) * 42949672960001) >> 32;
}

// The plainest numbers: an optional sign, digits with at most one full stop,
// an optional exponent letter with an optional sign and digits, ended by a
// blank, at most 16 characters (10 for an integer). They are most of the
// tokens of data-set values, and the automaton gives each of them one whole
// token of type integer or real, so they are read here in one pass with the
// same results. Anything else, or a value this pass cannot settle exactly,
// returns false with nothing changed, and the automaton reads the token.
bool plain_number(State& s, Token& tok) {
  const char* line = s.line;
  const size_t start = static_cast<size_t>(s.pos - 1);
  size_t i = start;
  const bool neg = line[i] == '-';
  if (line[i] == '+' || line[i] == '-') ++i;
  // The digits before and after the full stop, as one integer; at most 19
  // of them, so that it cannot overflow.
  uint64_t mantissa = 0;
  int digits = 0;
  // Eight characters at a time: a run of digits ends within a word, and
  // the digits before its end are taken in one step (shifted to the top of
  // the word, the bytes below them read as leading zeros) rather than one
  // by one in a loop whose end the processor cannot predict.
  auto digit_run = [&] {
    const int before = digits;
    if constexpr (std::endian::native == std::endian::little) {
      for (;;) {
        uint64_t eight;
        std::memcpy(&eight, line + i, 8);
        const int n = leading_digits(eight);
        if (n == 0) break;
        // One digit (a unit code, the 0 before a full stop) is the most
        // common run and needs no combining.
        const uint64_t value = n == 1   ? (eight & 0x0F)
                               : n == 8 ? eight_digits(eight)
                                        : eight_digits(eight << (8 * (8 - n)));
        mantissa = mantissa * kPowersOf10[n] + value;
        i += static_cast<size_t>(n);
        digits += n;
        if (n < 8) break;
      }
    } else {
      for (; is_digit(line[i]); ++i, ++digits) mantissa = mantissa * 10 + static_cast<uint64_t>(line[i] - '0');
    }
    return digits - before;
  };
  digit_run();
  int fraction = 0;
  const bool point = line[i] == '.';
  if (point) {
    ++i;
    fraction = digit_run();
  }
  if (digits == 0 || digits > 19) return false;
  // Beyond 2^53 the mantissa itself would be rounded.
  if (mantissa > (uint64_t{1} << 53)) return false;
  int exponent = 0;
  bool has_exponent = false;
  if (const char c = line[i]; c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    has_exponent = true;
    ++i;
    const bool eneg = line[i] == '-';
    if (line[i] == '+' || line[i] == '-') ++i;
    int edigits = 0;
    for (; is_digit(line[i]); ++i) {
      if (++edigits > 3) return false;  // leave large exponents to the automaton
      exponent = exponent * 10 + (line[i] - '0');
    }
    if (edigits == 0) return false;
    if (eneg) exponent = -exponent;
  }
  if (line[i] != ' ') return false;  // any other end goes through the automaton
  const size_t len = i - start;
  const bool integer = !point && !has_exponent;
  if (len > (integer ? static_cast<size_t>(kIntegerChars) : static_cast<size_t>(kNumberField))) return false;
  if (exponent > 300 || exponent < -300) return false;

  double v;
  const int e10 = exponent - fraction;
  if (mantissa == 0) {
    v = 0.0;
  } else if (e10 >= 0 && e10 <= 22) {
    v = static_cast<double>(mantissa) * kExactPowers[e10];  // one rounding: exact
  } else if (e10 < 0 && e10 >= -22) {
    v = static_cast<double>(mantissa) / kExactPowers[-e10];
  } else {
    return false;
  }
  if (neg) v = -v;

  // The text is left where it stands in the held line, which stays until
  // the scanner moves: copying it costs more than reading the number.
  tok.text = std::string_view(line + start, len);
  if (integer) {
    tok.type = kInteger;
    tok.ival = neg ? -static_cast<int64_t>(mantissa) : static_cast<int64_t>(mantissa);
    tok.rval = static_cast<double>(tok.ival);
  } else {
    tok.type = kReal;
    tok.rval = v;
    tok.ival = std::fabs(v) < 1.0e8 ? static_cast<int64_t>(v) : 0;
  }
  s.pos = static_cast<int64_t>(i) + 2;  // past the blank that ends it
  return true;
}

// The token at the held position through the automaton. Out of line: most
// tokens of data-set values are plain numbers, and a call of next() for one
// then saves and restores only the registers the shortcut needs.
[[gnu::noinline]] void automaton(State& s, Token& tok);

}  // namespace

void use_number_shortcut(bool on) { g_number_shortcut = on; }

void configure(int64_t variant, int64_t unitmode, double position, std::string_view text) {
  State& s = state();
  if ((variant == 1 || variant == 2) && variant != s.comma) {
    s.comma = variant;
    s.rebuild_table();
  }
  if (unitmode != 0) {
    s.unit = unitmode / 10;
    if (unitmode % 10 != 0) s.mode = unitmode % 10;
  }
  // Line number in the integer part, column / 256 in the fraction. A
  // position that is not a finite number of sensible size primes nothing.
  if (!(std::fabs(position) < 9.0e18)) return;
  double whole = std::trunc(position);
  auto line = static_cast<int64_t>(whole);
  auto column = static_cast<int64_t>(std::trunc((position - whole) * 256.1));
  if (line > 0 || column > 0) {
    s.line_number = line;
    s.hold(text);
    s.pos = 1;
    if (column != 0) s.pos = column;
  }
}

void select_table(int64_t flag) {
  State& s = state();
  bool extended = flag != 1;
  if (extended != s.extended) {
    s.extended = extended;
    s.rebuild_table();
  }
}

uint64_t table_generation() { return state().generation; }

void next(Token& tok) {
  State& s = state();
  tok.type = kNone;
  tok.ival = 0;
  tok.rval = rglb(1);
  tok.text = {};

  // Skip blanks; a used-up line is replaced by the next one from the unit.
  for (;;) {
    while (s.pos <= s.last && s.line[s.pos - 1] == ' ') ++s.pos;
    if (s.pos <= s.last) break;
    if (s.mode != 1 && s.mode != 2) return;  // mode 3 (or unknown): scan only
    if (s.line_number == INT64_MAX) return;
    ++s.line_number;
    std::string_view got;
    if (s.mode == 1) {
      if (io::read_line(s.unit, got, kLineChars) != 0) return;
    } else {
      if (io::read_record(s.unit, s.line_number, got) != 0) return;
      got = got.substr(0, std::min(got.size(), static_cast<size_t>(kRecordChars)));
    }
    s.hold(got);
    s.pos = 1;
  }

  if (g_number_shortcut && plain_number(s, tok)) return;
  automaton(s, tok);
}

namespace {

// The automaton. Every step moves one position on, and a blank follows
// position 128, which ends every token except a quoted string; a quoted
// string still open there ends with the line.
// Local copies keep the position in a register: the line is read through
// a char pointer, which the compiler must assume may alias the state.
void automaton(State& s, Token& tok) {
  const char* line = s.line;
  const Cell(*table)[kClasses] = s.table;
  int64_t pos = s.pos;
  int64_t type = kNone;
  int64_t start = pos;
  int64_t end = 0;
  int st = 1;
  for (;;) {
    if (pos > kLineChars && st == 7) {
      end = kLineChars;
      break;
    }
    Cell c = table[st - 1][kClassOf[static_cast<unsigned char>(line[pos - 1])] - 1];
    if (c.action >= 2) {
      type = c.action;
      switch (c.action) {
        case 4: case 5: case 6: case 7: case 8: case 13:
          ++start;  // the leading character is not part of the text
          break;
        default:
          break;
      }
      if (c.next == 1) {
        end = pos++;
        break;
      }
    } else if (c.next == 1) {
      end = pos - 1;
      if (c.action == 1) ++pos;
      break;
    }
    // The character belongs to the token. Characters that keep the
    // automaton in its new state (the letters of a name, the digits of a
    // number, the inside of a quoted string) are passed over in a tight loop.
    ++pos;
    st = c.next;
    const Cell* row = table[st - 1];
    while (pos <= kLineChars) {
      Cell d = row[kClassOf[static_cast<unsigned char>(line[pos - 1])] - 1];
      if (d.action > 1 || d.next != st) break;
      ++pos;
    }
  }
  s.pos = pos;
  if (end > kLineChars) end = kLineChars;

  size_t len = end >= start ? static_cast<size_t>(end - start + 1) : 0;
  if (len) std::memcpy(s.text, s.line + start - 1, len);
  std::string_view text(s.text, len);
  tok.type = type;
  tok.text = text;

  if (type == kReal && exponent_too_large(text, 'D')) type = kName;
  if (type == kReal && exponent_too_large(text, 'E')) type = kName;
  tok.type = type;

  std::string_view field = text.substr(0, std::min(len, static_cast<size_t>(kNumberField)));
  switch (type) {
    case kInteger:
    case kMissing:
    case kBracketInt:
    case kEquals: {
      int64_t v = 0;
      if (!field.empty() &&
          read_integer(field.substr(0, std::min(field.size(), static_cast<size_t>(kIntegerChars))), v))
        tok.ival = v;
      if (type != kMissing) tok.rval = static_cast<double>(tok.ival);
      break;
    }
    case kReal: {
      double v = read_real(field);
      tok.rval = v;
      tok.ival = std::fabs(v) < 1.0e8 ? static_cast<int64_t>(v) : 0;
      break;
    }
    case kQuoted:
    case kName:
      tok.ival = end - start;
      break;
    default:
      break;
  }
}

}  // namespace

int64_t line_number() { return state().line_number; }
int64_t read_unit() { return state().unit; }
int64_t read_mode() { return state().mode; }
std::string_view held_line() {
  const State& s = state();
  return {s.line, static_cast<size_t>(std::clamp<int64_t>(s.last, 0, kLineChars))};
}

}  // namespace flowsum::scan

extern "C" {

void tktoki_(int64_t* variant, int64_t* unitmode, double* position, const char* text, size_t text_len) {
  flowsum::scan::configure(*variant, *unitmode, *position, flowsum::TextField(text, text_len).view());
}

void tktokn_(int64_t* type, int64_t* ival, double* rval, char* text, size_t text_len) {
  flowsum::scan::Token tok;
  flowsum::scan::next(tok);
  *type = tok.type;
  *ival = tok.ival;
  *rval = tok.rval;
  flowsum::TextField(text, text_len).assign(tok.text);
}

void tktoks_(int64_t* flag) { flowsum::scan::select_table(*flag); }

void tkccls_(int64_t* cls, int64_t* table, const char* chars, int64_t* n, size_t chars_len) {
  if (*n <= 0) return;
  // Never past the caller's text: N beyond the field counts as the field.
  int64_t count = static_cast<uint64_t>(*n) > chars_len ? static_cast<int64_t>(chars_len) : *n;
  flowsum::scan::assign_class(*cls, table, chars, count);
}

}  // extern "C"
