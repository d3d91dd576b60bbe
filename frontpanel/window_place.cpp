// The window's place in the settings store, under its own key.
#include "frontpanel/window_place.h"

#include <QSettings>
#include <QWidget>

namespace {

constexpr const char* PLACE_KEY = "WindowPosition";

}  // namespace

std::optional<QPoint> KeptWindowPlace() {
  const QVariant stored = QSettings().value(QLatin1String(PLACE_KEY));
  if (!stored.canConvert<QPoint>() || !stored.isValid()) return std::nullopt;
  return stored.toPoint();
}

void KeepWindowPlace(const QWidget* window) { QSettings().setValue(QLatin1String(PLACE_KEY), window->pos()); }
