// List evaluation: reading identifier sets, counting an operation list, and
// building the qualifier block of a loading sequence from blocks of values
// in the free words of the work area.
#include "store/list_evaluation.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "flowsum.h"
#include "io/messages.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"

namespace flowsum {

namespace {

// No set or block can have more members or columns than the work area has
// words; counts are held below that, which also keeps every product of two
// of them inside 64 bits.
constexpr int64_t kMaxCount = kWorkWords;

// Sums and products of counts that stop at the largest 64-bit integer (or
// the smallest) instead of overflowing.
int64_t saturated_add(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_add_overflow(a, b, &r)) return b > 0 ? INT64_MAX : INT64_MIN;
  return r;
}
int64_t saturated_mul(int64_t a, int64_t b) {
  int64_t r;
  if (__builtin_mul_overflow(a, b, &r)) return (a < 0) != (b < 0) ? INT64_MIN : INT64_MAX;
  return r;
}

bool is_integer_qualifier(std::string_view name) {
  return padded_equal(name, "PROPERTIES") || padded_equal(name, "NPOINT");
}

bool blank_pair(const int64_t* p) { return p[0] == kBlankWord && p[1] == kBlankWord; }

// Words of a block of nval values over ncol columns, or -1 when the counts
// are negative or the block could not fit in the work area.
int64_t block_words(int64_t ncol, int64_t nval) {
  if (ncol < 0 || nval < 0 || ncol > kMaxCount || nval > kMaxCount) return -1;
  if (nval == 0) return 0;
  const int64_t per_value = 2 * ncol + 2;
  if (per_value > kWorkWords / nval) return -1;
  return per_value * nval;
}

bool overlap(int64_t a, int64_t na, int64_t b, int64_t nb) {
  return na > 0 && nb > 0 && a < b + nb && b < a + na;
}

// What reading an identifier-set definition reports, item by item.
struct IdsetEvents {
  virtual ~IdsetEvents() = default;
  virtual void qualifier(int64_t /*i*/, std::string_view /*text*/) {}
  virtual void first_member_token(const scan::Token& /*tok*/) {}
  // A value token: item `item` (0-based) of the member that covers members
  // first .. first+repeat-1 (0-based); generated: the "#n" item itself.
  virtual void item(int64_t /*first*/, int64_t /*repeat*/, int64_t /*item*/,
                    const scan::Token& /*tok*/, bool /*generated*/) {}
  // An annotation "*n" (type 4) or "<n>" (type 8) of that member.
  virtual void annotation(int64_t /*first*/, int64_t /*repeat*/, int64_t /*type*/, int64_t /*value*/) {}
};

struct IdsetRead {
  bool found = false;
  SetDimensions dims;
};

// Read the definition of set `name` where the IDSET directory says it is.
IdsetRead read_idset(std::string_view name, IdsetEvents& ev) {
  IdsetRead r;
  const std::string name8 = padded(name, 8);
  const int64_t line = std::llabs(idset_directory_line(name8));
  if (line == 0) return r;
  position_scanner_at_line(line);
  scan::Token tok;
  scan::next(tok);
  if (!padded_equal(tok.text.substr(0, std::min<size_t>(16, tok.text.size())), "IDSET")) return r;
  scan::next(tok);
  if (padded(tok.text, 8) != name8) return r;
  scan::next(tok);
  if (tok.type != scan::kOpen) return r;
  r.found = true;

  // Qualifier names up to ")", commas skipped.
  int64_t nq = 0;
  for (;;) {
    scan::next(tok);
    if (tok.type == scan::kNone) {
      r.dims.nq = nq;
      return r;
    }
    if (tok.type == scan::kClose) break;
    if (tok.type == scan::kComma) continue;
    ev.qualifier(nq, tok.text);
    if (nq < kMaxCount) ++nq;
  }
  r.dims.nq = nq;

  scan::next(tok);
  if (tok.type != scan::kOpen) return r;

  // Members: nq items each (one when the set names no qualifier).
  const int64_t items_per_member = std::max<int64_t>(nq, 1);
  int64_t nmem = 0, first = 0, repeat = 0;
  int64_t item = items_per_member;  // the next value token starts a member
  int64_t annotations = 0;
  bool have_item = false;
  bool first_token = true;
  for (;;) {
    scan::next(tok);
    if (first_token) {
      ev.first_member_token(tok);
      first_token = false;
    }
    if (tok.type == scan::kNone || tok.type == scan::kClose) break;
    if (tok.type == scan::kQuestion) {
      nmem = -1;
      break;
    }
    if (tok.type == scan::kComma) continue;
    if ((tok.type == scan::kMissing || tok.type == scan::kBracketInt) && have_item && annotations < 2) {
      ev.annotation(first, repeat, tok.type, tok.ival);
      ++annotations;
      continue;
    }
    const bool generated = item == items_per_member && tok.type == scan::kNumberSign;
    if (item == items_per_member) {
      first = nmem;
      repeat = 1;
      if (generated) {
        const UnsignedRead n = read_unsigned(tok.text);
        repeat = n.ierr == 0 ? std::min(n.value, kMaxCount) : 0;
      }
      nmem = std::min(nmem + repeat, kMaxCount);
      repeat = nmem - first;
      item = 0;
    }
    ev.item(first, repeat, item, tok, generated);
    ++item;
    annotations = 0;
    have_item = true;
  }
  r.dims.nmem = nmem;
  return r;
}

// The storing reader behind TKISET.
struct IdsetLoader : IdsetEvents {
  int64_t nq, nmem;
  int64_t *qnames, *qvals, *types, *units;
  std::vector<bool> integer_column, npoint_column;

