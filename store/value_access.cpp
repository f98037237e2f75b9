// Value access: generic property readers, the choice of a data set among
// siblings by qualifier values, and the profile helpers of the column,
// reactor and pipeline families.
#include "store/value_access.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_map>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/reference_tables.hpp"
#include "loading/scanner.hpp"
#include "store/identifier_access.hpp"
#include "store/list_evaluation.hpp"
#include "store/load_stamp.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_utils.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

// ---- Shared pieces ------------------------------------------------------------

int64_t property_number(std::string_view name) {
  const int64_t base = locs(l::kPropTable), n = locs(l::kPropCount);
  const int64_t stride = property_entry_words();
  if (n <= 0 || !in_work(base, n * stride)) return 0;
  int64_t key[8];
  const int64_t nw = words_of_text12();
  if (nw < 1 || nw > 8) return 0;
  pack_text(padded(name, kPropertyNameChars), 4 * nw, key);
  const int64_t k = binary_search(key, work_ptr(base), stride, n, 2, nw);
  return k > 0 ? work(base + (k - 1) * stride) : 0;
}

std::string_view basis_of_unit_type(int64_t t) {
  switch (t) {
    case 13: return "FLOW";
    case 15: case 37: case 39: case 41: return "MOLE";
    case 38: case 40: case 42: case 49: return "MASS";
    default: return {};
  }
}

bool unit_type_accepts_basis(int64_t unit_type, std::string_view wanted) {
  const std::string_view basis = basis_of_unit_type(unit_type);
  return basis.empty() || padded_equal(wanted, basis);
}

std::vector<std::string_view> caller_path(const char* ids, size_t len, int64_t nid) {
  std::vector<std::string_view> path;
  const int64_t n = std::clamp<int64_t>(nid, 0, kMaxPathKeywords);
  for (int64_t i = 0; i < n; ++i)
    path.push_back(ids ? std::string_view(ids + static_cast<size_t>(i) * len, len) : std::string_view());
  return path;
}

bool node_record(int64_t p, DataRecord& record) {
  const int64_t base = locs(l::kTree), used = locs(l::kTreeUsed);
  if (used < 5 || !in_work(base, used) || !TreeNodes::loaded().is_node(p)) return false;
  const int64_t child = work(base + p - 1);
  // A leaf's CHILD word is minus the position of its record, whose words
  // q .. q+3 must lie inside the tree.
  if (child >= 0 || child == INT64_MIN) return false;
  const int64_t q = -child;
  if (q < 2 || q + 3 > used) return false;
  record.idata = work(base + q - 1);
  unpack_text(work_ptr(base + q + 1), 2, TextField(record.value, 8));
  return true;
}

void describe_profile(const DatasetAnswer& a, TextField pname, TextField substream,
                      TextField phase, TextField component, TextField basis) {
  for (int64_t i = 1; i <= a.nqual; ++i) {
    const std::string q = a.qualifier_name(i);
    if (padded_equal(q, "PROPERTIES"))
      pname.assign(property_name(a.qualifier_int(i, 1)));
    else if (padded_equal(q, "SUBSTREAM"))
      substream.assign(a.qualifier_text(i, 1));
    else if (padded_equal(q, "PHASE"))
      phase.assign(a.qualifier_text(i, 1));
    else if (padded_equal(q, "COMPONENTS"))
      component.assign(a.qualifier_text(i, 1));
    else if (padded_equal(q, "BASIS"))
      basis.assign(a.qualifier_text(i, 1).substr(0, 4));
  }
}

std::vector<int64_t> equal_siblings(int64_t first, std::string_view keyword, bool first8) {
  std::vector<int64_t> nodes;
  const TreeNodes tree = TreeNodes::loaded();
  const std::string want8 = padded(keyword, 8);
  const int64_t limit = std::min<int64_t>(tree.max_nodes(), kMaxSiblings);
  for (int64_t p = first; p != 0 && static_cast<int64_t>(nodes.size()) < limit;
       p = tree.next_sibling(p)) {
    bool same;
    if (first8) {
      char key[8];
      tree.keyword(p, key, 8);
      same = std::string_view(key, 8) == want8;
    } else {
      same = tree.matches(p, TextField::trim_right(keyword));
    }
    if (!same) break;
    nodes.push_back(p);
  }
  return nodes;
}

ConvertedReal convert_value(int64_t unit_type, int64_t unit_code, double stored) {
  ConvertedReal out;
  if (unit_type == 0) {
    out.value = stored;
    return out;
  }
  const ConvertedValue c = convert_stored(unit_type, unit_code, stored);
  out.value = c.value;
  out.unit_type_name = unit_type_name(unit_type);
  out.label = std::string(c.label_view());
  return out;
}

