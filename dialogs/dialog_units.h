// Dialog units to pixels with the 8-point dialog font's base units (6 x 13),
// so that the face and every dialog keep the proportions of their templates.
#pragma once

#include <QRect>
#include <QSize>

constexpr int DialogUnitsToPixelsX(int du) { return (du * 6 + 2) / 4; }
constexpr int DialogUnitsToPixelsY(int du) { return (du * 13 + 4) / 8; }

inline QRect DialogUnitsRect(int x, int y, int width, int height) {
  return QRect(DialogUnitsToPixelsX(x), DialogUnitsToPixelsY(y), DialogUnitsToPixelsX(width),
               DialogUnitsToPixelsY(height));
}
inline QRect DialogUnitsRect(const QRect& du) { return DialogUnitsRect(du.x(), du.y(), du.width(), du.height()); }
inline QSize DialogUnitsSize(int width, int height) {
  return QSize(DialogUnitsToPixelsX(width), DialogUnitsToPixelsY(height));
}
