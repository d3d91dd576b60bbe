// The 35-key matrix: five active-low row bytes, and the byte side A shows
// for the row that side B selects.
//
//            col 0  col 1  col 2  col 3  col 4  col 5  col 6  col 7
//   row 0     0      1      2      3      4      5      6      7
//   row 1     8      9      .      C      AC     AC/NG  S      R
//   row 2     X      Y      Z      A      B      C(fn)  D      E
//   row 3     F      G      H      I      J      K      L      M
//   row 4     N      -      =      P=     -      -      -      -
//
// Rows 0-3 are selected by side B bits 0-3 low, row 4 by CB2 low. A key is
// named by its number, row * 8 + column, as the firmware's scan derives it.
#pragma once

#include <array>
#include <cstdint>

constexpr uint8_t NO_KEY = 0xFF;  // a row with nothing held
constexpr uint8_t NO_ROW = 0xFF;  // side B selects no row

struct KeyRows {
  std::array<uint8_t, 5> row{NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY};
};

constexpr uint8_t KeyRow(uint8_t key) { return key / 8; }
constexpr uint8_t KeyColumnBit(uint8_t key) { return static_cast<uint8_t>(1u << (key % 8)); }
// Row 4 has keys in columns 0, 2 and 3 only.
constexpr bool IsMatrixKey(uint8_t key) { return key < 32 || key == 32 || key == 34 || key == 35; }

// The row side B selects, first match wins: CB2 low is row 4, then the
// lowest of bits 0-3 that is low; NO_ROW when none is.
uint8_t KeypadSelectedRow(uint8_t ctrl, uint8_t out);
// What side A reads for that selection: the row's byte, or NO_KEY.
uint8_t KeypadRowCode(const KeyRows& keys, uint8_t ctrl, uint8_t out);

// A press replaces the key's whole row byte; a release sets the row to
// NO_KEY. Numbers outside the matrix change nothing.
void KeyDown(KeyRows& keys, uint8_t key);
void KeyUp(KeyRows& keys, uint8_t key);
bool AnyKeyDown(const KeyRows& keys);
