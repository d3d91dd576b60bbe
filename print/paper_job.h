// The print job without its shell: sets the print module up from the
// settings, feeds it the paper line by line and closes the job. The printer
// must already be attached to the module. Plain C++, tested without Qt.
#pragma once

#include <string>
#include <string_view>

#include "print/header_footer.h"

struct Settings;

// What the job takes from the shell it runs in.
struct PrintJobHost {
  ClockReader clock = nullptr;  // dates and times of the header and footer
  void (*pump)() = nullptr;     // called between steps, so the window stays painted
};

// Printed alone on the page when the paper holds nothing at all.
constexpr const char* EMPTY_PAPER_NOTICE = "(The paper is empty.)";

// Prints `paper` (8-bit text, CR LF lines). 0 when printed, -1 when the
// printer refused the document.
int RunPrintJob(std::string_view paper, const Settings& settings, const PrintJobHost& host = {});
// A settings text (UTF-8) as the 8-bit text the module prints: characters
// beyond the 8-bit range, and bytes that are not UTF-8, become "?".
std::string PrintableText(std::string_view utf8);
