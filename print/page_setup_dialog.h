// The Page Setup dialog's reading of a margin field, and the limits it keeps
// the margins within.
#pragma once

#include "app/settings.h"

#include <QString>
#include <optional>

// With every margin at its limit, the printable area still is a good part of
// an A4 or letter page printed at 600 dpi.

// A whole number, signed or not, with blanks around it allowed; beyond the
// range of long long it is held at that range's end. None for anything else:
// empty, letters, fractions, a unit after the digits.
std::optional<long long> WholeNumber(const QString& text);
