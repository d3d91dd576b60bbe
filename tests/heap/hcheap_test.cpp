// Block sizes, framing, pools and segments of the hcheap allocator, seen from
// outside and through the read-only inspection calls.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool allBytes(const void* p, size_t n, uint8_t value) {
  auto* bytes = static_cast<const uint8_t*>(p);
  return std::all_of(bytes, bytes + n, [value](uint8_t b) { return b == value; });
}

// The block is the smallest whole number of 32-byte units holding the data
// and its 44 bytes of framing.
TEST(HcheapSizes, EveryBlockHasRoomForItsFramingAndHugeRequestsAreRefused) {
  for (size_t n = 0; n < 300; ++n) {
    void* p = hcheapAlloc(0, n, "sizes", 10);
    ASSERT_NE(p, nullptr);
    const HcheapBlockInfo info = hcheapInspectBlock(p);
    EXPECT_EQ(info.blockBytes % 32, 0u) << n;
    EXPECT_GE(info.blockBytes, n + 44) << n;
    EXPECT_LT(info.blockBytes, n + 44 + 32) << n;
    EXPECT_EQ(info.askedBytes, n);
    hcheapFree(0, p);
  }
  // 0x7FFFFFC0 passes the size test, but 0x4000000 units fit no segment.
  for (size_t huge : {size_t{0x7FFFFFC0}, size_t{0x7FFFFFC1}, SIZE_MAX})
    EXPECT_EQ(hcheapAlloc(0, huge, "sizes", 20), nullptr) << huge;
  EXPECT_EQ(hcheapAlloc(HCHEAP_POOLS, 16, "sizes", 22), nullptr);
  EXPECT_EQ(hcheapAlloc(~0u, 16, "sizes", 23), nullptr);
}

TEST(HcheapFraming, DataIsZeroedGuardedTaggedAndFreeFilledOnReturn) {
  void* dirty = hcheapAlloc(0, 200, "framing", 1);
  std::memset(dirty, 0xAA, 200);
  hcheapFree(0, dirty);
  static const char here[] = "tests/heap/framing.cpp";
  auto* p = static_cast<uint8_t*>(hcheapAlloc(0, 200, here, 4711));
  EXPECT_TRUE(allBytes(p, 200, 0));
  EXPECT_TRUE(allBytes(p + 200, 4, 0x7F));
  EXPECT_EQ(hcheapInspectBlock(p).source, here);
  EXPECT_EQ(hcheapInspectBlock(p).line, 4711);
  void* viaMacro = HCHEAP_ALLOC(10);  // pool 0 and the caller's file
  EXPECT_STREQ(hcheapInspectBlock(viaMacro).source, __FILE__);
  HCHEAP_FREE(viaMacro);
  std::memset(p, 0x11, 200);
  void* neighbour = hcheapAlloc(0, 64, "framing", 3);  // taken below `p`
  hcheapFree(0, p);
  EXPECT_TRUE(allBytes(p, 200, 0xFD));
  hcheapFree(0, neighbour);
  hcheapFree(0, nullptr);  // ignored, whatever the pool
  hcheapFree(42, nullptr);
}

TEST(HcheapPools, FreeNamingAnotherPoolFindsTheOwner) {
  void* p = hcheapAlloc(3, 50, "pools", 2);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(hcheapInspectPool(3).usedBlocks, 1u);
  hcheapFree(6, p);  // pool 6 may never have been used at all
  void* q = hcheapAlloc(3, 50, "pools", 3);
  hcheapFree(99, q);  // a hint outside the registry is ignored
  EXPECT_EQ(hcheapInspectPool(3).usedBlocks, 0u);
}

// The largest ordinary request fills a fresh segment's one free block; the
// next request spills into a second segment, a larger one gets a segment of
// its own, and each extra segment goes back to the system on the last free.
// When all is given back, the first segment stays, one free block again.
TEST(HcheapSegments, ExtraSegmentsComeAndGoTheFirstStays) {
  constexpr unsigned POOL = 7;
  hcheapFree(POOL, hcheapAlloc(POOL, 1, "segments", 1));
  const HcheapPoolInfo fresh = hcheapInspectPool(POOL);
  ASSERT_EQ(fresh.freeBlocks, 1u);
  const size_t largest = fresh.freeBytes - 44;
  void* fill = hcheapAlloc(POOL, largest, "segments", 2);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(hcheapInspectPool(POOL).segments, 1u);
  void* next = hcheapAlloc(POOL, 100, "segments", 3);
  void* big = hcheapAlloc(POOL, largest + 1, "segments", 4);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(hcheapInspectPool(POOL).segments, 3u);
  EXPECT_TRUE(allBytes(big, largest + 1, 0));
  hcheapFree(POOL, big);
  hcheapFree(POOL, next);
  EXPECT_EQ(hcheapInspectPool(POOL).segments, 1u);
  hcheapFree(POOL, fill);
  std::vector<void*> blocks;
  for (size_t i = 0; i < 400; ++i) blocks.push_back(hcheapAlloc(POOL, 17 * i % 5000, "segments", 5));
  EXPECT_GE(hcheapInspectPool(POOL).segments, 2u);
  for (size_t i = 0; i < blocks.size(); i += 2) hcheapFree(POOL, blocks[i]);
  for (size_t i = 1; i < blocks.size(); i += 2) hcheapFree(POOL, blocks[i]);
  const HcheapPoolInfo after = hcheapInspectPool(POOL);
  EXPECT_EQ(after.segments, 1u);
  EXPECT_EQ(after.usedBlocks, 0u);
  EXPECT_EQ(after.freeBlocks, 1u);
  EXPECT_EQ(after.freeBytes, fresh.freeBytes);
  EXPECT_EQ(after.segmentBytes, fresh.segmentBytes);
}

}  // namespace
