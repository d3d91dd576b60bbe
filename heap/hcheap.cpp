// hcheap: eight pools of OS-reserved segments carved into framed blocks of
// 32-byte units, next-fit from a rover with a short better-fit look-ahead,
// merged at once when given back. Any sign of damage stops the process.
#include "heap/hcheap.h"
#include "heap/hcheap_debug.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <new>
#include <thread>
#include <unordered_map>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace {

constexpr uint32_t REGISTRY_MAGIC = 0x18CDCD18;
constexpr uint32_t SEGMENT_MAGIC = 0x16CDCD16;
constexpr uint32_t USED_MAGIC = 0x18CDCD18;
constexpr uint32_t FREE_MAGIC = 0x17CDCD17;
constexpr uint32_t BLOCK_GUARD = 0xCD1919CD;

constexpr uint32_t UNIT = 32;
constexpr uint32_t SEGMENT_HEADER_BYTES = 64;
constexpr uint32_t SENTINEL_OFFSET = 32;
constexpr uint32_t FRAMING_BYTES = 44;  // header 32, guard 4, trailer 8
constexpr size_t TOO_LARGE = 0x7FFFFFC1;
constexpr uint32_t UNIT_LIMIT = 0x4000000;
constexpr uint32_t BETTER_FIT_SLACK = 128;

constexpr uint32_t DEFAULT_SEGMENT_SIZE = 0x80000;
constexpr uint32_t DEFAULT_FREE_FILL = 0xFD;
constexpr uint32_t DEFAULT_LOOK_AHEAD = 16;
constexpr uint32_t DEFAULT_GUARD_BYTE = 0x7F;
constexpr uint32_t NO_FILL = 0x100;

// Links are offsets from the base of the segment that holds the block, so a
// header stays 32 bytes on 64-bit hosts. Offset 0 (the segment header itself)
// means "none" in the in-use list; free lists always pass through the
// sentinel at offset 32.
struct alignas(32) Block {
  uint32_t magic;
  uint32_t size;    // bytes, header included, a multiple of 32
  uint32_t next;    // in-use list or free list
  uint32_t prev;
  uint32_t taken;   // time() when handed out
  uint32_t asked;   // bytes the caller asked for
  uint32_t offset;  // this block's offset in its segment: base = block - offset
  uint32_t guard;
};
static_assert(sizeof(Block) == 32);

// Segment header, 64 bytes:
//   0 magic, 4 rover, 8 in-use head, 12 total size (header included),
//   16 next segment, 24 previous segment (8-byte slots, pointers fit on any
//   host), 32 the sentinel: a free-block header of size 0.
// The first block starts at offset 64; blocks tile the rest without gaps.
struct Segment {
  uint32_t magic;
  uint32_t rover;
  uint32_t inUse;
  uint32_t totalSize;
  alignas(8) Segment* next;
  alignas(8) Segment* prev;
  Block sentinel;
};
static_assert(sizeof(Segment) == SEGMENT_HEADER_BYTES);
static_assert(offsetof(Segment, sentinel) == SENTINEL_OFFSET);

// The last 8 bytes of a block in use. The source is a handle to an interned
// name, which keeps the trailer at 8 bytes whatever the pointer size. The seal
// makes the four 16-bit words sum to an odd constant, less twice the sum of
// the header's two words no other check covers (the time taken and the size
// asked for), so that an overrun into the trailer is caught like one into the
// guard bytes: damage within any one word breaks the sum, and no run of one
// repeated byte (its words sum to an even number) passes for a trailer. A
// size asked lowered by one is caught even when the data's last byte equals
// the guard byte, which would let the tail check pass.
struct Trailer {
  uint16_t source;
  uint16_t seal;
  uint32_t line;
};
static_assert(sizeof(Trailer) == 8);

constexpr uint16_t TRAILER_SUM = 0x9E37;

// The pool lock: 0 free, 1 held, 2 held with a sleeper to wake. Taking it
// costs one compare-exchange when nobody holds it. A contender yields rather
// than sleeps for a long while: critical sections are short, and once a
// sleeper is registered every unlock pays for a wake-up system call, which
// more than doubled the cost of a contended pair.
class PoolLock {
 public:
  void lock() {
    uint32_t expected = 0;
    if (!word.compare_exchange_strong(expected, 1, std::memory_order_acquire)) lockContended();
  }
  void unlock() {
    if (word.exchange(0, std::memory_order_release) == 2) wakeOne();
  }

