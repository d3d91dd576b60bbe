// The core's run loop, into which every instruction of m6303_ops.inc is
// expanded, for a bus: a class of static functions, called in the loop, that
// serve the port page (ReadPort, WritePort) and the bus window (ReadsBus,
// BusRead, WritesBus, BusWrite). The registers live in locals for the whole
// run; dispatch is a computed goto where the compiler has one and a switch
// elsewhere (M6303_SWITCH_DISPATCH forces the switch, so both are built and
// tested). The core's Run reaches the hooks of Core through its bus; the
// machine's loop has a bus of its own, which serves its peripherals in line.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "emulator/m6303.h"

#if defined(__GNUC__) && !defined(M6303_SWITCH_DISPATCH)
#define M6303_COMPUTED_GOTO 1
#endif

// The flag rules are expanded into every instruction that uses them.
#if defined(__GNUC__)
#define EXPANDED [[gnu::always_inline]] inline
#elif defined(_MSC_VER)
#define EXPANDED __forceinline
#else
#define EXPANDED inline
#endif

// The empty slots, each of which the run loop reports as undecoded.
#define M6303_EMPTY_SLOTS(E)                                                                                    \
  E(0x00) E(0x02) E(0x03) E(0x04) E(0x05) E(0x12) E(0x13) E(0x14) E(0x15) E(0x18) E(0x1C) E(0x1D) E(0x1E)       \
  E(0x1F) E(0x21) E(0x31) E(0x34) E(0x3A) E(0x3B) E(0x3D) E(0x3E) E(0x40) E(0x41) E(0x42) E(0x43) E(0x45)       \
  E(0x4B) E(0x4E) E(0x50) E(0x51) E(0x52) E(0x53) E(0x55) E(0x5B) E(0x5E) E(0x60) E(0x61) E(0x62) E(0x63)       \
  E(0x65) E(0x6A) E(0x6B) E(0x6C) E(0x6E) E(0x70) E(0x71) E(0x72) E(0x74) E(0x75) E(0x76) E(0x77) E(0x78)       \
  E(0x7B) E(0x82) E(0x83) E(0x85) E(0x87) E(0x8F) E(0x90) E(0x91) E(0x92) E(0x93) E(0x94) E(0x95) E(0x98)       \
  E(0x99) E(0x9A) E(0x9B) E(0x9C) E(0x9D) E(0x9E) E(0x9F) E(0xA1) E(0xA2) E(0xA3) E(0xA4) E(0xA5) E(0xA8)       \
  E(0xAA) E(0xAB) E(0xAC) E(0xAD) E(0xAE) E(0xAF) E(0xB2) E(0xB3) E(0xB4) E(0xB5) E(0xC0) E(0xC2) E(0xC3)       \
  E(0xC5) E(0xC7) E(0xCA) E(0xCB) E(0xCC) E(0xCD) E(0xCF) E(0xD0) E(0xD1) E(0xD2) E(0xD3) E(0xD4) E(0xD5)       \
  E(0xD8) E(0xD9) E(0xDA) E(0xDB) E(0xDC) E(0xDD) E(0xDE) E(0xDF) E(0xE0) E(0xE1) E(0xE2) E(0xE3) E(0xE4)       \
  E(0xE5) E(0xE8) E(0xE9) E(0xEB) E(0xEC) E(0xED) E(0xEE) E(0xEF) E(0xF1) E(0xF2) E(0xF3) E(0xF4) E(0xF5)       \
  E(0xF9) E(0xFB) E(0xFD)

