// The machine's port and adapter hooks: port 2 the lamps, port 6 the printer,
// the adapter's window the keypad and the display link. Its core reaches them
// through CoreHooks when run on its own, and in line in the machine's loop.
#pragma once

#include <cstdint>
#include <span>

#include "emulator/m6303.h"

struct MachineParts;

// Points the core's hooks at the machine's parts.
void WireHooks(MachineParts& m);
// The core's Run, with the machine's hooks served in line.
RunResult RunWithHooks(MachineParts& m, uint32_t budget, std::span<const uint16_t> stops);