 private:
  void lockContended() {
    for (int attempt = 0; attempt < 1024; ++attempt) {
      std::this_thread::yield();
      uint32_t expected = 0;
      if (word.load(std::memory_order_relaxed) == 0 &&
          word.compare_exchange_strong(expected, 1, std::memory_order_acquire))
        return;
    }
    while (word.exchange(2, std::memory_order_acquire) != 0) waitWhileTwo();
  }
#ifdef _WIN32
  // The mingw runtime's atomic wait has no futex beneath it and can miss a
  // wake-up; the system's own address wait cannot.
  void waitWhileTwo() {
    uint32_t two = 2;
    WaitOnAddress(reinterpret_cast<volatile void*>(&word), &two, sizeof two, INFINITE);
  }
  void wakeOne() { WakeByAddressSingle(reinterpret_cast<void*>(&word)); }
#else
  void waitWhileTwo() { word.wait(2, std::memory_order_relaxed); }
  void wakeOne() { word.notify_one(); }
#endif
  std::atomic<uint32_t> word{0};
};

struct Pool {
  char name[16];
  std::atomic<uint32_t> initialised;
  std::atomic<uint32_t> initCounter;
  PoolLock lock;  // guards everything below and all segments of the pool
  uint32_t spare[9];  // the rest of the slot a platform critical section fills
  uint32_t segmentSize;
  uint32_t freeFill;  // above 255: no filling
  uint32_t lookAhead;
  uint32_t guardWord;
  alignas(8) Segment* first;  // 8-byte slots keep the record at 96 bytes on any host
  alignas(8) Segment* last;
};

struct Registry {
  uint32_t size;
  uint32_t magic;
  uint32_t formatMajor;
  uint32_t formatMinor;
  uint32_t poolCount;
  uint32_t poolRecordSize;
  Pool pools[HCHEAP_POOLS];
};
static_assert(sizeof(Pool) == 96 && sizeof(Registry) == 792);

constinit Registry registry{};
std::atomic<uint32_t> registryCounter{0};
std::atomic<uint32_t> registryDone{0};

// ---------------------------------------------------------------- fatal stop

void raiseFault() {
#ifdef _WIN32
  RaiseException(EXCEPTION_PRIV_INSTRUCTION, 0, 0, nullptr);
#else
  std::raise(SIGILL);
#endif
}

// Never returns: a resumed debugger session lands in the sleep and faults again.
[[noreturn]] void fatalStop() {
  for (;;) {
    raiseFault();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000000));
  }
}

void require(bool condition) {
  if (!condition) fatalStop();
}

// ------------------------------------------------------------- source names

struct NameTable {
  std::mutex lock;
  std::vector<const char*> names{nullptr};  // handle 0 is "no name"
  std::unordered_map<const char*, uint16_t> handles;
};

// Call sites are string literals, a few dozen in a program; should a caller
// pass more than a handle can tell apart, the rest go unnamed.
constexpr size_t NAME_HANDLES = 0x10000;

NameTable& nameTable() {
  static NameTable& table = *new NameTable;  // never destroyed: blocks outlive exit
  return table;
}

uint16_t internName(const char* source) {
  thread_local const char* cachedName = nullptr;
  thread_local uint16_t cachedHandle = 0;
  if (source == nullptr) return 0;
  if (source == cachedName) return cachedHandle;
  NameTable& table = nameTable();
  std::lock_guard guard(table.lock);
  uint16_t handle = 0;
  if (auto found = table.handles.find(source); found != table.handles.end()) {
    handle = found->second;
  } else if (table.names.size() < NAME_HANDLES) {
    handle = static_cast<uint16_t>(table.names.size());
    table.handles.emplace(source, handle);
    table.names.push_back(source);
  }
  cachedName = source;
  cachedHandle = handle;
  return handle;
}

const char* nameOf(uint16_t handle) {
  NameTable& table = nameTable();
  std::lock_guard guard(table.lock);
  return handle < table.names.size() ? table.names[handle] : nullptr;
}

