// Heat-exchanger detail and intermediate-stream results.
#include "query/exchanger_detail.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "flowsum.h"
#include "query/block_path.hpp"
#include "loading/reference_tables.hpp"
#include "loading/scanner.hpp"
#include "store/dataset_lookup.hpp"
#include "store/identifier_access.hpp"
#include "store/list_evaluation.hpp"
#include "store/packed_words.hpp"
#include "store/sequence_elements.hpp"
#include "store/text_field.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {
namespace {

constexpr size_t kPathChars = 128;

using Block = BlockPath;

// A block's section path as a caller's text array of four 128-character
// keywords, for the generic readers.
std::string path_field(const Block& b, std::string_view section) {
  std::string s;
  for (std::string_view k : b.path(section)) s += padded(k, kPathChars);
  return s;
}

// The elements of the loading sequence of the first data set of a path.
std::vector<SequenceElement> path_elements(std::span<const std::string_view> path) {
  int64_t node = 0, status = 0;
  DataRecord rec;
  if (TreeNodes::loaded().find(path, node) != 0 || node == 0 || !node_record(node, rec)) return {};
  return sequence_elements(std::string_view(rec.value, 8), status);
}

// Integer tokens among an element's members.
int64_t integer_members(const SequenceElement* e) {
  if (e == nullptr) return 0;
  return std::count_if(e->members.begin(), e->members.end(),
                       [](const DefinitionToken& t) { return t.type == scan::kInteger; });
}

// Number of values of the first data set of a path: its loading sequence's
// count, or the data set's own for an open-ended one; never below 0.
int64_t value_count(std::span<const std::string_view> path) {
  FreePointerGuard guard;
  const ValueShape s = data_set_shape(path);
  if (s.ierr != 0) return 0;
  if (s.ndata >= 0) return s.ndata;
  return std::max<int64_t>(lookup_dataset(path).ndata, 0);
}

// The zone number of a zone qualifier: decimal digits, blanks skipped, the
// first other character ends it.
int64_t zone_number(std::string_view q) {
  int64_t n = 0;
  for (char c : q) {
    if (c == ' ') continue;
    if (c < '0' || c > '9' || n > 100000000) break;
    n = n * 10 + (c - '0');
  }
  return n;
}

// A stored real read as a whole number (0 for one that is none).
int64_t whole_number(double x) {
  return x > -9.0e18 && x < 9.0e18 ? static_cast<int64_t>(x) : 0;
}

// A product of caller counts that fits 64 bits, or -1.
int64_t checked_product(int64_t a, int64_t b) {
  int64_t p = 0;
  if (a < 0 || b < 0 || __builtin_mul_overflow(a, b, &p)) return -1;
  return p;
}

}  // namespace

std::string zone_section(int64_t zone) { return "TWS_Z_" + std::to_string(zone); }

ZoneSizes zone_sizes(std::string_view id) {
  ZoneSizes z;
  const Block b = block_path(id);
  if (!b.block) return z;
  const auto table = b.path("TWS_ZON");
  const std::vector<SequenceElement> elements = path_elements(table);
  if (const SequenceElement* e = find_element(elements, "ZONES")) {
    z.ierr = 0;
    z.nzones = integer_members(e);
  }
  const int64_t nvalues = value_count(table);
  z.nzone_props = z.nzones > 0 ? nvalues / z.nzones : nvalues;
  const std::string first = zone_section(1);
  const auto profile = b.path(first);
  z.npoints = integer_members(find_element(path_elements(profile), "POINTS"));
  int64_t node = 0;
  if (TreeNodes::loaded().find(profile, node) == 0 && node != 0)
    z.nprofile_props = static_cast<int64_t>(equal_siblings(node, first, false).size());
  return z;
}

int64_t intermediate_stream_count(std::string_view id) {
  const Block b = block_path(id);
  if (!b.block) return 0;
  const SequenceElement* e = nullptr;
  const std::vector<SequenceElement> elements = path_elements(b.path("ICSTRM"));
  e = find_element(elements, "ICSTRM");
  if (e == nullptr || e->members.empty()) return 0;
  const DefinitionToken& first = e->members[0];
  if (first.type == scan::kNumberSign) {
    std::string_view t = first.text;
    if (!t.empty() && t[0] == '#') t.remove_prefix(1);
    const UnsignedRead r = read_unsigned(t);
    return r.ierr == 0 ? r.value : 0;
  }
  // The listed streams; the closing ")" is not one of them.
  return static_cast<int64_t>(e->members.size());
}

}  // namespace flowsum

