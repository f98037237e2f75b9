// The later query families of the query harness: components, connectivity,
// stream results and attributes, block results, property tables,
// sensitivity studies, value access, the list operations, the data-set tree
// and the packed-word utilities. Included by queries_fuzzer.cpp after its
// helpers (arena, width, Fixed, trimmed, kMaxObjects).
//
// Every call gets its fields and arrays from arenas of its own, each against
// a guard page, sized exactly by the count the routine is told (or, for a
// routine without a count, by the count its family reports first). Counts
// that come back absurd skip the call that would need an array of them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int64_t kMaxRows = 4096;      // largest array a count may ask for
constexpr int64_t kMaxInner = 8;        // positions, columns, curves asked about
constexpr size_t kMaxFamilyObjects = 16; // objects of a kind per input, in turn
constexpr size_t kMaxPaths = 6;         // data-set paths of the value-access calls per input
constexpr size_t kMaxCandidates = 64;   // paths they are chosen from, in turn

bool sane(int64_t n) { return n >= 0 && n <= kMaxRows; }
size_t count(int64_t n) { return n > 0 ? static_cast<size_t>(n) : 0; }
int64_t inner(int64_t n) { return std::clamp<int64_t>(n, 0, kMaxInner); }

// Hands out the arenas of one call, one per field or array, so that no two
// arguments of a call share a guard page. Every Args starts again at the
// first call arena: copy out what a call returned before the next Args.
class Args {
 public:
  char* out(size_t w, int64_t n = 1) { return next().tail(w * count(n)); }
  char* in(std::string_view s, size_t w) { return next().text(s, w); }
  char* in(std::string_view s) { return in(s, s.size()); }
  int64_t* ints(int64_t n) { return next().words(count(n)); }
  double* reals(int64_t n) { return next().reals(count(n)); }
  // A text array of n elements of width w holding the given texts.
  char* in_array(const std::vector<std::string>& texts, size_t w) {
    std::string all(w * texts.size(), ' ');
    for (size_t i = 0; i < texts.size(); ++i)
      all.replace(w * i, std::min(w, texts[i].size()), texts[i].substr(0, w));
    return in(all, all.size());
  }

 private:
  fz::GuardedArena& next() {
    if (used_ >= kCallArenas) fz::fail("a call needs more arenas than the harness has");
    return arena(kFirstCallArena + used_++);
  }
  int used_ = 0;
};

struct Object {
  std::string id, type;  // type: the stored 8 characters
};

// At most kMaxFamilyObjects objects of a kind from its table, starting at a
// place that moves with k, so that inputs with many objects reach them all.
std::vector<Object> objects_of(const char* kind, int64_t total, int k) {
  std::vector<Object> out;
  const size_t n = static_cast<size_t>(std::clamp<int64_t>(total, 0, kMaxObjects));
  const size_t start = n > kMaxFamilyObjects ? static_cast<size_t>(k) * 7 % n : 0;
  for (size_t i = 0; i < n && i < kMaxFamilyObjects; ++i) {
    int64_t index = static_cast<int64_t>((start + i) % n + 1), ierr = 0;
    char id[128], type[8];
    tknext_(arena(3).text(kind, 12), &index, id, type, &ierr, 12, 128, 8);
    out.push_back({trimmed(id, 128), trimmed(type, 8)});
  }
  return out;
}

// Keywords of a top-level node's children (sensitivity studies).
std::vector<std::string> children_of(const char* keyword) {
  std::vector<std::string> out;
  for (int64_t i = 1; i <= kMaxObjects; ++i) {
    int64_t index = i, ierr = 0;
    char id[128], type[8];
    tknext_(arena(3).text(keyword, 12), &index, id, type, &ierr, 12, 128, 8);
    if (ierr != 0) break;
    out.push_back(trimmed(id, 128));
  }
  return out;
}

// Element width of a path array: at least its longest keyword, otherwise
// the documented 128 or a shorter width in turn.
size_t key_width(const std::vector<std::string>& path, int k) {
  size_t longest = 1;
  for (const std::string& key : path) longest = std::max(longest, key.size());
  return std::max(longest, width(k, 128));
}

// ---- The loaded data-set tree, read-only ----------------------------------

int64_t tree_word(int64_t p) {
  const int64_t base = tklocs_[6], used = tklocs_[7];
  if (base < 1 || used < 1 || base - 1 + used > TK_WORK_WORDS || p < 1 || p > used) return 0;
  return tkwork_[base - 1 + p - 1];
}

// The node of a path, looked up with TKDTRE on the loaded tree (modes 1 and
// 2 in turn, which add nothing); 0 when the path is not there.
int64_t tree_node(const std::vector<std::string>& path, int k) {
  const int64_t base = tklocs_[6], used = tklocs_[7];
  if (base < 1 || used < 1 || base - 1 + used > TK_WORK_WORDS) return 0;
  Args a;
  const size_t kw = key_width(path, k);
  int64_t mode = 1 + (k & 1), nids = static_cast<int64_t>(path.size()), idata = -5, nused = used, ipos = 0,
          ierr = 0;
  const size_t vw = width(k + 1, 8);
  tkdtre_(&mode, &nids, a.in_array(path, kw), a.out(vw), &idata, &tkwork_[base - 1], &nused, &ipos, &ierr, kw, vw);
  if (nused != used || tklocs_[7] != used) fz::fail("a TKDTRE lookup changed the tree's size");
  if (ierr != 0) return 0;
  if (ipos < 1 || ipos > used) fz::fail("TKDTRE found a node outside the tree");
  return ipos;
}

// Keywords of the children of a tree node, in chain order.
std::vector<std::string> child_keywords(int64_t node, size_t cap) {
  std::vector<std::string> out;
  int64_t p = tree_word(node);
  for (int steps = 0; p > 1 && steps < 10000 && out.size() < cap; ++steps) {
    const int64_t nw = tree_word(p - 1);
    if (nw < 1 || nw > 32 || p + 1 + nw > tklocs_[7]) break;
    int64_t words[32];
    for (int64_t i = 0; i < nw; ++i) words[i] = tree_word(p + 2 + i);
    char text[128];
    int64_t n = nw, nchar = 4 * nw;
    tkinsc_(&n, words, &nchar, text, 128);
    const std::string key = trimmed(text, 128);
    if (std::find(out.begin(), out.end(), key) == out.end()) out.push_back(key);
    p = tree_word(p + 1);
  }
  return out;
}

// ---- Components ------------------------------------------------------------

void components(int k) {
  Fixed f;
  int64_t ncc = -9, nnc = -9;
  tkcomp_(&ncc, &nnc);
  if (ncc < 0 || nnc < 0) fz::fail("TKCOMP gave a negative count");
  if (!sane(ncc) || !sane(nnc)) return;
  const std::array<std::array<int64_t, 2>, 5> wanted{
      {{ncc, nnc}, {ncc + 2, nnc + 1}, {ncc > 0 ? ncc - 1 : 0, nnc}, {0, 0}, {-1, -4}}};
  int i = 0;
  for (const auto& [p, q] : wanted) {
    Args a;
    size_t w1 = width(k + i, 8), w2 = width(k + i + 1, 8);
    int64_t pp = p, qq = q;
    tkcids_(&pp, &qq, a.out(w1, p), a.out(w2, q), w1, w2);
    ++i;
  }
  // Property vectors by name: the conventional count, and in turn more than
  // the stored values, none or a negative count.
  static const char* kNames[] = {"TB", "MW", "VLSTD", "VSTD", "MWX", "NO-SUCH", "", "TC"};
  for (int j = 0; j < 8; ++j) {
    const std::string name = kNames[j];
    const int64_t other = std::array<int64_t, 3>{ncc + 3, 0, -2}[static_cast<size_t>(k + j) % 3];
    for (int64_t n : {ncc, other}) {
      Args a;
      // The name as a field of its own length or of the documented 8.
      const size_t nw = (k + j) & 1 ? name.size() : 8, lw = width(k + j + static_cast<int>(n & 1), 16);
      int64_t nn = n;
      tkcprp_(a.in(name, nw), &nn, a.reals(n), a.out(lw), nw, lw);
    }
  }
  f.check("component routines moved the free pointer");
}

