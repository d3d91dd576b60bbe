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

// Free blocks in search order (sizes in units, each kept apart by a
// separator), a request of 5 units, and which of them is carved: a block
// that fits exactly or with one unit over is taken whole, a larger one gives
// its upper part. A fitting candidate slides forward over the smaller blocks
// after it that still fit; the search stops once a block is within 128 bytes,
// or after sixteen blocks: past fifteen 2-unit holes it finds the snug block,
// past sixteen it splits the first.
TEST_F(HcheapCarving, BetterFitSlidesToTheLastOfTheSmallerBlocksThatFit) {
  struct Case {
    std::vector<unsigned> units;
    size_t taken;
  };
  const auto holes = [](unsigned n) {
    std::vector<unsigned> units(n + 2, 2);
    units.front() = 20;
    units.back() = 5;
    return units;
  };
  const Case cases[] = {
      {{5}, 0},
      {{6}, 0},
      {{10}, 0},
      {{20, 8, 5}, 2},         // 8 is close enough, but 5 follows it and fits
      {{20, 12, 9, 7, 30, 5}, 3},  // the run 12, 9, 7 ends where 30 is larger
      {{20, 8, 9, 5}, 1},      // 9 is larger: 8 stays, within 128 bytes
      {{20, 8, 2, 5}, 1},      // 2 does not fit: the run ends at 8
      {{20, 3, 6, 5}, 3},      // too small, then a run from 6 down to 5
      {{9, 5}, 0},             // 4 units (128 bytes) over: no look-ahead at all
      {{10, 5}, 1},            // 5 units over: the look-ahead finds the snug one
      {holes(15), 16},
      {holes(16), 0},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t*> blocks(c.units.size()), separators;
    for (size_t i = c.units.size(); i-- > 0;) {  // blocks come off the top
      blocks[i] = take(c.units[i]);
      separators.push_back(take(2));
    }
    for (size_t i = c.units.size(); i-- > 0;) give(blocks[i]);  // the rover ends below the first
    const unsigned spare = c.units[c.taken] - 5;
    uint8_t* p = take(5);
    EXPECT_EQ(p, blocks[c.taken] + (spare > 1 ? spare * 32 : 0)) << "case " << (&c - cases);
    give(p);
    for (uint8_t* s : separators) give(s);
  }
}

}  // namespace