// ---------------------------------------------------------------- OS pages

void* reservePages(size_t bytes) {
#ifdef _WIN32
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
  void* mem = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return mem == MAP_FAILED ? nullptr : mem;
#endif
}

void releasePages(void* mem, [[maybe_unused]] size_t bytes) {
#ifdef _WIN32
  VirtualFree(mem, 0, MEM_RELEASE);
#else
  munmap(mem, bytes);
#endif
}

// ------------------------------------------------------------ initialisation

void sleepFiveMs() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

void writeRegistryHeader() {
  registry.size = sizeof(Registry);
  registry.magic = REGISTRY_MAGIC;
  registry.formatMajor = 2;
  registry.formatMinor = 2;
  registry.poolCount = HCHEAP_POOLS;
  registry.poolRecordSize = sizeof(Pool);
  std::strncpy(registry.pools[0].name, "malloc", sizeof registry.pools[0].name - 1);
  std::strncpy(registry.pools[1].name, "new", sizeof registry.pools[1].name - 1);
}

void initRegistry() {
  if (registryDone.load(std::memory_order_acquire)) return;
  if (registryCounter.fetch_add(1) == 0) {
    writeRegistryHeader();
    registryDone.store(1, std::memory_order_release);
    return;
  }
  while (!registryDone.load(std::memory_order_acquire)) sleepFiveMs();
}

uint32_t guardWordOf(uint32_t guardByte) {
  if (guardByte == 0) guardByte = DEFAULT_GUARD_BYTE;
  return guardByte * 0x01010101u;
}

// The settings are complete before the flag is raised, so a thread that sees
// the flag never finds a pool without its segment size.
void setPoolDefaults(Pool& pool) {
  std::lock_guard guard(pool.lock);
  pool.guardWord = guardWordOf(DEFAULT_GUARD_BYTE);
  if (pool.segmentSize == 0) pool.segmentSize = DEFAULT_SEGMENT_SIZE;
  if (pool.freeFill == 0) pool.freeFill = DEFAULT_FREE_FILL;
  if (pool.lookAhead == 0) pool.lookAhead = DEFAULT_LOOK_AHEAD;
}

bool isInitialised(const Pool& pool) { return pool.initialised.load(std::memory_order_acquire) != 0; }

void initPool(Pool& pool) {
  initRegistry();
  if (isInitialised(pool)) return;
  if (pool.initCounter.fetch_add(1) == 0) {
    setPoolDefaults(pool);
    pool.initialised.store(1, std::memory_order_release);
    return;
  }
  while (!isInitialised(pool)) sleepFiveMs();
}

// ------------------------------------------------------------ block access

std::byte* bytesOf(void* p) { return static_cast<std::byte*>(p); }

uint32_t offsetIn(Segment* seg, const void* p) {
  return static_cast<uint32_t>(static_cast<const std::byte*>(p) - bytesOf(seg));
}

// Every link is checked before it is followed, so a damaged header stops the
// process instead of sending it outside the segment.
Block* blockAt(Segment* seg, uint32_t offset) {
  require(offset >= SENTINEL_OFFSET && offset % UNIT == 0 && offset <= seg->totalSize - UNIT);
  return reinterpret_cast<Block*>(bytesOf(seg) + offset);
}

Block* freeBlockAt(Segment* seg, uint32_t offset) {
  Block* block = blockAt(seg, offset);
  require(block->magic == FREE_MAGIC);
  return block;
}

Block* usedBlockAt(Segment* seg, uint32_t offset) {
  Block* block = blockAt(seg, offset);
  require(block->magic == USED_MAGIC && block->guard == BLOCK_GUARD);
  return block;
}

Block* nextFree(Segment* seg, Block* block) { return freeBlockAt(seg, block->next); }
Block* prevFree(Segment* seg, Block* block) { return freeBlockAt(seg, block->prev); }
std::byte* endOf(Block* block) { return bytesOf(block) + block->size; }
std::byte* endOf(Segment* seg) { return bytesOf(seg) + seg->totalSize; }
uint32_t stepLimit(Segment* seg) { return seg->totalSize / UNIT; }