// ---- Exported routines ---------------------------------------------------------

namespace {

using namespace flowsum;

// The thin members: the block checked, then the generic reader on the path.
template <class Read>
void thin(const char* id, size_t id_len, std::string_view section, int64_t* ierr, Read read) {
  if (ierr) *ierr = 1;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    std::string ids = path_field(b, section);
    int64_t nid = 4;
    read(ids.data(), &nid);
  } catch (...) {
    if (ierr) *ierr = 1;
  }
}

int64_t section_count(const Block& b, std::string_view section) { return value_count(b.path(section)); }

void aval_member(std::string_view section, const char* id, int64_t* idum, char* pnames, int64_t* vtypes,
                 int64_t* ivalues, char* texts, double* rvalues, char* utypes, char* ulabels, int64_t* nval,
                 int64_t* ierr, size_t id_len, size_t pnames_len, size_t texts_len, size_t utypes_len,
                 size_t ulabels_len) {
  thin(id, id_len, section, ierr, [&](char* ids, int64_t* nid) {
    tkaval_(ids, nid, idum, pnames, vtypes, ivalues, texts, rvalues, utypes, ulabels, nval, ierr, kPathChars,
            pnames_len, texts_len, utypes_len, ulabels_len);
  });
}

void pval_member(std::string_view section, const char* id, int64_t* idum, char* pnames, double* values,
                 char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len,
                 size_t utypes_len, size_t ulabels_len) {
  thin(id, id_len, section, ierr, [&](char* ids, int64_t* nid) {
    tkpval_(ids, nid, idum, pnames, values, utypes, ulabels, nval, ierr, kPathChars, pnames_len, utypes_len,
            ulabels_len);
  });
}

// The profile-size reader with the first name of a key list.
void profile_size(const Block& b, std::string_view section, std::string_view key, int64_t* nset, int64_t* nper) {
  std::string ids = path_field(b, section);
  int64_t nid = 4, ierr = 0;
  int64_t qwords[4];
  pack_text(padded(key, 16), 16, qwords);
  tksprf_(ids.data(), &nid, qwords, nset, nper, &ierr, kPathChars);
}

}  // namespace

