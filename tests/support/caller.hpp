// Calling an exported routine as a Fortran or C caller does: every argument
// by pointer, text fields blank-padded and their hidden lengths appended in
// order, as in call(tkstra_, id, Field("MATE", 4), value, label).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

namespace flowsum::testing {

// n fields of `width` characters: a text cut or blank-padded to the whole
// length, or without one all '#', so that what a routine leaves alone shows.
class Field {
 public:
  Field(std::string_view text, size_t width, size_t n = 1) : width_(width), s_(width * n, ' ') {
    s_.replace(0, std::min(text.size(), s_.size()), text.substr(0, s_.size()));
  }
  explicit Field(size_t width, size_t n = 1) : width_(width), s_(width * n, '#') {}
  // An input text as long as itself.
  explicit Field(std::string_view text) : Field(text, text.size()) {}

  char* data() { return s_.data(); }
  const char* data() const { return s_.data(); }
  size_t width() const { return width_; }
  const std::string& text() const { return s_; }
  // Field k (0-based) as written, and without its trailing blanks.
  std::string operator[](size_t k) const { return s_.substr(k * width_, width_); }
  std::string trimmed(size_t k = 0) const {
    const std::string f = (*this)[k];
    return f.substr(0, f.find_last_not_of(' ') + 1);
  }

 private:
  size_t width_;
  std::string s_;
};

namespace detail {
template <class T>
auto pointer(T& a) {
  using U = std::remove_cvref_t<T>;
  static_assert(!std::is_same_v<U, std::string>, "text goes in a Field, which passes its length");
  if constexpr (std::is_array_v<U>) return &a[0];
  else if constexpr (requires { a.data(); }) return a.data();
  else return &a;
}
template <class T>
auto hidden_length(T& a) {
  if constexpr (std::is_same_v<std::remove_cvref_t<T>, Field>) return std::tuple<size_t>(a.width());
  else return std::tuple<>();
}
}  // namespace detail

// fn(pointers..., hidden lengths...). Arguments may be temporaries (inputs):
// they live until the call has returned.
template <class Fn, class... A>
void call(Fn fn, A&&... a) {
  std::apply([&](auto... lengths) { fn(detail::pointer(a)..., lengths...); },
             std::tuple_cat(detail::hidden_length(a)...));
}

#ifdef FLOWSUM_TOOL
// The tool run with args: its wait status and its standard output and error.
struct ToolRun {
  int status = -1;
  std::string out;
};
inline ToolRun run_tool(const std::string& args) {
  ToolRun r;
  FILE* p = popen((std::string(FLOWSUM_TOOL) + " " + args + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  r.status = pclose(p);
  return r;
}
#endif
// The project's source folder, for reference files and the example.
inline const std::string kSourceDir = FLOWSUM_SOURCE_DIR;

}  // namespace flowsum::testing
