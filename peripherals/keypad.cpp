// The key matrix: what a press stores, and which row byte side A shows for a
// given row selection.
#include "peripherals/keypad.h"

namespace {
constexpr uint8_t CB2_HIGH = 0x08;
constexpr uint8_t ROW_4 = 4;
}  // namespace

uint8_t KeypadSelectedRow(uint8_t ctrl, uint8_t out) {
  if (!(ctrl & CB2_HIGH)) return ROW_4;
  for (uint8_t row = 0; row < 4; ++row) {
    if (!(out & (1u << row))) return row;
  }
  return NO_ROW;
}

uint8_t KeypadRowCode(const KeyRows& keys, uint8_t ctrl, uint8_t out) {
  const uint8_t row = KeypadSelectedRow(ctrl, out);
  return row == NO_ROW ? NO_KEY : keys.row[row];
}

void KeyDown(KeyRows& keys, uint8_t key) {
  if (IsMatrixKey(key)) keys.row[KeyRow(key)] = static_cast<uint8_t>(~KeyColumnBit(key));
}

void KeyUp(KeyRows& keys, uint8_t key) {
  if (IsMatrixKey(key)) keys.row[KeyRow(key)] = NO_KEY;
}

bool AnyKeyDown(const KeyRows& keys) {
  for (uint8_t row : keys.row) {
    if (row != NO_KEY) return true;
  }
  return false;
}
