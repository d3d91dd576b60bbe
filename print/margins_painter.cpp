// The margins picture: a page in the control's middle, dark grey outside the
// printable area, a few grey lines of text inside it.
#include "print/margins_painter.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr double POINTS_PER_INCH = 72.0;

// The page at its proportions, as large as fits with a small border.
QRectF PageIn(const QRectF& area) {
  const double border = 4;
  const QRectF room = area.adjusted(border, border, -border, -border);
  const double scale = std::min(room.width() / PREVIEW_PAGE_WIDTH, room.height() / PREVIEW_PAGE_HEIGHT);
  QRectF page(0, 0, PREVIEW_PAGE_WIDTH * scale, PREVIEW_PAGE_HEIGHT * scale);
  page.moveCenter(room.center());
  return page;
}

void DrawTextLines(QPainter& painter, const QRectF& printable) {
  const double pitch = std::max(3.0, printable.height() / 14);
  const double bar = std::max(1.0, pitch / 3);
  for (int line = 0; (line + 1) * pitch + bar <= printable.height(); ++line) {
    const double length = printable.width() * (0.9 - (line * 37 % 5) * 0.1);
    painter.fillRect(QRectF(printable.left() + pitch / 2, printable.top() + (line + 1) * pitch - bar, length - pitch, bar),
                     QColor(150, 150, 150));
  }
}

}  // namespace

// Margins wider than the page leave an empty printable area at their edge.
QRectF PrintableArea(const QRectF& page, const PageMargins& margins) {
  const double perInch = page.width() / PREVIEW_PAGE_WIDTH;
  auto fromDevice = [&](int units) { return std::max(0, units) * perInch / PREVIEW_DPI; };
  const double left = std::min(page.left() + fromDevice(margins.left), page.right());
  const double top = std::min(page.top() + std::max(0, margins.top) * perInch / POINTS_PER_INCH, page.bottom());
  const double right = std::max(left, page.right() - fromDevice(margins.right));
  const double bottom = std::max(top, page.bottom() - fromDevice(margins.bottom));
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

MarginsPainter::MarginsPainter(QWidget* parent) : QWidget(parent) {}

void MarginsPainter::setMargins(const PageMargins& margins) {
  margins_ = margins;
  update();
}

void MarginsPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  const QRectF page = PageIn(rect());
  painter.fillRect(page, Qt::darkGray);
  const QRectF printable = PrintableArea(page, margins_);
  painter.fillRect(printable, Qt::white);
  DrawTextLines(painter, printable);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(page);
}