// ---- Connectivity ----------------------------------------------------------

void block_connectivity(const std::string& block, int k) {
  Fixed f;
  int64_t nin = -9, nout = -9, status = -9;
  {
    Args a;
    tkcntn_(a.in(block), &nin, &nout, &status, block.size());
  }
  if (nin < 0 || nout < 0) fz::fail("TKCNTN gave a negative count");
  if (!sane(nin) || !sane(nout)) return;
  const std::array<std::array<int64_t, 2>, 6> caps{{{nin, nout},
                                                    {nin > 0 ? nin - 1 : 0, nout > 0 ? nout - 1 : 0},
                                                    {nin + 1, nout + 2},
                                                    {0, 0},
                                                    {-1, -3},
                                                    {nin, 0}}};
  int i = 0;
  for (size_t c : {size_t{0}, static_cast<size_t>(k) % 5 + 1, static_cast<size_t>(k + 2) % 5 + 1}) {
    const auto& [ci, co] = caps[c];
    Args a;
    size_t iw = width(k + i, 80), tw = width(k + i + 1, 8), ow = width(k + i + 2, 80), uw = width(k + i + 3, 8);
    int64_t in_cap = ci, out_cap = co, ierr = -9;
    tkcnct_(a.in(block), &in_cap, &out_cap, a.out(iw, ci), a.out(tw, ci), a.out(ow, co), a.out(uw, co),
            &ierr, block.size(), iw, tw, ow, uw);
    if (ierr != 0 && ierr != 1) fz::fail("TKCNCT gave an undocumented IERR");
    ++i;
  }
  const std::array<std::array<int64_t, 2>, 5> ports{{{nin, nout}, {nin + 2, nout + 3}, {1, 0}, {0, 0}, {-2, -1}}};
  for (size_t c : {size_t{0}, static_cast<size_t>(k) % 4 + 1}) {
    const auto& [m, kk] = ports[c];
    Args a;
    size_t lw1 = width(k + i, 4), lw2 = width(k + i + 1, 4);
    int64_t mm = m, nk = kk, ierr = -9;
    tkport_(a.in(block), &mm, &nk, a.out(lw1, m), a.ints(m), a.ints(m), a.out(lw2, kk), a.ints(kk), a.ints(kk),
            &ierr, block.size(), lw1, lw2);
    if (ierr < 0 || ierr > 2) fz::fail("TKPORT gave an undocumented IERR");
    ++i;
  }
  f.check("connectivity routines moved the free pointer");
}

// ---- Stream results and attributes -----------------------------------------

struct StreamShape {
  bool known = false;
  int64_t nsub = 0, nrows = 0;
};

StreamShape stream_info(const std::string& stream, int k) {
  Args a;
  StreamShape s;
  size_t sw = width(k, 128), dw = width(k + 1, 16);
  int64_t nsub = -9, nrows = -9, idum = 0;
  tksinf_(a.in(stream), a.out(sw), a.out(dw), &nsub, &nrows, &idum, stream.size(), sw, dw);
  if (nsub == -9 && nrows == -9) return s;  // an unknown stream leaves them
  if (nsub < 1 || nrows < 0) fz::fail("TKSINF gave an impossible count");
  s.known = true;
  s.nsub = nsub;
  s.nrows = nrows;
  return s;
}

// The main table; returns the property names of its first rows.
std::vector<std::string> stream_main(const std::string& stream, const StreamShape& s, int k) {
  std::vector<std::string> props;
  Args a;
  size_t rw = width(k, 64), nw = width(k + 1, 12), lw = width(k + 2, 16);
  const int64_t n = s.known ? s.nrows : 0;
  int64_t idum = 0, nrows = -9;
  char* rows = a.out(rw, n);
  tkstrm_(a.in(stream), &idum, rows, a.reals(n), a.out(nw, n), a.out(lw, n), &nrows, stream.size(), rw, nw,
          lw);
  if (nrows != 0) fz::fail("TKSTRM did not set NROWS to 0");
  if (rw == 64) {
    for (size_t r = 0; r < count(n) && props.size() < 4; ++r) {
      std::string p = trimmed(rows + 64 * r, 12);
      if (!p.empty() && std::find(props.begin(), props.end(), p) == props.end()) props.push_back(p);
    }
  }
  return props;
}