void unlinkFree(Segment* seg, Block* block) {
  blockAt(seg, block->prev)->next = block->next;
  blockAt(seg, block->next)->prev = block->prev;
}

void linkFreeAfter(Segment* seg, Block* pred, Block* block) {
  Block* next = blockAt(seg, pred->next);
  block->prev = offsetIn(seg, pred);
  block->next = offsetIn(seg, next);
  pred->next = offsetIn(seg, block);
  next->prev = offsetIn(seg, block);
}

// ---------------------------------------------------------------- segments

void initFreeHeader(Segment* seg, Block* block, uint32_t size) {
  *block = Block{FREE_MAGIC, size, 0, 0, 0, 0, offsetIn(seg, block), BLOCK_GUARD};
}

void appendSegment(Pool& pool, Segment* seg) {
  seg->prev = pool.last;
  seg->next = nullptr;
  if (pool.last) pool.last->next = seg;
  else pool.first = seg;
  pool.last = seg;
}

Segment* newSegment(Pool& pool, uint32_t units) {
  if (units >= UNIT_LIMIT) return nullptr;
  uint32_t ordinary = std::min((pool.segmentSize - 33) >> 5, UNIT_LIMIT - 1);
  size_t exact = size_t{units} * UNIT + SEGMENT_HEADER_BYTES;
  size_t bytes = size_t{std::max(ordinary, units)} * UNIT + SEGMENT_HEADER_BYTES;
  void* mem = reservePages(bytes);
  if (mem == nullptr && bytes != exact) mem = reservePages(bytes = exact);
  if (mem == nullptr) return nullptr;

  auto* seg = static_cast<Segment*>(mem);
  seg->magic = SEGMENT_MAGIC;
  seg->totalSize = static_cast<uint32_t>(bytes);
  seg->rover = SENTINEL_OFFSET;
  seg->inUse = 0;
  initFreeHeader(seg, &seg->sentinel, 0);
  Block* all = blockAt(seg, SEGMENT_HEADER_BYTES);
  initFreeHeader(seg, all, seg->totalSize - SEGMENT_HEADER_BYTES);
  seg->sentinel.next = seg->sentinel.prev = SEGMENT_HEADER_BYTES;
  all->next = all->prev = SENTINEL_OFFSET;
  appendSegment(pool, seg);
  return seg;
}

void releaseSegment(Pool& pool, Segment* seg) {
  (seg->prev ? seg->prev->next : pool.first) = seg->next;
  (seg->next ? seg->next->prev : pool.last) = seg->prev;
  seg->magic = 0;
  releasePages(seg, seg->totalSize);
}

bool holds(Segment* seg, const void* p) {
  auto* at = static_cast<const std::byte*>(p);
  return at >= bytesOf(seg) && at < endOf(seg);
}

Segment* segmentHolding(Pool& pool, const void* block) {
  for (Segment* seg = pool.first; seg; seg = seg->next)
    if (holds(seg, block)) return seg;
  return nullptr;
}

// ------------------------------------------------------------ taking a block

uint32_t blockBytesFor(size_t size) {
  return static_cast<uint32_t>((((size + 43) >> 5) + 1) * UNIT);
}

// Next fit: one full circle from the block after the rover to the rover.
Block* firstFitFromRover(Segment* seg, uint32_t need) {
  Block* rover = freeBlockAt(seg, seg->rover);
  Block* block = rover;
  for (uint32_t steps = 0; steps <= stepLimit(seg); ++steps) {
    block = nextFree(seg, block);
    if (block->size >= need) return block;
    if (block == rover) return nullptr;
  }
  fatalStop();  // the list does not close: it is damaged
}

// A short look further round the circle for a block that wastes less. A
// candidate that fits first slides forward over the blocks after it that
// still fit and are each smaller, so that the last of such a run is weighed,
// not the first one close enough.
Block* betterFit(Pool& pool, Segment* seg, Block* chosen, uint32_t need) {
  if (chosen->size - need <= BETTER_FIT_SLACK || pool.lookAhead == 0) return chosen;
  Block* stop = prevFree(seg, chosen);
  Block* candidate = chosen;
  uint32_t examined = 0;
  auto canLookFurther = [&] { return examined < pool.lookAhead && candidate != stop; };
  while (canLookFurther()) {
    candidate = nextFree(seg, candidate);
    ++examined;
    if (candidate->size < need) continue;
    while (canLookFurther()) {
      Block* next = nextFree(seg, candidate);
      if (next->size < need || next->size >= candidate->size) break;
      candidate = next;
      ++examined;
    }
    if (candidate->size >= chosen->size) continue;
    chosen = candidate;
    if (chosen->size - need <= BETTER_FIT_SLACK) break;
  }
  return chosen;
}

