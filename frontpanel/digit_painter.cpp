// Paints a digit control as seven polygons, lit in dark grey and unlit in the
// face colour, so an unlit segment cannot be seen.
#include "frontpanel/digit_painter.h"

#include <QPainter>

namespace {

constexpr QColor LIT_COLOUR(100, 100, 100);

QPolygon Polygon(const SegmentShape& shape) {
  QPolygon polygon;
  for (int i = 0; i < shape.count; ++i) polygon << QPoint(shape.corners[i].x, shape.corners[i].y);
  return polygon;
}

}  // namespace

DigitPainter::DigitPainter(QWidget* parent) : QWidget(parent), digit_(DIGIT_BLANK) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void DigitPainter::setDigit(uint8_t value) {
  if (value == digit_) return;
  digit_ = value;
  update();
}

// The geometry is worked out in device pixels, so the segments stay sharp on
// a high-density screen and keep their exact proportions at any size.
void DigitPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const qreal ratio = devicePixelRatioF();
  const QColor unlit = palette().color(QPalette::Window);
  painter.fillRect(rect(), unlit);
  painter.scale(1 / ratio, 1 / ratio);
  painter.setPen(Qt::NoPen);
  const uint8_t lit = LitSegments(digit_);
  const int width = qRound(this->width() * ratio), height = qRound(this->height() * ratio);
  for (const SegmentShape& shape : DigitShapes(width, height)) {
    painter.setBrush((lit & shape.segment) ? LIT_COLOUR : unlit);
    painter.drawPolygon(Polygon(shape));
  }
}

PointWidget::PointWidget(QWidget* parent) : QWidget(parent) {}

void PointWidget::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Qt::black); }
