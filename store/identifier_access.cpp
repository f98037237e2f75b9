// Identifier access over the loader's sorted tables (TKVBLK, TKLIDS, TKNEXT)
// and the lookups every query family uses to find an object by identifier.
#include "store/identifier_access.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/list_evaluation.hpp"
#include "store/packed_words.hpp"

namespace flowsum {

namespace {

// Where a table lies: its first word and count, checked to lie inside the
// work area (a table that does not is treated as empty).
struct TableWords {
  const int64_t* entries = nullptr;
  int64_t count = 0;
  int64_t stride = kItemEntryWords;
};

TableWords table_at(int64_t base, int64_t count, int64_t stride) {
  TableWords t;
  t.stride = stride;
  if (count < 1 || count > kWorkWords / stride || !in_work(base, count * stride)) return t;
  t.entries = work_ptr(base);
  t.count = count;
  return t;
}

TableWords item_table(ItemKind kind) {
  switch (kind) {
    case ItemKind::kBlock: return table_at(locs(l::kBlockTable), glob(g::kNblk), kItemEntryWords);
    case ItemKind::kStream: return table_at(locs(l::kStreamTable), glob(g::kNstr), kItemEntryWords);
    case ItemKind::kPropTable:
      return table_at(locs(l::kPropTabTable), glob(g::kNppt), kItemEntryWords);
    case ItemKind::kEquipment:
      return table_at(locs(l::kEquipTable), glob(g::kNeqp), kItemEntryWords);
  }
  return {};
}

TableWords relief_table() {
  return table_at(locs(l::kReliefTable), glob(g::kNrelief), kReliefEntryWords);
}

const int64_t* entry(const TableWords& t, int64_t k) { return t.entries + (k - 1) * t.stride; }

// The search key of an identifier: its first 128 characters packed with
// their key length, followed by one blank word when there is room, so that
// the key matches only an entry whose identifier ends where it ends.
int64_t identifier_key(std::string_view id, int64_t (&key)[kIdentifierWords]) {
  id = id.substr(0, std::min<size_t>(id.size(), kIdentifierChars));
  int64_t nw = pack_key(id, key);
  if (nw < kIdentifierWords) key[nw++] = kBlankWord;
  return nw;
}

int64_t find_in(const TableWords& t, std::string_view id) {
  if (t.count == 0) return 0;
  int64_t key[kIdentifierWords];
  const int64_t nw = identifier_key(id, key);
  return binary_search(key, t.entries, t.stride, t.count, 1, nw);
}

ItemType type_of(const TableWords& t, int64_t k) {
  ItemType type;
  unpack_text(entry(t, k) + kIdentifierWords, 2, TextField(type.text, sizeof type.text));
  return type;
}

struct Widening {
  ItemKind kind;
  std::string_view stored;
  std::string_view full;
};

// Type keywords longer than 8 characters that the tables hold cut.
constexpr std::array<Widening, 7> kWidenings{{
    {ItemKind::kBlock, "LINKEDCO", "LINKEDCOL"},
    {ItemKind::kBlock, "CRUDEUNI", "CRUDEUNIT"},
    {ItemKind::kEquipment, "FURNACE-", "FURNACE-UNIT"},
    {ItemKind::kEquipment, "TRAY-TOW", "TRAY-TOWER"},
    {ItemKind::kEquipment, "PACK-TOW", "PACK-TOWER"},
    {ItemKind::kPropTable, "FLASHCUR", "FLASHCURVE"},
    {ItemKind::kPropTable, "PTENVELO", "PTENVELOPE"},
}};

}  // namespace

std::optional<ItemKind> item_kind(std::string_view kind) {
  for (ItemKind k : {ItemKind::kBlock, ItemKind::kStream, ItemKind::kPropTable, ItemKind::kEquipment})
    if (padded_equal(kind, item_kind_name(k))) return k;
  return std::nullopt;
}

std::string_view item_kind_name(ItemKind kind) {
  switch (kind) {
    case ItemKind::kBlock: return "BLOCK";
    case ItemKind::kStream: return "STREAM";
    case ItemKind::kPropTable: return "PROP-TABLE";
    case ItemKind::kEquipment: return "EQUIPMEN";
  }
  return {};
}

int64_t item_count(ItemKind kind) { return item_table(kind).count; }

ItemMatch find_item(ItemKind kind, std::string_view id) {
  const TableWords t = item_table(kind);
  ItemMatch m;
  m.index = find_in(t, id);
  if (m.index > 0) m.type = type_of(t, m.index);
  return m;
}

bool item_identifier(ItemKind kind, int64_t k, TextField out) {
  const TableWords t = item_table(kind);
  if (k < 1 || k > t.count) return false;
  unpack_text(entry(t, k), kIdentifierWords, out);
  return true;
}

ItemType item_type(ItemKind kind, int64_t k) {
  const TableWords t = item_table(kind);
  if (k < 1 || k > t.count) return {};
  return type_of(t, k);
}

std::string_view widened_type(ItemKind kind, std::string_view stored) {
  for (const Widening& w : kWidenings)
    if (w.kind == kind && padded_equal(stored, w.stored)) return w.full;
  return TextField::trim_right(stored);
}

int64_t relief_count() { return relief_table().count; }

int64_t find_relief(std::string_view id) { return find_in(relief_table(), id); }

bool relief_identifier(int64_t k, TextField out) {
  const TableWords t = relief_table();
  if (k < 1 || k > t.count) return false;
  unpack_text(entry(t, k), kIdentifierWords, out);
  return true;
}

int64_t list_identifiers(std::string_view kind, int64_t n, char* ids, size_t ids_len,
                         char* types, size_t types_len) {
  auto id_at = [&](int64_t i) { return text_element(ids, ids_len, static_cast<size_t>(i)); };
  auto type_at = [&](int64_t i) { return text_element(types, types_len, static_cast<size_t>(i)); };
  if (ids_len > 0 || types_len > 0) {
    for (int64_t i = 0; i < n; ++i) {
      id_at(i).fill_blank();
      type_at(i).fill_blank();
    }
  }

  if (const std::optional<ItemKind> k = item_kind(kind)) {
    // Only the entries the table has are copied: asking for more than the
    // count leaves the rest blank instead of reading past the table.
    const bool widen = *k == ItemKind::kBlock || *k == ItemKind::kEquipment;
    const int64_t count = std::min(n, item_count(*k));
    for (int64_t i = 0; i < count; ++i) {
      item_identifier(*k, i + 1, id_at(i));
      const ItemType t = item_type(*k, i + 1);
      type_at(i).assign(widen ? widened_type(*k, t.view()) : t.view());
    }
    return 0;
  }

  // A top-level keyword of the tree: the keywords of its children.
  const TreeNodes tree = TreeNodes::loaded();
  const std::string_view path[1] = {TextField::trim_right(kind)};
  int64_t node = 0;
  const int64_t rc = tree.find(path, node);
  if (node == 0) return rc != 0 ? rc : 1;
  int64_t p = tree.first_child(node);
  const int64_t most = std::min(n, tree.max_nodes());
  for (int64_t i = 0; i < most && p != 0; ++i) {
    const TextField out = id_at(i);
    tree.keyword(p, out.data, out.len);
    p = tree.next_sibling(p);
  }
  return 0;
}

int64_t next_identifier(std::string_view kind, int64_t& index, TextField id, TextField type) {
  if (index < 1) index = 1;
  id.fill_blank();
  type.fill_blank();

  if (const std::optional<ItemKind> k = item_kind(kind)) {
    // Past the end: blank identifier and type, and no error, which is how a
    // caller sees the end of the table.
    if (item_identifier(*k, index, id)) type.assign(item_type(*k, index).view());
    return 0;
  }

  const TreeNodes tree = TreeNodes::loaded();
  const std::string_view path[1] = {TextField::trim_right(kind)};
  int64_t node = 0;
  const int64_t rc = tree.find(path, node);
  if (node == 0) return rc != 0 ? rc : 1;
  // A chain has at most as many nodes as the tree: an index beyond that
  // (or a chain that loops) ends like a chain that is too short.
  if (index > tree.max_nodes()) return 1;
  int64_t p = tree.first_child(node);
  for (int64_t i = 1; i < index && p != 0; ++i) p = tree.next_sibling(p);
  if (p == 0) return 1;
  tree.keyword(p, id.data, id.len);
  return 0;
}

ValueShape data_set_shape(std::span<const std::string_view> path) {
  ValueShape shape;
  // The shape of the data set the readers (TKDSET, TKPVAL, ...) read with a
  // blank qualifier, so that arrays sized by it hold what they write.
  if (is_completion_status_path(path)) {
    shape.ndata = 1;  // the one value built for it, whatever the tree holds
    return shape;
  }
  int64_t node = 0;
  DataRecord found;
  shape.ierr = TreeNodes::loaded().find(path, node, &found);
  if (node == 0) {
    if (shape.ierr == 0) shape.ierr = 1;
    return shape;
  }
  shape.ierr = 0;
  // The node found may be a longer key that the last keyword is the start
  // of; the readers take the sibling whose key is the keyword itself.
  DataRecord record;
  if (!choose_loaded_sibling(node, path.back(), {}, record)) return shape;  // they read nothing
  // The qualifier block is built above the free pointer and given up again.
  const int64_t free_pointer = locs(l::kFreePointer);
  const ListAnswer list = evaluate_list_remembered(std::string_view(record.value, sizeof record.value));
  locs(l::kFreePointer) = free_pointer;
  shape.ndata = list.ndata;
  shape.nq = list.nqual > 0 ? list.nqual - 1 : 0;
  return shape;
}

}  // namespace flowsum

