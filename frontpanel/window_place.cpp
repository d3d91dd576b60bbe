// The window's place in the settings store, under its own key.
#include "frontpanel/window_place.h"

#include "frontpanel/zoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

constexpr const char* PLACE_KEY = "WindowPosition";

// Within the available area of the screen at `wanted` (or the primary one),
// the top-left corner first when the window is larger than the screen.
QPoint OnScreen(QPoint wanted, QSize size) {
  QScreen* screen = QGuiApplication::screenAt(wanted);
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? KeptInside(QRect(wanted, size), screen->availableGeometry()) : wanted;
}

}  // namespace

std::optional<QPoint> KeptWindowPlace() {
  const QVariant stored = QSettings().value(QLatin1String(PLACE_KEY));
  if (!stored.canConvert<QPoint>() || !stored.isValid()) return std::nullopt;
  return stored.toPoint();
}

void RestoreWindowPlace(QWidget* window) {
  if (const std::optional<QPoint> kept = KeptWindowPlace())
    window->move(OnScreen(*kept, window->frameGeometry().size()));
}

void KeepWindowPlace(const QWidget* window) { QSettings().setValue(QLatin1String(PLACE_KEY), window->pos()); }