extern "C" {

void tkhxba_(const char* id, int64_t* idum, char* pnames, int64_t* vtypes, int64_t* ivalues, char* texts,
             double* rvalues, char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t id_len,
             size_t pnames_len, size_t texts_len, size_t utypes_len, size_t ulabels_len) {
  aval_member("SHELLS", id, idum, pnames, vtypes, ivalues, texts, rvalues, utypes, ulabels, nval, ierr, id_len,
              pnames_len, texts_len, utypes_len, ulabels_len);
}

void tkhxes_(const char* id, int64_t* idum, char* pnames, int64_t* vtypes, int64_t* ivalues, char* texts,
             double* rvalues, char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t id_len,
             size_t pnames_len, size_t texts_len, size_t utypes_len, size_t ulabels_len) {
  aval_member("EQUIP-SP", id, idum, pnames, vtypes, ivalues, texts, rvalues, utypes, ulabels, nval, ierr, id_len,
              pnames_len, texts_len, utypes_len, ulabels_len);
}

void tkhxsh_(const char* id, int64_t* idum, char* pnames, int64_t* vtypes, int64_t* ivalues, char* texts,
             double* rvalues, char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t id_len,
             size_t pnames_len, size_t texts_len, size_t utypes_len, size_t ulabels_len) {
  aval_member("EQUIP-SP", id, idum, pnames, vtypes, ivalues, texts, rvalues, utypes, ulabels, nval, ierr, id_len,
              pnames_len, texts_len, utypes_len, ulabels_len);
}

void tkhxtu_(const char* id, int64_t* idum, char* pnames, int64_t* vtypes, int64_t* ivalues, char* texts,
             double* rvalues, char* utypes, char* ulabels, int64_t* nval, int64_t* ierr, size_t id_len,
             size_t pnames_len, size_t texts_len, size_t utypes_len, size_t ulabels_len) {
  aval_member("TUBES", id, idum, pnames, vtypes, ivalues, texts, rvalues, utypes, ulabels, nval, ierr, id_len,
              pnames_len, texts_len, utypes_len, ulabels_len);
}

void tkhxd1_(const char* id, int64_t* idum, char* pnames, double* values, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len) {
  pval_member("DET-RES1", id, idum, pnames, values, utypes, ulabels, nval, ierr, id_len, pnames_len, utypes_len,
              ulabels_len);
}

void tkhxd2_(const char* id, int64_t* idum, char* pnames, double* values, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len) {
  pval_member("DET-RES2", id, idum, pnames, values, utypes, ulabels, nval, ierr, id_len, pnames_len, utypes_len,
              ulabels_len);
}

void tkhxno_(const char* id, int64_t* idum, char* pnames, double* values, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len) {
  pval_member("NOZZLES", id, idum, pnames, values, utypes, ulabels, nval, ierr, id_len, pnames_len, utypes_len,
              ulabels_len);
}

void tkhxzo_(const char* id, int64_t* npoint, int64_t* nprop, char* pnames, double* values, char* utypes,
             char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t utypes_len,
             size_t ulabels_len) {
  thin(id, id_len, "TWS_ZON", ierr, [&](char* ids, int64_t* nid) {
    char qname[16];
    TextField(qname, 16).assign("ZONES");
    tkprf2_(ids, nid, qname, npoint, nprop, pnames, values, utypes, ulabels, ierr, kPathChars, 16, pnames_len,
            utypes_len, ulabels_len);
  });
}

void tknhxd_(const char* id, int64_t* ndet1, int64_t* ndet2, size_t id_len) {
  *ndet1 = 0;
  *ndet2 = 0;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    *ndet1 = section_count(b, "DET-RES1");
    *ndet2 = section_count(b, "DET-RES2");
  } catch (...) {
  }
}

void tknhxe_(const char* id, int64_t* nequip, int64_t* ierr, size_t id_len) {
  *nequip = 0;
  *ierr = 1;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    *ierr = 0;
    *nequip = section_count(b, "EQUIP-SP");
  } catch (...) {
  }
}

void tknhxt_(const char* id, int64_t* nzones, int64_t* nzprops, int64_t* nequip, int64_t* ntubes, int64_t* nshells,
             int64_t* nnozzles, size_t id_len) {
  for (int64_t* p : {nzones, nzprops, nequip, ntubes, nshells, nnozzles}) *p = 0;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    FreePointerGuard guard;
    profile_size(b, "TWS_ZON", "ZONES", nzones, nzprops);
    // The shape reader sees no change of zone in a table of one value and
    // gives no shape; such a table is one zone of one property.
    if (*nzones == 0) {
      const DatasetAnswer a = lookup_dataset(b.path("TWS_ZON"));
      if (a.ndata == 1 && a.find_qualifier("ZONES") > 0) *nzones = *nzprops = 1;
    }
    *ntubes = section_count(b, "TUBES");
    *nnozzles = section_count(b, "NOZZLES");
    *nequip = section_count(b, "EQUIP-SP");
    *nshells = section_count(b, "SHELLS");
  } catch (...) {
  }
}

void tkhxpf_(const char* id, const char* section, int64_t* npoints, int64_t* nprops, size_t id_len,
             size_t section_len) {
  *npoints = 0;
  *nprops = 0;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    FreePointerGuard guard;
    int64_t nper = 0;
    profile_size(b, TextField::trim_right(caller_text(section, section_len)), "NPOINTS", npoints, &nper);
    // The first two rows of a point are its position, not properties.
    *nprops = std::max<int64_t>(nper - 2, 0);
  } catch (...) {
  }
}

void tkngm_(const char* id, int64_t* n, size_t id_len) {
  *n = 0;
  try {
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block || b.model != "TWOSIDE") return;
    *n = section_count(b, "GEOMETRY");
  } catch (...) {
  }
}

