// Loading the pictures and painting them into their sunken white controls.
#include "frontpanel/face_images.h"

#include <QDir>
#include <QPainter>

#include "frontpanel/builtin_resources.h"
#include "frontpanel/face_drawings.h"

namespace {

QImage LoadOne(const QString& folder, const char* fileName) {
  QImage image;
  if (!folder.isEmpty()) image.load(QDir(folder).filePath(QLatin1String(fileName)));
  return image;
}

// The static's own look under the picture: white, with a sunken edge.
void PaintSunkenWhite(QPainter& painter, const QRect& rect) {
  painter.fillRect(rect, Qt::white);
  painter.setPen(QColor(128, 128, 128));
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
}

}  // namespace

FaceImages LoadFaceImages(const QString& folder) {
  EnsureBuiltinResources();
  FaceImages images{LoadOne(folder, "tm650.bmp"), LoadOne(folder, "arc.bmp"), LoadOne(folder, "margins.bmp")};
  if (images.margins.isNull()) images.margins.load(QLatin1String(BUILTIN_MARGINS));
  return images;
}

FacePainter::FacePainter(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}

void FacePainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintSunkenWhite(painter, rect());
  if (picture_.isNull()) {
    DrawFaceChart(painter, rect());
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), picture_);
}

ArcPainter::ArcPainter(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}

void ArcPainter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintSunkenWhite(painter, rect());
  if (picture_.isNull()) {
    DrawArcDiagram(painter, rect());
    return;
  }
  const qreal scale = EvenScale(ARC_UNITS, rect());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipRect(rect());
  painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture_.size()) * scale), picture_);
}
