// The face's zoom: the choices of View > Zoom, the user's choice kept in the
// settings under its own key, the zoom at which the window fits a screen,
// and keeping windows on their screen.
#pragma once

#include "dialogs/center_over_owner.h"
#include "resources/zoom_choices.h"

#include <QRect>
#include <QSize>
#include <optional>

class QSettings;

// Nothing at first start, or when the stored value is none of the choices.
std::optional<int> LoadZoomChoice(QSettings& store);
void SaveZoomChoice(QSettings& store, int choice);
// The same on the user's own store, beside the other settings.
std::optional<int> LoadZoomChoice();
void SaveZoomChoice(int choice);

// The largest zoom, in steps of 1 %, at which a window whose `zoomed` part
// is that size at 100 % and whose `fixed` part (menu bar, frame) does not
// grow fits `room`; never below a quarter.
double FittingZoom(const QSize& zoomed, const QSize& fixed, const QSize& room);


// Where `frame` goes so that it lies inside `room`: moved back from the far
// edges first, so a frame larger than the room keeps its top left corner in.
QPoint KeptInside(const QRect& frame, const QRect& room);
