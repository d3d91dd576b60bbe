// Zoom choices in the settings store, and the arithmetic of fitting a screen.
#include "frontpanel/zoom.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

#include "app/settings_store.h"

namespace {

constexpr double SMALLEST_ZOOM = 0.25;
constexpr const char* FIT_TEXT = "fit";
QString Organisation() { return QString::fromLatin1(SETTINGS_ORGANISATION); }
QString Application() { return QString::fromLatin1(SETTINGS_APPLICATION); }

}  // namespace

std::optional<int> LoadZoomChoice(QSettings& store) {
  const QString text = store.value(QLatin1String(ZOOM_KEY)).toString().trimmed();
  if (text == QLatin1String(FIT_TEXT)) return ZOOM_FIT;
  bool ok = false;
  const int percent = text.toInt(&ok);
  if (!ok || percent == ZOOM_FIT || std::find(ZOOM_CHOICES.begin(), ZOOM_CHOICES.end(), percent) == ZOOM_CHOICES.end())
    return std::nullopt;
  return percent;
}

void SaveZoomChoice(QSettings& store, int choice) {
  store.setValue(QLatin1String(ZOOM_KEY), choice == ZOOM_FIT ? QString::fromLatin1(FIT_TEXT) : QString::number(choice));
  store.sync();
}

std::optional<int> LoadZoomChoice() {
  QSettings store(Organisation(), Application());
  return LoadZoomChoice(store);
}

void SaveZoomChoice(int choice) {
  QSettings store(Organisation(), Application());
  SaveZoomChoice(store, choice);
}

double FittingZoom(const QSize& zoomed, const QSize& fixed, const QSize& room) {
  if (zoomed.isEmpty()) return 1;
  const double across = double(room.width() - fixed.width()) / zoomed.width();
  const double down = double(room.height() - fixed.height()) / zoomed.height();
  return std::max(SMALLEST_ZOOM, std::floor(std::min(across, down) * 100) / 100);
}

QPoint KeptInside(const QRect& frame, const QRect& room) {
  QRect kept = frame;
  if (kept.right() > room.right()) kept.moveRight(room.right());
  if (kept.bottom() > room.bottom()) kept.moveBottom(room.bottom());
  if (kept.left() < room.left()) kept.moveLeft(room.left());
  if (kept.top() < room.top()) kept.moveTop(room.top());
  return kept.topLeft();
}
