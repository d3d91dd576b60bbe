// Zoom choices in the settings store.
#include "frontpanel/zoom_choice.h"

#include <QSettings>
#include <algorithm>

#include "app/settings_store.h"

namespace {

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
