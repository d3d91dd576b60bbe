// The adapter as the firmware drives it: register selection, side-B writes
// that keep the input bits, and the key matrix read back by a firmware-style
// scan (rows 0-3 by side B bits 0-3, row 4 by CB2).
#include <gtest/gtest.h>

#include "peripherals/display.h"
#include "peripherals/keypad.h"
#include "peripherals/pia.h"

namespace {

void FirmwareSetUp(Pia& pia) {
  for (auto [address, value] : {std::pair{0x4001, 0x00}, {0x4003, 0x00}, {0x4000, 0x00},
                                {0x4002, 0xEF}, {0x4001, 0x34}, {0x4003, 0x3C}})
    PiaWrite(pia, static_cast<uint16_t>(address), static_cast<uint8_t>(value));
}

// The first row with a key gives it, the lowest column within the row.
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
  EXPECT_EQ(PiaRead(pia, 0x4000), 0x00) << "the direction register is selected after reset";
  FirmwareSetUp(pia);
  EXPECT_EQ(ScanKey(pia), -1);
  for (uint8_t key = 0; key < 36; ++key) {
    if (!IsMatrixKey(key)) continue;
    KeyDown(keys, key);
    EXPECT_EQ(ScanKey(pia), key);
    KeyUp(keys, key);
  }
  KeyDown(keys, 32);
  KeyDown(keys, 24);
  EXPECT_EQ(ScanKey(pia), 24) << "the lower row wins, row 4 last";
  // Two rows selected at once show the first; CB2 low wins over bits 0-3.
  EXPECT_EQ(KeypadRowCode(keys, 0x3C, 0xF6), 0xFF) << "rows 0 and 3: row 0";
  EXPECT_EQ(KeypadRowCode(keys, 0x34, 0xF6), 0xFE) << "row 4";
}

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

// A data write changes only the output bits; with the display wired, the
// ready line (bit 4) reads high. A direction write feeds nothing.
TEST(Pia, SideBWritesKeepInputBitsAndReachTheDisplayOnlyAsData) {
  const struct {
    bool wired;
    uint8_t inBefore, value, inAfter;
  } cases[] = {
      {false, 0x10, 0x00, 0x10}, {false, 0x00, 0xFF, 0xEF}, {true, 0x00, 0xFF, 0xFF}, {true, 0x00, 0x00, 0x10},
  };
  for (const auto& c : cases) {
    DisplayLink link;
    Pia pia;
    PiaReset(pia);
    FirmwareSetUp(pia);
    if (c.wired) pia.display = &link;
    pia.B.In = c.inBefore;
    PiaWrite(pia, 0x4002, c.value);
    EXPECT_EQ(pia.B.Out, c.value);
    EXPECT_EQ(pia.B.In, c.inAfter) << int(c.inBefore) << " " << int(c.value) << " " << c.wired;
  }
  DisplayLink link;
  Pia pia;
  PiaReset(pia);
  pia.display = &link;
  PiaWrite(pia, 0x4002, 0xEF);
  EXPECT_EQ(pia.B.Ddr, 0xEF);
  EXPECT_EQ(pia.B.Out, 0x00);
  EXPECT_EQ(link.previousSelect, 0x40) << "the receiver ran on a direction write";
}

}  // namespace
