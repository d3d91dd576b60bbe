// The face of the device as laid out in the main window: every control with
// its id, kind, text and position in dialog units, and where each lands in
// pixels at a zoom, so the face keeps its proportions at every size.
#pragma once

#include "dialogs/dialog_units.h"
#include "resources/face_template.h"

#include <QRect>
#include <span>

// At the dialog font's base units (6 x 13), as the secondary dialogs use them.
QRect DialogRect(const ControlTemplate& item);

// The face at 100 % is nine tenths of its template at those base units, so
// the whole window fits a 1366 x 768 screen at a desktop scale of 1.5.
constexpr double FACE_SCALE_AT_100 = 0.9;

// A control's rectangle in pixels at `zoom` (1 for 100 %). Each edge is
// scaled on its own, so neighbours stay aligned. `paperGrowth` pixels widen
// the paper pane, and what stands right of its left edge moves with its
// right edge.
QRect FaceRect(const ControlTemplate& item, double zoom, int paperGrowth = 0);
QSize FaceSize(double zoom, int paperGrowth = 0);
// The face's lettering: the template font's pixel size (11 at the base
// units), or the lamps' smaller one, at `zoom`.
int FaceFontPixels(double zoom, bool lamp = false);

// The controls in template order.
std::span<const ControlTemplate> FaceControls();
const ControlTemplate* FindControl(int id);
// The ids of the controls that take the keyboard focus, in the order a
// reader meets them on the face: the function keys, then each frame of keys
// left to right and row by row, then the paper and its buttons.
std::span<const int> FocusOrder();
