// The data-set lookup family called as a caller calls it, and work words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace flowsum::testing {

// Work word k (1-based) as an integer, as a real, and n words unpacked.
int64_t work_word(int64_t k);
double work_real_word(int64_t k);
std::string work_text(int64_t k, int64_t nwords);
// A text packed into words as the library packs it (8 characters: 2 words).
std::vector<int64_t> packed(std::string_view text, int64_t nchar);
// Free-word pointer (TKLOCS word 25).
int64_t free_pointer();

struct DsetCall {
  int64_t nqual = -7, ndata = -7, locq = -7, locd = -7;
  std::string qual;  // QUAL after the call (8 characters)
};
// TKDSET with 128-character keywords and an 8-character qualifier field.
DsetCall call_tkdset(const std::vector<std::string>& path, const std::string& qual = "");

struct LsetCall {
  int64_t ierr = -7, nids = -7, nops = -7;
  std::vector<std::string> ids;  // the first nids names, blanks cut
  std::vector<int64_t> ops;      // the first nops operations
};
// TKLSET with arrays of the documented room (2000 words each).
LsetCall call_tklset(const std::string& id);

struct ListCall {
  int64_t ndata = -7, nqual = -7, locq = -7;
};
ListCall call_tklist(const std::string& id);

}  // namespace flowsum::testing
