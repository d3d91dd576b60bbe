// The processor core: hooked memory access, the decoded opcodes' lengths and
// names, and the run loop of emulator/m6303_loop.h over the hooks of Core.
#include "emulator/m6303.h"

#include <algorithm>
#include <cstddef>

#include "emulator/m6303_loop.h"

// ---------------------------------------------------------------------------
// Memory access
// ---------------------------------------------------------------------------

uint8_t ReadMem(Core& core, uint16_t address) {
  const uint8_t stored = core.memory[address];
  if (address == PORT6_ADDRESS && core.hooks.port6Read) [[unlikely]]
    return core.hooks.port6Read(core.hooks.context, stored);
  return stored;
}

void WriteMem(Core& core, uint16_t address, uint8_t value) {
  core.memory[address] = value;
  if (address == PORT2_ADDRESS) [[unlikely]] {
    if (core.hooks.port2Write) core.hooks.port2Write(core.hooks.context, value);
  } else if (address == PORT6_ADDRESS) [[unlikely]] {
    if (core.hooks.port6Write) core.hooks.port6Write(core.hooks.context, value);
  }
}

uint16_t ReadWord(const Core& core, uint16_t address) {
  const uint16_t next = static_cast<uint16_t>(address + 1);
  return static_cast<uint16_t>(core.memory[address] << 8 | core.memory[next]);
}

namespace {

// ---------------------------------------------------------------------------
// The decoded opcodes
// ---------------------------------------------------------------------------

enum Mode : uint8_t { INH, IMM, IMM16, DIR, IDX, EXT, REL };

constexpr uint8_t LengthOf(Mode mode) {
  switch (mode) {
    case INH: return 1;
    case IMM16:
    case EXT: return 3;
    default: return 2;
  }
}

constexpr std::array<uint8_t, 256> BuildLengths() {
  std::array<uint8_t, 256> lengths{};
#define OP(code, name, mode, ...) lengths[code] = LengthOf(mode);
#include "emulator/m6303_ops.inc"
#undef OP
  return lengths;
}

constexpr std::array<const char*, 256> BuildMnemonics() {
  std::array<const char*, 256> names{};
  names.fill("");
#define OP(code, name, mode, ...) names[code] = name;
#include "emulator/m6303_ops.inc"
#undef OP
  return names;
}

// Every slot is listed once, decoded or empty.
constexpr bool EverySlotOnce() {
  int seen[256] = {};
#define OP(code, name, mode, ...) ++seen[code];
#include "emulator/m6303_ops.inc"
#undef OP
#define E(code) ++seen[code];
  M6303_EMPTY_SLOTS(E)
#undef E
  return std::all_of(std::begin(seen), std::end(seen), [](int n) { return n == 1; });
}
static_assert(EverySlotOnce());

constexpr int DecodedCount() {
  int count = 0;
#define OP(code, name, mode, ...) ++count;
#include "emulator/m6303_ops.inc"
#undef OP
  return count;
}
static_assert(DecodedCount() == 123);

// The hooks of Core, each looked for where it may be empty.
struct HookBus {
  static constexpr bool QUIET_PORT_READS = false;
  static uint8_t ReadPort(Core& core, uint16_t address) { return ReadMem(core, address); }
  static void WritePort(Core& core, uint16_t address, uint8_t value) { WriteMem(core, address, value); }
  static bool OnBus(const Core& core, uint16_t address) { return (address & core.hooks.busMask) == core.hooks.busBase; }
  static bool ReadsBus(const Core& core, uint16_t address) { return core.hooks.busRead && OnBus(core, address); }
  static bool WritesBus(const Core& core, uint16_t address) { return core.hooks.busWrite && OnBus(core, address); }
  static uint8_t BusRead(Core& core, uint16_t address) { return core.hooks.busRead(core.hooks.context, address); }
  static void BusWrite(Core& core, uint16_t address, uint8_t value) {
    core.hooks.busWrite(core.hooks.context, address, value);
  }
};

}  // namespace

constinit const std::array<uint8_t, 256> InstructionLength = BuildLengths();
constinit const std::array<const char*, 256> Mnemonic = BuildMnemonics();

RunResult Run(Core& core, uint32_t budget, std::span<const uint16_t> stops) {
  return m6303_loop::RunLoop<HookBus>(core, budget, stops);
}

ExecuteResult ExecuteOne(Core& core) {
  switch (Run(core, 1).exit) {
    case RunExit::Undecoded: return ExecuteResult::Undecoded;
    case RunExit::Halted: return ExecuteResult::Halted;
    default: return ExecuteResult::Ran;
  }
}
