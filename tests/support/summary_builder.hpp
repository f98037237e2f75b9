// Test fixture builder: writes summary files (header, PSET, IDSET, LSET and
// DSET records, raw lines) so that tests and benchmarks never need a file
// from a real simulator.
//
// Lines are at most Layout::max_columns (<= 80) characters, without trailing
// blanks; only raw lines (line()) are written as given. A record opens with a
// blank and its keyword in column 2 and continues, broken only between
// tokens, on lines that start with at least two blanks (or a token as wide as
// the line in column 1), so a continuation never looks like a new record. The
// record head (a DSET's path, @qualifier and "("; an IDSET's name and
// qualifier list) stays on the first line, where the readers look for it.
//
// Integer tokens have at most 10 characters and real tokens at most 16, as
// many as the scanner reads. A real always holds a full stop and an
// upper-case exponent letter, and its exponent stays within +-300 (beyond, it
// scans as a name). format_real() writes the shortest text that reads back
// as the same double when one fits in 16 characters, else the closest of the
// fixed and exponent forms (at least 9 significant digits); real_as_read()
// gives the double a reader gets back, which tests compare results with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace flowsum::testing {

// ---- Tokens ----------------------------------------------------------------

inline constexpr size_t kMaxIntegerToken = 10;  // characters read of an integer
inline constexpr size_t kMaxRealToken = 16;     // characters read of a real
inline constexpr size_t kMaxLineColumns = 80;   // significant columns of a line
inline constexpr int kMaxRealExponent = 300;    // beyond it a real scans as a name

// The text of a real token (see above). Throws std::invalid_argument for
// NaN, infinities and values whose decimal exponent exceeds 300 in
// magnitude (denormals included).
std::string format_real(double x);
// The double a reader gets back from format_real(x).
double real_as_read(double x);
// The text of an integer token; throws std::invalid_argument when it would be
// longer than 10 characters.
std::string format_integer(int64_t n);
// A quoted string token; throws std::invalid_argument when the text holds a
// double quote (there is no escape) or is too long for one line (78).
std::string quote(std::string_view text);
// True when text scans as exactly one name token with that text: a letter,
// '$', ':' or '_' first, then letters, digits, '$', ':', '_', '+', '-', '='.
bool is_name_token(std::string_view text);
// True when text scans as exactly one integer token read in full: an
// optional sign and 1 to 10 characters in all.
bool is_integer_token(std::string_view text);
// A keyword, identifier or member value as a token: written bare when it is a
// name or an integer token, quoted otherwise (for example "H1.B2", which bare
// would scan as three tokens).
std::string word_token(std::string_view text);

// One value of a data set: the token or tokens it writes.
class Value {
 public:
  static Value integer(int64_t n);
  static Value real(double x);
  // A real that has a unit type is followed by the code of its unit.
  static Value real(double x, int64_t unit_code);
  // "*": a missing value; with a unit code when the value has a unit type.
  static Value missing();
  static Value missing(int64_t unit_code);
  // A quoted string (8-character and long texts, identifiers with dots).
  static Value text(std::string_view s);
  // A bare name; throws std::invalid_argument when s is not a name token.
  static Value name(std::string_view s);
  // Bare when s is a name or integer token, quoted otherwise.
  static Value word(std::string_view s);
  // Written exactly as given (for deliberately odd tokens).
  static Value raw(std::string_view token);

  const std::vector<std::string>& tokens() const { return tokens_; }

 private:
  explicit Value(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  std::vector<std::string> tokens_;
};

// Convenience: one real per element, each followed by the same unit code (no
// unit code when unit_code is empty).
std::vector<Value> reals(const std::vector<double>& xs,
                         std::optional<int64_t> unit_code = std::nullopt);
std::vector<Value> integers(const std::vector<int64_t>& ns);

// One member of an IDSET: NQ items (one per qualifier of the set) and the
// member's optional value type ("*n") and unit type ("<n>") annotations,
// which are written after the last item. Items are written with word_token(),
// except "#n" (n members) and "?" (open-ended set), which are written as is.
struct IdMember {
  std::vector<std::string> items;
  int64_t type = 0;       // 0: no annotation; 1 integer, 2 real, 5 text*8, 6 long text
  int64_t unit_type = 0;  // 0: no annotation
};

// One entry of a PSET record: an optional quoted label (skipped by the
// reader), the property number and its name (bare when it is a name token,
// quoted otherwise). A label is never separated from its number by a line
// break: the reader skips it only on the number's own line.
struct PsetEntry {
  int64_t number = 0;
  std::string name;
  std::optional<std::string> label;

