// The device kept between runs, on the built-in firmware: kept mid-calculation
// or switched off and restored into a fresh machine, it carries on exactly as
// the one kept.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "emulator/machine_state.h"

namespace {

// Device keys, row * 8 + column.
constexpr uint8_t S = 14, R = 15, X = 16, Y = 17, FA = 19, FH = 26, FN = 32, EQUALS = 34;

std::unique_ptr<Machine> StartedDevice() {
  auto machine = std::make_unique<Machine>();
  MachineInit(*machine, {BuiltinFirmware()});
  return machine;
}

void RunToIdle(Machine& m) {
  for (int slices = 0; slices < 1000 && !MachineIdle(m); ++slices) RunSlice(m, 100000);
  ASSERT_TRUE(MachineIdle(m));
}

void Press(Machine& m, std::initializer_list<uint8_t> keys) {
  RunToIdle(m);
  for (uint8_t key : keys) {
    MachineSend(m, {CommandKind::KeyDown, key});
    MachineSend(m, {CommandKind::KeyUp, key});
    ServeCommands(m);
    RunToIdle(m);
  }
}

// Everything of the device a knitter could tell apart.
void ExpectSameDevice(const Machine& a, const Machine& b) {
  EXPECT_EQ(a.core.memory, b.core.memory);
  EXPECT_EQ(a.core.cpu.PC, b.core.cpu.PC);
  EXPECT_EQ(a.core.cpu.SP, b.core.cpu.SP);
  const DeviceView va = MachineView(a), vb = MachineView(b);
  EXPECT_EQ(va.digits, vb.digits);
  EXPECT_EQ(va.lamps, vb.lamps);
  EXPECT_EQ(va.on, vb.on);
  EXPECT_EQ(va.beeps, vb.beeps);
  EXPECT_EQ(va.paper, vb.paper);
}

class KeptDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
  }
};

TEST_F(KeptDevice, ARestoredDeviceCarriesOnAsTheOneKept) {
  for (bool switchOff : {false, true}) {
    auto original = StartedDevice();
    Press(*original, {FN, FA, 2, 2, S, 3, 0, R, EQUALS, FH, 8, X});
    if (switchOff) {
      MachineSend(*original, {CommandKind::Power});
      ServeCommands(*original);
      RunToIdle(*original);
    }
    auto copy = StartedDevice();
    ASSERT_TRUE(RestoreMachineStateBytes(*copy, MachineStateBytes(*original)).ok());
    ExpectSameDevice(*original, *copy);
    for (Machine* m : {original.get(), copy.get()}) {
      if (switchOff) {
        EXPECT_FALSE(MachineView(*m).on);
        MachineSend(*m, {CommandKind::Power});
        ServeCommands(*m);
      }
      Press(*m, {6, Y, EQUALS, EQUALS});
    }
    ExpectSameDevice(*original, *copy);
    if (!switchOff) {
      EXPECT_NE(MachineView(*copy).paper.find("CURVE LINE"), std::string::npos);
    }
  }
}

}  // namespace
