// The 35-key matrix: five active-low row bytes written by the window (or a
// script) and read by the firmware's scan through the adapter.
//
//            col 0  col 1  col 2  col 3  col 4  col 5  col 6  col 7
//   row 0     0      1      2      3      4      5      6      7
//   row 1     8      9      .      C      AC     AC/NG  S      R
//   row 2     X      Y      Z      A      B      C(fn)  D      E
//   row 3     F      G      H      I      J      K      L      M
//   row 4     N      -      =      P=     -      -      -      -
//
// Rows 0-3 are selected by side B bits 0-3 low, row 4 by CB2 low.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

struct KeyRows {
  // Written by the window thread, read by the emulation thread; one byte each.
  std::array<std::atomic<uint8_t>, 5> row{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

struct KeyInfo {
  int controlId;
  const char* label;  // the button's text in the window template
  uint8_t row;
  uint8_t column;
  uint8_t rowByte;         // what a press stores in its row
  uint8_t firmwareNumber;  // row * 8 + column
};

// In the order the window subclasses its buttons.
extern const std::array<KeyInfo, 35> KeyTable;

// nullptr when the control is not a key of the matrix.
const KeyInfo* FindKey(int controlId);

// What side A reads for side B's control and output bytes; first match wins.
uint8_t KeypadRowCode(const KeyRows& keys, uint8_t ctrl, uint8_t out);

// A press replaces the key's whole row byte; a release sets the row to 0xFF.
// Controls outside the key table change nothing.
void KeyPress(KeyRows& keys, int controlId);
void KeyRelease(KeyRows& keys, int controlId);
