// The whole emulated device, and the one owner of everything it shows:
// processor, adapter, keypad, display link and printer port wired together;
// the run loop with its firmware patches and traps; the device's view (digits,
// lamps, power, beeps, paper, stop) and the command and event queues through
// which shells drive and watch it (emulator/contract.h).
//
// One bring-up, MachineInit, serves the window, the runner, the web page,
// the tests and the benchmarks. The emulation thread, when started, belongs
// to the machine: it runs slices of instructions, sleeps while the patched
// firmware waits for a key or the device is off, and is joined by
// MachineStop or the destructor. Its parts are private: a shell has the
// functions below; keeping the device between runs is emulator/keeping.h's.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <string>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "emulator/contract.h"
#include "emulator/firmware_map.h"
#include "emulator/key_latch.h"
#include "emulator/m6303.h"
#include "emulator/session_log.h"
#include "emulator/state_file.h"
#include "peripherals/display.h"
#include "peripherals/keypad.h"
#include "peripherals/pia.h"
#include "peripherals/printer_port.h"

struct MachineConfig {
  MachineConfig(std::span<const uint8_t> image, bool patched = true, SessionLog log = {})
      : image(image), patched(patched), log(std::move(log)) {}
  std::span<const uint8_t> image;  // at most 16384 bytes, placed at 0xC000
  bool patched = true;             // host traps instead of the firmware's own loops
  SessionLog log;                  // receives every printed line and feed
  std::filesystem::path captureDir;  // when set, each needle pass is written here as a file
  std::FILE* portTrace = nullptr;  // when set, every printer-port read is traced here
};

// The device's parts and the queues it shares with the shells: the private
// base of Machine. Only the machine's own units (its run loop, its state
// records and its keeping) and the test seam (emulator/machine_internals.h)
// work on them.
struct MachineParts {
  // The device; touched only by the thread that runs it.
  Core core;
  Pia pia;
  KeyRows keys;
  KeyLatch latch;
  DisplayLink link;
  DisplayCells cells;
  PrinterPort printer;
  uint8_t lamps = 0;  // port 2 as last written, published with the next event
  bool patched = true;
  SessionLog log;  // the machine's from MachineInit on; MachineCloseLog closes it after the stop
  uint64_t stateKey = 0;
  bool stateDirty = false;  // the paper changed since the device was kept
  // Called on the running thread when the device comes to rest with its
  // paper changed; true when it kept the device (DeviceKeeping sets it).
  std::function<bool()> atRest;
  // Called on the running thread between its idle check and its wait (the
  // test seam sets it).
  std::function<void()> beforeWait;

  // Shared with the shells: the view and both queues, under `mutex`. The
  // running thread writes the view; everyone else reads it with MachineView.
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::deque<Command> commands;
  std::vector<Event> events;
  DeviceView view;
  DeviceView drained;  // the view as of the last drain
  std::function<void()> notify;
  std::atomic<bool> serveNow{false};  // commands wait that may now be served
  std::atomic<uint32_t> StopFlag{0};
  std::thread thread;
};

struct MachineRun;

// The machine's surface is the contract: commands in, events out, the view,
// and the set-up from a MachineConfig, through the functions below.
class Machine : MachineParts {
 public:
  Machine() = default;
  Machine(const Machine&) = delete;  // the hooks point into it
  Machine& operator=(const Machine&) = delete;
  ~Machine();

 private:
  friend void MachineInit(Machine&, const MachineConfig&);
  friend void MachineSend(Machine&, Command);
  friend DeviceView MachineAttach(Machine&, std::function<void()>);
  friend void MachineDetach(Machine&);
  friend void MachineDrain(Machine&, std::vector<Event>&);
  friend DeviceView MachineView(const Machine&);
  friend uint64_t MachineKey(const Machine&);
  friend std::string MachineCaptureError(const Machine&);
  friend void MachineCloseLog(Machine&);
  friend MachineRun RunMachine(Machine&, uint32_t);
  friend void ServeCommands(Machine&);
  friend bool MachineIdle(const Machine&);
  friend bool KeysIdle(const Machine&);
  friend void PublishPending(Machine&);
  friend void MachineStart(Machine&);
  friend void MachineStop(Machine&);
  friend std::vector<StateSection> MachineStateSections(const Machine&);
  friend StateFileResult RestoreMachineSections(Machine&, const std::vector<StateSection>&, const std::string&);
  friend StateFileResult LoadMachineState(Machine&, const std::filesystem::path&);
  friend std::vector<uint8_t> MachineStateBytes(const Machine&);
  friend StateFileResult RestoreMachineStateBytes(Machine&, std::span<const uint8_t>);
  friend class DeviceKeeping;
  friend struct MachineInternals;

