// Draws the built-in pictures of the window: the face chart of calculation
// functions over the function keys A-N, the arc diagram, the margins picture
// of the page setup and the program icon. Run it to redraw them:
//   draw_images <resources folder>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cstdio>

namespace {

// Function key n sits under the chart at this x, 22 pixels wide.
constexpr int KeyLeft(int n) { return ((25 + 36 * n) * 6 + 2) / 4 - (5 * 6 + 2) / 4; }
constexpr int KEY_WIDTH = 22;
constexpr int CHART_WIDTH = 777, CHART_HEIGHT = 169;

QFont PlainFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

QImage WhiteCanvas(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QImage OneBit(const QImage& drawn) { return drawn.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither); }

struct Section {
  int firstKey, lastKey;
  const char* title;  // '\n' splits it over two lines
  std::array<const char*, 3> keyCaptions;
  void (*diagram)(QPainter&, const QRect&);
};

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
  const QPointF n(-d.y(), d.x());
  p.drawLine(to, to - d * 4 + n * 3);
  p.drawLine(to, to - d * 4 - n * 3);
}

// A square of knitting: stitches across, rows up, 10 cm each way.
void DrawSwatch(QPainter& p, const QRect& r) {
  const QRect square(r.center().x() - 28, r.top() + 8, 56, 56);
  p.drawRect(square);
  for (int y = square.top() + 6; y < square.bottom() - 2; y += 8)
    for (int x = square.left() + 4; x < square.right() - 4; x += 8) {
      p.drawLine(x, y, x + 3, y + 5);
      p.drawLine(x + 3, y + 5, x + 6, y);
    }
  p.setFont(PlainFont(9));
  p.drawText(QRect(square.left() - 10, square.bottom() + 3, 76, 11), Qt::AlignCenter, QStringLiteral("10 cm"));
}

// A straight piece: its width in stitches, its height in rows.
void DrawStraight(QPainter& p, const QRect& r) {
  const QRect piece(r.center().x() - 30, r.top() + 10, 54, 50);
  p.drawRect(piece);
  Arrow(p, QPointF(piece.left(), piece.bottom() + 7), QPointF(piece.right(), piece.bottom() + 7));
  Arrow(p, QPointF(piece.right() + 8, piece.bottom()), QPointF(piece.right() + 8, piece.top()));
  p.setFont(PlainFont(9));
  p.drawText(QRect(piece.left(), piece.bottom() + 9, piece.width(), 11), Qt::AlignCenter, QStringLiteral("X  S"));
  p.drawText(QRect(piece.right() + 11, piece.top() + 16, 20, 22), Qt::AlignLeft, QStringLiteral("Y\nR"));
}

// Increases spread over a row of stitches: every q-th, then every (q+1)-th.
void DrawDividing(QPainter& p, const QRect& r) {
  const int left = r.center().x() - 42, top = r.top() + 18;
  p.drawLine(left, top + 30, left + 84, top + 30);
  for (int i = 0; i < 12; ++i) {
    const int x = left + 4 + i * 7;
    p.drawLine(x, top + 30, x, top + 24);
    if (i % 3 == 1 || i == 11) p.drawEllipse(QPoint(x, top + 17), 2, 2);
  }
  p.setFont(PlainFont(9));
  p.drawText(QRect(left - 4, top + 34, 92, 11), Qt::AlignCenter, QStringLiteral("q  q  q+1"));
}

void DrawSlant(QPainter& p, const QRect& r) {
  const int cx = r.center().x(), top = r.top() + 12, bottom = r.top() + 62;
  p.drawPolygon(QPolygon({{cx - 20, bottom}, {cx + 20, bottom}, {cx + 10, top}, {cx - 10, top}}));
  p.setFont(PlainFont(9));
  p.drawText(QRect(cx - 20, top - 11, 40, 10), Qt::AlignCenter, QStringLiteral("W2"));
  p.drawText(QRect(cx - 20, bottom + 1, 40, 10), Qt::AlignCenter, QStringLiteral("W1"));
  p.drawText(QRect(cx - 6, top + 18, 12, 10), Qt::AlignCenter, QStringLiteral("H"));
}

// A neckline: the curve and the staircase of cast-offs that knits it.
void DrawCurve(QPainter& p, const QRect& r) {
  const int left = r.center().x() - 20, top = r.top() + 10;
  QPainterPath neck;
  neck.moveTo(left, top);
  neck.cubicTo(left, top + 30, left + 16, top + 46, left + 40, top + 46);
  p.drawPath(neck);
  for (int step = 0; step < 4; ++step) {
    const int x = left + 2 + step * 9, y = top + 10 + step * 9;
    p.drawLine(x, y, x + 9, y);
    p.drawLine(x + 9, y, x + 9, y + 9);
  }
  p.setFont(PlainFont(9));
  p.drawText(QRect(left - 4, top + 50, 48, 10), Qt::AlignCenter, QStringLiteral("X Y P"));
}

void DrawCap(QPainter& p, const QRect& r) {
  const int cx = r.center().x(), base = r.top() + 58, top = r.top() + 14;
  QPainterPath cap;
  cap.moveTo(cx - 22, base);
  cap.cubicTo(cx - 16, base - 6, cx - 12, top + 8, cx - 6, top);
  cap.lineTo(cx + 6, top);
  cap.cubicTo(cx + 12, top + 8, cx + 16, base - 6, cx + 22, base);
  p.drawPath(cap);
  p.drawLine(cx - 22, base, cx + 22, base);
  Arrow(p, QPointF(cx, base - 2), QPointF(cx, top + 3));
}