void tkhxgm_(const char* id, int64_t* n, char* pnames, int64_t* kinds, int64_t* ivalues, char* texts,
             double* rvalues, char* qnames, char* ulabels, int64_t* /*idum*/, size_t id_len, size_t pnames_len,
             size_t texts_len, size_t qnames_len, size_t ulabels_len) {
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const DatasetAnswer a = lookup_dataset(b.path("GEOMETRY"));
    const int64_t pcol = a.find_qualifier("PROPERTIES");
    const int64_t count = std::min<int64_t>(a.ndata, std::max<int64_t>(*n, 0));
    for (int64_t j = 1; j <= count; ++j) {
      const size_t i = static_cast<size_t>(j - 1);
      text_element(pnames, pnames_len, i).assign(pcol > 0 ? property_name(a.qualifier_int(pcol, j)) : "");
      const int64_t t = a.type(j);
      kinds[i] = t == value_type::kInteger ? 1 : t == value_type::kReal ? 2 : 3;
      ivalues[i] = a.int_value(j);
      rvalues[i] = a.real_value(j);
      const TextField text = text_element(texts, texts_len, i), qname = text_element(qnames, qnames_len, i),
                      label = text_element(ulabels, ulabels_len, i);
      text.assign(kinds[i] == 3 ? a.text_value(j) : std::string());
      qname.fill_blank();
      label.fill_blank();
      const int64_t ut = a.unit_type(j);
      if (kinds[i] == 2 && ut != 0) {
        const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
        rvalues[i] = c.value;
        qname.assign(unit_type_name(ut));
        label.assign(c.label_view());
      }
    }
  } catch (...) {
  }
}

void tknhxs_(const char* id, int64_t* nzones, int64_t* nzprops, int64_t* npoints, int64_t* nprofile,
             int64_t* ierr, size_t id_len) {
  *nzones = *nzprops = *npoints = *nprofile = 0;
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const ZoneSizes z = zone_sizes(caller_text(id, id_len));
    *nzones = z.nzones;
    *nzprops = z.nzone_props;
    *npoints = z.npoints;
    *nprofile = z.nprofile_props;
    *ierr = z.ierr;
  } catch (...) {
  }
}

