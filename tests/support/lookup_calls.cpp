// Exported lookup routines called with caller-style fields.
#include "support/lookup_calls.hpp"

#include <algorithm>
#include <cstring>

#include "flowsum.h"

namespace flowsum::testing {

int64_t work_word(int64_t k) { return tkwork_[k - 1]; }

double work_real_word(int64_t k) {
  double d;
  std::memcpy(&d, &tkwork_[k - 1], sizeof d);
  return d;
}

std::string work_text(int64_t k, int64_t nwords) {
  std::string out(static_cast<size_t>(4 * nwords), ' ');
  int64_t n = nwords, nchar = 4 * nwords;
  tkinsc_(&n, &tkwork_[k - 1], &nchar, out.data(), out.size());
  return out;
}

std::vector<int64_t> packed(std::string_view text, int64_t nchar) {
  std::string field(text);
  field.resize(static_cast<size_t>(std::max<int64_t>(nchar, 0)), ' ');
  std::vector<int64_t> words(static_cast<size_t>((nchar + 3) / 4 + 1), 0);
  int64_t n = nchar, nword = 0;
  tkcins_(&n, field.data(), &nword, words.data(), field.size());
  words.resize(static_cast<size_t>(nword));
  return words;
}

DsetCall call_tkdset(const std::vector<std::string>& path, const std::string& qual) {
  std::string ids(128 * std::max<size_t>(path.size(), 1), ' ');
  for (size_t i = 0; i < path.size(); ++i) ids.replace(128 * i, std::min<size_t>(128, path[i].size()), path[i].substr(0, 128));
  std::string q = qual;
  q.resize(8, ' ');
  DsetCall c;
  int64_t nid = static_cast<int64_t>(path.size());
  tkdset_(&nid, ids.data(), q.data(), &c.nqual, &c.ndata, &c.locq, &c.locd, 128, q.size());
  c.qual = q;
  return c;
}

LsetCall call_tklset(const std::string& id) {
  std::string f = id;
  f.resize(8, ' ');
  std::vector<int64_t> idlist(2000, 0), ops(2000, 0);
  LsetCall c;
  tklset_(f.data(), idlist.data(), &c.nids, ops.data(), &c.nops, &c.ierr, f.size());
  if (c.ierr == 0 || c.ierr > 2) {
    for (int64_t k = 0; k < c.nids && k < 1000; ++k) {
      std::string name(8, ' ');
      int64_t two = 2, eight = 8;
      tkinsc_(&two, &idlist[static_cast<size_t>(2 * k)], &eight, name.data(), name.size());
      name.erase(name.find_last_not_of(' ') + 1);
      c.ids.push_back(name);
    }
    c.ops.assign(ops.begin(), ops.begin() + std::clamp<int64_t>(c.nops, 0, 2000));
  }
  return c;
}

ListCall call_tklist(const std::string& id) {
  std::string f = id;
  f.resize(8, ' ');
  ListCall c;
  tklist_(f.data(), &c.ndata, &c.nqual, &c.locq, f.size());
  return c;
}

int64_t free_pointer() { return tklocs_[24]; }

}  // namespace flowsum::testing
