// Page Setup's margins as both windows' dialogs read them: the four fields,
// how a typed margin is read, and what OK makes of what was typed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "resources/print_dialogs.h"

struct MarginField {
  const char* name;  // as the messages call it
  int id;
  int32_t Settings::*setting;
};

inline constexpr std::array<MarginField, 4> MarginFields{{
    {"left", IDC_MARGIN_LEFT, &Settings::MarginLeft},
    {"right", IDC_MARGIN_RIGHT, &Settings::MarginRight},
    {"top", IDC_MARGIN_TOP, &Settings::MarginTop},
    {"bottom", IDC_MARGIN_BOTTOM, &Settings::MarginBottom},
}};

constexpr int MARGIN_TEXT_MAX = 30;  // characters a margin's edit takes

// A whole number, signed or not, with blanks around it allowed; beyond the
// range of long long it is held at that range's end. None for anything else:
// empty, letters, fractions, a unit after the digits.
std::optional<long long> WholeNumber(std::string_view text);
// A margin within its limits, 0 to MARGIN_POINTS_MAX points.
int32_t KeptMargin(long long points);

// What OK makes of the four fields as typed, in MarginFields' order: the
// first that is not a number is refused; margins beyond their limits are
// pulled back and shown, and a second OK keeps them.
struct TypedMargins {
  int refused = -1;               // the field refused, or -1
  std::array<int32_t, 4> kept{};  // each margin within its limits
  std::array<bool, 4> pulledBack{};
  std::string message;            // why OK kept nothing; empty when it kept them
};
TypedMargins ReadMargins(const std::array<std::string, 4>& typed);