// Two switches: MODE (alternate rows) and M/T (measurements or counts).
void DrawSwitches(QPainter& p, const QRect& r) {
  p.setFont(PlainFont(9));
  const int cx = r.center().x(), top = r.top() + 14;
  p.drawText(QRect(cx - 50, top, 50, 12), Qt::AlignCenter, QStringLiteral("ALT ROWS"));
  p.drawText(QRect(cx, top, 50, 12), Qt::AlignCenter, QStringLiteral("cm / ST"));
  for (int side : {-25, 25}) {
    p.drawEllipse(QPoint(cx + side, top + 32), 6, 6);
    p.drawLine(cx + side, top + 20, cx + side, top + 25);
  }
}

// A strip of paper with printed lines coming off the needle printer.
void DrawPrinter(QPainter& p, const QRect& r) {
  const int cx = r.center().x(), top = r.top() + 4;
  const QRect strip(cx - 24, top, 48, 56);
  p.drawRect(strip);
  for (int i = 0; i < 4; ++i)
    for (int x = strip.left() + 4; x < strip.left() + 4 + (36 - i * 5); x += 3)
      if ((x + i) % 5) p.drawPoint(x, strip.top() + 8 + i * 10);
  p.drawRect(QRect(cx - 34, strip.bottom() + 1, 68, 8));
}

constexpr std::array<Section, 8> Sections{{
    {0, 1, "GAUGE", {"PER 10cm", "SWATCH", nullptr}, DrawSwatch},
    {2, 3, "STRAIGHT LINE", {"cm>ST", "ST>cm", nullptr}, DrawStraight},
    {4, 5, "DIVIDING", {"EVEN", "+PLAIN", nullptr}, DrawDividing},
    {6, 6, "SLANTING\nLINE", {"SLANT", nullptr, nullptr}, DrawSlant},
    {7, 7, "CURVE\nLINE", {"CURVE", nullptr, nullptr}, DrawCurve},
    {8, 8, "SLEEVE\nCAP", {"CAP", nullptr, nullptr}, DrawCap},
    {9, 10, "SETTINGS", {"MODE", "M/T", nullptr}, DrawSwitches},
    {11, 13, "PRINTER", {"TEST", "PF", "PRINT"}, DrawPrinter},
}};

void DrawSection(QPainter& p, const Section& section) {
  const int left = KeyLeft(section.firstKey) - 15;
  const int right = KeyLeft(section.lastKey) + KEY_WIDTH + 15;
  const QRect box(left, 3, right - left - 1, CHART_HEIGHT - 7);
  p.drawRect(box);
  const QString title = QLatin1String(section.title);
  const bool twoLines = title.contains(QLatin1Char('\n'));
  p.setFont(PlainFont(twoLines ? 9 : 11, true));
  p.drawText(QRect(left, 4, box.width(), 26), Qt::AlignCenter, title);
  p.drawLine(left, 30, right - 1, 30);
  section.diagram(p, QRect(left, 34, box.width(), 96));
  p.drawLine(left, 134, right - 1, 134);
  for (int key = section.firstKey; key <= section.lastKey; ++key) {
    const char* caption = section.keyCaptions[key - section.firstKey];
    p.setFont(PlainFont(9, true));
    if (caption) p.drawText(QRect(KeyLeft(key) - 15, 136, KEY_WIDTH + 30, 13), Qt::AlignCenter, QLatin1String(caption));
    p.setFont(PlainFont(11, true));
    p.drawText(QRect(KeyLeft(key), 150, KEY_WIDTH, 14), Qt::AlignCenter, QString(QChar('A' + key)));
  }
}

QImage FaceChart() {
  QImage image = WhiteCanvas(CHART_WIDTH, CHART_HEIGHT);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 1));
  for (const Section& section : Sections) DrawSection(p, section);
  p.end();
  return OneBit(image);
}

QImage ArcDiagram() {
  QImage image = WhiteCanvas(81, 82);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 1));
  const QPoint centre(12, 70);
  const int radius = 58;
  p.drawArc(QRect(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0, 90 * 16);
  p.drawLine(centre, centre + QPoint(radius, 0));
  p.drawLine(centre, centre - QPoint(0, radius));
  p.setFont(PlainFont(11, true));
  p.drawText(QRect(centre.x() + radius / 2 - 6, centre.y() + 1, 12, 11), Qt::AlignCenter, QStringLiteral("X"));
  p.drawText(QRect(0, centre.y() - radius / 2 - 6, 11, 12), Qt::AlignCenter, QStringLiteral("Y"));
  p.drawText(QRect(centre.x() + 42, centre.y() - 54, 12, 12), Qt::AlignCenter, QStringLiteral("P"));
  p.end();
  return OneBit(image);
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

QImage Icon() {
  QImage image(64, 64, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(QColor(222, 218, 205));
  p.drawRoundedRect(QRectF(6, 3, 52, 58), 6, 6);
  p.setBrush(QColor(60, 70, 60));
  p.drawRect(QRectF(12, 9, 40, 16));
  p.setPen(QPen(QColor(190, 230, 190), 2));
  for (int d = 0; d < 3; ++d) {  // three small eights
    const qreal x = 17 + d * 12;
    p.drawRect(QRectF(x, 12, 6, 10));
    p.drawLine(QPointF(x, 17), QPointF(x + 6, 17));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 70));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 4; ++column) p.drawRoundedRect(QRectF(12 + column * 10.5, 31 + row * 9.5, 8, 6.5), 1.5, 1.5);
  p.end();
  return image;
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
  bool ok = Save(FaceChart(), folder, "tm650.bmp");
  ok = Save(ArcDiagram(), folder, "arc.bmp") && ok;
  ok = Save(MarginsPicture(), folder, "margins.bmp") && ok;
  ok = Save(Icon(), folder, "icon.png") && ok;
  return ok ? 0 : 1;
}
