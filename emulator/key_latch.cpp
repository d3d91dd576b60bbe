// The key latch's phases; see key_latch.h.
#include "emulator/key_latch.h"

namespace {

void Release(KeyLatch& latch, KeyRows& keys) {
  KeyUp(keys, latch.key);
  latch.phase = LatchPhase::Released;
}

}  // namespace

bool LatchPress(KeyLatch& latch, KeyRows& keys, uint8_t key) {
  if (latch.phase != LatchPhase::Idle) return false;
  latch = KeyLatch{LatchPhase::Down, key, false, 0};
  KeyDown(keys, key);
  return true;
}

bool LatchLetGo(KeyLatch& latch, KeyRows& keys, uint8_t key) {
  const bool held = latch.phase != LatchPhase::Idle && latch.phase != LatchPhase::Released;
  if (!held || latch.key != key || latch.letGo) return false;
  latch.letGo = true;
  if (latch.phase == LatchPhase::Taken) Release(latch, keys);
  return true;
}

void LatchColumnsRead(KeyLatch& latch, KeyRows& keys, uint8_t row, uint8_t columns) {
  if (row != KeyRow(latch.key) || (columns & KeyColumnBit(latch.key))) return;
  if (latch.phase == LatchPhase::Down) {
    latch.phase = LatchPhase::Seen;
  } else if (latch.phase == LatchPhase::Confirmed) {
    latch.phase = LatchPhase::Taken;
    if (latch.letGo) Release(latch, keys);
  } else if (latch.phase == LatchPhase::Taken && latch.heldReads < 2) {
    ++latch.heldReads;
  }
}

void LatchConfirmDelay(KeyLatch& latch) {
  if (latch.phase == LatchPhase::Seen) latch.phase = LatchPhase::Confirmed;
}

void LatchKeyWait(KeyLatch& latch) {
  if (latch.phase == LatchPhase::Released) latch.phase = LatchPhase::Idle;
}

void LatchReset(KeyLatch& latch, KeyRows& keys) {
  keys = KeyRows{};
  latch = KeyLatch{};
}
