// Arbitrary bytes through the scanner: each line of the input is handed to
// TKTOKI in read mode 3 (only the held line is scanned) and cut into tokens
// with TKTOKN until the line is used up. The first byte chooses the comma
// variant, the character table, the starting column and the width of the
// token field, so both variants and both tables are covered.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.hpp"

using flowsum::fuzz::GuardedArena;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GuardedArena line_arena(4096), token_arena(4096);
  if (size == 0) return 0;
  const uint8_t control = data[0];
  int64_t variant = (control & 1) ? 2 : 1;
  int64_t table = (control & 2) ? 1 : 2;
  tktoks_(&table);
  static constexpr size_t kTokenWidths[] = {0, 1, 8, 128};
  const size_t token_width = kTokenWidths[(control >> 2) & 3];
  const int64_t column = (control >> 4);  // 0..15

  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  int64_t line_number = 1;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

    // The line is passed at its own length: TKTOKI pads or cuts it to 128.
    char* text = line_arena.text(line, line.size());
    int64_t unitmode = 3;
    double position = static_cast<double>(line_number) + static_cast<double>(column) / 256.0;
    tktoki_(&variant, &unitmode, &position, text, line.size());
    ++line_number;

    // A held line of 128 characters gives at most 128 tokens before it is
    // used up; far more calls without the end marker mean the scanner loops.
    int calls = 0;
    for (;;) {
      int64_t type = 0, ival = 0;
      double rval = 0;
      char* token = token_arena.tail(token_width);
      tktokn_(&type, &ival, &rval, token, token_width);
      if (type == -1) break;
      if (type < 2 || type > 19) flowsum::fuzz::fail("token type outside 2..19");
      if (++calls > 300) flowsum::fuzz::fail("scanner never reaches the end of a held line");
    }
  }
  return 0;
}
