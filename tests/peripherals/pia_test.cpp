// The adapter's register map, its flag bits, and what side-B writes set off.
#include <gtest/gtest.h>

#include "peripherals/display.h"
#include "peripherals/keypad.h"
#include "peripherals/pia.h"

namespace {

void FirmwareSetUp(Pia& pia) {
  for (auto [address, value] : {std::pair{0x4001, 0x00}, {0x4003, 0x00}, {0x4000, 0x00},
                                {0x4002, 0xEF}, {0x4001, 0x34}, {0x4003, 0x3C}})
    PiaWrite(pia, static_cast<uint16_t>(address), static_cast<uint8_t>(value));
}

TEST(Pia, ResetSetsPowerOnValuesAndKeepsWiring) {
  KeyRows keys;
  DisplayLink link;
  Pia pia;
  pia.A = {1, 2, 3, 4};
  pia.B = {5, 6, 7, 8};
  pia.keys = &keys;
  pia.display = &link;
  PiaReset(pia);
  EXPECT_EQ(pia.A.In, 0xFF);
  EXPECT_EQ(pia.B.In, 0x10);
  EXPECT_EQ(pia.A.Out | pia.A.Ddr | pia.A.Ctrl | pia.B.Out | pia.B.Ddr | pia.B.Ctrl, 0);
  EXPECT_EQ(pia.keys, &keys);
  EXPECT_EQ(pia.display, &link);
  EXPECT_EQ(PiaRead(pia, 0x4000), 0x00) << "DDR is selected after reset";
  FirmwareSetUp(pia);
  EXPECT_EQ(PiaRead(pia, 0x4000), 0xFF);
  EXPECT_EQ(PiaRead(pia, 0x4002), pia.B.In);
}

// Reading a control register returns the flags once and clears them;
// writing one never touches them.
TEST(Pia, ControlFlagsAreReadOnceAndNeverWritten) {
  for (uint16_t address : {0x4001, 0x4003}) {
    Pia pia;
    PiaReset(pia);
    PiaSide& side = address == 0x4001 ? pia.A : pia.B;
    side.Ctrl = 0xC4;
    EXPECT_EQ(PiaRead(pia, address), 0xC4) << address;
    EXPECT_EQ(PiaRead(pia, address), 0x04) << address;
    side.Ctrl = 0x80;
    PiaWrite(pia, address, 0xFF);
    EXPECT_EQ(side.Ctrl, 0xBF) << address;
    side.Ctrl = 0xC0;
    PiaWrite(pia, address, 0x00);
    EXPECT_EQ(side.Ctrl, 0xC0) << address;
  }
}

TEST(Pia, SideBControlWriteRecomputesColumnsButSideAWriteDoesNot) {
  KeyRows keys;
  keys.row[4] = 0xFE;
  Pia pia;
  PiaReset(pia);
  pia.keys = &keys;
  pia.B.Out = 0xFF;
  PiaWrite(pia, 0x4001, 0x34);
  EXPECT_EQ(pia.A.In, 0xFF);
  PiaWrite(pia, 0x4003, 0x34);  // CB2 low selects row 4
  EXPECT_EQ(pia.A.In, 0xFE);
  PiaWrite(pia, 0x4003, 0x3C);
  EXPECT_EQ(pia.A.In, 0xFF);
}

TEST(Pia, DdrWriteNeitherRecomputesNorFeedsDisplay) {
  KeyRows keys;
  keys.row[0] = 0xFE;
  DisplayLink link;
  Pia pia;
  PiaReset(pia);
  pia.keys = &keys;
  pia.display = &link;
  PiaWrite(pia, 0x4002, 0x00);
  EXPECT_EQ(pia.B.Ddr, 0x00);
  EXPECT_EQ(pia.B.Out, 0x00);
  EXPECT_EQ(pia.A.In, 0xFF);
  EXPECT_EQ(link.previousSelect, 0x40) << "the receiver must not have run";
}

TEST(Pia, DataWriteKeepsInputBitsAndLinkForcesReadyLine) {
  struct Case {
    bool wired;
    uint8_t inBefore, value, inAfter;
  };
  const Case cases[] = {
      {false, 0x10, 0x00, 0x10},  // bit 4 is an input: kept high
      {false, 0x00, 0xFF, 0xEF},  // ...and kept low
      {true, 0x00, 0xFF, 0xFF},   // the receiver then reports ready
      {true, 0x00, 0x00, 0x10},
  };
  for (const Case& c : cases) {
    DisplayLink link;
    Pia pia;
    PiaReset(pia);
    FirmwareSetUp(pia);
    if (c.wired) pia.display = &link;
    pia.B.In = c.inBefore;
    PiaWrite(pia, 0x4002, c.value);
    EXPECT_EQ(pia.B.Out, c.value);
    EXPECT_EQ(pia.B.In, c.inAfter) << int(c.inBefore) << " " << int(c.value) << " " << c.wired;
  }
}

}  // namespace
