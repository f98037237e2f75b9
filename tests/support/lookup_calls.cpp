// Exported lookup routines called with caller-style fields.
#include "support/lookup_calls.hpp"

#include <algorithm>
#include <cstring>

#include "flowsum.h"
#include "support/caller.hpp"
#include "support/summary_suite.hpp"

namespace flowsum::testing {

namespace {
std::string unpacked(int64_t* words, int64_t nwords) {
  Field out("", static_cast<size_t>(4 * nwords));
  int64_t nchar = 4 * nwords;
  call(tkinsc_, nwords, *words, nchar, out);
  return out.text();
}
}  // namespace

int64_t work_word(int64_t k) { return tkwork_[k - 1]; }
double work_real_word(int64_t k) {
  double d;
  std::memcpy(&d, &tkwork_[k - 1], sizeof d);
  return d;
}
std::string work_text(int64_t k, int64_t nwords) { return unpacked(&tkwork_[k - 1], nwords); }
int64_t free_pointer() { return tklocs_[24]; }

std::vector<int64_t> packed(std::string_view text, int64_t nchar) {
  std::vector<int64_t> words(static_cast<size_t>((nchar + 3) / 4 + 1), 0);
  int64_t nword = 0;
  call(tkcins_, nchar, Field(text, static_cast<size_t>(std::max<int64_t>(nchar, 0))), nword, words);
  words.resize(static_cast<size_t>(nword));
  return words;
}

DsetCall call_tkdset(const std::vector<std::string>& path, const std::string& qual) {
  std::string ids;
  for (const std::string& k : path) ids += pad(k, 128);
  DsetCall c;
  Field q(qual, 8);
  call(tkdset_, static_cast<int64_t>(path.size()), Field(ids, 128, std::max<size_t>(path.size(), 1)), q, c.nqual,
       c.ndata, c.locq, c.locd);
  c.qual = q.text();
  return c;
}

LsetCall call_tklset(const std::string& id) {
  std::vector<int64_t> idlist(2000, 0), ops(2000, 0);
  LsetCall c;
  call(tklset_, Field(id, 8), idlist, c.nids, ops, c.nops, c.ierr);
  if (c.ierr == 0 || c.ierr > 2) {
    for (int64_t k = 0; k < c.nids && k < 1000; ++k) c.ids.push_back(trim(unpacked(&idlist[static_cast<size_t>(2 * k)], 2)));
    c.ops.assign(ops.begin(), ops.begin() + std::clamp<int64_t>(c.nops, 0, 2000));
  }
  return c;
}

ListCall call_tklist(const std::string& id) {
  ListCall c;
  call(tklist_, Field(id, 8), c.ndata, c.nqual, c.locq);
  return c;
}

}  // namespace flowsum::testing
