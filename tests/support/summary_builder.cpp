// Test fixture builder: token formatting, record layout over lines, files.
#include "support/summary_builder.hpp"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <system_error>

namespace flowsum::testing {

namespace {

bool is_name_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '$' || c == ':' || c == '_';
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_char(char c) {
  return is_name_start(c) || is_digit(c) || c == '+' || c == '-' || c == '=';
}

// Upper-case the exponent letter and make sure the mantissa holds a full
// stop: "1e+35" becomes "1.0E+35", "12" becomes "12.0".
std::string normalize_real(std::string s) {
  size_t e = s.find_first_of("eE");
  if (e != std::string::npos) s[e] = 'E';
  if (s.find('.') == std::string::npos) s.insert(e == std::string::npos ? s.size() : e, ".0");
  return s;
}

// Decimal exponent written in a real's text (0 when it has none).
int written_exponent(const std::string& s) {
  size_t e = s.find('E');
  if (e == std::string::npos) return 0;
  int v = 0;
  const char* first = s.data() + e + 1;
  if (*first == '+') ++first;
  std::from_chars(first, s.data() + s.size(), v);
  return v;
}

double parse_real(const std::string& s) {
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc()) throw std::logic_error("unreadable real text " + s);
  return v;
}

std::string chars(double x, std::chars_format fmt, int precision) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, x, fmt, precision);
  return normalize_real(std::string(buf, r.ptr));
}

// The most precise text of x in the given form that fits in 16 characters,
// or "" when none does.
std::string widest_fitting(double x, std::chars_format fmt) {
  for (int p = static_cast<int>(kMaxRealToken); p >= 0; --p) {
    std::string s = chars(x, fmt, p);
    if (s.size() <= kMaxRealToken) return s;
  }
  return {};
}

}  // namespace

std::string format_real(double x) {
  if (!std::isfinite(x)) throw std::invalid_argument("format_real: not a finite number");
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x);
  std::string best = normalize_real(std::string(buf, r.ptr));
  if (best.size() > kMaxRealToken) {
    // No exact text fits: take the closest of the widest fixed and exponent
    // forms (fixed keeps more digits for moderate magnitudes).
    std::string sci = widest_fitting(x, std::chars_format::scientific);
    std::string fix;
    double ax = std::fabs(x);
    if (ax >= 1e-4 && ax < 1e15) fix = widest_fitting(x, std::chars_format::fixed);
    best = sci;
    if (!fix.empty()) {
      double es = std::fabs(parse_real(sci) - x), ef = std::fabs(parse_real(fix) - x);
      if (ef < es) best = fix;
    }
  }
  if (best.empty() || std::abs(written_exponent(best)) > kMaxRealExponent)
    throw std::invalid_argument("format_real: exponent beyond +-300: " + best);
  return best;
}

double real_as_read(double x) { return parse_real(format_real(x)); }

std::string format_integer(int64_t n) {
  std::string s = std::to_string(n);
  if (s.size() > kMaxIntegerToken)
    throw std::invalid_argument("format_integer: more than 10 characters: " + s);
  return s;
}

std::string quote(std::string_view text) {
  if (text.find_first_of("\"\n\r") != std::string_view::npos)
    throw std::invalid_argument("quote: text holds a double quote or a line end");
  if (text.size() + 2 > kMaxLineColumns)
    throw std::invalid_argument("quote: text too long for one line");
  std::string s;
  s.reserve(text.size() + 2);
  s += '"';
  s += text;
  s += '"';
  return s;
}

bool is_name_token(std::string_view text) {
  if (text.empty() || !is_name_start(text[0])) return false;
  for (char c : text.substr(1))
    if (!is_name_char(c)) return false;
  return true;
}

bool is_integer_token(std::string_view text) {
  if (text.empty() || text.size() > kMaxIntegerToken) return false;
  size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i)
    if (!is_digit(text[i])) return false;
  return true;
}

std::string word_token(std::string_view text) {
  if (is_name_token(text) || is_integer_token(text)) return std::string(text);
  return quote(text);
}

// ---- Value -----------------------------------------------------------------

Value Value::integer(int64_t n) { return Value({format_integer(n)}); }
Value Value::real(double x) { return Value({format_real(x)}); }
Value Value::real(double x, int64_t unit_code) { return Value({format_real(x), format_integer(unit_code)}); }
Value Value::missing() { return Value({"*"}); }
Value Value::missing(int64_t unit_code) { return Value({"*", format_integer(unit_code)}); }
Value Value::text(std::string_view s) { return Value({quote(s)}); }
Value Value::name(std::string_view s) {
  if (!is_name_token(s)) throw std::invalid_argument("Value::name: not a name token: " + std::string(s));
  return Value({std::string(s)});
}
Value Value::word(std::string_view s) { return Value({word_token(s)}); }
Value Value::raw(std::string_view token) { return Value({std::string(token)}); }

