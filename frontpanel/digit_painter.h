// One digit of the seven-segment display: the segment geometry for a given
// size, which segments a digit value lights, and the widget that paints it
// from scratch as seven filled polygons in device pixels.
#pragma once

#include <QPolygon>
#include <QWidget>
#include <array>
#include <cstdint>

#include "peripherals/display.h"

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
