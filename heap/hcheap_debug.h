// Read-only inspection of the hcheap allocator, for tests and debugging
// sessions. Nothing here changes the heap.
#pragma once

#include <cstddef>

struct HcheapBlockInfo {
  size_t blockBytes = 0;  // whole block: header, data, tail and trailer
  size_t askedBytes = 0;  // the size the caller asked for
  const char* source = nullptr;
  int line = 0;
  const void* segment = nullptr;  // base of the segment that holds the block
};

struct HcheapPoolInfo {
  bool initialised = false;
  unsigned segments = 0;
  size_t segmentBytes = 0;  // all segments, headers included
  unsigned freeBlocks = 0;  // sentinels not counted
  size_t freeBytes = 0;
  unsigned usedBlocks = 0;
  char name[16] = {};
};

// `data` must be a block in use that the caller owns.
HcheapBlockInfo hcheapInspectBlock(const void* data);
// Takes the pool's lock while it counts.
HcheapPoolInfo hcheapInspectPool(unsigned pool);
