// Profile readers shared by the column, reactor and pipeline families.
#include "query/profile_readers.hpp"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "loading/globals.hpp"
#include "loading/loader.hpp"
#include "loading/scanner.hpp"
#include "query/components.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/list_evaluation.hpp"
#include "store/loading_sequences.hpp"
#include "store/packed_words.hpp"
#include "store/text_utils.hpp"
#include "store/value_access.hpp"
#include "units/unit_conversion.hpp"

namespace flowsum {

namespace {

// Sections one block's memory holds at most.
constexpr size_t kRememberedPerBlock = 256;

// What the profile readers found for the block asked for last: its table
// entry and the data sets of the sections asked for since. A caller reads
// one block's profiles property by property, and each call would otherwise
// search the block table and walk each section's sibling chain again. The
// memory serves only while the load, its tree and the block table are the
// ones it was filled from.
struct BlockMemory {
  LoadStamp stamp;
  ProfileBlock block;
  bool valid = false;
  std::unordered_map<std::string, std::vector<int64_t>> sections;

  bool current() const { return valid && stamp == LoadStamp::now(ItemKind::kBlock); }
};
BlockMemory g_block_memory;

}  // namespace

ProfileBlock profile_block(std::string_view id) {
  const std::string_view given = id.substr(0, std::min<size_t>(id.size(), kIdentifierChars));
  BlockMemory& m = g_block_memory;
  // Compared blank-padded: a caller's id field is mostly blanks, which
  // this skips eight at a time.
  if (m.current() && padded_equal(given, m.block.id)) return m.block;
  ProfileBlock b;
  b.id = std::string(TextField::trim_right(given));
  b.match = find_block(b.id);
  b.model = std::string(TextField::trim_right(b.match.type.view()));
  m.valid = true;
  m.stamp = LoadStamp::now(ItemKind::kBlock);
  m.block = b;
  m.sections.clear();
  return b;
}

std::string numbered_section(std::string_view prefix, int64_t n) {
  if (n < 1) return {};
  return std::string(prefix) + std::to_string(n);
}

std::string number_key(int64_t n) { return padded(std::to_string(n), kQualifierChars); }

namespace {

// The number an element value stands for: its digits, other characters
// skipped ("#10" is 10), the first blank after a digit ending it.
int64_t element_number(std::string_view text) {
  int64_t n = 0;
  bool digits = false;
  for (char c : text) {
    if (c == ' ' && digits) break;
    if (c < '0' || c > '9') continue;
    digits = true;
    if (n > (INT64_MAX - 9) / 10) return 0;
    n = 10 * n + (c - '0');
  }
  return n;
}

}  // namespace

ProfileElements profile_elements(std::string_view lsetid, std::string_view point_keyword) {
  ProfileElements e;
  FreePointerGuard guard;
  const CompiledSequence& seq = compiled_sequence(lsetid);
  if (seq.status != 0) return e;
  bool seen_points = false, seen_property = false;
  for (int64_t s = 0; s < seq.nids; ++s) {
    const std::string set = seq.set_name(s);
    const int64_t line = std::llabs(idset_directory_line(set));
    if (line == 0) continue;
    position_scanner_at_line(line);
    // "IDSET", the set name, "(", the keyword, ")", "(", the first member.
    scan::Token tok;
    scan::next(tok);
    scan::next(tok);
    const std::string value_type = padded(tok.text, 8);
    scan::next(tok);
    scan::next(tok);
    const std::string keyword(TextField::trim_right(tok.text));
    scan::next(tok);
    scan::next(tok);
    scan::next(tok);
    if (keyword == point_keyword && !seen_points) {
      e.points = element_number(tok.text);
      seen_points = true;
    } else if (keyword == "N_COL" && !e.has_column) {
      e.column = element_number(tok.text);
      e.has_column = true;
    } else if (keyword == "PROPERTIES" && !seen_property) {
      e.property = element_number(tok.text);
      e.properties = std::max<int64_t>(idset_dimensions(set).nmem, 0);
      seen_property = true;
    } else if (keyword == "SUBSTREAM" && e.substream.empty()) {
      e.substream = std::string(TextField::trim_right(tok.text.substr(0, std::min<size_t>(tok.text.size(), 8))));
    } else if (keyword == "COMPONENTS" && !e.has_components) {
      // The run's component set stands for all components; any other set
      // lists its own, never more than the run has.
      const int64_t ncc = component_counts().conventional;
      e.components = value_type == padded("ID_NCC", 8)
                         ? ncc
                         : std::clamp<int64_t>(idset_dimensions(set).nmem, 0, ncc);
      e.has_components = true;
    }
  }
  return e;
}

CallerPath::CallerPath(const std::array<std::string_view, 4>& keys) {
  for (std::string_view k : keys) width = std::max(width, std::min(k.size(), kKeywordChars));
  for (size_t i = 0; i < keys.size(); ++i) TextField(text.data() + i * width, width).assign(keys[i]);
}

std::string node_qualifier(int64_t node) {
  DataRecord rec;
  if (!node_record(node, rec)) return std::string(8, ' ');
  return std::string(rec.value, 8);
}

DatasetAnswer lookup_node(std::span<const std::string_view> path, int64_t node) {
  DataRecord rec;
  if (node == 0 || !node_record(node, rec)) return DatasetAnswer{};
  return lookup_dataset_record(path, rec);
}

ProfileElements node_elements(int64_t node, std::string_view point_keyword) {
  // What a node's sequence says is read once per load: counting and
  // listing routines ask for the same data sets over and over.
  // Kept per point keyword, since that keyword decides the point count.
  // Kept by node, so a tree edit (which may give a node to another data
  // set) empties it as a new load does.
  static LoadStamp stamp;
  static std::unordered_map<std::string, std::unordered_map<int64_t, ProfileElements>> known;
  // The table of the keyword asked for last: a family asks with one keyword
  // for node after node.
  static std::unordered_map<int64_t, ProfileElements>* last = nullptr;
  static std::string last_keyword;
  if (!(stamp == LoadStamp::now())) {
    known.clear();
    last = nullptr;
    stamp = LoadStamp::now();
  }
  if (!last || last_keyword != point_keyword) {
    last_keyword = std::string(point_keyword);
    last = &known[last_keyword];
  }
  auto& by_node = *last;
  const auto it = by_node.find(node);
  if (it != by_node.end()) return it->second;
  DataRecord rec;
  if (!node_record(node, rec)) return {};
  const ProfileElements e = profile_elements(std::string_view(rec.value, 8), point_keyword);
  by_node.emplace(node, e);
  return e;
}

std::vector<int64_t> section_nodes(const ProfileBlock& b, std::string_view section) {
  if (!b || section.empty()) return {};
  BlockMemory& m = g_block_memory;
  const bool remembered = m.current() && m.block.id == b.id && m.block.model == b.model;
  if (remembered) {
    const auto it = m.sections.find(std::string(section));
    if (it != m.sections.end()) return it->second;
  }
  const auto path = b.path(section);
  int64_t node = 0;
  std::vector<int64_t> nodes;
  if (TreeNodes::loaded().find(path, node) == 0 && node != 0) nodes = equal_siblings(node, section, true);
  if (remembered) {
    // Section names can come from a caller's numbers: what one block keeps
    // stays bounded.
    if (m.sections.size() >= kRememberedPerBlock) m.sections.clear();
    m.sections.emplace(section, nodes);
  }
  return nodes;
}

bool section_present(const ProfileBlock& b, std::string_view section) {
  if (!b || section.empty()) return false;
  const auto path = b.path(section);
  int64_t node = 0;
  return TreeNodes::loaded().find(path, node) == 0 && node != 0;
}

int64_t column_node(const ProfileBlock& b, std::string_view section, int64_t column) {
  const std::vector<int64_t> nodes = section_nodes(b, section);
  if (column == 0) return nodes.empty() ? 0 : nodes.front();
  for (int64_t p : nodes) {
    const ProfileElements e = node_elements(p);
    if (e.has_column && e.column == column) return p;
  }
  return 0;
}

int64_t choose_profile_node(const ProfileBlock& b, std::string_view section, int64_t property, int64_t column) {
  for (int64_t node : section_nodes(b, section)) {
    const ProfileElements e = node_elements(node);
    if ((property == 0 || e.property == property) && (column == 0 || (e.has_column && e.column == column)))
      return node;
  }
  return 0;
}

bool read_point_profile(std::span<const std::string_view> path, std::string_view qualifier,
                        int64_t first, int64_t n, double* values, ProfileUnits units) {
  FreePointerGuard guard;
  const DatasetAnswer a = lookup_dataset(path, qualifier);
  if (!a.found()) return false;
  const int64_t t = a.unit_type(1), code = a.unit_code(1);
  units.quantity.assign(t != 0 ? unit_type_name(t) : std::string());
  units.label.fill_blank();
  const int64_t last = std::min<int64_t>(a.ndata, first - 1 + std::max<int64_t>(n, 0));
  StoredConverter convert;
  for (int64_t j = std::max<int64_t>(first, 1); j <= last; ++j) {
    if (t == 0) {
      values[j - first] = a.real_value(j);
      continue;
    }
    const ConvertedValue c = convert(t, code, a.real_value(j));
    values[j - first] = c.value;
    units.label.assign(c.label_view());
  }
  return true;
}

bool read_component_profile(std::span<const std::string_view> path, std::string_view qualifier,
                            int64_t first, int64_t count, int64_t ld, int64_t npoints, char* compids,
                            size_t compids_len, double* values, ProfileUnits units,
                            std::string_view point_qualifier) {
  FreePointerGuard guard;
  const DatasetAnswer a = lookup_dataset(path, qualifier);
  if (!a.found()) return false;
  const int64_t t = a.unit_type(1), code = a.unit_code(1);
  units.quantity.assign(t != 0 ? unit_type_name(t) : std::string());
  units.label.fill_blank();
  const int64_t ccol = a.find_qualifier("COMPONENTS"), pcol = a.find_qualifier(point_qualifier);
  const int64_t last = count < 0 ? a.ndata : std::min<int64_t>(a.ndata, first - 1 + count);
  // Components are told apart by their two packed words, and a point's
  // text is read only when it changes from the value before.
  struct PairHash {
    size_t operator()(const std::pair<int64_t, int64_t>& p) const {
      return std::hash<uint64_t>()(static_cast<uint64_t>(p.first) * 31u + static_cast<uint64_t>(p.second));
    }
  };
  std::unordered_map<std::pair<int64_t, int64_t>, int64_t, PairHash> position;
  auto pair_of = [&](int64_t col, int64_t j) {
    const int64_t w = a.locq + 4 * a.nqual + 2 * a.nqual * (j - 1) + 2 * (col - 1);
    return col > 0 && in_work(w, 2) ? std::pair{work(w), work(w + 1)} : std::pair<int64_t, int64_t>{0, 0};
  };
  std::pair<int64_t, int64_t> last_point{-1, -1};
  int64_t point = 0;
  // An "NPOINT" column holds the point as an integer, others as a text.
  const bool integer_points = padded_equal(point_qualifier, "NPOINT");
  StoredConverter convert;
  if (t != 0) units.label.assign(convert(t, code, 0.0).label_view());
  for (int64_t j = std::max<int64_t>(first, 1); j <= last; ++j) {
    const auto [it, added] = position.try_emplace(pair_of(ccol, j), static_cast<int64_t>(position.size()) + 1);
    const int64_t k = it->second;
    if (added && k <= ld)
      text_element(compids, compids_len, static_cast<size_t>(k - 1))
          .assign(ccol > 0 ? a.qualifier_text(ccol, j) : std::string(8, ' '));
    const auto p = pair_of(pcol, j);
    if (p != last_point) {
      last_point = p;
      point = pcol <= 0         ? 0
              : integer_points ? a.qualifier_int(pcol, j)
                               : read_unsigned(TextField::trim_right(a.qualifier_text(pcol, j))).value;
    }
    if (k > ld || point < 1 || point > npoints) continue;
    values[(k - 1) + ld * (point - 1)] = t != 0 ? convert(t, code, a.real_value(j)).value : a.real_value(j);
  }
  return true;
}

}  // namespace flowsum