  void qualifier(int64_t i, std::string_view text) override {
    if (i < nq) {
      const std::string_view name16 = text.substr(0, std::min<size_t>(16, text.size()));
      pack_text(text, 16, qnames + 4 * i);
      integer_column[static_cast<size_t>(i)] = is_integer_qualifier(name16);
      npoint_column[static_cast<size_t>(i)] = padded_equal(name16, "NPOINT");
    }
  }
  void item(int64_t first, int64_t repeat, int64_t i, const scan::Token& tok, bool generated) override {
    if (i >= nq) return;
    const bool as_integer = integer_column[static_cast<size_t>(i)];
    // Numbered members are integers only for "NPOINT"; elsewhere the number
    // is written right-aligned in 8 characters.
    const bool numbered_as_integer = npoint_column[static_cast<size_t>(i)];
    for (int64_t g = 0; g < repeat && first + g < nmem; ++g) {
      int64_t* pair = qvals + 2 * nq * (first + g) + 2 * i;
      if (generated) {
        if (numbered_as_integer) {
          pair[0] = g + 1;
          pair[1] = 0;
        } else {
          pack_text(fortran_i(g + 1, 8), 8, pair);
        }
      } else if (as_integer) {
        pair[0] = tok.ival;
        pair[1] = 0;
      } else {
        pack_text(tok.text, 8, pair);
      }
    }
  }
  void annotation(int64_t first, int64_t repeat, int64_t type, int64_t value) override {
    int64_t* to = type == scan::kMissing ? types : units;
    for (int64_t g = 0; g < repeat && first + g < nmem; ++g) to[first + g] = value;
  }
};

struct TemplateReader : IdsetEvents {
  int64_t* tmpl;
  void qualifier(int64_t i, std::string_view text) override {
    if (i == 0) pack_text(text, 16, tmpl);
  }
  void first_member_token(const scan::Token& tok) override { pack_text(tok.text, 8, tmpl + 4); }
};

// Free words handed out upwards from a base; the first request that does not
// fit fails this and every later request.
class Scratch {
 public:
  explicit Scratch(int64_t base) : next_(base), ok_(base >= 1 && base <= kWorkWords + 1) {}
  int64_t take(int64_t n) {
    if (!ok_ || n < 0 || n > kWorkWords + 1 - next_) {
      ok_ = false;
      return 0;
    }
    const int64_t at = next_;
    next_ += n;
    return at;
  }
  bool ok() const { return ok_; }

