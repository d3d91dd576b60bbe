// Refusals, free filling, tagging and segments of the hcheap allocator, seen
// from outside and through the read-only inspection calls. (Block sizes show
// in the carving addresses and the guard tail in the overrun deaths; zeroing
// and the pool hint in the two-thread churn.)
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

TEST(HcheapBlocks, HugeRequestsAndBadPoolsAreRefused) {
  // 0x7FFFFFC0 passes the size test, but 0x4000000 units fit no segment.
  for (size_t huge : {size_t{0x7FFFFFC0}, size_t{0x7FFFFFC1}, SIZE_MAX})
    EXPECT_EQ(hcheapAlloc(0, huge, "sizes", 20), nullptr) << huge;
  EXPECT_EQ(hcheapAlloc(HCHEAP_POOLS, 16, "sizes", 22), nullptr);
  EXPECT_THROW(hcheapAllocOrThrow(0, SIZE_MAX, "sizes", 23), std::bad_alloc);
  hcheapFree(42, nullptr);  // ignored, whatever the pool
}

TEST(HcheapBlocks, TaggedWithTheCallerAndFreeFilledOnReturn) {
  auto* p = static_cast<uint8_t*>(hcheapAlloc(0, 200, __FILE__, __LINE__));
  EXPECT_STREQ(hcheapInspectBlock(p).source, __FILE__);
  void* neighbour = hcheapAlloc(0, 64, __FILE__, __LINE__);  // taken below `p`, so `p` cannot merge
  std::memset(p, 0x11, 200);
  hcheapFree(0, p);
  EXPECT_TRUE(std::all_of(p, p + 200, [](uint8_t b) { return b == 0xFD; }));
  hcheapFree(99, neighbour);  // a hint outside the registry: the owner is found
}

// The largest ordinary request fills a fresh segment's one free block; the
// next request spills into a second segment, a larger one gets a segment of
// its own, and each extra segment goes back to the system on its last free.
// The first segment stays, one free block again.
TEST(HcheapSegments, ExtraSegmentsComeAndGoTheFirstStays) {
  constexpr unsigned POOL = 7;
  hcheapFree(POOL, hcheapAlloc(POOL, 1, "segments", 1));
  const HcheapPoolInfo fresh = hcheapInspectPool(POOL);
  const size_t largest = fresh.freeBytes - 44;
  void* fill = hcheapAlloc(POOL, largest, "segments", 2);
  EXPECT_EQ(hcheapInspectPool(POOL).segments, 1u);
  void* next = hcheapAlloc(POOL, 100, "segments", 3);
  void* big = hcheapAlloc(POOL, largest + 1, "segments", 4);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(hcheapInspectPool(POOL).segments, 3u);
  for (void* p : {big, next, fill}) hcheapFree(POOL, p);
  const HcheapPoolInfo after = hcheapInspectPool(POOL);
  EXPECT_EQ(after.segments, 1u);
  EXPECT_EQ(after.freeBlocks, 1u);
  EXPECT_EQ(after.segmentBytes, fresh.segmentBytes);
}

}  // namespace
