// The PC keyboard's mapping onto the device's 35 keys.
#include "frontpanel/keyboard_map.h"

#include <QStringList>
#include <array>

#include "resources/ids.h"

namespace {

constexpr std::array<PcKeyMapping, 39> Mappings{{
    {Qt::Key_0, IDC_KEY_0, "0"},
    {Qt::Key_1, IDC_KEY_1 + 0, "1"},
    {Qt::Key_2, IDC_KEY_1 + 1, "2"},
    {Qt::Key_3, IDC_KEY_1 + 2, "3"},
    {Qt::Key_4, IDC_KEY_1 + 3, "4"},
    {Qt::Key_5, IDC_KEY_1 + 4, "5"},
    {Qt::Key_6, IDC_KEY_1 + 5, "6"},
    {Qt::Key_7, IDC_KEY_1 + 6, "7"},
    {Qt::Key_8, IDC_KEY_1 + 7, "8"},
    {Qt::Key_9, IDC_KEY_1 + 8, "9"},
    {Qt::Key_Period, IDC_KEY_POINT, "."},
    {Qt::Key_Comma, IDC_KEY_POINT, ","},
    {Qt::Key_Return, IDC_KEY_EQUALS, "Enter"},
    {Qt::Key_Enter, IDC_KEY_EQUALS, "Enter"},
    {Qt::Key_Equal, IDC_KEY_EQUALS, "="},
    {Qt::Key_P, IDC_KEY_P_EQUALS, "P"},
    {Qt::Key_Backspace, IDC_KEY_C, "Backspace"},
    {Qt::Key_Delete, IDC_KEY_AC_ALL, "Delete"},
    {Qt::Key_Insert, IDC_KEY_AC_NO_GAUGE, "Insert"},
    {Qt::Key_PageDown, IDC_PAPER_FEED, "Page Down"},
    {Qt::Key_S, IDC_KEY_S, "S"},
    {Qt::Key_R, IDC_KEY_R, "R"},
    {Qt::Key_X, IDC_KEY_X, "X"},
    {Qt::Key_Y, IDC_KEY_Y, "Y"},
    {Qt::Key_Z, IDC_KEY_Z, "Z"},
    {Qt::Key_A, IDC_KEY_A + 0, "A"},
    {Qt::Key_B, IDC_KEY_A + 1, "B"},
    {Qt::Key_C, IDC_KEY_A + 2, "C"},
    {Qt::Key_D, IDC_KEY_A + 3, "D"},
    {Qt::Key_E, IDC_KEY_A + 4, "E"},
    {Qt::Key_F, IDC_KEY_A + 5, "F"},
    {Qt::Key_G, IDC_KEY_A + 6, "G"},
    {Qt::Key_H, IDC_KEY_A + 7, "H"},
    {Qt::Key_I, IDC_KEY_A + 8, "I"},
    {Qt::Key_J, IDC_KEY_A + 9, "J"},
    {Qt::Key_K, IDC_KEY_A + 10, "K"},
    {Qt::Key_L, IDC_KEY_A + 11, "L"},
    {Qt::Key_M, IDC_KEY_A + 12, "M"},
    {Qt::Key_N, IDC_KEY_A + 13, "N"},
}};

}  // namespace

std::span<const PcKeyMapping> PcKeyMappings() { return Mappings; }

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
