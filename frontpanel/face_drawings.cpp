// The chart and the arc diagram as line art and captions. Straight lines are
// drawn unsmoothed with a pen a whole number of device pixels wide, so they
// land sharp on the pixel grid at any scale; curves and lettering are smoothed,
// and the lettering is unhinted so its spacing stays even at every size.
#include "frontpanel/face_drawings.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr qreal KeyLeft(int n) { return (20 + 36 * n) * 1.5; }
constexpr int KEY_WIDTH = 22;

QFont PlainFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

// A black pen a whole number of device pixels wide: one unit at the scale
// the painter draws at, and never thinner than a pixel.
QPen Ink(const QPainter& p, Qt::PenStyle style = Qt::SolidLine) {
  const qreal devicePixelsPerUnit = std::sqrt(std::abs(p.deviceTransform().determinant()));
  QPen pen(Qt::black, std::max<qreal>(1, std::round(devicePixelsPerUnit)), style);
  pen.setCosmetic(true);
  return pen;
}

// Smooths what it is drawn while it lives: the curves.
class Smooth {
 public:
  explicit Smooth(QPainter& p) : p_(p) { p_.setRenderHint(QPainter::Antialiasing, true); }
  ~Smooth() { p_.setRenderHint(QPainter::Antialiasing, false); }

 private:
  QPainter& p_;
};

void BeginDrawing(QPainter& p, const QRectF& target, const QSizeF& units, qreal scaleX, qreal scaleY) {
  p.translate(target.topLeft() + QPointF((target.width() - units.width() * scaleX) / 2,
                                         (target.height() - units.height() * scaleY) / 2));
  p.scale(scaleX, scaleY);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setBrush(Qt::NoBrush);
  p.setPen(Ink(p));
}

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

// A measure: a line with an arrowhead at each end.
void Dimension(QPainter& p, QPointF from, QPointF to) {
  Arrow(p, from, to);
  Arrow(p, to, from);
}

// The largest plain font up to `pixels` in which `text` fits `width`; at each
// size the condensed face is tried before a smaller one.
QFont FittingFont(const QString& text, int width, int pixels, bool bold = false) {
  auto fits = [&](const QFont& font) {
    for (const QString& line : text.split(QLatin1Char('\n')))
      if (QFontMetricsF(font).horizontalAdvance(line) > width) return false;
    return true;
  };
  for (; pixels > 7; --pixels) {
    QFont font = PlainFont(pixels, bold);
    if (fits(font)) return font;
    font.setStretch(QFont::Condensed);
    if (fits(font)) return font;
  }
  return PlainFont(pixels, bold);
}

void Label(QPainter& p, const QRect& at, const char* text, int pixels = 9) {
  p.setFont(PlainFont(pixels));
  p.drawText(at, Qt::AlignCenter, QLatin1String(text));
}

// A small square of knitting with its stitches across (S) and rows up (R),
// counted over `size`.
void Swatch(QPainter& p, int centre, int top, const char* size) {
  const QRect square(centre - 16, top, 30, 30);
  p.drawRect(square);
  for (int y = square.top() + 4; y < square.bottom() - 5; y += 7)
    for (int x = square.left() + 3; x < square.right() - 5; x += 6) {
      p.drawLine(x, y, x + 2, y + 4);
      p.drawLine(x + 2, y + 4, x + 4, y);
    }
  Label(p, QRect(square.left(), square.bottom() + 2, square.width(), 11), "S");
  Label(p, QRect(square.right() + 2, square.top() + 9, 10, 11), "R");
  Label(p, QRect(centre - 26, square.bottom() + 16, 52, 11), size);
}

// A: stitches and rows per 10 cm; B: counted over a swatch X by Y cm.
void DrawGauge(QPainter& p, const QRect& r) {
  Swatch(p, r.left() + 26, r.top() + 14, "10 x 10 cm");
  Swatch(p, r.left() + 80, r.top() + 14, "X x Y cm");
}

// A straight piece: width X cm or S stitches, height Y cm or R rows.
void DrawStraight(QPainter& p, const QRect& r) {
  const QRect piece(r.center().x() - 30, r.top() + 12, 50, 46);
  p.drawRect(piece);
  Dimension(p, QPointF(piece.left(), piece.bottom() + 6), QPointF(piece.right(), piece.bottom() + 6));
  Dimension(p, QPointF(piece.right() + 7, piece.bottom()), QPointF(piece.right() + 7, piece.top()));
  Label(p, QRect(piece.left(), piece.bottom() + 9, piece.width(), 11), "X cm  S");
  Label(p, QRect(piece.right() + 10, piece.top() + 6, 22, 11), "Y cm");
  Label(p, QRect(piece.right() + 10, piece.top() + 26, 22, 11), "R");
}

