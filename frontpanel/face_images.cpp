// Loading the pictures and painting them into their sunken white controls.
#include "frontpanel/face_images.h"

#include <QDir>
#include <QPainter>

#include "frontpanel/builtin_resources.h"

namespace {

QImage LoadOne(const QString& folder, const char* fileName, const char* builtin) {
  QImage image;
  if (!folder.isEmpty()) image.load(QDir(folder).filePath(QLatin1String(fileName)));
  if (image.isNull()) image.load(QLatin1String(builtin));
  return image;
}

// The static's own look under the picture: white, with a sunken edge.
void PaintSunkenWhite(QPainter& painter, const QRect& rect) {
  painter.fillRect(rect, Qt::white);
  painter.setPen(QColor(128, 128, 128));
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(Qt::white);
}

}  // namespace

FaceImages LoadFaceImages(const QString& folder) {
  EnsureBuiltinResources();
  return {LoadOne(folder, "tm650.bmp", BUILTIN_FACE), LoadOne(folder, "arc.bmp", BUILTIN_ARC),
          LoadOne(folder, "margins.bmp", BUILTIN_MARGINS)};
}

FacePainter::FacePainter(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

void FacePainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintSunkenWhite(painter, rect());
  if (image_.isNull()) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), image_);
}

ArcPainter::ArcPainter(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

void ArcPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintSunkenWhite(painter, rect());
  if (image_.isNull()) return;
  painter.drawImage(QPoint(0, 0), image_, QRect(QPoint(0, 0), size()));
}
