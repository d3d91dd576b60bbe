// Paints a digit control as seven polygons, lit in dark grey and unlit in the
// face colour, so an unlit segment cannot be seen.
#include "frontpanel/digit_painter.h"

#include <QPainter>

namespace {

constexpr QColor LIT_COLOUR(100, 100, 100);

QPolygon Polygon(std::initializer_list<QPoint> points) { return QPolygon(QList<QPoint>(points)); }

}  // namespace

std::array<SegmentPolygon, 7> DigitPolygons(int W, int H) {
  const int q = W / 4, h = H / 2, r = q / 2;
  return {{
      {SEGMENT_A, Polygon({{0, 0}, {W, 0}, {W - q, q}, {q, q}})},
      {SEGMENT_D, Polygon({{q, H - q}, {W - q, H - q}, {W, H}, {0, H}})},
      {SEGMENT_G, Polygon({{q, h - r + 1}, {W - q, h - r + 1}, {W, h}, {W - q, h + r + 1},
                           {q, h + r + 1}, {0, h + 1}})},
      {SEGMENT_F, Polygon({{0, 1}, {0, h}, {q, h - r}, {q, q + 1}})},
      {SEGMENT_E, Polygon({{0, h + 2}, {0, 2 * h - 1}, {q, 2 * h - 2 * r - 1}, {q, q + h - r + 2}})},
      {SEGMENT_B, Polygon({{W - q, q + 1}, {W - q, h - r}, {W, h - 1}, {W, 1}})},
      {SEGMENT_C, Polygon({{W - q, q + h - r + 2}, {W - q, 2 * h - 2 * r - 1}, {W, 2 * h - 1}, {W, h + 1}})},
  }};
}

uint8_t LitSegments(uint8_t value) { return value < DigitSegments.size() ? DigitSegments[value] : 0; }

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
  for (const SegmentPolygon& polygon : DigitPolygons(width, height)) {
    painter.setBrush((lit & polygon.segment) ? LIT_COLOUR : unlit);
    painter.drawPolygon(polygon.corners);
  }
}

PointWidget::PointWidget(QWidget* parent) : QWidget(parent) {}

void PointWidget::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Qt::black); }
