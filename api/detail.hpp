// What the C++ API's source files share: the library lock, the caller-field
// helpers and the missing-value rule. Not installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>

namespace flowsum::detail {

// The missing-value marker the API loads with, and what callers get instead.
constexpr double kMissing = 1.0e35;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr size_t kIdChars = 128;  // room for hierarchical ids

// The library's state is global: one lock for every entry, one loaded file.
std::mutex& library_lock();

// A blank-padded field of n characters holding s (cut to n).
std::string field(std::string_view s, size_t n);
std::string_view trimmed_view(std::string_view s);
std::string trimmed(std::string_view s);
// Element i of a text array of elements len long, trimmed.
std::string element(const std::string& a, size_t len, size_t i);
double value_or_nan(double v);
size_t count(int64_t n);
// The non-empty parts joined with blanks.
std::string joined(std::initializer_list<std::string> parts);

}  // namespace flowsum::detail

// Every public query: the file must be open, and the library is held.
#define FLOWSUM_ENTER()                                   \
  std::lock_guard lock_(::flowsum::detail::library_lock()); \
  check_open()
