// The runner's driver: the machine's own slices, its key-wait exit and its
// KeysIdle decide where a script may go on; the driver only counts.
#include "tools/runner_driver.h"

#include <algorithm>

#include "emulator/machine_internals.h"
#include "resources/controls.h"

namespace {

// The trace line of the instruction at the PC, before it runs.
void TraceLine(const Driver& driver) {
  const Core& core = MachineInternals::core(driver.machine);
  const Cpu& cpu = core.cpu;
  const uint8_t opcode = core.memory[cpu.PC];
  const char* mnemonic = Mnemonic[opcode][0] ? Mnemonic[opcode] : "???";
  std::fprintf(driver.trace, "%04X %02X %-5s A=%02X B=%02X X=%04X SP=%04X CCR=%02X\n", cpu.PC, opcode, mnemonic,
               cpu.A, cpu.B, cpu.X, cpu.SP, cpu.CCR);
}

// How a slice ended, as the runner reports it; Idle while it may go on.
Stop SliceStop(const MachineRun& run) {
  switch (run.result) {
    case StepResult::Undecoded: return Stop::Undecoded;
    case StepResult::Halted: return Stop::Halted;
    case StepResult::OffLoop: return Stop::Off;
    case StepResult::Ran: break;
  }
  return run.selfLoop ? Stop::SelfLoop : Stop::Idle;
}

// Keys and the paper act at once; a jump is taken after the next
// instruction, as the window's are.
void Send(Driver& driver, Command command) {
  MachineSend(driver.machine, command);
  if (command.kind != CommandKind::Power && command.kind != CommandKind::New) ServeCommands(driver.machine);
}

// The device has stopped for good: no key can reach it any more.
bool StoppedForGood(Stop stop) { return stop == Stop::Undecoded || stop == Stop::Halted; }

// A key held for `hold` instructions; a control outside the matrix presses
// nothing, but is held as long.
Stop PressKey(Driver& driver, int controlId, uint64_t hold) {
  const KeyControl* control = FindKeyControl(controlId);
  if (control) Send(driver, {CommandKind::KeyDown, control->key});
  const Stop stop = RunFor(driver, hold, false);
  if (control) Send(driver, {CommandKind::KeyUp, control->key});
  return stop;
}

}  // namespace

const char* StopName(Stop stop) {
  switch (stop) {
    case Stop::Idle: return "idle";
    case Stop::Limit: return "limit";
    case Stop::SelfLoop: return "self-loop";
    case Stop::Off: return "off";
    case Stop::Undecoded: return "undecoded";
    case Stop::Halted: return "halted";
  }
  return "?";
}

int ExitStatus(Stop stop) {
  if (stop == Stop::Undecoded) return 3;
  if (stop == Stop::Halted) return 4;
  return 0;
}

// Without a trace the machine runs in slices that end only at its traps; a
// trace takes one instruction at a time.
Stop RunFor(Driver& driver, uint64_t budget, bool untilIdle) {
  for (uint64_t n = 0; n < budget;) {
    if (driver.count >= driver.limit) return Stop::Limit;
    const uint64_t room = std::min({budget - n, driver.limit - driver.count, uint64_t{1} << 30});
    if (driver.trace) TraceLine(driver);
    const MachineRun run = RunMachine(driver.machine, driver.trace ? 1 : static_cast<uint32_t>(room));
    n += run.count;
    driver.count += run.count;
    if (const Stop stop = SliceStop(run); stop != Stop::Idle) return stop;
    if (untilIdle && run.keyWait && KeysIdle(driver.machine)) return Stop::Idle;
  }
  return untilIdle ? Stop::Limit : Stop::Idle;
}

Stop RunScript(Driver& driver, const Script& script) {
  Stop stop = RunFor(driver, script.settle, true);
  for (const KeyAction& key : script.keys) {
    if (StoppedForGood(stop)) return stop;
    if (driver.count >= driver.limit) return Stop::Limit;
    switch (key.kind) {
      case ActionKind::Power: Send(driver, {CommandKind::Power}); break;
      case ActionKind::New: Send(driver, {CommandKind::New}); break;
      case ActionKind::PaperFeed:
        // The window's feed button feeds the pane only; the log, and so
        // the runner's output, keeps what the firmware printed.
        Send(driver, {CommandKind::PaperFeed});
        continue;
      case ActionKind::Key:
        stop = PressKey(driver, key.controlId, script.hold);
        if (StoppedForGood(stop)) return stop;
        break;
    }
    stop = RunFor(driver, script.settle, true);
  }
  return stop;
}
