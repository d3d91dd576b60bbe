// The serial receiver driven through the adapter as the firmware drives it,
// the segment lookups, and the controller's cell buffer.
#include <gtest/gtest.h>

#include <string>
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
  ASSERT_EQ(rig.received.size(), 9u);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(rig.received[i].byte, data[i]) << i;
    EXPECT_EQ(rig.received[i].sideBIn & COMMAND, 0) << i;
  }
  EXPECT_EQ(rig.received[8].byte, 0x11);
  EXPECT_EQ(rig.received[8].sideBIn & COMMAND, COMMAND);
  EXPECT_EQ(Digits(Show(rig.received)), " 12.E");
  EXPECT_EQ(rig.pia.B.In & 0x10, 0x10);
}

TEST(DisplayLink, SelectPulseMidByteDiscardsThePartialByte) {
  LinkRig rig;
  rig.SelectPulse();
  rig.SendBits(0xFF, 3);
  rig.SelectPulse();
  rig.SendBits(0x3F, 8);
  ASSERT_EQ(rig.received.size(), 1u);
  EXPECT_EQ(rig.received[0].byte, 0x3F);
}

TEST(DisplayLink, ClockWhileDeselectedIsIgnored) {
  LinkRig rig;
  rig.SendBits(0xFF, 8, DESELECT);
  rig.SendBits(0xFF, 8, DESELECT);
  EXPECT_TRUE(rig.received.empty());
  rig.Lines(0);
  rig.SendBits(0xA5, 8);
  ASSERT_EQ(rig.received.size(), 1u);
  EXPECT_EQ(rig.received[0].byte, 0xA5);
}

TEST(DisplayLookups, SegmentsToCharAndCharToDigitCode) {
  const std::pair<uint8_t, uint8_t> toChar[] = {
      {0x3F, '0'}, {0xBF, '0' | 0x80}, {0x00, ' '}, {0x80, ' ' | 0x80}, {0x79, 'E'},
      {0x67, '9'}, {0x40, 0xFF},       {0xC0, 0xFF}, {0x77, 0xFF},
  };
  for (auto [segments, character] : toChar) EXPECT_EQ(SegmentsToChar(segments), character) << int(segments);
  const std::pair<uint8_t, uint8_t> toCode[] = {
      {' ', 0x16}, {'0', 0x00}, {'9', 0x09}, {'E', 0x0E}, {'5' | 0x80, 0x85},
      {'?', 0xFF}, {0, 0xFF},   {'A', 0xFF}, {0xBF, 0xFF},
  };
  for (auto [character, code] : toCode) EXPECT_EQ(CharToDigitCode(character), code) << int(character);
}

TEST(DisplayLookups, DigitCharacterBlanksFromSixteenUp) {
  EXPECT_EQ(std::string({DigitCharacter(0), DigitCharacter(9), DigitCharacter(10), DigitCharacter(15),
                         DigitCharacter(16), DigitCharacter(0x7F)}),
            "09AF  ");
}

struct CellCase {
  const char* name;
  std::vector<Received> bytes;
  const char* shown;
};

std::vector<Received> DataBytes(std::initializer_list<uint8_t> segments) {
  std::vector<Received> bytes;
  for (uint8_t s : segments) {
    bytes.push_back({s, 0});
    bytes.push_back({0x00, 0});
  }
  return bytes;
}

std::vector<Received> operator+(std::vector<Received> a, const std::vector<Received>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<Received> REFRESH = {{0x11, COMMAND}};
const std::vector<Received> CLEAR = {{0x20, COMMAND}};

TEST(DisplayCells, RefreshShowsWhatTheCellsHold) {
  std::vector<Received> flood;
  for (int i = 0; i < 300; ++i) flood.push_back({0x06, 0});
  const CellCase cases[] = {
      {"point on a digit", DataBytes({0xBF, 0x3F, 0x06, 0x79}) + REFRESH, "0.01E"},
      {"clear then refresh", CLEAR + REFRESH, " . . . ."},
      {"unknown pattern", DataBytes({0x40, 0xC0, 0x00, 0x80}) + REFRESH, " . .  ."},
      {"set-up commands change nothing", DataBytes({0x7F, 0x7F, 0x7F, 0x7F}) + REFRESH +
                                             std::vector<Received>{{0x54, COMMAND}, {0x30, COMMAND}, {0x14, COMMAND}, {0x10, COMMAND}},
       "8888"},
      {"surplus data bytes are dropped", DataBytes({0x7F, 0x7F, 0x7F, 0x7F}) + flood + REFRESH, "8888"},
      {"refresh restarts the cells", DataBytes({0x7F, 0x7F, 0x7F, 0x7F}) + REFRESH + DataBytes({0x06}) + REFRESH, "1888"},
  };
  for (const CellCase& c : cases) EXPECT_EQ(Digits(Show(c.bytes)), c.shown) << c.name;
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
