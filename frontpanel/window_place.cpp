// The window's place in the settings store, under its own key.
#include "frontpanel/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace {

constexpr const char* PLACE_KEY = "WindowPosition";

// Within the available area of the screen nearest `wanted`, the title bar
// and top-left corner first when the window is larger than the screen.
QPoint OnScreen(QPoint wanted, QSize size) {
  QScreen* screen = QGuiApplication::screenAt(wanted);
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return wanted;
  const QRect area = screen->availableGeometry();
  const int x = std::max(area.left(), std::min(wanted.x(), area.right() + 1 - size.width()));
  const int y = std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - size.height()));
  return {x, y};
}

}  // namespace

void RestoreWindowPlace(QWidget* window) {
  const QVariant stored = QSettings().value(QLatin1String(PLACE_KEY));
  if (!stored.canConvert<QPoint>() || !stored.isValid()) return;
  window->move(OnScreen(stored.toPoint(), window->frameGeometry().size()));
}

void KeepWindowPlace(const QWidget* window) { QSettings().setValue(QLatin1String(PLACE_KEY), window->pos()); }
