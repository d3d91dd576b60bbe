// A printing dialog's controls made from its shared table, each control with
// an id named for it ("control_<id>"). The caller connects the buttons and
// makes the picture, which the table only places.
#pragma once

#include <QHash>
#include <QRect>
#include <QWidget>
#include <span>

#include "resources/print_dialogs.h"

QHash<int, QWidget*> AddControls(QWidget* dialog, std::span<const DialogControl> controls);

// Where the control `id` sits, in dialog units.
QRect PlaceOf(std::span<const DialogControl> controls, int id);