  // Publishes an event of the machine's keeping (a failed save) to the shells.
  void Tell(Event event);
  // The emulation thread's body.
  void RunThread();
};

// Wires the parts, clears memory, loads the image, applies the patches when
// asked, resets the adapter and the view, and sets the PC from the reset
// vector.
void MachineInit(Machine& machine, const MachineConfig& config);

// ---- shell side (any thread) ----
void MachineSend(Machine& machine, Command command);
// A shell's start: returns the view as of the last drain (the events that
// wait then bring it up to date); from now on `notify` is called on the
// running thread, without blocking it, when events wait where none did, and
// at once if some wait already. A shell that goes detaches first.
DeviceView MachineAttach(Machine& machine, std::function<void()> notify);
void MachineDetach(Machine& machine);
// Moves every pending event to the end of `out`, in order.
void MachineDrain(Machine& machine, std::vector<Event>& out);
// The view as the device has it now.
DeviceView MachineView(const Machine& machine);
// The identity of the firmware (and its patching) the device runs, which a
// kept device must match.
uint64_t MachineKey(const Machine& machine);
// Why the needle captures stopped (one line), or empty while all is well;
// read by the thread that runs the device, or after the stop.
std::string MachineCaptureError(const Machine& machine);
// Closes the session log, after the stop.
void MachineCloseLog(Machine& machine);

// ---- running the device (one thread at a time) ----
enum class StepResult {
  Ran,        // one instruction ran, its trap and any commands served
  OffLoop,    // it ran and the PC is in the off loop
  Undecoded,  // empty opcode slot: nothing ran, the device has stopped
  Halted,     // CLI or SEI: the device has stopped
};
StepResult Step(Machine& machine);

// Runs the core's loop for up to `budget` instructions, to the first trap
// or key-wait pass, and serves that trap and the queued commands at its
// exit. A command already waiting is served after one instruction, as Step
// does. `result` is Ran unless the run ended in the off loop or stopped.
struct MachineRun {
  uint32_t count = 0;  // instructions that ran
  StepResult result = StepResult::Ran;
  bool keyWait = false;   // the PC is at the key wait, its trap served
  bool selfLoop = false;  // the last instruction jumped to itself
};
MachineRun RunMachine(Machine& machine, uint32_t budget);
// Serves the queued commands that can be served now.
void ServeCommands(Machine& machine);
// True when nothing can happen until a command arrives: the device stopped,
// switched off, or the patched firmware waiting for a key with none pending
// or for the release of a key the shell still holds.
bool MachineIdle(const Machine& machine);
// No key held, latched or queued: a script may press the next one.
bool KeysIdle(const Machine& machine);

// Publishes what the device changed without an event of its own yet (the
// lamps); RunSlice does this at its end, a shell stepping by hand before it
// reads the view.
void PublishPending(Machine& machine);
// Runs up to `budget` instructions through RunMachine, ending early where
// the machine may go idle. Returns the instructions run.
uint32_t RunSlice(Machine& machine, uint32_t budget);

// Starts the thread, again after a stop too.
void MachineStart(Machine& machine);
// Stops the thread and joins it; safe to call again.
void MachineStop(Machine& machine);

// The print-line trap's text for a 16-byte buffer: 0x80 ends it, CR gains an
// LF, b/d/" become c/m/x, CR LF ends the line.
size_t ComposePrintLine(const uint8_t* buffer, char* out);
