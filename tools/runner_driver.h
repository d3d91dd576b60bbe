// Runs the machine through a script of keys, in slices that end at the
// machine's traps, counting instructions against the overall limit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "emulator/machine.h"
#include "tools/key_names.h"

enum class Stop { Idle, Limit, SelfLoop, Off, Undecoded, Halted };

const char* StopName(Stop stop);
// 0 for a normal stop, else the stop's own status.
int ExitStatus(Stop stop);

struct Driver {
  Machine& machine;
  uint64_t limit;               // overall instructions
  std::FILE* trace = nullptr;   // one line per instruction when set
  uint64_t count = 0;           // instructions run so far
};

// Runs at most `budget` instructions; with `untilIdle`, stops where a slice
// ends at the key wait and KeysIdle holds. (MachineIdle is the running
// thread's test for sleeping: it never holds for the unpatched firmware,
// whose key wait a script must reach all the same.)
Stop RunFor(Driver& driver, uint64_t budget, bool untilIdle);

struct Script {
  std::vector<KeyAction> keys;
  uint64_t hold;    // instructions a key is held
  uint64_t settle;  // at most this many to become idle after start and each key
};

// Settles after start, then presses each key and settles again, until the
// keys run out, the limit is reached or the device stops for good.
Stop RunScript(Driver& driver, const Script& script);
