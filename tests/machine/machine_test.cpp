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
#include "emulator/machine_state.h"
#include "tests/support/scratch.h"

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
    for (uint8_t b : bytes) machine->core.memory[address++] = b;
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
    EXPECT_EQ(machine->core.cpu.PC, 0xC006);
    std::vector<Event> events;
    MachineDrain(*machine, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].logged);
  }
}

// Port 2 reaches the lamps only when it changes, and never from the tone's
// two beeper stores.
TEST_F(MachineTest, LampsFollowPortTwoButNotTheBeeperStores) {
  Start({0x86, 0x05, 0x97, 0x03, 0x97, 0x03, 0xBD, 0xE2, 0xD5, 0x20, 0xFE});  // LDAA #5; STAA *3 x2; JSR tone
  const uint8_t tone[] = {0x86, 0x80, 0x01, 0x01, 0x01, 0x01, 0x97, 0x03, 0x4F, 0x01, 0x01, 0x01, 0x01, 0x01, 0x97, 0x03, 0x39};
  std::copy(std::begin(tone), std::end(tone), machine->core.memory.begin() + TRAP_TONE);
  RunSlice(*machine, 22);  // a slice publishes the lamps as they are at its end
  const DeviceView view = MachineView(*machine);
  EXPECT_EQ(view.lamps, 0x05);
  EXPECT_EQ(view.beeps, 1u);
  EXPECT_EQ(Drained(), (std::vector<EventKind>{EventKind::Lamps, EventKind::Beep}));
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
  EXPECT_EQ(machine->core.cpu.PC, ENTRY_POWER_OFF) << "served after the instruction";
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
  EXPECT_EQ(machine->core.cpu.PC, ENTRY_RESET);
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
    const uint16_t pc = machine->core.cpu.PC;
    EXPECT_EQ(Step(*machine), result);
    EXPECT_EQ(machine->core.cpu.PC, pc) << "nothing further runs";
    MachineSend(*machine, {CommandKind::New});
    MachineSend(*machine, {CommandKind::PaperFeed});
    ServeCommands(*machine);
    const DeviceView view = MachineView(*machine);
    EXPECT_EQ(view.stop, reason);
    EXPECT_EQ(view.stopAddress, 0xC001);
    EXPECT_EQ(view.stopOpcode, opcode);
    EXPECT_EQ(view.paper, "\r\n");
    EXPECT_EQ(machine->core.cpu.PC, pc) << "no restart after a stop";
    EXPECT_EQ(Drained(), (std::vector<EventKind>{EventKind::Stopped, EventKind::Paper}));
  }
}

// A log that cannot be written is reported once; the pane keeps the text.
TEST_F(MachineTest, LogWriteFailureIsToldOnceAndThePaneKeepsEverything) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  CallFromReset(TRAP_LINE_FEED);
  machine->log = SessionLog{full, "/dev/full", {}};
  Run(4);
  machine->core.cpu.PC = 0xC003;
  Run(3);
  EXPECT_EQ(MachineView(*machine).paper, "\r\n\r\n");
  EXPECT_EQ(Drained(), (std::vector<EventKind>{EventKind::LogFailed, EventKind::Paper, EventKind::Paper}));
  EXPECT_EQ(machine->log.stream, nullptr) << "the machine let go of the broken log";
}

// A state section that is missing, short or long leaves the machine as it
// was, and so does a record of another layout, named as another version;
// the round trip is the kept-device test's.
TEST_F(MachineTest, ADamagedStateLeavesTheMachineAsItWas) {
  CallFromReset(TRAP_LINE_FEED);
  Run(4);
  machine->core.memory[0x2000] = 0x5A;
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
      EXPECT_EQ(machine->core.cpu.PC, ENTRY_RESET);
      EXPECT_EQ(machine->core.memory[0x2000], 0x00);
    }
  }
}

// ---- the state file's format, pinned by a file kept in the tree ----

// An image of its own, so the golden file does not follow the firmware.
std::vector<uint8_t> GoldenImage() {
  std::vector<uint8_t> image(FIRMWARE_SIZE);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
  image[RESET_VECTOR - FIRMWARE_BASE] = 0xC0;
  image[RESET_VECTOR - FIRMWARE_BASE + 1] = 0x00;
  return image;
}

