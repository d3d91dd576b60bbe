// The adapter as the firmware drives it: side-B writes that keep the input
// bits, the display's serial receiver framed by the select line, and the key
// matrix read back by a firmware-style scan (rows 0-3 by side B bits 0-3,
// row 4 by CB2).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "peripherals/display.h"
#include "peripherals/keypad.h"
#include "peripherals/pia.h"

namespace {

constexpr uint8_t DESELECT = 0x40, CLOCK = 0x20, COMMAND = 0x80;
using Received = std::vector<std::pair<uint8_t, bool>>;  // byte, command line

// An adapter set up as the firmware leaves it, keys and receiver wired.
struct Rig {
  Pia pia;
  KeyRows keys;
  DisplayLink link;
  Received received;

  Rig() {
    PiaReset(pia);
    pia.keys = &keys;
    pia.display = &link;
    link.context = &received;
    link.sendByte = [](void* to, uint8_t byte, uint8_t sideBIn) {
      static_cast<Received*>(to)->push_back({byte, (sideBIn & COMMAND) != 0});
    };
    for (auto [address, value] : {std::pair{0x4002, 0xEF}, {0x4001, 0x34}, {0x4003, 0x3C}}) PiaWrite(pia, address, value);
  }
  void Lines(uint8_t lines) { PiaWrite(pia, 0x4002, static_cast<uint8_t>(lines | 0x0F)); }
  // The top `count` bits of `byte`, data on CA2, taken on the clock's rise.
  void Send(uint8_t byte, uint8_t lines = 0, int count = 8) {
    for (int i = 7; i > 7 - count; --i) {
      PiaWrite(pia, 0x4001, (byte >> i) & 1 ? 0x3C : 0x34);
      Lines(lines);
      Lines(lines | CLOCK);
    }
  }
  // The first row with a key gives it, the lowest column within the row.
  int ScanKey() {
    for (int row = 0; row < 5; ++row) {
      PiaWrite(pia, 0x4003, row == 4 ? 0x34 : 0x3C);
      PiaWrite(pia, 0x4002, row == 4 ? 0x0F : static_cast<uint8_t>(0x0F & ~(1 << row)));
      const uint8_t held = static_cast<uint8_t>(~PiaRead(pia, 0x4000));
      for (int column = 0; column < 8; ++column)
        if (held & (1 << column)) return row * 8 + column;
    }
    return -1;
  }
};

// A select pulse mid-byte discards the partial byte; clocks while
// deselected are ignored.
TEST(DisplayLink, BytesAreFramedByTheSelectLine) {
  Rig rig;
  rig.Send(0xFF, DESELECT);
  rig.Send(0xFF, 0, 3);
  rig.Lines(DESELECT);
  rig.Send(0x3F);
  rig.Send(0xFF, DESELECT);
  rig.Lines(0);
  rig.Send(0xA5, COMMAND);
  EXPECT_EQ(rig.received, (Received{{0x3F, false}, {0xA5, true}}));
}

TEST(Keypad, ScanThroughTheAdapterFindsEveryKeyAtItsOwnPlace) {
  Rig rig;
  EXPECT_EQ(rig.ScanKey(), -1);
  for (uint8_t key = 0; key < 36; ++key) {
    if (!IsMatrixKey(key)) continue;
    KeyDown(rig.keys, key);
    EXPECT_EQ(rig.ScanKey(), key);
    KeyUp(rig.keys, key);
  }
  KeyDown(rig.keys, 32);
  KeyDown(rig.keys, 24);
  EXPECT_EQ(rig.ScanKey(), 24) << "the lower row wins, row 4 last";
  // Two rows selected at once show the first; CB2 low wins over bits 0-3.
  EXPECT_EQ(KeypadRowCode(rig.keys, 0x3C, 0xF6), 0xFF) << "rows 0 and 3: row 0";
  EXPECT_EQ(KeypadRowCode(rig.keys, 0x34, 0xF6), 0xFE) << "row 4";
  KeyDown(rig.keys, 0);
  KeyDown(rig.keys, 7);
  EXPECT_EQ(rig.keys.row[0], 0x7F) << "a press never combines with another in its row";
  KeyUp(rig.keys, 0);
  EXPECT_EQ(rig.keys.row[0], 0xFF) << "releasing either key frees the row";
}

// A data write changes only the output bits; with the display wired, its
// ready line (bit 4) reads high. (A direction write taken as data would
// leave the rig's side B an input, and no byte would reach the display.)
TEST(Pia, SideBDataWritesKeepTheInputBits) {
  Rig rig;
  rig.pia.display = nullptr;
  rig.pia.B.In = 0x00;
  PiaWrite(rig.pia, 0x4002, 0xFF);
  EXPECT_EQ(rig.pia.B.In, 0xEF);
  rig.pia.display = &rig.link;
  PiaWrite(rig.pia, 0x4002, 0x00);
  EXPECT_EQ(rig.pia.B.In, 0x10);
}

}  // namespace
