// Block sizes, framing, segments and the free fill of the hcheap allocator,
// seen from outside plus the read-only inspection calls.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t ORDINARY_FREE = 524224;  // 16382 units: a fresh 512 KB segment's one free block
constexpr size_t ORDINARY_LARGEST_REQUEST = 524180;

bool allBytes(const void* p, size_t n, uint8_t value) {
  auto* bytes = static_cast<const uint8_t*>(p);
  for (size_t i = 0; i < n; ++i)
    if (bytes[i] != value) return false;
  return true;
}

uint32_t wordAt(const void* p) {
  uint32_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

TEST(HcheapSizes, ZeroAndTwentyBytesTakeTwoUnitsTwentyOneTakesThree) {
  void* zero = hcheapAlloc(0, 0, "sizes", 1);
  void* twenty = hcheapAlloc(0, 20, "sizes", 2);
  void* twentyOne = hcheapAlloc(0, 21, "sizes", 3);
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(hcheapInspectBlock(zero).blockBytes, 64u);
  EXPECT_EQ(hcheapInspectBlock(twenty).blockBytes, 64u);
  EXPECT_EQ(hcheapInspectBlock(twentyOne).blockBytes, 96u);
  EXPECT_EQ(hcheapInspectBlock(twentyOne).askedBytes, 21u);
  hcheapFree(0, zero);
  hcheapFree(0, twenty);
  hcheapFree(0, twentyOne);
}

TEST(HcheapSizes, EveryBlockHasRoomForItsFraming) {
  for (size_t n = 0; n < 300; ++n) {
    void* p = hcheapAlloc(0, n, "sizes", 10);
    size_t block = hcheapInspectBlock(p).blockBytes;
    EXPECT_EQ(block % 32, 0u) << n;
    EXPECT_GE(block, n + 44) << n;
    EXPECT_LT(block, n + 44 + 32) << n;
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

TEST(HcheapFraming, DataIsZeroedAndFollowedByGuardBytes) {
  // Dirty the memory first so zero-filling is really tested.
  void* dirty = hcheapAlloc(0, 200, "framing", 1);
  std::memset(dirty, 0xAA, 200);
  hcheapFree(0, dirty);
  void* p = hcheapAlloc(0, 200, "framing", 2);
  EXPECT_TRUE(allBytes(p, 200, 0));
  EXPECT_EQ(wordAt(static_cast<uint8_t*>(p) + 200), 0x7F7F7F7Fu);
  hcheapFree(0, p);
}

TEST(HcheapFraming, TrailerRecordsSourceAndLine) {
  static const char here[] = "tests/heap/framing.cpp";
  void* p = hcheapAlloc(0, 40, here, 4711);
  void* q = hcheapAlloc(0, 40, "another", 12);
  HcheapBlockInfo info = hcheapInspectBlock(p);
  EXPECT_EQ(info.source, here);
  EXPECT_EQ(info.line, 4711);
  EXPECT_STREQ(hcheapInspectBlock(q).source, "another");
  hcheapFree(0, p);
  hcheapFree(0, q);
}

TEST(HcheapFraming, MacrosUsePoolZeroAndTheCallersFile) {
  void* p = HCHEAP_ALLOC(10);
  EXPECT_STREQ(hcheapInspectBlock(p).source, __FILE__);
  HCHEAP_FREE(p);
}

TEST(HcheapFraming, GivenBackDataReadsAsFreeFill) {
  void* keepBelow = hcheapAlloc(0, 64, "fill", 1);
  void* p = hcheapAlloc(0, 100, "fill", 2);
  std::memset(p, 0x11, 100);
  hcheapFree(0, p);
  EXPECT_TRUE(allBytes(p, 100, 0xFD));
  hcheapFree(0, keepBelow);
}

TEST(HcheapPools, RegistryNamesTheFirstTwoPools) {
  hcheapFree(0, hcheapAlloc(0, 1, "pools", 1));
  EXPECT_STREQ(hcheapInspectPool(0).name, "malloc");
  EXPECT_STREQ(hcheapInspectPool(1).name, "new");
  EXPECT_STREQ(hcheapInspectPool(2).name, "");
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

TEST(HcheapPools, FreeOfNullIsIgnored) {
  hcheapFree(0, nullptr);
  hcheapFree(42, nullptr);
}

TEST(HcheapSegments, LargestOrdinaryRequestFitsTheFirstSegment) {
  void* p = hcheapAlloc(4, ORDINARY_LARGEST_REQUEST, "segments", 1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(hcheapInspectBlock(p).blockBytes, ORDINARY_FREE);
  EXPECT_EQ(hcheapInspectPool(4).segments, 1u);
  EXPECT_EQ(hcheapInspectPool(4).freeBlocks, 0u);
  hcheapFree(4, p);
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

TEST(HcheapSegments, FullSegmentSpillsIntoANewOrdinaryOne) {
  void* fill = hcheapAlloc(7, ORDINARY_LARGEST_REQUEST, "segments", 5);
  void* next = hcheapAlloc(7, 100, "segments", 6);
  HcheapPoolInfo info = hcheapInspectPool(7);
  EXPECT_EQ(info.segments, 2u);
  EXPECT_EQ(info.segmentBytes, 2u * 524288u);
  hcheapFree(7, next);
  EXPECT_EQ(hcheapInspectPool(7).segments, 1u);
  hcheapFree(7, fill);
}

}  // namespace
