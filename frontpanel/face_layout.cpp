// The main window's template: where each control of the face sits.
#include "frontpanel/face_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "resources/face_template.h"
#include "resources/ids.h"

namespace {

struct FaceScale {
  double x, y;  // pixels per dialog unit
};

// Pixels per dialog unit at the dialog font's base units: the one place the
// face reads them.
FaceScale ScaleAt(double zoom) {
  const double factor = FACE_SCALE_AT_100 * zoom;
  return {DialogUnitsToPixelsX(400) / 400.0 * factor, DialogUnitsToPixelsY(800) / 800.0 * factor};
}

int Scaled(int dialogUnits, double pixelsPerUnit) { return static_cast<int>(std::lround(dialogUnits * pixelsPerUnit)); }

int PaperLeft(const FaceScale& scale) { return Scaled(FindControl(IDC_PAPER)->x, scale.x); }

}  // namespace

QRect DialogRect(const ControlTemplate& item) {
  return DialogUnitsRect(item.x, item.y, item.width, item.height);
}

QRect FaceRect(const ControlTemplate& item, double zoom, int paperGrowth) {
  const FaceScale scale = ScaleAt(zoom);
  int left = Scaled(item.x, scale.x), right = Scaled(item.x + item.width, scale.x);
  if (item.id == IDC_PAPER) {
    right += paperGrowth;
  } else if (left >= PaperLeft(scale)) {
    left += paperGrowth;
    right += paperGrowth;
  }
  const int top = Scaled(item.y, scale.y), bottom = Scaled(item.y + item.height, scale.y);
  return QRect(left, top, right - left, bottom - top);
}

QSize FaceSize(double zoom, int paperGrowth) {
  const FaceScale scale = ScaleAt(zoom);
  return QSize(Scaled(FACE_WIDTH_DU, scale.x) + paperGrowth, Scaled(FACE_HEIGHT_DU, scale.y));
}

int FaceFontPixels(double zoom, bool lamp) {
  return std::max(1, static_cast<int>(std::lround((lamp ? 10 : 11) * FACE_SCALE_AT_100 * zoom)));
}

std::span<const ControlTemplate> FaceControls() { return FaceTemplate; }

std::span<const int> FocusOrder() { return FaceFocusOrder; }

const ControlTemplate* FindControl(int id) {
  if (id < 0) return nullptr;
  for (const ControlTemplate& item : FaceTemplate)
    if (item.id == id) return &item;
  return nullptr;
}
