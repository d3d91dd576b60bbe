// The serial receiver driven through the adapter as the firmware drives it,
// and the controller's cell buffer that a refresh turns into four digits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "peripherals/display.h"
#include "peripherals/pia.h"

namespace {

constexpr uint8_t DESELECT = 0x40, CLOCK = 0x20, COMMAND = 0x80;

struct Received {
  uint8_t byte;
  bool command;
  bool operator==(const Received&) const = default;
};
using Bytes = std::vector<Received>;

// An adapter set up as the firmware leaves it, the receiver wired to a list.
struct LinkRig {
  Pia pia;
  DisplayLink link;
  Bytes received;

  LinkRig() {
    PiaReset(pia);
    pia.display = &link;
    link.context = this;
    link.sendByte = [](void* context, uint8_t byte, uint8_t sideBIn) {
      static_cast<LinkRig*>(context)->received.push_back({byte, (sideBIn & COMMAND) != 0});
    };
    PiaWrite(pia, 0x4002, 0xEF);
    PiaWrite(pia, 0x4001, 0x34);
    PiaWrite(pia, 0x4003, 0x3C);
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
  void SelectPulse() {
    Lines(DESELECT);
    Lines(0);
  }
};

std::string Show(const Bytes& bytes) {
  DisplayCells cells;
  DigitState shown;
  for (const Received& r : bytes)
    EXPECT_EQ(DisplayReceive(cells, shown, r.byte, r.command), r.command && r.byte == 0x11) << "only a refresh updates";
  std::string text;
  for (int i = 0; i < 4; ++i) text += std::string(1, DigitCharacter(shown.digit[i])) + (shown.point[i] ? "." : "");
  return text;
}

// Each segment byte followed by its filler byte, as the firmware sends them.
Bytes Data(std::initializer_list<uint8_t> segments) {
  Bytes bytes;
  for (uint8_t s : segments) bytes.insert(bytes.end(), {{s, false}, {0x00, false}});
  return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Bytes REFRESH = {{0x11, true}}, CLEAR = {{0x20, true}};

// Bytes are framed by the select line: a select pulse mid-byte discards the
// partial byte, clocks while deselected are ignored. The firmware's own
// updates through the adapter are the runner's tests.
TEST(DisplayLink, FramingFollowsTheSelectLine) {
  LinkRig rig;
  rig.Send(0xFF, DESELECT);
  rig.SelectPulse();
  rig.Send(0xFF, 0, 3);
  rig.SelectPulse();
  rig.Send(0x3F);
  rig.Send(0xFF, DESELECT);
  rig.Lines(0);
  rig.Send(0xA5, COMMAND);
  EXPECT_EQ(rig.received, (Bytes{{0x3F, false}, {0xA5, true}}));
}

TEST(DisplayCells, RefreshShowsWhatTheCellsHold) {
  const Bytes eights = Data({0x7F, 0x7F, 0x7F, 0x7F});
  const struct {
    const char* name;
    Bytes bytes;
    const char* shown;
  } cases[] = {
      {"point on a digit", Data({0xBF, 0x3F, 0x06, 0x79}) + REFRESH, "0.01E"},
      {"every other digit", Data({0x5B, 0x4F, 0x66, 0x6D}) + REFRESH + Data({0x7D, 0x07, 0x67}) + REFRESH, "6795"},
      {"clear then refresh", CLEAR + REFRESH, " . . . ."},
      {"unknown pattern", Data({0x40, 0xC0, 0x00, 0x80}) + REFRESH, " . .  ."},
      {"set-up commands change nothing", eights + REFRESH + Bytes{{0x54, true}, {0x30, true}, {0x14, true}}, "8888"},
      {"surplus data bytes are dropped", eights + Bytes(300, {0x06, false}) + REFRESH, "8888"},
      {"0x11 as data is a segment byte", Data({0x11, 0x7F, 0x7F, 0x7F}) + REFRESH, " .888"},
  };
  for (const auto& c : cases) EXPECT_EQ(Show(c.bytes), c.shown) << c.name;
}

}  // namespace