// Every kept field set to a value of its own.
void MakeGoldenDevice(Machine& m, const std::vector<uint8_t>& image) {
  MachineInit(m, {image});
  for (uint16_t a = 0x40; a < 0x140; ++a) m.core.memory[a] = static_cast<uint8_t>(a ^ 0x5A);
  m.core.cpu = Cpu{0x12, 0x34, 0x5678, 0x23F0, 0xE210, 0xD4, 0x3F};
  m.pia.A = PiaSide{0x01, 0x02, 0x03, 0x04};
  m.pia.B = PiaSide{0x05, 0x06, 0x07, 0x0C};
  m.link.shift = 0xA5;
  m.link.bitCount = 3;
  m.link.previousClock = 0x20;
  m.link.previousSelect = 0;
  m.cells.cell = {1, 2, 3, 4, 5, 6, 7, 8};
  m.cells.dataCounter = 5;
  m.lamps = 0x15;
  m.printer.state = 5;  // between two steps of a column
  m.printer.homePhase = 1;
  m.printer.stepPhase = 2;
  m.printer.halfStepPhase = 1;
  m.printer.passes = 6;
  m.printer.group = 3;
  m.printer.columns = 7;
  m.printer.steps = 9;
  for (uint8_t i = 0; i < 10; ++i) m.printer.capture[i] = static_cast<uint8_t>(0x41 + i);
  m.printer.captureCount = 10;
  m.printer.skip = 1;
  DeviceView view;
  view.digits.digit = {1, 2, DIGIT_BLANK, 9};
  view.digits.point = {false, true, false, false};
  view.lamps = 0x15;
  view.beeps = 1234;
  view.paper = "12.5 cm\r\nRows 40\r\n";
  std::lock_guard lock(m.mutex);
  m.view = m.drained = view;
}

// The file a kept device of this format is: this program reads it back to
// the very device, writes that device to the very same bytes, and names
// what is wrong when the firmware or its patching differ. A change of the
// firmware's identity, of a record or of the framing fails here.
TEST(StateFormat, TheGoldenFileReadsAndIsWrittenByteForByte) {
  const std::vector<uint8_t> image = GoldenImage();
  auto expected = std::make_unique<Machine>();
  MakeGoldenDevice(*expected, image);
  if (const char* write = std::getenv("TM650_WRITE_GOLDEN")) {
    const std::vector<uint8_t> bytes = MachineStateBytes(*expected);
    Spill(write, std::string(bytes.begin(), bytes.end()));
    GTEST_SKIP() << "written to " << write;
  }
  const std::string file = Slurp(TM650_GOLDEN_STATE);
  const std::vector<uint8_t> golden(file.begin(), file.end());
  EXPECT_TRUE(MachineStateBytes(*expected) == golden) << "the format changed: keep reading the old one";
  auto read = std::make_unique<Machine>();
  MachineInit(*read, {image});
  const StateFileResult result = RestoreMachineStateBytes(*read, golden);
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(MachineStateSections(*read), MachineStateSections(*expected));

  // Kept before the printer had a record: read, the printer at rest.
  std::vector<StateSection> sections;
  ASSERT_TRUE(DecodeStateFile(golden, read->stateKey, sections, "golden").ok());
  sections.pop_back();
  ASSERT_EQ(RestoreMachineSections(*read, sections, "older").status, StateFileStatus::Ok);
  EXPECT_EQ(read->printer.state, 0);
  EXPECT_EQ(read->printer.captureCount, 0u);

  const std::pair<bool, std::vector<uint8_t>> others[] = {{false, image}, {true, std::vector<uint8_t>(16, 1)}};
  const std::pair<StateFileStatus, std::string> refusals[] = {
      {StateFileStatus::OtherPatching, "the kept device: made by a patched run of this firmware; this run is unpatched"},
      {StateFileStatus::OtherFirmware, "the kept device: made with another firmware"}};
  for (size_t i = 0; i < 2; ++i) {
    MachineInit(*read, {others[i].second, others[i].first});
    const StateFileResult refused = RestoreMachineStateBytes(*read, golden);
    EXPECT_EQ(refused.status, refusals[i].first);
    EXPECT_EQ(refused.message, refusals[i].second);
  }
}

}  // namespace
