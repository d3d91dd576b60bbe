// Two threads taking and giving back thousands of blocks at once, some of
// them handed across, with every byte checked: run under ThreadSanitizer.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

struct Held {
  uint8_t* data;
  size_t size;
  uint8_t pattern;
  bool Holds(bool zero) const {
    for (size_t i = 0; i < size; ++i)
      if (data[i] != (zero ? 0 : static_cast<uint8_t>(pattern + i))) return false;
    return true;
  }
};

struct Handover {
  std::mutex lock;
  std::deque<Held> blocks;
};

// Takes blocks of mixed sizes (now and then a large one), fills them, hands a
// quarter to the other thread and gives back its own and some handed over.
// Returns the number of faults seen; gtest assertions stay on the main thread.
int churn(unsigned seed, Handover& handover, int rounds) {
  std::mt19937 rng(seed);
  std::vector<Held> mine;
  int faults = 0;
  auto giveBack = [&](const Held& h) {
    faults += !h.Holds(false);
    hcheapFree(rng() % 2, h.data);  // the pool is only a hint
  };
  for (int round = 0; round < rounds; ++round) {
    const unsigned kind = rng() % 8;
    Held h{nullptr, kind == 0 ? rng() % 20000 : kind == 1 ? 0 : rng() % 300,
           static_cast<uint8_t>(rng())};
    h.data = static_cast<uint8_t*>(hcheapAlloc(0, h.size, "churn", round));
    if (h.data == nullptr || !h.Holds(true)) ++faults;
    if (h.data == nullptr) continue;
    for (size_t i = 0; i < h.size; ++i) h.data[i] = static_cast<uint8_t>(h.pattern + i);
    Held passed{};
    {
      std::lock_guard guard(handover.lock);
      if (rng() % 4 == 0) {
        handover.blocks.push_back(h);
      } else {
        mine.push_back(h);
      }
      if (!handover.blocks.empty() && rng() % 2 == 0) {
        passed = handover.blocks.front();
        handover.blocks.pop_front();
      }
    }
    if (passed.data) giveBack(passed);
    if (mine.size() > 200 || (rng() % 3 == 0 && !mine.empty())) {
      const size_t victim = rng() % mine.size();
      giveBack(mine[victim]);
      mine[victim] = mine.back();
      mine.pop_back();
    }
  }
  for (const Held& h : mine) giveBack(h);
  return faults;
}

TEST(HcheapThreads, TwoThreadsTakeAndGiveBackWithoutLosingData) {
  Handover handover;
  int faults[2] = {};
  std::thread other([&] { faults[1] = churn(2, handover, 20000); });
  faults[0] = churn(1, handover, 20000);
  other.join();
  for (const Held& h : handover.blocks) {
    EXPECT_TRUE(h.Holds(false));
    hcheapFree(0, h.data);
  }
  EXPECT_EQ(faults[0], 0);
  EXPECT_EQ(faults[1], 0);
  HcheapPoolInfo info = hcheapInspectPool(0);
  EXPECT_EQ(info.usedBlocks, 0u);
  EXPECT_EQ(info.segments, 1u);
  EXPECT_EQ(info.freeBlocks, 1u);
}

TEST(HcheapThreads, FirstUseOfAPoolFromManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<void*> got(6);
  for (size_t i = 0; i < got.size(); ++i)
    threads.emplace_back([&got, i] { got[i] = hcheapAlloc(6, 100, "first", 1); });
  for (auto& t : threads) t.join();
  for (void* p : got) ASSERT_NE(p, nullptr);
  EXPECT_EQ(hcheapInspectPool(6).usedBlocks, got.size());
  // Every thread must see the pool's settings: a zero segment size would
  // have asked the OS for a 2 GB segment.
  EXPECT_EQ(hcheapInspectPool(6).segmentBytes, 524288u);
  for (void* p : got) hcheapFree(6, p);
}

}  // namespace