namespace {

std::string text16(std::string_view s) { return padded(s, kQualifierChars); }

// The data set at a tree node, read with the node's own qualifier.
DatasetAnswer read_node(std::span<const std::string_view> path, int64_t node) {
  DataRecord rec;
  if (!node_record(node, rec)) return {};
  return lookup_dataset(path, std::string_view(rec.value, 8));
}

// The qualifier block of a node's loading sequence (from the free words; the
// caller keeps the free-word pointer).
ListAnswer node_list(int64_t node, std::string& qual) {
  DataRecord rec;
  qual.assign(8, ' ');
  if (!node_record(node, rec)) return {};
  qual.assign(rec.value, 8);
  return evaluate_list_remembered(qual);
}

// Readers over a bare qualifier block as list evaluation builds it.
struct ListBlock {
  ListAnswer a;
  int64_t name_word(int64_t i) const { return a.locq + 4 * (i - 1); }
  int64_t find(std::string_view name) const {
    const std::string_view want = name.substr(0, std::min<size_t>(16, name.size()));
    char q[16];
    for (int64_t i = 1; i <= a.nqual; ++i) {
      if (in_work(name_word(i), 4)) unpack_text(work_ptr(name_word(i)), 4, TextField(q, 16));
      else std::fill_n(q, 16, ' ');
      if (padded_equal(std::string_view(q, 16), want)) return i;
    }
    return 0;
  }
  // Value j's text in column i, blank-padded to 16 characters, into out.
  void qtext16(int64_t i, int64_t j, char (&out)[16]) const {
    std::fill_n(out, 16, ' ');
    if (in_work(pair_word(i, j), 2)) unpack_text(work_ptr(pair_word(i, j)), 2, TextField(out, 8));
  }
  int64_t pair_word(int64_t i, int64_t j) const {
    return a.locq + 4 * a.nqual + 2 * a.nqual * (j - 1) + 2 * (i - 1);
  }
  int64_t qint(int64_t i, int64_t j) const { return in_work(pair_word(i, j), 1) ? work(pair_word(i, j)) : 0; }
  std::string qtext(int64_t i, int64_t j) const {
    std::string s(8, ' ');
    if (in_work(pair_word(i, j), 2)) unpack_text(work_ptr(pair_word(i, j)), 2, TextField(s.data(), 8));
    return s;
  }
  int64_t unit_type(int64_t j) const {
    const int64_t w = a.locq + 4 * a.nqual + 2 * a.nqual * a.ndata + a.ndata + (j - 1);
    return in_work(w, 1) ? work(w) : 0;
  }
};

// Does data set (list block) b carry wanted value w in its column?
// "PROPERTIES" compares the property number prop; any_value decides whether
// some value (TKFDST) or the first value (TKSPLT) must carry it.
bool column_matches(const ListBlock& b, const WantedQualifier& w, int64_t prop, bool any_value) {
  if (TextField::trim_right(w.value).empty()) return true;
  if (padded_equal(w.name, "UNITS")) return unit_type_accepts_basis(b.unit_type(1), w.value);
  const int64_t c = b.find(w.name);
  if (c == 0) return false;
  const bool is_prop = padded_equal(w.name, "PROPERTIES");
  const int64_t n = any_value ? std::max<int64_t>(b.a.ndata, 0) : std::min<int64_t>(b.a.ndata, 1);
  const std::string want = text16(w.value);
  char text[16];
  for (int64_t j = 1; j <= n; ++j) {
    if (is_prop) {
      if (b.qint(c, j) == prop) return true;
      continue;
    }
    b.qtext16(c, j, text);
    if (std::string_view(text, 16) == want) return true;
  }
  return false;
}

}  // namespace

namespace {

// The choices find_dataset made in this load. A choice depends only on the
// request's texts, the tree, the property table and the loading sequences
// (with the packing they were compiled in), so it is kept with the load's
// stamp (serial, tree edits, characters per word), and given
// again for the same texts: a pass that asks for the same data sets again
// evaluates no sibling's loading sequence a second time. The store is
// emptied when it holds as many entries as the file has data sets (at least
// kKeptChoices; each the request's texts and the choice, a few hundred
// bytes).
struct ChoiceMemory {
  LoadStamp stamp;
  std::unordered_map<std::string, DatasetChoice> choices;
  std::string key;  // the request being looked up (reused, not reallocated)
};
constexpr size_t kKeptChoices = 4096;

ChoiceMemory& choice_memory() {
  static ChoiceMemory m;
  const LoadStamp now = LoadStamp::now();
  if (!(m.stamp == now) || m.choices.size() >= kept_entries_bound(kKeptChoices)) {
    m.choices.clear();
    m.stamp = now;
  }
  return m;
}

// The request's texts, each preceded by its length, into key.
void choice_key(std::span<const std::string_view> path, std::span<const WantedQualifier> wanted, std::string& key) {
  key.clear();
  auto add = [&key](std::string_view t) {
    const uint32_t n = static_cast<uint32_t>(t.size());
    key.append(reinterpret_cast<const char*>(&n), sizeof n);
    key.append(t);
  };
  add(std::string_view("P", 1));
  for (std::string_view k : path) add(k);
  add(std::string_view("W", 1));
  for (const WantedQualifier& w : wanted) {
    add(w.name);
    add(w.value);
  }
}

// The choice itself; complete is cleared when a sibling's loading sequence
// gave no qualifier block (a sequence that does not compile, or no room in
// the work area), since such a choice may differ on another call.
DatasetChoice choose_dataset(std::span<const std::string_view> path, std::span<const WantedQualifier> wanted,
                             bool& complete);

}  // namespace