std::vector<Value> reals(const std::vector<double>& xs, std::optional<int64_t> unit_code) {
  std::vector<Value> out;
  out.reserve(xs.size());
  for (double x : xs) out.push_back(unit_code ? Value::real(x, *unit_code) : Value::real(x));
  return out;
}

std::vector<Value> integers(const std::vector<int64_t>& ns) {
  std::vector<Value> out;
  out.reserve(ns.size());
  for (int64_t n : ns) out.push_back(Value::integer(n));
  return out;
}

std::string header_text(Header h) {
  switch (h) {
    case Header::kIwp73: return " IWPSUMMARY7.3";
    case Header::kIwp80: return " IWPSUMMARY8.0";
    case Header::kMm: return " MMSUMMARY";
  }
  return " IWPSUMMARY8.0";
}

std::vector<std::string> split_definition(std::string_view text) {
  std::vector<std::string> out;
  std::string cur;
  auto end_token = [&] {
    if (!cur.empty()) out.push_back(std::move(cur));
    cur.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
      end_token();
    } else if (c == '(' || c == ')') {
      end_token();
      out.emplace_back(1, c);
    } else if (c == '"') {
      end_token();
      size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) close = text.size() - 1;
      out.emplace_back(text.substr(i, close - i + 1));
      i = close;
    } else {
      cur += c;
    }
  }
  end_token();
  return out;
}

// ---- SummaryBuilder --------------------------------------------------------

SummaryBuilder::SummaryBuilder(Layout layout) { set_layout(layout); }

SummaryBuilder& SummaryBuilder::set_layout(const Layout& layout) {
  if (layout.max_columns < 20 || layout.max_columns > kMaxLineColumns)
    throw std::invalid_argument("Layout: max_columns must be 20..80");
  if (layout.indent < 2 || layout.indent >= layout.max_columns)
    throw std::invalid_argument("Layout: indent must be at least 2 and less than max_columns");
  layout_ = layout;
  return *this;
}

void SummaryBuilder::emit_line(std::string_view s) {
  text_ += s;
  text_ += '\n';
  ++lines_;
}

SummaryBuilder& SummaryBuilder::line(std::string_view raw) {
  size_t start = 0;
  while (true) {
    size_t nl = raw.find('\n', start);
    if (nl == std::string_view::npos) {
      emit_line(raw.substr(start));
      break;
    }
    emit_line(raw.substr(start, nl - start));
    start = nl + 1;
  }
  return *this;
}

SummaryBuilder& SummaryBuilder::header(Header h) { return line(header_text(h)); }