void pushInUse(Segment* seg, Block* block) {
  block->prev = 0;
  block->next = seg->inUse;
  if (seg->inUse) blockAt(seg, seg->inUse)->prev = offsetIn(seg, block);
  seg->inUse = offsetIn(seg, block);
}

void markInUse(Segment* seg, Block* block, size_t asked) {
  block->magic = USED_MAGIC;
  block->guard = BLOCK_GUARD;
  block->offset = offsetIn(seg, block);
  block->taken = static_cast<uint32_t>(std::time(nullptr));
  block->asked = static_cast<uint32_t>(asked);
  pushInUse(seg, block);
}

// A block that fits exactly, or with one unit to spare, is taken whole;
// otherwise its upper part is handed out and the lower part stays free.
Block* carve(Segment* seg, Block* chosen, uint32_t need, size_t asked) {
  Block* pred = prevFree(seg, chosen);
  Block* taken = chosen;
  if (chosen->size == need || chosen->size == need + UNIT) {
    unlinkFree(seg, chosen);
  } else {
    chosen->size -= need;
    taken = reinterpret_cast<Block*>(endOf(chosen));
    taken->size = need;
  }
  seg->rover = offsetIn(seg, pred);
  markInUse(seg, taken, asked);
  return taken;
}

Block* takeFrom(Pool& pool, Segment* seg, uint32_t need, size_t asked) {
  Block* chosen = firstFitFromRover(seg, need);
  if (chosen == nullptr) return nullptr;
  return carve(seg, betterFit(pool, seg, chosen, need), need, asked);
}

Block* findBlock(Pool& pool, uint32_t need, size_t asked) {
  uint32_t units = need / UNIT;
  if (pool.first == nullptr && newSegment(pool, units) == nullptr) return nullptr;
  for (Segment* seg = pool.first; seg; seg = seg->next) {
    if (Block* block = takeFrom(pool, seg, need, asked)) return block;
    if (seg == pool.last && newSegment(pool, units) == nullptr) return nullptr;
  }
  return nullptr;
}

std::byte* trailerOf(Block* block) { return endOf(block) - sizeof(Trailer); }

uint16_t wordSum(uint32_t value) { return static_cast<uint16_t>((value & 0xFFFF) + (value >> 16)); }

uint16_t sealFor(const Block* block, uint16_t source, uint32_t line) {
  const auto header = static_cast<uint16_t>(2 * (wordSum(block->taken) + wordSum(block->asked)));
  return static_cast<uint16_t>(TRAILER_SUM - source - wordSum(line) - header);
}

Trailer readTrailer(const Block* block) {
  Trailer trailer;
  std::memcpy(&trailer, reinterpret_cast<const std::byte*>(block) + block->size - sizeof trailer, sizeof trailer);
  return trailer;
}

void frameBlock(Block* block, size_t asked, uint32_t guardWord, const char* source, int line) {
  std::byte* data = bytesOf(block) + UNIT;
  std::memset(data, 0, asked);
  std::memset(data + asked, static_cast<int>(guardWord & 0xFF), block->size - asked - 40);
  const uint16_t handle = internName(source);
  const auto lineWord = static_cast<uint32_t>(line);
  const Trailer trailer{handle, sealFor(block, handle, lineWord), lineWord};
  std::memcpy(trailerOf(block), &trailer, sizeof trailer);
}

// ---------------------------------------------------------- giving it back