DatasetChoice find_dataset(std::span<const std::string_view> path,
                           std::span<const WantedQualifier> wanted) {
  ChoiceMemory& m = choice_memory();
  choice_key(path, wanted, m.key);
  if (const auto it = m.choices.find(m.key); it != m.choices.end()) return it->second;
  bool complete = true;
  DatasetChoice c = choose_dataset(path, wanted, complete);
  // Only what the walk of the siblings found is kept: the early answers
  // (unknown property, path not in the tree) cost no more than the key, and
  // a search that ends on an improper path writes its message every time.
  if (complete && (c.ierr == 0 || c.ierr == 1)) m.choices.emplace(m.key, c);
  return c;
}

namespace {

DatasetChoice choose_dataset(std::span<const std::string_view> path,
                             std::span<const WantedQualifier> wanted, bool& complete) {
  FreePointerGuard guard;
  DatasetChoice out;
  out.qualifier.assign(8, ' ');
  std::vector<int64_t> props(wanted.size(), 0);
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (padded_equal(wanted[i].name, "PROPERTIES") && !TextField::trim_right(wanted[i].value).empty()) {
      props[i] = property_number(wanted[i].value);
      if (props[i] == 0) {
        out.ierr = 2;
        return out;
      }
    }
  }
  int64_t node = 0;
  // Block, stream and costing paths have four keywords; a relief object's
  // data sets lie one level higher ("PRES-RELIEF" id section).
  const bool relief = path.size() == 3 && padded_equal(path[0], "PRES-RELIEF");
  if ((path.size() < 4 && !relief) || TreeNodes::loaded().find(path, node) != 0 || node == 0) {
    out.ierr = 3;
    return out;
  }
  for (int64_t p : equal_siblings(node, path[relief ? 2 : 3], true)) {
    std::string qual;
    const ListBlock b{node_list(p, qual)};
    bool all = b.a.nqual > 0;
    if (!all) complete = false;
    for (size_t i = 0; all && i < wanted.size(); ++i) all = column_matches(b, wanted[i], props[i], true);
    locs(l::kFreePointer) = guard.saved();
    if (all) {
      out.ierr = 0;
      out.node = p;
      out.qualifier = qual;
      return out;
    }
  }
  out.ierr = 1;
  return out;
}

}  // namespace

namespace {

// The choice of split_block_results; complete is set when the walk of the
// siblings ran and every sibling it met gave a qualifier block, the only
// choices that are kept.
DatasetChoice choose_split(std::span<const std::string_view> path, std::span<const WantedQualifier> wanted,
                           std::span<const std::string_view> extra_sections,
                           std::span<const std::string_view> n_col_models, std::string& model, bool& complete);

// The choices split_block_results made in this load, with the block's
// model, kept as find_dataset keeps its own: a choice depends only on the
// request's texts, the block table, the tree, the property table and the
// loading sequences, so it is given again for the same texts while the
// load's stamp of the block table is unchanged. Bounded as find_dataset's.
struct SplitChoice {
  DatasetChoice choice;
  std::string model;
};
struct SplitMemory {
  LoadStamp stamp;
  std::unordered_map<std::string, SplitChoice> choices;
  std::string key;  // the request being looked up (reused, not reallocated)
};

}  // namespace

DatasetChoice split_block_results(std::span<const std::string_view> path,
                                  std::span<const WantedQualifier> wanted,
                                  std::span<const std::string_view> extra_sections,
                                  std::span<const std::string_view> n_col_models,
                                  std::string& model) {
  static SplitMemory m;
  const LoadStamp now = LoadStamp::now(ItemKind::kBlock);
  if (!(m.stamp == now) || m.choices.size() >= kept_entries_bound(kKeptChoices)) {
    m.choices.clear();
    m.stamp = now;
  }
  choice_key(path, wanted, m.key);
  auto add = [](std::string_view t) {
    const uint32_t n = static_cast<uint32_t>(t.size());
    m.key.append(reinterpret_cast<const char*>(&n), sizeof n);
    m.key.append(t);
  };
  add(std::string_view("X", 1));
  for (std::string_view x : extra_sections) add(x);
  add(std::string_view("M", 1));
  for (std::string_view x : n_col_models) add(x);
  if (const auto it = m.choices.find(m.key); it != m.choices.end()) {
    model = it->second.model;
    return it->second.choice;
  }
  bool complete = false;
  DatasetChoice c = choose_split(path, wanted, extra_sections, n_col_models, model, complete);
  if (complete) m.choices.emplace(m.key, SplitChoice{c, model});
  return c;
}