 private:
  int64_t next_;
  bool ok_;
};

// A block of values somewhere in the work area.
struct Cell {
  int64_t loc = 0;
  int64_t count = 0;
};

// The cells from `from` on, appended into one block (copied only when there
// is more than one).
bool concatenate(std::vector<Cell>& cells, size_t from, int64_t ncol, Scratch& scratch, Cell& out) {
  if (cells.size() - from == 1) {
    out = cells[from];
    cells.resize(from);
    return true;
  }
  int64_t total = 0;
  for (size_t c = from; c < cells.size(); ++c) {
    total += cells[c].count;
    if (total > kMaxCount) return false;
  }
  const int64_t words = block_words(ncol, total);
  if (words < 0) return false;
  const int64_t at = scratch.take(words);
  if (!scratch.ok()) return false;
  int64_t pairs = at, types = at + 2 * ncol * total, units = types + total;
  for (size_t c = from; c < cells.size(); ++c) {
    const Cell& cell = cells[c];
    const int64_t n = cell.count;
    if (n == 0) continue;
    std::copy_n(work_ptr(cell.loc), 2 * ncol * n, work_ptr(pairs));
    std::copy_n(work_ptr(cell.loc + 2 * ncol * n), n, work_ptr(types));
    std::copy_n(work_ptr(cell.loc + 2 * ncol * n + n), n, work_ptr(units));
    pairs += 2 * ncol * n;
    types += n;
    units += n;
  }
  cells.resize(from);
  out = {at, total};
  return true;
}

bool cross_cells(Cell x, Cell y, int64_t ncol, Scratch& scratch, Cell& out) {
  if (x.count > 0 && y.count > kMaxCount / x.count) return false;
  const int64_t n = x.count * y.count;
  const int64_t words = block_words(ncol, n);
  if (words < 0) return false;
  const int64_t at = scratch.take(words);
  if (!scratch.ok()) return false;
  if (n > 0 && !cross_blocks(x.loc, x.count, y.loc, y.count, ncol, at)) return false;
  out = {at, n};
  return true;
}

int64_t list_base() {
  int64_t base = locs(l::kFreePointer);
  const int64_t after_remembered = tkretn_.iret[9];
  if (tkretn_.iret[0] > 0 && after_remembered > base && after_remembered <= kWorkWords + 1)
    base = after_remembered;
  return base;
}

}  // namespace

SetDimensions idset_dimensions(std::string_view name) {
  IdsetEvents counting_only;
  const IdsetRead r = read_idset(name, counting_only);
  return r.found ? r.dims : SetDimensions{};
}

void load_idset(std::string_view name, int64_t nq, int64_t nmem, int64_t* qnames, int64_t* qvals,
                int64_t* types, int64_t* units) {
  IdsetLoader ld;
  ld.nq = std::clamp<int64_t>(nq, 0, kMaxCount);
  ld.nmem = std::clamp<int64_t>(nmem, 0, kMaxCount);
  if (ld.nq == 0 || !qnames) ld.nq = 0;
  if (!qvals && ld.nq > 0) ld.nmem = 0;
  if (!types || !units) ld.nmem = 0;
  ld.qnames = qnames;
  ld.qvals = qvals;
  ld.types = types;
  ld.units = units;
  ld.integer_column.assign(static_cast<size_t>(ld.nq), false);
  ld.npoint_column.assign(static_cast<size_t>(ld.nq), false);
  if (ld.nq > 0) blank_words(qnames, 4 * ld.nq);
  if (ld.nq > 0 && ld.nmem > 0) blank_words(qvals, 2 * ld.nq * ld.nmem);
  if (ld.nmem > 0) {
    std::fill_n(types, ld.nmem, 0);
    std::fill_n(units, ld.nmem, 0);
  }
  read_idset(name, ld);
}

const IdsetHead& idset_head(std::string_view name) {
  static uint64_t serial = 0;
  static int64_t cpw = 0;
  static std::unordered_map<std::string, IdsetHead> known;
  if (serial != last_load().serial || cpw != packed_chars_per_word()) {
    known.clear();
    serial = last_load().serial;
    cpw = packed_chars_per_word();
  }
  const std::string name8 = padded(name.substr(0, std::min<size_t>(name.size(), 8)), 8);
  const auto [it, fresh] = known.try_emplace(name8);
  if (fresh) {
    IdsetHead& h = it->second;
    h.dims = idset_dimensions(name8);
    int64_t type[1], unit[1];
    load_idset(name8, 1, 1, h.qname, h.qval, type, unit);
  }
  return it->second;
}

void idset_template(std::string_view name, int64_t* tmpl) {
  blank_words(tmpl, 6);
  tmpl[6] = 0;
  tmpl[7] = 0;
  TemplateReader rd;
  rd.tmpl = tmpl;
  read_idset(name, rd);
}