namespace m6303_loop {

// One byte per 256-byte page: a page with a port on it, or (for stores) a
// stop address, sends its accesses down the hooked path; every other
// address is a plain byte of memory.
using PageMap = std::array<uint8_t, 256>;
enum : uint8_t { PORT_PAGE = 1, STOP_PAGE = 2 };

constexpr PageMap HookPages = [] {
  PageMap pages{};
  pages[PORT2_ADDRESS >> 8] = PORT_PAGE;
  pages[PORT6_ADDRESS >> 8] = PORT_PAGE;
  return pages;
}();

// ---------------------------------------------------------------------------
// Flags
// ---------------------------------------------------------------------------

constexpr std::array<uint8_t, 256> NZ = [] {
  std::array<uint8_t, 256> table{};
  for (unsigned r = 0; r < 256; ++r) table[r] = (r & 0x80 ? FLAG_N : 0) | (r == 0 ? FLAG_Z : 0);
  return table;
}();

EXPANDED uint8_t NZ16(uint16_t r) { return (r & 0x8000 ? FLAG_N : 0) | (r == 0 ? FLAG_Z : 0); }
EXPANDED uint8_t FlagIf(bool condition, uint8_t flag) { return condition ? flag : 0; }
// This core's V after additions, subtractions, CBA and CPX mirrors the carry.
EXPANDED uint8_t CV(bool carry) { return carry ? (FLAG_C | FLAG_V) : 0; }

// Replaces the flags in `mask` with `flags`; the rest of CCR is kept.
EXPANDED void Assign(uint8_t& cc, uint8_t mask, uint8_t flags) { cc = static_cast<uint8_t>((cc & ~mask) | flags); }

EXPANDED uint8_t Logic(uint8_t& cc, uint8_t r) {
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V, NZ[r]);
  return r;
}

EXPANDED uint8_t IncDec(uint8_t& cc, uint8_t r) {
  Assign(cc, FLAG_N | FLAG_Z, NZ[r]);
  return r;
}

EXPANDED uint8_t Add(uint8_t& cc, uint8_t acc, uint8_t m, unsigned carryIn) {
  const unsigned sum = acc + m + carryIn;
  const bool half = (acc & 0x0F) + (m & 0x0F) + carryIn > 0x0F;
  const auto r = static_cast<uint8_t>(sum);
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C | FLAG_H, NZ[r] | CV(sum > 0xFF) | FlagIf(half, FLAG_H));
  return r;
}

EXPANDED uint8_t Sub(uint8_t& cc, uint8_t acc, uint8_t m) {
  const auto r = static_cast<uint8_t>(acc - m);
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ[r] | CV(m > acc));
  return r;
}

// CMPA/CMPB: V is set when the plain difference leaves the signed byte range.
EXPANDED void Compare(uint8_t& cc, uint8_t acc, uint8_t m) {
  const int difference = int{acc} - int{m};
  const bool outOfRange = difference < -128 || difference > 127;
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C,
         NZ[static_cast<uint8_t>(difference)] | FlagIf(outOfRange, FLAG_V) | FlagIf(acc < m, FLAG_C));
}

EXPANDED void CompareX(uint8_t& cc, uint16_t x, uint16_t w) {
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ16(static_cast<uint16_t>(x - w)) | CV(w > x));
}

EXPANDED void Test(uint8_t& cc, uint8_t v) { Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ[v]); }

EXPANDED uint8_t Clear(uint8_t& cc) {
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, FLAG_Z);
  return 0;
}

EXPANDED uint8_t Complement(uint8_t& cc, uint8_t v) {
  const auto r = static_cast<uint8_t>(~v);
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ[r] | FLAG_C);
  return r;
}

EXPANDED uint8_t Shift(uint8_t& cc, uint8_t r, bool carryOut) {
  Assign(cc, FLAG_N | FLAG_Z | FLAG_C, NZ[r] | FlagIf(carryOut, FLAG_C));
  return r;
}

EXPANDED uint16_t Word(uint8_t& cc, uint16_t v) {
  Assign(cc, FLAG_N | FLAG_Z | FLAG_V, NZ16(v));
  return v;
}

EXPANDED uint16_t Index(uint8_t& cc, uint16_t v) {
  Assign(cc, FLAG_Z, FlagIf(v == 0, FLAG_Z));
  return v;
}

