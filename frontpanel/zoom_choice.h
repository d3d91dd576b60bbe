// The choices of View > Zoom, and the user's choice kept in the settings
// under its own key.
#pragma once

#include <array>
#include <optional>

class QSettings;

// A choice is a percentage, or ZOOM_FIT: as large as the screen allows.
constexpr int ZOOM_FIT = 0;
constexpr std::array<int, 5> ZOOM_CHOICES{100, 125, 150, 200, ZOOM_FIT};
constexpr const char* ZOOM_KEY = "Zoom";  // "100", "125", "150", "200" or "fit"

// Nothing at first start, or when the stored value is none of the choices.
std::optional<int> LoadZoomChoice(QSettings& store);
void SaveZoomChoice(QSettings& store, int choice);
// The same on the user's own store, beside the other settings.
std::optional<int> LoadZoomChoice();
void SaveZoomChoice(int choice);