ValueCount count_values(int64_t nops, const int64_t* ops, int64_t nids, const int64_t* dims,
                        int64_t free) {
  // Level L keeps its count in work word free + 2L and its width after it.
  if (nops < 1 || !in_work(free, 2)) return {};
  int64_t level = 0;
  work(free) = 0;
  work(free + 1) = 0;
  auto nq = [&](int64_t k) { return k >= 1 && k <= nids ? dims[2 * k - 2] : 0; };
  auto nmem = [&](int64_t k) { return k >= 1 && k <= nids ? dims[2 * k - 1] : 0; };
  for (int64_t n = 0; n < nops; ++n) {
    const int64_t k = ops[n] / 10, code = ops[n] % 10;
    int64_t& count = work(free + 2 * level);
    int64_t& width = work(free + 2 * level + 1);
    switch (code) {
      case op_code::kLoad:
        count = saturated_add(count, nmem(k));
        width = std::max(width, nq(k));
        break;
      case 2:
      case op_code::kLoopBegin:
      case op_code::kGroupHead:
        if (!in_work(free + 2 * (level + 1), 2)) return {};
        ++level;
        work(free + 2 * level) = 0;
        work(free + 2 * level + 1) = 0;
        break;
      case 3:
      case op_code::kLoopEnd:
      case op_code::kGroupEnd: {
        if (level == 0) break;
        const int64_t inner_count = count, inner_width = width;
        --level;
        int64_t& outer_count = work(free + 2 * level);
        int64_t& outer_width = work(free + 2 * level + 1);
        outer_width = std::max(outer_width, saturated_add(nq(k), inner_width));
        outer_count = saturated_add(outer_count, saturated_mul(nmem(k), inner_count));
        break;
      }
      default:
        break;
    }
  }
  return {work(free), work(free + 1)};
}

bool widen_block(int64_t locb, int64_t locn, int64_t nnew, int64_t nold, int64_t nval,
                 const int64_t* cols) {
  const int64_t old_words = block_words(nold, nval), new_words = block_words(nnew, nval);
  if (old_words < 0 || new_words < 0) return false;
  if (nold > 0 && nval > 0 && !cols) return false;
  if (!in_work(locb, old_words) || !in_work(locn, new_words) ||
      overlap(locb, old_words, locn, new_words))
    return false;
  if (nval == 0) return true;
  const int64_t* src = work_ptr(locb);
  int64_t* dst = work_ptr(locn);
  blank_words(dst, 2 * nnew * nval);
  for (int64_t j = 0; j < nval; ++j) {
    for (int64_t i = 0; i < nold; ++i) {
      const int64_t c = cols[i];
      const int64_t* pair = src + 2 * nold * j + 2 * i;
      if (c < 1 || c > nnew || blank_pair(pair)) continue;
      dst[2 * nnew * j + 2 * (c - 1)] = pair[0];
      dst[2 * nnew * j + 2 * (c - 1) + 1] = pair[1];
    }
  }
  std::copy_n(src + 2 * nold * nval, 2 * nval, dst + 2 * nnew * nval);
  return true;
}

bool cross_blocks(int64_t locx, int64_t nx, int64_t locy, int64_t ny, int64_t ncol, int64_t locn) {
  if (nx < 0 || ny < 0 || (nx > 0 && ny > kMaxCount / nx)) return false;
  const int64_t n = nx * ny;
  const int64_t x_words = block_words(ncol, nx), y_words = block_words(ncol, ny),
                n_words = block_words(ncol, n);
  if (x_words < 0 || y_words < 0 || n_words < 0) return false;
  if (!in_work(locx, x_words) || !in_work(locy, y_words) || !in_work(locn, n_words) ||
      overlap(locn, n_words, locx, x_words) || overlap(locn, n_words, locy, y_words))
    return false;
  if (n == 0) return true;
  const int64_t* xp = work_ptr(locx);
  const int64_t* yp = work_ptr(locy);
  int64_t* out = work_ptr(locn);
  const int64_t* xt = xp + 2 * ncol * nx;
  const int64_t* xu = xt + nx;
  const int64_t* yt = yp + 2 * ncol * ny;
  const int64_t* yu = yt + ny;
  int64_t* ot = out + 2 * ncol * n;
  int64_t* ou = ot + n;
  for (int64_t x = 0; x < nx; ++x) {
    for (int64_t y = 0; y < ny; ++y) {
      const int64_t v = x * ny + y;
      int64_t* pair = out + 2 * ncol * v;
      std::copy_n(yp + 2 * ncol * y, 2 * ncol, pair);
      for (int64_t i = 0; i < ncol; ++i) {
        const int64_t* xpair = xp + 2 * ncol * x + 2 * i;
        if (blank_pair(xpair)) continue;
        pair[2 * i] = xpair[0];
        pair[2 * i + 1] = xpair[1];
      }
      ot[v] = xt[x] != 0 ? xt[x] : yt[y];
      ou[v] = xu[x] != 0 ? xu[x] : yu[y];
    }
  }
  return true;
}

