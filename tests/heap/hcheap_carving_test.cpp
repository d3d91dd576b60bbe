// Carving, merging and the better-fit look-ahead from the rover, observed through
// the addresses handed out. Pool 2 is used only here; every test gives back
// all it takes, so each starts from one free block spanning the segment.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr unsigned POOL = 2;

// The block of exactly `units` 32-byte units (2 or more): 44 bytes framing.
uint8_t* take(unsigned units) { return static_cast<uint8_t*>(hcheapAlloc(POOL, units * 32u - 44u, "carving", 1)); }

void give(void* p) { hcheapFree(POOL, p); }

// Once all is given back, the segment is one free block again.
void expectAllMerged() {
  const HcheapPoolInfo info = hcheapInspectPool(POOL);
  EXPECT_EQ(info.usedBlocks, 0u);
  EXPECT_EQ(info.freeBlocks, 1u) << "free blocks left unmerged";
}

// The three merged into one, an exact fit; the headers inside it scrubbed.
TEST(HcheapCarving, MergesWithBothNeighboursAndScrubsTheirHeaders) {
  uint8_t* high = take(5);
  uint8_t* middle = take(5);
  uint8_t* low = take(5);
  uint8_t* separator = take(2);  // so that `low` cannot merge below
  for (uint8_t* p : {high, low, middle}) give(p);
  for (uint8_t* p : {middle, high}) EXPECT_TRUE(std::all_of(p - 32, p, [](uint8_t b) { return b == 0xFD; }));
  EXPECT_EQ(take(15), low);
  for (uint8_t* p : {low, separator}) give(p);
  expectAllMerged();
}

// Free blocks in search order (sizes in units, each kept apart by a
// separator), a request of 5 units, and which of them is carved: a block
// that fits exactly or with one unit over is taken whole, a larger one gives
// its upper part. A fitting candidate slides forward over the smaller blocks
// after it that still fit; the search stops once a block is within 128 bytes,
// or after sixteen blocks: past fifteen 2-unit holes it finds the snug block,
// past sixteen it splits the first.
TEST(HcheapCarving, BetterFitSlidesToTheLastOfTheSmallerBlocksThatFit) {
  const auto holes = [](unsigned n) {  // 20 units, n 2-unit holes, 5 units
    std::vector<unsigned> units(n + 2, 2);
    units.front() = 20;
    units.back() = 5;
    return units;
  };
  // The blocks' sizes, and which is carved.
  const std::pair<std::vector<unsigned>, size_t> cases[] = {
      {{5}, 0}, {{6}, 0}, {{10}, 0},
      {{20, 8, 5}, 2},         // 8 is close enough, but 5 follows it and fits
      {{20, 12, 9, 7, 30, 5}, 3},  // the run 12, 9, 7 ends where 30 is larger
      {{20, 8, 9, 5}, 1},      // 9 is larger: 8 stays, within 128 bytes
      {{20, 8, 2, 5}, 1},      // 2 does not fit: the run ends at 8
      {{20, 3, 6, 5}, 3},      // too small, then a run from 6 down to 5
      {{9, 5}, 0},             // 4 units (128 bytes) over: no look-ahead at all
      {{10, 5}, 1},            // 5 units over: the look-ahead finds the snug one
      {holes(15), 16}, {holes(16), 0},
  };
  for (const auto& [units, taken] : cases) {
    std::vector<uint8_t*> blocks(units.size()), separators;
    for (size_t i = units.size(); i-- > 0;) {  // blocks come off the top
      blocks[i] = take(units[i]);
      separators.push_back(take(2));
    }
    for (size_t i = units.size(); i-- > 0;) give(blocks[i]);  // the rover ends below the first
    const unsigned spare = units[taken] - 5;
    uint8_t* p = take(5);
    EXPECT_EQ(p, blocks[taken] + (spare > 1 ? spare * 32 : 0)) << ::testing::PrintToString(units);
    give(p);
    for (uint8_t* s : separators) give(s);
  }
  expectAllMerged();
}

}  // namespace