void stream_results(const Object& st, int k) {
  Fixed f;
  const std::string& id = st.id;
  const StreamShape s = stream_info(id, k);
  if (s.known && (!sane(s.nrows) || s.nsub > kMaxRows)) return;
  std::vector<std::string> props = stream_main(id, s, k);
  props.resize(std::min<size_t>(props.size(), 1));
  static const char* kNamed[] = {"TEMP", "HMX", "CPMX", "RHOMX"};
  props.push_back(kNamed[k & 3]);
  f.check("TKSTRM moved the free pointer");

  for (std::string type : {st.type.substr(0, 4), std::string("HEAT"), std::string()}) {
    Args a;
    size_t lw = width(k++, 16);
    double value = -1;
    tkstra_(a.in(id), a.in(type, 4), &value, a.out(lw), id.size(), 4, lw);
  }

  // Substream names as TKSSID lists them, at most nsub.
  std::vector<std::string> subs;
  const int64_t nsub = s.known ? s.nsub : 1;
  for (int64_t n : {nsub, (k & 1) ? nsub + 1 : -(k & 2) / 2}) {
    Args a;
    size_t w = n == nsub ? 8 : width(k, 8);
    ++k;
    int64_t nn = n;
    char* names = a.out(w, n);
    tkssid_(a.in(id), &nn, names, id.size(), w);
    if (n == nsub && w == 8)
      for (int64_t i = 0; i < std::min<int64_t>(n, kMaxInner); ++i) subs.push_back(trimmed(names + 8 * i, 8));
  }
  subs.erase(std::remove(subs.begin(), subs.end(), std::string()), subs.end());
  std::vector<std::string> targets = subs;
  targets.push_back("");
  targets.push_back("NO-SUCH");

  // TKSVAL: VALUES are as many as the main table's rows.
  const int64_t nrows = s.known ? s.nrows : 0;
  static const char* kBases[] = {"MOLE", "MASS", "FLOW", ""};
  // One property a substream, in turn.
  for (const std::string& sub : targets) {
    Args a;
    const size_t p = static_cast<size_t>(k) % props.size();
    size_t sw = width(k, 8), uw = width(k + 1, 12), lw = width(k + 2, 16);
    const char* basis = kBases[(p + static_cast<size_t>(k)) & 3];
    int64_t ierr = -9;
    tksval_(a.in(id), a.in(sub, sw), a.in(props[p], 12), a.in(basis, 4), a.reals(nrows), a.out(uw), a.out(lw),
            &ierr, id.size(), sw, 12, 4, uw, lw);
    if (ierr != 0 && ierr != 1) fz::fail("TKSVAL gave an undocumented IERR");
    ++k;
  }

  // User properties.
  {
    int64_t cnt = -9, ierr = -9;
    Args a;
    tknspr_(a.in(id), &cnt, &ierr, id.size());
    if (ierr < 0 || ierr > 2) fz::fail("TKNSPR gave an undocumented IERR");
    if (sane(cnt)) {
      Args b;
      size_t w12 = width(k, 12), w8 = width(k + 1, 8), w4 = width(k + 2, 4), w16 = width(k + 3, 16);
      int64_t idum = 0;
      tksprp_(b.in(id), &idum, b.out(w12, cnt), b.out(w8, cnt), b.out(w8, cnt), b.out(w8, cnt), b.out(w4, cnt),
              b.out(w4, cnt), b.reals(cnt), b.out(w12, cnt), b.out(w16, cnt), &ierr, id.size(), w12, w8, w8, w8,
              w4, w4, w12, w16);
    }
  }

  // Phase compositions of N components and the twelve phase properties.
  int64_t ncc = 0, nnc = 0;
  tkcomp_(&ncc, &nnc);
  for (int64_t n : {std::min<int64_t>(ncc, kMaxRows), int64_t{1 - (k % 3)}}) {
    Args a;
    int64_t nn = n, fphas = -9, fxy = -9;
    double p[12];
    tksphs_(a.in(id), &nn, &fphas, &fxy, a.reals(n), a.reals(n), a.reals(n), a.reals(n), &p[0], &p[1], &p[2],
            &p[3], &p[4], &p[5], &p[6], &p[7], &p[8], &p[9], &p[10], &p[11], id.size());
    if ((fphas != 0 && fphas != 1) || (fxy != 0 && fxy != 1)) fz::fail("TKSPHS gave an undocumented flag");
  }

  // Substreams by position, and their component results on every basis.
  struct Sub {
    std::string name;
    int64_t ncomp, ntotal;
  };
  std::vector<Sub> found;
  for (int64_t i = -1; i <= inner(nsub) + 1; ++i) {
    Args a;
    size_t w = i >= 1 && i <= nsub ? 8 : width(k + static_cast<int>(i), 8);
    int64_t kk = i, ncomp = -9, ntotal = -9;
    char* name = a.out(w);
    tknsub_(a.in(id), &kk, name, &ncomp, &ntotal, id.size(), w);
    if (ncomp < 0 || ntotal < 0) fz::fail("TKNSUB gave a negative count");
    // A blank name is no substream: TKSUBS would take it for "MIXED".
    if (w == 8 && i >= 1 && i <= nsub && sane(ncomp) && sane(ntotal) && !trimmed(name, 8).empty())
      found.push_back({trimmed(name, 8), ncomp, ntotal});
  }
  // A name the main table may not hold. The file may hold it after all (it
  // is an input like any other), so its total arrays are sized by the row
  // count, which no substream's total rows exceed.
  if (sane(nrows)) found.push_back({"NO-SUCH", 2, nrows});
  static const char* kSubBases[] = {"MASS-FLOW", "MOLE-FLOW", "STDVOL-FLOW", "MASS-FRAC",
                                    "MOLE-FRAC", "STDVOL-FRAC", "OTHER"};
  for (const Sub& sub : found) {
    // Two bases a substream, in turn, and once a count below 1.
    for (const char* basis : {kSubBases[k % 7], kSubBases[(k + 3) % 7]}) {
      for (int64_t n : {sub.ncomp, int64_t{-1}}) {
        if (n < 0 && basis != kSubBases[k % 7]) continue;
        Args a;
        size_t iw = width(k, 8), lw = width(k + 1, 16), tw = width(k + 2, 12), uw = width(k + 3, 16);
        int64_t nn = n, idum = 0;
        tksubs_(a.in(id), a.in(sub.name, 8), a.in(basis), &nn, a.out(iw, n), a.reals(n), a.out(lw), &idum,
                a.out(tw, sub.ntotal), a.reals(sub.ntotal), a.out(uw, sub.ntotal), id.size(), 8,
                std::strlen(basis), iw, lw, tw, uw);
        ++k;
      }
    }
  }
  f.check("stream result routines moved the free pointer");

  // Component and substream attributes, also of a substream the main table
  // may not name.
  static const char* kAttributeSubstreams[] = {"NC", "NCPSD", "CISOLID", "CIPSD"};
  if (std::find(subs.begin(), subs.end(), kAttributeSubstreams[k & 3]) == subs.end())
    subs.push_back(kAttributeSubstreams[k & 3]);
  subs.push_back("NO-SUCH");
  for (const std::string& sub : subs) {
    int64_t ncomps = -9;
    {
      Args a;
      tksnac_(a.in(id), a.in(sub, 8), &ncomps, id.size(), 8);
    }
    if (ncomps < 0) fz::fail("TKSNAC gave a negative count");
    for (int64_t c = 0; c <= inner(ncomps) + 1; ++c) {
      Args a;
      int64_t kk = c, natt = -9;
      char* comp = a.out(8);
      tksnca_(a.in(id), a.in(sub, 8), &kk, comp, &natt, id.size(), 8, 8);
      if (natt < 0) fz::fail("TKSNCA gave a negative count");
      if (c < 1 || c > ncomps) continue;
      const std::string component = trimmed(comp, 8);
      for (int64_t t = 0; t <= inner(natt) + 1; ++t) {
        Args b;
        int64_t tt = t, nel = -9;
        char* name = b.out(8);
        tkssca_(b.in(id), b.in(sub, 8), b.in(component, 8), &tt, name, &nel, id.size(), 8, 8, 8);
        if (nel < 0) fz::fail("TKSSCA gave a negative count");
        if (t < 1 || t > natt || !sane(nel)) continue;
        const std::string attribute = trimmed(name, 8);  // before the arenas are reused
        Args v;
        size_t ew = width(k++, 8);
        int64_t idum = 0, ierr = -9;
        tkscat_(v.in(id), v.in(sub, 8), v.in(component, 8), v.in(attribute, 8), &idum, v.out(ew, nel),
                v.reals(nel), &ierr, id.size(), 8, 8, 8, ew);
        if (ierr != 0) fz::fail("TKSCAT failed for a stream that exists");
      }
    }
    int64_t nsat = -9;
    {
      Args a;
      tksnsa_(a.in(id), a.in(sub, 8), &nsat, id.size(), 8);
    }
    if (nsat < 0) fz::fail("TKSNSA gave a negative count");
    for (int64_t t = 0; t <= inner(nsat) + 1; ++t) {
      Args a;
      size_t nw = t >= 1 && t <= nsat ? 8 : width(k++, 8);
      int64_t tt = t, nel = -9;
      char* name = a.out(nw);
      tksssa_(a.in(id), a.in(sub, 8), &tt, name, &nel, id.size(), 8, nw);
      if (nel < 0) fz::fail("TKSSSA gave a negative count");
      if (t < 1 || t > nsat || !sane(nel)) continue;
      const std::string attribute = trimmed(name, 8);  // before the arenas are reused
      Args v;
      int64_t idum = 0, ierr = -9;
      tkssat_(v.in(id), v.in(sub, 8), v.in(attribute, 8), &idum, v.reals(nel), &ierr, id.size(), 8, 8);
      if (ierr != 0) fz::fail("TKSSAT failed for a stream that exists");
    }
  }
  f.check("stream attribute routines moved the free pointer");
}

// ---- Block results -----------------------------------------------------------

