// The device layer through the runner: start-up, power-off and restart, the
// inactivity switch-off, the alarm after a stuck print mechanism, paper feed
// and the lamps, with the emulator's patches and without them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

struct Mode {
  const char* name;
  const char* flag;
};
const Mode kModes[] = {{"Patched", ""}, {"Unpatched", "--unpatched "}};

class DeviceLayer : public ::testing::TestWithParam<Mode> {
 protected:
  RunResult RunKeys(const std::string& keys, const std::string& extra = "") {
    return RunFirmware(std::string(GetParam().flag) + extra + "--keys '" + keys + "'");
  }
};

TEST_P(DeviceLayer, StartsWithOneBeepAndTheIdleDisplay) {
  const RunResult run = RunFirmware(GetParam().flag);
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_EQ(Number(run.report, "beeps"), 1);
  EXPECT_EQ(Field(run.report, "shown"), "   0");
  EXPECT_EQ(Field(run.report, "points"), "[false, false, false, false]");
  EXPECT_EQ(Field(run.report, "power"), "OFF");
  EXPECT_EQ(Inner(run.report, "registers", "SP"), "9215");
  EXPECT_EQ(Inner(run.report, "registers", "PC"), "57872");  // 0xE210
  for (const char* lamp : {"GAUGE", "MODE", "M/T", "ARC LENGTH", "PRINT"}) {
    EXPECT_EQ(Inner(run.report, "lamps", lamp), "false") << lamp;
  }
  EXPECT_EQ(run.paper, "");
}

TEST_P(DeviceLayer, PowerOffKeepsTheDigitsAndRestartBeepsAgain) {
  RunResult off = RunKeys("FN 4 2 POWER");
  EXPECT_EQ(Field(off.report, "stop"), "off");
  EXPECT_EQ(Field(off.report, "power"), "ON");
  EXPECT_EQ(Field(off.report, "shown"), "  42");
  EXPECT_EQ(Inner(off.report, "lamps", "PRINT"), "false");
  EXPECT_EQ(Inner(off.report, "registers", "PC"), "52389");  // 0xCCA5

  RunResult on = RunKeys("4 2 POWER POWER");
  EXPECT_EQ(Field(on.report, "stop"), "idle");
  EXPECT_EQ(Number(on.report, "beeps"), 2);
  EXPECT_EQ(Field(on.report, "shown"), "   0");
}

TEST_P(DeviceLayer, TheGaugeSurvivesPowerOffButNotAcAll) {
  RunResult kept = RunKeys("FA 2 2 S 3 0 R = POWER POWER FC 1 0 X =");
  EXPECT_EQ(Field(kept.report, "shown"), "  22");
  RunResult renewed = RunKeys("FA 2 2 S 3 0 R = NEW FC 1 0 X =");
  EXPECT_EQ(Field(renewed.report, "shown"), "  22");
  RunResult cleared = RunKeys("FA 2 2 S 3 0 R = AC FC 1 0 X =");
  EXPECT_EQ(Field(cleared.report, "shown"), "   E");
}

TEST_P(DeviceLayer, PaperFeedKeyFeedsOneLine) {
  const RunResult run = RunKeys("FM FM");
  EXPECT_EQ(run.paper, "\r\n\r\n");
  EXPECT_EQ(Field(run.report, "stop"), "idle");
}