EXPANDED uint8_t Lsr(uint8_t& cc, uint8_t v) { return Shift(cc, v >> 1, v & 1); }
EXPANDED uint8_t Asr(uint8_t& cc, uint8_t v) { return Shift(cc, (v >> 1) | (v & 0x80), v & 1); }
EXPANDED uint8_t Ror(uint8_t& cc, uint8_t v) { return Shift(cc, static_cast<uint8_t>(v >> 1 | (cc & FLAG_C) << 7), v & 1); }
EXPANDED uint8_t Asl(uint8_t& cc, uint8_t v) { return Shift(cc, static_cast<uint8_t>(v << 1), v & 0x80); }
EXPANDED uint8_t Rol(uint8_t& cc, uint8_t v) { return Shift(cc, static_cast<uint8_t>(v << 1 | (cc & FLAG_C)), v & 0x80); }

EXPANDED uint8_t DecimalAdjust(uint8_t& cc, uint8_t a) {
  const bool carry = cc & FLAG_C;
  const unsigned lo = a & 0x0F, hi = a >> 4;
  const unsigned low = ((cc & FLAG_H) || lo > 9) ? 0x06 : 0;
  const unsigned high = (carry || hi > 9 || (hi == 9 && lo > 9)) ? 0x60 : 0;
  const unsigned sum = a + high + low;
  const auto r = static_cast<uint8_t>(sum);
  Assign(cc, FLAG_N | FLAG_Z | FLAG_C, NZ[r] | FlagIf(carry || sum > 0xFF, FLAG_C));
  return r;
}

// Signed-comparison conditions of BGE/BLT/BGT/BLE.
EXPANDED bool NEqualsV(uint8_t cc) { return (((cc >> 3) ^ (cc >> 1)) & 1) == 0; }

inline bool AtStop(std::span<const uint16_t> stops, uint16_t pc) {
  return std::find(stops.begin(), stops.end(), pc) != stops.end();
}

// The pages stores take the hooked path on, and the stops; the run loop
// holds it on its stack and reaches it only on the hooked paths.
struct WritePages {
  PageMap pages;
  std::span<const uint16_t> stops;
};

// A store to a stop address ends the run, so the next run sees the opcode
// now there.
template <class Bus>
EXPANDED void WriteHooked(Core& core, uint16_t address, uint8_t value, const WritePages& run) {
  Bus::WritePort(core, address, value);
  if ((run.pages[address >> 8] & STOP_PAGE) && AtStop(run.stops, address)) [[unlikely]]
    core.yield = true;
}

// ---------------------------------------------------------------------------
// The run loop
// ---------------------------------------------------------------------------

