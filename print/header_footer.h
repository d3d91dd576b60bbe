// Header and footer templates: "&[date]", "&[time]" and "&[page]" filled in
// for each page, and the page handler that prints the two lines through the
// print module. The clock is the shell's: the layout itself reads no time.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t HEADER_FOOTER_BUFFER = 256;

// The moment a line is printed, as "&[date]" and "&[time]" show it.
struct ClockReading {
  std::string date;  // month/day/two-digit year: "03/14/26"
  std::string time;  // 24-hour hours:minutes:seconds: "09:05:00"
};
using ClockReader = ClockReading (*)();

// Writes the expanded, terminated text of `templateText` for `pageNumber`
// into `out` (at most `size` - 1 characters).
void ExpandHeaderFooter(char* out, size_t size, const char* templateText, int pageNumber, const ClockReading& now);
// The same with `page` standing where the page number goes, cut like it at
// the room left (the web page puts its own page counter there).
void ExpandHeaderFooter(char* out, size_t size, const char* templateText, const char* page, const ClockReading& now);
// The clock the page handler reads at every line; without one, dates and
// times are left out.
void SetHeaderFooterClock(ClockReader reader);
// The page handler: the header at a page's start (isHeader != 0), the footer
// with its top on the bottom margin line at its end.
void PrintHeaderFooter(int pageNumber, int isHeader);
