// Carving, merging, the rover and the better-fit look-ahead, observed through
// the addresses handed out. Pool 2 is used only here; every test gives back
// all it takes, so each starts from one free block spanning the segment.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr unsigned POOL = 2;

// The request that takes exactly `units` 32-byte units (2 or more).
size_t requestFor(unsigned units) { return units * 32u - 44u; }

uint8_t* take(unsigned units) {
  return static_cast<uint8_t*>(hcheapAlloc(POOL, requestFor(units), "carving", __LINE__));
}

void give(void* p) { hcheapFree(POOL, p); }

class HcheapCarving : public ::testing::Test {
 protected:
  void TearDown() override {
    for (void* p : held) give(p);
    HcheapPoolInfo info = hcheapInspectPool(POOL);
    EXPECT_EQ(info.usedBlocks, 0u);
    EXPECT_EQ(info.freeBlocks, 1u) << "free blocks left unmerged";
    EXPECT_EQ(info.segments, 1u);
  }
  // A block kept until the end, so that its neighbours cannot merge across it.
  void separator() { held.push_back(take(2)); }
  std::vector<void*> held;
};

TEST_F(HcheapCarving, UpperPartOfAFreeBlockIsHandedOut) {
  uint8_t* a = take(5);
  uint8_t* b = take(5);
  EXPECT_EQ(b, a - 160);
  give(a);
  give(b);
}

TEST_F(HcheapCarving, BlockGivenBackIsReusedAfterMergingBack) {
  separator();
  uint8_t* a = take(5);
  give(a);
  EXPECT_EQ(take(5), a);
  give(a);
}

TEST_F(HcheapCarving, ExactHoleIsTakenWhole) {
  uint8_t* a = take(5);
  uint8_t* hole = take(5);
  uint8_t* c = take(5);
  give(hole);
  EXPECT_EQ(take(5), hole);
  give(a);
  give(hole);
  give(c);
}

TEST_F(HcheapCarving, HoleOneUnitTooBigIsTakenWholeWithLongerTail) {
  uint8_t* hole = take(6);
  separator();
  give(hole);
  uint8_t* p = take(5);
  ASSERT_EQ(p, hole);
  EXPECT_EQ(hcheapInspectBlock(p).blockBytes, 192u);
  size_t asked = requestFor(5);
  for (size_t i = asked; i < 192 - 32 - 8; ++i) EXPECT_EQ(p[i], 0x7F) << i;
  give(p);
}

TEST_F(HcheapCarving, LargerHoleIsSplitKeepingItsLowerPartFree) {
  uint8_t* hole = take(10);
  separator();
  give(hole);
  uint8_t* p = take(5);
  EXPECT_EQ(p, hole + 160);
  EXPECT_EQ(hcheapInspectBlock(p).blockBytes, 160u);
  EXPECT_EQ(take(5), hole);  // the lower part, now an exact fit
  give(p);
  give(hole);
}

TEST_F(HcheapCarving, MergesWithBothNeighboursAndScrubsTheirHeaders) {
  uint8_t* high = take(5);
  uint8_t* middle = take(5);
  uint8_t* low = take(5);
  separator();
  give(high);
  give(low);
  EXPECT_EQ(hcheapInspectPool(POOL).freeBlocks, 3u);
  give(middle);
  EXPECT_EQ(hcheapInspectPool(POOL).freeBlocks, 2u);
  for (int i = -32; i < 0; ++i) {
    EXPECT_EQ(middle[i], 0xFD) << "middle header byte " << i;
    EXPECT_EQ(high[i], 0xFD) << "high header byte " << i;
  }
  EXPECT_EQ(take(15), low);  // the three merged, an exact fit
  give(low);
}

TEST_F(HcheapCarving, SearchStartsAfterTheRoverNotAtTheLowestBlock) {
  uint8_t* high = take(5);
  separator();
  uint8_t* low = take(5);
  separator();
  give(low);
  give(high);  // the rover is now `low`, the block before `high`
  EXPECT_EQ(take(5), high);
  // From `low` the circle passes the sentinel and the big block below,
  // whose look-ahead then finds `low` as the snug fit.
  EXPECT_EQ(take(5), low);
  give(high);
  give(low);
}

// Lays out, in ascending address order: a 20-unit block, `smallHoles`
// 2-unit holes, and a 5-unit block; the search reaches the 20-unit one first.
struct LookAheadLayout {
  uint8_t* wide;
  uint8_t* snug;
};

LookAheadLayout layOutLookAhead(unsigned smallHoles, std::vector<void*>& separators) {
  auto keep = [&] { separators.push_back(take(2)); };
  LookAheadLayout layout{};
  layout.snug = take(5);
  keep();
  std::vector<uint8_t*> holes;
  for (unsigned i = 0; i < smallHoles; ++i) {
    holes.push_back(take(2));
    keep();
  }
  layout.wide = take(20);
  keep();
  for (uint8_t* h : holes) give(h);
  give(layout.snug);
  give(layout.wide);  // the rover is now the big free block below
  return layout;
}

TEST_F(HcheapCarving, BetterFitFindsASnugBlockWithinSixteen) {
  LookAheadLayout layout = layOutLookAhead(15, held);
  uint8_t* p = take(5);
  EXPECT_EQ(p, layout.snug);
  give(p);
}

TEST_F(HcheapCarving, BetterFitLooksNoFurtherThanSixteen) {
  LookAheadLayout layout = layOutLookAhead(16, held);
  uint8_t* p = take(5);
  EXPECT_EQ(p, layout.wide + 15 * 32);  // split: the upper 5 units of the wide block
  give(p);
}

TEST_F(HcheapCarving, BetterFitStopsOnceWithin128Bytes) {
  // Ascending: 20 units, 8 units (3 over: close enough), 5 units (exact).
  uint8_t* exact = take(5);
  separator();
  uint8_t* close = take(8);
  separator();
  uint8_t* wide = take(20);
  separator();
  give(exact);
  give(close);
  give(wide);
  uint8_t* p = take(5);
  EXPECT_EQ(p, close + 96);
  give(p);
}

TEST_F(HcheapCarving, NoBetterFitWhenTheFirstFitIsWithin128Bytes) {
  uint8_t* exact = take(5);
  separator();
  uint8_t* near = take(9);  // 4 units = 128 bytes over
  separator();
  give(exact);
  give(near);
  uint8_t* p = take(5);
  EXPECT_EQ(p, near + 128);
  give(p);
}

}  // namespace
