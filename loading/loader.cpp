// The summary-file loader. It reads the file once, copies every line to the
// scratch unit as the record of the same number, and indexes the body records
// (PSET, IDSET, LSET, DSET) into four growable regions of the work area: the
// property-number table, the two directories and the data-set tree. Values are
// never kept: queries re-read them from the scratch copy.
#include "loading/loader.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "flowsum.h"
#include "io/messages.hpp"
#include "io/numbered_units.hpp"
#include "loading/globals.hpp"
#include "loading/load_steps.hpp"
#include "loading/scanner.hpp"
#include "loading/work_area.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {
namespace {

LoadSummary g_last;

constexpr int64_t kLineChars = 80;   // significant characters of a line
constexpr int kRegions = 4;
constexpr int kPropRegion = 1, kIdsetRegion = 2, kLsetRegion = 3, kTreeRegion = 4;
constexpr int kMaxPathKeywords = 9;
constexpr double kRmissWarnBelow = 99999997952.0;  // 1.0E11 as a 32-bit real

enum class Record { kNone, kPset, kIdset, kLset, kDset };

// A line shorter than the literal counts as blank-padded.
bool starts_with_padded(std::string_view line, std::string_view lit) {
  for (size_t i = 0; i < lit.size(); ++i) {
    char c = i < line.size() ? line[i] : ' ';
    if (c != lit[i]) return false;
  }
  return true;
}

Record record_kind(std::string_view line) {
  // Cheap first test: every record text starts with a blank and a capital.
  if (line.size() < 2 || line[0] != ' ') return Record::kNone;
  switch (line[1]) {
    case 'P': return starts_with_padded(line, " PSET ") ? Record::kPset : Record::kNone;
    case 'I': return starts_with_padded(line, " IDSET ") ? Record::kIdset : Record::kNone;
    case 'L': return starts_with_padded(line, " LSET ") ? Record::kLset : Record::kNone;
    case 'D': return starts_with_padded(line, " DSET ") ? Record::kDset : Record::kNone;
    default: return Record::kNone;
  }
}

bool is_header(std::string_view line) {
  return starts_with_padded(line, " IWPSUMMARY7.3") ||
         starts_with_padded(line, " IWPSUMMARY8.0") ||
         starts_with_padded(line, " MMSUMMARY");
}

// The last keyword of a "BLOCK" path is renamed "RESULTS" when it names a
// block's main results, so that queries find them under one name; the sizing
// and rating sections of the column models keep their own names.
bool renamed_to_results(std::string_view model, std::string_view last) {
  if (last.starts_with("RES_")) return !model.starts_with("DUCT");
  if (last.find("_RES") == std::string_view::npos) return false;
  if (model.starts_with("TRAYCOL") || model.starts_with("LINKEDCO") ||
      model.starts_with("CRUDEUNI")) {
    for (std::string_view keep : {"TR_", "TS_", "PR_", "PS_", "TREB_"})
      if (last.starts_with(keep)) return false;
  }
  return true;
}

class Loader {
 public:
  Loader(std::string_view unitset, int64_t iscr, int64_t isum, int64_t iprp,
         std::string_view prpfile, int64_t iunt, std::string_view untfile,
         double rmiss, int64_t msgunit)
      : unitset_(unitset), iscr_(iscr), isum_(isum), iprp_(iprp), iunt_(iunt),
        prpfile_(prpfile), untfile_(untfile), rmiss_(rmiss), msgunit_(msgunit) {}

  int64_t run();

 private:
  // Reading lines and tokens.
  bool read_line();
  bool read_until(bool (*stop)(std::string_view));
  void prime();
  bool next_token(scan::Token& t);
  enum class EntryToken { kSameLine, kContinuation, kEnd };
  EntryToken entry_token(scan::Token& t, bool skip_quote);

  // Records.
  void process_pset();
  void process_directory(int region, bool is_idset);
  void process_dset();
  void expect_open(bool percent_name_ends = false);

  // Regions and failures.
  int64_t& region_base(int r) { return memw(3 * r - 2); }
  int64_t& region_used(int r) { return memw(3 * r - 1); }
  int64_t& region_capacity(int r) { return memw(3 * r); }
  bool grow_region(int region, int64_t words);
  bool make_room(int region, int64_t words, const scan::Token& t);
  StepEnd after_body();
  void processing_error(const scan::Token& t);
  void ended_inside_record(int64_t line);
  void check_last_record_closed();
  void closing_steps();

