// The serial receiver driven through the adapter as the firmware drives it,
// and the controller's cell buffer.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "peripherals/display.h"
#include "peripherals/pia.h"

namespace {

constexpr uint8_t DESELECT = 0x40;
constexpr uint8_t CLOCK = 0x20;
constexpr uint8_t COMMAND = 0x80;
constexpr uint8_t ROWS_IDLE = 0x0F;

struct Received {
  uint8_t byte;
  uint8_t sideBIn;
};

// An adapter set up as the firmware leaves it, with the receiver wired to a
// list of received bytes.
struct LinkRig {
  Pia pia;
  DisplayLink link;
  std::vector<Received> received;

  LinkRig() {
    PiaReset(pia);
    pia.display = &link;
    link.context = this;
    link.sendByte = [](void* context, uint8_t byte, uint8_t sideBIn) {
      static_cast<LinkRig*>(context)->received.push_back({byte, sideBIn});
    };
    PiaWrite(pia, 0x4002, 0xEF);
    PiaWrite(pia, 0x4001, 0x34);
    PiaWrite(pia, 0x4003, 0x3C);
  }
  void Lines(uint8_t lines) { PiaWrite(pia, 0x4002, static_cast<uint8_t>(lines | ROWS_IDLE)); }
  void ClockBit(bool bit, uint8_t lines) {
    PiaWrite(pia, 0x4001, bit ? 0x3C : 0x34);  // CA2 carries the data
    Lines(lines);
    Lines(lines | CLOCK);
  }
  void SendBits(uint8_t byte, int count, uint8_t lines = 0) {
    for (int i = 7; i > 7 - count; --i) ClockBit((byte >> i) & 1, lines);
  }
  void SelectPulse() {
    Lines(DESELECT);
    Lines(0);
  }
};

// Feeds every byte off the link into the window's cell buffer.
DigitState Show(const std::vector<Received>& bytes) {
  DisplayCells cells;
  DigitState shown;
  for (const Received& r : bytes) DisplayReceive(cells, shown, r.byte, r.sideBIn & COMMAND);
  return shown;
}

std::string Digits(const DigitState& shown) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    text += DigitCharacter(shown.digit[i]);
    text += shown.point[i] ? "." : "";
  }
  return text;
}

TEST(DisplayLink, FirmwareUpdateThroughTheAdapterShowsDigits) {
  LinkRig rig;
  rig.SelectPulse();
  const uint8_t data[] = {0x00, 0x55, 0x06, 0x55, 0xDB, 0x55, 0x79, 0x55};  // " 12.E"
  for (uint8_t byte : data) rig.SendBits(byte, 8);
  rig.SendBits(0x11, 8, COMMAND);
  std::vector<std::pair<int, int>> got, sent;  // byte, command line
  for (const Received& r : rig.received) got.emplace_back(r.byte, r.sideBIn & COMMAND);
  for (uint8_t byte : data) sent.emplace_back(byte, 0);
  sent.emplace_back(0x11, COMMAND);
  EXPECT_EQ(got, sent);
  EXPECT_EQ(Digits(Show(rig.received)), " 12.E");
  EXPECT_EQ(rig.pia.B.In & 0x10, 0x10);
}

// A select pulse mid-byte discards the partial byte; clocks while
// deselected are ignored.
TEST(DisplayLink, FramingFollowsTheSelectLine) {
  LinkRig rig;
  rig.SendBits(0xFF, 8, DESELECT);
  EXPECT_TRUE(rig.received.empty());
  rig.SelectPulse();
  rig.SendBits(0xFF, 3);
  rig.SelectPulse();
  rig.SendBits(0x3F, 8);
  rig.SendBits(0xFF, 8, DESELECT);
  rig.Lines(0);
  rig.SendBits(0xA5, 8);
  ASSERT_EQ(rig.received.size(), 2u);
  EXPECT_EQ(rig.received[0].byte, 0x3F);
  EXPECT_EQ(rig.received[1].byte, 0xA5);
}

using Bytes = std::vector<Received>;

// Each segment byte followed by its filler byte, as the firmware sends them.
Bytes DataBytes(std::initializer_list<uint8_t> segments) {
  Bytes bytes;
  for (uint8_t s : segments) bytes.insert(bytes.end(), {{s, 0}, {0x00, 0}});
  return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Bytes REFRESH = {{0x11, COMMAND}};
const Bytes CLEAR = {{0x20, COMMAND}};
const Bytes SET_UP = {{0x54, COMMAND}, {0x30, COMMAND}, {0x14, COMMAND}, {0x10, COMMAND}};

TEST(DisplayCells, RefreshShowsWhatTheCellsHold) {
  const Bytes eights = DataBytes({0x7F, 0x7F, 0x7F, 0x7F});
  const std::tuple<const char*, Bytes, const char*> cases[] = {
      {"point on a digit", DataBytes({0xBF, 0x3F, 0x06, 0x79}) + REFRESH, "0.01E"},
      {"clear then refresh", CLEAR + REFRESH, " . . . ."},
      {"unknown pattern", DataBytes({0x40, 0xC0, 0x00, 0x80}) + REFRESH, " . .  ."},
      {"set-up commands change nothing", eights + REFRESH + SET_UP, "8888"},
      {"surplus data bytes are dropped", eights + Bytes(300, {0x06, 0}) + REFRESH, "8888"},
      {"refresh restarts the cells", eights + REFRESH + DataBytes({0x06}) + REFRESH, "1888"},
  };
  for (const auto& [name, bytes, shown] : cases) EXPECT_EQ(Digits(Show(bytes)), shown) << name;
}

TEST(DisplayCells, OnlyRefreshReportsAnUpdateAndSurplusStaysInside) {
  DisplayCells cells;
  DigitState shown;
  for (int i = 0; i < 600; ++i) EXPECT_FALSE(DisplayReceive(cells, shown, 0x7F, false));
  EXPECT_LE(cells.dataCounter, 16);
  EXPECT_FALSE(DisplayReceive(cells, shown, 0x11, false)) << "0x11 as data is a segment byte";
  EXPECT_FALSE(DisplayReceive(cells, shown, 0x20, true));
  EXPECT_TRUE(DisplayReceive(cells, shown, 0x11, true));
}

}  // namespace