// k events over n places (here 3 over 11). E: every q-th, then every
// (q+1)-th, the last on the last place. F: every q-th, then the rest plain.
void DrawDividing(QPainter& p, const QRect& r) {
  const int left = r.left() + 14, pitch = 7, places = 11;
  auto placeX = [&](int place) { return left + place * pitch - pitch / 2 - 1; };
  const std::array<std::array<int, 3>, 2> events{{{3, 7, 11}, {3, 6, 9}}};
  for (int row = 0; row < 2; ++row) {
    const int base = r.top() + 24 + row * 34;
    Label(p, QRect(r.left() + 3, base - 9, 10, 11), row ? "F" : "E", 10);
    p.drawLine(left, base, left + places * pitch, base);
    int previous = 0;
    for (int place = 1; place <= places; ++place) {
      const int x = placeX(place);
      p.drawLine(x, base, x, base - 3);
      if (std::find(events[row].begin(), events[row].end(), place) == events[row].end()) continue;
      {
        Smooth smooth(p);
        p.drawEllipse(QPoint(x, base - 7), 2, 2);
      }
      Label(p, QRect(left + previous * pitch, base + 2, (place - previous) * pitch, 11),
            place - previous == 3 ? "q" : "q+1");
      previous = place;
    }
    if (row == 1) {
      p.drawLine(left + previous * pitch + 1, base + 5, left + places * pitch - 1, base + 5);
      Label(p, QRect(left + previous * pitch - 8, base + 7, (places - previous) * pitch + 16, 11), "PLAIN", 8);
    }
  }
}

// From width X at the bottom to width Z at the top over height Y.
void DrawSlant(QPainter& p, const QRect& r) {
  const int cx = r.center().x(), top = r.top() + 16, bottom = r.top() + 60;
  p.drawPolygon(QPolygon({{cx - 18, bottom}, {cx + 18, bottom}, {cx + 8, top}, {cx - 8, top}}));
  Label(p, QRect(cx - 20, top - 13, 40, 11), "Z");
  Label(p, QRect(cx - 20, bottom + 2, 40, 11), "X");
  Dimension(p, QPointF(cx, bottom - 2), QPointF(cx, top + 2));
  Label(p, QRect(cx + 2, top + 14, 10, 11), "Y");
}

// A neckline from its lowest point: a quarter ellipse X wide and Y high, the
// staircase of cast-offs that knits it (the largest first, each corner on the
// curve) and its length P.
void DrawCurve(QPainter& p, const QRect& r) {
  const int left = r.left() + 10, top = r.top() + 14, width = 30, height = 44, steps = 4;
  const QRectF ellipse(left - width, top - height, 2 * width, 2 * height);
  QPainterPath curve;
  curve.arcMoveTo(ellipse, 270);
  curve.arcTo(ellipse, 270, 90);
  {
    Smooth smooth(p);
    p.setPen(Ink(p, Qt::DotLine));  // the curve dotted, the knitted edge solid
    p.drawPath(curve);
    p.setPen(Ink(p));
  }
  qreal x = left, y = top + height;
  for (int i = 1; i <= steps; ++i) {
    const qreal fall = qreal(steps - i) / steps;
    const qreal next = std::round(left + width * std::sqrt(1 - fall * fall));
    const qreal up = std::round(top + height - qreal(height) * i / steps);
    p.drawLine(QPointF(x, y), QPointF(next, y));
    p.drawLine(QPointF(next, y), QPointF(next, up));
    x = next;
    y = up;
  }
  Dimension(p, QPointF(left, top - 5), QPointF(left + width, top - 5));
  Label(p, QRect(left, top - 16, width, 11), "X");
  Dimension(p, QPointF(left - 5, top + height), QPointF(left - 5, top));
  Label(p, QRect(left - 1, top + 10, 10, 11), "Y");
  Label(p, QRect(left + 26, top + height - 18, 12, 11), "P");
}

// Upper arm X across the bottom, top width Z, each side sewn to an armhole
// of length Y along its curve.
void DrawCap(QPainter& p, const QRect& r) {
  const int cx = r.center().x(), base = r.top() + 60, top = r.top() + 16;
  QPainterPath cap;
  cap.moveTo(cx - 22, base);
  cap.cubicTo(cx - 14, base - 4, cx - 10, top + 6, cx - 6, top);
  cap.lineTo(cx + 6, top);
  cap.cubicTo(cx + 10, top + 6, cx + 14, base - 4, cx + 22, base);
  {
    Smooth smooth(p);
    p.drawPath(cap);
  }
  p.drawLine(cx - 22, base, cx + 22, base);
  Label(p, QRect(cx - 20, top - 13, 40, 11), "Z");
  Label(p, QRect(cx - 20, base + 2, 40, 11), "X");
  Label(p, QRect(cx - 25, top + 14, 10, 11), "Y");
  Dimension(p, QPointF(cx, base - 2), QPointF(cx, top + 2));
  Label(p, QRect(cx + 1, top + 18, 10, 11), "H");
}