template <class Bus>
RunResult RunLoop(Core& core, uint32_t budget, std::span<const uint16_t> stops) {
  if (core.halted) [[unlikely]]
    return {0, RunExit::Halted};
  if (budget == 0) return {0, RunExit::Budget};
  core.yield = false;
  uint8_t* const mem = core.memory.data();
  // The register file, in locals whose address is never taken, so that they
  // stay in the host's registers.
  uint8_t A = core.cpu.A, B = core.cpu.B, CC = core.cpu.CCR, op = core.cpu.Opcode;
  uint16_t X = core.cpu.X, SP = core.cpu.SP, PC = core.cpu.PC;
  uint32_t left = budget;
  RunExit exit = RunExit::Budget;

  // Stores into a stop address's page take the hooked path, so a program
  // that rewrites the opcode there ends the run and the next one sees it.
  WritePages writePages{HookPages, stops};
  for (uint16_t stop : stops) writePages.pages[stop >> 8] |= STOP_PAGE;

// Memory access as expressions over the locals. Hooks see the PC as it is
// at the access (the machine tells the beeper's stores from the lamps' by
// it) and may end the run after the current instruction (Core::yield);
// every register is back in Core when a run ends.
// The instructions a yield leaves unrun come off the budget.
#define SYNC() (core.cpu.PC = PC)
#define AFTER_HOOK() (core.yield ? (void)(budget -= left - 1, left = 1) : (void)0)
// A bus whose port reads neither look at the PC nor end the run says so
// (Bus::QUIET_PORT_READS).
#define rd(address)                                                                                         \
  (readAt = static_cast<uint16_t>(address),                                                                 \
   !HookPages[readAt >> 8]  ? mem[readAt]                                                                   \
   : Bus::QUIET_PORT_READS ? Bus::ReadPort(core, readAt)                                                    \
                           : (wordHigh = (SYNC(), Bus::ReadPort(core, readAt)), AFTER_HOOK(), wordHigh))
#define wr(address, value)                                                                  \
  (writeAt = static_cast<uint16_t>(address), written = static_cast<uint8_t>(value),         \
   writePages.pages[writeAt >> 8] ? ((SYNC(), WriteHooked<Bus>(core, writeAt, written, writePages)), AFTER_HOOK()) \
                           : (void)(mem[writeAt] = written))
// Only the extended forms of CLR, LDAA, LDAB, STAA and STAB reach the bus.
#define rdBus(address)                                                                                         \
  (readAt = static_cast<uint16_t>(address),                                                                    \
   Bus::ReadsBus(core, readAt) ? (wordHigh = (SYNC(), Bus::BusRead(core, readAt)), AFTER_HOOK(), wordHigh) : rd(readAt))
#define wrBus(address, value)                                                                         \
  (writeAt = static_cast<uint16_t>(address), written = static_cast<uint8_t>(value),                   \
   Bus::WritesBus(core, writeAt) ? ((SYNC(), Bus::BusWrite(core, writeAt, written)), AFTER_HOOK()) : wr(writeAt, written))
#define rdWord(address) \
  (wordAt = static_cast<uint16_t>(address), wordValue = static_cast<uint16_t>(rd(wordAt) << 8), \
   static_cast<uint16_t>(wordValue | rd(static_cast<uint16_t>(wordAt + 1))))
#define wrWord(address, value)                                                             \
  (wordAt = static_cast<uint16_t>(address), wordValue = static_cast<uint16_t>(value),      \
   wr(wordAt, wordValue >> 8), wr(static_cast<uint16_t>(wordAt + 1), wordValue))
// Operand bytes are plain memory.
#define imm() mem[PC++]
#define imm16() \
  (PC = static_cast<uint16_t>(PC + 2), \
   static_cast<uint16_t>(mem[static_cast<uint16_t>(PC - 2)] << 8 | mem[static_cast<uint16_t>(PC - 1)]))
#define dir() static_cast<uint16_t>(mem[PC++])
#define idx() static_cast<uint16_t>(X + mem[PC++])
#define ext() imm16()
// PSHx/PULx take the hooked path; return addresses are plain memory.
#define push(value) (wr(SP, (value)), SP--)
#define pull() (SP++, rd(SP))
#define PushReturn(address) \
  (returnTo = (address), mem[SP--] = static_cast<uint8_t>(returnTo), mem[SP--] = static_cast<uint8_t>(returnTo >> 8))
#define PullReturn() \
  (SP = static_cast<uint16_t>(SP + 2), \
   static_cast<uint16_t>(mem[static_cast<uint16_t>(SP - 1)] << 8 | mem[SP]))

#define HALT()              \
  do {                      \
    core.halted = true;     \
    op = thisOp;            \
    exit = RunExit::Halted; \
    goto done;              \
  } while (0)
// A jump, branch or return; one to itself ends the run once it has counted.
#define JUMP(target, toItself)                   \
  do {                                           \
    PC = static_cast<uint16_t>(target);          \
    if (toItself) [[unlikely]] {                 \
      op = thisOp;                               \
      goto self_loop;                            \
    }                                            \
  } while (0)
#define BRANCH(condition)                                   \
  do {                                                      \
    const auto offset = static_cast<int8_t>(imm());         \
    if (condition) JUMP(PC + offset, offset == -2);         \
  } while (0)

#if M6303_COMPUTED_GOTO
#define L(code) &&op_##code
#define ROW(h) \
  L(h##0), L(h##1), L(h##2), L(h##3), L(h##4), L(h##5), L(h##6), L(h##7), \
  L(h##8), L(h##9), L(h##A), L(h##B), L(h##C), L(h##D), L(h##E), L(h##F),
  static const void* const slots[256] = {ROW(0x0) ROW(0x1) ROW(0x2) ROW(0x3) ROW(0x4) ROW(0x5) ROW(0x6) ROW(0x7)
                                         ROW(0x8) ROW(0x9) ROW(0xA) ROW(0xB) ROW(0xC) ROW(0xD) ROW(0xE) ROW(0xF)};
#undef ROW
#undef L
  // With stops, the opcodes that sit at a stop address are looked at first.
  const void* checked[256];
  const void* const* table = slots;
  if (!stops.empty() && budget > 1) {
    std::copy(std::begin(slots), std::end(slots), checked);
    for (uint16_t stop : stops) checked[mem[stop]] = &&check_stop;
    table = checked;
  }
#define DISPATCH_PLAIN() goto* slots[op]
#define DISPATCH() goto* table[op]
#define SLOT(code) op_##code:
#else
  bool checkedOps[256] = {};
  for (uint16_t stop : stops) checkedOps[mem[stop]] = true;
#define DISPATCH_PLAIN() goto dispatch
#define DISPATCH()                       \
  do {                                   \
    if (checkedOps[op]) goto check_stop; \
    goto dispatch;                       \
  } while (0)
#define SLOT(code) case code:
#endif
// The opcode is kept only where a run ends, so that it holds no register
// from one instruction to the next.
#define NEXT()                   \
  do {                           \
    if (--left == 0) {           \
      op = thisOp;               \
      goto out_of_budget;        \
    }                            \
    op = mem[PC++];              \
    DISPATCH();                  \
  } while (0)

  op = mem[PC++];
  DISPATCH_PLAIN();

check_stop:
  op = mem[static_cast<uint16_t>(PC - 1)];
  if (AtStop(writePages.stops, static_cast<uint16_t>(PC - 1))) {
    PC--;
    exit = RunExit::Stop;
    goto done;
  }
  DISPATCH_PLAIN();

#if !M6303_COMPUTED_GOTO
dispatch:
  switch (op) {
#endif
// Each instruction has its own scratch for the access expressions, so that
// none of it lives from one instruction to the next.
#define OP(code, name, mode, ...)                                                             \
  SLOT(code) {                                                                                \
    constexpr uint8_t thisOp = code;                                                          \
    [[maybe_unused]] uint16_t readAt, writeAt, wordAt, wordValue, returnTo;                   \
    [[maybe_unused]] uint8_t written, wordHigh;                                               \
    __VA_ARGS__                                                                               \
    NEXT();                                                                                   \
  }
#include "emulator/m6303_ops.inc"
#undef OP
#define E(code) \
  SLOT(code) op = code; \
  goto undecoded;
  M6303_EMPTY_SLOTS(E)
#undef E
#if !M6303_COMPUTED_GOTO
  }
#endif

undecoded:
  exit = RunExit::Undecoded;
  goto done;
self_loop:
  --left;
  exit = RunExit::SelfLoop;
  goto done;
out_of_budget:
  exit = core.yield ? RunExit::Yield : RunExit::Budget;
done:
  core.cpu = Cpu{A, B, X, SP, PC, CC, op};
  return {budget - left, exit};
#undef SYNC
#undef AFTER_HOOK
#undef rd
#undef wr
#undef rdBus
#undef wrBus
#undef rdWord
#undef wrWord
#undef imm
#undef imm16
#undef dir
#undef idx
#undef ext
#undef push
#undef pull
#undef PushReturn
#undef PullReturn
#undef HALT
#undef JUMP
#undef BRANCH
#undef DISPATCH_PLAIN
#undef DISPATCH
#undef SLOT
#undef NEXT
}

}  // namespace m6303_loop
