// The adapter's four registers. Side-B writes are where the keypad row code
// and the display's serial receiver get their chance to react.
#include "peripherals/pia.h"

#include "peripherals/display.h"
#include "peripherals/keypad.h"

namespace {

constexpr uint8_t CTRL_DATA_SELECTED = 0x04;

bool IsControlRegister(uint16_t address) { return (address & 1) != 0; }
bool IsSideB(uint16_t address) { return (address & 2) != 0; }

PiaSide& SideFor(Pia& pia, uint16_t address) { return IsSideB(address) ? pia.B : pia.A; }

// Side A shows the columns of whichever row side B selects, so it can only
// change when side B is written.
void RecomputeColumns(Pia& pia) {
  if (pia.keys) pia.A.In = KeypadRowCode(*pia.keys, pia.B.Ctrl, pia.B.Out);
}

}  // namespace

void PiaReset(Pia& pia) {
  pia.A = PiaSide{};
  pia.B = PiaSide{};
  pia.A.In = 0xFF;  // no key down
  pia.B.In = 0x10;  // display controller ready
}

uint8_t PiaRead(Pia& pia, uint16_t address) {
  PiaSide& side = SideFor(pia, address);
  if (IsControlRegister(address)) {
    const uint8_t ctrl = side.Ctrl;
    side.Ctrl &= static_cast<uint8_t>(~PIA_CTRL_FLAGS);
    return ctrl;
  }
  return (side.Ctrl & CTRL_DATA_SELECTED) ? side.In : side.Ddr;
}

void PiaWriteReacting(Pia& pia, uint16_t address, uint8_t value) {
  PiaSide& side = SideFor(pia, address);
  const bool sideB = IsSideB(address);
  if (IsControlRegister(address)) {
    PiaWriteControl(side, value);
    if (sideB) RecomputeColumns(pia);
    return;
  }
  if (!(side.Ctrl & CTRL_DATA_SELECTED)) {
    side.Ddr = value;
    return;
  }
  side.Out = value;
  side.In = static_cast<uint8_t>((side.In & ~side.Ddr) | (value & side.Ddr));
  if (sideB) {
    RecomputeColumns(pia);
    if (pia.display) DisplayLinkUpdate(pia);
  }
}
