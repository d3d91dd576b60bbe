// The digit painter: which segments each value lights.
#include <gtest/gtest.h>

#include "frontpanel/digit_painter.h"
#include "peripherals/display.h"

namespace {

TEST(DigitSegments, EachValueLightsTheSegmentsOfItsHexDigit) {
  const std::pair<uint8_t, const char*> table[] = {
      {0, "abcdef"}, {1, "bc"},    {2, "abdeg"},   {3, "abcdg"}, {4, "bcfg"},  {5, "acdfg"},
      {6, "acdefg"}, {7, "abc"},   {8, "abcdefg"}, {9, "abcdfg"}, {10, "abcefg"}, {11, "cdefg"},
      {12, "deg"},   {13, "bcdeg"}, {14, "adefg"}, {15, "aefg"},
  };
  for (const auto& [value, letters] : table) {
    uint8_t expected = 0;
    for (const char* c = letters; *c; ++c) expected |= static_cast<uint8_t>(1u << (*c - 'a'));
    EXPECT_EQ(LitSegments(value), expected) << int(value);
  }
  for (int blank : {16, 0x16, 0x7F}) EXPECT_EQ(LitSegments(uint8_t(blank)), 0) << blank;
}

}  // namespace
