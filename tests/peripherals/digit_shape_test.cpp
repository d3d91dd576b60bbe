// The digits the windows paint: which segments each value lights, and
// outlines that stay inside their box at any size.
#include <gtest/gtest.h>

#include "peripherals/digit_shape.h"

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
  // Each segment once, every corner inside the box, from 100 % to a large zoom.
  for (const auto& [width, height] : {std::pair{13, 25}, {26, 50}, {41, 77}}) {
    uint8_t seen = 0;
    for (const SegmentShape& shape : DigitShapes(width, height)) {
      seen |= shape.segment;
      for (int i = 0; i < shape.count; ++i) {
        EXPECT_TRUE(shape.corners[i].x >= 0 && shape.corners[i].x <= width) << width;
        EXPECT_TRUE(shape.corners[i].y >= 0 && shape.corners[i].y <= height) << height;
      }
    }
    EXPECT_EQ(seen, 0x7F);
  }
}

}  // namespace
