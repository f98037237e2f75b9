// C++ view of the seven global blocks: 1-based word accessors, real words and
// the named words the library uses, so that no other file spells raw indexes.
#pragma once

#include <bit>
#include <cstdint>

#include "flowsum.h"

namespace flowsum {

inline constexpr int64_t kWorkWords = TK_WORK_WORDS;

// Work area, 1-based word k.
inline int64_t& work(int64_t k) { return tkwork_[k - 1]; }
inline int64_t* work_ptr(int64_t k) { return &tkwork_[k - 1]; }
inline bool in_work(int64_t first, int64_t count) {
  return first >= 1 && count >= 0 && first - 1 + count <= kWorkWords;
}
inline double work_real(int64_t k) { return std::bit_cast<double>(tkwork_[k - 1]); }
inline void set_work_real(int64_t k, double v) { tkwork_[k - 1] = std::bit_cast<int64_t>(v); }

inline int64_t& glob(int k) { return tkglob_[k - 1]; }
inline int64_t& locs(int k) { return tklocs_[k - 1]; }
inline int64_t& memw(int k) { return tkmemw_[k - 1]; }
inline double& rglb(int k) { return tkrglb_[k - 1]; }

// Named words of TKGLOB.
namespace g {
inline constexpr int kNcc = 1, kNnc = 2, kNcomp = 3, kNblk = 4, kNstr = 5,
                     kNppt = 6, kInfo = 7, kNunitTypes = 8, kLsetPrint = 10,
                     kScratchUnit = 11, kMsgUnit = 12, kCharByte = 13,
                     kCharsPerWord = 14, kWordsPerReal = 15, kWords4 = 16,
                     kWords8 = 17, kWords12 = 18, kWords16 = 19, kNeqp = 20,
                     kNrelief = 21;
}
// Named words of TKLOCS.
namespace l {
inline constexpr int kPropTable = 1, kPropCount = 2, kIdsetDir = 3,
                     kIdsetCount = 4, kLsetDir = 5, kLsetCount = 6,
                     kTree = 7, kTreeUsed = 8, kBlockTable = 9,
                     kStreamTable = 11, kPropTabTable = 12, kTargetUnits = 13,
                     kUnitTypes = 14, kUnitEntries = 15, kComponents = 16,
                     kNextFree = 24, kFreePointer = 25, kEquipTable = 26,
                     kReliefTable = 27;
}

inline int64_t chars_per_word() { return glob(g::kCharsPerWord) > 0 ? glob(g::kCharsPerWord) : 4; }
inline int64_t message_unit() { return glob(g::kMsgUnit); }

}  // namespace flowsum
