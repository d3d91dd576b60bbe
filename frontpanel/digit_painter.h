// One digit of the seven-segment display: the widget that paints it from
// scratch as the seven shared segment outlines, filled, in device pixels.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "peripherals/digit_shape.h"

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