namespace {

DatasetChoice choose_split(std::span<const std::string_view> path, std::span<const WantedQualifier> wanted,
                           std::span<const std::string_view> extra_sections,
                           std::span<const std::string_view> n_col_models, std::string& model, bool& complete) {
  FreePointerGuard guard;
  DatasetChoice out;
  out.qualifier.assign(8, ' ');
  model.assign(8, ' ');
  if (path.size() < 4) return out;
  const ItemMatch block = find_block(path[2]);
  // An unknown block is a failure (IERR 1), not a silent success.
  if (!block) return out;
  model.assign(block.type.view());
  const int64_t prop = wanted.empty() ? 0 : property_number(wanted[0].value);
  if (prop == 0) {
    out.ierr = 2;
    return out;
  }
  const std::array<std::string_view, 4> full{path[0], model, path[2], path[3]};
  int64_t node = 0;
  if (TreeNodes::loaded().find(full, node) != 0 || node == 0) {
    out.ierr = 3;
    return out;
  }
  // The column filter of linked and kinetic columns: the wanted "N_COL".
  bool by_column = false;
  int64_t want_col = 0;
  for (std::string_view m : n_col_models) by_column = by_column || padded_equal(model, m);
  if (by_column) {
    for (const WantedQualifier& w : wanted)
      if (padded_equal(w.name, "N_COL")) want_col = read_unsigned(TextField::trim_right(w.value)).value;
  }

  const TreeNodes tree = TreeNodes::loaded();
  const std::string key8 = padded(path[3], 8);
  const int64_t limit = std::min<int64_t>(tree.max_nodes(), kMaxSiblings);
  int64_t steps = 0;
  complete = true;
  for (int64_t p = node; p != 0 && steps < limit; p = tree.next_sibling(p), ++steps) {
    char key[8];
    tree.keyword(p, key, 8);
    if (std::string_view(key, 8) != key8) {
      // Siblings of the further sections are passed over; any other
      // keyword ends the walk.
      bool extra = false;
      for (std::string_view x : extra_sections) extra = extra || padded(x, 8) == std::string_view(key, 8);
      if (extra) continue;
      break;
    }
    std::string qual;
    const ListBlock b{node_list(p, qual)};
    bool all = b.a.nqual > 0;
    if (!all) complete = false;
    if (all && by_column) {
      const int64_t c = b.find("N_COL");
      all = c != 0 && b.a.ndata > 0 && read_unsigned(TextField::trim_right(b.qtext(c, 1))).value == want_col;
    }
    for (size_t i = 0; all && i < wanted.size(); ++i) {
      if (by_column && padded_equal(wanted[i].name, "N_COL")) continue;
      all = column_matches(b, wanted[i], prop, false);
    }
    locs(l::kFreePointer) = guard.saved();
    if (all) {
      out.ierr = 0;
      out.node = p;
      out.qualifier = qual;
      return out;
    }
  }
  out.ierr = by_column ? 3 : 1;
  return out;
}

}  // namespace

int64_t sequence_set_counts(std::string_view lsetid, std::span<const std::string_view> names,
                            std::span<int64_t> counts) {
  std::fill(counts.begin(), counts.end(), 0);
  const CompiledSequence& seq = compiled_sequence(lsetid);
  if (seq.status != 0) return seq.status;
  for (int64_t s = 0; s < seq.nids; ++s) {
    const std::string set = seq.set_name(s);
    const int64_t line = std::llabs(idset_directory_line(set));
    if (line == 0) continue;
    position_scanner_at_line(line);
    // "IDSET", name, "(", the qualifier name; then ")", "(", first member.
    scan::Token tok;
    for (int i = 0; i < 4; ++i) scan::next(tok);
    for (size_t k = 0; k < names.size() && k < counts.size(); ++k) {
      if (counts[k] != 0 || !padded_equal(tok.text, names[k])) continue;
      for (int i = 0; i < 3; ++i) scan::next(tok);
      counts[k] = read_unsigned(tok.text).value;
      break;
    }
  }
  return seq.status;
}

void append_number(TextField text, int64_t n) {
  const size_t width = std::min<size_t>(text.len, kQualifierChars);
  size_t l = 0;
  while (l < width && text.data[l] != ' ') ++l;
  if (n < 1) return;
  const std::string digits = std::to_string(n);
  for (size_t i = 0; i < digits.size() && l + i < width; ++i) text.data[l + i] = digits[i];
}

}  // namespace flowsum

// ---- Exported routines ---------------------------------------------------------

