// Every damage the allocator checks for must stop the process: overruns,
// double frees, foreign pointers and corrupted headers.
#include "heap/hcheap.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>

namespace {

// The fatal stop raises SIGILL (on Windows, an unhandled privileged
// instruction); any other death (a segfault inside the allocator, say) is a
// fault of its own and must not pass.
#ifdef _WIN32
#define EXPECT_FATAL_STOP(statement) \
  EXPECT_EXIT(statement, ::testing::ExitedWithCode(static_cast<int>(0xC0000096)), "")
#else
#define EXPECT_FATAL_STOP(statement) EXPECT_EXIT(statement, ::testing::KilledBySignal(SIGILL), "")
#endif

// Pool 1 only, and every damage done inside the dying child, so that the
// parent's heap stays whole for the tests that follow.
constexpr unsigned POOL = 1;

uint8_t* take(size_t n) { return static_cast<uint8_t*>(hcheapAlloc(POOL, n, "death", 1)); }
void give(void* p) { hcheapFree(POOL, p); }
uint32_t& headerWord(void* data, int index) { return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data) - 32)[index]; }

// Returns a block in use whose free neighbour below has lost its magic.
uint8_t* damageAFreeBlock() {
  uint8_t* upper = take(10);
  uint8_t* hole = take(10);
  take(10);
  give(hole);
  headerWord(hole, 0) = 0xDEADBEEF;
  return upper;
}

// A request of 21 bytes has the longest tail: 35 guard bytes, then the
// 8-byte trailer. One bit changed anywhere in them is an overrun.
TEST(HcheapDeathTest, OverrunsIntoAnyGuardOrTrailerByteStop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (size_t at = 21; at < 96 - 32; ++at)
    EXPECT_FATAL_STOP([at] {
      uint8_t* p = take(21);
      p[at] ^= static_cast<uint8_t>(1u << at % 8);
      give(p);
    }()) << at;
}

// Double frees (with and without a neighbour in use, whose absence lets the
// block merge and lose its header), foreign pointers, pointers into a block,
// damaged neighbours and every checked header field damaged.
TEST(HcheapDeathTest, BadPointersAndDamagedHeadersStop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  give(take(1));  // the pool exists, so the search really runs
  static uint64_t elsewhere[8];
  const std::pair<const char*, void (*)()> cases[] = {
      {"double free", [] { take(10); uint8_t* p = take(10); give(p); give(p); }},
      {"double free after a merge", [] { uint8_t* p = take(10); give(p); give(p); }},
      {"a static array", [] { give(&elsewhere[4]); }},
      {"from malloc", [] { give(std::malloc(64)); }},
      {"a small number", [] { give(reinterpret_cast<void*>(8)); }},
      {"a pool never used", [] { hcheapFree(5, &elsewhere[0]); }},
      {"inside a block", [] { give(take(400) + 64); }},
      {"inside a block, unaligned", [] { give(take(400) + 7); }},
      {"the block above damaged",
       [] {
         uint8_t* upper = take(10);
         uint8_t* lower = take(10);  // directly below `upper`
         headerWord(upper, 0) = 0;
         give(lower);
       }},
      {"the free block below damaged", [] { give(damageAFreeBlock()); }},
      {"a damaged free block searched", [] { damageAFreeBlock(); take(10); }},
  };
  for (const auto& [name, act] : cases) EXPECT_FATAL_STOP(act()) << name;
  // The size asked lowered by one where the data's last byte is the guard
  // byte: the tail check alone would pass it.
  const int magic = 0, size = 1, next = 2, prev = 3, taken = 4, asked = 5, offset = 6, guard = 7;
  const std::pair<int, uint32_t> damages[] = {
      {magic, 0x17CDCD17}, {guard, 0},        {size, 64},          {size, 0x7FFFFFE0},
      {size, 100},         {asked, 1000},     {asked, 0xFFFFFFFF}, {next, 0x12345},
      {prev, 64},          {offset, 96},      {taken, 0},          {asked, 49}};
  for (auto [word, value] : damages)
    EXPECT_FATAL_STOP([=] {
      uint8_t* p = take(50);
      p[49] = 0x7F;
      headerWord(p, word) = value;
      give(p);
    }()) << word << " = " << value;
}

}  // namespace