// The size test is stricter than "data fits after the header": the guard word
// and trailer must fit too, or the overrun check would read past the block.
void checkHeader(Segment* seg, Block* block) {
  require(offsetIn(seg, block) % UNIT == 0 && offsetIn(seg, block) >= SEGMENT_HEADER_BYTES);
  require(block->magic == USED_MAGIC && block->guard == BLOCK_GUARD);
  require(block->size % UNIT == 0 && block->size >= 2 * UNIT);
  require(block->size <= seg->totalSize - offsetIn(seg, block));
  require(size_t{block->asked} + FRAMING_BYTES <= block->size);
}

void checkInUseNeighbours(Segment* seg, Block* block) {
  uint32_t self = offsetIn(seg, block);
  if (block->prev) require(usedBlockAt(seg, block->prev)->next == self);
  else require(seg->inUse == self);
  if (block->next) require(usedBlockAt(seg, block->next)->prev == self);
}

// Eight bytes at a time: this runs on every block given back.
bool allGuard(const std::byte* from, const std::byte* to, uint32_t guardWord) {
  const uint64_t pattern = uint64_t{guardWord} << 32 | guardWord;
  for (; to - from >= 8; from += 8) {
    uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if (word != pattern) return false;
  }
  for (; from < to; ++from)
    if (*from != static_cast<std::byte>(guardWord & 0xFF)) return false;
  return true;
}

// Every byte between the caller's data and the trailer must still be the
// guard byte, and the trailer must still carry its seal.
void checkTail(const Pool& pool, Block* block) {
  require(allGuard(bytesOf(block) + UNIT + block->asked, trailerOf(block), pool.guardWord));
  const Trailer trailer = readTrailer(block);
  require(trailer.seal == sealFor(block, trailer.source, trailer.line));
}

void checkFollower(Segment* seg, Block* block) {
  if (endOf(block) == endOf(seg)) return;
  uint32_t magic = blockAt(seg, offsetIn(seg, endOf(block)))->magic;
  require(magic == USED_MAGIC || magic == FREE_MAGIC);
}

void checkBlockInUse(const Pool& pool, Segment* seg, Block* block) {
  require(seg->magic == SEGMENT_MAGIC);
  checkHeader(seg, block);
  require(block->offset == offsetIn(seg, block));
  checkInUseNeighbours(seg, block);
  checkTail(pool, block);
  checkFollower(seg, block);
}

void unlinkInUse(Segment* seg, Block* block) {
  if (block->prev) blockAt(seg, block->prev)->next = block->next;
  else seg->inUse = block->next;
  if (block->next) blockAt(seg, block->next)->prev = block->prev;
}

// The free neighbour below `block` in address order, walking from the rover.
Block* freePredecessor(Segment* seg, Block* block) {
  Block* cur = freeBlockAt(seg, seg->rover);
  if (cur > block) cur = &seg->sentinel;
  for (uint32_t steps = 0; steps <= stepLimit(seg); ++steps) {
    Block* next = nextFree(seg, cur);
    if (next == &seg->sentinel || next > block) return cur;
    cur = next;
  }
  fatalStop();
}

void checkFreeNeighbours(Segment* seg, Block* pred, Block* block) {
  Block* next = blockAt(seg, pred->next);
  require(next->magic == FREE_MAGIC && next->guard == BLOCK_GUARD);
  require(next == &seg->sentinel || endOf(block) <= bytesOf(next));
  require(pred == &seg->sentinel || endOf(pred) <= bytesOf(block));
}

void scrubHeader(const Pool& pool, Block* block) {
  if (pool.freeFill < NO_FILL) {
    std::memset(block, static_cast<int>(pool.freeFill), sizeof(Block));
  } else {
    block->magic = 0;
    block->guard = 0;
  }
}

void mergeNeighbours(const Pool& pool, Segment* seg, Block* pred, Block* block) {
  Block* next = blockAt(seg, block->next);
  if (next != &seg->sentinel && endOf(block) == bytesOf(next)) {
    block->size += next->size;
    unlinkFree(seg, next);
    scrubHeader(pool, next);
  }
  if (pred != &seg->sentinel && endOf(pred) == bytesOf(block)) {
    pred->size += block->size;
    unlinkFree(seg, block);
    scrubHeader(pool, block);
  }
}

