// Zoom choices in the settings store.
#include "frontpanel/zoom_choice.h"

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