ListAnswer evaluate_list(std::string_view lsetid) {
  const int64_t base = list_base();
  ListAnswer none{0, 0, base};
  Scratch scratch(base);
  const int64_t idlist = scratch.take(kSequenceNameWords);
  const int64_t ops_at = scratch.take(kSequenceOps);
  if (!scratch.ok()) return none;
  int64_t nids = 0, nops = 0;
  if (compile_loading_sequence(lsetid, work_ptr(idlist), kSequenceNameWords, work_ptr(ops_at),
                               kSequenceOps, nids, nops) != lset_error::kNone)
    return none;
  if (nids < 1 || nops < 1) return none;
  auto set_name = [&](int64_t k) {
    std::string s(8, ' ');
    unpack_text(work_ptr(idlist + 2 * (k - 1)), 2, TextField(s.data(), s.size()));
    return s;
  };

  // Dimensions of every set, nq and nmem in words 2k-1 and 2k.
  const int64_t dims = scratch.take(2 * nids);
  if (!scratch.ok()) return none;
  for (int64_t k = 1; k <= nids; ++k) {
    const SetDimensions d = idset_dimensions(set_name(k));
    work(dims + 2 * k - 2) = d.nq;
    work(dims + 2 * k - 1) = d.nmem;
  }

  // One open-ended set alone: its template; the data set gives the count.
  if (nids == 1 && work(dims + 1) == -1) {
    idset_template(set_name(1), work_ptr(base));
    locs(l::kFreePointer) = base + 8;
    return {-1, work(dims), base};
  }

  const int64_t counters = scratch.take(2 * (nops + 1));
  if (!scratch.ok()) return none;
  const ValueCount counted = count_values(nops, work_ptr(ops_at), nids, work_ptr(dims), counters);

  // Every set loaded in its own columns, then its qualifier names merged
  // into the distinct names, in order of first appearance.
  int64_t total_nq = 0;
  for (int64_t k = 1; k <= nids; ++k) total_nq += work(dims + 2 * k - 2);
  const int64_t distinct = scratch.take(4 * total_nq);
  const int64_t colmap = scratch.take(total_nq);
  const int64_t set_info = scratch.take(3 * nids);  // raw block, members, widened block
  if (!scratch.ok()) return none;
  int64_t ndistinct = 0;
  for (int64_t k = 1, mapped = 0; k <= nids; ++k) {
    const int64_t nq = work(dims + 2 * k - 2);
    const int64_t nmem = std::max<int64_t>(work(dims + 2 * k - 1), 0);
    const int64_t names = scratch.take(4 * nq);
    const int64_t words = block_words(nq, nmem);
    const int64_t raw = words < 0 ? 0 : scratch.take(words);
    if (words < 0 || !scratch.ok()) return none;
    load_idset(set_name(k), nq, nmem, work_ptr(names), work_ptr(raw), work_ptr(raw + 2 * nq * nmem),
               work_ptr(raw + 2 * nq * nmem + nmem));
    for (int64_t i = 0; i < nq; ++i, ++mapped) {
      const int64_t at = linear_search(work_ptr(names + 4 * i), work_ptr(distinct), 4, ndistinct, 1, 4);
      if (at > 0) {
        work(colmap + mapped) = at;
      } else {
        std::copy_n(work_ptr(names + 4 * i), 4, work_ptr(distinct + 4 * ndistinct));
        work(colmap + mapped) = ++ndistinct;
      }
    }
    work(set_info + 3 * (k - 1)) = raw;
    work(set_info + 3 * (k - 1) + 1) = nmem;
  }
  const int64_t nqual = std::max(ndistinct, counted.width);

  // Every set widened to the common columns.
  for (int64_t k = 1, mapped = 0; k <= nids; ++k) {
    const int64_t nq = work(dims + 2 * k - 2);
    const int64_t nmem = work(set_info + 3 * (k - 1) + 1);
    const int64_t words = block_words(nqual, nmem);
    const int64_t wide = words < 0 ? 0 : scratch.take(words);
    if (words < 0 || !scratch.ok()) return none;
    if (!widen_block(work(set_info + 3 * (k - 1)), wide, nqual, nq, nmem, work_ptr(colmap + mapped)))
      return none;
    work(set_info + 3 * (k - 1) + 2) = wide;
    mapped += nq;
  }
  auto set_cell = [&](int64_t k) {
    return Cell{work(set_info + 3 * (k - 1) + 2), work(set_info + 3 * (k - 1) + 1)};
  };

  // The operations, innermost level first: loads append, the end of a loop
  // or group crosses what it encloses with its set.
  struct Level {
    int64_t code, k;
    size_t first_cell;
  };
  std::vector<Cell> cells;
  std::vector<Level> levels;
  auto close_level = [&]() -> bool {
    const Level lv = levels.back();
    levels.pop_back();
    Cell inner{0, 0};
    if (lv.first_cell < cells.size() && !concatenate(cells, lv.first_cell, nqual, scratch, inner))
      return false;
    Cell crossed;
    const Cell head = set_cell(lv.k);
    const bool ok = lv.code == op_code::kGroupHead ? cross_cells(inner, head, nqual, scratch, crossed)
                                                   : cross_cells(head, inner, nqual, scratch, crossed);
    if (!ok) return false;
    cells.push_back(crossed);
    return true;
  };
  for (int64_t n = 0; n < nops; ++n) {
    const int64_t op = work(ops_at + n);
    const int64_t k = op / 10, code = op % 10;
    if (k < 1 || k > nids) continue;
    switch (code) {
      case op_code::kLoad:
        cells.push_back(set_cell(k));
        break;
      case 2:
      case op_code::kLoopBegin:
      case op_code::kGroupHead:
        levels.push_back({code, k, cells.size()});
        break;
      case 3:
      case op_code::kLoopEnd:
      case op_code::kGroupEnd:
        if (!levels.empty() && !close_level()) return none;
        break;
      default:
        break;
    }
  }
  while (!levels.empty())
    if (!close_level()) return none;
  Cell result{0, 0};
  if (!cells.empty() && !concatenate(cells, 0, nqual, scratch, result)) return none;

  // The qualifier block: names, then the result block; assembled above
  // everything and moved down to the base.
  const int64_t body = block_words(nqual, result.count);
  if (body < 0 || 4 * nqual > kWorkWords - body) return none;
  const int64_t size = 4 * nqual + body;
  const int64_t assembled = scratch.take(size);
  if (!scratch.ok()) return none;
  blank_words(work_ptr(assembled), 4 * nqual);
  std::copy_n(work_ptr(distinct), 4 * ndistinct, work_ptr(assembled));
  if (body > 0) std::copy_n(work_ptr(result.loc), body, work_ptr(assembled + 4 * nqual));
  std::copy_n(work_ptr(assembled), size, work_ptr(base));
  locs(l::kFreePointer) = base + size;
  return {result.count, nqual, base};
}

