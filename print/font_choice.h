// The print font's settings as a font dialog choice gives them: face, pane
// height in negative pixels, weight, and whole print points.
#pragma once

#include <QFont>

struct Settings;

// Stores `font`, chosen on a screen of `dpi` dots per inch, into `settings`.
void StoreChosenFont(const QFont& font, int dpi, Settings& settings);
// The pane font the settings describe (face, height, weight only).
QFont PaneFontFromSettings(const Settings& settings);
