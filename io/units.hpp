// Numbered input/output units: the library's own table of open files, keyed by
// the caller's unit numbers. Unit 6 is standard output and unit 5 standard
// input from library start. Direct-access scratch units live in memory.
#pragma once

#include <cstdint>
#include <string_view>

namespace flowsum::io {

// Read status: 0 success, -1 end of file (or record not written), > 0 error.
inline constexpr int kEndOfFile = -1;

// TKOPEN semantics: 0 on success, the failed open's status (an errno value)
// otherwise, -1 for a combination of words TKOPEN does not accept. Words are
// compared blank-padded, upper case as written.
int open_unit(int64_t unit, std::string_view file, std::string_view access,
              std::string_view form, int64_t recl, std::string_view status,
              std::string_view action);

bool is_open(int64_t unit);
// Close; a unit that is not open is no error (0).
int close_unit(int64_t unit);
// Back to the first line of a sequential unit; no effect on others.
void rewind_unit(int64_t unit);

// Next line of a sequential unit: at most max_chars characters, without the
// line end (a '\r' just before the '\n' is not part of the line). The view
// stays valid until the next operation on the same unit.
int read_line(int64_t unit, std::string_view& line, size_t max_chars);

// Record n (1-based) of a direct-access unit; fails (kEndOfFile) for a record
// never written. The view stays valid until the next write to the unit.
int read_record(int64_t unit, int64_t n, std::string_view& record);
// Write record n of a direct-access unit (cut to the record length).
int write_record(int64_t unit, int64_t n, std::string_view record);

// Append one line to a sequential unit opened for writing (unit 6: standard
// output, flushed). 0 or an error status.
int write_line(int64_t unit, std::string_view line);

}  // namespace flowsum::io
