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
};

// Every byte of `h` holds its pattern, or zero when it was just taken.
bool Holds(const Held& h, bool zero) {
  for (size_t i = 0; i < h.size; ++i)
    if (h.data[i] != (zero ? 0 : static_cast<uint8_t>(h.pattern + i))) return false;
  return true;
}

// Takes blocks of mixed sizes (now and then a large one), fills them, hands a
// quarter to the other thread and gives back its own and some handed over.
// Returns the number of faults seen; gtest assertions stay on the main thread.
int churn(unsigned seed, std::mutex& lock, std::deque<Held>& handover, int rounds) {
  std::mt19937 rng(seed);
  std::deque<Held> mine;
  int faults = 0;
  auto giveBack = [&](const Held& h) {
    faults += !Holds(h, false);
    hcheapFree(rng() % 2, h.data);  // the pool is only a hint
  };
  for (int round = 0; round < rounds; ++round) {
    const unsigned kind = rng() % 8;
    Held h{nullptr, kind == 0 ? rng() % 20000 : kind == 1 ? 0 : rng() % 300, static_cast<uint8_t>(rng())};
    h.data = static_cast<uint8_t*>(hcheapAlloc(0, h.size, "churn", round));
    if (h.data == nullptr || !Holds(h, true)) return faults + 1;
    for (size_t i = 0; i < h.size; ++i) h.data[i] = static_cast<uint8_t>(h.pattern + i);
    Held passed{};
    {
      std::lock_guard guard(lock);
      (rng() % 4 == 0 ? handover : mine).push_back(h);
      if (!handover.empty() && rng() % 2 == 0) passed = handover.front(), handover.pop_front();
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
  std::mutex lock;
  std::deque<Held> handover;
  int faults[2] = {};
  std::thread other([&] { faults[1] = churn(2, lock, handover, 20000); });
  faults[0] = churn(1, lock, handover, 20000);
  other.join();
  for (const Held& h : handover) {
    faults[0] += !Holds(h, false);
    hcheapFree(0, h.data);
  }
  EXPECT_EQ(faults[0] + faults[1], 0);
  HcheapPoolInfo info = hcheapInspectPool(0);
  EXPECT_EQ(info.usedBlocks, 0u);
  EXPECT_EQ(info.segments, 1u);
  EXPECT_EQ(info.freeBlocks, 1u);
}

// Every thread must see the pool's settings: a zero segment size would have
// asked the OS for a 2 GB segment.
TEST(HcheapThreads, FirstUseOfAPoolFromManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<void*> got(6);
  for (size_t i = 0; i < got.size(); ++i)
    threads.emplace_back([&got, i] { got[i] = hcheapAlloc(6, 100, "first", 1); });
  for (auto& t : threads) t.join();
  for (void* p : got) ASSERT_NE(p, nullptr);
  EXPECT_EQ(hcheapInspectPool(6).usedBlocks, got.size());
  EXPECT_EQ(hcheapInspectPool(6).segmentBytes, 524288u);
  for (void* p : got) hcheapFree(6, p);
}

}  // namespace
