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

#include <vector>

// Modal over `owner`; false when no page could be laid out.
bool ShowPrintPreview(HWND owner, const std::string& paper, const Settings& settings);

// The job's pages as the preview lays them out; `page` is their size in the
// reference's units, and the caller deletes them.
std::vector<HENHMETAFILE> LayOutPages(const std::string& paper, const Settings& settings, SIZE& page);
// A page of `page`'s shape as large as `room` allows, centred, white and
// framed; where it went.
RECT DrawPage(HDC dc, HENHMETAFILE contents, SIZE page, const RECT& room);
