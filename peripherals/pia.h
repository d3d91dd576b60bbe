// The 6821-style peripheral interface adapter at 0x4000-0x4003. Side A reads
// the keypad columns; side B selects the keypad row and drives the display's
// serial link (bits 5-7, with CA2 as the data line).
#pragma once

#include <cstdint>

struct KeyRows;
struct DisplayLink;

struct PiaSide {
  uint8_t Out = 0;
  uint8_t In = 0;
  uint8_t Ddr = 0;
  uint8_t Ctrl = 0;  // bit 2: data register selected; bit 3: CA2/CB2 level
};

struct Pia {
  PiaSide A;
  PiaSide B;
  const KeyRows* keys = nullptr;    // recomputes A.In on every side-B write
  DisplayLink* display = nullptr;   // fed on every side-B data write
};

void PiaReset(Pia& pia);  // wiring is kept

// The adapter's registers as a kept device holds them: `io` is handed every
// field in a fixed order, to write them or to read them back.
template <class Io, class P>
void PiaState(Io& io, P& pia) {
  for (auto* side : {&pia.A, &pia.B}) io(side->Out, side->In, side->Ddr, side->Ctrl);
}
// Whether the side's data register (not its direction register) is selected.
inline bool PiaDataSelected(const PiaSide& side) { return (side.Ctrl & 0x04) != 0; }
uint8_t PiaRead(Pia& pia, uint16_t address);

constexpr uint8_t PIA_CTRL_FLAGS = 0xC0;  // interrupt flags: readable, never written

inline void PiaWriteControl(PiaSide& side, uint8_t value) {
  side.Ctrl = static_cast<uint8_t>((value & ~PIA_CTRL_FLAGS) | (side.Ctrl & PIA_CTRL_FLAGS));
}
// Every write but side A's control register, which reacts with nothing else.
void PiaWriteReacting(Pia& pia, uint16_t address, uint8_t value);

// Side A's control register carries the display's data line (CA2), so it is
// the firmware's busiest store: it is served in line.
inline void PiaWrite(Pia& pia, uint16_t address, uint8_t value) {
  if ((address & 3) == 1) {
    PiaWriteControl(pia.A, value);
    return;
  }
  PiaWriteReacting(pia, address, value);
}
