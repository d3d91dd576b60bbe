// Zoom choices in the settings store, and the arithmetic of fitting a screen.
#include "frontpanel/zoom.h"

#include <QSettings>

#include "app/settings_store.h"

namespace {

QString Organisation() { return QString::fromLatin1(SETTINGS_ORGANISATION); }
QString Application() { return QString::fromLatin1(SETTINGS_APPLICATION); }

}  // namespace

std::optional<int> LoadZoomChoice(QSettings& store) {
  return ZoomChoiceFromText(store.value(QLatin1String(ZOOM_KEY)).toString().trimmed().toStdString());
}

void SaveZoomChoice(QSettings& store, int choice) {
  store.setValue(QLatin1String(ZOOM_KEY), QString::fromStdString(ZoomChoiceText(choice)));
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
  return FittingZoom(zoomed.width(), zoomed.height(), fixed.width(), fixed.height(), room.width(), room.height());
}

QPoint KeptInside(const QRect& frame, const QRect& room) {
  QRect kept = frame;
  if (kept.right() > room.right()) kept.moveRight(room.right());
  if (kept.bottom() > room.bottom()) kept.moveBottom(room.bottom());
  if (kept.left() < room.left()) kept.moveLeft(room.left());
  if (kept.top() < room.top()) kept.moveTop(room.top());
  return kept.topLeft();
}