void tkcoef_(const char* id, int64_t* nprop, char* pnames, int64_t* ierr, size_t id_len, size_t pnames_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const std::string first = zone_section(1);
    const auto path = b.path(first);
    int64_t node = 0;
    size_t k = 0;
    const size_t room = static_cast<size_t>(std::max<int64_t>(*nprop, 0));
    if (TreeNodes::loaded().find(path, node) == 0 && node != 0) {
      for (int64_t p : equal_siblings(node, first, false)) {
        DataRecord rec;
        int64_t status = 0;
        if (!node_record(p, rec)) continue;
        const auto elements = sequence_elements(std::string_view(rec.value, 8), status);
        const SequenceElement* e = find_element(elements, "PROPERTIES");
        if (e == nullptr || e->members.empty() || k >= room) continue;
        text_element(pnames, pnames_len, k++).assign(property_name(read_unsigned(e->members[0].text).value));
      }
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tkhxcf_(const char* id, int64_t* zone, int64_t* npoints, const char* pname, double* values, char* qname,
             char* ulabel, int64_t* ierr, size_t id_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block || *zone < 1) return;
    const std::string section = zone_section(*zone);
    const auto path = b.path(section);
    const std::array<WantedQualifier, 1> wanted{{{padded("PROPERTIES", 16), padded(caller_text(pname, pname_len), 16)}}};
    std::string model;
    const DatasetChoice choice = split_block_results(path, wanted, {}, {}, model);
    *ierr = 3;
    if (choice.ierr != 0) return;
    const DatasetAnswer a = lookup_dataset(path, choice.qualifier);
    if (!a.found()) return;
    const int64_t ut = a.unit_type(1);
    TextField(qname, qname_len).assign(ut != 0 ? unit_type_name(ut) : std::string());
    TextField(ulabel, ulabel_len).fill_blank();
    const int64_t n = std::min<int64_t>(std::max<int64_t>(*npoints, 0), a.ndata);
    for (int64_t j = 1; j <= n; ++j) {
      const ConvertedValue c = convert_stored(a.unit_type(j), a.unit_code(j), a.real_value(j));
      values[j - 1] = c.value;
      TextField(ulabel, ulabel_len).assign(c.label_view());
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tkhxsc_(const char* id, int64_t* nzones, int64_t* nprops, char* pnames, double* values, char* qnames,
             char* ulabels, int64_t* ierr, size_t id_len, size_t pnames_len, size_t qnames_len,
             size_t ulabels_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const DatasetAnswer a = lookup_dataset(b.path("TWS_ZON"));
    const int64_t nz = *nzones, np = *nprops;
    if (!a.found() || checked_product(nz, np) != a.ndata) {
      *ierr = 3;
      return;
    }
    const int64_t zcol = a.find_qualifier("ZONES"), pcol = a.find_qualifier("PROPERTIES");
    std::vector<int64_t> seen;  // property numbers by position
    for (int64_t j = 1; j <= a.ndata; ++j) {
      const int64_t prop = pcol > 0 ? a.qualifier_int(pcol, j) : 0;
      auto it = std::find(seen.begin(), seen.end(), prop);
      if (it == seen.end()) {
        if (static_cast<int64_t>(seen.size()) >= np) continue;
        seen.push_back(prop);
        it = seen.end() - 1;
        text_element(pnames, pnames_len, seen.size() - 1).assign(property_name(prop));
      }
      const size_t pos = static_cast<size_t>(it - seen.begin());
      const int64_t z = zcol > 0 ? zone_number(a.qualifier_text(zcol, j)) : 0;
      const int64_t ut = a.unit_type(j);
      const ConvertedValue c = convert_stored(ut, a.unit_code(j), a.real_value(j));
      text_element(qnames, qnames_len, pos).assign(ut != 0 ? unit_type_name(ut) : std::string());
      text_element(ulabels, ulabels_len, pos).assign(c.label_view());
      if (z >= 1 && z <= nz) values[static_cast<size_t>(z - 1) * static_cast<size_t>(np) + pos] = c.value;
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tkhxpp_(const char* id, const char* section, int64_t* nprop, char* pnames, char* quals1, char* quals2,
             int64_t* ierr, size_t id_len, size_t section_len, size_t pnames_len, size_t quals1_len,
             size_t quals2_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const DatasetAnswer a = lookup_dataset(b.path(TextField::trim_right(caller_text(section, section_len))));
    if (!a.found()) return;
    const int64_t pcol = a.find_qualifier("PROPERTIES");
    const int64_t last = std::min<int64_t>(std::max<int64_t>(*nprop, 0) + 2, a.ndata);
    for (int64_t j = 3; j <= last; ++j) {
      const size_t i = static_cast<size_t>(j - 3);
      text_element(pnames, pnames_len, i).assign(pcol > 0 ? property_name(a.qualifier_int(pcol, j)) : "");
      text_element(quals1, quals1_len, i).assign(pcol > 0 && pcol < a.nqual ? a.qualifier_text(pcol + 1, j) : "");
      text_element(quals2, quals2_len, i)
          .assign(pcol > 0 && pcol + 1 < a.nqual ? a.qualifier_text(pcol + 2, j) : "");
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tkhxpr_(const char* id, const char* section, const char* pname, int64_t* npoints, double* words1,
             double* words2, double* values, char* qname, char* ulabel, int64_t* ierr, size_t id_len,
             size_t section_len, size_t pname_len, size_t qname_len, size_t ulabel_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const DatasetAnswer a = lookup_dataset(b.path(TextField::trim_right(caller_text(section, section_len))));
    if (!a.found()) return;
    const int64_t pcol = a.find_qualifier("PROPERTIES");
    const int64_t np = *npoints;
    // Rows per point from the caller's points; a count that does not
    // divide the values is not this section's.
    const int64_t rows = np >= 1 && a.ndata % np == 0 ? a.ndata / np : (np >= 1 ? 0 : a.ndata);
    const std::string want = padded(caller_text(pname, pname_len), 12);
    int64_t row = 0;
    for (int64_t j = 3; j <= rows && pcol > 0; ++j)
      if (padded(property_name(a.qualifier_int(pcol, j)), 12) == want) {
        row = j;
        break;
      }
    // Two position rows and at least one property: a section of one
    // property (3 rows a point) is read too.
    if (rows < 3 || row == 0) return;
    const int64_t ut = a.unit_type(row);
    TextField(qname, qname_len).assign(ut != 0 ? unit_type_name(ut) : std::string());
    TextField(ulabel, ulabel_len).fill_blank();
    for (int64_t p = 0; p < np; ++p) {
      const int64_t base = p * rows;
      const ConvertedValue c = convert_stored(a.unit_type(base + row), a.unit_code(base + row),
                                              a.real_value(base + row));
      values[p] = c.value;
      words1[p] = a.real_value(base + 1);
      words2[p] = a.real_value(base + 2);
      TextField(ulabel, ulabel_len).assign(c.label_view());
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

void tknics_(const char* id, int64_t* n, size_t id_len) {
  *n = 0;
  try {
    *n = intermediate_stream_count(caller_text(id, id_len));
  } catch (...) {
  }
}

void tkicst_(const char* id, int64_t* n, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, double* v1,
             double* v2, double* v3, double* v4, double* v5, double* v6, double* v7, int64_t* ierr, size_t id_len) {
  *ierr = 1;
  try {
    FreePointerGuard guard;
    const Block b = block_path(caller_text(id, id_len));
    if (!b.block) return;
    const bool kinetic = b.model == "KINETCOL";
    if (b.model != "LINKEDCO" && b.model != "CRUDEUNI" && b.model != "TRAYCOL" && !kinetic) {
      *ierr = 2;
      return;
    }
    const int64_t room = std::max<int64_t>(*n, 0);
    // Each value's stream: the integer of its "ICSTRM" qualifier, or the
    // index after the last one used.
    auto read_section = [&](std::string_view section, auto store) {
      const DatasetAnswer a = lookup_dataset(b.path(section));
      const int64_t scol = a.find_qualifier("ICSTRM"), pcol = a.find_qualifier("PROPERTIES");
      int64_t last = 0;
      for (int64_t j = 1; j <= a.ndata; ++j) {
        const UnsignedRead r = scol > 0 ? read_unsigned(a.qualifier_text(scol, j)) : UnsignedRead{0, 1};
        const int64_t k = r.ierr == 0 && r.value > 0 ? r.value : last + 1;
        last = k;
        if (k <= room && pcol > 0) store(a, j, a.qualifier_int(pcol, j), static_cast<size_t>(k - 1));
      }
    };
    read_section("ICSTRM", [&](const DatasetAnswer& a, int64_t j, int64_t prop, size_t i) {
      static constexpr std::array<int64_t, 7> kProps{31, 32, 62, 2, 63, 102, 19};
      const std::array<double*, 7> out{v1, v2, v3, v4, v5, v6, v7};
      for (size_t q = 0; q < kProps.size(); ++q)
        if (kProps[q] == prop && out[q]) out[q][i] = convert_stored(a.unit_type(j), a.unit_code(j), a.real_value(j)).value;
    });
    read_section("ICS-CON", [&](const DatasetAnswer& a, int64_t j, int64_t prop, size_t i) {
      static constexpr std::array<int64_t, 4> kProps{123, 313, 124, 314};
      const std::array<int64_t*, 4> out{c1, c2, c3, c4};
      for (size_t q = 0; q < kProps.size(); ++q)
        if (kProps[q] == prop && out[q])
          out[q][i] = a.type(j) == value_type::kReal ? whole_number(a.real_value(j)) : a.int_value(j);
    });
    if (kinetic) {
      // A kinetic column reports no connections and no sixth and seventh values.
      for (int64_t i = 0; i < room; ++i) {
        c1[i] = c2[i] = c3[i] = c4[i] = 0;
        v6[i] = v7[i] = tkrglb_[0];
      }
    }
    *ierr = 0;
  } catch (...) {
    *ierr = 1;
  }
}

}  // extern "C"