void releaseBlock(Pool& pool, Segment* seg, Block* block) {
  checkBlockInUse(pool, seg, block);
  std::memset(trailerOf(block), static_cast<int>(pool.guardWord & 0xFF), sizeof(Trailer));
  unlinkInUse(seg, block);
  block->magic = FREE_MAGIC;

  Block* pred = freePredecessor(seg, block);
  checkFreeNeighbours(seg, pred, block);
  if (pool.freeFill < NO_FILL)
    std::memset(bytesOf(block) + UNIT, static_cast<int>(pool.freeFill), block->asked);
  seg->rover = offsetIn(seg, pred);
  linkFreeAfter(seg, pred, block);
  mergeNeighbours(pool, seg, pred, block);

  if (seg->inUse == 0 && seg != pool.first) releaseSegment(pool, seg);
}

// Owner search and release under one hold of the owner's lock: the header
// checks then cost no second lock round-trip, and still no two pool locks
// are ever held together.
bool releaseIfHeld(Pool& pool, Block* block) {
  if (!isInitialised(pool)) return false;
  std::lock_guard guard(pool.lock);
  Segment* seg = segmentHolding(pool, block);
  if (seg == nullptr) return false;
  releaseBlock(pool, seg, block);
  return true;
}

}  // namespace

void* hcheapAlloc(unsigned pool, size_t size, const char* source, int line) {
  if (size >= TOO_LARGE || pool >= HCHEAP_POOLS) return nullptr;
  Pool& owner = registry.pools[pool];
  initPool(owner);
  uint32_t need = blockBytesFor(size);
  Block* block;
  uint32_t guardWord;
  {
    std::lock_guard guard(owner.lock);
    block = findBlock(owner, need, size);
    guardWord = owner.guardWord;
  }
  if (block == nullptr) return nullptr;
  frameBlock(block, size, guardWord, source, line);
  return bytesOf(block) + UNIT;
}

void* hcheapAllocOrThrow(unsigned pool, size_t size, const char* source, int line) {
  void* data = hcheapAlloc(pool, size, source, line);
  if (data == nullptr) throw std::bad_alloc();
  return data;
}

void hcheapFree(unsigned pool, void* data) {
  if (data == nullptr) return;
  // Integer arithmetic: a foreign pointer may sit anywhere, even below 32.
  auto* block = reinterpret_cast<Block*>(reinterpret_cast<uintptr_t>(data) - UNIT);
  // A hint outside the registry is no hint at all rather than a read past it.
  bool hinted = pool < HCHEAP_POOLS;
  if (hinted && releaseIfHeld(registry.pools[pool], block)) return;
  for (unsigned i = 0; i < HCHEAP_POOLS; ++i)
    if (!(hinted && i == pool) && releaseIfHeld(registry.pools[i], block)) return;
  fatalStop();
}

HcheapBlockInfo hcheapInspectBlock(const void* data) {
  auto* block = reinterpret_cast<const Block*>(static_cast<const std::byte*>(data) - UNIT);
  const Trailer trailer = readTrailer(block);
  HcheapBlockInfo info;
  info.blockBytes = block->size;
  info.askedBytes = block->asked;
  info.source = nameOf(trailer.source);
  info.line = static_cast<int>(trailer.line);
  info.segment = reinterpret_cast<const std::byte*>(block) - block->offset;
  return info;
}

namespace {

void countSegment(Segment* seg, HcheapPoolInfo& info) {
  ++info.segments;
  info.segmentBytes += seg->totalSize;
  for (Block* b = nextFree(seg, &seg->sentinel); b != &seg->sentinel; b = nextFree(seg, b)) {
    ++info.freeBlocks;
    info.freeBytes += b->size;
  }
  for (uint32_t off = seg->inUse; off; off = usedBlockAt(seg, off)->next) ++info.usedBlocks;
}

}  // namespace

HcheapPoolInfo hcheapInspectPool(unsigned pool) {
  HcheapPoolInfo info;
  if (pool >= HCHEAP_POOLS || !registryDone.load(std::memory_order_acquire)) return info;
  Pool& p = registry.pools[pool];
  std::memcpy(info.name, p.name, sizeof info.name);
  if (!isInitialised(p)) return info;
  info.initialised = true;
  std::lock_guard guard(p.lock);
  for (Segment* seg = p.first; seg; seg = seg->next) countSegment(seg, info);
  return info;
}
