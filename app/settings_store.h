// Loading and saving the Settings record with QSettings: once before the
// window opens and once after it has closed. Each value is read on its own;
// a missing value, a text longer than SETTINGS_TEXT_MAX characters or a
// number of the wrong type takes its default; a number out of its range is
// clamped (ClampSettings), when read and when saved.
#pragma once

#include "app/settings.h"

class QSettings;

constexpr const char* SETTINGS_ORGANISATION = "Fernhill";
constexpr const char* SETTINGS_APPLICATION = "TM650E";

// Stores without this key at 2 or more hold the left, right and bottom
// margins in the printer units of a 600 dpi printer (the top one always was
// points); they are read once as points, 72 to the inch: 200 becomes 24.
constexpr const char* SETTINGS_VERSION_KEY = "SettingsVersion";
constexpr int SETTINGS_VERSION = 2;
constexpr int OLD_MARGIN_UNITS_PER_INCH = 600;

// When the store cannot be read, the record keeps its built-in values.
void LoadSettings(Settings& settings, QSettings& store);
// Writes all twelve values; nothing when the store cannot be written.
void SaveSettings(const Settings& settings, QSettings& store);

// The same on the user's own store, QSettings("Fernhill", "TM650E").
void LoadSettings(Settings& settings);
void SaveSettings(const Settings& settings);
