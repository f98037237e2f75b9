// Test fixture builder: token formatting, record layout over lines, files.
#include "support/summary_builder.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace flowsum::testing {
namespace {

constexpr size_t kMaxIntegerToken = 10, kMaxRealToken = 16;

bool is_name_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '$' || c == ':' || c == '_'; }
bool is_name_char(char c) {
  return is_name_start(c) || std::isdigit(static_cast<unsigned char>(c)) || (c != 0 && std::strchr("+-=", c));
}
bool is_name_token(std::string_view t) {
  return !t.empty() && is_name_start(t[0]) && std::all_of(t.begin() + 1, t.end(), is_name_char);
}
bool is_integer_token(std::string_view t) {
  const size_t i = !t.empty() && (t[0] == '+' || t[0] == '-');
  return t.size() > i && t.size() <= kMaxIntegerToken &&
         std::all_of(t.begin() + i, t.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string format_integer(int64_t n) {
  std::string s = std::to_string(n);
  if (s.size() > kMaxIntegerToken) throw std::invalid_argument("integer token longer than 10: " + s);
  return s;
}

// "1e+35" becomes "1.0E+35", "12" becomes "12.0", as the scanner reads them.
std::string normalize_real(std::string s) {
  size_t e = s.find_first_of("eE");
  if (e != std::string::npos) s[e] = 'E';
  if (s.find('.') == std::string::npos) s.insert(e == std::string::npos ? s.size() : e, ".0");
  return s;
}

double parse_real(const std::string& s) {
  double v = 0;
  if (std::from_chars(s.data(), s.data() + s.size(), v).ec != std::errc())
    throw std::logic_error("unreadable real text " + s);
  return v;
}

// The most precise text of x in the given form that fits in 16 characters.
std::string widest_fitting(double x, std::chars_format fmt) {
  char buf[400];
  for (int p = static_cast<int>(kMaxRealToken); p >= 0; --p) {
    std::string s = normalize_real(std::string(buf, std::to_chars(buf, buf + sizeof buf, x, fmt, p).ptr));
    if (s.size() <= kMaxRealToken) return s;
  }
  return {};
}

}  // namespace

std::string format_real(double x) {
  if (!std::isfinite(x)) throw std::invalid_argument("format_real: not a finite number");
  char buf[64];
  std::string best = normalize_real(std::string(buf, std::to_chars(buf, buf + sizeof buf, x).ptr));
  if (best.size() > kMaxRealToken) {
    // Fixed keeps more digits for moderate magnitudes: take the closer.
    best = widest_fitting(x, std::chars_format::scientific);
    const double ax = std::fabs(x);
    if (ax >= 1e-4 && ax < 1e15) {
      std::string fix = widest_fitting(x, std::chars_format::fixed);
      if (!fix.empty() && std::fabs(parse_real(fix) - x) < std::fabs(parse_real(best) - x)) best = fix;
    }
  }
  const size_t e = best.find('E');
  if (best.empty() || (e != std::string::npos && std::abs(std::atoi(best.c_str() + e + 1)) > 300))
    throw std::invalid_argument("format_real: exponent beyond +-300: " + best);
  return best;
}

double real_as_read(double x) { return parse_real(format_real(x)); }

std::string quote(std::string_view text) {
  if (text.find_first_of("\"\n\r") != std::string_view::npos || text.size() + 2 > kMaxLineColumns)
    throw std::invalid_argument("quote: text holds a double quote or does not fit a line");
  return "\"" + std::string(text) + "\"";
}

std::string word_token(std::string_view text) {
  return is_name_token(text) || is_integer_token(text) ? std::string(text) : quote(text);
}

Value Value::integer(int64_t n) { return Value({format_integer(n)}); }
Value Value::real(double x) { return Value({format_real(x)}); }
Value Value::real(double x, int64_t unit_code) { return Value({format_real(x), format_integer(unit_code)}); }
Value Value::missing() { return Value({"*"}); }
Value Value::missing(int64_t unit_code) { return Value({"*", format_integer(unit_code)}); }
Value Value::text(std::string_view s) { return Value({quote(s)}); }
Value Value::word(std::string_view s) { return Value({word_token(s)}); }

std::vector<Value> reals(const std::vector<double>& xs, std::optional<int64_t> unit_code) {
  std::vector<Value> out;
  for (double x : xs) out.push_back(unit_code ? Value::real(x, *unit_code) : Value::real(x));
  return out;
}

std::vector<Value> integers(const std::vector<int64_t>& ns) {
  std::vector<Value> out;
  for (int64_t n : ns) out.push_back(Value::integer(n));
  return out;
}

SummaryBuilder::SummaryBuilder(Layout layout) : layout_(layout) {
  if (layout.max_columns < 20 || layout.max_columns > kMaxLineColumns || layout.indent < 2 ||
      layout.indent >= layout.max_columns)
    throw std::invalid_argument("Layout outside its limits");
}

void SummaryBuilder::emit_line(std::string_view s) {
  text_ += s;
  text_ += '\n';
  ++lines_;
}

SummaryBuilder& SummaryBuilder::line(std::string_view raw) {
  for (size_t start = 0;;) {
    const size_t nl = raw.find('\n', start);
    emit_line(raw.substr(start, nl - start));
    if (nl == std::string_view::npos) return *this;
    start = nl + 1;
  }
}

SummaryBuilder& SummaryBuilder::header(Header h) {
  return line(h == Header::kIwp73 ? " IWPSUMMARY7.3" : h == Header::kMm ? " MMSUMMARY" : " IWPSUMMARY8.0");
}

SummaryBuilder& SummaryBuilder::record(std::string_view keyword, const std::vector<std::string>& tokens,
                                       size_t head_tokens) {
  const Layout& L = layout_;
  auto sep = [&](size_t i) {
    const std::string& prev = i ? tokens[i - 1] : std::string();
    return !L.spaced_parentheses && ((i && prev == "(") || tokens[i] == ")") ? size_t{0} : size_t{1};
  };
  std::string cur = " " + std::string(keyword);
  // The head stays on the first line only when all of it fits there.
  size_t head = std::min(head_tokens, tokens.size());
  size_t len = cur.size();
  for (size_t i = 0; i < head; ++i) len += sep(i) + tokens[i].size();
  if (len > L.max_columns) head = 0;

  size_t on_line = 1;  // tokens on the current line, the keyword included
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& tok = tokens[i];
    if (cur.size() + sep(i) + tok.size() <= L.max_columns &&
        (i < head || L.tokens_per_line == 0 || on_line < L.tokens_per_line)) {
      cur.append(sep(i), ' ');
      cur += tok;
      ++on_line;
      continue;
    }
    emit_line(cur);
    // A token too wide for the indent starts in column 1.
    if (L.indent + tok.size() <= L.max_columns)
      cur.assign(L.indent, ' ');
    else if (tok.size() <= L.max_columns)
      cur.clear();
    else
      throw std::invalid_argument("record: token wider than a line: " + tok);
    cur += tok;
    on_line = 1;
  }
  emit_line(cur);
  return *this;
}

