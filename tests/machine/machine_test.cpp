// The run loop: traps, patches, jump requests, the stop rules and the log.
// The wiring of keys, lamps and display is left to the runner's black-box tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <tuple>

#include "emulator/machine.h"
#include "tests/machine/fake_host.h"

namespace {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine = std::make_unique<Machine>();
    MachineWire(*machine, &host);
    PiaReset(machine->pia);
  }

  void Poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) machine->core.memory[address++] = b;
  }

  // A call of `routine` from 0xC000, followed by a branch to itself.
  void CallFromReset(uint16_t routine) {
    Poke(0xC000, {0x8E, 0x23, 0xFF, 0xBD, uint8_t(routine >> 8), uint8_t(routine), 0x20, 0xFE});
    Poke(0xFFFE, {0xC0, 0x00});
    ApplyFirmwarePatches(*machine);
    MachineReset(*machine);
  }

  void Run(int steps) {
    for (int i = 0; i < steps; ++i) Step(*machine);
  }

  void PrintBuffer(std::initializer_list<uint8_t> bytes) { Poke(PRINT_BUFFER, bytes); }

  std::string LogText() {
    std::fflush(log);
    std::rewind(log);
    std::string text;
    for (int c; (c = std::fgetc(log)) != EOF;) text += static_cast<char>(c);
    return text;
  }

  std::unique_ptr<Machine> machine;
  FakeHost host;
  std::FILE* log = nullptr;
};

TEST_F(MachineTest, PatchesCutRoutinesShortAndBendTheInactivityJump) {
  ApplyFirmwarePatches(*machine);
  const auto& m = machine->core.memory;
  EXPECT_EQ(m[0xE21C], 0xE2);
  EXPECT_EQ(m[0xE21D], 0x10);
  for (uint16_t address : {0xE2D5, 0xF904, 0xE2CE, 0xF36E, 0xE41D}) EXPECT_EQ(m[address], 0x39) << address;
}

// The print-line and line-feed traps write to the log and the pane, and the
// patched routines return at once.
TEST_F(MachineTest, PrintTrapsWriteToLogAndPane) {
  struct Case {
    uint16_t routine;
    std::initializer_list<uint8_t> buffer;
    std::string expected;
  };
  const Case cases[] = {
      {TRAP_LINE_FEED, {}, "\r\n"},
      {TRAP_PRINT_LINE, {0x80}, "\r\n"},
      {TRAP_PRINT_LINE, {'a', 'b', 'd', 0x80}, "acm\r\n"},
      {TRAP_PRINT_LINE, {'B', 'D', '5', '"', '3', 0x80}, "BD5x3\r\n"},
      {TRAP_PRINT_LINE, {'A', '\r', 'B', 0x80}, "A\r\nB\r\n"},
      {TRAP_PRINT_LINE,
       {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F', 'Z'},
       "0123456789ABCDEF\r\n"},
  };
  for (const Case& c : cases) {
    SetUp();
    host.pane.clear();
    log = std::tmpfile();
    machine->LogFile = log;
    CallFromReset(c.routine);
    PrintBuffer(c.buffer);
    Run(4);  // LDS, JSR (trap), RTS, BRA
    EXPECT_EQ(host.pane, c.expected);
    EXPECT_EQ(LogText(), c.expected);
    EXPECT_EQ(machine->core.cpu.PC, 0xC006);
    std::fclose(log);
  }
}

TEST_F(MachineTest, ComposePrintLineNeverExceedsThirtyFourCharacters) {
  uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), '\r');
  char out[34];
  EXPECT_EQ(ComposePrintLine(buffer, out), 34u);
  EXPECT_EQ(std::string(out, 4), "\r\n\r\n");
}

