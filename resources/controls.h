// The window's key and lamp controls and the device keys and lamp bits they
// stand for; the shells (window, runner) map between them with these tables.
#pragma once

#include <array>
#include <cstdint>

#include "resources/ids.h"

struct KeyControl {
  int controlId;
  const char* label;  // the button's text in the window template
  uint8_t key;        // the device key: row * 8 + column
};

// In the order the window makes its buttons.
constexpr std::array<KeyControl, 35> KeyControls{{
    {IDC_KEY_0, "0", 0},        {IDC_KEY_1, "1", 1},         {IDC_KEY_1 + 1, "2", 2},
    {IDC_KEY_1 + 2, "3", 3},    {IDC_KEY_1 + 3, "4", 4},     {IDC_KEY_1 + 4, "5", 5},
    {IDC_KEY_1 + 5, "6", 6},    {IDC_KEY_1 + 6, "7", 7},     {IDC_KEY_1 + 7, "8", 8},
    {IDC_KEY_9, "9", 9},        {IDC_KEY_POINT, ".", 10},    {IDC_KEY_C, "C", 11},
    {IDC_KEY_AC_ALL, "AC", 12}, {IDC_KEY_AC_NO_GAUGE, "AC", 13}, {IDC_KEY_S, "S", 14},
    {IDC_KEY_R, "R", 15},       {IDC_KEY_X, "X", 16},        {IDC_KEY_Y, "Y", 17},
    {IDC_KEY_Z, "Z", 18},       {IDC_KEY_A, "A", 19},        {IDC_KEY_A + 1, "B", 20},
    {IDC_KEY_A + 2, "C", 21},   {IDC_KEY_A + 3, "D", 22},    {IDC_KEY_A + 4, "E", 23},
    {IDC_KEY_A + 5, "F", 24},   {IDC_KEY_A + 6, "G", 25},    {IDC_KEY_A + 7, "H", 26},
    {IDC_KEY_A + 8, "I", 27},   {IDC_KEY_A + 9, "J", 28},    {IDC_KEY_A + 10, "K", 29},
    {IDC_KEY_A + 11, "L", 30},  {IDC_KEY_A + 12, "M", 31},   {IDC_KEY_N, "N", 32},
    {IDC_KEY_EQUALS, "=", 34},  {IDC_KEY_P_EQUALS, "=", 35},
}};

// nullptr when the control is not a key of the matrix.
constexpr const KeyControl* FindKeyControl(int controlId) {
  for (const KeyControl& key : KeyControls) {
    if (key.controlId == controlId) return &key;
  }
  return nullptr;
}

struct LampControl {
  uint8_t mask;  // port 2 bit
  int controlId;
  const char* name;
};

// In the order the window sets them.
constexpr std::array<LampControl, 5> LampControls{{
    {0x01, IDC_LAMP_GAUGE, "GAUGE"},
    {0x02, IDC_LAMP_MODE, "MODE"},
    {0x08, IDC_LAMP_MT, "M/T"},
    {0x10, IDC_LAMP_ARC_LENGTH, "ARC LENGTH"},
    {0x20, IDC_LAMP_PRINT, "PRINT"},
}};
