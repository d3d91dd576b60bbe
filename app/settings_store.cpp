// The settings store: the twelve values of SETTINGS and the store's version
// under Fernhill/TM650E, read and written in the table's order. Numbers are
// brought into their sane ranges both ways, so a wild value is never used
// nor written back.
#include "app/settings_store.h"

#include <QSettings>
#include <limits>

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


}  // namespace

void LoadSettings(Settings& settings, QSettings& store) {
  if (!Readable(store)) return;
  for (const SettingRow& row : SETTINGS) {
    if (row.number) settings.*row.number = ReadNumber(store, row.name, row.missingNumber);
    if (row.text) settings.*row.text = ReadText(store, row.name, row.missingText);
  }
  if (ReadNumber(store, SETTINGS_VERSION_KEY, 1) < SETTINGS_VERSION) {
    ReadOldMarginUnits(settings, [&](const char* name) { return store.contains(QLatin1String(name)); });
  }
  ClampSettings(settings);
}

void SaveSettings(const Settings& record, QSettings& store) {
  if (!store.isWritable()) return;
  Settings settings = record;
  ClampSettings(settings);
  for (const SettingRow& row : SETTINGS) {
    const QString name = QLatin1String(row.name);
    if (row.number) store.setValue(name, settings.*row.number);
    if (row.text) store.setValue(name, QString::fromStdString(settings.*row.text));
  }
  store.setValue(QLatin1String(SETTINGS_VERSION_KEY), SETTINGS_VERSION);
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
