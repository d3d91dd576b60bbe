#include "win32/face_zoom.h"

#include <cmath>

namespace {

constexpr double BASE_DPI = USER_DEFAULT_SCREEN_DPI;

LONG Scaled(LONG value, double scale) { return std::lround(value * scale); }

RECT ScaledRect(const RECT& at, double scale) {
  return {Scaled(at.left, scale), Scaled(at.top, scale), Scaled(at.right, scale), Scaled(at.bottom, scale)};
}

bool IsPicture(HWND control) {
  wchar_t type[16] = {};
  GetClassNameW(control, type, 16);
  return lstrcmpiW(type, L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

}  // namespace

FacePlan MeasureFace(HWND dialog) {
  FacePlan plan;
  const double toBase = BASE_DPI / GetDpiForWindow(dialog);
  RECT client{};
  GetClientRect(dialog, &client);
  plan.client = {Scaled(client.right, toBase), Scaled(client.bottom, toBase)};
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    plan.controls.push_back({control, ScaledRect(at, toBase)});
    // A picture sized itself to its bitmap; from now on it fills its place.
    if (IsPicture(control)) SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | SS_REALSIZECONTROL);
  }
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof plan.font, &plan.font);
  plan.font.lfHeight = Scaled(plan.font.lfHeight, toBase);
  return plan;
}

void LayOutFace(HWND dialog, FacePlan& plan, double scale) {
  LOGFONTW font = plan.font;
  font.lfHeight = Scaled(font.lfHeight, scale);
  HFONT scaledFont = CreateFontIndirectW(&font);
  HDWP moves = BeginDeferWindowPos(static_cast<int>(plan.controls.size()));
  for (const FacePlan::Placed& placed : plan.controls) {
    const RECT at = ScaledRect(placed.at, scale);
    if (moves)
      moves = DeferWindowPos(moves, placed.control, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    if (scaledFont) SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont), FALSE);
  }
  if (moves) EndDeferWindowPos(moves);
  if (scaledFont) {
    if (plan.scaledFont) DeleteObject(plan.scaledFont);
    plan.scaledFont = scaledFont;
  }
  const SIZE frame = FrameAllowance(dialog, GetDpiForWindow(dialog));
  SetWindowPos(dialog, nullptr, 0, 0, Scaled(plan.client.cx, scale) + frame.cx, Scaled(plan.client.cy, scale) + frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(dialog, nullptr, TRUE);
}

SIZE FrameAllowance(HWND dialog, UINT dpi) {
  RECT box{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&box, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), GetMenu(dialog) != nullptr,
                           static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), dpi);
  return {box.right - box.left, box.bottom - box.top};
}

void ReleaseFace(FacePlan& plan) {
  if (plan.scaledFont) DeleteObject(plan.scaledFont);
  plan.scaledFont = nullptr;
}
