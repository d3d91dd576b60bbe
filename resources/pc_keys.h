// The PC keys that work the device's keys, by the name a tooltip gives them:
// a digit or letter is that key, the rest are named. A mapped key is held on
// the device for as long as the PC key is held. Each window maps the names
// onto its own key codes.
//
//   0-9 . (or ,)      the number keys          Enter, Return, =   "="
//   A-N               function keys A to N     P                  "=" beside P
//   S R X Y Z         the keys of those names  Backspace          C (clear entry)
//   Delete            AC "All"                 Insert             AC "No gauge"
//   Page Down         PF, the paper feed button
#pragma once

#include <array>

#include "resources/ids.h"

struct PcKey {
  const char* name;
  int controlId;
};

constexpr std::array<PcKey, 38> PcKeys{{
    {"0", IDC_KEY_0},          {"1", IDC_KEY_1 + 0},      {"2", IDC_KEY_1 + 1},    {"3", IDC_KEY_1 + 2},
    {"4", IDC_KEY_1 + 3},      {"5", IDC_KEY_1 + 4},      {"6", IDC_KEY_1 + 5},    {"7", IDC_KEY_1 + 6},
    {"8", IDC_KEY_1 + 7},      {"9", IDC_KEY_1 + 8},      {".", IDC_KEY_POINT},    {",", IDC_KEY_POINT},
    {"Enter", IDC_KEY_EQUALS}, {"=", IDC_KEY_EQUALS},     {"P", IDC_KEY_P_EQUALS}, {"Backspace", IDC_KEY_C},
    {"Delete", IDC_KEY_AC_ALL}, {"Insert", IDC_KEY_AC_NO_GAUGE},
    {"Page Down", IDC_PAPER_FEED},
    {"S", IDC_KEY_S},          {"R", IDC_KEY_R},          {"X", IDC_KEY_X},        {"Y", IDC_KEY_Y},
    {"Z", IDC_KEY_Z},          {"A", IDC_KEY_A + 0},      {"B", IDC_KEY_A + 1},    {"C", IDC_KEY_A + 2},
    {"D", IDC_KEY_A + 3},      {"E", IDC_KEY_A + 4},      {"F", IDC_KEY_A + 5},    {"G", IDC_KEY_A + 6},
    {"H", IDC_KEY_A + 7},      {"I", IDC_KEY_A + 8},      {"J", IDC_KEY_A + 9},    {"K", IDC_KEY_A + 10},
    {"L", IDC_KEY_A + 11},     {"M", IDC_KEY_A + 12},     {"N", IDC_KEY_A + 13},
}};