void block_results(const std::string& block, int k) {
  Fixed f;
  int64_t nres = -9, ndesc = -9, status = -9;
  {
    Args a;
    tknres_(a.in(block), &nres, &ndesc, &status, block.size());
  }
  if (nres < 0 || ndesc < 0) fz::fail("TKNRES gave a negative count");
  if (sane(nres) && ndesc <= 64 && nres * ndesc <= kMaxRows) {
    Args a;
    size_t pw = width(k, 12), qw = width(k + 1, 8), tw = width(k + 2, 8), uw = width(k + 3, 12),
           lw = width(k + 4, 16);
    int64_t d1 = 0, d2 = 0;
    tkbres_(a.in(block), &d1, &d2, a.out(pw, nres), a.out(qw, nres * ndesc), a.ints(nres), a.ints(nres),
            a.out(tw, nres), a.reals(nres), a.out(uw, nres), a.out(lw, nres), block.size(), pw, qw, tw, uw, lw);
  }
  f.check("TKNRES or TKBRES moved the free pointer");

  // The block's report types (read from the documented width), and the same
  // call on a field of another width.
  std::vector<std::string> types;
  for (size_t tw : {size_t{12}, width(k + 1, 12)}) {
    Args a;
    int64_t n = -9, ierr = -9;
    char* t = a.out(tw, 3);
    tklrrp_(a.in(block), &n, t, &ierr, block.size(), tw);
    if (n < 0 || n > 3 || ierr < 0 || ierr > 2) fz::fail("TKLRRP gave an impossible answer");
    if (types.empty() && tw == 12)
      for (int64_t i = 0; i < n; ++i) types.push_back(trimmed(t + 12 * i, 12));
  }
  static const char* kTypes[] = {"PROP-REPORT", "PROP-REACTOR", "PROP-ACCUM", "PROP-VENT", "NO-SUCH"};
  if (std::find(types.begin(), types.end(), kTypes[k % 5]) == types.end()) types.push_back(kTypes[k % 5]);
  for (const std::string& rtype : types) {
    int64_t npoints = -9, nprofiles = -9, ierr = -9;
    {
      Args a;
      tksrrp_(a.in(block), a.in(rtype, 12), &npoints, &nprofiles, &ierr, block.size(), 12);
    }
    if (npoints < 0 || nprofiles < 0) fz::fail("TKSRRP gave a negative count");
    if (!sane(npoints)) continue;
    // Descriptors of the first profile, for the choice by descriptors.
    std::array<std::string, 5> first;
    for (int64_t p = 0; p <= inner(nprofiles) + 1; ++p) {
      for (int alternate = 0; alternate < 2; ++alternate) {
        Args a;
        size_t pw = width(k, 12), dw = width(k + 1, 8), bw = width(k + 2, 4), uw = width(k + 3, 12),
               lw = width(k + 4, 16);
        if (p == 1 && alternate == 0) pw = 12, dw = 8, bw = 4;
        int64_t idum = 0, kk = p, ierr2 = -9;
        char* pn = a.out(pw);
        char* sb = a.out(dw);
        char* ph = a.out(dw);
        char* cp = a.out(dw);
        char* bs = a.out(bw);
        auto* routine = alternate ? tknrpr_ : tknrrp_;
        routine(a.in(block), a.in(rtype, 12), &idum, &kk, pn, sb, ph, cp, bs, a.out(bw), a.reals(npoints), a.out(uw),
                a.out(lw), &ierr2, block.size(), 12, pw, dw, dw, dw, bw, bw, uw, lw);
        if (ierr2 != 0 && ierr2 != 1) fz::fail("TKNRRP or TKNRPR gave an undocumented IERR");
        if (p == 1 && alternate == 0 && ierr2 == 0)
          first = {trimmed(pn, 12), trimmed(sb, 8), trimmed(ph, 8), trimmed(cp, 8), trimmed(bs, 4)};
        ++k;
      }
    }
    static const char* kUnits[] = {"", "MOLE", "MASS", "FLOW"};
    for (const char* units : {kUnits[k & 3], kUnits[(k + 1) & 3]}) {
      Args a;
      size_t uw = width(k, 12), lw = width(k + 1, 16);
      int64_t idum = 0, ierr2 = -9;
      tkrrrp_(a.in(block), a.in(rtype, 12), &idum, a.in(first[0], 12), a.in(first[1], 8), a.in(first[2], 8),
              a.in(first[3], 8), a.in(first[4], 4), a.in(units, 4), a.reals(npoints), a.out(uw), a.out(lw), &ierr2,
              block.size(), 12, 12, 8, 8, 8, 4, 4, uw, lw);
      if (ierr2 != 0 && ierr2 != 1) fz::fail("TKRRRP gave an undocumented IERR");
      ++k;
    }
  }
  f.check("reactor report routines moved the free pointer");
}

void flowsheet_balance() {
  Fixed f;
  int64_t nd = 0, nq = 0, ierr = 0, nid = 1;
  {
    Args a;
    tknval_(a.in("FLWBAL", 8), &nid, &nd, &nq, &ierr, 8);
  }
  const int64_t p0 = nd >= 6 && nd < kMaxRows ? (nd - 6) / 4 : 1;
  const int64_t q0 = nd >= 6 && nd < kMaxRows ? (nd - 6 - 2 * p0) / 2 : 1;
  const std::array<std::array<int64_t, 2>, 5> shapes{{{p0, q0}, {p0 + 1, q0}, {0, 0}, {2, 3}, {-1, 2}}};
  for (const auto& [p, q] : shapes) {
    Args a;
    int64_t pp = p, qq = q, e = -9;
    double s[6];
    tkflwb_(&s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &pp, a.reals(p), a.reals(p), &qq, a.reals(q), a.reals(q),
            &e);
    if (e != 0 && e != 1) fz::fail("TKFLWB gave an undocumented IERR");
  }
  f.check("TKFLWB moved the free pointer");
}

// ---- Property tables ---------------------------------------------------------

void property_table(const std::string& table, int k) {
  Fixed f;
  int64_t np = -9, ncol = -9, status = -9;
  {
    Args a;
    tksppt_(a.in(table), &np, &ncol, &status, table.size());
  }
  if (np < 0) fz::fail("TKSPPT gave a negative point count");
  std::array<std::string, 5> first;
  if (sane(np)) {
    const int64_t ncolumns = np > 0 ? ncol : 0;
    for (int64_t points : {np, np + 1, np > 1 ? np - 1 : int64_t{0}, int64_t{-1}}) {
      for (int64_t c = 0; c <= inner(ncolumns) + 1; ++c) {
        if (points != np && c > 1) break;
        Args a;
        const bool keep = points == np && c == 1;
        size_t pw = keep ? 12 : width(k, 12), dw = keep ? 8 : width(k + 1, 8), bw = keep ? 4 : width(k + 2, 4),
               uw = width(k + 3, 12), lw = width(k + 4, 16);
        int64_t pts = points, kk = c, ierr = -9;
        char* pn = a.out(pw);
        char* sb = a.out(dw);
        char* ph = a.out(dw);
        char* cp = a.out(dw);
        char* bs = a.out(bw);
        tknppr_(a.in(table), &pts, &kk, pn, sb, ph, cp, bs, a.out(bw), a.reals(points), a.out(uw), a.out(lw), &ierr,
                table.size(), pw, dw, dw, dw, bw, bw, uw, lw);
        if (ierr != 0 && ierr != 1) fz::fail("TKNPPR gave an undocumented IERR");
        if (keep && ierr == 0)
          first = {trimmed(pn, 12), trimmed(sb, 8), trimmed(ph, 8), trimmed(cp, 8), trimmed(bs, 4)};
        ++k;
      }
    }
    for (const char* ubasis : {"", "FLOW", "MOLE", "MASS"}) {
      for (int64_t points : {np, np + 2}) {
        Args a;
        size_t uw = width(k, 12), lw = width(k + 1, 16);
        int64_t pts = points, ierr = -9;
        tkpprp_(a.in(table), &pts, a.in(first[0], 12), a.in(first[1], 8), a.in(first[2], 8), a.in(first[3], 8),
                a.in(first[4], 4), a.in(ubasis, 4), a.reals(points), a.out(uw), a.out(lw), &ierr, table.size(), 12,
                8, 8, 8, 4, 4, uw, lw);
        if (ierr != 0 && ierr != 1) fz::fail("TKPPRP gave an undocumented IERR");
        ++k;
      }
    }
  }
  f.check("property-table routines moved the free pointer");

  // Envelope curves: the readers' arrays are as long as TKSENV's halves.
  int64_t ncurves = -9, ecol = -9;
  {
    Args a;
    tknenv_(a.in(table), &ncurves, &ecol, &status, table.size());
  }
  if (ncurves < 0 || ecol < 0) fz::fail("TKNENV gave a negative count");
  for (int64_t e = 0; e <= inner(ncurves) + 1; ++e) {
    int64_t n1 = -9, n2 = -9;
    {
      Args a;
      int64_t ee = e;
      tksenv_(a.in(table), &ee, &n1, &n2, table.size());
    }
    if (n1 < 0 || n2 < 0) fz::fail("TKSENV gave a negative count");
    if (!sane(n1) || !sane(n2)) continue;
    {
      Args a;
      int64_t ee = e, d1 = 0, d2 = 0;
      double m1 = 0, m2 = 0;
      tkptev_(a.in(table), &ee, &d1, &d2, &m1, &m2, a.reals(n1), a.reals(n1), a.reals(n2), a.reals(n2),
              table.size());
    }
    std::array<std::string, 5> col;
    for (int64_t c = 0; c <= std::min<int64_t>(inner(ecol) + 1, 4); ++c) {
      Args a;
      const bool keep = c == 1;
      size_t pw = keep ? 12 : width(k, 12), dw = keep ? 8 : width(k + 1, 8), bw = keep ? 4 : width(k + 2, 4),
             uw = width(k + 3, 12), lw = width(k + 4, 16);
      int64_t ee = e, kk = c, d1 = 0, d2 = 0;
      double m1 = 0, m2 = 0;
      char* pn = a.out(pw);
      char* sb = a.out(dw);
      char* ph = a.out(dw);
      char* cp = a.out(dw);
      char* bs = a.out(bw);
      tknpev_(a.in(table), &ee, &kk, &d1, &d2, &m1, &m2, pn, sb, ph, cp, bs, a.out(bw), a.reals(n1), a.reals(n2),
              a.out(uw), a.out(lw), table.size(), pw, dw, dw, dw, bw, bw, uw, lw);
      if (keep) col = {trimmed(pn, 12), trimmed(sb, 8), trimmed(ph, 8), trimmed(cp, 8), trimmed(bs, 4)};
      ++k;
    }
    for (const char* ubasis : {"", "MOLE"}) {
      Args a;
      size_t uw = width(k, 12), lw = width(k + 1, 16);
      int64_t ee = e, d1 = 0, d2 = 0;
      double m1 = 0, m2 = 0;
      tkppev_(a.in(table), &ee, &d1, &d2, a.in(col[0], 12), a.in(col[1], 8), a.in(col[2], 8), a.in(col[3], 8),
              a.in(col[4], 4), a.in(ubasis, 4), &m1, &m2, a.reals(n1), a.reals(n2), a.out(uw), a.out(lw),
              table.size(), 12, 8, 8, 8, 4, 4, uw, lw);
      ++k;
    }
  }
  f.check("envelope routines moved the free pointer");
}

