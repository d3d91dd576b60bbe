// The whole emulated device: processor, adapter, keypad, display link and
// printer port wired together, plus the run loop with its firmware patches
// and traps, and the shared words through which a shell steers it.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "emulator/host.h"
#include "emulator/m6303.h"
#include "peripherals/display.h"
#include "peripherals/keypad.h"
#include "peripherals/pia.h"
#include "peripherals/printer_port.h"

// Firmware addresses the run loop depends on.
constexpr uint16_t FIRMWARE_BASE = 0xC000;
constexpr size_t FIRMWARE_SIZE = 0x4000;
constexpr uint16_t ENTRY_RESET = 0xC000;
constexpr uint16_t ENTRY_POWER_OFF = 0xCC96;
constexpr uint16_t TRAP_SLEEP = 0xCCA4;      // SLP ending the power-off sequence
constexpr uint16_t TRAP_OFF_LOOP = 0xCCA5;   // branch-to-itself while off
constexpr uint16_t TRAP_TONE = 0xE2D5;
constexpr uint16_t TRAP_LINE_FEED = 0xE41D;
constexpr uint16_t TRAP_PRINT_LINE = 0xF36E;
constexpr uint16_t WAIT_FOR_KEY = 0xE210;    // start of the firmware's key wait
constexpr uint16_t PRINT_BUFFER = 0x2150;
constexpr size_t PRINT_BUFFER_SIZE = 16;
constexpr uint8_t PRINT_END = 0x80;

struct FirmwarePatch {
  uint16_t address;
  uint8_t value;
};
extern const FirmwarePatch FirmwarePatches[7];

struct Machine {
  Core core;
  Pia pia;
  KeyRows keys;
  DisplayLink link;
  PrinterPort printer;
  Host* host = nullptr;
  std::FILE* LogFile = nullptr;
  std::atomic<uint32_t> StopFlag{0};
  std::atomic<uint16_t> JumpRequest{0};
  bool stopped = false;         // undecoded opcode or halt: never runs again
  bool pauseInOffLoop = false;  // the thread sleeps 500 ms per off-loop pass
};

// Wires the hooks between the parts; call once before use. The Machine must
// not move afterwards.
void MachineWire(Machine& machine, Host* host);
void ApplyFirmwarePatches(Machine& machine);
// PC = the reset vector, as the emulation thread does when it starts.
void MachineReset(Machine& machine);

enum class StepResult {
  Ran,        // one instruction ran (its trap and any jump request served)
  OffLoop,    // it ran and the PC is in the off loop (paused there if asked)
  Undecoded,  // empty opcode slot: nothing ran, the shell has been told
  Halted,     // CLI or SEI: the shell has been told
};

// One iteration of the run loop without the yield and the stop test: fetch,
// execute, trap, jump request. After Undecoded or Halted it does nothing more.
StepResult Step(Machine& machine);

// Thread body: 100 ms start delay, idle priority, reset vector, then Step with
// a yield before each instruction, pausing in the off loop, until StopFlag.
// Returns 0.
int EmulationThread(Machine& machine);

// The print-line trap's text for a 16-byte buffer: 0x80 ends it, CR gains an
// LF, b/d/" become c/m/x, CR LF ends the line.
size_t ComposePrintLine(const uint8_t* buffer, char* out);
