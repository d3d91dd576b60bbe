// hcheap: the pooled block allocator that the run loop, the window and the
// print module take their working memory from. Eight pools of large
// OS-reserved segments carved into 32-byte units; every block is framed,
// zero-filled and checked when it is given back. Corruption, a double free or
// a foreign pointer stops the process (a trap a debugger catches).
#pragma once

#include <cstddef>

constexpr unsigned HCHEAP_POOLS = 8;

// Returns zero-filled memory of `size` bytes from pool `pool`, or nullptr when
// the size is 0x7FFFFFC1 or more, the pool index is 8 or more, or the OS
// refuses a segment. `source` must outlive the block (a string literal).
void* hcheapAlloc(unsigned pool, size_t size, const char* source, int line);
// The same for a caller that cannot go on without the block (a copy of the
// paper, say): a refusal throws std::bad_alloc, as operator new does, so
// nothing is quietly lost.
void* hcheapAllocOrThrow(unsigned pool, size_t size, const char* source, int line);
// Gives a block back; `pool` is a hint, the owning pool is found. nullptr is
// ignored.
void hcheapFree(unsigned pool, void* data);