TEST_F(MachineTest, ToneBeepsOncePerCallAndTrapsDoNothingWithoutTheWindow) {
  CallFromReset(TRAP_TONE);
  Run(3);
  EXPECT_EQ(host.beeps, 1);
  host.window = false;
  log = std::tmpfile();
  machine->LogFile = log;
  CallFromReset(TRAP_PRINT_LINE);
  PrintBuffer({'A', 0x80});
  Run(3);
  CallFromReset(TRAP_TONE);
  Run(3);
  EXPECT_EQ(host.pane, "");
  EXPECT_EQ(LogText(), "");
  EXPECT_EQ(host.beeps, 1);
  std::fclose(log);
}

TEST_F(MachineTest, PowerOffSequenceRelabelsTheButtonAndIdles) {
  Poke(TRAP_SLEEP, {0x1A, 0x20, 0xFE});  // SLP; BRA *
  // NOPs stand for the sequence itself.
  for (uint16_t a = 0xCC96; a < TRAP_SLEEP; ++a) machine->core.memory[a] = 0x01;
  machine->core.cpu.PC = ENTRY_POWER_OFF;
  StepResult last = StepResult::Ran;
  for (int i = 0; i < 14 && last != StepResult::OffLoop; ++i) last = Step(*machine);
  EXPECT_EQ(host.caption, "ON");
  EXPECT_EQ(last, StepResult::Ran) << "caption set on arrival at the SLP";
  EXPECT_EQ(Step(*machine), StepResult::OffLoop);
  EXPECT_EQ(Step(*machine), StepResult::OffLoop) << "the branch to itself keeps it off";
  EXPECT_EQ(machine->core.cpu.PC, TRAP_OFF_LOOP);
}

TEST_F(MachineTest, JumpRequestIsServedAfterTheInstructionAndClearsThePane) {
  Poke(0x1000, {0x01, 0x01});
  Poke(0x2000, {0x01});
  machine->core.cpu.PC = 0x1000;
  host.pane = "old paper\r\n";
  machine->JumpRequest.store(0x2000);
  Step(*machine);
  EXPECT_EQ(machine->core.cpu.PC, 0x2000);
  EXPECT_EQ(machine->JumpRequest.load(), 0);
  EXPECT_EQ(host.pane, "");
  host.window = false;
  machine->JumpRequest.store(0x1000);
  host.pane = "kept";
  Step(*machine);
  EXPECT_EQ(machine->core.cpu.PC, 0x1000) << "the jump is served without a window";
  EXPECT_EQ(host.pane, "kept");
}

// An undecoded opcode or CLI stops for good and tells the host once.
TEST_F(MachineTest, StopsAreForGoodAndReportedOnce) {
  for (auto [opcode, result, reason] :
       {std::tuple{0x00, StepResult::Undecoded, StopReason::Undecoded},
        std::tuple{0x0E, StepResult::Halted, StopReason::Halted}}) {
    SetUp();
    host.stops = 0;
    Poke(0x1000, {0x01, static_cast<uint8_t>(opcode), 0x01});
    machine->core.cpu.PC = 0x1000;
    EXPECT_EQ(Step(*machine), StepResult::Ran);
    EXPECT_EQ(Step(*machine), result);
    const uint16_t pc = machine->core.cpu.PC;
    EXPECT_EQ(Step(*machine), result);
    EXPECT_EQ(machine->core.cpu.PC, pc) << "nothing further runs";
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.reason, reason);
  }
}

// The thread runs from the reset vector (a BRA * at 0xC000) until the stop
// flag is set; a flag set before the start ends it before any instruction.
TEST(EmulationThreadTest, RunsFromTheResetVectorUntilStopped) {
  for (bool stopFirst : {true, false}) {
    auto machine = std::make_unique<Machine>();
    FakeHost host;
    MachineWire(*machine, &host);
    machine->core.memory[0xFFFE] = 0xC0;
    machine->core.memory[0xC000] = 0x20;
    machine->core.memory[0xC001] = 0xFE;
    if (stopFirst) machine->StopFlag.store(1);
    std::thread thread([&] { EmulationThread(*machine); });
    if (!stopFirst) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    machine->StopFlag.store(1);
    thread.join();
    EXPECT_EQ(machine->core.cpu.PC, stopFirst ? 0x0000 : 0xC000);
  }
}

}  // namespace
