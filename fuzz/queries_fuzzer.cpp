// A fuzzed summary file (seeded from valid fixtures) is loaded, then every
// query routine is called on every identifier the item tables hold and on a
// few they do not; the later families are in query_families.hpp. Every
// caller field and array lies against a guard page, so a write past a
// hidden length or a count faults at once. Field widths cycle through 0, 1
// and the documented widths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.hpp"

namespace fz = flowsum::fuzz;

namespace {

constexpr int64_t kMaxObjects = 64;  // objects a kind asked about per input
constexpr int64_t kMaxSearchSteps = 200000;

// Arenas 0 to 5 serve the calls here; the later families take one arena per
// argument from kFirstCallArena on (query_families.hpp).
constexpr int kFirstCallArena = 6, kCallArenas = 14;

fz::GuardedArena& arena(int k) {
  static fz::GuardedArena** arenas = [] {
    auto** a = new fz::GuardedArena*[kFirstCallArena + kCallArenas];
    for (int i = 0; i < kFirstCallArena + kCallArenas; ++i)
      a[i] = new fz::GuardedArena(i < 2 || i >= kFirstCallArena ? 1 << 20 : 1 << 16);
    return a;
  }();
  return *arenas[k];
}

std::string trimmed(const char* p, size_t n) {
  std::string s(p, n);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// Width of a caller's field for call number k: 0, 1, a short and the
// documented width, in turn.
size_t width(int k, size_t documented) {
  switch (k & 3) {
    case 0: return 0;
    case 1: return 1;
    case 2: return documented > 4 ? documented / 2 : documented;
    default: return documented;
  }
}

struct Fixed {
  int64_t before;
  explicit Fixed() : before(tklocs_[24]) {}
  void check(const char* routine) const { fz::check_free_pointer(before, routine); }
};

void run_information(int k) {
  Fixed f;
  size_t w = width(k, 64);
  tktitl_(arena(0).tail(w), w);
  int64_t* ierr = arena(2).words(1);
  size_t w8 = width(k, 8), w12 = width(k + 1, 80);
  tkacct_(arena(0).tail(w8), arena(1).tail(w8), arena(3).tail(w12), arena(4).tail(w12), ierr, w8, w8,
          w12, w12);
  int64_t* n = arena(2).words(1);
  tknals_(n);
  if (*n >= 0 && *n < 10000) {
    size_t a = width(k, 8), b = width(k + 2, 12);
    int64_t idum = 0;
    tkalis_(&idum, arena(0).tail(a * static_cast<size_t>(*n)), arena(1).tail(b * static_cast<size_t>(*n)),
            arena(3).words(1), a, b);
  }
  tkncsn_(n);
  if (*n >= 0 && *n < 10000) {
    size_t a = width(k + 1, 8), b = width(k, 12);
    int64_t idum = 0;
    tkcasn_(&idum, arena(0).tail(a * static_cast<size_t>(*n)), arena(1).tail(b * static_cast<size_t>(*n)),
            arena(3).words(1), a, b);
  }
  size_t v = width(k, 16);
  tkinfo_(arena(0).tail(v), arena(1).tail(v), arena(3).tail(v), arena(4).tail(v), arena(2).words(1),
          arena(5).words(6), arena(2).words(1), arena(2).words(1), arena(2).words(1), arena(2).words(1),
          v, v, v, v);
  f.check("run information moved the free pointer");
}

void units(int k) {
  Fixed f;
  const int64_t ntypes = tkglob_[7];
  for (int64_t type = -1; type <= ntypes + 1 && type <= 120; ++type) {
    for (int64_t unit = -1; unit <= 3; ++unit) {
      double value = 2.5 + static_cast<double>(unit), result = 0;
      size_t w = width(k + static_cast<int>(type), 16);
      int64_t t = type, u = unit;
      tkucnv_(&t, &u, &value, &result, arena(0).tail(w), w);
      f.check("TKUCNV moved the free pointer");
      char label[16] = {'K', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
      tkrcnv_(&t, &u, label, &value, &result, 16);
      f.check("TKRCNV moved the free pointer");
    }
  }
  static const char* kTypes[] = {"TEMPERATURE", "PRESSURE", "MASS-FLOW", "NO-SUCH-TYPE", ""};
  for (int i = 0; i < 5; ++i) {
    size_t lw = width(k + i, 16);
    std::string type = kTypes[i];
    int64_t n = 3;
    tkcnvt_(arena(3).text(type, type.size()), arena(4).text("C", 1), &n, arena(2).reals(3),
            arena(1).reals(3), type.size(), 1);
    f.check("TKCNVT moved the free pointer");
    n = 1;
    tklabl_(&n, arena(3).text(type, 12), arena(0).tail(lw), 12, lw);
    f.check("TKLABL moved the free pointer");
  }
  // With no target-unit table yet, TKUNIT makes one at the free word and
  // moves the pointer past it; otherwise the pointer stays.
  const bool had_targets = tklocs_[12] != 0;
  int64_t n = 2, ierr = 0;
  std::string types = "TEMPERATURE PRESSURE    ";
  std::string labels = "F               PSIG            ";
  tkunit_(arena(3).text("ENG", 3), &n, arena(4).text(types, 24), arena(5).text(labels, 32), &ierr, 3, 12,
          16);
  if (had_targets) f.check("TKUNIT moved the free pointer");
  n = 0;
  tkunit_(arena(3).text("SI", 2), &n, arena(4).tail(0), arena(5).tail(0), &ierr, 2, 0, 0);
  if (had_targets) f.check("unit routines moved the free pointer");
}

// Identifier lists through every listing routine, and the identifiers read
// back for the per-object calls.
std::vector<std::string> list_kind(const char* kind, int64_t count, int k) {
  std::vector<std::string> ids;
  int64_t n = count < kMaxObjects ? count : kMaxObjects;
  for (int64_t wanted : {n, n + 2, int64_t{0}, int64_t{-3}}) {
    size_t iw = width(k, 128), tw = width(k + 1, 12);
    size_t m = wanted > 0 ? static_cast<size_t>(wanted) : 0;
    std::string kindtext = kind;
    int64_t want = wanted;
    tklids_(arena(3).text(kindtext, 12), &want, arena(0).tail(iw * m), arena(1).tail(tw * m),
            arena(2).words(1), 12, iw, tw);
  }
  for (int64_t index = -1; index <= n + 1; ++index) {
    int64_t i = index;
    char* id = arena(0).tail(128);
    tknext_(arena(3).text(kind, 12), &i, id, arena(1).tail(8), arena(2).words(1), 12, 128, 8);
    if (index >= 1 && index <= n) ids.push_back(trimmed(id, 128));
  }
  return ids;
}

void object_ids(int k) {
  Fixed f;
  int64_t nblk = tkglob_[3], nstr = tkglob_[4], nppt = tkglob_[5], neq = 0, nprs = 0;
  tkneq_(&neq);
  tknprs_(&nprs);
  for (int64_t count : {nblk, nstr, neq, nprs}) {
    int64_t n = count < kMaxObjects ? count : kMaxObjects;
    for (int64_t wanted : {n, n + 1, int64_t{0}, int64_t{-2}}) {
      size_t m = wanted > 0 ? static_cast<size_t>(wanted) : 0;
      size_t iw = width(k, 128), tw = width(k + 1, 12);
      int64_t want = wanted;
      tkbids_(&want, arena(0).tail(iw * m), arena(1).tail(tw * m), arena(2).words(1), iw, tw);
      tksids_(&want, arena(0).tail(iw * m), arena(1).tail(tw * m), arena(2).words(1), iw, tw);
      tkeids_(&want, arena(0).tail(iw * m), arena(1).tail(tw * m), arena(2).words(1), iw, tw);
      tkpids_(&want, arena(0).tail(iw * m), arena(2).words(1), iw);
    }
  }
  int64_t most = std::max({nblk, nstr, nppt, neq, nprs});
  if (most > kMaxObjects) most = kMaxObjects;
  for (int64_t index = -1; index <= most + 1; ++index) {
    size_t iw = width(k + static_cast<int>(index), 128), tw = width(k + static_cast<int>(index) + 1, 12);
    int64_t i = index;
    tknblk_(&i, arena(0).tail(iw), arena(1).tail(tw), arena(2).words(1), iw, tw);
    i = index;
    tknstr_(&i, arena(0).tail(iw), arena(1).tail(tw), arena(2).words(1), iw, tw);
    i = index;
    tknppt_(&i, arena(0).tail(iw), arena(1).tail(tw), arena(2).words(1), iw, tw);
    i = index;
    tkneqp_(&i, arena(0).tail(iw), arena(1).tail(tw), arena(2).words(1), iw, tw);
    i = index;
    tknxpr_(&i, arena(0).tail(iw), arena(2).words(1), iw);
  }
  f.check("object identifiers moved the free pointer");
}

// The data set of a path: TKNVAL and TKDSET, whose blocks must lie inside
// the work area.
void data_set(const std::vector<std::string>& path, int k) {
  Fixed f;
  size_t kw = width(k, 128) == 0 ? 128 : width(k, 128);
  int64_t nid = static_cast<int64_t>(path.size());
  std::string ids(kw * path.size(), ' ');
  for (size_t i = 0; i < path.size(); ++i) ids.replace(kw * i, std::min(kw, path[i].size()), path[i].substr(0, kw));
  tknval_(arena(3).text(ids, ids.size()), &nid, arena(2).words(1), arena(2).words(1), arena(2).words(1),
          kw);
  f.check("TKNVAL moved the free pointer");
  int64_t nqual = 0, ndata = 0, locq = 0, locd = 0;
  size_t qw = width(k + 1, 8);
  tkdset_(&nid, arena(3).text(ids, ids.size()), arena(4).text("", qw), &nqual, &ndata, &locq, &locd,
          kw, qw);
  f.check("TKDSET moved the free pointer");
  if (ndata > 0) {
    if (nqual < 0 || locq < 1 || locd < 1 || locd > TK_WORK_WORDS)
      fz::fail("TKDSET gave blocks outside the work area");
    // The value block (5 words a value) must end inside the work area.
    if (ndata > TK_WORK_WORDS || locd - 1 + 5 * ndata > TK_WORK_WORDS)
      fz::fail("TKDSET value block runs past the work area");
  }
}

void item_search(const std::vector<std::string>& blocks, int k) {
  static const char* kSearches[] = {"BLK_ANY", "STR_ANY", "PTB_ANY", "EQP_ANY", "BLK_TYPE",
                                    "STR_TYPE", "PTB_TYPE", "EQP_TYPE", "EQP_SPEC", "SENSITIV",
                                    "NOSUCH", "BLK_SPEC", "STR_SPEC"};
  for (const char* stype : kSearches) {
    char* arg3 = arena(0).text(std::string(stype) == "BLK_SPEC" ? "HEATER" : "MATERIAL", 128);
    char* arg4 = arena(1).tail(128, ' ');
    int64_t mode = 1;
    for (int64_t step = 0;; ++step) {
      int64_t ipos = 0;
      tknitm_(arena(3).text(stype, 8), &mode, arg3, arg4, &ipos, 8, 128, 128);
      mode = 0;
      if (ipos <= 0) break;
      if (ipos > TK_WORK_WORDS) fz::fail("TKNITM node outside the work area");
      if (step > kMaxSearchSteps) fz::fail("TKNITM search never ends");
    }
  }
  static const char* kSections[] = {"HCURVE", "HOT_HCUR", "COLD_HCU", "REB_HCUR", "COND_HCU",
                                    "ICH_HCUR", "COL_PROF"};
  std::vector<std::string> targets = blocks;
  targets.push_back("NO-SUCH-BLOCK");
  for (const std::string& block : targets) {
    for (const char* stype : kSections) {
      char* arg3 = arena(0).tail(128, ' ');
      char* arg4 = arena(1).text(block, 128);
      int64_t mode = 1;
      for (int64_t step = 0;; ++step) {
        int64_t ipos = 0;
        tknitm_(arena(3).text(stype, 8), &mode, arg3, arg4, &ipos, 8, 128, 128);
        mode = 0;
        if (ipos <= 0) break;
        if (step > kMaxSearchSteps) fz::fail("TKNITM section search never ends");
      }
    }
    size_t tw = width(k, 8);
    tkvblk_(arena(3).text(block, block.size()), arena(0).tail(tw), arena(2).words(1), block.size(), tw);
  }
  (void)k;
}

// Loading sequences and identifier sets named in the file's directories.
std::vector<std::string> directory_names(int64_t base_word, int64_t count_word) {
  std::vector<std::string> names;
  int64_t base = tklocs_[base_word - 1], n = tklocs_[count_word - 1];
  if (base < 1 || n < 0 || n > 100000 || base - 1 + 3 * n > TK_WORK_WORDS) return names;
  for (int64_t i = 0; i < n && i < kMaxObjects; ++i) {
    char text[8];
    int64_t nword = 2, nchar = 8;
    tkinsc_(&nword, &tkwork_[base - 1 + 3 * i + 1], &nchar, text, 8);
    names.push_back(trimmed(text, 8));
  }
  return names;
}

void sequences(int k) {
  Fixed f;
  std::vector<std::string> lsets = directory_names(5, 6);
  lsets.push_back("NOSUCH");
  for (const std::string& name : lsets) {
    int64_t nids = 0, nops = 0, ierr = 0;
    tklset_(arena(3).text(name, 8), arena(0).words(2000), &nids, arena(1).words(2000), &nops, &ierr, 8);
    if (nids < 0 || nids > 1000 || nops < 0 || nops > 2000) fz::fail("TKLSET counts beyond its arrays");
    int64_t ndata = 0, nqual = 0, locq = 0;
    tklist_(arena(3).text(name, 8), &ndata, &nqual, &locq, 8);
    tklocs_[24] = f.before;  // TKLIST leaves the pointer after its block
  }
  std::vector<std::string> idsets = directory_names(3, 4);
  idsets.push_back("NOSUCH");
  for (const std::string& name : idsets) {
    int64_t nq = 0, nmem = 0;
    tkidim_(arena(3).text(name, 8), &nq, &nmem, 8);
    if (nq > 0 && nq < 50 && nmem >= 0 && nmem < 2000) {
      size_t q = static_cast<size_t>(nq), m = static_cast<size_t>(nmem);
      int64_t a = nq, b = nmem;
      tkiset_(arena(3).text(name, 8), &a, &b, arena(0).words(4 * q), arena(1).words(2 * q * m + 1),
              arena(4).words(m + 1), arena(5).words(m + 1), 8);
    }
    tkivec_(arena(3).text(name, 8), arena(2).words(8), 8);
  }
  (void)k;
  f.check("loading-sequence routines moved the free pointer");
}

}  // namespace

#include "fuzz/query_families.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fz::InputFile input(".sum");
  static const std::string property_file = fz::bundled_reference("RCPROPNU.DAT");
  static const std::string unit_file = fz::bundled_reference("RCUNITS.DAT");
  input.write(data, size);
  int64_t ierr = fz::load_summary(input.path(), property_file, unit_file);
  if (ierr == -100) fz::fail("the summary file could not be opened");
  const int k = static_cast<int>(size & 3);

  run_information(k);
  object_ids(k);
  std::vector<std::string> blocks = list_kind("BLOCK", tkglob_[3], k);
  std::vector<std::string> streams = list_kind("STREAM", tkglob_[4], k);
  list_kind("PROP-TABLE", tkglob_[5], k);
  list_kind("EQUIPMEN", 8, k);
  for (const char* keyword : {"RUN-STATUS", "NO-SUCH-KEY"}) list_kind(keyword, 12, k);
  item_search(blocks, k);

  // Data sets of every block and stream (their types through TKNEXT's
  // stored types), of the run information, and a few that do not exist.
  for (int64_t i = 1; i <= static_cast<int64_t>(blocks.size()); ++i) {
    int64_t index = i;
    char id[128], type[8];
    tknext_(arena(3).text("BLOCK", 12), &index, id, type, arena(2).words(1), 12, 128, 8);
    data_set({"BLOCK", trimmed(type, 8), trimmed(id, 128), "RESULTS"}, k);
    data_set({"BLOCK", trimmed(type, 8), trimmed(id, 128), "COMPSTAT"}, k);
  }
  for (int64_t i = 1; i <= static_cast<int64_t>(streams.size()); ++i) {
    int64_t index = i;
    char id[128], type[8];
    tknext_(arena(3).text("STREAM", 12), &index, id, type, arena(2).words(1), 12, 128, 8);
    data_set({"STREAM", trimmed(type, 8), trimmed(id, 128), "STR_MAIN"}, k);
  }
  for (const char* item : {"TITLE", "VERS", "RUNID", "IT", "STATUS", "ACCOUNT"}) data_set({"RUN-STATUS", item}, k);
  data_set({"PAMB", "PAMB"}, k);
  data_set({"ALIAS"}, k);
  data_set({"A", "B", "C", "D", "E", "F", "G", "H", "I"}, k);
  data_set({"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"}, k);
  data_set({}, k);
  sequences(k);
  std::vector<std::string> lsets = directory_names(5, 6);
  lsets.push_back("NOSUCH");
  query_families(lsets, k);
  units(k);
  fz::unload_summary();
  return 0;
}
