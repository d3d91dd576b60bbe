// The contract between the emulated machine and a shell (the window, or the
// headless runner). This is all a shell must provide. Every call is made on
// the emulation thread and is synchronous: it returns once the shell has
// carried it out, as a message sent to a window would.
#pragma once

#include <cstddef>
#include <cstdint>

enum class StopReason { Undecoded, Halted };

struct Host {
  virtual ~Host() = default;
  // False before the window is up and after it has gone: the beep, print and
  // feed traps, lamp writes and display bytes then do nothing.
  virtual bool WindowExists() const = 0;
  virtual void Lamps(uint8_t port2) = 0;                        // MSG_LAMPS
  virtual void DisplayByte(uint8_t byte, uint8_t sideBIn) = 0;  // MSG_DISPLAY_BYTE
  virtual void Beep() = 0;                                      // MSG_BEEP
  virtual void SetPowerCaption(const char* text) = 0;           // text of IDC_POWER
  // Paper pane IDC_PAPER: append CR LF-formed text and scroll to it; clear.
  virtual void PaperAppend(const char* text, size_t length) = 0;
  virtual void PaperClear() = 0;
  // The emulation has stopped for good. Called once; for Undecoded the shell
  // tells the user "not decoded" (caption "opcode").
  virtual void Stopped(StopReason reason, uint16_t pc, uint8_t opcode) = 0;
};
