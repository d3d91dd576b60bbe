// One digit of the seven-segment display: the segment geometry for a given
// size, which segments a digit value lights, and the widget that paints it
// from scratch as seven filled polygons in device pixels.
#pragma once

#include <QPolygon>
#include <QWidget>
#include <array>
#include <cstdint>

// Segment bits: a (top) .. g (middle) in bits 0..6.
constexpr uint8_t SEGMENT_A = 0x01, SEGMENT_B = 0x02, SEGMENT_C = 0x04, SEGMENT_D = 0x08,
                  SEGMENT_E = 0x10, SEGMENT_F = 0x20, SEGMENT_G = 0x40;

struct SegmentPolygon {
  uint8_t segment;  // one of the SEGMENT_ bits
  QPolygon corners;
};

// The seven polygons of a W x H digit, in painting order a d g f e b c.
std::array<SegmentPolygon, 7> DigitPolygons(int width, int height);
// Lit segments of a digit value: 0..15 show a hexadecimal digit, 16 and up nothing.
uint8_t LitSegments(uint8_t value);

class DigitPainter : public QWidget {
 public:
  explicit DigitPainter(QWidget* parent = nullptr);
  void setDigit(uint8_t value);
  uint8_t digit() const { return digit_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  uint8_t digit_;
};

// A decimal point: a small black rectangle, lit while it is visible.
class PointWidget : public QWidget {
 public:
  explicit PointWidget(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
