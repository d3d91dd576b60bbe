// The machine's own thread on the built-in firmware, driven as a shell would:
// commands from other threads, events waited for. Every key press reaches
// the firmware once and in order, however short, and shutdown never hangs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/startup.h"
#include "emulator/keeping.h"
#include "emulator/machine.h"
#include "emulator/machine_internals.h"
#include "tests/support/machine_watch.h"
#include "tests/support/scratch.h"

namespace {

constexpr uint8_t KEY_C = 11;
constexpr uint8_t KEY_PRINTER_TEST = 30;  // L: prints every glyph

class MachineThread : public ::testing::Test {
 protected:
  void SetUp() override {
    if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
    MachineInit(machine, {BuiltinFirmware()});
    MachineStart(machine);
  }

  void Click(uint8_t key) {
    MachineSend(machine, {CommandKind::KeyDown, key});
    MachineSend(machine, {CommandKind::KeyUp, key});
  }
  bool Shows(MachineWatch& watch, const std::string& digits) {
    return watch.WaitFor([&](const DeviceView& view) { return MachineWatch::Shown(view.digits) == digits; });
  }

  Machine machine;
};

TEST_F(MachineThread, ADoubleClickIsTwoPressesAndAHeldKeyOne) {
  MachineWatch watch(machine);
  ASSERT_TRUE(Shows(watch, "   0"));
  Click(2);
  Click(2);  // queued while the first is still in flight
  EXPECT_TRUE(Shows(watch, "  22"));
  MachineSend(machine, {CommandKind::KeyDown, 5});  // held from the PC keyboard
  EXPECT_TRUE(Shows(watch, " 225"));
  MachineSend(machine, {CommandKind::KeyDown, 6});  // waits for 5 to be let go
  MachineSend(machine, {CommandKind::KeyUp, 5});
  MachineSend(machine, {CommandKind::KeyUp, 6});
  EXPECT_TRUE(Shows(watch, "2256"));
  EXPECT_EQ(watch.shown(), (std::vector<std::string>{"   0", "   2", "  22", " 225", "2256"}));
}

// Groups of C and four digits typed from another thread as fast as it can:
// the firmware shows every entry in turn, none lost, none doubled.
TEST_F(MachineThread, EveryPressReachesTheFirmwareInOrder) {
  MachineWatch watch(machine);
  ASSERT_TRUE(Shows(watch, "   0"));
  std::mt19937 random(650);
  std::vector<uint8_t> keys;
  std::vector<std::string> expected{"   0"};
  for (int group = 0; group < 40; ++group) {
    keys.push_back(KEY_C);
    if (expected.back() != "   0") expected.push_back("   0");
    std::string entry;
    for (int i = 0; i < 4; ++i) {
      const uint8_t digit = static_cast<uint8_t>(1 + random() % 9);
      keys.push_back(digit);
      entry += static_cast<char>('0' + digit);
      expected.push_back(std::string(4 - entry.size(), ' ') + entry);
    }
  }
  std::thread typist([&] {
    for (uint8_t key : keys) Click(key);
  });
  EXPECT_TRUE(watch.WaitFor([&](const DeviceView&) { return watch.shown().size() >= expected.size(); }));
  typist.join();
  EXPECT_EQ(watch.shown(), expected);
}

// Printing, and the paper feed button, mark the device to be kept at its
// next rest. Here a folder stands where the file would go, so the save is
// refused, and that is told.
class KeptAtRest : public MachineThread, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
    MachineInit(machine, {BuiltinFirmware()});
    keeping = std::make_unique<DeviceKeeping>(machine, dir.path, true);
    MachineStart(machine);
  }
  void TearDown() override { keeping.reset(); }  // both threads stopped before the folder goes
  ScratchDir dir;
  std::unique_ptr<DeviceKeeping> keeping;
};

TEST_P(KeptAtRest, AChangedPaperKeepsTheDeviceAtItsNextRest) {
  const bool printing = GetParam();
  MachineWatch watch(machine);
  ASSERT_TRUE(Shows(watch, "   0"));
  printing ? Click(KEY_PRINTER_TEST) : MachineSend(machine, {CommandKind::PaperFeed});
  const auto failed = [&] {
    for (const Event& event : watch.events())
      if (event.kind == EventKind::StateFailed) return &event;
    return static_cast<const Event*>(nullptr);
  };
  ASSERT_TRUE(watch.WaitFor([&](const DeviceView&) { return failed() != nullptr; }));
  EXPECT_NE(watch.view().paper.find(printing ? "0123456789.,-+=/" : "\r\n"), std::string::npos);
  EXPECT_EQ(failed()->text, dir.path.string() + ": cannot be saved: it is a folder, not a regular file");
}
INSTANTIATE_TEST_SUITE_P(PrintingOrFeeding, KeptAtRest, ::testing::Bool());

// Stopping with commands still queued, the device busy or asleep, and the
// idle saves' thread writing, ends both threads and leaves nothing behind
// but a whole state file (ThreadSanitizer and ASan watch this).
TEST(MachineShutdown, StopsWhateverIsQueued) {
  if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
  ScratchDir scratch;
  for (int round = 0; round < 3; ++round) {
    Machine machine;
    MachineInit(machine, {BuiltinFirmware()});
    DeviceKeeping keeping(machine, scratch / "device.state", true);
    MachineStart(machine);
    std::thread typist([&] {
      for (int i = 0; i < 500; ++i) {
        MachineSend(machine, {CommandKind::KeyDown, static_cast<uint8_t>(i % 10)});
        MachineSend(machine, {CommandKind::KeyUp, static_cast<uint8_t>(i % 10)});
        if (i % 50 == 0) MachineSend(machine, {CommandKind::PaperFeed});  // something to keep
        if (i == 250 && round == 1) MachineSend(machine, {CommandKind::Power});
      }
    });
    if (round == 2) typist.join();
    MachineStop(machine);
    if (typist.joinable()) typist.join();
  }
  // Whether the device found an idle moment to keep itself depends on the
  // timing; what it kept must be whole.
  Machine restored;
  MachineInit(restored, {BuiltinFirmware()});
  EXPECT_EQ(DeviceKeeping(restored, scratch / "device.state", true).Restore(), "");
}

// A command sent after the thread found the device idle but before it
// waits is served at once, not left until the next command comes: the hook
// sends it just there, to a device stopped for good (paper still feeds).
TEST(MachineWakeUp, ACommandSentJustBeforeTheIdleWaitIsServed) {
  const std::vector<uint8_t> image(FIRMWARE_SIZE, 0x00);  // the reset vector's opcode is undecoded
  int waits = 0;  // the hook's, on the machine's thread
  Machine machine;
  MachineInit(machine, {image});
  MachineInternals::BeforeIdleWait(machine, [&] {
    if (waits++ == 0) MachineSend(machine, {CommandKind::PaperFeed});
  });
  MachineWatch watch(machine);
  MachineStart(machine);
  EXPECT_TRUE(watch.WaitFor([](const DeviceView& view) { return view.paper == "\r\n"; }, std::chrono::seconds(5)));
  EXPECT_EQ(watch.view().stop, StopReason::Undecoded);
}

}  // namespace
