// The whole contract between the machine and a shell (the window, the
// headless runner, the web page). Inbound, a shell sends commands; outbound,
// it drains events on its own thread and may read the device's view at any
// time. Porting to a new shell means driving exactly these.
//
// The machine never waits for a shell: events queue until a shell drains
// them. Display and lamp events may be coalesced (only the latest matters);
// no paper text and no beep is ever dropped.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "peripherals/display.h"

// ---- inbound -------------------------------------------------------------

enum class CommandKind : uint8_t {
  KeyDown,     // a device key goes down (key = row * 8 + column)
  KeyUp,       // and is let go; the press still reaches the firmware once
  Power,       // the power button: off while on, on while off
  New,         // start afresh at the firmware's reset entry
  PaperFeed,   // one empty line on the pane (not the log)
  ClearPaper,  // empty the pane
};

struct Command {
  CommandKind kind;
  uint8_t key = 0;
};

// ---- outbound ------------------------------------------------------------

enum class StopReason : uint8_t { Running, Undecoded, Halted };

// What the device's face shows, owned by the machine.
struct DeviceView {
  DigitState digits;
  uint8_t lamps = 0;       // port 2 as last written, beeper edges left out
  bool on = true;          // the power button then reads "OFF"
  uint32_t beeps = 0;
  std::string paper;       // the pane: CR LF lines, 8-bit characters
  StopReason stop = StopReason::Running;
  uint16_t stopAddress = 0;  // the instruction that stopped the device
  uint8_t stopOpcode = 0;
};

enum class EventKind : uint8_t {
  Display,       // digits: what the four digits now show
  Lamps,         // lamps: the new port-2 byte
  Beep,          // the firmware called its tone routine
  Paper,         // text appended to the pane; logged: the log got it too
  PaperCleared,  // the pane was emptied
  Power,         // on changed
  Stopped,       // the device stopped for good (stop, stopAddress, stopOpcode)
  LogFailed,     // text says where and why the log could not be written
  StateFailed,   // text says where and why the device could not be kept
};

struct Event {
  EventKind kind = EventKind::Display;
  DigitState digits;
  uint8_t lamps = 0;
  bool on = true;
  bool logged = false;
  StopReason stop = StopReason::Running;
  uint16_t stopAddress = 0;
  uint8_t stopOpcode = 0;
  std::string text;
};

// Applies one event to a shell's copy of the view; every shell keeps its
// copy current this way.
void ApplyEvent(DeviceView& view, const Event& event);
