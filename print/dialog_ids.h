// Control ids of the printing dialogs. Each control's object name is
// "control_<id>", which is how the tests and the help find them.
#pragma once

#include <QString>

constexpr int IDC_DOC_NAME = 1062;
constexpr int IDC_HEADER_TEXT = 1059;
constexpr int IDC_FOOTER_TEXT = 1060;
constexpr int IDC_MARGIN_LEFT = 1063;
constexpr int IDC_MARGIN_RIGHT = 1064;
constexpr int IDC_MARGIN_TOP = 1065;
constexpr int IDC_MARGIN_BOTTOM = 1066;
constexpr int IDC_SETUP_HEADER = 1067;
constexpr int IDC_SETUP_FOOTER = 1068;
constexpr int IDC_MARGINS_PICTURE = 1069;
constexpr int IDC_SETUP_OK = 1070;
constexpr int IDC_DIALOG_OK = 1;
constexpr int IDC_DIALOG_CANCEL = 2;

inline QString ControlName(int id) { return QStringLiteral("control_%1").arg(id); }
