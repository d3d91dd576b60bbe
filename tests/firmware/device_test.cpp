// The device layer through the runner: start-up with and without the
// emulator's patches, power-off and restart, the inactivity switch-off, the
// alarm after a stuck print mechanism, held keys and the lamps.
#include <gtest/gtest.h>

#include <string>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

TEST(Device, StartsWithOneBeepAndTheIdleDisplay) {
  for (const char* options : {"", "--unpatched"}) {
    const RunResult run = RunFirmware(options);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.Field("stop"), "idle") << options;
    EXPECT_EQ(run.Number("beeps"), 1) << options;
    EXPECT_EQ(run.Shown(), "   0") << options;
    EXPECT_EQ(run.Field("power"), "OFF") << options;
    EXPECT_EQ(run.Number("registers", "SP"), 0x23FF) << options;
    EXPECT_EQ(run.LitLamps(), "-") << options;
    EXPECT_EQ(run.paper, "") << options;
  }
}

TEST(Device, PowerOffKeepsTheDigitsAndRestartBeepsAgain) {
  const RunResult off = RunKeys("FN 4 2 POWER");
  EXPECT_EQ(off.Field("stop"), "off");
  EXPECT_EQ(off.Field("power"), "ON");
  EXPECT_EQ(off.Shown(), "  42");
  EXPECT_EQ(off.Lamp("PRINT"), "false");
  EXPECT_EQ(off.Number("registers", "PC"), 0xCCA5);

  const RunResult on = RunKeys("4 2 POWER POWER");
  EXPECT_EQ(on.Field("stop"), "idle");
  EXPECT_EQ(on.Number("beeps"), 2);
  EXPECT_EQ(on.Shown(), "   0");
}

// The gauge and the unit of lengths (4 A inches, 1 0 A centimetres, shown
// as the gauge's length) are kept; AC All forgets both, and a change of
// unit forgets the gauge.
TEST(Device, TheGaugeAndUnitSurvivePowerOffAndRestartButNotAcAll) {
  EXPECT_EQ(ShownAfter("FA 2 2 S 3 0 R = POWER POWER FC 1 0 X ="), "  22");
  EXPECT_EQ(ShownAfter("FA 2 2 S 3 0 R = NEW FC 1 0 X ="), "  22");
  EXPECT_EQ(ShownAfter("FA 2 2 S 3 0 R = AC FC 1 0 X ="), "   E");
  ExpectKeys({{"4 FA", "   4", 1, "GAUGE"},
              {"4 FA 1 0 FA", "  10", 1, "GAUGE"},
              {"4 FA 2 2 S 3 0 R = POWER POWER FC 1 0 X =", "  55"},  // 22 per 4 in
              {"4 FA 2 2 S 3 0 R = NEW ACNG FC 1 0 X =", "  55"},
              {"4 FA 2 2 S 3 0 R = AC FA 2 2 S 3 0 R = FC 1 0 X =", "  22"},
              {"4 FA 2 2 S 3 0 R = 1 0 FA FC 1 0 X =", "   E", 2},
              {"4 FA 2 2 S 3 0 R = 4 FA FC 1 0 X =", "  55"},  // the same unit again keeps it
              {"3 FA 2 2 S 3 0 R = FC 1 0 X =", "  22"}});       // any other entry is no unit
}

TEST(Device, LampKeysSwitchTheirLamps) {
  ExpectKeys({{"FN", {}, 0, "PRINT"},       {"FN FN", {}, 0, "-"}, {"FJ FJ", {}, 0, "-"},  {"FC", {}, 0, "GAUGE"},
              {"FA 2 S 3 R = FC", {}, 0, "-"}, {"FA ACNG", {}, 0, "-"}, {"FG", {}, 0, "GAUGE"},
              {"FK FG", {}, 0, "M/T"},     {"FE", {}, 0, "-"}});
}

TEST(Device, AHeldKeyActsOnce) { EXPECT_EQ(RunKeys("7", "--hold 2000000").Shown(), "   7"); }

TEST(Inactivity, SwitchesOffUnpatchedOnlyAndAKeyRestartsTheCountdown) {
  // #1042 is no matrix key: "pressing" it lets the wait loop run for the hold.
  const RunResult off = RunKeys("#1042", "--unpatched --hold 9000000");
  EXPECT_EQ(off.status, 0) << off.errors;
  EXPECT_EQ(off.Field("stop"), "off");
  EXPECT_EQ(off.Field("power"), "ON");
  EXPECT_GT(off.Number("instructions"), 1000000);  // a long wait, not at once

  const RunResult patched = RunKeys("#1042", "--hold 9000000");
  EXPECT_EQ(patched.Field("stop"), "idle");
  EXPECT_EQ(patched.Field("power"), "OFF");

  // Two waits each shorter than the countdown, with a key between them.
  const RunResult restarted = RunKeys("#1042 1 #1042", "--unpatched --hold 3000000");
  EXPECT_EQ(restarted.Field("stop"), "idle");
  EXPECT_EQ(restarted.Shown(), "   1");
}

TEST(Alarm, AStuckMechanismBeeps32TimesAndSwitchesOff) {
  // The wait for the home pulse looks at a line that never moves.
  auto image = LoadImage();
  for (size_t i = LoadSymbols().at("wait_home") - 0xC000u; i + 1 < image.size(); ++i) {
    if (image[i] == 0x84 && image[i + 1] == 0x20) {  // ANDA #0x20 (home)
      image[i + 1] = 0x40;
      break;
    }
  }
  ScratchDir scratch;
  const std::string rom = SaveImage(image, scratch.path / "stuck.bin");
  for (const char* keys : {"FM", "FL"}) {
    const RunResult run = RunKeys(keys, "--unpatched", rom);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.Field("stop"), "off") << keys;
    EXPECT_EQ(run.Number("beeps"), 1 + 32) << keys;
    EXPECT_EQ(run.Field("power"), "ON") << keys;
  }
}

}  // namespace
