// Numbered input/output units: the library's own table of open files, keyed by
// the caller's unit numbers (any 64-bit integer).
//
// Unit 5 is standard input and unit 6 standard output from library start.
// They stay connected: opening 5 or 6 on a file connects that file instead,
// and closing them returns them to standard input and standard output, so a
// message written to unit 6 is never lost because a caller closed it.
//
// Kinds of unit:
// - sequential file: lines read through a 1 MiB buffer; opened with ACTION
//   "WRITE" the unit can be read and written (a write makes the written line
//   the last one of the file, as a sequential write does: whatever followed
//   the current line is cut off), with "READ" it is opened read-only and
//   writes fail with EBADF. A pipe, FIFO or standard input reads like a file;
//   when a scratch copy takes its lines they are spooled to disk (below);
// - sequential scratch: the same, held in memory;
// - direct-access scratch: fixed-length records held in memory, compactly;
//   lines copied from a regular file by copy_lines are kept as references to
//   that file (a descriptor of its own) and read back from it;
// - direct-access file: record n is bytes (n-1)*(RECL+1) ... of the file,
//   RECL characters blank-padded and a '\n', so the file stays readable text.
//
// Statuses: 0 success, kEndOfFile (-1) at the end of a file or for a record
// never written, otherwise a positive errno value: EBADF for a unit that is
// not open, EINVAL for an operation the unit's kind does not support (a line
// read of a direct-access unit, a record number below 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace flowsum::io {

inline constexpr int kEndOfFile = -1;

// Largest record length a direct-access unit accepts (larger: EINVAL).
inline constexpr int64_t kMaxRecordLength = int64_t{1} << 24;

// TKOPEN: 0 on success, the failed open's errno otherwise, -1 for a
// combination of words that is not accepted (then nothing is opened and an
// existing connection of the unit is kept). Words are compared blank-padded,
// in capitals exactly: ACCESS "SEQUENTIAL" or "DIRECT"; STATUS "SCRATCH",
// "NEW", "OLD" or "UNKNOWN"; ACTION "READ" or "WRITE" (not examined for a
// direct-access scratch unit). ACTION "READ" opens the file read-only;
// "WRITE" opens it for reading and writing (read-only when writing is
// refused). FORM is accepted and not examined. A unit that
// is already open is closed when the new open succeeds; a failed open leaves
// the old connection as it was.
int open_unit(int64_t unit, std::string_view file, std::string_view access,
              std::string_view form, int64_t recl, std::string_view status,
              std::string_view action);

bool is_open(int64_t unit);
// Close; a unit that is not open is no error (0). Otherwise 0 or the errno of
// the failed close(2).
int close_unit(int64_t unit);
// Back to the first line of a sequential unit; no effect on others.
void rewind_unit(int64_t unit);

// Next line of a sequential unit: at most max_chars characters, without the
// line end ('\n', "\r\n", or a '\r' ending the file's last line). The last
// line counts even without a line end. The view stays valid until the next
// operation on the same unit.
int read_line(int64_t unit, std::string_view& line, size_t max_chars);

// Record n (1-based) of a direct-access unit; kEndOfFile for a record never
// written. The view holds what was written (cut to the record length);
// characters past its end count as blanks. It stays valid until the next
// operation on the same unit.
int read_record(int64_t unit, int64_t n, std::string_view& record);
// The number of the last record from n down to first that holds more than
// blanks, its text in record; 0 when there is none or a read fails. Runs of
// blank records of a scratch copy are passed over without reading them.
int64_t last_record_not_blank(int64_t unit, int64_t first, int64_t n, std::string_view& record);
// Write record n of a direct-access unit (cut to the record length). Records
// between the last one written and n stay unwritten.
int write_record(int64_t unit, int64_t n, std::string_view record);

// Copy lines of the sequential unit `from` into the direct-access unit `to`
// as the records numbered first, first + 1, ... until a line for which
// stop(line) is true (that line is copied too and left in `line`) or a read
// or write fails. `copied` counts the lines copied. Returns 0 when a stopping
// line was copied, else the status of the failed read (kEndOfFile at the end
// of the file) or write. This is the loader's path for the many lines it
// copies without reading them; stop only looks at the line (it must not use
// the units), and must answer for a line of blanks as for an empty one: when
// it does not stop at an empty line, blank lines are copied without asking
// it. Blank lines become empty records.
int copy_lines(int64_t from, int64_t to, int64_t first, size_t max_chars,
               bool (*stop)(std::string_view), std::string_view& line, int64_t& copied);

// Append one line to a sequential unit (unit 6: standard output, flushed).
// 0 or an error status.
int write_line(int64_t unit, std::string_view line);

}  // namespace flowsum::io
