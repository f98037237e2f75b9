// The item search (TKNITM): an iterator over the objects that the data-set
// tree holds only implicitly (a block 'B1' of model "TRAYCOL" exists because
// some data set has the path "BLOCK", "TRAYCOL", "B1", ...). Each call returns
// one object: its node's position in the tree, and its identifier and
// category in the two texts. The loader builds the item tables with it.
#pragma once

#include <cstdint>
#include <string_view>

#include "store/text_field.hpp"

namespace flowsum {

// The search types, numbered as their slots.
enum class SearchType : int {
  kNone = 0,
  kSensitivity = 1,  // "SENSITIV": the sensitivity studies
  kBlockAny,         // "BLK_ANY": every block, model in ARG3
  kBlockSpec,        // "BLK_SPEC": the blocks of model ARG3
  kBlockType,        // "BLK_TYPE": the block models, one each in ARG3
  kStreamAny,        // "STR_ANY"
  kStreamSpec,       // "STR_SPEC"
  kStreamType,       // "STR_TYPE"
  kPropTableAny,     // "PTB_ANY"
  kPropTableSpec,    // "PTB_SPEC"
  kPropTableType,    // "PTB_TYPE"
  kEquipmentAny,     // "EQP_ANY"
  kEquipmentSpec,    // "EQP_SPEC": the equipment types, one each in ARG4
  kEquipmentType,    // "EQP_TYPE": the equipment types, one each in ARG3
  kHeatingCurve,     // "HCURVE": sections of block ARG4 with that name
  kHotCurve,         // "HOT_HCUR"
  kColdCurve,        // "COLD_HCU"
  kReboilerCurve,    // "REB_HCUR"
  kCondenserCurve,   // "COND_HCU"
  kIntermediateCurve, // "ICH_HCUR"
  kColumnProfile,    // "COL_PROF": the profile sections of block ARG4
};
inline constexpr int kSearchTypes = 20;

// The search type named by the first 8 characters of a text (blank-padded,
// case-sensitive); kNone when it names none.
SearchType search_type(std::string_view stype);
// The 8-character name of a search type.
std::string_view search_type_name(SearchType type);

// Values of IPOS besides a node position and 0 (no more objects).
inline constexpr int64_t kUnknownSearchType = -1;
inline constexpr int64_t kUnknownBlock = -2;
inline constexpr int64_t kInvalidCategory = -3;

// What MODE asks for.
inline constexpr int64_t kNextItem = 0;     // the next object (starts a search when none is under way)
inline constexpr int64_t kSwapState = -1;   // exchange the saved state with IPOS, ARG3, ARG4
inline constexpr int64_t kStartSearch = 1;  // any other value starts a new search

// TKNITM on C++ fields. ARG3 and ARG4 are the caller's fields (128
// characters each are kept between calls); ipos receives the object's node,
// 0 at the end, or one of the negative codes above (with a message).
void next_item(std::string_view stype, int64_t mode, TextField arg3, TextField arg4,
               int64_t& ipos);
void next_item(SearchType type, int64_t mode, TextField arg3, TextField arg4, int64_t& ipos);

// Ends every search under way. The loader calls it before it builds the
// tables of a new file: positions saved in the previous file's tree mean
// nothing in the new one.
void reset_item_searches();

}  // namespace flowsum
