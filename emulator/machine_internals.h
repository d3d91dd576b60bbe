// For tests and developer tools only (the runner's trace, registers and
// peeks, the benchmarks): the one way past the machine's contract to its
// parts. No shell includes this; a shell drives the machine through the
// functions of emulator/machine.h alone.
#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "emulator/machine.h"

struct MachineInternals {
  // The device. Touch it only from the thread that runs it, or with the
  // thread stopped.
  static Core& core(Machine& m) { return m.core; }
  static const Core& core(const Machine& m) { return m.core; }
  static Pia& pia(Machine& m) { return m.pia; }
  static DisplayLink& link(Machine& m) { return m.link; }
  static DisplayCells& cells(Machine& m) { return m.cells; }
  static PrinterPort& printer(Machine& m) { return m.printer; }
  static uint8_t& lamps(Machine& m) { return m.lamps; }
  static SessionLog& log(Machine& m) { return m.log; }

  // The commands sent and not yet served, in order.
  static std::vector<Command> Queued(const Machine& m) {
    std::lock_guard lock(m.mutex);
    return {m.commands.begin(), m.commands.end()};
  }
  // Puts `view` in place as both the device's view and the drained one.
  static void SetView(Machine& m, const DeviceView& view) {
    std::lock_guard lock(m.mutex);
    m.view = m.drained = view;
  }
  // The emulation thread, while it runs.
  static std::thread::native_handle_type Thread(Machine& m) { return m.thread.native_handle(); }
  // Called on the emulation thread after it found the device idle and
  // before it waits for a command: where a command sent then must not be
  // lost. Set before MachineStart.
  static void BeforeIdleWait(Machine& m, std::function<void()> hook) { m.beforeWait = std::move(hook); }
};
