// The face at any scale. Every control's place and the dialog's font are
// taken once, as the template made them, and brought to 100 % on a 96-dpi
// screen; the face is then laid out afresh at a scale (the zoom times the
// screen's dots per inch over 96), so its text and digits are drawn at their
// size rather than stretched. The pictures stretch to their places.
#pragma once

#include <windows.h>

#include <vector>

struct FacePlan {
  struct Placed {
    HWND control;
    RECT at;  // in the client area, at 100 % and 96 dpi
  };
  std::vector<Placed> controls;
  SIZE client{};   // at 100 % and 96 dpi
  LOGFONTW font{};  // the face's lettering at 100 % and 96 dpi
  HFONT scaledFont = nullptr;
};

// The dialog as it was made, before any zoom.
FacePlan MeasureFace(HWND dialog);
// Every control placed and lettered at `scale`, the window sized round them.
void LayOutFace(HWND dialog, FacePlan& plan, double scale);
// What the window's frame and menu bar add to the client area at `dpi`:
// they do not grow with the zoom.
SIZE FrameAllowance(HWND dialog, UINT dpi);
void ReleaseFace(FacePlan& plan);
