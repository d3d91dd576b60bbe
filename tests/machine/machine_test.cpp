// The run loop on small images of its own: traps, patches, commands, power,
// stops, the log and the view.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "emulator/machine.h"
#include "emulator/machine_internals.h"
#include "emulator/machine_state.h"

namespace {

class MachineTest : public ::testing::Test {
 protected:
  // `code` at 0xC000; every patched routine and trap keeps its place.
  void Start(std::initializer_list<uint8_t> code, bool patched = true) {
    image.assign(FIRMWARE_SIZE, 0x01);  // NOPs
    std::copy(code.begin(), code.end(), image.begin());
    image[RESET_VECTOR - FIRMWARE_BASE] = 0xC0;
    image[RESET_VECTOR - FIRMWARE_BASE + 1] = 0x00;
    for (uint16_t a : {TRAP_TONE, TRAP_PRINT_LINE, TRAP_LINE_FEED}) image[a - FIRMWARE_BASE] = 0x39;
    const uint8_t sleepAndLoop[] = {0x1A, 0x20, 0xFE};  // SLP; BRA *
    std::copy(std::begin(sleepAndLoop), std::end(sleepAndLoop), image.begin() + (TRAP_SLEEP - FIRMWARE_BASE));
    machine = std::make_unique<Machine>();
    log = std::tmpfile();
    MachineInit(*machine, {image, patched, SessionLog{log, "test.log", {}}});
  }
  void TearDown() override {
    if (log) std::fclose(log);
  }