// ---- Sensitivity studies --------------------------------------------------------

void sensitivity(const std::string& study, int k) {
  Fixed f;
  int64_t np = -9, ncol = -9, status = -9;
  {
    Args a;
    tknsen_(a.in(study), &np, &ncol, &status, study.size());
  }
  if (np < 0 || ncol < 0) fz::fail("TKNSEN gave a negative count");
  if (!sane(np) || !sane(ncol) || (np + 2) * ncol > kMaxRows) return;
  for (int64_t ld : {np, np + 2, np > 0 ? np - 1 : int64_t{0}, int64_t{0}, int64_t{-1}}) {
    Args a;
    size_t dw = width(k++, 8);
    int64_t l = ld, idum = 0, ierr = -9;
    tksens_(a.in(study), &l, &idum, a.out(dw, 6 * ncol), a.reals(ld * ncol), a.ints(np), &ierr, study.size(), dw);
    if (ierr != 0 && ierr != 1) fz::fail("TKSENS gave an undocumented IERR");
  }
  f.check("sensitivity routines moved the free pointer");
}

// ---- Value access -------------------------------------------------------------------

// Qualifier names packed into the 4 words TKSPRF takes.
std::array<int64_t, 4> packed16(std::string_view name) {
  Args a;
  int64_t nchar = 16, nword = -1;
  int64_t* words = a.ints(4);
  tkcins_(&nchar, a.in(name, 16), &nword, words, 16);
  if (nword != 4) fz::fail("TKCINS packed 16 characters into other than 4 words");
  return {words[0], words[1], words[2], words[3]};
}

