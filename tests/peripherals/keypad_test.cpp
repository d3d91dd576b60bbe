// Key presses, the row code side A shows (first selected row wins), and a
// firmware-style scan of the whole matrix through the adapter.
#include <gtest/gtest.h>

#include "peripherals/keypad.h"
#include "peripherals/pia.h"

namespace {

TEST(Keypad, PressReplacesTheRowReleaseFreesIt) {
  KeyRows keys;
  KeyDown(keys, 0);
  KeyDown(keys, 7);
  EXPECT_EQ(keys.row[0], 0x7F) << "a press never combines with another in its row";
  KeyUp(keys, 0);
  EXPECT_EQ(keys.row[0], 0xFF) << "releasing either key frees the row";
  for (uint8_t outside : {33, 36, 39, 255}) KeyDown(keys, outside);
  EXPECT_FALSE(AnyKeyDown(keys)) << "row 4 has keys in columns 0, 2 and 3 only";
}

TEST(Keypad, RowCodeTakesTheFirstSelectedRow) {
  KeyRows keys = {{0xFE, 0xFD, 0xFB, 0xF7, 0xEF}};
  struct Case {
    uint8_t ctrl, out, expected;
  };
  const Case cases[] = {
      {0x3C, 0xFE, 0xFE}, {0x3C, 0xFD, 0xFD}, {0x3C, 0xFB, 0xFB}, {0x3C, 0xF7, 0xF7},
      {0x3C, 0xFC, 0xFE},  // rows 0 and 1 both selected: row 0 alone
      {0x3C, 0xF0, 0xFE}, {0x3C, 0xFF, 0xFF}, {0x3C, 0x0F, 0xFF},
      {0x34, 0xFF, 0xEF}, {0x34, 0xFE, 0xEF},  // CB2 low wins over bit 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeypadRowCode(keys, c.ctrl, c.out), c.expected) << int(c.ctrl) << " " << int(c.out);
  }
}

// The firmware's scan: rows 0-3 by side B bits 0-3, then row 4 by CB2; the
// first row with a key gives it, the lowest column within the row.
int ScanKey(Pia& pia) {
  for (int row = 0; row < 5; ++row) {
    PiaWrite(pia, 0x4003, row == 4 ? 0x34 : 0x3C);
    PiaWrite(pia, 0x4002, row == 4 ? 0x0F : static_cast<uint8_t>(0x0F & ~(1 << row)));
    const uint8_t held = static_cast<uint8_t>(~PiaRead(pia, 0x4000));
    for (int column = 0; column < 8; ++column) {
      if (held & (1 << column)) return row * 8 + column;
    }
  }
  return -1;
}

TEST(Keypad, ScanThroughTheAdapterFindsEveryKeyAtItsOwnPlace) {
  KeyRows keys;
  Pia pia;
  PiaReset(pia);
  pia.keys = &keys;
  PiaWrite(pia, 0x4002, 0xEF);  // DDR
  PiaWrite(pia, 0x4001, 0x34);
  EXPECT_EQ(ScanKey(pia), -1);
  for (uint8_t key = 0; key < 36; ++key) {
    if (!IsMatrixKey(key)) continue;
    KeyDown(keys, key);
    EXPECT_EQ(ScanKey(pia), key);
    KeyUp(keys, key);
  }
  KeyDown(keys, 32);  // row 4
  KeyDown(keys, 24);  // row 3
  EXPECT_EQ(ScanKey(pia), 24) << "the lower row wins, row 4 last";
}

}  // namespace
