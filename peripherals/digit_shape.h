// A digit of the seven-segment display as the windows paint it: which
// segments a digit value lights, and each segment's outline for a digit box
// of a given size in device pixels. The Qt and the Windows windows draw the
// same outlines with their own painters.
#pragma once

#include <array>
#include <cstdint>

#include "peripherals/display.h"

struct SegmentCorner {
  int x, y;
};

struct SegmentShape {
  uint8_t segment;  // one of the SEGMENT_ bits
  uint8_t count;    // corners in use: 4, or 6 for the middle bar
  std::array<SegmentCorner, 6> corners;
};

// The seven outlines of a W x H digit, in painting order a d g f e b c.
std::array<SegmentShape, 7> DigitShapes(int width, int height);
// Lit segments of a digit value: 0..15 show a hexadecimal digit, 16 and up nothing.
uint8_t LitSegments(uint8_t value);