void value_access(const std::vector<std::string>& path, int k) {
  Fixed f;
  const int64_t nid = static_cast<int64_t>(path.size());
  const size_t kw = key_width(path, k);
  // The number of values: TKNVAL's, or for an open-ended data set the count
  // it is read with.
  int64_t nd = 0, nq = 0, ierr = 0;
  {
    Args a;
    int64_t n = nid;
    tknval_(a.in_array(path, kw), &n, &nd, &nq, &ierr, kw);
  }
  if (ierr != 0) nd = 0;
  if (nd < 0) {
    Args a;
    int64_t n = nid, nqual = 0, locq = 0, locd = 0;
    tkdset_(&n, a.in_array(path, kw), a.in("", 8), &nqual, &nd, &locq, &locd, kw, 8);
  }
  f.check("TKNVAL or TKDSET moved the free pointer");
  if (!sane(nd)) return;

  std::string pname;
  {
    Args a;
    size_t pw = 12, uw = width(k + 1, 12), lw = width(k + 2, 16);
    int64_t n = nid, idum = 0, nval = -9, e = -9;
    char* pn = a.out(pw, nd);
    tkpval_(a.in_array(path, kw), &n, &idum, pn, a.reals(nd), a.out(uw, nd), a.out(lw, nd), &nval, &e, kw, pw, uw,
            lw);
    if (e == 0 && nval != nd) fz::fail("TKPVAL read another number of values than TKNVAL gave");
    for (int64_t j = 0; j < nd && pname.empty(); ++j) {
      std::string s = trimmed(pn + 12 * j, 12);
      if (!s.empty() && s.find('#') == std::string::npos) pname = s;
    }
  }
  {
    Args a;
    size_t pw = width(k + 1, 12), tw = width(k + 2, 80), uw = width(k + 3, 12), lw = width(k, 16);
    int64_t n = nid, idum = 0, nval = -9, e = -9;
    tkaval_(a.in_array(path, kw), &n, &idum, a.out(pw, nd), a.ints(nd), a.ints(nd), a.out(tw, nd), a.reals(nd),
            a.out(uw, nd), a.out(lw, nd), &nval, &e, kw, pw, tw, uw, lw);
    if (e == 0 && nval != nd) fz::fail("TKAVAL read another number of values than TKNVAL gave");
  }
  f.check("TKPVAL or TKAVAL moved the free pointer");

  // Profiles along a qualifier (one of four, in turn): the shape TKSPRF
  // gives, and shapes that are not the data set's (nothing may be written).
  static const char* kProfileQualifiers[] = {"PROPERTIES", "SUBSTREAM", "NPOINT", "NO-SUCH"};
  {
    const char* q = kProfileQualifiers[k & 3];
    int64_t nset = -9, nper = -9, e = -9;
    {
      Args a;
      std::array<int64_t, 4> words = packed16(q);
      int64_t n = nid;
      int64_t* qw = a.ints(4);
      std::copy(words.begin(), words.end(), qw);
      tksprf_(a.in_array(path, kw), &n, qw, &nset, &nper, &e, kw);
    }
    if (nset < 0 || nper < 0) fz::fail("TKSPRF gave a negative count");
    const std::array<std::array<int64_t, 2>, 4> others{{{nper, nset}, {nd, 1}, {0, 0}, {-1, 2}}};
    const std::array<std::array<int64_t, 2>, 3> shapes{
        {{nset, nper}, {INT64_MAX / 2 + 1, 2}, others[static_cast<size_t>(k) & 3]}};
    for (const auto& [npoint, nprop] : shapes) {
      const bool fits = sane(npoint) && sane(nprop) && npoint * nprop <= kMaxRows;
      const int64_t nvalues = fits ? npoint * nprop : 0, nnames = fits ? nprop : 0;
      Args a;
      size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
      int64_t n = nid, pts = npoint, props = nprop, e2 = -9;
      tkprf2_(a.in_array(path, kw), &n, a.in(q, 16), &pts, &props, a.out(pw, nnames), a.reals(nvalues),
              a.out(uw, nvalues), a.out(lw, nvalues), &e2, kw, 16, pw, uw, lw);
      if (!fits && e2 == 0) fz::fail("TKPRF2 read a profile larger than any data set");
      ++k;
    }
  }
  f.check("TKSPRF or TKPRF2 moved the free pointer");

  // The choice among siblings by qualifier values: NK of the wanted pairs.
  const std::vector<std::string> knames{"PROPERTIES", "UNITS", "SUBSTREAM", "NO-SUCH"};
  const std::vector<std::string> kvals{pname, "MOLE", "MIXED", "X"};
  static const int64_t kPairs[] = {1, 2, 4, 0, -1};
  {
    Args a;
    size_t nw = width(k, 16) == 0 ? 16 : width(k, 16), qw = width(k + 1, 8);
    int64_t n = nid, kk = kPairs[k % 5], ipos = -9, e = -9;
    tkfdst_(a.in_array(path, kw), &n, &kk, a.in_array(knames, nw), a.in_array(kvals, nw), a.out(qw), &ipos, &e, kw,
            nw, nw, qw);
    if (e < 0 || e > 3) fz::fail("TKFDST gave an undocumented IERR");
    if (e == 0 && (ipos < 1 || ipos > tklocs_[7])) fz::fail("TKFDST chose a node outside the tree");
  }
  {
    // Sizes of named dimensions of the chosen data set.
    const std::vector<std::string> dnames{"PROPERTIES", "NPOINT", "COMPONENTS"};
    const int64_t ndim = 3 - (k % 5);  // 3, 2, 1, 0, -1 in turn
    Args b;
    int64_t n = nid, nk = 1, nd2 = ndim, nfound = -9, e = -9;
    std::vector<std::string> dn(dnames.begin(), dnames.begin() + std::max<int64_t>(ndim, 0));
    tkspr3_(b.in_array(path, kw), &n, &nk, b.in_array(knames, 16), b.in_array(kvals, 16), &nd2, b.in_array(dn, 16),
            b.ints(ndim), &nfound, &e, kw, 16, 16, 16);
    if (nfound < 0) fz::fail("TKSPR3 gave a negative count");
  }
  {
    Args a;
    const int64_t npoint = nd + (k & 1);
    size_t pw = width(k, 12), uw = width(k + 1, 12), lw = width(k + 2, 16);
    int64_t n = nid, kk = 1 + (k & 1), pts = npoint, props = 1, e = -9;
    tkprf3_(a.in_array(path, kw), &n, &kk, a.in_array(knames, 16), a.in_array(kvals, 16), a.in("SUBSTREAM", 16), &pts,
            &props, a.out(pw, 1), a.reals(npoint), a.out(uw, npoint), a.out(lw, npoint), &e, kw, 16, 16, 16, pw, uw,
            lw);
  }
  f.check("the choice routines moved the free pointer");

  // Sibling profiles: their number, their property names, two of them.
  int64_t nsets = 0;
  {
    static const char* kSetQualifiers[] = {"PROPERTIES", "NPOINT", "SUBSTREAM"};
    Args a;
    int64_t n = nid, nmem = -9, e = -9;
    tkspr2_(a.in_array(path, kw), &n, a.in(kSetQualifiers[k % 3], 8), &nmem, &nsets, &e, kw, 8);
    if (nmem < 0 || nsets < 0) fz::fail("TKSPR2 gave a negative count");
    if (e != 0) nsets = 0;
  }
  if (sane(nsets)) {
    Args a;
    size_t pw = width(k++, 12);
    int64_t n = nid, idum = 0, e = -9;
    tkprfp_(a.in_array(path, kw), &n, &idum, a.out(pw, nsets), &e, kw, pw);
  }
  for (int64_t s : {int64_t{1}, k % (inner(nsets) + 3) - 1}) {
    for (int64_t n : {nd, int64_t{0}}) {
      if (n == 0 && s != 1) continue;
      Args a;
      size_t pw = width(k, 12), dw = width(k + 1, 8), bw = width(k + 2, 4), uw = width(k + 3, 12),
             lw = width(k + 4, 16);
      int64_t ni = nid, nn = n, ss = s, e = -9;
      tknprf_(a.in_array(path, kw), &ni, &nn, &ss, a.out(pw), a.out(dw), a.out(dw), a.out(dw), a.out(bw), a.out(bw),
              a.reals(n), a.out(uw), a.out(lw), &e, kw, pw, dw, dw, dw, bw, bw, uw, lw);
      ++k;
    }
  }
  f.check("the sibling-profile routines moved the free pointer");

  // Block results chosen by descriptors; the model goes into IDS(2).
  if (path.size() == 4 && path[0] == "BLOCK") {
    const std::vector<std::string> names{"PROPERTIES", "SUBSTREAM", "N_COL", "UNITS"};
    const std::vector<std::string> vals{pname, "", "1", "MASS"};
    {
      static const int64_t kWanted[] = {1, 4, 0};
      Args a;
      size_t qw = width(k, 8);
      int64_t n = nid, kk = kWanted[k % 3], e = -9;
      tksplt_(&n, a.in_array(path, kw), &kk, a.in_array(names, 16), a.in_array(vals, 16), a.out(qw), &e, kw, 16, 16,
              qw);
      if (e < 0 || e > 3) fz::fail("TKSPLT gave an undocumented IERR");
    }
    {
      const std::vector<std::string> xsect{"COL_INFO", "TRC_PRO", "RESULTS"};
      const int64_t nx = 3 - (k & 3);  // 3, 2, 1, 0 in turn
      Args a;
      size_t qw = width(k + 1, 8);
      int64_t n = nid, kk = 2, x = nx, e = -9;
      std::vector<std::string> xs(xsect.begin(), xsect.begin() + std::max<int64_t>(nx, 0));
      tkspl2_(&n, a.in_array(path, kw), &kk, a.in_array(names, 16), a.in_array(vals, 16), &x, a.in_array(xs, 8),
              a.out(qw), &e, kw, 16, 16, 8, qw);
      if (e < 0 || e > 3) fz::fail("TKSPL2 gave an undocumented IERR");
    }
    const std::vector<std::string> descriptors{pname, "", "", "", "", ""};
    static const int64_t kDescriptors[] = {1, 6, 9, 0};
    for (int64_t npoint : {nd, nd + 1}) {
      const int64_t nk = kDescriptors[(k++) & 3];
      Args a;
      size_t uw = width(k, 12), lw = width(k + 1, 16);
      int64_t n = nid, kk = nk, pts = npoint, e = -9;
      std::vector<std::string> kv(descriptors.begin(), descriptors.begin() + std::clamp<int64_t>(nk, 0, 6));
      tkprfr_(a.in_array(path, kw), &n, a.in_array(kv, 16), &kk, &pts, a.reals(npoint), a.out(uw), a.out(lw), &e, kw,
              16, uw, lw);
    }
    f.check("the block-result choice routines moved the free pointer");
  }
}

// Numbered identifiers: digits appended within the field.
void numbered_ids(int k) {
  for (int64_t n : {int64_t{-1}, int64_t{0}, int64_t{7}, int64_t{123456789012}, INT64_MAX}) {
    for (const char* lead : {"TRAY", "", "ABCDEFGHIJKLMNOP"}) {
      Args a;
      size_t w = width(k++, 16);
      int64_t nn = n;
      tkspid_(a.in(lead, w), &nn, w);
    }
  }
}

// ---- List operations: value counts and the block operations --------------------

