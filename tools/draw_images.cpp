// Draws the built-in pictures: the margins picture of the page setup, and the
// face chart and arc diagram as black-and-white files (the window draws those
// two itself, at its own size; the program icon is resources/tm650e.svg).
// Run it to redraw them:
//   draw_images <resources folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "frontpanel/face_drawings.h"

namespace {

QImage WhiteCanvas(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A face picture at its size in its own units, in black and white: the
// starting point for a picture of one's own beside the program.
QImage OneBitDrawing(const QSize& size, void (*draw)(QPainter&, const QRectF&)) {
  QImage image = WhiteCanvas(size.width(), size.height());
  QPainter p(&image);
  draw(p, QRectF(QPointF(0, 0), size));
  p.end();
  return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

// A page: the dark grey border is what a printer cannot reach.
QImage MarginsPicture() {
  QImage drawn = WhiteCanvas(135, 195);
  QPainter p(&drawn);
  p.fillRect(drawn.rect(), QColor(96, 96, 96));
  const QRect printable(12, 10, 135 - 24, 195 - 26);
  p.fillRect(printable, Qt::white);
  p.setPen(Qt::black);
  p.drawRect(drawn.rect().adjusted(0, 0, -1, -1));
  for (int y = printable.top() + 8; y + 3 < printable.bottom() - 6; y += 7) {
    const int length = printable.width() - 16 - ((y * 37) % 5) * 9;
    p.fillRect(QRect(printable.left() + 8, y, length, 3), QColor(64, 64, 64));
  }
  p.end();
  QList<QRgb> greys;
  for (int i = 0; i < 256; ++i) greys << qRgb(i, i, i);
  return drawn.convertToFormat(QImage::Format_Indexed8, greys);
}

bool Save(const QImage& image, const QDir& folder, const char* name) {
  const QString path = folder.filePath(QLatin1String(name));
  const bool saved = image.save(path);
  std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  bool ok = Save(OneBitDrawing(CHART_UNITS, DrawFaceChart), folder, "tm650.bmp");
  ok = Save(OneBitDrawing(ARC_UNITS, DrawArcDiagram), folder, "arc.bmp") && ok;
  ok = Save(MarginsPicture(), folder, "margins.bmp") && ok;
  return ok ? 0 : 1;
}
