// Header and footer templates: "&[date]", "&[time]" and "&[page]" filled in
// for each page, and the page handler that prints the two lines through the
// print module.
#pragma once

#include <cstddef>

constexpr size_t HEADER_FOOTER_BUFFER = 256;

// Writes the expanded, terminated text of `templateText` for `pageNumber`
// into `out` (at most `size` - 1 characters).
void ExpandHeaderFooter(char* out, size_t size, const char* templateText, int pageNumber);
// The page handler: the header at a page's start (isHeader != 0), the footer
// with its top on the bottom margin line at its end.
void PrintHeaderFooter(int pageNumber, int isHeader);