namespace {

using namespace flowsum;

std::vector<WantedQualifier> wanted_pairs(const char* names, size_t names_len, const char* vals,
                                          size_t vals_len, int64_t nk) {
  std::vector<WantedQualifier> w;
  const int64_t n = std::clamp<int64_t>(nk, 0, 100);
  for (int64_t k = 0; k < n; ++k) {
    const size_t i = static_cast<size_t>(k);
    w.push_back({padded(names ? std::string_view(names + i * names_len, names_len) : std::string_view(), 16),
                 padded(vals ? std::string_view(vals + i * vals_len, vals_len) : std::string_view(), 16)});
  }
  return w;
}

// Reads the values of a data set into the caller's arrays, as TKPVAL and
// TKPRF2 do: names from the property column (untouched when the data set has
// none or the number is unknown), converted reals, unit-type names and
// labels (blank without a unit type). nnames limits the names written.
void read_property_values(const DatasetAnswer& a, int64_t prop_col, int64_t nvalues, int64_t nnames,
                          char* pnames, size_t pnames_len, double* values, char* utypes,
                          size_t utypes_len, char* ulabels, size_t ulabels_len) {
  char pname[kPropertyNameChars];
  for (int64_t j = 1; j <= nnames && prop_col > 0; ++j) {
    property_name_into(a.qualifier_int(prop_col, j), TextField(pname, sizeof pname));
    if (!all_blank(pname, sizeof pname))
      text_element(pnames, pnames_len, static_cast<size_t>(j - 1)).assign(std::string_view(pname, sizeof pname));
  }
  // Values of one unit type and code in a row share the conversion's table
  // look-ups, and the type's name is looked up once for each run of a type.
  StoredConverter convert;
  const UnitTable table;
  int64_t named = 0;
  char type_name[kUnitTypeNameChars];
  const std::string_view name(type_name, sizeof type_name);
  for (int64_t j = 1; j <= nvalues; ++j) {
    const size_t i = static_cast<size_t>(j - 1);
    const int64_t t = a.unit_type(j);
    const TextField utype = text_element(utypes, utypes_len, i), label = text_element(ulabels, ulabels_len, i);
    if (t == 0) {
      if (values) values[i] = a.real_value(j);
      utype.fill_blank();
      label.fill_blank();
      continue;
    }
    const ConvertedValue c = convert(t, a.unit_code(j), a.real_value(j));
    if (t != named) {
      table.type_name_into(t, TextField(type_name, sizeof type_name));
      named = t;
    }
    if (values) values[i] = c.value;
    utype.assign(name);
    label.assign(c.label_view());
  }
}

// The property column of a data set: the qualifier "PROPERTIES", never the
// one named by `except`.
int64_t property_column(const DatasetAnswer& a, std::string_view except = {}) {
  if (!except.empty() && padded_equal(except.substr(0, std::min<size_t>(16, except.size())), "PROPERTIES"))
    return 0;
  return a.find_qualifier("PROPERTIES");
}

// The reading of TKPRF2 on a data set already found.
int64_t read_profile(const DatasetAnswer& a, std::string_view qname, int64_t npoint, int64_t nprop,
                     char* pnames, size_t pnames_len, double* values, char* utypes, size_t utypes_len,
                     char* ulabels, size_t ulabels_len) {
  // A shape whose number of values does not fit 64 bits is no data set's;
  // the product is checked so that it cannot wrap onto the real count.
  int64_t nvalues = 0;
  if (npoint < 0 || nprop < 0 || __builtin_mul_overflow(npoint, nprop, &nvalues) || !a.found() ||
      a.ndata != nvalues)
    return 3;
  read_property_values(a, property_column(a, qname), a.ndata, nprop, pnames, pnames_len, values,
                       utypes, utypes_len, ulabels, ulabels_len);
  return 0;
}

}  // namespace

namespace flowsum {

int64_t read_chosen_profile(std::span<const std::string_view> path, const DatasetChoice& choice,
                            std::string_view qname, int64_t npoint, int64_t nprop, char* pnames,
                            size_t pnames_len, double* values, char* utypes, size_t utypes_len,
                            char* ulabels, size_t ulabels_len) {
  const DatasetAnswer a = lookup_dataset(path, choice.qualifier);
  return read_profile(a, qname, npoint, nprop, pnames, pnames_len, values, utypes, utypes_len, ulabels,
                      ulabels_len);
}

int64_t chosen_set_sizes(const DatasetChoice& choice, std::span<const std::string_view> names,
                         std::span<int64_t> sizes) {
  const CompiledSequence& seq = compiled_sequence(choice.qualifier);
  if (seq.status != 0) return 0;
  int64_t nfound = 0;
  for (int64_t s = 0; s < seq.nids; ++s) {
    const IdsetHead& head = idset_head(seq.set_name(s));
    char first_name[16];
    unpack_text(head.qname, 4, TextField(first_name, 16));
    const std::string_view first(first_name, 16);
    for (size_t i = 0; i < names.size() && i < sizes.size(); ++i) {
      if (padded_equal(names[i].substr(0, std::min<size_t>(names[i].size(), kQualifierChars)), first)) {
        sizes[i] = head.dims.nmem;
        ++nfound;
      }
    }
  }
  return nfound;
}

}  // namespace flowsum

namespace {

using namespace flowsum;

const std::array<std::string_view, 6> kProfileQualifiers{"PROPERTIES", "SUBSTREAM", "PHASE",
                                                         "COMPONENTS", "BASIS",     "UNITS"};

// TKPVAL's reading, which TKAVAL extends: the data set of the path (blank
// qualifier), every value as a converted real with its property name, unit
// type and label. IERR 1 and NVAL unchanged when there are no values.
DatasetAnswer every_value_as_real(const char* ids, size_t ids_len, int64_t nid, char* pnames, size_t pnames_len,
                                  double* values, char* utypes, size_t utypes_len, char* ulabels,
                                  size_t ulabels_len, int64_t& nval, int64_t& ierr) {
  ierr = 1;
  const auto path = caller_path(ids, ids_len, nid);
  const DatasetAnswer a = lookup_dataset(path);
  if (!a.found()) return a;
  ierr = 0;
  nval = a.ndata;
  read_property_values(a, property_column(a), a.ndata, a.ndata, pnames, pnames_len, values, utypes,
                       utypes_len, ulabels, ulabels_len);
  return a;
}

}  // namespace

