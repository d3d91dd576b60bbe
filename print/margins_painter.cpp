// The margins picture and its painter. The picture is fixed: it does not
// follow the numbers typed into the dialog.
#include "print/margins_painter.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>

namespace {

QImage& GivenImage() {
  static QImage image;
  return image;
}

QImage LoadMarginsImage() {
  const QString besideProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("margins.bmp"));
  for (const QString& path : {besideProgram, QStringLiteral(":/images/margins.bmp"), QStringLiteral(":/margins.bmp")}) {
    QImage image(path);
    if (!image.isNull()) return image;
  }
  return {};
}

// A page with a dark grey non-printable border and a few lines of text.
void DrawPlainPage(QPainter& painter, const QRect& area) {
  painter.fillRect(area, Qt::darkGray);
  const int border = std::max(2, area.width() / 8);
  const QRect printable = area.adjusted(border, border, -border, -border);
  painter.fillRect(printable, Qt::white);
  painter.setPen(QPen(Qt::lightGray, 2));
  const int pitch = std::max(4, printable.height() / 12);
  for (int y = printable.top() + pitch; y < printable.bottom() - pitch / 2; y += pitch)
    painter.drawLine(printable.left() + 4, y, printable.right() - 4, y);
}

}  // namespace

void SetMarginsImage(const QImage& image) { GivenImage() = image; }

QImage MarginsImage() {
  if (!GivenImage().isNull()) return GivenImage();
  static const QImage loaded = LoadMarginsImage();
  return loaded;
}

MarginsPainter::MarginsPainter(QWidget* parent) : QWidget(parent) {}

void MarginsPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const QImage image = MarginsImage();
  if (image.isNull())
    DrawPlainPage(painter, rect());
  else
    painter.drawImage(rect(), image);
}