  std::string_view unitset_;
  int64_t iscr_, isum_, iprp_, iunt_;
  std::string_view prpfile_, untfile_;
  double rmiss_;
  int64_t msgunit_;

  int64_t ierr_ = 0;
  int64_t lines_ = 0;
  int64_t work_size_ = 0;
  int64_t unit_set_ = 2;
  std::string_view line_;       // current line, first 80 characters
  bool at_end_ = false;         // end of the summary file reached
  bool stop_ = false;           // the body is abandoned (work area full)
  bool reexamine_ = false;      // the current line may open the next record
  std::string keyword_;         // record keyword, 8 characters, for messages
  int64_t record_at_ = 0;       // line where the current record opens
  int64_t open_record_ = 0;     // line of the last record whose "(" was read
  bool read_failed_ = false;    // the file ended by a read error, not its end
};

bool any_line(std::string_view) { return true; }
bool record_line(std::string_view line) { return record_kind(line) != Record::kNone; }

// Reads summary lines, counting them and copying each to the scratch unit as
// the record of its number, up to and including the first line for which
// stop(line) holds. False at the end of the file; a read error after the
// header ends the file too, with IERR 1.
bool Loader::read_until(bool (*stop)(std::string_view)) {
  if (at_end_) return false;
  int64_t copied = 0;
  std::string_view line;
  int st = io::copy_lines(isum_, iscr_, lines_ + 1, kLineChars, stop, line, copied);
  lines_ += copied;
  if (st != 0) {
    at_end_ = true;
    read_failed_ = st > 0;
    if (st > 0) {
      // A line that could not be read, or not be copied to the scratch unit
      // that queries read values from, makes the load unusable.
      write_message({" ERROR" + fortran_i(st, 4) + " READING THE SUMMARY FILE"});
      ierr_ = 1;
    }
    return false;
  }
  line_ = line;
  return true;
}

bool Loader::read_line() { return read_until(any_line); }

// Positions the scanner at column 1 of the current line.
void Loader::prime() {
  scan::configure(2, 10 * iscr_ + 2, static_cast<double>(lines_) + 1.0 / 256.0, line_);
}

// Next token of a record, reading further lines while the current one is used
// up. False at the end of the file.
bool Loader::next_token(scan::Token& t) {
  scan::next(t);
  while (t.type == scan::kNone) {
    if (!read_line()) {
      ended_inside_record(record_at_);
      return false;
    }
    prime();
    scan::next(t);
  }
  return true;
}

// A token of a PSET entry: when the line is used up, the next line is read and
// its first token is the one tried (once).
Loader::EntryToken Loader::entry_token(scan::Token& t, bool skip_quote) {
  scan::next(t);
  bool skipped = false;
  if (skip_quote && t.type == scan::kQuoted) {
    skipped = true;
    scan::next(t);
  }
  if (t.type != scan::kNone) return EntryToken::kSameLine;
  if (!read_line()) {
    ended_inside_record(record_at_);
    return EntryToken::kEnd;
  }
  prime();
  scan::next(t);
  if (skip_quote && !skipped && t.type == scan::kQuoted) scan::next(t);
  return EntryToken::kContinuation;
}

// The file ended while a record still needed tokens: what was read of it is
// kept (the load's status stays as it is), and a warning names the line
// where the record opens. A read error has its own message.
void Loader::ended_inside_record(int64_t line) {
  if (read_failed_) return;
  write_warning({" WARNING: SUMMARY FILE ENDS INSIDE " + fortran_a(keyword_, 6) + " AT LINE " +
                 fortran_i(line, 10)});
}

// A record whose values are not read at load time ends with ")" on the last
// non-blank line before the next record. For the file's last record that
// line is the file's last non-blank line: when it does not end with ")", the
// file was cut inside the record. (Earlier records are checked when their
// values are read.)
void Loader::check_last_record_closed() {
  if (open_record_ < 1 || read_failed_) return;
  std::string_view rec;
  if (io::last_record_not_blank(iscr_, open_record_, lines_, rec) == 0) return;
  rec = TextField::trim_right(rec.substr(0, std::min<size_t>(rec.size(), kLineChars)));
  if (rec.back() != ')') ended_inside_record(open_record_);
}

void Loader::processing_error(const scan::Token& t) {
  ierr_ = 1;
  write_message({" ERROR PROCESSING " + fortran_a(keyword_, 6) + " AT LINE " +
                     fortran_i(lines_, 6),
                 " TOKEN TYPE =" + fortran_i(t.type, 3) + "  VALUE = " +
                     fortran_a(t.text, 16)});
}

// Grows a region so that it has room for `words` more words. On failure the
// body is abandoned with IERR 4.
bool Loader::grow_region(int region, int64_t words) {
  int64_t used = region_used(region);
  if (words <= region_capacity(region) - used) return true;
  if (words > work_size_) return false;
  region_used(region) = used + words;
  int64_t need = lay_out_regions(work_size_, tkwork_, 2, kRegions, tkmemw_);
  region_used(region) = used;
  if (need > work_size_) return false;
  locs(l::kNextFree) = need;
  return true;
}

bool Loader::make_room(int region, int64_t words, const scan::Token& t) {
  if (!grow_region(region, words)) {
    ierr_ = 4;
    stop_ = true;
    write_message({" INSUFFICIENT WORK AREA WHILE PROCESSING SUMMARY FILE " +
                       fortran_a(keyword_, 6) + " AT LINE " + fortran_i(lines_, 6),
                   " TOKEN TYPE =" + fortran_i(t.type, 3) + "  VALUE = " +
                       fortran_a(t.text, 16) + "  WORK SIZE =" +
                       fortran_i(work_size_, 7)});
    return false;
  }
  return true;
}

// PSET name count ( ["text"] number name )* ["text"] ")"
void Loader::process_pset() {
  scan::Token t;
  if (!next_token(t)) return;  // the set's name, not kept
  if (!next_token(t)) return;
  if (t.type != scan::kInteger) return;  // not a property set we read
  const int64_t n = t.ival;
  if (n > 0 && !make_room(kPropRegion, n > work_size_ ? work_size_ + 1 : 4 * n, t)) return;

  for (int64_t k = 0; k < n; ++k) {
    const int64_t entry = region_base(kPropRegion) + region_used(kPropRegion);
    // Property number.
    EntryToken where = entry_token(t, true);
    if (where == EntryToken::kEnd) return;
    if (t.type != scan::kInteger) {
      processing_error(t);
      reexamine_ = where == EntryToken::kContinuation;
      return;
    }
    work(entry) = t.ival;
    // Property name, 12 characters as written.
    where = entry_token(t, false);
    if (where == EntryToken::kEnd) return;
    if (t.type != scan::kName && t.type != scan::kQuoted) {
      processing_error(t);
      reexamine_ = where == EntryToken::kContinuation;
      return;
    }
    pack_text(t.text, 3 * chars_per_word(), work_ptr(entry + 1));
    region_used(kPropRegion) += 1 + glob(g::kWords12);
  }
  if (!next_token(t)) return;
  if (t.type == scan::kQuoted && !next_token(t)) return;
  if (t.type != scan::kClose) processing_error(t);
}

// IDSET name ( ...   and   LSET name ( ...
void Loader::process_directory(int region, bool is_idset) {
  scan::Token t;
  if (!next_token(t)) return;
  if (!make_room(region, 30, t)) return;
  int64_t line = lines_;
  if (is_idset) {
    for (std::string_view mark : {"PROPERTIES", "(SPDATA)", "(SPSTAT)", "(STREAMID ?)"}) {
      if (line_.find(mark) != std::string_view::npos) {
        line = -line;
        break;
      }
    }
    std::string_view name = TextField::trim_right(t.text.substr(0, std::min<size_t>(8, t.text.size())));
    if (name == "ID_NCC") g_last.ncc_line = lines_;
    if (name == "ID_NNC") g_last.nnc_line = lines_;
  }
  const int64_t entry = region_base(region) + region_used(region);
  work(entry) = line;
  pack_text(t.text, 2 * chars_per_word(), work_ptr(entry + 1));
  region_used(region) += 1 + glob(g::kWords8);
  // A loading sequence may consist of one set name alone ("LSET X %A"),
  // which is a complete definition without parentheses.
  expect_open(/*percent_name_ends=*/!is_idset);
}

// DSET keyword ... keyword @qualifier ( values
void Loader::process_dset() {
  std::array<std::string, kMaxPathKeywords> keywords;
  std::array<std::string_view, kMaxPathKeywords> path;
  int n = 0;
  scan::Token t;
  for (;;) {
    if (!next_token(t)) return;
    if (t.type == scan::kAtName) break;
    if (t.type == scan::kOpen || n == kMaxPathKeywords) {
      processing_error(t);
      return;
    }
    keywords[n].assign(t.text);
    ++n;
  }
  DataRecord record;
  record.idata = lines_;
  std::string_view qual = t.text.substr(0, std::min<size_t>(8, t.text.size()));
  std::copy(qual.begin(), qual.end(), record.value);
  for (int i = 0; i < n; ++i) path[i] = keywords[i];
  if (n >= 2 && path[0] == "BLOCK" && renamed_to_results(path[1], path[n - 1]))
    path[n - 1] = "RESULTS";

  // A data set without a path could never be asked for: it is not entered.
  if (n > 0) {
    std::span<const std::string_view> keys(path.data(), static_cast<size_t>(n));
    if (!make_room(kTreeRegion, tree_room_needed(keys), t)) return;
    TreeView tree{work_ptr(region_base(kTreeRegion)), region_used(kTreeRegion),
                  region_capacity(kTreeRegion)};
    int64_t ipos = 0;
    dataset_tree(4, keys, record, tree, ipos, &loaded_tree_index());
  }
  expect_open();
}

void Loader::expect_open(bool percent_name_ends) {
  scan::Token t;
  if (!next_token(t)) return;
  if (t.type == scan::kOpen) {
    open_record_ = record_at_;
    return;
  }
  if (percent_name_ends && t.type == scan::kPercentName) return;
  processing_error(t);
}

// Load steps that run after the body, also after most failures.
void Loader::closing_steps() {
  scan::configure(1, 10 * iscr_ + 2, 0.0, {});
  int64_t next = locs(l::kNextFree);
  // One target unit per unit type, each set to the chosen unit set.
  int64_t ntypes = glob(g::kNunitTypes);
  locs(l::kTargetUnits) = next;
  if (ntypes > 0 && in_work(next, ntypes)) {
    for (int64_t k = 0; k < ntypes; ++k) work(next + k) = unit_set_;
    next += ntypes;
  }
  locs(l::kNextFree) = next;
  locs(l::kFreePointer) = next;
  adjust_for_version();
  // The ambient pressure for gauge pressures.
  rglb(2) = ambient_pressure();
}

// Steps 11 to 14: reference files, sorted directories, component and item
// tables. Returns how the load goes on.
StepEnd Loader::after_body() {
  LoadContext ctx;
  ctx.work_size = work_size_;
  ctx.unit_set = unit_set_;
  ctx.scratch_unit = iscr_;
  ctx.ncc_line = g_last.ncc_line;
  ctx.nnc_line = g_last.nnc_line;
  ctx.grow_region = [this](int region, int64_t words) { return grow_region(region, words); };
  auto finish = [&](StepEnd end) {
    ierr_ = ctx.ierr;
    return end;
  };

  StepEnd end = read_property_file(ctx, iprp_, prpfile_);
  if (end != StepEnd::kGoOn) return finish(end);

  // Sort the directories by name and pack the regions from word 1.
  int64_t scratch[4];
  int64_t n = region_used(kPropRegion) / 4;
  sort_table(4, n, work_ptr(region_base(kPropRegion)), 2, 3, scratch);
  n = region_used(kIdsetRegion) / 3;
  sort_table(3, n, work_ptr(region_base(kIdsetRegion)), 2, 2, scratch);
  n = region_used(kLsetRegion) / 3;
  sort_table(3, n, work_ptr(region_base(kLsetRegion)), 2, 2, scratch);
  locs(l::kNextFree) = lay_out_regions(work_size_, tkwork_, 1, kRegions, tkmemw_);
  locs(l::kPropTable) = region_base(kPropRegion);
  locs(l::kPropCount) = region_used(kPropRegion) / 4;
  locs(l::kIdsetDir) = region_base(kIdsetRegion);
  locs(l::kIdsetCount) = region_used(kIdsetRegion) / 3;
  locs(l::kLsetDir) = region_base(kLsetRegion);
  locs(l::kLsetCount) = region_used(kLsetRegion) / 3;
  locs(l::kTree) = region_base(kTreeRegion);
  locs(l::kTreeUsed) = region_used(kTreeRegion);
  // Tables the later steps build start empty at the next free word.
  for (int k : {l::kUnitTypes, l::kUnitEntries, l::kComponents, l::kBlockTable,
                l::kStreamTable, l::kPropTabTable, l::kEquipTable, l::kReliefTable})
    locs(k) = locs(l::kNextFree);
  if (iprp_ != isum_ && iprp_ != iscr_) io::close_unit(iprp_);

  end = read_unit_table(ctx, iunt_, untfile_);
  if (end != StepEnd::kGoOn) return finish(end);
  end = build_component_table(ctx);
  if (end != StepEnd::kGoOn) return finish(end);
  build_item_tables(ctx);
  return finish(StepEnd::kGoOn);
}

int64_t Loader::run() {
  const uint64_t serial = g_last.serial + 1;
  g_last = LoadSummary{};
  g_last.serial = serial;
  g_last.summary_unit = isum_;

  glob(g::kMsgUnit) = msgunit_;
  reset_warnings();
  // Nothing of an earlier load may be answered from the data-set cache.
  for (auto& w : tkretn_.iret) w = 0;
  for (auto& text : tkretn_.text) std::fill(std::begin(text), std::end(text), ' ');

  glob(g::kScratchUnit) = iscr_;
  glob(g::kInfo) = 0;
  glob(g::kLsetPrint) = 0;
  if (std::fabs(rmiss_) < kRmissWarnBelow)
    write_message({" WARNING: RMISS VALUE " + fortran_e(rmiss_, 13, 6) +
                   " IS WITHIN RANGE ENGINEERING VALUES"});
  rglb(1) = rmiss_;

  // The scratch copy must not replace the caller's summary unit.
  if (iscr_ == isum_) {
    write_message({" ERROR" + fortran_i(-1, 4) + " OPENING SCRATCH FILE"});
    return g_last.ierr = 1;
  }
  if (io::is_open(iscr_)) {
    io::close_unit(iscr_);
    io::rewind_unit(isum_);
  }
  int st = io::open_unit(iscr_, "SCRATCH DATA A", "DIRECT", "FORMATTED",
                         kLineChars, "SCRATCH", "WRITE");
  if (st != 0) {
    write_message({" ERROR" + fortran_i(st, 4) + " OPENING SCRATCH FILE"});
    return g_last.ierr = 1;
  }

  ierr_ = 0;
  lines_ = 0;
  std::string_view u = TextField::trim_right(unitset_.substr(0, std::min<size_t>(4, unitset_.size())));
  unit_set_ = u == "SI" ? 1 : u == "MET" ? 3 : u == "OUT" ? 0 : 2;
  g_last.unit_set = unit_set_;
  set_machine_constants();
  work_size_ = glob(g::kWordsPerReal) * kWorkWords;
  if (work_size_ > kWorkWords || work_size_ < 1) work_size_ = kWorkWords;

  // Header search.
  {
    int64_t copied = 0;
    std::string_view line;
    st = io::copy_lines(isum_, iscr_, 1, kLineChars, is_header, line, copied);
    lines_ = copied;
    g_last.lines = lines_;
    if (st > 0) {
      if (io::is_open(isum_))
        write_message({" ERROR" + fortran_i(st, 4) + " READING THE SUMMARY FILE"});
      else
        write_message({" ERROR" + fortran_i(st, 4) + " READING THE SUMMARY FILE",
                       " SUMMARY FILE NOT OPEN ON UNIT" + fortran_i(isum_, 4)});
      return g_last.ierr = 1;
    }
    if (st != 0) {
      write_message({" NO RESULTS FOUND IN SUMMARY/BACKUP FILE"});
      return g_last.ierr = 1;
    }
    g_last.header = std::string(TextField::trim_right(line));
    g_last.header_line = lines_;
  }

  // The tables fill the work area page by page; back it by huge pages, since
  // a fresh small page costs more to touch than to fill.
  static const bool advised = ::madvise(tkwork_, sizeof tkwork_, MADV_HUGEPAGE) == 0;
  (void)advised;

  // The four regions, spread over the whole work area, then emptied.
  region_base(1) = 1;
  const int64_t demands[kRegions] = {4, 4, 4, 40};
  for (int r = 1; r <= kRegions; ++r) {
    if (r > 1) region_base(r) = region_base(r - 1) + 4;
    region_used(r) = demands[r - 1];
    region_capacity(r) = 4;
  }
  locs(l::kNextFree) = lay_out_regions(work_size_, tkwork_, 2, kRegions, tkmemw_);
  for (int r = 1; r <= kRegions; ++r) region_used(r) = 0;
  // The tables of the previous file are gone from the work area.
  for (int k : {g::kNcc, g::kNnc, g::kNcomp, g::kNblk, g::kNstr, g::kNppt,
                g::kNunitTypes, g::kNeqp, g::kNrelief})
    glob(k) = 0;

  // The tree starts with a dummy top-level node so that no real node is at
  // its first position.
  {
    const int64_t base = region_base(kTreeRegion);
    work(base) = 2;
    work(base + 1) = 0;
    work(base + 2) = 0;
    pack_text("**DUMM**", 8, work_ptr(base + 3));
    region_used(kTreeRegion) = 5;
  }

  // Body.
  loaded_tree_index().reset();
  while (!stop_) {
    // Lines that open no record are only copied.
    if (!reexamine_ && !read_until(record_line)) break;
    reexamine_ = false;
    Record kind = record_kind(line_);
    if (kind == Record::kNone) continue;
    prime();
    scan::Token t;
    scan::next(t);
    keyword_ = padded(t.text, 8);
    record_at_ = lines_;
    open_record_ = 0;
    switch (kind) {
      case Record::kPset: ++g_last.psets; process_pset(); break;
      case Record::kIdset: ++g_last.idsets; process_directory(kIdsetRegion, true); break;
      case Record::kLset: ++g_last.lsets; process_directory(kLsetRegion, false); break;
      case Record::kDset: ++g_last.dsets; process_dset(); break;
      case Record::kNone: break;
    }
  }
  g_last.lines = lines_;
  if (!stop_) check_last_record_closed();

  if (ierr_ == 0 && after_body() == StepEnd::kReturnNow) {
    loaded_tree_index().reset();
    return g_last.ierr = ierr_;
  }
  closing_steps();
  if (ierr_ != 0) loaded_tree_index().reset();
  return g_last.ierr = ierr_;
}

}  // namespace