extern "C" {

void tkpval_(const char* ids, int64_t* nid, int64_t* /*idum*/, char* pnames, double* values, char* utypes,
             char* ulabels, int64_t* nval, int64_t* ierr, size_t ids_len, size_t pnames_len,
             size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  every_value_as_real(ids, ids_len, *nid, pnames, pnames_len, values, utypes, utypes_len, ulabels,
                      ulabels_len, *nval, *ierr);
}

void tkaval_(const char* ids, int64_t* nid, int64_t* /*idum*/, char* pnames, int64_t* vtypes,
             int64_t* ivalues, char* texts, double* rvalues, char* utypes, char* ulabels,
             int64_t* nval, int64_t* ierr, size_t ids_len, size_t pnames_len, size_t texts_len,
             size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  const DatasetAnswer a = every_value_as_real(ids, ids_len, *nid, pnames, pnames_len, rvalues, utypes,
                                              utypes_len, ulabels, ulabels_len, *nval, *ierr);
  if (!a.found()) return;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const size_t i = static_cast<size_t>(j - 1);
    const int64_t t = a.type(j);
    ivalues[i] = a.int_value(j);
    const TextField text = text_element(texts, texts_len, i);
    text.fill_blank();
    if (t == value_type::kInteger || t == value_type::kReal) {
      vtypes[i] = t;
      if (t == value_type::kInteger) {
        // An integer carries no unit: its real word is not a converted value.
        text_element(utypes, utypes_len, i).fill_blank();
        text_element(ulabels, ulabels_len, i).fill_blank();
      }
    } else {
      // Texts of 8 characters and long texts are both reported as texts.
      vtypes[i] = (t == 3 || t == value_type::kText8 || t > value_type::kText8) ? 3 : t;
      text.assign(a.text_value(j));
    }
  }
}

void tkprf2_(const char* ids, int64_t* nid, const char* qname, int64_t* npoint, int64_t* nprop, char* pnames,
             double* values, char* utypes, char* ulabels, int64_t* ierr, size_t ids_len,
             size_t qname_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  const auto path = caller_path(ids, ids_len, *nid);
  const DatasetAnswer a = lookup_dataset(path);
  *ierr = read_profile(a, TextField(qname, qname_len).view(), *npoint, *nprop, pnames, pnames_len,
                       values, utypes, utypes_len, ulabels, ulabels_len);
}

void tkprf3_(const char* ids, int64_t* nid, int64_t* nk, const char* knames, const char* kvals, const char* qname,
             int64_t* npoint, int64_t* nprop, char* pnames, double* values, char* utypes,
             char* ulabels, int64_t* ierr, size_t ids_len, size_t knames_len, size_t kvals_len,
             size_t qname_len, size_t pnames_len, size_t utypes_len, size_t ulabels_len) {
  FreePointerGuard guard;
  const auto path = caller_path(ids, ids_len, *nid);
  const auto wanted = wanted_pairs(knames, knames_len, kvals, kvals_len, *nk);
  const DatasetChoice choice = find_dataset(path, wanted);
  if (choice.ierr != 0) {
    *ierr = choice.ierr;
    return;
  }
  *ierr = read_chosen_profile(path, choice, TextField(qname, qname_len).view(), *npoint, *nprop, pnames,
                              pnames_len, values, utypes, utypes_len, ulabels, ulabels_len);
}

void tksprf_(const char* ids, int64_t* nid, int64_t* qwords, int64_t* nset, int64_t* nper, int64_t* ierr,
             size_t ids_len) {
  FreePointerGuard guard;
  *nset = 0;
  *nper = 0;
  *ierr = 1;
  const auto path = caller_path(ids, ids_len, *nid);
  const DatasetAnswer a = lookup_dataset(path);
  if (!a.found()) return;
  *ierr = 0;
  std::string qname(16, ' ');
  unpack_text(qwords, 4, TextField(qname.data(), 16));
  const int64_t c = a.find_qualifier(qname);
  if (c == 0 || a.ndata < 2) return;
  auto pair = [&](int64_t j) {
    return std::make_pair(a.qualifier_int(c, j), a.qualifier_text(c, j));
  };
  // Every value is compared with the one before it, the last one included:
  // a profile of one property at two points changes only at its last value.
  for (int64_t j = 2; j <= a.ndata; ++j) {
    if (pair(j) != pair(j - 1)) {
      *nper = j - 1;
      *nset = a.ndata / *nper;
      return;
    }
  }
  *nper = a.ndata;
  *nset = 1;
}

void tkspid_(char* text, int64_t* n, size_t text_len) {
  append_number(TextField(text, text_len), *n);
}

void tkfdst_(const char* ids, int64_t* nid, int64_t* nk, const char* knames, const char* kvals, char* qual,
             int64_t* ipos, int64_t* ierr, size_t ids_len, size_t knames_len, size_t kvals_len,
             size_t qual_len) {
  const auto path = caller_path(ids, ids_len, *nid);
  const auto wanted = wanted_pairs(knames, knames_len, kvals, kvals_len, *nk);
  const DatasetChoice choice = find_dataset(path, wanted);
  *ierr = choice.ierr;
  *ipos = choice.node;
  TextField(qual, qual_len).assign(choice.qualifier);
}

