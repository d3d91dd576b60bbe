// View > Zoom: its choices and steps with their command ids and texts, the
// text a choice is kept under, and the arithmetic of fitting a screen. The
// Qt window builds its Zoom menu from them and the Windows build writes its
// menu resource from them.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "resources/ids.h"

// A choice is a percentage, or ZOOM_FIT: as large as the screen allows.
constexpr int ZOOM_FIT = 0;
constexpr const char* ZOOM_KEY = "Zoom";  // "100", "125", "150", "200" or "fit"

struct ZoomItem {
  int choice;
  int id;
  const char* text;
};
constexpr std::array<ZoomItem, 5> ZoomItems{{
    {100, IDM_ZOOM_100, "&100 %"},
    {125, IDM_ZOOM_125, "12&5 %"},
    {150, IDM_ZOOM_150, "15&0 %"},
    {200, IDM_ZOOM_200, "&200 %"},
    {ZOOM_FIT, IDM_ZOOM_FIT, "&Fit to Screen"},
}};
constexpr std::array<int, 5> ZOOM_CHOICES{100, 125, 150, 200, ZOOM_FIT};

// Zoom In and Zoom Out go to the next choice that fits; Actual Size is 100 %.
struct ZoomStep {
  int id;
  const char* name;  // the Qt action's object name
  const char* text;
  int direction;  // +1, -1, or 0 for Actual Size
  const char* shortcut;     // portable text
  const char* alternative;  // a second shortcut, or empty
};
constexpr std::array<ZoomStep, 3> ZoomSteps{{
    {IDM_ZOOM_IN, "zoomIn", "Zoom &In", 1, "Ctrl+=", "Ctrl++"},
    {IDM_ZOOM_OUT, "zoomOut", "Zoom &Out", -1, "Ctrl+-", ""},
    {IDM_ZOOM_RESET, "zoomReset", "&Actual Size", 0, "Ctrl+0", ""},
}};

constexpr const ZoomItem* FindZoomItem(int id) {
  for (const ZoomItem& item : ZoomItems)
    if (item.id == id) return &item;
  return nullptr;
}

// A kept choice's text back to the choice; nothing for anything else.
inline std::optional<int> ZoomChoiceFromText(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text == "fit") return ZOOM_FIT;
  for (int choice : ZOOM_CHOICES)
    if (choice != ZOOM_FIT && text == std::to_string(choice)) return choice;
  return std::nullopt;
}

inline std::string ZoomChoiceText(int choice) { return choice == ZOOM_FIT ? "fit" : std::to_string(choice); }

// Whether a choice fits a window that fits at zooms up to `largest`; Fit
// to Screen always does.
constexpr bool ZoomFits(int choice, double largest) { return choice == ZOOM_FIT || choice / 100.0 <= largest; }

// Zoom In (direction > 0) or Out from `now` (a zoom, 1 for 100 %): the
// nearest choice that fits beyond it, or none.
inline std::optional<int> SteppedZoom(double now, int direction, double largest) {
  int next = 0;
  for (int choice : ZOOM_CHOICES) {
    if (choice == ZOOM_FIT || !ZoomFits(choice, largest)) continue;
    const bool beyond = direction > 0 ? choice > now * 100 + 0.5 : choice < now * 100 - 0.5;
    if (beyond && (next == 0 || (direction > 0) == (choice < next))) next = choice;
  }
  if (next == 0) return std::nullopt;
  return next;
}

// The largest zoom, in steps of 1 %, at which a window whose zoomed part is
// `zoomedWidth` x `zoomedHeight` at 100 % and whose fixed part (menu bar,
// frame) does not grow fits the room; never below a quarter.
inline double FittingZoom(int zoomedWidth, int zoomedHeight, int fixedWidth, int fixedHeight, int roomWidth,
                          int roomHeight) {
  if (zoomedWidth <= 0 || zoomedHeight <= 0) return 1;
  const double across = double(roomWidth - fixedWidth) / zoomedWidth;
  const double down = double(roomHeight - fixedHeight) / zoomedHeight;
  return std::max(0.25, std::floor(std::min(across, down) * 100) / 100);
}
