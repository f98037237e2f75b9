// Loading sequences: compiling an LSET definition into its identifier list
// and its operation list, and the listing of the result.
#include "store/loading_sequences.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "flowsum.h"
#include "io/messages.hpp"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "store/packed_words.hpp"
#include "store/text_field.hpp"

namespace flowsum {

namespace {

constexpr int64_t kListingPrintLevel = 7;
// Column breaking of the "DATA AND QUALIFIER LIST" lines.
constexpr size_t kListingLineMax = 71, kListingBreakAt = 70, kListingContinueIndent = 13;

int64_t directory_line(int base_word, int count_word, std::string_view name) {
  const int64_t base = locs(base_word), n = locs(count_word);
  if (n < 1 || !in_work(base, 3 * n)) return 0;
  int64_t key[2];
  pack_text(name, 8, key);
  const int64_t pos = binary_search(key, work_ptr(base), 3, n, 2, 2);
  return pos > 0 ? work(base + 3 * (pos - 1)) : 0;
}

int64_t code_of(int64_t op) { return op % 10; }
int64_t set_of(int64_t op) { return op / 10; }

std::string set_name(const int64_t* idlist, int64_t nids, int64_t k) {
  std::string name(8, ' ');
  if (k >= 1 && k <= nids) unpack_text(idlist + 2 * (k - 1), 2, TextField(name.data(), name.size()));
  return name;
}

// The compiled sequence on the message unit: one line per operation, then
// one line per LOAD with the sets whose loops are open around it.
void write_listing(std::string_view id8, const int64_t* idlist, int64_t nids, const int64_t* ops,
                   int64_t nops) {
  if (message_unit() <= 0) return;
  write_message({" DATA LOADING SEQUENCE FOR LSET " + std::string(id8)});
  write_message_lines({"    IDSET     OPERATION"});
  std::string text;  // codes 6 and 7 repeat the text of the line before
  for (int64_t n = 0; n < nops; ++n) {
    switch (code_of(ops[n])) {
      case op_code::kLoad: text = "LOAD"; break;
      case 2: text = "SET LOAD_COUNT"; break;
      case 3: text = "END LOAD_COUNT"; break;
      case op_code::kLoopBegin: text = "BEG OUTSIDE_LOOP"; break;
      case op_code::kLoopEnd: text = "END OUTSIDE_LOOP"; break;
      default: break;
    }
    write_message_lines({"    " + set_name(idlist, nids, set_of(ops[n])) + "  " + fortran_a(text, 16)});
  }
  write_message({" DATA AND QUALIFIER LIST"});
  std::vector<int64_t> open_loops;
  for (int64_t n = 0; n < nops; ++n) {
    const int64_t code = code_of(ops[n]), k = set_of(ops[n]);
    if (code == op_code::kLoopBegin) {
      open_loops.push_back(k);
    } else if (code == op_code::kLoopEnd) {
      if (!open_loops.empty()) open_loops.pop_back();
    } else if (code == op_code::kLoad) {
      std::string line = "   " + fortran_a("*" + set_name(idlist, nids, k), 10);
      for (auto it = open_loops.rbegin(); it != open_loops.rend(); ++it)
        line += fortran_a(set_name(idlist, nids, *it), 10);
      line.resize(TextField::trim_right(line).size());
      if (line.size() > kListingLineMax) {
        write_message_lines({line.substr(0, kListingBreakAt),
                             std::string(kListingContinueIndent, ' ') + line.substr(kListingBreakAt)});
      } else {
        write_message_lines({line});
      }
    }
  }
}

}  // namespace

int64_t idset_directory_line(std::string_view name) {
  return directory_line(l::kIdsetDir, l::kIdsetCount, name);
}

int64_t lset_directory_line(std::string_view name) {
  return directory_line(l::kLsetDir, l::kLsetCount, name);
}

void position_scanner_at_line(int64_t line) {
  // Column 133 of the line before lies past the end of any held line, so
  // the scanner's next read is record `line` itself.
  scan::configure(1, 10 * glob(g::kScratchUnit) + 2, static_cast<double>(line - 1) + 133.0 / 256.0, "");
}

int64_t compile_loading_sequence(std::string_view lsetid, int64_t* idlist, int64_t idlist_words,
                                 int64_t* ops, int64_t ops_capacity, int64_t& nids,
                                 int64_t& nops) {
  const std::string id8 = padded(lsetid, 8);
  const int64_t line = lset_directory_line(id8);
  if (line == 0) {
    write_message({" UNKNOWN LSET ID OF " + id8 + " (TKLSET)"});
    return lset_error::kUnknownLset;
  }

  position_scanner_at_line(line);
  scan::Token tok;
  scan::next(tok);
  bool at_line = padded_equal(tok.text.substr(0, std::min<size_t>(16, tok.text.size())), "LSET");
  if (at_line) {
    scan::next(tok);
    at_line = padded(tok.text, 8) == id8;
  }
  if (!at_line) {
    write_message({" EXPECT TO FIND LSET " + id8 + " ON LINE" + fortran_i(line, 6) + " BUT FOUND " +
                   padded(tok.text, 8) + " (TKLSET)"});
    return lset_error::kNotAtLine;
  }

  nids = 0;
  nops = 0;
  int64_t depth = 0;
  int64_t start = 1;  // first operation of the current term (1-based)
  // Start handed back by each open parenthesis; the depth never exceeds the
  // number of tokens read.
  std::vector<int64_t> level_start(static_cast<size_t>(kMaxSequenceTokens) + 2, 1);
  bool after_and = false;
  auto op = [&](int64_t n) -> int64_t& { return ops[n - 1]; };

  for (int64_t count = 0; count < kMaxSequenceTokens; ++count) {
    const bool joined = after_and;
    scan::next(tok);
    after_and = tok.type == scan::kAmpersand;

    if (tok.type == scan::kAmpersand) {
      if (joined) {
        write_message({" LSET " + id8 + " ERROR - REPEATED & OPERATOR (TKLSET)"});
        return lset_error::kRepeatedAnd;
      }
    } else if (tok.type == scan::kOpen) {
      level_start[static_cast<size_t>(depth + 1)] = (joined || depth == 0) ? start : nops + 1;
      ++depth;
      start = nops + 1;
    } else if (tok.type == scan::kClose) {
      if (depth <= 0) break;
      start = level_start[static_cast<size_t>(depth)];
      --depth;
      // A nested parenthesis whose first term is a plain LOAD makes that set
      // the head of a group. An empty parenthesis has no first term.
      if (depth > 0 && start <= nops && code_of(op(start)) == op_code::kLoad) {
        if (nops >= ops_capacity) break;
        const int64_t k = set_of(op(start));
        op(start) = 10 * k + op_code::kGroupHead;
        op(++nops) = 10 * k + op_code::kGroupEnd;
      }
    } else {
      if (tok.type != scan::kPercentName) {
        write_message({" LSET " + id8 + " ERROR - UNEXPECTED TOKEN " + padded(tok.text, 8) + " (TKLSET)"});
        return lset_error::kUnexpectedToken;
      }
      if (2 * (nids + 1) > idlist_words || nops + 2 > ops_capacity) break;
      ++nids;
      pack_text(tok.text, 8, idlist + 2 * (nids - 1));
      const std::string name = padded(tok.text, 8);
      if (idset_directory_line(name) == 0) {
        write_message({"LSET " + id8 + " ERROR - UNKNOWN IDSET " + name + " LSET STARTED ON LINE" +
                       fortran_i(line, 6) + " (TKLSET)"});
        return lset_error::kUnknownIdset;
      }
      const int64_t k = nids;
      if (!joined) {
        op(++nops) = 10 * k + op_code::kLoad;
        start = nops;
      } else if (start > nops) {
        // Nothing to wrap (an empty parenthesis): an empty loop.
        op(++nops) = 10 * k + op_code::kLoopBegin;
        op(++nops) = 10 * k + op_code::kLoopEnd;
      } else {
        // Wrap the current term start..nops in a loop over set k.
        const int64_t last = op(nops);
        for (int64_t n = nops; n >= start; --n) op(n + 1) = op(n);
        ++nops;
        op(start) = 10 * k + op_code::kLoopBegin;
        if (code_of(last) == op_code::kGroupEnd && code_of(op(start + 1)) == op_code::kGroupHead) {
          // A group inside a loop is plain again: its head loads, and the
          // loop's end takes the place of the group's end.
          op(start + 1) = 10 * set_of(op(start + 1)) + op_code::kLoad;
          op(nops) = 10 * k + op_code::kLoopEnd;
        } else {
          op(++nops) = 10 * k + op_code::kLoopEnd;
        }
      }
    }
    if (depth == 0) break;
  }

  if (glob(g::kLsetPrint) >= kListingPrintLevel) write_listing(id8, idlist, nids, ops, nops);
  return lset_error::kNone;
}

std::string CompiledSequence::set_name(int64_t s) const {
  std::string name(8, ' ');
  if (s >= 0 && 2 * s + 1 < static_cast<int64_t>(idlist.size()))
    unpack_text(idlist.data() + 2 * s, 2, TextField(name.data(), 8));
  return name;
}

const CompiledSequence& compiled_sequence(std::string_view lsetid) {
  static uint64_t serial = 0;
  static int64_t cpw = 0;
  static std::unordered_map<std::string, CompiledSequence> known;
  static CompiledSequence fresh;
  if (serial != last_load().serial || cpw != packed_chars_per_word()) {
    known.clear();
    serial = last_load().serial;
    cpw = packed_chars_per_word();
  }
  const std::string id8 = padded(lsetid.substr(0, std::min<size_t>(lsetid.size(), 8)), 8);
  const bool listing = glob(g::kLsetPrint) >= kListingPrintLevel;
  if (!listing) {
    const auto it = known.find(id8);
    if (it != known.end()) return it->second;
  }
  // Compiled into room for the longest definition, then kept at its size.
  static std::vector<int64_t> idlist(kSequenceNameWords), ops(kSequenceOps);
  CompiledSequence c;
  c.status = compile_loading_sequence(id8, idlist.data(), kSequenceNameWords, ops.data(), kSequenceOps, c.nids,
                                      c.nops);
  if (c.status == lset_error::kNone) {
    c.nids = std::clamp<int64_t>(c.nids, 0, kSequenceNameWords / 2);
    c.nops = std::clamp<int64_t>(c.nops, 0, kSequenceOps);
    c.idlist.assign(idlist.begin(), idlist.begin() + 2 * c.nids);
    c.ops.assign(ops.begin(), ops.begin() + c.nops);
  } else {
    c.nids = c.nops = 0;
  }
  if (c.status != lset_error::kNone || listing) {
    fresh = std::move(c);
    return fresh;
  }
  return known.emplace(id8, std::move(c)).first->second;
}

}  // namespace flowsum

extern "C" {

void tklset_(const char* lsetid, int64_t* idlist, int64_t* nids, int64_t* ops, int64_t* nops,
             int64_t* ierr, size_t lsetid_len) {
  *ierr = flowsum::compile_loading_sequence(flowsum::TextField(lsetid, lsetid_len).view(), idlist,
                                            flowsum::kSequenceNameWords, ops, flowsum::kSequenceOps,
                                            *nids, *nops);
}

}  // extern "C"
