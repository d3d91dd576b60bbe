// Control ids of the printing dialogs. Each control's object name is
// "control_<id>", which is how the tests and the help find them.
#pragma once

#include <QString>

#include "resources/print_dialogs.h"

inline QString ControlName(int id) { return QStringLiteral("control_%1").arg(id); }
