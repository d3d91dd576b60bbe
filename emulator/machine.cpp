// The run loop and the device's view: the core runs until the PC reaches a
// firmware trap (power button, off loop, beep, line feed, print line, key
// confirm and key wait), which is served at the loop's exit with the queued
// commands. Everything a shell sees leaves here as an event.
#include "emulator/machine.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "emulator/machine_state.h"
#include "heap/hcheap.h"

namespace {

constexpr uint16_t ADAPTER_BASE = 0x4000;
constexpr uint16_t ADAPTER_MASK = 0xFFFC;
constexpr uint16_t ADAPTER_SIDE_A_DATA = 0;
constexpr uint32_t SLICE = 50000;  // instructions between looks at the stop flag
constexpr size_t COALESCE_FROM = 256;  // pending events before displays coalesce

// ---- publishing -----------------------------------------------------------

// Display and lamp events only carry the latest state: a shell that keeps up
// sees every one, and one that lags gets the newest in place of the last
// one it has not drained, so the queue stays bounded.
bool Coalesces(EventKind kind) { return kind == EventKind::Display || kind == EventKind::Lamps; }

void PushLocked(MachineParts& m, Event event) {
  ApplyEvent(m.view, event);
  if (m.events.size() >= COALESCE_FROM && Coalesces(event.kind) && m.events.back().kind == event.kind) {
    m.events.back() = std::move(event);
    return;
  }
  m.events.push_back(std::move(event));
  if (m.events.size() == 1 && m.notify) m.notify();
}

// Port 2 is published when something else is (so the order holds) or when
// a slice ends: a firmware that rewrites its lamps costs no lock per store.
void PublishLampsLocked(MachineParts& m) {
  if (m.lamps == m.view.lamps) return;
  Event event;
  event.kind = EventKind::Lamps;
  event.lamps = m.lamps;
  PushLocked(m, std::move(event));
}

void PublishLocked(MachineParts& m, Event event) {
  PublishLampsLocked(m);
  PushLocked(m, std::move(event));
}

void Publish(MachineParts& m, Event event) {
  std::lock_guard lock(m.mutex);
  PublishLocked(m, std::move(event));
}

Event MakeEvent(EventKind kind) {
  Event event;
  event.kind = kind;
  return event;
}

// ---- hooks ----------------------------------------------------------------

// The tone routine toggles the beeper bit at audio rate; those two stores
// are the beeper, not the lamps. The PC has already passed the store.
bool IsToneStore(uint16_t pc) { return pc == TONE_STORE_1 + 2 || pc == TONE_STORE_2 + 2; }

void Port2Write(void* context, uint8_t value) {
  auto& m = *static_cast<MachineParts*>(context);
  if (!IsToneStore(m.core.cpu.PC)) m.lamps = value;
}

uint8_t Port6Read(void* context, uint8_t stored) {
  auto& m = *static_cast<MachineParts*>(context);
  return PrinterPortRead(m.printer, stored, m.core.memory[STEP_COUNTER]);
}

void Port6Write(void* context, uint8_t value) { PrinterPortWrite(static_cast<MachineParts*>(context)->printer, value); }

uint8_t AdapterRead(void* context, uint16_t address) {
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

void AdapterWrite(void* context, uint16_t address, uint8_t value) {
  PiaWrite(static_cast<MachineParts*>(context)->pia, address, value);
}

void DisplayByte(void* context, uint8_t byte, uint8_t sideBIn) {
  auto& m = *static_cast<MachineParts*>(context);
  DigitState shown = m.view.digits;
  if (!DisplayReceive(m.cells, shown, byte, (sideBIn & 0x80) != 0) || shown == m.view.digits) return;
  Event event = MakeEvent(EventKind::Display);
  event.digits = shown;
  Publish(m, std::move(event));
}

void Wire(MachineParts& m) {
  CoreHooks& hooks = m.core.hooks;
  hooks.context = &m;
  hooks.port2Write = Port2Write;
  hooks.port6Read = Port6Read;
  hooks.port6Write = Port6Write;
  hooks.busBase = ADAPTER_BASE;
  hooks.busMask = ADAPTER_MASK;
  hooks.busRead = AdapterRead;
  hooks.busWrite = AdapterWrite;
  m.pia.keys = &m.keys;
  m.pia.display = &m.link;
  m.link.context = &m;
  m.link.sendByte = DisplayByte;
}

// ---- paper ----------------------------------------------------------------

// The log and the pane get the same bytes. No printed text is ever dropped:
// when no block can be had for it, the heap's refusal stops the device loudly.
void AppendToPaper(MachineParts& m, const char* text, size_t length) {
  auto* block = static_cast<char*>(hcheapAllocOrThrow(0, length + 1, "m6303", __LINE__));
  std::memcpy(block, text, length);
  Event event = MakeEvent(EventKind::Paper);
  event.text.assign(block, length);
  hcheapFree(0, block);
  m.stateDirty = true;
  // Flushed line by line: a knitter may read the log while the device runs.
  switch (WriteSessionLog(m.log, event.text)) {
    case LogWrite::Written: event.logged = true; break;
    case LogWrite::Failed: {
      Event failed = MakeEvent(EventKind::LogFailed);
      failed.text = m.log.error;
      Publish(m, std::move(failed));
      break;
    }
    case LogWrite::Off: break;
  }
  Publish(m, std::move(event));
}

void PrintLineTrap(MachineParts& m) {
  char line[PRINT_BUFFER_SIZE * 2 + 2];
  const size_t length = ComposePrintLine(&m.core.memory[PRINT_BUFFER], line);
  AppendToPaper(m, line, length);
}

void SetPowerLocked(MachineParts& m, bool on) {
  if (m.view.on == on) return;
  Event event = MakeEvent(EventKind::Power);
  event.on = on;
  PublishLocked(m, std::move(event));
}

// ---- traps and commands -----------------------------------------------------

// The addresses where the run loop has something to do: the core's loop
// stops there, before the instruction at the address runs.
constexpr std::array<uint16_t, 7> TrapAddresses{TRAP_SLEEP,      TRAP_OFF_LOOP, TRAP_TONE,   TRAP_LINE_FEED,
                                                TRAP_PRINT_LINE, CONFIRM_DELAY, WAIT_FOR_KEY};

bool IsTrap(uint16_t pc) { return std::find(TrapAddresses.begin(), TrapAddresses.end(), pc) != TrapAddresses.end(); }

StepResult ServeTrap(MachineParts& m) {
  switch (m.core.cpu.PC) {
    case TRAP_SLEEP: {
      std::lock_guard lock(m.mutex);
      SetPowerLocked(m, false);
      break;
    }
    case TRAP_OFF_LOOP: return StepResult::OffLoop;
    case TRAP_TONE: Publish(m, MakeEvent(EventKind::Beep)); break;
    case TRAP_LINE_FEED: AppendToPaper(m, "\r\n", 2); break;
    case TRAP_PRINT_LINE: PrintLineTrap(m); break;
    case CONFIRM_DELAY: LatchConfirmDelay(m.latch); break;
    case WAIT_FOR_KEY:
      if (m.latch.phase == LatchPhase::Released) {
        LatchKeyWait(m.latch);
        m.serveNow.store(true, std::memory_order_relaxed);
      }
      break;
    default: break;
  }
  return StepResult::Ran;
}

void StopForGood(MachineParts& m, StopReason reason) {
  Event event = MakeEvent(EventKind::Stopped);
  event.stop = reason;
  event.stopAddress = static_cast<uint16_t>(m.core.cpu.PC - 1);  // the opcode's own address
  event.stopOpcode = m.core.cpu.Opcode;
  Publish(m, std::move(event));
}

bool Running(const MachineParts& m) { return m.view.stop == StopReason::Running; }
bool TakesKeys(const MachineParts& m) { return Running(m) && m.view.on && m.core.cpu.PC != TRAP_OFF_LOOP; }
bool IsKeyCommand(const Command& c) { return c.kind == CommandKind::KeyDown || c.kind == CommandKind::KeyUp; }

// A restart forgets the keys typed before it and lets go of any held.
void JumpLocked(MachineParts& m, std::deque<Command>::iterator& it, uint16_t target, bool on) {
  it = m.commands.erase(std::remove_if(m.commands.begin(), it, IsKeyCommand), it);
  LatchReset(m.latch, m.keys);
  SetPowerLocked(m, on);
  PublishLocked(m, MakeEvent(EventKind::PaperCleared));
  m.core.cpu.PC = target;
}

void ApplyPaperCommandLocked(MachineParts& m, CommandKind kind) {
  m.stateDirty = true;
  if (kind == CommandKind::ClearPaper) {
    PublishLocked(m, MakeEvent(EventKind::PaperCleared));
    return;
  }
  Event event = MakeEvent(EventKind::Paper);
  event.text = "\r\n";
  PublishLocked(m, std::move(event));
}

}  // namespace

// ---- the view ---------------------------------------------------------------

void ApplyEvent(DeviceView& view, const Event& event) {
  switch (event.kind) {
    case EventKind::Display: view.digits = event.digits; break;
    case EventKind::Lamps: view.lamps = event.lamps; break;
    case EventKind::Beep: ++view.beeps; break;
    case EventKind::Paper: view.paper += event.text; break;
    case EventKind::PaperCleared: view.paper.clear(); break;
    case EventKind::Power: view.on = event.on; break;
    case EventKind::Stopped:
      view.stop = event.stop;
      view.stopAddress = event.stopAddress;
      view.stopOpcode = event.stopOpcode;
      break;
    case EventKind::LogFailed:
    case EventKind::StateFailed: break;
  }
}

size_t ComposePrintLine(const uint8_t* buffer, char* out) {
  size_t n = 0;
  for (size_t i = 0; i < PRINT_BUFFER_SIZE && buffer[i] != PRINT_END; ++i) {
    char c = static_cast<char>(buffer[i]);
    switch (c) {
      case 'b': c = 'c'; break;
      case 'd': c = 'm'; break;
      case '"': c = 'x'; break;
      default: break;
    }
    out[n++] = c;
    if (c == '\r') out[n++] = '\n';
  }
  out[n++] = '\r';
  out[n++] = '\n';
  return n;
}

// ---- bring-up and teardown --------------------------------------------------

void MachineInit(Machine& m, const MachineConfig& config) {
  Wire(m);
  m.core.memory.fill(0);
  std::copy_n(config.image.begin(), std::min(config.image.size(), FIRMWARE_SIZE),
              m.core.memory.begin() + FIRMWARE_BASE);
  m.patched = config.patched;
  if (m.patched) {
    for (const FirmwarePatch& patch : FirmwarePatches) m.core.memory[patch.address] = patch.value;
  }
  m.log = config.log;
  m.printer.captureDir = config.captureDir;
  m.printer.trace = config.portTrace;
  m.stateKey = MachineStateKey(config.image, config.patched);
  m.stateDirty = false;
  PiaReset(m.pia);
  m.keys = KeyRows{};
  m.latch = KeyLatch{};
  m.lamps = 0;
  {
    std::lock_guard lock(m.mutex);
    m.view = m.drained = DeviceView{};
    m.events.clear();
    m.commands.clear();
  }
  m.core.cpu.PC = ReadWord(m.core, RESET_VECTOR);
}

Machine::~Machine() { MachineStop(*this); }

void Machine::Tell(Event event) { Publish(*this, std::move(event)); }

// ---- shell side ---------------------------------------------------------------

void MachineSend(Machine& m, Command command) {
  {
    std::lock_guard lock(m.mutex);
    m.commands.push_back(command);
    m.serveNow.store(true, std::memory_order_relaxed);
  }
  m.wake.notify_one();
}

void MachineDrain(Machine& m, std::vector<Event>& out) {
  std::lock_guard lock(m.mutex);
  for (Event& event : m.events) {
    ApplyEvent(m.drained, event);
    out.push_back(std::move(event));
  }
  m.events.clear();
}

DeviceView MachineAttach(Machine& m, std::function<void()> notify) {
  std::lock_guard lock(m.mutex);
  m.notify = std::move(notify);
  if (!m.events.empty() && m.notify) m.notify();
  return m.drained;
}

void MachineDetach(Machine& m) {
  std::lock_guard lock(m.mutex);
  m.notify = nullptr;
}

DeviceView MachineView(const Machine& m) {
  std::lock_guard lock(m.mutex);
  return m.view;
}

uint64_t MachineKey(const Machine& m) { return m.stateKey; }

std::string MachineCaptureError(const Machine& m) { return m.printer.captureError; }

void MachineCloseLog(Machine& m) { CloseSessionLog(m.log); }

// ---- running -----------------------------------------------------------------

// Commands are served in order, but a key press still in flight holds back
// the key commands behind it (all but the let-go of the key it holds), so
// every press reaches the firmware once and in order.
void ServeCommands(Machine& m) {
  m.serveNow.store(false, std::memory_order_relaxed);
  std::lock_guard lock(m.mutex);
  bool blocked = false;
  bool heldKeyQueuedAgain = false;
  for (auto it = m.commands.begin(); it != m.commands.end();) {
    const Command c = *it;
    if (IsKeyCommand(c) && blocked) {
      const bool letsGoOfHeld = c.kind == CommandKind::KeyUp && c.key == m.latch.key && !heldKeyQueuedAgain;
      if (letsGoOfHeld && LatchLetGo(m.latch, m.keys, c.key)) {
        it = m.commands.erase(it);
        continue;
      }
      if (c.kind == CommandKind::KeyDown && c.key == m.latch.key) heldKeyQueuedAgain = true;
      ++it;
      continue;
    }
    switch (c.kind) {
      case CommandKind::KeyDown:
        if (TakesKeys(m) && IsMatrixKey(c.key) && !LatchPress(m.latch, m.keys, c.key)) {
          blocked = true;
          ++it;
          continue;
        }
        break;
      case CommandKind::KeyUp: LatchLetGo(m.latch, m.keys, c.key); break;
      case CommandKind::Power:
      case CommandKind::New:
        if (Running(m)) {
          const bool on = c.kind == CommandKind::New || !m.view.on;
          JumpLocked(m, it, on ? ENTRY_RESET : ENTRY_POWER_OFF, on);
        }
        break;
      case CommandKind::PaperFeed:
      case CommandKind::ClearPaper: ApplyPaperCommandLocked(m, c.kind); break;
    }
    it = m.commands.erase(it);
  }
}

MachineRun RunMachine(Machine& m, uint32_t budget) {
  if (!Running(m)) [[unlikely]]
    return {0, m.view.stop == StopReason::Halted ? StepResult::Halted : StepResult::Undecoded};
  if (m.serveNow.load(std::memory_order_relaxed)) budget = std::min(budget, 1u);
  const RunResult run = Run(m.core, budget, TrapAddresses);
  const uint16_t ranTo = m.core.cpu.PC;
  MachineRun result{run.count, StepResult::Ran, false, false};
  if (run.exit == RunExit::Undecoded || run.exit == RunExit::Halted) [[unlikely]] {
    const bool undecoded = run.exit == RunExit::Undecoded;
    StopForGood(m, undecoded ? StopReason::Undecoded : StopReason::Halted);
    result.result = undecoded ? StepResult::Undecoded : StepResult::Halted;
    return result;
  }
  if (run.count > 0 && IsTrap(m.core.cpu.PC)) result.result = ServeTrap(m);
  if (m.serveNow.load(std::memory_order_relaxed)) [[unlikely]]
    ServeCommands(m);
  if (result.result == StepResult::OffLoop && m.core.cpu.PC != TRAP_OFF_LOOP) result.result = StepResult::Ran;
  result.keyWait = run.count > 0 && m.core.cpu.PC == WAIT_FOR_KEY;
  // A jump request taken at this exit leaves the loop.
  result.selfLoop = run.exit == RunExit::SelfLoop && m.core.cpu.PC == ranTo;
  return result;
}

StepResult Step(Machine& m) { return RunMachine(m, 1).result; }

bool KeysIdle(const Machine& m) {
  if (!LatchIdle(m.latch) || AnyKeyDown(m.keys)) return false;
  std::lock_guard lock(m.mutex);
  return std::none_of(m.commands.begin(), m.commands.end(), IsKeyCommand);
}

bool MachineIdle(const Machine& m) {
  const uint16_t pc = m.core.cpu.PC;
  if (pc == TRAP_OFF_LOOP || !Running(m)) return true;
  if (!m.patched) return false;
  return (pc == WAIT_FOR_KEY && LatchIdle(m.latch) && !AnyKeyDown(m.keys)) || LatchPollsHeld(m.latch);
}

void PublishPending(Machine& m) {
  if (m.lamps == m.view.lamps) return;
  std::lock_guard lock(m.mutex);
  PublishLampsLocked(m);
}

uint32_t RunSlice(Machine& m, uint32_t budget) {
  uint32_t n = 0;
  while (n < budget) {
    const MachineRun run = RunMachine(m, budget - n);
    n += run.count;
    if (run.result != StepResult::Ran || MachineIdle(m)) break;
  }
  PublishPending(m);
  return n;
}

namespace {

// Keeps the device, once its paper has changed, through the keeping's hook.
void KeepIdleState(MachineParts& m) {
  if (m.stateDirty && m.atRest && m.atRest()) m.stateDirty = false;
}

}  // namespace

// Runs slices until stopped; while nothing can happen it sleeps until a
// command (or the stop) arrives.
void Machine::RunThread() {
  Machine& m = *this;
  while (m.StopFlag.load() == 0) {
    if (m.serveNow.load(std::memory_order_relaxed)) ServeCommands(m);
    if (MachineIdle(m)) {
      KeepIdleState(m);
      if (m.beforeWait) m.beforeWait();
      // Woken by a command that may be served (a key queued behind a held
      // one is not), or by the stop.
      std::unique_lock lock(m.mutex);
      m.wake.wait(lock, [&] { return m.StopFlag.load() != 0 || m.serveNow.load(std::memory_order_relaxed); });
      lock.unlock();
      ServeCommands(m);
      continue;
    }
    RunSlice(m, SLICE);
  }
}

void MachineStart(Machine& m) {
  if (m.thread.joinable()) return;
  m.StopFlag.store(0);
  m.thread = std::thread(&Machine::RunThread, &m);
}

void MachineStop(Machine& m) {
  {
    std::lock_guard lock(m.mutex);
    m.StopFlag.store(1);
  }
  m.wake.notify_all();
  if (m.thread.joinable()) m.thread.join();
}
