// The machine's hooks, and the core's loop expanded once more with them in
// line: the mix of a busy firmware loop reaches a hook every few
// instructions, and a call through CoreHooks costs more than most of them.
#include "emulator/machine_hooks.h"

#include "emulator/m6303_loop.h"
#include "emulator/machine.h"

namespace {

constexpr uint16_t ADAPTER_BASE = 0x4000;
constexpr uint16_t ADAPTER_MASK = 0xFFFC;
constexpr uint16_t ADAPTER_SIDE_A_DATA = 0;

// The tone routine toggles the beeper bit at audio rate; those two stores
// are the beeper, not the lamps. The PC has already passed the store.
EXPANDED bool IsToneStore(uint16_t pc) { return pc == TONE_STORE_1 + 2 || pc == TONE_STORE_2 + 2; }

EXPANDED void Port2Write(void* context, uint8_t value) {
  auto& m = *static_cast<MachineParts*>(context);
  if (!IsToneStore(m.core.cpu.PC)) m.lamps = value;
}

EXPANDED uint8_t Port6Read(void* context, uint8_t stored) {
  auto& m = *static_cast<MachineParts*>(context);
  return PrinterPortRead(m.printer, stored, m.core.memory[STEP_COUNTER]);
}

EXPANDED void Port6Write(void* context, uint8_t value) { PrinterPortWrite(static_cast<MachineParts*>(context)->printer, value); }

EXPANDED uint8_t AdapterRead(void* context, uint16_t address) {
  auto& m = *static_cast<MachineParts*>(context);
  const uint8_t value = PiaRead(m.pia, address);
  if ((address & 3) == ADAPTER_SIDE_A_DATA && PiaDataSelected(m.pia.A) && !LatchIdle(m.latch)) {
    LatchColumnsRead(m.latch, m.keys, KeypadSelectedRow(m.pia.B.Ctrl, m.pia.B.Out), value);
    // The firmware polls a key the shell holds: the slice ends, and the
    // thread sleeps until the key goes up.
    if (m.patched && LatchPollsHeld(m.latch)) m.core.yield = true;
  }
  return value;
}

EXPANDED void AdapterWrite(void* context, uint16_t address, uint8_t value) {
  PiaWrite(static_cast<MachineParts*>(context)->pia, address, value);
}

// The same hooks as WireHooks sets, called directly: the core's context is
// the machine's parts.
struct MachineBus {
  static constexpr bool QUIET_PORT_READS = true;  // the printer port's
  EXPANDED static void* Parts(const Core& core) { return core.hooks.context; }
  EXPANDED static uint8_t ReadPort(Core& core, uint16_t address) {
    const uint8_t stored = core.memory[address];
    return address == PORT6_ADDRESS ? Port6Read(Parts(core), stored) : stored;
  }
  EXPANDED static void WritePort(Core& core, uint16_t address, uint8_t value) {
    core.memory[address] = value;
    if (address == PORT2_ADDRESS) {
      Port2Write(Parts(core), value);
    } else if (address == PORT6_ADDRESS) {
      Port6Write(Parts(core), value);
    }
  }
  EXPANDED static bool OnBus(uint16_t address) { return (address & ADAPTER_MASK) == ADAPTER_BASE; }
  EXPANDED static bool ReadsBus(const Core&, uint16_t address) { return OnBus(address); }
  EXPANDED static bool WritesBus(const Core&, uint16_t address) { return OnBus(address); }
  EXPANDED static uint8_t BusRead(Core& core, uint16_t address) { return AdapterRead(Parts(core), address); }
  EXPANDED static void BusWrite(Core& core, uint16_t address, uint8_t value) { AdapterWrite(Parts(core), address, value); }
};

}  // namespace

void WireHooks(MachineParts& m) {
  CoreHooks& hooks = m.core.hooks;
  hooks.context = &m;
  hooks.port2Write = Port2Write;
  hooks.port6Read = Port6Read;
  hooks.port6Write = Port6Write;
  hooks.busBase = ADAPTER_BASE;
  hooks.busMask = ADAPTER_MASK;
  hooks.busRead = AdapterRead;
  hooks.busWrite = AdapterWrite;
}

RunResult RunWithHooks(MachineParts& m, uint32_t budget, std::span<const uint16_t> stops) {
  return m6303_loop::RunLoop<MachineBus>(m.core, budget, stops);
}