namespace {
void split_common(int64_t nid, char* ids, size_t ids_len, int64_t nk, const char* knames, size_t knames_len,
                  const char* kvals, size_t kvals_len, std::span<const std::string_view> extra,
                  std::span<const std::string_view> col_models, char* qual, size_t qual_len,
                  int64_t* ierr) {
  const auto path = caller_path(ids, ids_len, nid);
  const auto wanted = wanted_pairs(knames, knames_len, kvals, kvals_len, nk);
  std::string model;
  const DatasetChoice choice = split_block_results(path, wanted, extra, col_models, model);
  // The block's model goes into the second keyword of the caller's path.
  if (path.size() >= 4 && !TextField::trim_right(model).empty())
    text_element(ids, ids_len, 1).assign(model);
  *ierr = choice.ierr;
  TextField(qual, qual_len).assign(choice.qualifier);
}
}  // namespace

void tksplt_(int64_t* nid, char* ids, int64_t* nk, const char* knames, const char* kvals, char* qual,
             int64_t* ierr, size_t ids_len, size_t knames_len, size_t kvals_len, size_t qual_len) {
  static constexpr std::array<std::string_view, 2> kColModels{"LINKEDCO", "KINETCOL"};
  split_common(*nid, ids, ids_len, *nk, knames, knames_len, kvals, kvals_len, {}, kColModels, qual,
               qual_len, ierr);
}

void tkspl2_(int64_t* nid, char* ids, int64_t* nk, const char* knames, const char* kvals, int64_t* nx,
             const char* xsect, char* qual, int64_t* ierr, size_t ids_len, size_t knames_len,
             size_t kvals_len, size_t xsect_len, size_t qual_len) {
  static constexpr std::array<std::string_view, 1> kColModels{"LINKEDCO"};
  std::vector<std::string_view> extra;
  for (int64_t i = 0; i < std::clamp<int64_t>(*nx, 0, 1000); ++i)
    extra.push_back(text_element(xsect, xsect_len, static_cast<size_t>(i)).view());
  split_common(*nid, ids, ids_len, *nk, knames, knames_len, kvals, kvals_len, extra, kColModels, qual,
               qual_len, ierr);
}

void tkprfr_(const char* ids, int64_t* nid, const char* kvals, int64_t* nk, int64_t* npoint, double* values,
             char* utype, char* ulabel, int64_t* ierr, size_t ids_len, size_t kvals_len,
             size_t utype_len, size_t ulabel_len) {
  FreePointerGuard guard;
  const auto path = caller_path(ids, ids_len, *nid);
  std::vector<WantedQualifier> wanted;
  for (int64_t k = 0; k < std::clamp<int64_t>(*nk, 0, 6); ++k)
    wanted.push_back({text16(kProfileQualifiers[static_cast<size_t>(k)]),
                      text16(text_element(kvals, kvals_len, static_cast<size_t>(k)).view())});
  static constexpr std::array<std::string_view, 2> kColModels{"LINKEDCO", "KINETCOL"};
  std::string model;
  const DatasetChoice choice = split_block_results(path, wanted, {}, kColModels, model);
  if (choice.ierr != 0) {
    *ierr = choice.ierr;
    return;
  }
  std::vector<std::string_view> full(path.begin(), path.end());
  full[1] = model;
  const DatasetAnswer a = lookup_dataset(full, choice.qualifier);
  if (!a.found() || a.ndata != *npoint) {
    *ierr = 1;
    return;
  }
  const int64_t t = a.unit_type(1), code = a.unit_code(1);
  TextField(utype, utype_len).assign(unit_type_name(t));
  // Every value is in the first value's units: one conversion plan for all.
  StoredConverter convert;
  ConvertedValue c;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    if (t == 0) {
      values[j - 1] = a.real_value(j);
      continue;
    }
    c = convert(t, code, a.real_value(j));
    values[j - 1] = c.value;
  }
  TextField(ulabel, ulabel_len).assign(t == 0 ? std::string_view() : c.label_view());
  *ierr = 0;
}

void tkprfp_(const char* ids, int64_t* nid, int64_t* /*idum*/, char* pnames, int64_t* ierr, size_t ids_len,
             size_t pnames_len) {
  FreePointerGuard guard;
  const auto path = caller_path(ids, ids_len, *nid);
  int64_t node = 0;
  *ierr = path.size() < 4 ? 1 : TreeNodes::loaded().find(path, node);
  if (*ierr != 0 || node == 0) return;
  size_t next = 0;
  for (int64_t p : equal_siblings(node, path[3], true)) {
    DataRecord rec;
    if (!node_record(p, rec)) continue;
    const CompiledSequence& seq = compiled_sequence(std::string_view(rec.value, 8));
    if (seq.status != 0 || seq.nids < 1) continue;
    const IdsetHead& head = idset_head(seq.set_name(0));
    char first[16];
    unpack_text(head.qname, 4, TextField(first, 16));
    if (padded_equal(std::string_view(first, 16), "PROPERTIES")) {
      text_element(pnames, pnames_len, next++).assign(property_name(head.qval[0]));
    }
  }
}