void list_operations(const std::vector<std::string>& lsets, const std::vector<std::vector<std::string>>& paths,
                     int k) {
  Fixed f;
  // A window of the loading sequences that moves with k, and the last one
  // (a name that is not there).
  std::vector<std::string> window;
  const size_t start = lsets.size() > 1 ? static_cast<size_t>(k) * 3 % (lsets.size() - 1) : 0;
  for (size_t i = 0; i + 1 < lsets.size() && i < 5; ++i) window.push_back(lsets[(start + i) % (lsets.size() - 1)]);
  if (!lsets.empty()) window.push_back(lsets.back());
  for (const std::string& name : window) {
    std::vector<int64_t> idlist(2000), ops(2000);
    int64_t nids = 0, nops = 0, ierr = 0;
    tklset_(arena(3).text(name, 8), idlist.data(), &nids, ops.data(), &nops, &ierr, 8);
    if (nids < 0 || nids > 1000 || nops < 0 || nops > 2000) continue;
    // Dimensions of every set the sequence names.
    std::vector<int64_t> dims(2 * static_cast<size_t>(nids));
    for (int64_t s = 0; s < nids; ++s) {
      char set[8];
      int64_t nw = 2, nc = 8;
      tkinsc_(&nw, &idlist[2 * static_cast<size_t>(s)], &nc, set, 8);
      tkidim_(set, &dims[2 * static_cast<size_t>(s)], &dims[2 * static_cast<size_t>(s) + 1], 8);
    }
    // Counters at the free words, and in turn at the last two words of the
    // work area, past it, or in front of it.
    const std::array<int64_t, 3> elsewhere{TK_WORK_WORDS - 1, TK_WORK_WORDS, 0};
    for (int64_t free : {tklocs_[24], elsewhere[static_cast<size_t>(k) % 3]}) {
      Args a;
      int64_t n = nops, ni = nids, fr = free, nd = -9, w = -9;
      int64_t* o = a.ints(nops);
      std::copy_n(ops.begin(), nops, o);
      int64_t* d = a.ints(2 * nids);
      std::copy_n(dims.begin(), 2 * nids, d);
      tkloop_(&n, o, &ni, d, &fr, &nd, &w);
      // Open-ended sets (NMEM -1) count as such; others never go below 0.
      if (std::all_of(dims.begin(), dims.end(), [](int64_t x) { return x >= 0; }) && (nd < 0 || w < 0))
        fz::fail("TKLOOP gave a negative count");
    }
  }
  // Loops nested deeper than the words left at the end of the work area.
  {
    Args a;
    int64_t n = 12, nids = 1, fr = TK_WORK_WORDS - 5, nd = -9, w = -9;
    int64_t* o = a.ints(12);
    for (int i = 0; i < 12; ++i) o[i] = i < 6 ? 14 : 15;
    int64_t* d = a.ints(2);
    d[0] = 1, d[1] = 3;
    tkloop_(&n, o, &nids, d, &fr, &nd, &w);
  }

  // Copy and cross the qualifier pairs of a data set's block (the first of
  // the paths that has values) into free words past that data set.
  const int64_t free = tklocs_[24];
  int64_t nqual = 0, ndata = 0, locq = 0, locd = 0;
  for (size_t i = 0; i < paths.size() && i < 6 && ndata == 0; ++i) {
    const size_t kw = key_width(paths[i], 0);
    std::string ids(kw * paths[i].size(), ' ');
    for (size_t j = 0; j < paths[i].size(); ++j) ids.replace(kw * j, paths[i][j].size(), paths[i][j]);
    int64_t nid = static_cast<int64_t>(paths[i].size());
    tkdset_(&nid, arena(3).text(ids, ids.size()), arena(4).text("", 8), &nqual, &ndata, &locq, &locd, kw, 8);
  }
  if (ndata <= 0 || nqual < 0 || locq < 1) {
    nqual = 0, ndata = 0, locq = free;
  }
  const int64_t locb = locq + 4 * nqual;
  const int64_t nval = std::min<int64_t>(ndata, 64), ncol = std::min<int64_t>(nqual, 8);
  const int64_t room = std::max(free, locd + 5 * ndata) + 16;
  for (int64_t nnew : {ncol, ncol + 2, int64_t{1}, int64_t{0}, int64_t{-1}}) {
    Args a;
    int64_t b = locb, n = room, nn = nnew, no = ncol, nv = nval, ierr = -9;
    int64_t* cols = a.ints(ncol);
    for (int64_t i = 0; i < ncol; ++i) cols[i] = (i * 7 + k) % (ncol + 3) - 1;
    tkcpwa_(&b, &n, &nn, &no, &nv, cols, &ierr);
    if (ierr != 0 && ierr != 1) fz::fail("TKCPWA gave an undocumented IERR");
  }
  // Over its source, on the last word of the work area (no block of a value
  // fits there: it takes at least 2 words), in front of the work area.
  for (int64_t locn : {room, locb, int64_t{TK_WORK_WORDS}, int64_t{-4}}) {
    Args a;
    int64_t b = locb, n = locn, nn = ncol, no = ncol, nv = nval, ierr = -9;
    int64_t* cols = a.ints(ncol);
    for (int64_t i = 0; i < ncol; ++i) cols[i] = i + 1;
    tkcpwa_(&b, &n, &nn, &no, &nv, cols, &ierr);
    if (nval > 0 && locn != room && ierr != 1) fz::fail("TKCPWA wrote a block over its source or past the work area");
  }
  const std::array<std::array<int64_t, 3>, 6> crosses{{{std::min<int64_t>(nval, 8), std::min<int64_t>(nval, 8), room},
                                                       {nval, 1, room},
                                                       {0, 3, room},
                                                       {-1, 2, room},
                                                       {2, 2, locb},
                                                       {3, 3, TK_WORK_WORDS - 10}}};
  for (const auto& [nx, ny, locn] : crosses) {
    int64_t x = locb, nnx = nx, y = locb, nny = ny, nc = ncol, n = locn, ierr = -9;
    tkicrs_(&x, &nnx, &y, &nny, &nc, &n, &ierr);
    if (ierr != 0 && ierr != 1) fz::fail("TKICRS gave an undocumented IERR");
  }
  tklocs_[24] = free;
  f.check("the list operations moved the free pointer");
}

// ---- The data-set tree: additions to a caller's copy ----------------------------

// Words an addition of the path may take: per level its key words (at least
// 2) and 3, and the record's 5.
int64_t room_for(const std::vector<std::string>& path) {
  int64_t words = 5;
  for (const std::string& key : path) {
    const int64_t nk = std::max<int64_t>(1, (static_cast<int64_t>(key.size()) + 3) / 4);
    words += std::max<int64_t>(2, nk) + 3;
  }
  return words;
}

void tree_additions(const std::vector<Object>& blocks, int k) {
  const int64_t base = tklocs_[6], used = tklocs_[7];
  if (base < 1 || used < 1 || base - 1 + used > TK_WORK_WORDS || used > 60000) return;
  std::vector<std::vector<std::string>> paths;
  std::vector<int64_t> modes;
  if (!blocks.empty()) {
    const Object& b = blocks[static_cast<size_t>(k) % blocks.size()];
    paths.push_back({"BLOCK", b.type, b.id, "RESULTS"});  // found: a duplicate
    modes.push_back(4);
    paths.push_back({"BLOCK", b.type, b.id, "NEWSECT"});
    modes.push_back(3);
    paths.push_back({"BLOCK", b.type, b.id});
    modes.push_back(0);
  }
  paths.push_back({"NEWTOP", "A", "LONGER-KEYWORD", "B"});
  modes.push_back(k & 1 ? 3 : -1);
  paths.push_back({"RUN-STATUS"});
  modes.push_back(5);
  int64_t room = 0;
  for (const auto& p : paths) room += room_for(p);
  int64_t* tree = arena(0).words(static_cast<size_t>(used + room));
  std::memcpy(tree, &tkwork_[base - 1], static_cast<size_t>(used) * sizeof(int64_t));
  int64_t nused = used;
  for (size_t i = 0; i < paths.size(); ++i) {
    const size_t kw = key_width(paths[i], k + static_cast<int>(i));
    std::string ids(kw * paths[i].size(), ' ');
    for (size_t j = 0; j < paths[i].size(); ++j) ids.replace(kw * j, paths[i][j].size(), paths[i][j]);
    int64_t mode = modes[i], nids = static_cast<int64_t>(paths[i].size()), idata = 77, ipos = 0, ierr = 0;
    const size_t vw = width(k + static_cast<int>(i), 8);
    const int64_t before = nused;
    tkdtre_(&mode, &nids, arena(1).text(ids, ids.size()), arena(2).text("QUAL", vw), &idata, tree, &nused, &ipos,
            &ierr, kw, vw);
    if (nused < before || nused > used + room) fz::fail("TKDTRE grew the tree past the room it needs");
  }
  // Lookups that do not exist, and a path of no keywords.
  int64_t mode = 1, nids = 0, idata = 0, ipos = 0, ierr = 0;
  tkdtre_(&mode, &nids, arena(1).tail(0), arena(2).tail(8), &idata, tree, &nused, &ipos, &ierr, 0, 8);
}

// ---- Packed words and the table searches on the loaded tables -------------------

