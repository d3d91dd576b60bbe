// The print job: sets the print module up from the settings, feeds it the
// paper line by line and closes the job. Entry points below the dialog, for
// the preview and for printing to a printer chosen elsewhere.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

struct Settings;
class QPrinter;

// Whether the job lets paint and timer events through between its steps; a
// preview builds its pages inside its own painting and must not.
enum class Pumping { PaintMessages, None };

// Prints `paper` (8-bit text, CR LF lines) on the printer already attached to
// the print module. 0 when printed, -1 when the document could not start.
int RunPrintJob(const QByteArray& paper, const Settings& settings, Pumping pumping = Pumping::PaintMessages);
// Prints `paper` on `printer` without a dialog.
int PrintPaperOn(QPrinter& printer, const QString& paper, const Settings& settings,
                 Pumping pumping = Pumping::PaintMessages);
// Lets paint and timer work through so the window stays drawn during a job.
void PumpPaintMessages();
// A settings text as the 8-bit text the module prints.
std::string PrintableText(const std::string& text);
