// The PC keyboard's mapping onto the device's 35 keys.
#include "frontpanel/keyboard_map.h"

#include <QStringList>
#include <cctype>
#include <string_view>
#include <vector>

#include "resources/pc_keys.h"

namespace {

// Qt's codes for a named PC key; a digit's or letter's code is its character.
std::vector<int> QtKeysFor(std::string_view name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) return {name[0]};
  if (name == ".") return {Qt::Key_Period};
  if (name == ",") return {Qt::Key_Comma};
  if (name == "=") return {Qt::Key_Equal};
  if (name == "Enter") return {Qt::Key_Return, Qt::Key_Enter};
  if (name == "Backspace") return {Qt::Key_Backspace};
  if (name == "Delete") return {Qt::Key_Delete};
  if (name == "Insert") return {Qt::Key_Insert};
  if (name == "Page Down") return {Qt::Key_PageDown};
  return {};
}

std::vector<PcKeyMapping> MakeMappings() {
  std::vector<PcKeyMapping> mappings;
  for (const PcKey& key : PcKeys)
    for (int qtKey : QtKeysFor(key.name)) mappings.push_back({qtKey, key.controlId, key.name});
  return mappings;
}

}  // namespace

std::span<const PcKeyMapping> PcKeyMappings() {
  static const std::vector<PcKeyMapping> mappings = MakeMappings();
  return mappings;
}

int ControlForPcKey(int qtKey) {
  for (const PcKeyMapping& mapping : PcKeyMappings())
    if (mapping.qtKey == qtKey) return mapping.controlId;
  return 0;
}

QString PcKeyNamesFor(int controlId) {
  QStringList names;
  for (const PcKeyMapping& mapping : PcKeyMappings())
    if (mapping.controlId == controlId && !names.contains(QLatin1String(mapping.name)))
      names << QLatin1String(mapping.name);
  return names.join(QStringLiteral(" or "));
}