void packed_words(const std::vector<Object>& blocks, int k) {
  tknsys_();
  const int64_t table = tklocs_[8], n = tkglob_[3];
  const bool table_ok = table >= 1 && n >= 0 && n <= 10000 && table - 1 + 34 * n <= TK_WORK_WORDS;
  for (const Object& b : blocks) {
    for (int64_t nchar : {static_cast<int64_t>(b.id.size()), int64_t{128}, int64_t{0}, int64_t{-3}}) {
      Args a;
      const size_t w = width(k++, 128);
      int64_t nc = nchar, nword = -9;
      const int64_t words = nchar > 0 ? (nchar + 3) / 4 : 0;
      int64_t* packed = a.ints(words);
      tkcins_(&nc, a.in(b.id, w), &nword, packed, w);
      if (nword != words) fz::fail("TKCINS used another number of words than NCHAR asks");
      if (words == 0) continue;
      // Characters moved between packed texts, inside and outside them.
      int64_t* dst = a.ints(2);
      for (int64_t i : {int64_t{1}, 4 * words, int64_t{0}}) {
        for (int64_t j : {int64_t{8}, int64_t{1}, int64_t{-1}}) {
          int64_t ii = i, jj = j;
          tkmbyt_(packed, &ii, dst, &jj);
        }
      }
      if (nchar != 128 || !table_ok || n == 0) continue;
      int64_t* key = packed;
      const std::array<std::array<int64_t, 4>, 5> searches{{{34, n, 1, 32}, {34, n, 1, 2}, {34, n, 0, 32},
                                                            {-1, n, 1, 32}, {34, 0, 1, 0}}};
      for (const auto& [stride, nn, offset, nw] : searches) {
        int64_t s = stride, cnt = nn, off = offset, keyw = nw, lin = -9, bin = -9;
        tklnsh_(key, &tkwork_[table - 1], &s, &cnt, &off, &keyw, &lin);
        tkbnsh_(key, &tkwork_[table - 1], &s, &cnt, &off, &keyw, &bin);
        if (lin < 0 || lin > cnt || bin < 0 || bin > std::max<int64_t>(cnt, 0))
          fz::fail("a table search gave an entry outside the table");
        if (stride == 34 && offset == 1 && nw == 32 && (lin == 0) != (bin == 0))
          fz::fail("linear and binary search disagree on a sorted table");
      }
    }
    {
      Args a;
      const size_t w = width(k++, 16);
      int64_t nn = static_cast<int64_t>(w) + (k & 1 ? 5 : 0), ival = -9, ierr = -9;
      tkcint_(&nn, a.in(b.id, w), &ival, &ierr, w);
      char* t = a.in(b.id, w);
      tkcase_(&nn, t, w);
      tkuppr_(t, &nn, w);
      int64_t cls = 3, nc = nn;
      tkccls_(&cls, a.ints(256), a.in(b.id, w), &nc, w);
    }
  }
  // A caller's copy of the block table, sorted on several keys.
  if (table_ok && n > 0) {
    const int64_t m = std::min<int64_t>(n, kMaxObjects);
    const std::array<std::array<int64_t, 2>, 4> keys{{{1, 32}, {33, 2}, {30, 5}, {1, 0}}};
    for (const auto& [kstart, nkey] : keys) {
      Args a;
      int64_t* copy = a.ints(34 * m);
      std::memcpy(copy, &tkwork_[table - 1], static_cast<size_t>(34 * m) * sizeof(int64_t));
      int64_t stride = 34, nn = m, ks = kstart, nk = nkey;
      tksort_(&stride, &nn, copy, &ks, &nk, a.ints(34));
    }
  }
  // Regions laid out in a caller's words.
  for (int64_t mode : {int64_t{1}, int64_t{2}}) {
    Args a;
    int64_t limit = 64 + 8 * (k & 7), nreg = 4, need = -9, md = mode;
    int64_t* work = a.ints(limit);
    int64_t* regions = a.ints(12);
    for (int64_t r = 0; r < 4; ++r) {
      regions[3 * r] = 1 + 4 * r;
      regions[3 * r + 1] = (r + k) % 5 * 3;
      regions[3 * r + 2] = 4;
    }
    tkmemo_(&limit, work, &md, &nreg, regions, &need);
  }
}

#include "fuzz/equipment_families.hpp"
#include "fuzz/heat_transfer_family.hpp"
#include "fuzz/pipeline_family.hpp"
#include "column_queries.hpp"
#include "fuzz/reactor_relief_family.hpp"
#include "fuzz/refinery_queries.hpp"

// ---- Every later family -------------------------------------------------------

void query_families(const std::vector<std::string>& lsets, int k) {
  const std::vector<Object> blocks = objects_of("BLOCK", tkglob_[3], k);
  const std::vector<Object> streams = objects_of("STREAM", tkglob_[4], k);
  const std::vector<Object> tables = objects_of("PROP-TABLE", tkglob_[5], k);
  const Object missing{"NO-SUCH-OBJECT", "MATERIAL"};

  components(k);
  flowsheet_balance();
  for (const Object& b : blocks) block_connectivity(b.id, k++);
  block_connectivity(missing.id, k);
  block_connectivity("", k);
  for (const Object& s : streams) stream_results(s, k++);
  stream_results(missing, k);
  for (const Object& b : blocks) block_results(b.id, k++);
  block_results(missing.id, k);
  for (const Object& b : blocks) heating_curves(b.id, k++), exchanger_detail(b.id, k++);
  heating_curves(missing.id, k);
  exchanger_detail(missing.id, k);
  for (const Object& b : blocks) column_queries(b.id, k++), refinery_queries(b.id, k++);
  column_queries(missing.id, k);
  refinery_queries(missing.id, k);
  for (const Object& t : tables) property_table(t.id, k++);
  property_table(missing.id, k);
  std::vector<std::string> studies = children_of("SENSITIVITY");
  studies.push_back(missing.id);
  for (const std::string& s : studies) sensitivity(s, k++);
  for (const Object& b : blocks) compressor(b.id, k++);
  compressor(missing.id, k);
  for (const Object& b : blocks) pipeline(b.id, k++);
  pipeline(missing.id, k);
  for (const Object& e : objects_of("EQUIPMEN", tkglob_[19], k)) costed_item(e.id, k++);
  costed_item(missing.id, k);
  reactor_relief_families(blocks, k++);

  // Data-set paths for the value-access routines: the sections of blocks
  // and streams as the tree holds them, tables, studies, top-level sets.
  // Each input takes a window of them that moves with k and the file.
  std::vector<std::vector<std::string>> candidates;
  auto sections_of = [&](const std::vector<std::string>& prefix, size_t cap) {
    if (candidates.size() >= kMaxCandidates) return;
    const int64_t node = tree_node(prefix, k++);
    if (node == 0) return;
    for (const std::string& s : child_keywords(node, cap)) {
      std::vector<std::string> p = prefix;
      p.push_back(s);
      candidates.push_back(p);
    }
  };
  for (const Object& b : blocks) sections_of({"BLOCK", b.type, b.id}, 4);
  for (const Object& s : streams) sections_of({"STREAM", s.type, s.id}, 2);
  for (const Object& t : tables) candidates.push_back({"PROP-TABLE", t.type, t.id, "PROPTAB"});
  for (const std::string& s : studies) candidates.push_back({"SENSITIVITY", s, "SNS_TAB"});
  std::vector<std::vector<std::string>> paths;
  const size_t start = candidates.empty() ? 0 : static_cast<size_t>(k) * 5 % candidates.size();
  for (size_t i = 0; i < candidates.size() && i < kMaxPaths; ++i)
    paths.push_back(candidates[(start + i) % candidates.size()]);
  const std::vector<std::vector<std::string>> fixed{
      {"FLWBAL"}, {"MW", "MW"}, {"RUN-STATUS", "TITLE"}, {"BLOCK", "HEATER", "NO-SUCH", "RESULTS"}};
  paths.push_back(fixed[static_cast<size_t>(k) % fixed.size()]);
  paths.push_back(fixed[static_cast<size_t>(k + 1) % fixed.size()]);
  paths.push_back({});
  paths.push_back({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"});
  for (const auto& p : paths) value_access(p, k++);
  numbered_ids(k);

  list_operations(lsets, paths, k);
  tree_additions(blocks, k);
  std::vector<Object> few(blocks.begin(), blocks.begin() + std::min<size_t>(blocks.size(), 8));
  few.push_back({"", ""});
  few.push_back({"  12 x", ""});
  packed_words(few, k);
}

}  // namespace
