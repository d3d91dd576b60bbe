// Key presses, the row code side A shows (first selected row wins), and a
// firmware-style scan of the whole matrix through the adapter.
#include <gtest/gtest.h>

#include <set>

#include "peripherals/keypad.h"
#include "peripherals/pia.h"

namespace {

TEST(Keypad, FindKeyAndPressReplaceReleaseTheRow) {
  for (const KeyInfo& key : KeyTable) {
    EXPECT_EQ(FindKey(key.controlId), &key);
    EXPECT_EQ(key.rowByte, static_cast<uint8_t>(~(1 << key.column))) << key.controlId;
  }
  for (int id : {1, 2, 1033, 1034, 1042, 999}) EXPECT_EQ(FindKey(id), nullptr) << id;

  KeyRows keys;
  KeyPress(keys, 1023);
  KeyPress(keys, 1020);
  EXPECT_EQ(keys.row[0], 0x7F) << "a press never combines with another in its row";
  KeyRelease(keys, 1023);
  EXPECT_EQ(keys.row[0], 0xFF) << "releasing either key frees the row";
  KeyPress(keys, 1034);
  KeyRelease(keys, 1034);
  for (const auto& row : keys.row) EXPECT_EQ(row, 0xFF);
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
  std::set<int> found;
  for (const KeyInfo& key : KeyTable) {
    KeyPress(keys, key.controlId);
    EXPECT_EQ(ScanKey(pia), key.firmwareNumber) << key.controlId;
    found.insert(ScanKey(pia));
    KeyRelease(keys, key.controlId);
  }
  EXPECT_EQ(found.size(), KeyTable.size()) << "two keys share a matrix position";
  KeyPress(keys, 1013);  // row 4
  KeyPress(keys, 1005);  // row 3
  EXPECT_EQ(ScanKey(pia), 24) << "the lower row wins, row 4 last";
}

}  // namespace