  PsetEntry(int64_t n, std::string nm, std::optional<std::string> lb = std::nullopt)
      : number(n), name(std::move(nm)), label(std::move(lb)) {}
};

enum class Header { kIwp73, kIwp80, kMm };
std::string header_text(Header h);  // " IWPSUMMARY7.3", " IWPSUMMARY8.0", " MMSUMMARY"

// How records are laid out over lines.
struct Layout {
  size_t max_columns = kMaxLineColumns;  // 20..80
  // At most this many tokens a line, the record keyword included (0: as many
  // as fit). 1 writes one token a line: records over many lines. The kept
  // head (below) is not limited by it.
  size_t tokens_per_line = 0;
  // Blanks before the first token of a continuation line; at least 2.
  size_t indent = 4;
  // Keep the record head on the first line (see the file comment).
  bool keep_head = true;
  // Blanks around "(" and ")" instead of writing them against their tokens.
  bool spaced_parentheses = false;
};

// ---- The builder -----------------------------------------------------------

class SummaryBuilder {
 public:
  explicit SummaryBuilder(Layout layout = {});

  // The layout for the records that follow. Throws std::invalid_argument for
  // a layout outside the limits above.
  SummaryBuilder& set_layout(const Layout& layout);
  const Layout& layout() const { return layout_; }

  // One line written exactly as given (lines before the header, comments,
  // deliberately broken lines). A '\n' inside splits it into several lines.
  SummaryBuilder& line(std::string_view raw);
  SummaryBuilder& blank_line() { return line(""); }
  SummaryBuilder& header(Header h = Header::kIwp80);

  // Generic record: " KEYWORD tok tok ...". The first head_tokens tokens stay
  // on the first line with the keyword (when the layout keeps heads and they
  // fit). Tokens are written as given.
  SummaryBuilder& record(std::string_view keyword,
                         const std::vector<std::string>& tokens,
                         size_t head_tokens = 0);

  // PSET name n entries... [closing_label] ")"
  SummaryBuilder& pset(std::string_view name, const std::vector<PsetEntry>& entries,
                       std::optional<std::string> closing_label = std::nullopt);

  // IDSET name (qualifiers) (members)
  SummaryBuilder& idset(std::string_view name, const std::vector<std::string>& qualifiers,
                        const std::vector<IdMember>& members);
  // IDSET name followed by a definition given as text, for example
  // "(COMPONENTS) (H2O CH4)". The text is cut into tokens at blanks and
  // around parentheses (quoted strings are kept whole).
  SummaryBuilder& idset_text(std::string_view name, std::string_view definition);
  // LSET name definition, for example "(%COMPS & %PROPS)". The loader
  // expects "(" right after the name, so a sequence of one set is written
  // "(%COMPS)"; the outermost parentheses form no group of their own.
  SummaryBuilder& lset(std::string_view name, std::string_view definition);

  // DSET path... @qualifier ( values... )
  // Path keywords are written with word_token(). The closing ")" is not read
  // by the value reader; close = false leaves it out.
  SummaryBuilder& dset(const std::vector<std::string>& path, std::string_view qualifier,
                       const std::vector<Value>& values, bool close = true);
  // The same for an open-ended loading sequence: the number of values is
  // written first, after "(".
  SummaryBuilder& dset_counted(const std::vector<std::string>& path,
                               std::string_view qualifier,
                               const std::vector<Value>& values);

  // Line numbers (1-based, counting every line written, flushed ones too).
  int64_t line_count() const { return lines_; }
  // First line of the last record written (0 before any record).
  int64_t last_record_line() const { return last_record_line_; }

  // The text written and not yet flushed.
  const std::string& text() const { return text_; }
  // Write the buffered text to out and empty the buffer (line numbering goes
  // on): lets a generator stream a large file without holding it.
  void flush(std::ostream& out);
  // Write the whole text to a file (replacing it). Throws std::runtime_error
  // when the file cannot be written.
  void write_file(const std::filesystem::path& path) const;

 private:
  void emit_line(std::string_view s);

  Layout layout_;
  std::string text_;
  int64_t lines_ = 0;
  int64_t last_record_line_ = 0;
};

// Cut a definition text into tokens: at blanks and around "(" and ")";
// a quoted string stays one token.
std::vector<std::string> split_definition(std::string_view text);

// ---- Files -----------------------------------------------------------------

// A uniquely named file in the temporary directory, removed when the object
// goes away.
class TempSummaryFile {
 public:
  explicit TempSummaryFile(std::string_view contents, std::string_view suffix = ".sum");
  ~TempSummaryFile();
  TempSummaryFile(const TempSummaryFile&) = delete;
  TempSummaryFile& operator=(const TempSummaryFile&) = delete;
  TempSummaryFile(TempSummaryFile&& other) noexcept;
  TempSummaryFile& operator=(TempSummaryFile&&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string string() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline TempSummaryFile write_temp(const SummaryBuilder& b) { return TempSummaryFile(b.text()); }

}  // namespace flowsum::testing
