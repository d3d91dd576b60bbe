// File > Print Preview: the print job laid out as it would print, on the
// default printer's page when there is a printer and on a Letter page at
// the screen's resolution when there is none, each page kept as an enhanced
// metafile. The pages show one at a time, scaled to a window over most of
// the screen; Page Up and Page Down, the arrows and the wheel turn them, and
// Escape closes the window.
#pragma once

#include <windows.h>

#include <string>

struct Settings;

// Modal over `owner`; false when no page could be laid out.
bool ShowPrintPreview(HWND owner, const std::string& paper, const Settings& settings);