TEST_P(DeviceLayer, LampKeysSwitchTheirLamps) {
  struct Case {
    const char* keys;
    const char* lamp;
    const char* lit;
  };
  const Case cases[] = {
      {"FN", "PRINT", "true"},     {"FN FN", "PRINT", "false"}, {"FJ", "MODE", "true"},
      {"FJ FJ", "MODE", "false"},  {"FK", "M/T", "true"},       {"FA", "GAUGE", "true"},
      {"FA 2 S 3 R =", "GAUGE", "false"}, {"FC", "GAUGE", "true"},
      {"FA 2 S 3 R = FC", "GAUGE", "false"}, {"FA ACNG", "GAUGE", "false"},
  };
  for (const Case& c : cases) {
    const RunResult run = RunKeys(c.keys);
    EXPECT_EQ(Inner(run.report, "lamps", c.lamp), c.lit) << c.keys;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, DeviceLayer, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// A control that is no matrix key: "pressing" it just lets the firmware run
// its wait loop for the hold time.
constexpr const char* kWait = "--keys '#1042' --hold 9000000";

TEST(Inactivity, SwitchesTheDeviceOffWhenUnpatched) {
  const RunResult run = RunFirmware(std::string("--unpatched ") + kWait);
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Field(run.report, "stop"), "off");
  EXPECT_EQ(Field(run.report, "power"), "ON");
  EXPECT_GT(Number(run.report, "instructions"), 1000000);  // a long wait, not at once
}

TEST(Inactivity, NeverSwitchesOffWithThePatch) {
  const RunResult run = RunFirmware(kWait);
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_EQ(Field(run.report, "power"), "OFF");
}

TEST(Inactivity, AKeyStartsTheCountdownAgain) {
  // Two waits each shorter than the countdown, with a key between them.
  const RunResult run = RunFirmware("--unpatched --keys '#1042 1 #1042' --hold 3000000");
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_EQ(Field(run.report, "shown"), "   1");
}

// The print mechanism stops answering: the wait for the home pulse looks at a
// line that never moves.
std::vector<uint8_t> StuckMechanismImage() {
  auto image = LoadImage();
  const auto symbols = LoadSymbols();
  for (size_t i = symbols.at("wait_home") - 0xC000u; i + 1 < image.size(); ++i) {
    if (image[i] == 0x84 && image[i + 1] == 0x20) {  // ANDA #0x20 (home)
      image[i + 1] = 0x40;
      break;
    }
  }
  return image;
}

TEST(Alarm, AStuckMechanismBeeps32TimesAndSwitchesOff) {
  ScratchDir scratch;
  const std::string rom = SaveImage(StuckMechanismImage(), scratch.path() / "stuck.bin");
  for (const char* keys : {"FM", "FL"}) {
    const RunResult run = RunFirmware(std::string("--unpatched --keys '") + keys + "'", rom);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Field(run.report, "stop"), "off") << keys;
    EXPECT_EQ(Number(run.report, "beeps"), 1 + 32) << keys;
    EXPECT_EQ(Field(run.report, "power"), "ON") << keys;
  }
}

TEST(Alarm, NotReachedWhenTheHostPrints) {
  ScratchDir scratch;
  const std::string rom = SaveImage(StuckMechanismImage(), scratch.path() / "stuck.bin");
  const RunResult run = RunFirmware("--keys 'FM'", rom);
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_EQ(Number(run.report, "beeps"), 1);
}

TEST(KeyScan, EveryMatrixKeyIsSeen) {
  // Each key's effect from the idle state, which tells that the scan found
  // exactly that key: digits show themselves, the others leave known traces.
  for (int digit = 0; digit <= 9; ++digit) {
    const RunResult run = RunFirmware("--keys '" + std::to_string(digit) + "'");
    EXPECT_EQ(Field(run.report, "shown"), "   " + std::to_string(digit));
  }
  EXPECT_EQ(Field(RunFirmware("--keys '.'").report, "shown"), "   0.");
  EXPECT_EQ(Field(RunFirmware("--keys 'S'").report, "shown"), "   E");
  EXPECT_EQ(Field(RunFirmware("--keys 'Z'").report, "shown"), "   E");
  EXPECT_EQ(Field(RunFirmware("--keys 'FE 6 0 R 8 Z ='").report, "shown"), "  60");
  EXPECT_EQ(Field(RunFirmware("--keys 'FL'").report, "shown"), "   0");
  EXPECT_EQ(Lines(RunFirmware("--keys 'FL'").paper).size(), 5u);
  EXPECT_EQ(Inner(RunFirmware("--keys 'FN'").report, "lamps", "PRINT"), "true");
  EXPECT_EQ(RunFirmware("--keys 'FM'").paper, "\r\n");
}

TEST(KeyScan, AHeldKeyActsOnce) {
  const RunResult run = RunFirmware("--keys '7' --hold 2000000");
  EXPECT_EQ(Field(run.report, "shown"), "   7");
}

}  // namespace