namespace {

struct RememberedList {
  uint64_t serial = 0;
  int64_t chars_per_word = 0;
  uint64_t name = 0;           // the 8 characters, blank-padded, as one word
  int64_t ndata = 0, nqual = 0;
  std::shared_ptr<const std::vector<int64_t>> words;  // the block as it was written at the base
  uint64_t used = 0;
};

}  // namespace

ListAnswer evaluate_list_remembered(std::string_view lsetid) {
  // The store is bounded by the words it holds rather than by a count of
  // lists: a pass over one refinery column cycles through about 20 loading
  // sequences, most of them a few hundred words, and must find them all
  // kept, while a few lists of a million words must not hold more memory
  // than 16 of them did (128 MB). The count bound only keeps the search of
  // the store short.
  constexpr size_t kKept = 64;
  constexpr int64_t kLargestKept = int64_t{1} << 20;  // words
  constexpr int64_t kKeptWords = 16 * kLargestKept;
  static std::vector<RememberedList> kept;
  static int64_t kept_words = 0;
  static uint64_t clock = 0;
  // The name's 8 characters (blank-padded) compared as one word.
  char name8[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  std::memcpy(name8, lsetid.data(), std::min<size_t>(8, lsetid.size()));
  uint64_t name;
  std::memcpy(&name, name8, sizeof name);
  const uint64_t serial = last_load().serial;
  const int64_t cpw = packed_chars_per_word();
  const int64_t base = list_base();
  for (RememberedList& r : kept) {
    if (r.serial != serial || r.chars_per_word != cpw || r.name != name || r.words->empty()) continue;
    const auto size = static_cast<int64_t>(r.words->size());
    if (base < 1 || size > kWorkWords + 1 - base) break;  // evaluate: it reports what fits
    std::copy(r.words->begin(), r.words->end(), work_ptr(base));
    locs(l::kFreePointer) = base + size;
    r.used = ++clock;
    return {r.ndata, r.nqual, base, r.words};
  }
  const ListAnswer a = evaluate_list(lsetid);
  const int64_t size = locs(l::kFreePointer) - a.locq;
  if ((a.ndata > 0 || a.ndata == -1) && a.locq == base && size > 0 && size <= kLargestKept) {
    // Lists of an earlier load or packing go first, then the least recently
    // used, until the new one fits both bounds.
    auto drop = [&](size_t i) {
      kept_words -= static_cast<int64_t>(kept[i].words->size());
      kept[i] = std::move(kept.back());
      kept.pop_back();
    };
    for (size_t i = kept.size(); i-- > 0;)
      if (kept[i].serial != serial || kept[i].chars_per_word != cpw) drop(i);
    while (!kept.empty() && (kept.size() >= kKept || kept_words + size > kKeptWords)) {
      size_t oldest = 0;
      for (size_t i = 1; i < kept.size(); ++i)
        if (kept[i].used < kept[oldest].used) oldest = i;
      drop(oldest);
    }
    auto words = std::make_shared<const std::vector<int64_t>>(work_ptr(base), work_ptr(base) + size);
    kept.push_back(RememberedList{serial, cpw, name, a.ndata, a.nqual, words, ++clock});
    kept_words += size;
    return {a.ndata, a.nqual, a.locq, std::move(words)};
  }
  return a;
}

}  // namespace flowsum