SummaryBuilder& SummaryBuilder::record(std::string_view keyword,
                                       const std::vector<std::string>& tokens,
                                       size_t head_tokens) {
  const Layout& L = layout_;
  auto glued = [&](const std::string& prev, const std::string& tok) {
    return !L.spaced_parentheses && (prev == "(" || tok == ")");
  };

  std::string cur = " ";
  cur += keyword;
  if (cur.size() > L.max_columns) throw std::invalid_argument("record: keyword too long");

  // The head stays on the first line only when all of it fits there.
  size_t head = L.keep_head ? std::min(head_tokens, tokens.size()) : 0;
  {
    size_t len = cur.size();
    for (size_t i = 0; i < head; ++i)
      len += (glued(i ? tokens[i - 1] : std::string(keyword), tokens[i]) ? 0 : 1) + tokens[i].size();
    if (len > L.max_columns) head = 0;
  }

  last_record_line_ = lines_ + 1;
  size_t on_line = 1;  // tokens on the current line, the keyword included
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& tok = tokens[i];
    size_t sep = glued(i ? tokens[i - 1] : std::string(keyword), tok) ? 0 : 1;
    bool fits = cur.size() + sep + tok.size() <= L.max_columns;
    bool count_ok = i < head || L.tokens_per_line == 0 || on_line < L.tokens_per_line;
    if (fits && count_ok) {
      cur.append(sep, ' ');
      cur += tok;
      ++on_line;
      continue;
    }
    emit_line(cur);
    // A continuation line starts with the indent, so it cannot look like the
    // start of a record; a token too wide for that goes to column 1 (it does
    // not start with a blank, so the same holds).
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

namespace {

// The reader of a PSET skips a quoted label only on the line of the token
// it precedes, so a label and its number (and the closing label and ")")
// are written as one unbreakable piece.
void append_pset_entries(std::vector<std::string>& toks, const std::vector<PsetEntry>& entries) {
  for (const PsetEntry& e : entries) {
    std::string number = format_integer(e.number);
    toks.push_back(e.label ? quote(*e.label) + " " + number : number);
    toks.push_back(is_name_token(e.name) ? e.name : quote(e.name));
  }
}

std::string member_item(const std::string& item) {
  if (item == "?") return item;
  if (item.size() > 1 && item[0] == '#' &&
      item.find_first_not_of("0123456789", 1) == std::string::npos)
    return item;
  return word_token(item);
}

void check_qualifier(std::string_view q) {
  for (char c : q)
    if (!is_name_char(c)) throw std::invalid_argument("dset: qualifier is not a name: " + std::string(q));
}

}  // namespace

SummaryBuilder& SummaryBuilder::pset(std::string_view name, const std::vector<PsetEntry>& entries,
                                     std::optional<std::string> closing_label) {
  std::vector<std::string> toks{word_token(name), format_integer(static_cast<int64_t>(entries.size()))};
  append_pset_entries(toks, entries);
  if (closing_label)
    toks.push_back(quote(*closing_label) + (layout_.spaced_parentheses ? " )" : ")"));
  else
    toks.emplace_back(")");
  return record("PSET", toks, 2);
}

SummaryBuilder& SummaryBuilder::idset(std::string_view name, const std::vector<std::string>& qualifiers,
                                      const std::vector<IdMember>& members) {
  std::vector<std::string> toks{word_token(name), "("};
  for (const std::string& q : qualifiers) toks.push_back(word_token(q));
  toks.emplace_back(")");
  size_t head = toks.size();
  toks.emplace_back("(");
  for (const IdMember& m : members) {
    for (const std::string& item : m.items) toks.push_back(member_item(item));
    if (m.type != 0) toks.push_back("*" + format_integer(m.type));
    if (m.unit_type != 0) toks.push_back("<" + format_integer(m.unit_type) + ">");
  }
  toks.emplace_back(")");
  return record("IDSET", toks, head);
}

SummaryBuilder& SummaryBuilder::idset_text(std::string_view name, std::string_view definition) {
  std::vector<std::string> toks{word_token(name)};
  std::vector<std::string> def = split_definition(definition);
  size_t head = 1;
  // Keep the qualifier list, up to its ")", on the IDSET line.
  if (!def.empty() && def[0] == "(") {
    size_t close = 0;
    while (close < def.size() && def[close] != ")") ++close;
    if (close < def.size()) head += close + 1;
  }
  toks.insert(toks.end(), def.begin(), def.end());
  return record("IDSET", toks, head);
}

SummaryBuilder& SummaryBuilder::lset(std::string_view name, std::string_view definition) {
  std::vector<std::string> toks{word_token(name)};
  std::vector<std::string> def = split_definition(definition);
  toks.insert(toks.end(), def.begin(), def.end());
  return record("LSET", toks, 1);
}

SummaryBuilder& SummaryBuilder::dset(const std::vector<std::string>& path, std::string_view qualifier,
                                     const std::vector<Value>& values, bool close) {
  check_qualifier(qualifier);
  std::vector<std::string> toks;
  toks.reserve(path.size() + 3 + values.size() * 2);
  for (const std::string& k : path) toks.push_back(word_token(k));
  toks.push_back("@" + std::string(qualifier));
  toks.emplace_back("(");
  size_t head = toks.size();
  for (const Value& v : values)
    for (const std::string& t : v.tokens()) toks.push_back(t);
  if (close) toks.emplace_back(")");
  return record("DSET", toks, head);
}

SummaryBuilder& SummaryBuilder::dset_counted(const std::vector<std::string>& path,
                                             std::string_view qualifier,
                                             const std::vector<Value>& values) {
  std::vector<Value> counted;
  counted.reserve(values.size() + 1);
  counted.push_back(Value::integer(static_cast<int64_t>(values.size())));
  counted.insert(counted.end(), values.begin(), values.end());
  return dset(path, qualifier, counted);
}

void SummaryBuilder::flush(std::ostream& out) {
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  text_.clear();
}

void SummaryBuilder::write_file(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// ---- TempSummaryFile -------------------------------------------------------

TempSummaryFile::TempSummaryFile(std::string_view contents, std::string_view suffix) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "flowsum-XXXXXX").string();
  tmpl += suffix;
  int fd = ::mkstemps(tmpl.data(), static_cast<int>(suffix.size()));
  if (fd < 0) throw std::runtime_error("cannot create a temporary file");
  size_t done = 0;
  while (done < contents.size()) {
    ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n <= 0) {
      ::close(fd);
      ::unlink(tmpl.c_str());
      throw std::runtime_error("cannot write a temporary file");
    }
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  path_ = tmpl;
}

TempSummaryFile::TempSummaryFile(TempSummaryFile&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

TempSummaryFile::~TempSummaryFile() {
  if (!path_.empty()) {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
}

}  // namespace flowsum::testing
