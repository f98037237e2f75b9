// Identifier access: finding a block, stream, property table, equipment item
// or pressure-relief object by its identifier in the sorted tables the loader
// built, reading table entries by position, and listing the keywords below a
// top-level keyword of the data-set tree, and the size of a data set
// without reading its values.
//
// Item table entry (34 words): words 1-32 the identifier packed and padded
// with blank words (128 characters), words 33-34 the first 8 characters of
// the object's type (block model, stream type, table kind, equipment type).
// Pressure-relief entry: 32 words, the identifier only. All tables are sorted
// on the identifier words in the numeric order of packed words.
//
// These are the shared lookups of every query family: they read only the
// tables below the free pointer and never write to the work area.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "store/text_field.hpp"

namespace flowsum {

enum class ItemKind { kBlock, kStream, kPropTable, kEquipment };

inline constexpr int64_t kItemEntryWords = 34;
inline constexpr int64_t kIdentifierWords = 32;
inline constexpr int64_t kIdentifierChars = 128;
inline constexpr int64_t kReliefEntryWords = 32;
// Objects an item table holds at most (one pass of the item search).
inline constexpr int64_t kMaxItemsPerTable = 10000;

// The kind named by a KIND text: "BLOCK", "STREAM", "PROP-TABLE",
// "EQUIPMEN" (blank-padded, case-sensitive); none for any other text.
std::optional<ItemKind> item_kind(std::string_view kind);
// The kind's keyword as above.
std::string_view item_kind_name(ItemKind kind);

// The 8-character type of a table entry, blank-padded.
struct ItemType {
  char text[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  std::string_view view() const { return {text, 8}; }
};

// Result of a lookup: the entry number (1 .. count) and its type; index 0
// when the identifier is not in the table.
struct ItemMatch {
  int64_t index = 0;
  ItemType type;
  explicit operator bool() const { return index > 0; }
};

// Number of entries of a table (0 when the table words do not describe a
// table inside the work area).
int64_t item_count(ItemKind kind);

// Finds an identifier (its first 128 characters count, trailing blanks do
// not). The key ends with a blank word, so "B1" does not find "B1X".
ItemMatch find_item(ItemKind kind, std::string_view id);
inline ItemMatch find_block(std::string_view id) { return find_item(ItemKind::kBlock, id); }
inline ItemMatch find_stream(std::string_view id) { return find_item(ItemKind::kStream, id); }
inline ItemMatch find_prop_table(std::string_view id) { return find_item(ItemKind::kPropTable, id); }
inline ItemMatch find_equipment(std::string_view id) { return find_item(ItemKind::kEquipment, id); }

// Entry k (1-based): its identifier into a field (blank-padded or cut, at
// most 128 characters) and its stored type. False, with the field untouched
// and a blank type, when k is outside 1 .. count.
bool item_identifier(ItemKind kind, int64_t k, TextField out);
ItemType item_type(ItemKind kind, int64_t k);

// The full type keyword of a stored type that the table cut to 8
// characters ("CRUDEUNI" of a block is "CRUDEUNIT", "PTENVELO" of a
// property table "PTENVELOPE", ...); any other type as stored, trailing
// blanks cut.
std::string_view widened_type(ItemKind kind, std::string_view stored);

// The pressure-relief table: count, lookup (same key rule as above) and
// entry k's identifier.
int64_t relief_count();
int64_t find_relief(std::string_view id);
bool relief_identifier(int64_t k, TextField out);

// TKLIDS on C++ fields: the first n identifiers and types of a table, or
// the first n keywords below a top-level keyword of the tree. Every element
// 1..n is blanked first; entries past the table's count or the chain's end
// stay blank. Types of blocks and equipment are widened. Returns IERR: 0, or
// the tree's code when KIND is neither a table nor a top-level keyword.
int64_t list_identifiers(std::string_view kind, int64_t n, char* ids, size_t ids_len,
                         char* types, size_t types_len);

// TKNEXT on C++ fields: the index-th identifier and stored type of a table
// (blank past the end), or the index-th keyword below a top-level keyword.
// index below 1 becomes 1. Returns IERR: 0, 1 when the keyword chain ends
// before index, or the tree's code when the keyword is not found.
int64_t next_identifier(std::string_view kind, int64_t& index, TextField id, TextField type);

// TKNVAL on C++ texts: the number of values of the data set at `path` and
// the number of its qualifiers less one, from its loading sequence, without
// reading the values (ndata -1 for an open-ended data set, whose count comes
// with its values). Free words are used only while it runs. Returns IERR: 0,
// or the tree's code (the failing level) with both counts 0.
struct ValueShape {
  int64_t ierr = 0;
  int64_t ndata = 0;
  int64_t nq = 0;
};
ValueShape data_set_shape(std::span<const std::string_view> path);

}  // namespace flowsum