const LoadSummary& last_load() { return g_last; }

bool opens_record(std::string_view line) { return record_line(line); }

int64_t load_summary_file(std::string_view unitset, int64_t iscr, int64_t isum,
                          int64_t iprp, std::string_view prpfile,
                          int64_t iunt, std::string_view untfile,
                          double rmiss, int64_t msgunit) {
  Loader loader(unitset, iscr, isum, iprp, prpfile, iunt, untfile, rmiss, msgunit);
  return loader.run();
}

}  // namespace flowsum

extern "C" {

void tkinit_(const char* unitset, int64_t* iscr, int64_t* isum, int64_t* iprp,
             const char* prpfile, int64_t* iunt, const char* untfile, double* rmiss,
             int64_t* ierr, size_t unitset_len, size_t prpfile_len,
             size_t untfile_len) {
  using flowsum::TextField;
  *ierr = flowsum::load_summary_file(
      TextField(unitset, unitset_len).view(), *iscr, *isum, *iprp,
      TextField(prpfile, prpfile_len).trimmed(), *iunt,
      TextField(untfile, untfile_len).trimmed(), *rmiss, 6);
}

void tknwrn_(int64_t* nwarn) { *nwarn = flowsum::warning_count(); }

void tkini2_(const char* unitset, int64_t* iscr, int64_t* isum, int64_t* iprp,
             const char* prpfile, int64_t* iunt, const char* untfile, double* rmiss,
             int64_t* ierr, int64_t* msgunit, size_t unitset_len,
             size_t prpfile_len, size_t untfile_len) {
  using flowsum::TextField;
  *ierr = flowsum::load_summary_file(
      TextField(unitset, unitset_len).view(), *iscr, *isum, *iprp,
      TextField(prpfile, prpfile_len).trimmed(), *iunt,
      TextField(untfile, untfile_len).trimmed(), *rmiss, *msgunit);
}

}  // extern "C"

namespace flowsum {

std::vector<std::string> top_level_keywords() {
  std::vector<std::string> names;
  if (last_load().ierr != 0) return names;
  const TreeNodes tree = TreeNodes::loaded();
  // The top-level chain from the first node (the loader's dummy, left out).
  int64_t steps = 0;
  for (int64_t p = tree.is_node(2) ? tree.next_sibling(2) : 0; p > 0 && steps < tree.max_nodes();
       p = tree.next_sibling(p), ++steps) {
    std::string name = tree.keyword(p);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace flowsum
