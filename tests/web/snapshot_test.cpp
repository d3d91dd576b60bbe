// The device's snapshot for the web page: a device saved mid-calculation, or
// switched off, and loaded into a fresh machine carries on exactly as the
// one saved; anything else is refused and leaves the machine as it was.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "web/snapshot.h"

namespace {

// Device keys, row * 8 + column.
constexpr uint8_t S = 14, R = 15, X = 16, Y = 17, FA = 19, FH = 26, FN = 32, EQUALS = 34;

std::unique_ptr<Machine> StartedDevice() {
  auto machine = std::make_unique<Machine>();
  MachineInit(*machine, {BuiltinFirmware(), true, nullptr});
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

// Everything of the device but the paper, which the page keeps itself.
void ExpectSameDevice(const Machine& a, const Machine& b) {
  EXPECT_EQ(a.core.memory, b.core.memory);
  EXPECT_EQ(a.core.cpu.PC, b.core.cpu.PC);
  EXPECT_EQ(a.core.cpu.SP, b.core.cpu.SP);
  const DeviceView va = MachineView(a), vb = MachineView(b);
  EXPECT_EQ(va.digits, vb.digits);
  EXPECT_EQ(va.lamps, vb.lamps);
  EXPECT_EQ(va.on, vb.on);
  EXPECT_EQ(va.beeps, vb.beeps);
}

class Snapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
  }
};

TEST_F(Snapshot, ALoadedDeviceCarriesOnAsTheOneSaved) {
  for (bool switchOff : {false, true}) {
    auto original = StartedDevice();
    Press(*original, {FN, FA, 2, 2, S, 3, 0, R, EQUALS, FH, 8, X});
    if (switchOff) {
      MachineSend(*original, {CommandKind::Power});
      ServeCommands(*original);
      RunToIdle(*original);
    }
    auto copy = StartedDevice();
    ASSERT_EQ(LoadSnapshot(*copy, SaveSnapshot(*original)), SnapshotError::None);
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
    if (switchOff) continue;  // switching on again starts the firmware afresh
    const std::string printed = MachineView(*copy).paper;
    EXPECT_NE(printed.find("CURVE LINE"), std::string::npos);
    EXPECT_TRUE(MachineView(*original).paper.ends_with(printed));
  }
}

TEST_F(Snapshot, AnythingElseIsRefusedAndChangesNothing) {
  auto saved = StartedDevice();
  Press(*saved, {FA, 2, 2, S});
  const std::vector<uint8_t> good = SaveSnapshot(*saved);
  struct Case {
    const char* what;
    void (*spoil)(std::vector<uint8_t>&);
    SnapshotError error;
  };
  const Case cases[] = {
      {"nothing", [](std::vector<uint8_t>& b) { b.clear(); }, SnapshotError::NotASnapshot},
      {"no magic", [](std::vector<uint8_t>& b) { b[0] = 'X'; }, SnapshotError::NotASnapshot},
      {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }, SnapshotError::NotASnapshot},
      {"another version", [](std::vector<uint8_t>& b) { ++b[4]; }, SnapshotError::OtherVersion},
      {"another firmware", [](std::vector<uint8_t>& b) { b[6] ^= 1; }, SnapshotError::OtherFirmware},
      // After the header (10 bytes), A, B, X, SP, PC, CCR and the opcode:
      // the halted flag, which is 0 or 1.
      {"a flag of 2", [](std::vector<uint8_t>& b) { b[20] = 2; }, SnapshotError::Damaged},
  };
  for (const Case& c : cases) {
    auto device = StartedDevice();
    Press(*device, {FN, 7});
    auto untouched = StartedDevice();
    Press(*untouched, {FN, 7});
    std::vector<uint8_t> bytes = good;
    c.spoil(bytes);
    EXPECT_EQ(LoadSnapshot(*device, bytes), c.error) << c.what;
    EXPECT_STRNE(SnapshotErrorText(c.error), "") << c.what;
    ExpectSameDevice(*device, *untouched);
  }
}

}  // namespace
