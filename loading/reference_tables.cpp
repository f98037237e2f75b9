// Reference tables read at load time: the property-number file RCPROPNU.DAT,
// the unit-table file RCUNITS.DAT, the component identifiers of the lists
// "ID_NCC" and "ID_NNC", the adjustment of the tables for files of old
// simulator versions and the run's ambient pressure (both after everything
// else is built), and the readers of those tables.
#include "loading/reference_tables.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "io/messages.hpp"
#include "io/numbered_units.hpp"
#include "loading/load_steps.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "store/dataset_lookup.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"

namespace flowsum {
namespace {

constexpr size_t kLineChars = 80;          // significant characters of a line
constexpr int64_t kAddLineSearch = 1000;   // lines searched for the "ADD " line
constexpr int64_t kMaxListComponents = 1000;
constexpr int kPropertyRegion = 1;
constexpr double kStandardAtmosphere = 101325.0;
// Status written in a read-error message for a field that holds no number
// (the line itself was read). The files give no status of their own for it.
constexpr int kNotANumber = EINVAL;

// Which reference file a step reads: its name in messages and its error code.
struct ReferenceFile {
  std::string_view name;  // "RCPROPNU.DAT" or "RCUNITS.DAT"
  int64_t ierr;           // 2 or 3
};
constexpr ReferenceFile kPropertyFile{"RCPROPNU.DAT", 2};
constexpr ReferenceFile kUnitFile{"RCUNITS.DAT", 3};

// Characters first..last (1-based, inclusive) of a line; the part beyond the
// line's end counts as blanks and is simply left out.
std::string_view columns(std::string_view line, size_t first, size_t last) {
  if (first > line.size()) return {};
  return line.substr(first - 1, std::min(last, line.size()) - first + 1);
}

std::string without_blanks(std::string_view field) {
  std::string s;
  for (char c : field)
    if (c != ' ') s.push_back(c);
  return s;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An integer field with blanks ignored: an optional sign and digits. A blank
// field reads as 0. False for anything else.
bool read_integer_field(std::string_view field, int64_t& value) {
  std::string s = without_blanks(field);
  if (s.empty()) {
    value = 0;
    return true;
  }
  size_t k = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (k == s.size() || s.size() - k > 18) return false;
  for (size_t i = k; i < s.size(); ++i)
    if (!is_digit(s[i])) return false;
  int64_t v = 0;
  std::from_chars(s.data() + k, s.data() + s.size(), v);
  value = s[0] == '-' ? -v : v;
  return true;
}

// A real field with blanks ignored: an optional sign, digits with at most one
// full stop (at least one digit), then optionally an exponent: a letter E or
// D (either case) with an optional signed integer, or a signed integer alone.
// A blank field reads as 0. The value is taken as written, also without a
// full stop ("2" is 2.0). False for anything else and for values beyond the
// range of a double.
bool read_real_field(std::string_view field, double& value) {
  std::string s = without_blanks(field);
  if (s.empty()) {
    value = 0.0;
    return true;
  }
  std::string number;
  size_t k = 0;
  if (s[k] == '+' || s[k] == '-') number.push_back(s[k++]);
  bool digits = false, point = false;
  for (; k < s.size(); ++k) {
    if (is_digit(s[k])) {
      digits = true;
    } else if (s[k] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    number.push_back(s[k]);
  }
  if (!digits) return false;
  if (k < s.size()) {
    char c = s[k];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
      ++k;
    } else if (c != '+' && c != '-') {
      return false;
    }
    size_t first = k;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    size_t digits_at = k;
    while (k < s.size() && is_digit(s[k])) ++k;
    if (k != s.size() || k == digits_at || k - digits_at > 5) return false;
    number.push_back('e');
    number.append(s, first, k - first);
  }
  const char* begin = number.data();
  if (*begin == '+') ++begin;
  double v = 0.0;
  auto r = std::from_chars(begin, number.data() + number.size(), v);
  if (r.ec != std::errc() || r.ptr != number.data() + number.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// The text in capitals (letters a to z only).
std::string capitals(std::string_view text) {
  std::string s(text);
  upper_case(TextField(s.data(), s.size()), static_cast<int64_t>(s.size()));
  return s;
}

// Opens a reference file for reading. On failure writes the open-error
// message (and the not-found message when the file does not exist) and sets
// the step's error code. The unit must not be the summary unit or the
// scratch unit: opening the file there would take the loaded file away from
// the library, so such a unit fails like an open that failed (status -1).
bool open_reference_file(LoadContext& ctx, int64_t unit, std::string_view path,
                         const ReferenceFile& file) {
  int st = -1;
  if (unit != ctx.scratch_unit && unit != last_load().summary_unit)
    st = io::open_unit(unit, path, "SEQUENTIAL", "FORMATTED", static_cast<int64_t>(kLineChars),
                       "OLD", "READ");
  if (st == 0) return true;
  write_message({" ERROR" + fortran_i(st, 4) + " OPENING FILE " + std::string(path)});
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(std::filesystem::path(path), ec))
    write_message({" FILE NOT FOUND"});
  ctx.ierr = file.ierr;
  return false;
}

// Reads a reference file line by line, counting lines from 1, and reports a
// failed read in the file's message.
class ReferenceReader {
 public:
  ReferenceReader(LoadContext& ctx, int64_t unit, const ReferenceFile& file)
      : ctx_(ctx), unit_(unit), file_(file) {}

  int64_t line_number() const { return line_; }

  // The next line (first 80 characters); false after writing the read-error
  // message with the read status.
  bool next(std::string_view& line) {
    ++line_;
    int st = io::read_line(unit_, line, kLineChars);
    if (st != 0) {
      read_error(st);
      return false;
    }
    return true;
  }

  // Skips lines up to the first whose first four characters are "ADD " (the
  // first three in any case), among the first 1000 lines.
  bool find_add_line() {
    for (int64_t k = 0; k < kAddLineSearch; ++k) {
      std::string_view line;
      if (!next(line)) return false;
      std::string head = capitals(padded(line, 4));
      if (head == "ADD ") return true;
    }
    read_error(0);
    return false;
  }

  // " ERROR st READING LINE n OF <file> FILE"; the step's error code.
  void read_error(int status) {
    write_message({" ERROR" + fortran_i(status, 4) + " READING LINE" + fortran_i(line_, 6) +
                   " OF " + std::string(file_.name) + " FILE"});
    ctx_.ierr = file_.ierr;
  }

  void work_area_error() {
    write_message({" INSUFFICIENT WORK AREA WHILE PROCESSING " + std::string(file_.name),
                   " FILE WITH WORK SIZE OF" + fortran_i(ctx_.work_size, 7)});
    ctx_.ierr = 4;
  }

 private:
  LoadContext& ctx_;
  int64_t unit_;
  const ReferenceFile& file_;
  int64_t line_ = 0;
};

// Switches the scanner to the extended character table for as long as it
// lives, and back to the standard table however the reading ends.
struct ExtendedTable {
  ExtendedTable() { scan::select_table(2); }
  ~ExtendedTable() { scan::select_table(1); }
  ExtendedTable(const ExtendedTable&) = delete;
  ExtendedTable& operator=(const ExtendedTable&) = delete;
};

// The scanner position of column c of line n: n + c/256.
double scan_position(int64_t line, int64_t column) {
  return static_cast<double>(line) + static_cast<double>(column) / 256.0;
}

// Reads the entry lines of RCPROPNU.DAT into region 1.
bool read_property_entries(ReferenceReader& reader, int64_t n) {
  ExtendedTable extended;
  for (int64_t k = 0; k < n; ++k) {
    std::string_view line;
    if (!reader.next(line)) return false;
    // Read mode 3 on no unit: only this line is scanned.
    scan::configure(1, 3, scan_position(reader.line_number(), 1), line);
    scan::Token t;
    scan::next(t);
    if (t.type != scan::kInteger) {
      reader.read_error(0);
      return false;
    }
    const int64_t number = t.ival;
    scan::next(t);
    std::string name(t.type == scan::kNone ? std::string_view() : t.text);
    scan::next(t);
    // A second name replaces the first unless it is blank or "(" (which
    // opens a description).
    if (t.type != scan::kNone && t.type != scan::kOpen && !TextField::trim_right(t.text).empty())
      name.assign(t.text);
    const int64_t entry = memw(3 * kPropertyRegion - 2) + memw(3 * kPropertyRegion - 1);
    work(entry) = number;
    pack_text(capitals(padded(name, 12)), 12, work_ptr(entry + 1));
    memw(3 * kPropertyRegion - 1) += property_entry_words();
  }
  return true;
}

// Writes the type's entry and reads its unit lines into the unit entries
// from word `next` on, which moves past them.
bool read_units_of_type(LoadContext& ctx, ReferenceReader& reader, int64_t type_entry,
                        int64_t units, std::string_view name, int64_t& next) {
  work(type_entry) = next - locs(l::kUnitEntries);
  work(type_entry + 1) = units;
  work(type_entry + 2) = ctx.unit_set;
  pack_text(capitals(padded(name, 12)), 12, work_ptr(type_entry + 3));
  for (int64_t u = 0; u < units; ++u) {
    std::string_view line;
    if (!reader.next(line)) return false;
    double factor = 0.0, offset = 0.0;
    if (!read_real_field(columns(line, 25, 47), factor) ||
        !read_real_field(columns(line, 53, 75), offset)) {
      reader.read_error(kNotANumber);
      return false;
    }
    pack_text(capitals(padded(columns(line, 5, 20), 16)), 16, work_ptr(next));
    set_work_real(next + words_of_text16(), factor);
    set_work_real(next + words_of_text16() + words_of_real(), offset);
    next += unit_entry_words();
  }
  return true;
}

}  // namespace

// ---- Load steps -------------------------------------------------------------

StepEnd read_property_file(LoadContext& ctx, int64_t unit, std::string_view path) {
  if (!open_reference_file(ctx, unit, path, kPropertyFile)) return StepEnd::kReturnNow;
  io::rewind_unit(unit);
  ReferenceReader reader(ctx, unit, kPropertyFile);
  // The loader closes the unit once the tables are sorted; a step that fails
  // closes it here, as nothing more is read from it.
  auto failed = [&] {
    io::close_unit(unit);
    return StepEnd::kClosingSteps;
  };
  if (!reader.find_add_line()) return failed();
  std::string_view line;
  if (!reader.next(line)) return failed();
  int64_t n = 0;
  if (!read_integer_field(columns(line, 1, 4), n) || n < 0) {
    reader.read_error(kNotANumber);
    return failed();
  }
  if (n > 0 && !ctx.grow_region(kPropertyRegion, n * property_entry_words())) {
    reader.work_area_error();
    return failed();
  }
  if (!read_property_entries(reader, n)) return failed();
  return StepEnd::kGoOn;
}

StepEnd read_unit_table(LoadContext& ctx, int64_t unit, std::string_view path) {
  if (!open_reference_file(ctx, unit, path, kUnitFile)) return StepEnd::kReturnNow;
  io::rewind_unit(unit);
  ReferenceReader reader(ctx, unit, kUnitFile);
  glob(g::kNunitTypes) = 0;
  const int64_t base = locs(l::kNextFree);
  int64_t next = base;  // first word after what this step has built
  auto finish = [&](StepEnd end) {
    locs(l::kNextFree) = next;
    io::close_unit(unit);
    return end;
  };

  if (!reader.find_add_line()) return finish(StepEnd::kClosingSteps);
  std::string_view line;
  if (!reader.next(line)) return finish(StepEnd::kClosingSteps);
  int64_t ntypes = 0;
  if (!read_integer_field(columns(line, 4, 7), ntypes) || ntypes < 0) {
    reader.read_error(kNotANumber);
    return finish(StepEnd::kClosingSteps);
  }
  // The unit-type table, rounded up to whole reals, then the unit entries.
  const int64_t wpr = words_of_real();
  const int64_t table_words = (ntypes * unit_type_entry_words() + wpr - 1) / wpr * wpr;
  if (base < 1 || table_words > ctx.work_size - base + 1) {
    reader.work_area_error();
    return finish(StepEnd::kClosingSteps);
  }
  locs(l::kUnitTypes) = base;
  locs(l::kUnitEntries) = base + table_words;
  next = base + table_words;

  for (int64_t t = 1; t <= ntypes; ++t) {
    if (!reader.next(line)) return finish(StepEnd::kClosingSteps);
    int64_t number = 0, units = 0;
    if (!read_integer_field(columns(line, 4, 7), number) ||
        !read_integer_field(columns(line, 13, 15), units) || units < 0) {
      reader.read_error(kNotANumber);
      return finish(StepEnd::kClosingSteps);
    }
    if (number != t) {
      write_message({" UNIT TYPE NO." + fortran_i(number, 4) + " IN RCUNITS.DAT IS OUT OF ORDER"});
      ctx.ierr = kUnitFile.ierr;
    }
    if (units * unit_entry_words() > ctx.work_size - next + 1) {
      reader.work_area_error();
      return finish(StepEnd::kClosingSteps);
    }
    const int64_t type_entry = base + (t - 1) * unit_type_entry_words();
    if (!read_units_of_type(ctx, reader, type_entry, units, columns(line, 25, 36), next))
      return finish(StepEnd::kClosingSteps);
    // Only complete types are counted, so that a table cut short by a
    // failure still reads consistently.
    glob(g::kNunitTypes) = t;
  }
  return finish(StepEnd::kGoOn);
}

StepEnd build_component_table(LoadContext& ctx) {
  const int64_t base = locs(l::kNextFree);
  int64_t next = base;
  locs(l::kComponents) = base;
  glob(g::kNcc) = glob(g::kNnc) = glob(g::kNcomp) = 0;
  const int64_t words = words_of_text8();

  for (int list = 0; list < 2; ++list) {
    int64_t line_no = list == 0 ? ctx.ncc_line : ctx.nnc_line;
    if (line_no <= 0) continue;
    std::string_view record;
    if (io::read_record(ctx.scratch_unit, line_no, record) != 0) continue;
    record = record.substr(0, std::min(record.size(), kLineChars));
    // The identifiers follow the qualifier list "( ... )" of the IDSET line.
    const size_t close = record.find(')');
    if (close == std::string_view::npos) continue;
    scan::configure(2, 3, scan_position(line_no, static_cast<int64_t>(close) + 2), record);

    // Next token of the list; at the end of a line the list goes on at the
    // start of the next line of the scratch copy, and a line that yields
    // nothing (or cannot be read) ends it.
    auto next_token = [&](scan::Token& t) {
      scan::next(t);
      if (t.type != scan::kNone) return true;
      ++line_no;
      std::string_view more;
      if (io::read_record(ctx.scratch_unit, line_no, more) != 0) return false;
      more = more.substr(0, std::min(more.size(), kLineChars));
      scan::configure(2, 3, scan_position(line_no, 1), more);
      scan::next(t);
      return t.type != scan::kNone;
    };

    scan::Token t;
    if (!next_token(t)) continue;  // the "(" that opens the identifiers
    int64_t count = 0;
    while (count < kMaxListComponents && next_token(t) && t.type != scan::kClose) {
      if (words > ctx.work_size - next + 1) {
        write_message({" INSUFFICIENT WORK AREA WHILE LOADING COMPONENT NAMES",
                       " CURRENT WORK SIZE =" + fortran_i(ctx.work_size, 7)});
        ctx.ierr = 4;
        locs(l::kNextFree) = next;
        return StepEnd::kClosingSteps;
      }
      pack_text(t.text, 8, work_ptr(next));
      next += words;
      ++count;
      glob(list == 0 ? g::kNcc : g::kNnc) = count;
      glob(g::kNcomp) = glob(g::kNcc) + glob(g::kNnc);
    }
  }
  locs(l::kNextFree) = next;
  return StepEnd::kGoOn;
}

void adjust_for_version() {
  const std::string_view path[] = {"RUN-STATUS", "VERS"};
  FreePointerGuard guard;
  const DatasetAnswer vers = lookup_dataset(path);
  if (!vers.found()) return;
  const int64_t type = vers.type(1);
  if (type != value_type::kText && type != value_type::kText8 && type != value_type::kLongText)
    return;
  // The version text, e.g. "8.2" or "12.1": its major version is the number
  // before the first full stop (all of its digits, however many).
  const std::string text = vers.text_value(1).substr(0, 20);
  const size_t stop = text.find('.');
  if (stop == std::string::npos) return;
  int64_t major = 0;
  const std::string_view head = std::string_view(text).substr(0, stop);
  if (TextField::trim_right(head).empty() || !read_integer_field(head, major)) return;
  if (major >= 9) return;

  // Files of versions before 9 number two ranges of properties the other way
  // round: 901-977 there are 27001-27077 here, and the reverse.
  const int64_t base = locs(l::kPropTable), n = locs(l::kPropCount);
  const int64_t stride = property_entry_words();
  if (n > 0 && in_work(base, n * stride)) {
    for (int64_t k = 0; k < n; ++k) {
      int64_t& p = work(base + k * stride);
      if (p > 900 && p < 978) {
        p += 26100;
      } else if (p > 27000 && p < 27078) {
        p -= 26100;
      }
    }
  }
  // Their unit types 85 to 88 are the types 91 to 94 of the table. A table
  // without types 91 to 94 cannot supply them and stays as it is.
  const int64_t types = glob(g::kNunitTypes), stride_t = unit_type_entry_words();
  const int64_t tbase = locs(l::kUnitTypes);
  if (types >= 94 && in_work(tbase, 94 * stride_t)) {
    for (int64_t t = 85; t <= 88; ++t)
      std::copy_n(work_ptr(tbase + (t + 5) * stride_t), stride_t, work_ptr(tbase + (t - 1) * stride_t));
  }
}

double ambient_pressure() {
  const std::string_view path[] = {"PAMB", "PAMB"};
  FreePointerGuard guard;
  const DatasetAnswer pamb = lookup_dataset(path);
  for (int64_t j = 1; j <= pamb.ndata; ++j) {
    if (pamb.type(j) != value_type::kReal) continue;
    // The first real value. A missing value gives no pressure.
    double p = pamb.real_value(j);
    if (p == rglb(1)) break;
    // A value written in another absolute pressure unit is brought to the
    // base unit with its unit code, so that gauge conversions always add a
    // pressure in the base unit.
    const UnitTable table;
    const int64_t code = pamb.unit_code(j);
    if (pamb.unit_type(j) == kPressureUnitType && table.has_unit(kPressureUnitType, code) &&
        table.offset(kPressureUnitType, code) >= 0.0)
      p = p * table.factor(kPressureUnitType, code) + table.offset(kPressureUnitType, code);
    return p;
  }
  return kStandardAtmosphere;
}

// ---- Readers ----------------------------------------------------------------

namespace {

// The property table is sorted by name, but queries ask by number, once for
// every row they write. This index maps each number to its first entry; it
// is built on first use and rebuilt for another load or another table.
// Numbers up to kDirectNumbers (every number a file uses in practice) are
// found by position in a direct table, the others by a binary search.
struct PropertyIndex {
  static constexpr int64_t kDirectNumbers = 1 << 16;
  uint64_t serial = 0;
  int64_t base = 0, n = -1, stride = 0;
  std::vector<std::pair<int64_t, int64_t>> by_number;  // (number, entry index)
  std::vector<int32_t> direct;                         // number -> entry index + 1, 0 for none

  bool current(int64_t b, int64_t count, int64_t s) const {
    return serial == last_load().serial && base == b && n == count && stride == s;
  }
  void build(int64_t b, int64_t count, int64_t s) {
    serial = last_load().serial;
    base = b;
    n = count;
    stride = s;
    by_number.clear();
    for (int64_t k = 0; k < count; ++k) by_number.emplace_back(work(b + k * s), k);
    // Equal numbers keep their table order, so the first entry comes first.
    std::stable_sort(by_number.begin(), by_number.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    direct.clear();
    int64_t top = 0;
    for (const auto& [number, k] : by_number)
      if (number >= 0 && number < kDirectNumbers && k < INT32_MAX) top = std::max(top, number + 1);
    direct.assign(static_cast<size_t>(top), 0);
    for (auto it = by_number.rbegin(); it != by_number.rend(); ++it)
      if (it->first >= 0 && it->first < top && it->second < INT32_MAX)
        direct[static_cast<size_t>(it->first)] = static_cast<int32_t>(it->second + 1);
  }
  // Entry index of the number's first entry, or -1.
  int64_t find(int64_t number) const {
    if (number >= 0 && number < static_cast<int64_t>(direct.size())) return direct[static_cast<size_t>(number)] - 1;
    if (number >= 0 && number < kDirectNumbers) return -1;
    auto it = std::lower_bound(by_number.begin(), by_number.end(), std::pair<int64_t, int64_t>(number, 0),
                               [](const auto& x, const auto& y) { return x.first < y.first; });
    return it != by_number.end() && it->first == number ? it->second : -1;
  }
};

}  // namespace

std::string property_name(int64_t number) {
  std::string name(12, ' ');
  property_name_into(number, TextField(name.data(), name.size()));
  return name;
}

void property_name_into(int64_t number, TextField out) {
  out.fill_blank();
  const int64_t base = locs(l::kPropTable), n = locs(l::kPropCount);
  const int64_t stride = property_entry_words();
  if (n <= 0 || !in_work(base, n * stride)) return;
  static PropertyIndex index;
  if (!index.current(base, n, stride)) index.build(base, n, stride);
  int64_t k = index.find(number);
  // A caller may have written over the table since: the entry must still
  // hold the number, or the index is built again from what is there now.
  if (k >= 0 && work(base + k * stride) != number) {
    index.build(base, n, stride);
    k = index.find(number);
  }
  if (k >= 0)
    unpack_text(work_ptr(base + k * stride + 1), words_of_text12(),
                TextField(out.data, std::min<size_t>(out.len, 12)));
}

UnitTable::UnitTable() {
  const int64_t n = glob(g::kNunitTypes);
  const int64_t tbase = locs(l::kUnitTypes), ubase = locs(l::kUnitEntries);
  if (n > 0 && in_work(tbase, n * unit_type_entry_words()) && in_work(ubase, 0)) {
    type_base_ = tbase;
    unit_base_ = ubase;
    ntypes_ = n;
  }
}

int64_t UnitTable::units(int64_t type) const {
  if (!has_type(type)) return 0;
  const int64_t n = work(type_base_ + (type - 1) * unit_type_entry_words() + 1);
  return n > 0 ? n : 0;
}

int64_t UnitTable::unit_word(int64_t type, int64_t unit) const {
  if (!has_unit(type, unit)) return 0;
  const int64_t first = work(type_base_ + (type - 1) * unit_type_entry_words());
  const int64_t size = unit_entry_words();
  // Positions that cannot be formed without overflow lie outside the work
  // area anyway.
  if (first < 0 || first > kWorkWords || unit > kWorkWords) return 0;
  const int64_t word = unit_base_ + first + (unit - 1) * size;
  return in_work(word, size) ? word : 0;
}

std::string UnitTable::type_name(int64_t type) const {
  std::string name(12, ' ');
  type_name_into(type, TextField(name.data(), name.size()));
  return name;
}

std::string UnitTable::label(int64_t type, int64_t unit) const {
  std::string text(16, ' ');
  label_into(type, unit, TextField(text.data(), text.size()));
  return text;
}

void UnitTable::type_name_into(int64_t type, TextField out) const {
  if (has_type(type))
    unpack_text(work_ptr(type_base_ + (type - 1) * unit_type_entry_words() + 3), words_of_text12(),
                TextField(out.data, std::min<size_t>(out.len, 12)));
  else
    out.fill_blank();
  if (out.len > 12) TextField(out.data + 12, out.len - 12).fill_blank();
}

void UnitTable::label_into(int64_t type, int64_t unit, TextField out) const { entry(type, unit).label_into(out); }

double UnitTable::factor(int64_t type, int64_t unit) const { return entry(type, unit).factor(); }

double UnitTable::offset(int64_t type, int64_t unit) const { return entry(type, unit).offset(); }

void UnitTable::Entry::label_into(TextField out) const {
  if (word)
    unpack_text(work_ptr(word), words_of_text16(), TextField(out.data, std::min<size_t>(out.len, 16)));
  else
    out.fill_blank();
  if (out.len > 16) TextField(out.data + 16, out.len - 16).fill_blank();
}

double UnitTable::Entry::factor() const { return word ? work_real(word + words_of_text16()) : 0.0; }

double UnitTable::Entry::offset() const {
  return word ? work_real(word + words_of_text16() + words_of_real()) : 0.0;
}

int64_t UnitTable::find_type(std::string_view name) const {
  const std::string wanted = padded(name, 12);
  for (int64_t t = 1; t <= ntypes_; ++t)
    if (type_name(t) == wanted) return t;
  return 0;
}

int64_t UnitTable::find_unit(int64_t type, std::string_view text) const {
  const std::string wanted = padded(text, 16);
  const int64_t n = units(type);
  for (int64_t u = 1; u <= n; ++u) {
    if (unit_word(type, u) == 0) return 0;
    if (label(type, u) == wanted) return u;
  }
  return 0;
}

int64_t component_count() {
  const int64_t n = glob(g::kNcomp);
  return n > 0 && in_work(locs(l::kComponents), n * words_of_text8()) ? n : 0;
}

std::string component_id(int64_t k) {
  std::string id(8, ' ');
  if (k >= 1 && k <= component_count())
    unpack_text(work_ptr(locs(l::kComponents) + (k - 1) * words_of_text8()), words_of_text8(),
                TextField(id.data(), id.size()));
  return id;
}

namespace {

// Component identifiers by their 8 characters, for placing per-component
// rows without a search through the whole list per row. Built on first use
// after each load, like the property index above.
struct ComponentIndex {
  uint64_t serial = 0;
  int64_t base = 0, n = -1;
  std::vector<std::pair<uint64_t, int64_t>> by_id;  // (8 characters as a word, position)

  static uint64_t word_of(std::string_view id8) {
    uint64_t w;
    std::memcpy(&w, id8.data(), 8);
    return w;
  }
  bool current(int64_t b, int64_t count) const {
    return serial == last_load().serial && base == b && n == count;
  }
  void build(int64_t b, int64_t count) {
    serial = last_load().serial;
    base = b;
    n = count;
    by_id.clear();
    by_id.reserve(static_cast<size_t>(count));
    for (int64_t k = 1; k <= count; ++k) by_id.emplace_back(word_of(component_id(k)), k);
    // Equal identifiers keep their table order, so the first one comes first.
    std::stable_sort(by_id.begin(), by_id.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
  }
  int64_t find(uint64_t w) const {
    auto it = std::lower_bound(by_id.begin(), by_id.end(), std::pair<uint64_t, int64_t>(w, 0),
                               [](const auto& x, const auto& y) { return x.first < y.first; });
    return it != by_id.end() && it->first == w ? it->second : 0;
  }
};

}  // namespace

int64_t component_position(std::string_view id) {
  const int64_t n = component_count();
  if (n == 0) return 0;
  const std::string id8 = padded(id.substr(0, std::min<size_t>(id.size(), 8)), 8);
  // Characters past the eighth take part in the comparison as they do in a
  // blank-padded one: an identifier longer than 8 matches only when they are
  // blank.
  if (!TextField::trim_right(id.substr(std::min<size_t>(id.size(), 8))).empty()) return 0;
  static ComponentIndex index;
  const int64_t base = locs(l::kComponents);
  if (!index.current(base, n)) index.build(base, n);
  const uint64_t w = ComponentIndex::word_of(id8);
  int64_t k = index.find(w);
  // A caller may have written over the table since: a position that no
  // longer holds the identifier makes the index be built again. (A word
  // changed into this identifier elsewhere is found on the next build.)
  if (k > 0 && component_id(k) != id8) {
    index.build(base, n);
    k = index.find(w);
  }
  return k;
}

}  // namespace flowsum
