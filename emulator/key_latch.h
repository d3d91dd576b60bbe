// Holds a shell's key press in the matrix until the firmware has taken it,
// however short the click: the key stays down until the firmware's scan has
// read it, passed its confirm delay and read it again. Only then is it let go
// (at once if the shell has let go already), and the next press waits until
// the firmware is back at its key wait, having seen the release.
#pragma once

#include <cstdint>

#include "peripherals/keypad.h"

enum class LatchPhase : uint8_t {
  Idle,       // ready for a press
  Down,       // held for the firmware, not yet read
  Seen,       // read down once
  Confirmed,  // read, then the confirm delay entered
  Taken,      // read again after the delay: the firmware has the key
  Released,   // let go; waiting for the firmware to return to its key wait
};

struct KeyLatch {
  LatchPhase phase = LatchPhase::Idle;
  uint8_t key = 0;
  bool letGo = false;  // the shell has let go of the key
  uint8_t heldReads = 0;  // reads of the key down since the firmware took it
};

// False when a press is still in flight; the caller keeps this one queued.
bool LatchPress(KeyLatch& latch, KeyRows& keys, uint8_t key);
// The shell lets go of `key`; false when that key is not the one held.
bool LatchLetGo(KeyLatch& latch, KeyRows& keys, uint8_t key);
// A side-A read of `columns` while side B selects `row`.
void LatchColumnsRead(KeyLatch& latch, KeyRows& keys, uint8_t row, uint8_t columns);
// The firmware entered its confirm delay / reached its key wait.
void LatchConfirmDelay(KeyLatch& latch);
void LatchKeyWait(KeyLatch& latch);
// Everything let go at once (the firmware restarts).
void LatchReset(KeyLatch& latch, KeyRows& keys);

inline bool LatchIdle(const KeyLatch& latch) { return latch.phase == LatchPhase::Idle; }
// The firmware has taken the key and keeps reading it down while the shell
// still holds it: it is waiting for the release.
inline bool LatchPollsHeld(const KeyLatch& latch) {
  return latch.phase == LatchPhase::Taken && !latch.letGo && latch.heldReads >= 2;
}
