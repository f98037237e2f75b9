// Test fixture builder: writes summary files record by record. A record
// opens with " KEYWORD" and continues on lines indented by two blanks or
// more; its head (path, @qualifier and "(") stays on the first line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace flowsum::testing {

inline constexpr size_t kMaxLineColumns = 80;

// The shortest text of at most 16 characters closest to x; throws when x
// has no real token (NaN, infinities, exponents beyond 300).
std::string format_real(double x);
double real_as_read(double x);  // what a reader gets back from format_real(x)
std::string quote(std::string_view text);  // throws for a '"' or a text wider than a line
// Bare when text scans as one name or integer token, quoted otherwise.
std::string word_token(std::string_view text);

// One value of a data set: the token or tokens it writes.
class Value {
 public:
  static Value integer(int64_t n);
  static Value real(double x);
  // A real that has a unit type is followed by the code of its unit.
  static Value real(double x, int64_t unit_code);
  // "*": a missing value, with a unit code when the value has a unit type.
  static Value missing();
  static Value missing(int64_t unit_code);
  static Value text(std::string_view s);  // quoted
  static Value word(std::string_view s);  // see word_token()

  const std::vector<std::string>& tokens() const { return tokens_; }

 private:
  explicit Value(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  std::vector<std::string> tokens_;
};

std::vector<Value> reals(const std::vector<double>& xs, std::optional<int64_t> unit_code = std::nullopt);
std::vector<Value> integers(const std::vector<int64_t>& ns);

// One member of an IDSET: one item per qualifier ("#n" and "?" as they
// are), value type "*n" (1 integer, 2 real, 5 text of 8, 6 long text) and
// unit type "<n>" when not 0.
struct IdMember {
  std::vector<std::string> items;
  int64_t type = 0;
  int64_t unit_type = 0;
};

struct PsetEntry {
  int64_t number = 0;
  std::string name;
};

enum class Header { kIwp73, kIwp80, kMm };

struct Layout {
  size_t max_columns = kMaxLineColumns;  // 20..80
  size_t tokens_per_line = 0;  // at most, the keyword included (0: as many as fit), head aside
  size_t indent = 4;  // blanks before a continuation line's first token, >= 2
  bool spaced_parentheses = false;
};

class SummaryBuilder {
 public:
  explicit SummaryBuilder(Layout layout = {});  // throws for a layout outside its limits

  // Lines written exactly as given; a '\n' inside splits them.
  SummaryBuilder& line(std::string_view raw);
  SummaryBuilder& blank_line() { return line(""); }
  SummaryBuilder& header(Header h = Header::kIwp80);

  // PSET name n (number name)... ")"
  SummaryBuilder& pset(std::string_view name, const std::vector<PsetEntry>& entries);
  // IDSET name (qualifiers) (members)
  SummaryBuilder& idset(std::string_view name, const std::vector<std::string>& qualifiers,
                        const std::vector<IdMember>& members);
  SummaryBuilder& lset(std::string_view name, std::string_view definition);
  // DSET path... @qualifier ( values... [")"] )
  SummaryBuilder& dset(const std::vector<std::string>& path, std::string_view qualifier,
                       const std::vector<Value>& values, bool close = true);
  // The same for an open-ended sequence, the number of values first.
  SummaryBuilder& dset_counted(const std::vector<std::string>& path, std::string_view qualifier,
                               const std::vector<Value>& values);

  int64_t line_count() const { return lines_; }  // flushed ones included
  const std::string& text() const { return text_; }
  void flush(std::ostream& out);  // writes and empties the buffer (large files)

 private:
  SummaryBuilder& record(std::string_view keyword, const std::vector<std::string>& tokens, size_t head_tokens);
  void emit_line(std::string_view s);

  Layout layout_;
  std::string text_;
  int64_t lines_ = 0;
};

// A uniquely named file in the temporary directory, removed with the object.
class TempSummaryFile {
 public:
  explicit TempSummaryFile(std::string_view contents, std::string_view suffix = ".sum");
  ~TempSummaryFile();
  TempSummaryFile(const TempSummaryFile&) = delete;
  TempSummaryFile& operator=(const TempSummaryFile&) = delete;

  const std::string& path() const { return path_; }
  const std::string& string() const { return path_; }

 private:
  std::string path_;
};

}  // namespace flowsum::testing
