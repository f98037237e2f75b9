// Diagnostic messages of the library and the Fortran-style number formats
// they use (Iw, Ew.d, Aw), so that every message has exact columns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace flowsum {

// Write a message to the message unit (TKGLOB word 12): an empty line, then
// each line. Nothing is written when the message unit is 0 or less.
void write_message(std::initializer_list<std::string_view> lines);
// Write lines with no leading empty line (continuation lines of a message).
void write_message_lines(std::initializer_list<std::string_view> lines);

// Warnings about what a summary file holds (a record the file ends inside,
// a data set whose values end before their count). Each is counted from the
// start of the last load, whatever the message unit; the first
// kWarningMessages of a load are written as messages, then one line saying
// that further warnings are only counted. Never more text than that, so a
// file damaged throughout cannot flood the message unit.
inline constexpr int64_t kWarningMessages = 100;
void write_warning(std::initializer_list<std::string_view> lines);
// Start counting afresh (the loader, at the start of every load).
void reset_warnings();
// Warnings since the last load began.
int64_t warning_count();

// Iw: right-aligned in w columns; w asterisks when it does not fit.
std::string fortran_i(int64_t value, int width);
// Ew.d: "0.ddddddE+xx" right-aligned in w columns (E13.6 of -1.0 is
// "-0.100000E+01"); w asterisks when it does not fit.
std::string fortran_e(double value, int width, int digits);
// Aw of a field at least w long: its first w characters, blank-padded.
std::string fortran_a(std::string_view text, int width);

}  // namespace flowsum
