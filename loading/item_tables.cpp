// Item tables built at load time: the sorted identifier tables of blocks,
// streams, property tables and equipment, made with the item search, and the
// table of pressure-relief identifiers, made from the children of the
// top-level node "PRES-RELIEF". Each table starts at the next free word and
// moves it past itself.
#include <algorithm>
#include <array>

#include "io/messages.hpp"
#include "loading/globals.hpp"
#include "loading/item_search.hpp"
#include "loading/load_steps.hpp"
#include "loading/work_area.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"
#include "store/packed_words.hpp"

namespace flowsum {

namespace {

void report_no_room(LoadContext& ctx) {
  ctx.ierr = 4;
  write_message({" INSUFFICIENT WORK AREA WHILE LOADING LOOKUP TABLES"});
  write_message_lines({" CURRENT WORK SIZE =" + fortran_i(ctx.work_size, 7)});
}

// Whether `words` more words fit from word `next` on.
bool fits(const LoadContext& ctx, int64_t next, int64_t words) {
  return next >= 1 && words >= 0 && next <= ctx.work_size && words <= ctx.work_size - next;
}

struct ItemTableSource {
  SearchType search;
  int locs_word;
  int count_word;
};

constexpr std::array<ItemTableSource, 4> kItemTables{{
    {SearchType::kBlockAny, l::kBlockTable, g::kNblk},
    {SearchType::kStreamAny, l::kStreamTable, g::kNstr},
    {SearchType::kPropTableAny, l::kPropTabTable, g::kNppt},
    {SearchType::kEquipmentAny, l::kEquipTable, g::kNeqp},
}};

// One pass of a search from its start: calls `take` with ARG3 and ARG4 of
// each object, at most kMaxItemsPerTable objects. Both passes of a table
// start a new search, so they see the same objects: the first 10000 in
// tree order when a category holds more.
template <typename Take>
int64_t search_pass(SearchType search, Take take) {
  char arg3[kIdentifierChars], arg4[kIdentifierChars];
  int64_t count = 0;
  for (int64_t mode = kStartSearch; count < kMaxItemsPerTable; mode = kNextItem) {
    int64_t ipos = 0;
    next_item(search, mode, TextField(arg3, sizeof arg3), TextField(arg4, sizeof arg4), ipos);
    if (ipos <= 0) break;
    take(count, std::string_view(arg3, sizeof arg3), std::string_view(arg4, sizeof arg4));
    ++count;
  }
  return count;
}

void build_item_table(LoadContext& ctx, const ItemTableSource& source) {
  const int64_t base = locs(l::kNextFree);
  locs(source.locs_word) = base;
  glob(source.count_word) = 0;

  const int64_t count = search_pass(source.search, [](int64_t, std::string_view, std::string_view) {});
  if (count == 0) return;
  if (!fits(ctx, base, kItemEntryWords * count)) {
    report_no_room(ctx);
    return;
  }

  const int64_t filled = search_pass(source.search, [&](int64_t k, std::string_view category,
                                                      std::string_view id) {
    if (k >= count) return;
    int64_t* e = work_ptr(base + kItemEntryWords * k);
    blank_words(e, kItemEntryWords);
    pack_key(TextField::trim_right(id), e);
    pack_text(category, 2 * chars_per_word(), e + kIdentifierWords);
  });
  const int64_t n = std::min(filled, count);
  int64_t scratch[kItemEntryWords];
  sort_table(kItemEntryWords, n, work_ptr(base), 1, kIdentifierWords, scratch);
  glob(source.count_word) = n;
  locs(l::kNextFree) = base + kItemEntryWords * n;
}

void build_relief_table(LoadContext& ctx) {
  const int64_t base = locs(l::kNextFree);
  locs(l::kReliefTable) = base;
  glob(g::kNrelief) = 0;

  const TreeNodes tree = TreeNodes::loaded();
  const std::string_view path[1] = {"PRES-RELIEF"};
  int64_t node = 0;
  tree.find(path, node);
  int64_t n = 0;
  for (int64_t p = tree.first_child(node); p != 0 && n < tree.max_nodes();
       p = tree.next_sibling(p)) {
    if (!fits(ctx, base, kReliefEntryWords * (n + 1))) {
      report_no_room(ctx);
      break;
    }
    int64_t* e = work_ptr(base + kReliefEntryWords * n);
    blank_words(e, kReliefEntryWords);
    const std::span<const int64_t> key = tree.key(p);
    std::copy_n(key.begin(), std::min<size_t>(key.size(), kIdentifierWords), e);
    ++n;
  }
  int64_t scratch[kReliefEntryWords];
  sort_table(kReliefEntryWords, n, work_ptr(base), 1, kIdentifierWords, scratch);
  glob(g::kNrelief) = n;
  locs(l::kNextFree) = base + kReliefEntryWords * n;
}

}  // namespace

void build_item_tables(LoadContext& ctx) {
  // Searches under way belong to the previous file's tree.
  reset_item_searches();
  for (const ItemTableSource& source : kItemTables) build_item_table(ctx, source);
  build_relief_table(ctx);
  reset_item_searches();
}

}  // namespace flowsum
