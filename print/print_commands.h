// What the window asks of the print module: the File and Tools commands that
// print the paper or change how it prints. Each runs modally over `owner`.
#pragma once

#include <QString>

#include "resources/print_dialogs.h"  // PREVIEW_SCREEN_SHARE

class QFont;
class QWidget;
struct Settings;

// False until printing is built in: the window then disables these commands.
bool PrintingAvailable();

// File > Print... and the Print button: prints `paper` (CR LF lines).
// Returns 0 when the job was printed or cancelled, -1 on failure.
int PrintPaper(QWidget* owner, const QString& paper, Settings& settings);
// Dialog 113; its picture shows `paper`'s first page as it will print.
void RunPageSetup(QWidget* owner, Settings& settings, const QString& paper = QString());
void RunHeaderFooter(QWidget* owner, Settings& settings);  // dialog 112
// Tools > Font...: a fixed-pitch font dialog; true when the user chose one
// (settings updated; `chosen` is the new pane font).
bool ChooseFont(QWidget* owner, Settings& settings, QFont& chosen);

// File > Save Paper As...: asks for a file name and writes the paper there,
// the same bytes as the log. False when cancelled or not written.
bool SavePaperAs(QWidget* owner, const QString& paper);
// Where Save Paper As starts: tm650e-paper-<date>.txt in the Documents folder.
QString SuggestedPaperPath();
// Writes the paper to `path` without asking; false when it cannot.
bool WritePaperFile(const QString& path, const QString& paper);
// File > Print Preview: the pages exactly as the print job would print them,
// in a window of PREVIEW_SCREEN_SHARE of the owner's screen.
void PreviewPaper(QWidget* owner, const QString& paper, const Settings& settings);
