// The margins picture: the print job's first page drawn on an image, scaled
// into the control's middle, the margins shaded over it.
#include "print/margins_painter.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "print/print_job.h"
#include "print/printer_surface.h"
#include "print/qprint.h"

namespace {

constexpr int PICTURE_DPI = 96;  // sharp enough for the control at any zoom

// The paper at its proportions, as large as fits with a small border.
QRectF PageIn(const QRectF& area, const QSizeF& paper) {
  const double border = 4;
  const QRectF room = area.adjusted(border, border, -border, -border);
  const double scale = std::min(room.width() / paper.width(), room.height() / paper.height());
  QRectF page(0, 0, paper.width() * scale, paper.height() * scale);
  page.moveCenter(room.center());
  return page;
}

}  // namespace

QPageSize PreviewPageSize() {
  const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
  return QPageSize(inches ? QPageSize::Letter : QPageSize::A4);
}

// Margins wider than the paper leave an empty printable area at their edge.
QRectF PrintableArea(const QRectF& page, const QSizeF& paperPoints, const PageMargins& margins) {
  const double perPoint = page.width() / paperPoints.width();
  auto scaled = [&](int points) { return std::max(0, points) * perPoint; };
  const double left = std::min(page.left() + scaled(margins.left), page.right());
  const double top = std::min(page.top() + scaled(margins.top), page.bottom());
  const double right = std::max(left, page.right() - scaled(margins.right));
  const double bottom = std::max(top, page.bottom() - scaled(margins.bottom));
  return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QImage FirstPageImage(const QString& paper, const Settings& settings, const QPageSize& size, int dpi) {
  QImage image(size.sizePixels(dpi), QImage::Format_RGB32);
  const int dotsPerMetre = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  qprintAttachSurface(std::make_unique<PrinterSurface>(&image));
  PrintPaperLaidOut(paper, settings);
  return image;
}

MarginsPainter::MarginsPainter(const QString& paper, const Settings& settings, QWidget* parent)
    : QWidget(parent), paper_(paper), settings_(settings) {}

void MarginsPainter::setMargins(const PageMargins& margins) {
  settings_.MarginLeft = margins.left;
  settings_.MarginTop = margins.top;
  settings_.MarginRight = margins.right;
  settings_.MarginBottom = margins.bottom;
  page_ = FirstPageImage(paper_, settings_, size_, PICTURE_DPI);
  update();
}

void MarginsPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.fillRect(rect(), Qt::white);
  const QSizeF paper = size_.size(QPageSize::Point);
  const QRectF page = PageIn(rect(), paper);
  if (!page_.isNull()) painter.drawImage(page, page_);
  const QRectF printable = PrintableArea(page, paper, {settings_.MarginLeft, settings_.MarginTop,
                                                        settings_.MarginRight, settings_.MarginBottom});
  QPainterPath margins;
  margins.addRect(page);
  margins.addRect(printable);  // odd-even fill: the frame between the two
  painter.fillPath(margins, QColor(64, 64, 64, 110));
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(page);
}
