#include "peripherals/digit_shape.h"

std::array<SegmentShape, 7> DigitShapes(int W, int H) {
  const int q = W / 4, h = H / 2, r = q / 2;
  return {{
      {SEGMENT_A, 4, {{{0, 0}, {W, 0}, {W - q, q}, {q, q}}}},
      {SEGMENT_D, 4, {{{q, H - q}, {W - q, H - q}, {W, H}, {0, H}}}},
      {SEGMENT_G, 6, {{{q, h - r + 1}, {W - q, h - r + 1}, {W, h}, {W - q, h + r + 1}, {q, h + r + 1}, {0, h + 1}}}},
      {SEGMENT_F, 4, {{{0, 1}, {0, h}, {q, h - r}, {q, q + 1}}}},
      {SEGMENT_E, 4, {{{0, h + 2}, {0, 2 * h - 1}, {q, 2 * h - 2 * r - 1}, {q, q + h - r + 2}}}},
      {SEGMENT_B, 4, {{{W - q, q + 1}, {W - q, h - r}, {W, h - 1}, {W, 1}}}},
      {SEGMENT_C, 4, {{{W - q, q + h - r + 2}, {W - q, 2 * h - 2 * r - 1}, {W, 2 * h - 1}, {W, h + 1}}}},
  }};
}

uint8_t LitSegments(uint8_t value) { return value < DigitSegments.size() ? DigitSegments[value] : 0; }