extern "C" {

void tklist_(const char* lsetid, int64_t* ndata, int64_t* nqual, int64_t* locq, size_t lsetid_len) {
  const flowsum::ListAnswer a = flowsum::evaluate_list(flowsum::TextField(lsetid, lsetid_len).view());
  *ndata = a.ndata;
  *nqual = a.nqual;
  *locq = a.locq;
}

void tkidim_(const char* name, int64_t* nq, int64_t* nmem, size_t name_len) {
  const flowsum::SetDimensions d = flowsum::idset_dimensions(flowsum::TextField(name, name_len).view());
  *nq = d.nq;
  *nmem = d.nmem;
}

void tkiset_(const char* name, int64_t* nq, int64_t* nmem, int64_t* qnames, int64_t* qvals, int64_t* types,
             int64_t* units, size_t name_len) {
  flowsum::load_idset(flowsum::TextField(name, name_len).view(), *nq, *nmem, qnames, qvals, types, units);
}

void tkivec_(const char* name, int64_t* tmpl, size_t name_len) {
  flowsum::idset_template(flowsum::TextField(name, name_len).view(), tmpl);
}

void tkloop_(int64_t* nops, int64_t* ops, int64_t* nids, int64_t* dims, int64_t* free, int64_t* ndata,
             int64_t* width) {
  const flowsum::ValueCount c = flowsum::count_values(*nops, ops, *nids, dims, *free);
  *ndata = c.ndata;
  *width = c.width;
}

void tkcpwa_(int64_t* locb, int64_t* locn, int64_t* nnew, int64_t* nold, int64_t* nval, int64_t* cols,
             int64_t* ierr) {
  *ierr = flowsum::widen_block(*locb, *locn, *nnew, *nold, *nval, cols) ? 0 : 1;
}

void tkicrs_(int64_t* locx, int64_t* nx, int64_t* locy, int64_t* ny, int64_t* ncol, int64_t* locn,
             int64_t* ierr) {
  *ierr = flowsum::cross_blocks(*locx, *nx, *locy, *ny, *ncol, *locn) ? 0 : 1;
}

}  // extern "C"
