// The digit painter: exact segment geometry, which segments each value
// lights, and the colours a painted digit really shows.
#include <QImage>
#include <gtest/gtest.h>

#include "frontpanel/digit_painter.h"
#include "peripherals/display.h"

namespace {

QPolygon Corners(std::initializer_list<QPoint> points) { return QPolygon(QList<QPoint>(points)); }

const QPolygon& PolygonFor(const std::array<SegmentPolygon, 7>& polygons, uint8_t segment) {
  for (const SegmentPolygon& polygon : polygons)
    if (polygon.segment == segment) return polygon.corners;
  throw std::runtime_error("no such segment");
}

TEST(DigitGeometry, CornersForTheGivenSizeKeepTheirProportions) {
  // q = 9, h = 32, r = 4
  const auto polygons = DigitPolygons(38, 65);
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_A), Corners({{0, 0}, {38, 0}, {29, 9}, {9, 9}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_D), Corners({{9, 56}, {29, 56}, {38, 65}, {0, 65}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_G),
            Corners({{9, 29}, {29, 29}, {38, 32}, {29, 37}, {9, 37}, {0, 33}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_F), Corners({{0, 1}, {0, 32}, {9, 28}, {9, 10}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_E), Corners({{0, 34}, {0, 63}, {9, 55}, {9, 39}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_B), Corners({{29, 10}, {29, 28}, {38, 31}, {38, 1}}));
  EXPECT_EQ(PolygonFor(polygons, SEGMENT_C), Corners({{29, 39}, {29, 55}, {38, 63}, {38, 33}}));
  const auto doubled = DigitPolygons(76, 130);  // q = 19, h = 65, r = 9
  EXPECT_EQ(PolygonFor(doubled, SEGMENT_A), Corners({{0, 0}, {76, 0}, {57, 19}, {19, 19}}));
  EXPECT_EQ(PolygonFor(doubled, SEGMENT_G).boundingRect().height(), 2 * 9 + 1);
}

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
  EXPECT_EQ(LitSegments(16), 0);
  EXPECT_EQ(LitSegments(0x16), 0);
  EXPECT_EQ(LitSegments(0x7F), 0);
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
  const QImage eight = Painted(8);
  EXPECT_EQ(eight.pixelColor(19, 4), QColor(100, 100, 100));   // inside a
  EXPECT_EQ(eight.pixelColor(19, 33), QColor(100, 100, 100));  // inside g
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
