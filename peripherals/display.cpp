// The display path: the serial receiver fed by side-B writes, the segment and
// character lookups, and the controller's cell buffer that a refresh turns
// into four digits with their points.
#include "peripherals/display.h"

#include <cstddef>

#include "peripherals/pia.h"

namespace {

constexpr uint8_t LINE_CLOCK = 0x20;
constexpr uint8_t LINE_SELECT = 0x40;
constexpr uint8_t LINE_READY = 0x10;
constexpr uint8_t CA2_LEVEL = 0x08;
constexpr uint8_t POINT = 0x80;
constexpr uint8_t NOT_FOUND = 0xFF;

constexpr uint8_t COMMAND_CLEAR = 0x20;
constexpr uint8_t COMMAND_REFRESH = 0x11;

// Each digit arrives as two data bytes, the segment byte first.
constexpr uint8_t DATA_BYTES_PER_CELL = 2;
constexpr uint8_t DATA_BYTE_LIMIT = 8 * DATA_BYTES_PER_CELL;

void ShiftInBit(DisplayLink& link, const Pia& pia, uint8_t sideBIn) {
  const uint8_t bit = (pia.A.Ctrl & CA2_LEVEL) ? 1 : 0;
  link.shift = static_cast<uint8_t>((link.shift << 1) | bit);
  if (++link.bitCount < 8) return;
  if (link.sendByte) link.sendByte(link.context, link.shift, sideBIn);
  link.bitCount = 0;
}

enum class Column { Segments, Character, DigitCode };

uint8_t ColumnOf(const SegmentRow& row, Column column) {
  switch (column) {
    case Column::Segments: return row.segments;
    case Column::Character: return row.character;
    case Column::DigitCode: return row.digitCode;
  }
  return NOT_FOUND;
}

// Every row is scanned and the last match wins; the point bit of the
// argument rides along, so a failed lookup stays 0xFF.
uint8_t LookUp(uint8_t argument, Column key, Column result) {
  const uint8_t wanted = argument & 0x7F;
  uint8_t found = NOT_FOUND;
  for (const SegmentRow& row : SegmentTable) {
    if (ColumnOf(row, key) == wanted) found = ColumnOf(row, result);
  }
  return static_cast<uint8_t>(found | (argument & POINT));
}

void StoreDataByte(DisplayCells& cells, uint8_t byte) {
  // The controller has no room past its eight cells: surplus bytes are
  // dropped, and the counter stops so it can never wrap back into them.
  if (cells.dataCounter >= DATA_BYTE_LIMIT) return;
  if (cells.dataCounter % DATA_BYTES_PER_CELL == 0) {
    const uint8_t character = SegmentsToChar(byte);
    cells.cell[cells.dataCounter / DATA_BYTES_PER_CELL] = character == NOT_FOUND ? '?' : character;
  }
  ++cells.dataCounter;
}

void Refresh(DisplayCells& cells, DigitState& shown) {
  for (std::size_t i = 0; i < shown.digit.size(); ++i) {
    const uint8_t code = CharToDigitCode(cells.cell[i]);
    shown.digit[i] = code & 0x7F;
    shown.point[i] = (code & POINT) != 0;
  }
  cells.dataCounter = 0;
}

}  // namespace

void DisplayLinkUpdate(Pia& pia) {
  if (!pia.display) return;
  DisplayLink& link = *pia.display;
  const uint8_t s = pia.B.In;
  if (!(s & LINE_SELECT)) {
    if (link.previousSelect == LINE_SELECT) {
      // Select has just gone low: a new byte boundary.
      link.shift = 0;
      link.bitCount = 0;
    } else if (link.previousClock == 0 && (s & LINE_CLOCK)) {
      ShiftInBit(link, pia, s);
    }
    link.previousClock = s & LINE_CLOCK;
  }
  link.previousSelect = s & LINE_SELECT;
  pia.B.In |= LINE_READY;  // the controller is always ready for more
}

const std::array<SegmentRow, 12> SegmentTable = {{
    {0x00, ' ', 0x16},
    {0x3F, '0', 0x00},
    {0x06, '1', 0x01},
    {0x5B, '2', 0x02},
    {0x4F, '3', 0x03},
    {0x66, '4', 0x04},
    {0x6D, '5', 0x05},
    {0x7D, '6', 0x06},
    {0x07, '7', 0x07},
    {0x7F, '8', 0x08},
    {0x67, '9', 0x09},
    {0x79, 'E', 0x0E},
}};

uint8_t SegmentsToChar(uint8_t segments) {
  return LookUp(segments, Column::Segments, Column::Character);
}

uint8_t CharToDigitCode(uint8_t character) {
  return LookUp(character, Column::Character, Column::DigitCode);
}

bool DisplayReceive(DisplayCells& cells, DigitState& shown, uint8_t byte, bool command) {
  if (!command) {
    StoreDataByte(cells, byte);
    return false;
  }
  if (byte == COMMAND_CLEAR) {
    cells = DisplayCells{};
    return false;
  }
  if (byte == COMMAND_REFRESH) {
    Refresh(cells, shown);
    return true;
  }
  return false;  // set-up commands change nothing on show
}

char DigitCharacter(uint8_t value) {
  if (value < 10) return static_cast<char>('0' + value);
  if (value < DIGIT_BLANK) return static_cast<char>('A' + value - 10);
  return ' ';
}

std::string ShownText(const DigitState& digits) {
  std::string text;
  for (std::size_t i = 0; i < digits.digit.size(); ++i) {
    text += DigitCharacter(digits.digit[i]);
    if (digits.point[i]) text += '.';
  }
  return text;
}
