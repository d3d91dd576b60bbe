// The user's choice of View > Zoom (the choices: resources/zoom_choices.h)
// kept in the settings under its own key.
#pragma once

#include <optional>

#include "resources/zoom_choices.h"

class QSettings;

// Nothing at first start, or when the stored value is none of the choices.
std::optional<int> LoadZoomChoice(QSettings& store);
void SaveZoomChoice(QSettings& store, int choice);
// The same on the user's own store, beside the other settings.
std::optional<int> LoadZoomChoice();
void SaveZoomChoice(int choice);