// The two switches with their lamps. MODE: a slant worked at both edges,
// half the change each side. M/T: X and Z in stitches, Y in rows.
void DrawSwitches(QPainter& p, const QRect& r) {
  const int mode = r.left() + 26, count = r.left() + 80, top = r.top() + 12;
  p.drawPolygon(QPolygon({{mode - 16, top + 34}, {mode + 16, top + 34}, {mode + 9, top + 4}, {mode - 9, top + 4}}));
  Arrow(p, QPointF(mode - 2, top + 20), QPointF(mode - 12, top + 20));
  Arrow(p, QPointF(mode + 2, top + 20), QPointF(mode + 12, top + 20));
  Label(p, QRect(count - 26, top + 2, 52, 11), "X Z: ST");
  Label(p, QRect(count - 26, top + 14, 52, 11), "Y: ROWS");
  Label(p, QRect(count - 26, top + 26, 52, 11), "not cm");
  for (const auto& [x, name] : {std::pair{mode, "MODE"}, std::pair{count, "M/T"}}) {
    {
      Smooth smooth(p);
      p.drawEllipse(QPoint(x, top + 50), 4, 4);
    }
    Label(p, QRect(x - 26, top + 57, 52, 11), name);
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
    {0, 1, "GAUGE", {"PER 10cm", "SWATCH", nullptr}, DrawGauge},
    {2, 3, "STRAIGHT LINE", {"cm>ST", "ST>cm", nullptr}, DrawStraight},
    {4, 5, "DIVIDING", {"EVEN", "+PLAIN", nullptr}, DrawDividing},
    {6, 6, "SLANTING\nLINE", {"SLANT", nullptr, nullptr}, DrawSlant},
    {7, 7, "CURVE\nLINE", {"CURVE", nullptr, nullptr}, DrawCurve},
    {8, 8, "SLEEVE\nCAP", {"CAP", nullptr, nullptr}, DrawCap},
    {9, 10, "SETTINGS", {"PER SIDE", "ST/ROWS", nullptr}, DrawSwitches},
    {11, 13, "PRINTER", {"TEST", "PF", "PRINT"}, DrawPrinter},
}};

void DrawSection(QPainter& p, const Section& section) {
  const int left = qRound(KeyLeft(section.firstKey)) - 15;
  const int right = qRound(KeyLeft(section.lastKey)) + KEY_WIDTH + 15;
  const int height = CHART_UNITS.height();
  const QRect box(left, 3, right - left - 1, height - 7);
  p.drawRect(box);
  const QString title = QLatin1String(section.title);
  const bool twoLines = title.contains(QLatin1Char('\n'));
  // The two-line titles share one size: the one the longest of them needs.
  static const QFont twoLineFont = FittingFont(QStringLiteral("SLANTING"), KEY_WIDTH + 26, 11, true);
  p.setFont(twoLines ? twoLineFont : FittingFont(title, box.width() - 4, 11, true));
  p.drawText(QRect(left, 4, box.width(), 26), Qt::AlignCenter, title);
  p.drawLine(left, 30, right - 1, 30);
  section.diagram(p, QRect(left, 34, box.width(), 96));
  p.drawLine(left, 134, right - 1, 134);
  for (int key = section.firstKey; key <= section.lastKey; ++key) {
    const int keyLeft = qRound(KeyLeft(key));
    if (const char* caption = section.keyCaptions[key - section.firstKey]) {
      p.setFont(FittingFont(QLatin1String(caption), KEY_WIDTH + 28, 9, true));
      p.drawText(QRect(keyLeft - 15, 136, KEY_WIDTH + 30, 13), Qt::AlignCenter, QLatin1String(caption));
    }
    p.setFont(PlainFont(11, true));
    p.drawText(QRect(keyLeft, 150, KEY_WIDTH, 14), Qt::AlignCenter, QString(QChar('A' + key)));
  }
}

}  // namespace

qreal EvenScale(const QSizeF& units, const QRectF& target) {
  return std::min(target.width() / units.width(), target.height() / units.height());
}

void DrawFaceChart(QPainter& p, const QRectF& target) {
  p.save();
  BeginDrawing(p, target, CHART_UNITS, target.width() / CHART_UNITS.width(), target.height() / CHART_UNITS.height());
  for (const Section& section : Sections) DrawSection(p, section);
  p.restore();
}

// A quarter circle from its centre, its two radii X and Y and its arc P.
void DrawArcDiagram(QPainter& p, const QRectF& target) {
  p.save();
  const qreal scale = EvenScale(ARC_UNITS, target);
  BeginDrawing(p, target, ARC_UNITS, scale, scale);
  const QPoint centre(12, 68);
  const int radius = 58;
  {
    Smooth smooth(p);
    p.drawArc(QRect(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0, 90 * 16);
  }
  p.drawLine(centre, centre + QPoint(radius, 0));
  p.drawLine(centre, centre - QPoint(0, radius));
  p.setFont(PlainFont(11, true));
  p.drawText(QRect(centre.x() + radius / 2 - 6, centre.y() + 1, 12, 11), Qt::AlignCenter, QStringLiteral("X"));
  p.drawText(QRect(0, centre.y() - radius / 2 - 6, 11, 12), Qt::AlignCenter, QStringLiteral("Y"));
  p.drawText(QRect(centre.x() + 42, centre.y() - 54, 12, 12), Qt::AlignCenter, QStringLiteral("P"));
  p.restore();
}