void tkspr2_(const char* ids, int64_t* nid, const char* qname, int64_t* nmem, int64_t* nsets, int64_t* ierr,
             size_t ids_len, size_t qname_len) {
  FreePointerGuard guard;
  *nmem = 0;
  *nsets = 0;
  const auto path = caller_path(ids, ids_len, *nid);
  int64_t node = 0;
  *ierr = path.size() < 4 ? 1 : TreeNodes::loaded().find(path, node);
  if (*ierr != 0 || node == 0) return;
  const std::vector<int64_t> nodes = equal_siblings(node, path[3], true);
  *nsets = static_cast<int64_t>(nodes.size());
  DataRecord rec;
  if (nodes.empty() || !node_record(nodes[0], rec)) return;
  const CompiledSequence& seq = compiled_sequence(std::string_view(rec.value, 8));
  if (seq.status != 0) return;
  const std::string want = padded(TextField(qname, qname_len).view(), 8);
  for (int64_t s = 0; s < seq.nids; ++s) {
    const std::string set = seq.set_name(s);
    const int64_t line = std::llabs(idset_directory_line(set));
    if (line == 0) continue;
    position_scanner_at_line(line);
    scan::Token tok;
    for (int i = 0; i < 4; ++i) scan::next(tok);  // IDSET, name, "(", first qualifier
    if (padded(tok.text, 8) != want) continue;
    scan::next(tok);
    if (tok.type != scan::kClose) continue;
    scan::next(tok);
    if (tok.type != scan::kOpen) continue;
    for (int64_t guard_tokens = 0; guard_tokens < kMaxProfileMembers * 10; ++guard_tokens) {
      scan::next(tok);
      if (tok.type == scan::kClose || tok.type == scan::kNone) break;
      // A number-sign token stands for as many members as its digits say.
      *nmem += tok.type == scan::kNumberSign
                   ? std::min(read_unsigned(tok.text).value, kMaxProfileMembers + 1)
                   : 1;
      if (*nmem > kMaxProfileMembers) {
        *ierr = 1;
        return;
      }
    }
  }
}

void tkspr3_(const char* ids, int64_t* nid, int64_t* nk, const char* knames, const char* kvals, int64_t* ndim,
             const char* dnames, int64_t* sizes, int64_t* nfound, int64_t* ierr, size_t ids_len,
             size_t knames_len, size_t kvals_len, size_t dnames_len) {
  FreePointerGuard guard;
  *nfound = 0;
  const auto path = caller_path(ids, ids_len, *nid);
  const auto wanted = wanted_pairs(knames, knames_len, kvals, kvals_len, *nk);
  const DatasetChoice choice = find_dataset(path, wanted);
  *ierr = choice.ierr;
  if (choice.ierr != 0) return;
  std::vector<std::string_view> names(static_cast<size_t>(std::max<int64_t>(*ndim, 0)));
  for (size_t i = 0; i < names.size(); ++i) names[i] = text_element(dnames, dnames_len, i).view();
  *nfound = chosen_set_sizes(choice, names, std::span<int64_t>(sizes, names.size()));
}

void tknprf_(const char* ids, int64_t* nid, int64_t* n, int64_t* k, char* pname, char* substream,
             char* phase, char* component, char* basis, char* flowbasis, double* values,
             char* quantity, char* ulabel, int64_t* ierr, size_t ids_len, size_t pname_len,
             size_t substream_len, size_t phase_len, size_t component_len, size_t basis_len,
             size_t flowbasis_len, size_t quantity_len, size_t ulabel_len) {
  FreePointerGuard guard;
  for (TextField f : {TextField(pname, pname_len), TextField(substream, substream_len),
                      TextField(phase, phase_len), TextField(component, component_len),
                      TextField(basis, basis_len), TextField(flowbasis, flowbasis_len)})
    f.fill_blank();
  const auto path = caller_path(ids, ids_len, *nid);
  int64_t node = 0;
  *ierr = path.size() < 4 ? 1 : TreeNodes::loaded().find(path, node);
  if (*ierr != 0 || node == 0 || *k < 1) return;
  const std::vector<int64_t> nodes = equal_siblings(node, path[3], true);
  if (*k > static_cast<int64_t>(nodes.size())) return;
  const DatasetAnswer a = read_node(path, nodes[static_cast<size_t>(*k - 1)]);
  if (!a.found() || a.ndata != *n) {
    *ierr = 1;
    return;
  }
  describe_profile(a, TextField(pname, pname_len), TextField(substream, substream_len),
                   TextField(phase, phase_len), TextField(component, component_len),
                   TextField(basis, basis_len));
  const int64_t t = a.unit_type(1), code = a.unit_code(1);
  TextField(quantity, quantity_len).assign(t != 0 ? unit_type_name(t) : std::string());
  TextField(flowbasis, flowbasis_len).assign(basis_of_unit_type(t));
  TextField(ulabel, ulabel_len).fill_blank();
  StoredConverter convert;
  for (int64_t j = 1; j <= a.ndata; ++j) {
    const ConvertedValue c = convert(t, code, a.real_value(j));
    values[j - 1] = c.value;
    TextField(ulabel, ulabel_len).assign(c.label_view());
  }
}

}  // extern "C"
