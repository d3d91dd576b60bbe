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

// Blocks come off the top of a free block; a block given back merges and is
// reused; a hole of exactly the size asked for is taken whole.
TEST_F(HcheapCarving, UpperPartIsHandedOutAndExactHolesAreReused) {
  uint8_t* a = take(5);
  uint8_t* hole = take(5);
  EXPECT_EQ(hole, a - 160);
  uint8_t* c = take(5);
  give(hole);
  EXPECT_EQ(take(5), hole);
  give(c);
  EXPECT_EQ(take(5), c) << "merged back into the free block below, then carved again";
  give(a);
  give(hole);
  give(c);
}

// A hole one unit too big is taken whole, its tail guard bytes longer; a
// larger one is split, its lower part staying free.
TEST_F(HcheapCarving, HolesOneUnitTooBigAreTakenWholeLargerOnesSplit) {
  uint8_t* hole = take(6);
  separator();
  uint8_t* larger = take(10);
  separator();
  give(hole);
  give(larger);
  uint8_t* p = take(5);
  ASSERT_EQ(p, hole);
  EXPECT_EQ(hcheapInspectBlock(p).blockBytes, 192u);
  for (size_t i = requestFor(5); i < 192 - 32 - 8; ++i) EXPECT_EQ(p[i], 0x7F) << i;
  uint8_t* q = take(5);
  EXPECT_EQ(q, larger + 160);
  EXPECT_EQ(hcheapInspectBlock(q).blockBytes, 160u);
  EXPECT_EQ(take(5), larger);  // the lower part, now an exact fit
  give(p);
  give(q);
  give(larger);
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

// The look-ahead passes at most sixteen blocks. Ascending: a 20-unit block,
// `holes` 2-unit holes, a 5-unit block; the search reaches the 20-unit one
// first, and with fifteen holes finds the snug block, with sixteen splits.
TEST_F(HcheapCarving, BetterFitLooksAtMostSixteenBlocksAhead) {
  for (unsigned holes : {15u, 16u}) {
    std::vector<void*> kept, small;
    uint8_t* snug = take(5);
    kept.push_back(take(2));
    for (unsigned i = 0; i < holes; ++i) {
      small.push_back(take(2));
      kept.push_back(take(2));
    }
    uint8_t* wide = take(20);
    kept.push_back(take(2));
    for (void* h : small) give(h);
    give(snug);
    give(wide);  // the rover is now the big free block below
    uint8_t* p = take(5);
    EXPECT_EQ(p, holes == 15 ? snug : wide + 15 * 32) << holes;
    give(p);
    for (void* k : kept) give(k);
  }
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
