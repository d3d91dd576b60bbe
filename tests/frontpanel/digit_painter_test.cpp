// The digit painter: which segments each value lights, and the colours a
// painted digit really shows.
#include <QImage>
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

QImage Painted(uint8_t value) {
  DigitPainter digit;
  digit.resize(38, 65);
  digit.setDigit(value);
  QImage image(digit.size(), QImage::Format_RGB32);
  digit.render(&image);
  return image;
}

TEST(DigitPainter, LitSegmentsAreDarkGreyAndUnlitOnesTakeTheFaceColour) {
  const QImage one = Painted(1);
  DigitPainter face;
  const QColor faceColour = face.palette().color(QPalette::Window);
  EXPECT_EQ(one.pixelColor(19, 4), faceColour);                 // a is unlit
  EXPECT_EQ(one.pixelColor(34, 20), QColor(100, 100, 100));    // b is lit
  const QImage blank = Painted(DIGIT_BLANK);
  for (int y = 0; y < 65; y += 4)
    for (int x = 0; x < 38; x += 4) ASSERT_EQ(blank.pixelColor(x, y), faceColour) << x << "," << y;
}

}  // namespace
