// The settings store: twelve values and the store's version under
// Fernhill/TM650E, read in the record's order and written in the order the
// store has always used. Numbers are brought into their sane ranges both
// ways, so a wild value is never used nor written back.
#include "app/settings_store.h"

#include <QSettings>
#include <cmath>
#include <limits>
#include <utility>

namespace {

int32_t ReadNumber(const QSettings& store, const char* name, int32_t missing) {
  const QVariant value = store.value(QLatin1String(name));
  if (!value.isValid()) return missing;
  bool ok = false;
  qlonglong number = 0;
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
      number = value.toLongLong(&ok);
      break;
    case QMetaType::QString:  // text-based stores keep numbers as text
      number = value.toString().trimmed().toLongLong(&ok);
      break;
    default:
      return missing;
  }
  if (!ok || number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
    return missing;
  return static_cast<int32_t>(number);
}

std::string ReadText(const QSettings& store, const char* name, const char* missing) {
  const QVariant value = store.value(QLatin1String(name));
  if (!value.isValid() || value.typeId() != QMetaType::QString) return missing;
  std::string text = value.toString().toStdString();
  if (SettingsTextLength(text) > SETTINGS_TEXT_MAX) return missing;
  return text;
}

bool Readable(const QSettings& store) { return store.status() == QSettings::NoError; }

// An old store's margin in points, to the nearest point.
int32_t PointsFromOldUnits(int32_t units) {
  return static_cast<int32_t>(std::lround(units * 72.0 / OLD_MARGIN_UNITS_PER_INCH));
}

}  // namespace

void LoadSettings(Settings& settings, QSettings& store) {
  if (!Readable(store)) return;
  settings.Sound = ReadNumber(store, "Sound", 64);
  settings.Font = ReadText(store, "Font", "Lucida Console");
  settings.Height = ReadNumber(store, "Height", -11);
  settings.Weight = ReadNumber(store, "Weight", 400);
  settings.PointSize = ReadNumber(store, "PointSize", 8);
  settings.DocName = ReadText(store, "DocName", "QPrint");
  settings.Header = ReadText(store, "Header", "");
  settings.Footer = ReadText(store, "Footer", "");
  settings.MarginLeft = ReadNumber(store, "MarginLeft", 24);
  settings.MarginRight = ReadNumber(store, "MarginRight", 24);
  settings.MarginTop = ReadNumber(store, "MarginTop", 50);
  settings.MarginBottom = ReadNumber(store, "MarginBottom", 19);
  if (ReadNumber(store, SETTINGS_VERSION_KEY, 1) < SETTINGS_VERSION) {
    const std::pair<const char*, int32_t*> deviceUnits[] = {
        {"MarginLeft", &settings.MarginLeft}, {"MarginRight", &settings.MarginRight}, {"MarginBottom", &settings.MarginBottom}};
    for (const auto& [name, margin] : deviceUnits)
      if (store.contains(QLatin1String(name))) *margin = PointsFromOldUnits(*margin);
  }
  ClampSettings(settings);
}

void SaveSettings(const Settings& record, QSettings& store) {
  if (!store.isWritable()) return;
  Settings settings = record;
  ClampSettings(settings);
  auto number = [&](const char* name, int32_t value) { store.setValue(QLatin1String(name), value); };
  auto text = [&](const char* name, const std::string& value) {
    store.setValue(QLatin1String(name), QString::fromStdString(value));
  };
  number("Sound", settings.Sound);
  number("Height", settings.Height);
  number("Weight", settings.Weight);
  number("PointSize", settings.PointSize);
  text("Font", settings.Font);
  text("DocName", settings.DocName);
  text("Header", settings.Header);
  text("Footer", settings.Footer);
  number("MarginLeft", settings.MarginLeft);
  number("MarginRight", settings.MarginRight);
  number("MarginTop", settings.MarginTop);
  number("MarginBottom", settings.MarginBottom);
  number(SETTINGS_VERSION_KEY, SETTINGS_VERSION);
  store.sync();
}

void LoadSettings(Settings& settings) {
  QSettings store{QString::fromLatin1(SETTINGS_ORGANISATION), QString::fromLatin1(SETTINGS_APPLICATION)};
  LoadSettings(settings, store);
}

void SaveSettings(const Settings& settings) {
  QSettings store{QString::fromLatin1(SETTINGS_ORGANISATION), QString::fromLatin1(SETTINGS_APPLICATION)};
  SaveSettings(settings, store);
}