SummaryBuilder& SummaryBuilder::pset(std::string_view name, const std::vector<PsetEntry>& entries) {
  std::vector<std::string> toks{word_token(name), format_integer(static_cast<int64_t>(entries.size()))};
  for (const PsetEntry& e : entries) {
    toks.push_back(format_integer(e.number));
    toks.push_back(is_name_token(e.name) ? e.name : quote(e.name));
  }
  toks.emplace_back(")");
  return record("PSET", toks, 2);
}

SummaryBuilder& SummaryBuilder::idset(std::string_view name, const std::vector<std::string>& qualifiers,
                                      const std::vector<IdMember>& members) {
  std::vector<std::string> toks{word_token(name), "("};
  for (const std::string& q : qualifiers) toks.push_back(word_token(q));
  toks.emplace_back(")");
  const size_t head = toks.size();
  toks.emplace_back("(");
  for (const IdMember& m : members) {
    for (const std::string& item : m.items) {
      const bool numbered = item.size() > 1 && item[0] == '#' && item.find_first_not_of("0123456789", 1) == std::string::npos;
      toks.push_back(item == "?" || numbered ? item : word_token(item));
    }
    if (m.type != 0) toks.push_back("*" + format_integer(m.type));
    if (m.unit_type != 0) toks.push_back("<" + format_integer(m.unit_type) + ">");
  }
  toks.emplace_back(")");
  return record("IDSET", toks, head);
}

SummaryBuilder& SummaryBuilder::lset(std::string_view name, std::string_view definition) {
  std::string spaced;  // tokens at blanks and around "(" and ")"
  for (const char c : definition) spaced += c == '(' || c == ')' ? std::string{' ', c, ' '} : std::string(1, c);
  std::vector<std::string> toks{word_token(name)};
  std::istringstream in(spaced);
  for (std::string t; in >> t;) toks.push_back(t);
  return record("LSET", toks, 1);
}

SummaryBuilder& SummaryBuilder::dset(const std::vector<std::string>& path, std::string_view qualifier,
                                     const std::vector<Value>& values, bool close) {
  for (char c : qualifier)
    if (!is_name_char(c)) throw std::invalid_argument("dset: qualifier is not a name: " + std::string(qualifier));
  std::vector<std::string> toks;
  for (const std::string& k : path) toks.push_back(word_token(k));
  toks.push_back("@" + std::string(qualifier));
  toks.emplace_back("(");
  const size_t head = toks.size();
  for (const Value& v : values) toks.insert(toks.end(), v.tokens().begin(), v.tokens().end());
  if (close) toks.emplace_back(")");
  return record("DSET", toks, head);
}

SummaryBuilder& SummaryBuilder::dset_counted(const std::vector<std::string>& path, std::string_view qualifier,
                                             const std::vector<Value>& values) {
  std::vector<Value> counted{Value::integer(static_cast<int64_t>(values.size()))};
  counted.insert(counted.end(), values.begin(), values.end());
  return dset(path, qualifier, counted);
}

void SummaryBuilder::flush(std::ostream& out) {
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  text_.clear();
}

TempSummaryFile::TempSummaryFile(std::string_view contents, std::string_view suffix) {
  std::string name = (std::filesystem::temp_directory_path() / "flowsum-XXXXXX").string() + std::string(suffix);
  const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
  FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "wb");
  bool ok = f && std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
  if (f) ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    if (fd >= 0) ::unlink(name.c_str());
    throw std::runtime_error("cannot write a temporary file");
  }
  path_ = name;
}

TempSummaryFile::~TempSummaryFile() { ::unlink(path_.c_str()); }

}  // namespace flowsum::testing
