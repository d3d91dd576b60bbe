// The face of the device as laid out in the main window: every control with
// its id, kind, text and position in dialog units, and the conversion of
// dialog units to pixels (base units 6 x 13, as the window font gives them).
#pragma once

#include "dialogs/dialog_units.h"

#include <QRect>
#include <span>

enum class ControlKind {
  Key,            // a key of the matrix
  Button,         // a plain push button (paper feed, print, clear)
  DefaultButton,  // the power button
  HiddenButton,   // Cancel: reached through Esc and the close box
  Frame,          // group box
  Lamp,           // radio button switched by port 2
  Label,          // static text
  Paper,          // the paper pane
  FacePicture,
  Digit,
  Point,
  ArcPicture,
};

struct ControlTemplate {
  int id;  // -1 for the unnumbered labels and frames
  ControlKind kind;
  int x, y, width, height;  // dialog units
  const char* text;
};

constexpr int FACE_WIDTH_DU = 643;
constexpr int FACE_HEIGHT_DU = 266;

QRect DialogRect(const ControlTemplate& item);
QSize FaceSizeInPixels();

// The controls in template order (also the tab order).
std::span<const ControlTemplate> FaceControls();
const ControlTemplate* FindControl(int id);