  // A call of `routine` from 0xC000, followed by a branch to itself.
  void CallFromReset(uint16_t routine) { Start({0x8E, 0x23, 0xFF, 0xBD, uint8_t(routine >> 8), uint8_t(routine), 0x20, 0xFE}); }
  void Run(int steps) {
    for (int i = 0; i < steps; ++i) Step(*machine);
  }
  void Poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) core().memory[address++] = b;
  }
  std::string LogText() {
    std::fflush(log);
    std::rewind(log);
    std::string text;
    for (int c; (c = std::fgetc(log)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  std::vector<EventKind> Drained() {
    std::vector<Event> events;
    MachineDrain(*machine, events);
    std::vector<EventKind> kinds;
    for (const Event& e : events) kinds.push_back(e.kind);
    return kinds;
  }

  Core& core() { return MachineInternals::core(*machine); }

  std::vector<uint8_t> image;
  std::unique_ptr<Machine> machine;
  std::FILE* log = nullptr;
};

// The print-line and line-feed traps write to the log and the pane, and the
// patched routines return at once; a line ends at 16 characters. The code
// mapping is checked against the firmware's own print routine.
TEST_F(MachineTest, PrintTrapsWriteTheSameTextToLogAndPane) {
  struct Case {
    uint16_t routine;
    std::initializer_list<uint8_t> buffer;
    std::string expected;
  };
  const Case cases[] = {
      {TRAP_LINE_FEED, {}, "\r\n"},
      {TRAP_PRINT_LINE, {'A', '\r', 'B', 0x80}, "A\r\nB\r\n"},
      {TRAP_PRINT_LINE, {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F', 'Z'},
       "0123456789ABCDEF\r\n"},
  };
  for (const Case& c : cases) {
    CallFromReset(c.routine);
    Poke(PRINT_BUFFER, c.buffer);
    Run(4);  // LDS, JSR (trap), RTS, BRA
    EXPECT_EQ(MachineView(*machine).paper, c.expected);
    EXPECT_EQ(LogText(), c.expected);
    EXPECT_EQ(core().cpu.PC, 0xC006);
    std::vector<Event> events;
    MachineDrain(*machine, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].logged);
  }
}

// A shell that drains nothing for a long while gets every beep and every
// piece of paper, in order; only displays and lamps may stand for the ones
// before them. Port 2 reaches the lamps, but never from the tone's two
// beeper stores.
TEST_F(MachineTest, AShellThatLagsLosesNoBeepAndNoPaper) {
  const uint8_t tone = TRAP_TONE >> 8, toneLow = TRAP_TONE & 0xFF;
  const uint8_t feed = TRAP_LINE_FEED >> 8, feedLow = TRAP_LINE_FEED & 0xFF;
  // LDS; then again and again: JSR tone x2; JSR feed x2; INCA; STAA *3
  Start({0x8E, 0x23, 0xFF, 0xBD, tone, toneLow, 0xBD, tone, toneLow, 0xBD, feed, feedLow, 0xBD, feed, feedLow, 0x4C,
         0x97, 0x03, 0x20, 0xEF});
  // LDAA #$80; STAA *3 (beeper); CLRA; STAA *3 (beeper); RTS
  Poke(TRAP_TONE, {0x86, 0x80, 0x01, 0x01, 0x01, 0x01, 0x97, 0x03, 0x4F, 0x01, 0x01, 0x01, 0x01, 0x01, 0x97, 0x03, 0x39});
  constexpr int ROUNDS = 300;  // well past the point where events coalesce
  Run(1 + ROUNDS * 37);
  std::vector<Event> events;
  MachineDrain(*machine, events);
  DeviceView seen;
  int beeps = 0, papers = 0, lamps = 0;
  for (const Event& event : events) {
    ApplyEvent(seen, event);
    beeps += event.kind == EventKind::Beep;
    papers += event.kind == EventKind::Paper;
    lamps += event.kind == EventKind::Lamps;
  }
  EXPECT_EQ(beeps, 2 * ROUNDS);
  EXPECT_EQ(papers, 2 * ROUNDS);
  EXPECT_EQ(lamps, 1) << "port 2 changes once: to 1";
  const DeviceView view = MachineView(*machine);
  EXPECT_TRUE(seen.paper == view.paper);
  EXPECT_EQ(seen.beeps, view.beeps);
  EXPECT_EQ(seen.lamps, 1);
}

// Power: off runs the power-off sequence (the pane is emptied), whose SLP
// marks the device off and whose loop idles; on restarts at the reset entry.
TEST_F(MachineTest, PowerCommandsJumpAndTheSleepMarksTheDeviceOff) {
  Start({0x20, 0xFE});
  MachineSend(*machine, {CommandKind::PaperFeed});
  Step(*machine);
  EXPECT_EQ(MachineView(*machine).paper, "\r\n");
  MachineSend(*machine, {CommandKind::Power});
  Step(*machine);
  EXPECT_EQ(core().cpu.PC, ENTRY_POWER_OFF) << "served after the instruction";
  DeviceView view = MachineView(*machine);
  EXPECT_FALSE(view.on);
  EXPECT_EQ(view.paper, "");
  StepResult last = StepResult::Ran;
  for (int i = 0; i < 20 && last != StepResult::OffLoop; ++i) last = Step(*machine);
  EXPECT_EQ(last, StepResult::OffLoop);
  EXPECT_TRUE(MachineIdle(*machine));
  MachineSend(*machine, {CommandKind::KeyDown, 5});
  MachineSend(*machine, {CommandKind::Power});
  Step(*machine);
  EXPECT_EQ(core().cpu.PC, ENTRY_RESET);
  EXPECT_TRUE(MachineView(*machine).on);
  EXPECT_TRUE(KeysIdle(*machine)) << "a key pressed while off goes nowhere";
}

// An undecoded opcode, CLI or SEI stops for good, at the opcode's own address,
// and says so once; paper commands still work.
TEST_F(MachineTest, StopsAreForGoodAndReportedOnce) {
  for (auto [opcode, result, reason] : {std::tuple{0x00, StepResult::Undecoded, StopReason::Undecoded},
                                        std::tuple{0x0E, StepResult::Halted, StopReason::Halted},
                                        std::tuple{0x0F, StepResult::Halted, StopReason::Halted}}) {
    Start({0x01, static_cast<uint8_t>(opcode), 0x01});
    EXPECT_EQ(Step(*machine), StepResult::Ran);
    EXPECT_EQ(Step(*machine), result);
    const uint16_t pc = core().cpu.PC;
    EXPECT_EQ(Step(*machine), result);
    EXPECT_EQ(core().cpu.PC, pc) << "nothing further runs";
    MachineSend(*machine, {CommandKind::New});
    MachineSend(*machine, {CommandKind::PaperFeed});
    ServeCommands(*machine);
    const DeviceView view = MachineView(*machine);
    EXPECT_EQ(view.stop, reason);
    EXPECT_EQ(view.stopAddress, 0xC001);
    EXPECT_EQ(view.stopOpcode, opcode);
    EXPECT_EQ(view.paper, "\r\n");
    EXPECT_EQ(core().cpu.PC, pc) << "no restart after a stop";
    EXPECT_EQ(Drained(), (std::vector<EventKind>{EventKind::Stopped, EventKind::Paper}));
  }
}

// A log that cannot be written is reported once; the pane keeps the text.
TEST_F(MachineTest, LogWriteFailureIsToldOnceAndThePaneKeepsEverything) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  CallFromReset(TRAP_LINE_FEED);
  MachineInternals::log(*machine) = SessionLog{full, "/dev/full", {}};
  Run(4);
  core().cpu.PC = 0xC003;
  Run(3);
  EXPECT_EQ(MachineView(*machine).paper, "\r\n\r\n");
  EXPECT_EQ(Drained(), (std::vector<EventKind>{EventKind::LogFailed, EventKind::Paper, EventKind::Paper}));
  EXPECT_EQ(MachineInternals::log(*machine).stream, nullptr) << "the machine let go of the broken log";
}

// A state section that is missing, short or long leaves the machine as it
// was, and so does a record of another layout, named as another version;
// the round trip is the kept-device test's.
TEST_F(MachineTest, ADamagedStateLeavesTheMachineAsItWas) {
  CallFromReset(TRAP_LINE_FEED);
  Run(4);
  core().memory[0x2000] = 0x5A;
  const std::vector<StateSection> saved = MachineStateSections(*machine);
  for (size_t damaged = 0; damaged < saved.size(); ++damaged) {
    const std::string& name = saved[damaged].name;
    const bool record = name == "device" || name == "view" || name == "printer";
    for (int change : {-1, +1, 0, 2}) {
      std::vector<StateSection> sections = saved;
      std::vector<uint8_t>& bytes = sections[damaged].bytes;
      if (change == 0) sections.erase(sections.begin() + long(damaged));
      else if (change < 0) bytes.pop_back();
      else if (change == 1) bytes.push_back(0);
      else if (record) ++bytes[0];
      else continue;
      if ((name == "paper" && change != 0) || (name == "printer" && change == 0)) continue;  // both may be so
      Start({});
      const StateFileResult result = RestoreMachineSections(*machine, sections, "kept");
      EXPECT_EQ(result.status, change == 2 ? StateFileStatus::OtherVersion : StateFileStatus::Corrupt) << name << change;
      if (change == 2) {
        EXPECT_EQ(result.message, "kept: kept by another version (" + name + " record layout 2, this program reads 1)");
      }
      EXPECT_EQ(core().cpu.PC, ENTRY_RESET);
      EXPECT_EQ(core().memory[0x2000], 0x00);
    }
  }
}

}  // namespace
