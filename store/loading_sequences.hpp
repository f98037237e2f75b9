// Loading sequences (TKLSET): a sequence definition of the summary file,
//   LSET name ( term ... )
// compiled into the list of identifier sets it names and a list of numbered
// operations 10*k + c over them (k the set's index in the list):
//   c = 1 LOAD: the values of set k follow, one per member
//   c = 4 / 5: begin / end a loop over the members of set k around what lies
//          between them ("A & B": for each member of B, the values of A)
//   c = 6 / 7: set k heads the group that lies between them (a nested
//          parenthesis whose first term is a plain LOAD)
//   c = 2 / 3: reserved, never produced.
// Also the helpers every reader of definitions shares: finding a name in the
// IDSET or LSET directory and putting the scanner on a line of the summary
// file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flowsum {

// Tokens of one definition read at most; a definition that is not complete
// by then ends without error with what was built.
inline constexpr int64_t kMaxSequenceTokens = 1000;
// Room a definition of at most kMaxSequenceTokens tokens can need: 2 words a
// set name (at most one name a token), and at most 2 operations a token.
inline constexpr int64_t kSequenceNameWords = 2 * kMaxSequenceTokens;
inline constexpr int64_t kSequenceOps = 2 * kMaxSequenceTokens;

// Result codes of compile_loading_sequence (TKLSET's IERR).
namespace lset_error {
inline constexpr int64_t kNone = 0;
inline constexpr int64_t kUnknownLset = 1;     // not in the LSET directory
inline constexpr int64_t kNotAtLine = 2;       // the directory's line starts something else
inline constexpr int64_t kUnknownIdset = 3;    // a set name not in the IDSET directory
inline constexpr int64_t kRepeatedAnd = 4;     // "&" "&"
inline constexpr int64_t kUnexpectedToken = 7; // neither "&", "(", ")" nor a %name
}  // namespace lset_error

// Operation codes.
namespace op_code {
inline constexpr int64_t kLoad = 1, kLoopBegin = 4, kLoopEnd = 5, kGroupHead = 6, kGroupEnd = 7;
}

// Compile the sequence lsetid (8 characters significant) into idlist (2
// packed words a name, at most idlist_words words) and ops (at most
// ops_capacity operations). Returns the IERR code and writes its message to
// the message unit; after codes 1 and 2 nids and nops are not set. With the
// print level (TKGLOB word 10) at 7 or more the compiled sequence is listed
// on the message unit. Room that runs out ends the definition like the token
// limit (never the case with the kSequence* sizes).
int64_t compile_loading_sequence(std::string_view lsetid, int64_t* idlist, int64_t idlist_words,
                                 int64_t* ops, int64_t ops_capacity, int64_t& nids,
                                 int64_t& nops);

// A compiled sequence as compile_loading_sequence leaves it: its status,
// and for status 0 the set names (2 packed words each) and operations.
struct CompiledSequence {
  int64_t status = lset_error::kUnknownLset;
  int64_t nids = 0, nops = 0;
  std::vector<int64_t> idlist;  // 2 * nids words
  std::vector<int64_t> ops;     // nops operations
  // Name of set s (0-based), 8 characters.
  std::string set_name(int64_t s) const;
};

// compile_loading_sequence for the readers that ask for the same few
// sequences on every call: a sequence that compiled is kept for the rest of
// the load (keyed on its name and the characters per packed word) and
// handed out again without reading its definition. A sequence that fails,
// or any sequence while the listing print level is set, is compiled afresh
// each time, so its messages and listing are written as often as before.
// The reference stays valid until the next call.
const CompiledSequence& compiled_sequence(std::string_view lsetid);

// Line of the definition of name (8 characters significant) in the IDSET
// directory (TKLOCS words 3, 4) or the LSET directory (words 5, 6): the
// line number as stored (negative for some identifier sets), 0 when the name
// is not there or the directory does not lie inside the work area.
int64_t idset_directory_line(std::string_view name);
int64_t lset_directory_line(std::string_view name);

// Put the scanner, in comma variant 1 and reading the scratch copy of the
// summary file by record number, just before line `line`: the next token is
// the first one of that line.
void position_scanner_at_line(int64_t line);

}  // namespace flowsum
