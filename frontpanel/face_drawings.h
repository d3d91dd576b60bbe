// The face's two pictures as vector drawings: the chart of calculation
// functions over the function keys A-N, and the arc diagram beside P=. Each is
// drawn in its own units and mapped onto any rectangle, so the window renders
// it sharp at every zoom and pixel density, and draw_images saves it as a file.
#pragma once

#include <QSize>

class QPainter;
class QRectF;

// The chart spans the face from dialog unit 5 to 523 at 1.5 units each, so
// key n's left edge is at (20 + 36 n) * 1.5.
constexpr QSize CHART_UNITS(777, 169);
constexpr QSize ARC_UNITS(81, 82);

// Stretches the chart over `target`.
void DrawFaceChart(QPainter& painter, const QRectF& target);
// Scales the arc diagram evenly into `target`, centred.
void DrawArcDiagram(QPainter& painter, const QRectF& target);
// The even scale at which `units` fit inside `target`.
qreal EvenScale(const QSizeF& units, const QRectF& target);
