// The large tables' arrays and the blocks kept between loads: a kept block
// handed out again must give the array exactly its room, whatever its size.
#include <gtest/gtest.h>

#include <cstdint>

#include "io/large_array.hpp"

namespace {

using flowsum::HugeBlock;
using flowsum::kHugePage;
using flowsum::LargeArray;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeeps = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeeps = false;
#else
constexpr bool kKeeps = true;
#endif
#else
constexpr bool kKeeps = true;
#endif

TEST(LargeArray, ElementsSurviveGrowthIntoKeptAndFreshBlocks) {
  // Leave a 6 MiB block behind, then grow an array through 2, 4 and 8 MiB:
  // the 4 MiB step may be served by the larger kept block.
  HugeBlock spare = flowsum::allocate_huge(3 * kHugePage);
  flowsum::release_huge(spare.data, spare.bytes);
  LargeArray<uint64_t> a;
  const size_t n = 3 * kHugePage / sizeof(uint64_t) + 17;
  for (size_t i = 0; i < n; ++i) a.push_back(i * 2654435761u);
  ASSERT_EQ(a.size(), n);
  for (size_t i = 0; i < n; ++i) ASSERT_EQ(a[i], i * 2654435761u) << i;
  a.release();
  EXPECT_TRUE(a.empty());
  a.grow_to(10, 7);
  EXPECT_EQ(a[9], 7u);
}

TEST(LargeArray, GivenBackBlocksAreReusedOnlyWhenTheyFitClosely) {
  if (!kKeeps) GTEST_SKIP() << "no blocks are kept under AddressSanitizer";
  // Sizes no other test gives back, since kept blocks outlive a test.
  HugeBlock big = flowsum::allocate_huge(23 * kHugePage);
  void* where = big.data;
  flowsum::release_huge(big.data, big.bytes);
  // A request of a quarter of it gets a block of its own.
  HugeBlock small = flowsum::allocate_huge(6 * kHugePage);
  EXPECT_NE(small.data, where);
  EXPECT_EQ(small.bytes, 6 * kHugePage);
  // One of more than half of it gets the kept block, with its whole size.
  HugeBlock again = flowsum::allocate_huge(17 * kHugePage);
  EXPECT_EQ(again.data, where);
  EXPECT_EQ(again.bytes, 23 * kHugePage);
  static_cast<char*>(again.data)[again.bytes - 1] = 'x';
  flowsum::release_huge(again.data, again.bytes);
  flowsum::release_huge(small.data, small.bytes);
  flowsum::release_huge(nullptr, 0);
}

}  // namespace
