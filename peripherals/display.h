// The display path from the adapter lines to the four digits: the serial
// receiver on the emulation side, and the controller's cell buffer that turns
// received bytes into what the four digit controls and their points show.
// Both are host-independent: the window and the headless runner share them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct Pia;

// Serial receiver: chip select on side B bit 6 (active low), clock on bit 5
// (rising edge), data on CA2, command flag on bit 7.
struct DisplayLink {
  uint8_t shift = 0;
  uint8_t bitCount = 0;
  uint8_t previousClock = 0;
  uint8_t previousSelect = 0x40;
  // Called with each complete byte and side B's In byte (bit 7: command).
  void* context = nullptr;
  void (*sendByte)(void* context, uint8_t byte, uint8_t sideBIn) = nullptr;
};

// Called by the adapter after every side-B data write.
void DisplayLinkUpdate(Pia& pia);

// The receiver and the cell buffer as a kept device holds them (see
// PiaState), and whether values read back can be theirs.
template <class Io, class L>
void DisplayLinkState(Io& io, L& link) {
  io(link.shift, link.bitCount, link.previousClock, link.previousSelect);
}
inline bool DisplayLinkValid(const DisplayLink& link) { return link.bitCount < 8; }

struct SegmentRow {
  uint8_t segments;
  uint8_t character;
  uint8_t digitCode;
};
extern const std::array<SegmentRow, 12> SegmentTable;

uint8_t SegmentsToChar(uint8_t segments);  // 0xFF (with bit 7 kept) when unknown
uint8_t CharToDigitCode(uint8_t character);

constexpr uint8_t DIGIT_BLANK = 16;  // digit values 16 and up show nothing

// Segment bits of a digit control: a (top), b (upper right), c (lower
// right), d (bottom), e (lower left), f (upper left), g (middle).
constexpr uint8_t SEGMENT_A = 0x01, SEGMENT_B = 0x02, SEGMENT_C = 0x04, SEGMENT_D = 0x08,
                  SEGMENT_E = 0x10, SEGMENT_F = 0x20, SEGMENT_G = 0x40;

// What a digit control lights for each value below DIGIT_BLANK: the
// hexadecimal digits 0-9, A b c d E F.
constexpr std::array<uint8_t, DIGIT_BLANK> DigitSegments{
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
    0x7F, 0x6F, 0x77, 0x7C, 0x58, 0x5E, 0x79, 0x71,
};

// What the four digit controls show after the last refresh.
struct DigitState {
  std::array<uint8_t, 4> digit{DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK, DIGIT_BLANK};
  std::array<bool, 4> point{true, true, true, true};  // visible when the window opens
  bool operator==(const DigitState&) const = default;
};

struct DisplayCells {
  std::array<uint8_t, 8> cell{};
  uint8_t dataCounter = 0;
};

template <class Io, class C>
void DisplayCellsState(Io& io, C& cells) {
  io(cells.cell, cells.dataCounter);
}
inline bool DisplayCellsValid(const DisplayCells& cells) { return cells.dataCounter <= 16; }

// One received byte. Returns true when it was a refresh (0x11) and `shown`
// has been updated; data bytes past the eighth are ignored.
bool DisplayReceive(DisplayCells& cells, DigitState& shown, uint8_t byte, bool command);

// The character a digit value shows: '0'-'9', 'A'-'F', or ' ' for a blank.
char DigitCharacter(uint8_t value);

// What the four digits read as: each digit's character, a lit point as "."
// after its digit ("  7.5" has its blanks).
std::string ShownText(const DigitState& digits);
