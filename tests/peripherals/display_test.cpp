// The controller's cell buffer: data bytes fill it, a refresh turns it into
// four digits with their points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "peripherals/display.h"

namespace {

using Bytes = std::vector<std::pair<uint8_t, bool>>;  // byte, command

std::string Show(const Bytes& bytes) {
  DisplayCells cells;
  DigitState shown;
  for (auto [byte, command] : bytes)
    EXPECT_EQ(DisplayReceive(cells, shown, byte, command), command && byte == 0x11) << "only a refresh updates";
  return ShownText(shown);
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

TEST(DisplayCells, RefreshShowsWhatTheCellsHold) {
  const Bytes eights = Data({0x7F, 0x7F, 0x7F, 0x7F});
  const std::pair<Bytes, const char*> cases[] = {
      {Data({0xBF, 0x3F, 0x06, 0x79}) + REFRESH, "0.01E"},
      {Data({0x5B, 0x4F, 0x66, 0x6D}) + REFRESH + Data({0x7D, 0x07, 0x67}) + REFRESH, "6795"},
      {CLEAR + REFRESH, " . . . ."},
      {Data({0x40, 0xC0, 0x00, 0x80}) + REFRESH, " . .  ."},  // unknown patterns
      {eights + REFRESH + Bytes{{0x54, true}, {0x30, true}, {0x14, true}}, "8888"},  // set-up commands
      {eights + Bytes(300, {0x06, false}) + REFRESH, "8888"},  // surplus data dropped
      {Data({0x11, 0x7F, 0x7F, 0x7F}) + REFRESH, " .888"},  // 0x11 as data is a segment byte
  };
  for (const auto& [bytes, shown] : cases) EXPECT_EQ(Show(bytes), shown) << shown;
}

}  // namespace