extern "C" {

void tkvblk_(char* id, char* type, int64_t* ierr, size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = 1;
  const ItemMatch m = find_block(TextField(id, id_len).view());
  if (!m) return;
  TextField(type, type_len).assign(m.type.view());
  *ierr = 0;
}

void tklids_(char* kind, int64_t* n, char* ids, char* types, int64_t* ierr, size_t kind_len,
             size_t ids_len, size_t types_len) {
  using namespace flowsum;
  *ierr = 1;
  try {
    *ierr = list_identifiers(TextField(kind, kind_len).view(), *n, ids, ids_len, types, types_len);
  } catch (...) {
  }
}

void tknext_(char* kind, int64_t* index, char* id, char* type, int64_t* ierr, size_t kind_len,
             size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = 1;
  try {
    *ierr = next_identifier(TextField(kind, kind_len).view(), *index, TextField(id, id_len),
                            TextField(type, type_len));
  } catch (...) {
  }
}

void tknval_(char* ids, int64_t* nid, int64_t* ndata, int64_t* nq, int64_t* ierr, size_t ids_len) {
  using namespace flowsum;
  *ndata = 0;
  *nq = 0;
  *ierr = 1;
  try {
    // No path in the tree is deeper than this; a longer one is looked up by
    // its first keywords and is never found.
    constexpr int64_t kDeepest = 4096;
    const int64_t n = std::clamp<int64_t>(*nid, 0, kDeepest);
    std::vector<std::string_view> path;
    for (int64_t i = 0; i < n; ++i)
      path.push_back(text_element(ids, ids_len, static_cast<size_t>(i)).view());
    ValueShape shape = data_set_shape(path);
    if (shape.ierr == 0 && *nid > kDeepest) shape = ValueShape{kDeepest + 1, 0, 0};
    *ndata = shape.ndata;
    *nq = shape.nq;
    *ierr = shape.ierr;
  } catch (...) {
  }
}

}  // extern "C"
