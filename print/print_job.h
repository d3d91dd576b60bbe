// The print job in the window: the printer chosen in a dialog or given, the
// wait cursor, the window kept painted, and the local clock for the header
// and footer.
#pragma once

#include <QString>

struct Settings;
class QPrinter;

// Whether the job lets paint and timer events through between its steps; a
// preview builds its pages inside its own painting and must not.
enum class Pumping { PaintMessages, None };

// Prints `paper` on `printer` without a dialog. 0 when printed, -1 when the
// document could not start.
int PrintPaperOn(QPrinter& printer, const QString& paper, const Settings& settings,
                 Pumping pumping = Pumping::PaintMessages);
// The same job on the surface already attached to the print module, at
// once: no wait cursor, no events let through (a picture of the page).
int PrintPaperLaidOut(const QString& paper, const Settings& settings);
