// The run loop: one instruction at a time through the opcode table, then the
// firmware traps (power button caption, off loop, beep, line feed, print
// line), then any jump request from the window.
#include "emulator/machine.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "heap/hcheap.h"
#include "resources/ids.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

// Routines the host takes over are cut short by an RTS; the inactivity
// switch-off jump is bent back into the key wait.
const FirmwarePatch FirmwarePatches[7] = {
    {0xE21C, 0xE2},  // JMP 0xCC96 at 0xE21B becomes JMP 0xE210
    {0xE21D, 0x10},
    {TRAP_TONE, 0x39},
    {0xF904, 0x39},  // pause between alarm beeps
    {0xE2CE, 0x39},  // key-confirm delay
    {TRAP_PRINT_LINE, 0x39},
    {TRAP_LINE_FEED, 0x39},
};

namespace {

void Port2Write(void* context, uint8_t value) {
  auto& machine = *static_cast<Machine*>(context);
  if (machine.host && machine.host->WindowExists()) machine.host->Lamps(value);
}

uint8_t Port6Read(void* context, uint8_t stored) {
  auto& machine = *static_cast<Machine*>(context);
  return PrinterPortRead(machine.printer, stored, machine.core.memory[STEP_COUNTER_ADDRESS]);
}

void Port6Write(void* context, uint8_t value) {
  PrinterPortWrite(static_cast<Machine*>(context)->printer, value);
}

uint8_t AdapterRead(void* context, uint16_t address) {
  return PiaRead(static_cast<Machine*>(context)->pia, address);
}

void AdapterWrite(void* context, uint16_t address, uint8_t value) {
  PiaWrite(static_cast<Machine*>(context)->pia, address, value);
}

void SendDisplayByte(void* context, uint8_t byte, uint8_t sideBIn) {
  auto& machine = *static_cast<Machine*>(context);
  if (machine.host && machine.host->WindowExists()) machine.host->DisplayByte(byte, sideBIn);
}

bool WindowExists(const Machine& machine) {
  return machine.host && machine.host->WindowExists();
}

// The log and the pane get the same bytes or, when no block can be had for
// the text, neither does.
void AppendToPaper(Machine& machine, const char* text, size_t length) {
  auto* block = static_cast<char*>(hcheapAlloc(0, length + 1, "m6303", __LINE__));
  if (!block) return;
  std::memcpy(block, text, length);
  if (machine.LogFile) {
    std::fwrite(block, length, 1, machine.LogFile);
    std::fflush(machine.LogFile);  // a knitter may read the log while the device runs
  }
  machine.host->PaperAppend(block, length);
  hcheapFree(0, block);
}

void PrintLineTrap(Machine& machine) {
  char line[PRINT_BUFFER_SIZE * 2 + 2];
  size_t length = ComposePrintLine(&machine.core.memory[PRINT_BUFFER], line);
  AppendToPaper(machine, line, length);
}

StepResult ServeTrap(Machine& machine) {
  switch (machine.core.cpu.PC) {
    case TRAP_SLEEP:
      if (machine.host) machine.host->SetPowerCaption(TEXT_ON);
      break;
    case TRAP_OFF_LOOP:
      if (machine.pauseInOffLoop) std::this_thread::sleep_for(std::chrono::milliseconds(500));
      return StepResult::OffLoop;
    case TRAP_TONE:
      if (WindowExists(machine)) machine.host->Beep();
      break;
    case TRAP_LINE_FEED:
      if (WindowExists(machine)) AppendToPaper(machine, "\r\n", 2);
      break;
    case TRAP_PRINT_LINE:
      if (WindowExists(machine)) PrintLineTrap(machine);
      break;
    default:
      break;
  }
  return StepResult::Ran;
}

// A plain load keeps the locked exchange off the per-instruction path; the
// exchange still takes the request, so one written meanwhile is not lost.
void ServeJumpRequest(Machine& machine) {
  if (machine.JumpRequest.load(std::memory_order_relaxed) == 0) return;
  uint16_t target = machine.JumpRequest.exchange(0);
  if (target == 0) return;
  if (WindowExists(machine)) machine.host->PaperClear();
  machine.core.cpu.PC = target;
}

void StopForGood(Machine& machine, StopReason reason) {
  machine.stopped = true;
  if (machine.host) machine.host->Stopped(reason, machine.core.cpu.PC, machine.core.cpu.Opcode);
}

void LowerThreadPriority() {
#if defined(_WIN32)
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
#elif defined(SCHED_IDLE)
  sched_param param{};
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
#endif
}

}  // namespace

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

void MachineWire(Machine& machine, Host* host) {
  machine.host = host;
  CoreHooks& hooks = machine.core.hooks;
  hooks.context = &machine;
  hooks.port2Write = Port2Write;
  hooks.port6Read = Port6Read;
  hooks.port6Write = Port6Write;
  hooks.adapterRead = AdapterRead;
  hooks.adapterWrite = AdapterWrite;
  machine.pia.keys = &machine.keys;
  machine.pia.display = &machine.link;
  machine.link.context = &machine;
  machine.link.sendByte = SendDisplayByte;
}

void ApplyFirmwarePatches(Machine& machine) {
  for (const FirmwarePatch& patch : FirmwarePatches) machine.core.memory[patch.address] = patch.value;
}

void MachineReset(Machine& machine) {
  machine.core.cpu.PC = ReadWord(machine.core, RESET_VECTOR);
}

StepResult Step(Machine& machine) {
  if (machine.stopped) return machine.core.halted ? StepResult::Halted : StepResult::Undecoded;
  switch (ExecuteOne(machine.core)) {
    case ExecuteResult::Undecoded:
      StopForGood(machine, StopReason::Undecoded);
      return StepResult::Undecoded;
    case ExecuteResult::Halted:
      StopForGood(machine, StopReason::Halted);
      return StepResult::Halted;
    case ExecuteResult::Ran:
      break;
  }
  StepResult result = ServeTrap(machine);
  ServeJumpRequest(machine);
  if (result == StepResult::OffLoop && machine.core.cpu.PC != TRAP_OFF_LOOP) return StepResult::Ran;
  return result;
}

int EmulationThread(Machine& machine) {
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  LowerThreadPriority();
  if (machine.StopFlag.load() != 0) return 0;
  MachineReset(machine);
  machine.pauseInOffLoop = true;
  while (machine.StopFlag.load() == 0) {
    std::this_thread::yield();
    StepResult result = Step(machine);
    if (result == StepResult::Undecoded || result == StepResult::Halted) return 0;
  }
  return 0;
}
