// Cuts a text that is wider than the printable width into the lines the print
// module prints: preferably after a space near the edge, otherwise hard at the
// width. The text is wrapped until it is used up.
#pragma once

#include <string_view>
#include <vector>

#include "print/print_surface.h"

// A space at most this many characters before the break is broken after.
constexpr size_t WRAP_SPACE_REACH = 20;

// The lines of `text` in order; an empty text, one that fits, or any text
// when there is no room at all (`width` 0 or less) is one line.
std::vector<std::string_view> BreakIntoLines(std::string_view text, int width,
                                             const TextMeasurer& measurer);
