// Block sizes, framing, pools, segments and the free fill of the hcheap
// allocator, seen from outside plus the read-only inspection calls.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t ORDINARY_FREE = 524224;  // 16382 units: a fresh 512 KB segment's one free block
constexpr size_t ORDINARY_LARGEST_REQUEST = 524180;

bool allBytes(const void* p, size_t n, uint8_t value) {
  auto* bytes = static_cast<const uint8_t*>(p);
  return std::all_of(bytes, bytes + n, [value](uint8_t b) { return b == value; });
}

// The block is the smallest whole number of 32-byte units holding the data
// and its 44 bytes of framing: 0 and 20 bytes take two units, 21 three.
TEST(HcheapSizes, EveryBlockHasRoomForItsFraming) {
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
}

TEST(HcheapSizes, RefusesHugeRequestsAndUnknownPools) {
  EXPECT_EQ(hcheapAlloc(0, 0x7FFFFFC1, "sizes", 20), nullptr);
  EXPECT_EQ(hcheapAlloc(0, SIZE_MAX, "sizes", 21), nullptr);
  // Accepted by the size test, but 0x4000000 units is beyond any segment.
  EXPECT_EQ(hcheapAlloc(0, 0x7FFFFFC0, "sizes", 24), nullptr);
  EXPECT_EQ(hcheapAlloc(8, 16, "sizes", 22), nullptr);
  EXPECT_EQ(hcheapAlloc(~0u, 16, "sizes", 23), nullptr);
}

TEST(HcheapFraming, DataIsZeroedGuardedTaggedAndFreeFilledOnReturn) {
  // Dirty the memory first so zero-filling is really tested.
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
  EXPECT_EQ(hcheapInspectPool(3).usedBlocks, 0u);
  void* q = hcheapAlloc(3, 50, "pools", 3);
  hcheapFree(99, q);  // a hint outside the registry is ignored
  EXPECT_EQ(hcheapInspectPool(3).usedBlocks, 0u);
}

TEST(HcheapSegments, LargestOrdinaryRequestFillsTheFirstSegmentAndTheNextSpills) {
  void* fill = hcheapAlloc(7, ORDINARY_LARGEST_REQUEST, "segments", 5);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(hcheapInspectBlock(fill).blockBytes, ORDINARY_FREE);
  EXPECT_EQ(hcheapInspectPool(7).segments, 1u);
  EXPECT_EQ(hcheapInspectPool(7).freeBlocks, 0u);
  void* next = hcheapAlloc(7, 100, "segments", 6);
  EXPECT_EQ(hcheapInspectPool(7).segments, 2u);
  EXPECT_EQ(hcheapInspectPool(7).segmentBytes, 2u * 524288u);
  hcheapFree(7, next);
  EXPECT_EQ(hcheapInspectPool(7).segments, 1u);
  hcheapFree(7, fill);
}

TEST(HcheapSegments, OversizeRequestGetsItsOwnSegmentReleasedOnFree) {
  void* small = hcheapAlloc(4, 10, "segments", 2);  // makes sure the first segment exists
  void* big = hcheapAlloc(4, ORDINARY_LARGEST_REQUEST + 1, "segments", 3);
  ASSERT_NE(big, nullptr);
  HcheapPoolInfo withBig = hcheapInspectPool(4);
  EXPECT_EQ(withBig.segments, 2u);
  EXPECT_EQ(withBig.segmentBytes, 524288u + 16383u * 32u + 64u);
  EXPECT_NE(hcheapInspectBlock(big).segment, hcheapInspectBlock(small).segment);
  EXPECT_TRUE(allBytes(big, ORDINARY_LARGEST_REQUEST + 1, 0));
  hcheapFree(4, big);
  EXPECT_EQ(hcheapInspectPool(4).segments, 1u);
  hcheapFree(4, small);
}

TEST(HcheapSegments, FirstSegmentStaysWithOneFreeBlockWhenAllIsGivenBack) {
  std::vector<void*> blocks;
  for (size_t i = 0; i < 400; ++i) blocks.push_back(hcheapAlloc(5, 17 * i % 5000, "segments", 4));
  EXPECT_GE(hcheapInspectPool(5).segments, 2u);
  for (size_t i = 0; i < blocks.size(); i += 2) hcheapFree(5, blocks[i]);
  for (size_t i = 1; i < blocks.size(); i += 2) hcheapFree(5, blocks[i]);
  HcheapPoolInfo info = hcheapInspectPool(5);
  EXPECT_EQ(info.segments, 1u);
  EXPECT_EQ(info.usedBlocks, 0u);
  EXPECT_EQ(info.freeBlocks, 1u);
  EXPECT_EQ(info.freeBytes, ORDINARY_FREE);
}

}  // namespace
