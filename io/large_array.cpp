// The keeper of huge-page blocks behind LargeArray and the scratch copy's
// chunks: blocks given back wait here for the next table that needs one.
#include "io/large_array.hpp"

#include <mutex>
#include <vector>

namespace flowsum {

namespace {

// Blocks kept at most, in bytes: enough for the tables of a load of a few
// hundred megabytes; what is given back beyond it goes to the system.
// Under AddressSanitizer nothing is kept, so that it still sees every use
// of a table after the table was given up.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kKeptBytes = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t kKeptBytes = 0;
#else
constexpr size_t kKeptBytes = size_t{256} << 20;
#endif
#else
constexpr size_t kKeptBytes = size_t{256} << 20;
#endif

struct Keeper {
  std::mutex mutex;
  std::vector<HugeBlock> blocks;
  size_t kept = 0;
};

Keeper& keeper() {
  static Keeper* k = new Keeper;  // never destroyed: tables may outlive statics
  return *k;
}

}  // namespace

HugeBlock allocate_huge(size_t bytes) {
  {
    Keeper& k = keeper();
    std::lock_guard<std::mutex> lock(k.mutex);
    // The smallest kept block that is large enough, and not more than twice
    // as large, so that a small table does not hold on to a large block.
    size_t best = k.blocks.size();
    for (size_t i = 0; i < k.blocks.size(); ++i) {
      const size_t b = k.blocks[i].bytes;
      if (b >= bytes && b / 2 < bytes && (best == k.blocks.size() || b < k.blocks[best].bytes)) best = i;
    }
    if (best != k.blocks.size()) {
      HugeBlock h = k.blocks[best];
      k.blocks[best] = k.blocks.back();
      k.blocks.pop_back();
      k.kept -= h.bytes;
      return h;
    }
  }
  void* p = std::aligned_alloc(kHugePage, bytes);
  if (!p) throw std::bad_alloc();
  ::madvise(p, bytes, MADV_HUGEPAGE);
  return {p, bytes};
}

void release_huge(void* data, size_t bytes) {
  if (!data) return;
  Keeper& k = keeper();
  {
    std::lock_guard<std::mutex> lock(k.mutex);
    if (bytes <= kKeptBytes - k.kept) {
      try {
        k.blocks.push_back({data, bytes});
        k.kept += bytes;
        return;
      } catch (const std::bad_alloc&) {
        // No room to note it: the block goes back to the system below.
      }
    }
  }
  std::free(data);
}

}  // namespace flowsum
