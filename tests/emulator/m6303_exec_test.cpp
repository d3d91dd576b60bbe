// Control flow, stack layout, the port and adapter hooks, halting and address
// wrap-around of the core, run on programs from the m68hc11 assembler.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/emulator/m6303_rig.h"

namespace {

constexpr uint8_t C = FLAG_C, V = FLAG_V, Z = FLAG_Z, N = FLAG_N, I = FLAG_I;
constexpr uint16_t ORIGIN = 0xC000;
constexpr uint16_t STACK_TOP = 0x23FF;

std::unique_ptr<Core> Loaded(const std::string& source, uint16_t origin = ORIGIN) {
  auto core = NewCore();
  LoadProgram(*core, source, origin);
  core->cpu.SP = STACK_TOP;
  return core;
}

// ---------------------------------------------------------------------------
// Branches
// ---------------------------------------------------------------------------

struct BranchCase {
  const char* mnemonic;
  uint8_t ccr;
  bool taken;
};

const BranchCase kBranchCases[] = {
    {"bra", 0, true},
    {"bhi", 0, true},      {"bhi", C, false},     {"bhi", Z, false},
    {"bls", C, true},      {"bls", Z, true},      {"bls", 0, false},
    {"bcc", 0, true},      {"bcc", C, false},
    {"bcs", C, true},      {"bcs", 0, false},
    {"bne", 0, true},      {"bne", Z, false},
    {"beq", Z, true},      {"beq", 0, false},
    {"bvc", 0, true},      {"bvc", V, false},
    {"bvs", V, true},      {"bvs", 0, false},
    {"bpl", 0, true},      {"bpl", N, false},
    {"bmi", N, true},      {"bmi", 0, false},
    {"bge", 0, true},      {"bge", N | V, true},  {"bge", N, false},     {"bge", V, false},
    {"blt", N, true},      {"blt", V, true},      {"blt", 0, false},     {"blt", N | V, false},
    {"bgt", 0, true},      {"bgt", N | V, true},  {"bgt", Z, false},     {"bgt", N, false},
    {"ble", Z, true},      {"ble", N, true},      {"ble", V, true},      {"ble", 0, false},
    {"ble", N | V, false},
};

TEST(M6303Branches, EveryConditionTakenAndNotTaken) {
  for (const BranchCase& c : kBranchCases) {
    SCOPED_TRACE(testing::Message() << c.mnemonic << " CCR=" << int{c.ccr});
    // Labels keep the assembler from turning a far conditional into a jump.
    auto forward = Loaded(std::string(c.mnemonic) + " ahead\n .skip 0x3e\nahead: nop\n");
    forward->cpu.CCR = c.ccr;
    Step(*forward);
    EXPECT_EQ(forward->cpu.PC, c.taken ? 0xC040 : 0xC002);
    EXPECT_EQ(forward->cpu.CCR, c.ccr);

    auto backward = Loaded("back: .skip 16\n" + std::string(c.mnemonic) + " back\n", 0xBFF0);
    backward->cpu.PC = ORIGIN;
    backward->cpu.CCR = c.ccr;
    Step(*backward);
    EXPECT_EQ(backward->cpu.PC, c.taken ? 0xBFF0 : 0xC002);
  }
}

TEST(M6303Branches, OffsetFeBranchesToItself) {
  auto core = Loaded("here: bra here");
  ASSERT_EQ(core->memory[ORIGIN + 1], 0xFE);
  Step(*core, 3);
  EXPECT_EQ(core->cpu.PC, ORIGIN);
}

TEST(M6303Branches, SignedBranchesAfterCompareEqual) {
  auto core = Loaded(
      "        ldaa #0x0a\n"
      "        cmpa #0x0a\n"
      "        bgt wrong\n"
      "        ble right\n"
      "wrong:  ldab #1\n"
      "right:  bra right\n");
  Step(*core, 4);
  EXPECT_EQ(core->cpu.B, 0) << "BGT must not be taken";
  EXPECT_EQ(core->cpu.PC, ORIGIN + 10) << "BLE must be taken";
}

// ---------------------------------------------------------------------------
// Subroutines and the stack
// ---------------------------------------------------------------------------

TEST(M6303Stack, JsrAndRtsUseBigEndianReturnAddress) {
  auto core = Loaded(
      "        nop\n nop\n nop\n"
      "        jsr sub\n"
      "back:   bra back\n"
      "sub:    rts\n");
  Step(*core, 4);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 8);
  EXPECT_EQ(core->memory[STACK_TOP], 0x06);
  EXPECT_EQ(core->memory[STACK_TOP - 1], 0xC0);
  EXPECT_EQ(core->cpu.SP, STACK_TOP - 2);
  Step(*core);
  EXPECT_EQ(core->cpu.PC, 0xC006);
  EXPECT_EQ(core->cpu.SP, STACK_TOP);
}

TEST(M6303Stack, BsrPushesTheAddressAfterTheOffset) {
  auto core = Loaded(
      "        bsr sub\n"
      "back:   bra back\n"
      "sub:    rts\n");
  Step(*core);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 4);
  EXPECT_EQ(core->memory[STACK_TOP], 0x02);
  EXPECT_EQ(core->memory[STACK_TOP - 1], 0xC0);
  Step(*core);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 2);
}

TEST(M6303Stack, PshxAndPulxLayout) {
  auto core = Loaded("pshx\n ldx #0\n pulx\n");
  core->cpu.X = 0x1234;
  Step(*core);
  EXPECT_EQ(core->memory[0x23FF], 0x34);
  EXPECT_EQ(core->memory[0x23FE], 0x12);
  EXPECT_EQ(core->cpu.SP, 0x23FD);
  Step(*core, 2);
  EXPECT_EQ(core->cpu.X, 0x1234);
  EXPECT_EQ(core->cpu.SP, 0x23FF);
}

TEST(M6303Stack, ByteTransfersAreLastInFirstOut) {
  auto core = Loaded("psha\n pshb\n pula\n pulb\n");
  core->cpu.A = 0x01;
  core->cpu.B = 0x02;
  core->cpu.CCR = 0x2F;
  Step(*core, 4);
  EXPECT_EQ(core->cpu.A, 0x02);
  EXPECT_EQ(core->cpu.B, 0x01);
  EXPECT_EQ(core->cpu.SP, STACK_TOP);
  EXPECT_EQ(core->memory[0x23FF], 0x01);
  EXPECT_EQ(core->memory[0x23FE], 0x02);
  EXPECT_EQ(core->cpu.CCR, 0x2F) << "stack transfers leave the flags alone";
}

TEST(M6303Stack, StackPointerWrapsBothWays) {
  auto core = Loaded("psha\n pula\n");
  core->cpu.SP = 0x0000;
  core->cpu.A = 0x77;
  Step(*core);
  EXPECT_EQ(core->memory[0x0000], 0x77);
  EXPECT_EQ(core->cpu.SP, 0xFFFF);
  core->cpu.A = 0;
  Step(*core);
  EXPECT_EQ(core->cpu.A, 0x77);
  EXPECT_EQ(core->cpu.SP, 0x0000);
}

TEST(M6303Stack, TsxAndTxsOffsetByOne) {
  auto core = Loaded("tsx\n ldx #0x3000\n txs\n");
  core->cpu.CCR = 0x0F;
  Step(*core);
  EXPECT_EQ(core->cpu.X, 0x2400);
  Step(*core, 2);
  EXPECT_EQ(core->cpu.SP, 0x2FFF);
}

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------

struct Recorder {
  std::vector<uint8_t> port2;
  std::vector<uint8_t> port6Writes;
  std::vector<uint8_t> port6ReadsOfStored;
  std::vector<uint16_t> adapterReads;
  std::vector<std::pair<uint16_t, uint8_t>> adapterWrites;
};

Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }

void Attach(Core& core, Recorder& recorder) {
  core.hooks.context = &recorder;
  core.hooks.port2Write = [](void* c, uint8_t v) { Of(c).port2.push_back(v); };
  core.hooks.port6Write = [](void* c, uint8_t v) { Of(c).port6Writes.push_back(v); };
  core.hooks.port6Read = [](void* c, uint8_t stored) -> uint8_t {
    Of(c).port6ReadsOfStored.push_back(stored);
    return static_cast<uint8_t>(stored ^ 0xFF);
  };
  core.hooks.adapterRead = [](void* c, uint16_t address) -> uint8_t {
    Of(c).adapterReads.push_back(address);
    return static_cast<uint8_t>(0xA0 | (address & 3));
  };
  core.hooks.adapterWrite = [](void* c, uint16_t address, uint8_t v) {
    Of(c).adapterWrites.emplace_back(address, v);
  };
}

TEST(M6303Hooks, PortTwoWritesAreForwarded) {
  Recorder recorder;
  auto core = Loaded("staa *0x03\n clr 0x0003\n ldx #0\n stab 3,x\n");
  Attach(*core, recorder);
  core->cpu.A = 0x1F;
  core->cpu.B = 0x05;
  Step(*core, 4);
  EXPECT_EQ(recorder.port2, (std::vector<uint8_t>{0x1F, 0x00, 0x05}));
  EXPECT_EQ(core->memory[PORT2_ADDRESS], 0x05);
}

TEST(M6303Hooks, ToneRoutineStoresStayOffTheLamps) {
  struct Placement {
    uint16_t origin;
    bool forwarded;
  };
  for (Placement p : {Placement{0xE2DB, false}, Placement{0xE2E3, false},
                      Placement{0xE2DA, true}, Placement{0xE2DC, true}}) {
    SCOPED_TRACE(testing::Message() << "store at 0x" << std::hex << p.origin);
    Recorder recorder;
    auto core = Loaded("staa *0x03\n", p.origin);
    Attach(*core, recorder);
    core->cpu.A = 0x40;
    Step(*core);
    EXPECT_EQ(core->memory[PORT2_ADDRESS], 0x40) << "the byte is always stored";
    EXPECT_EQ(recorder.port2.size(), p.forwarded ? 1u : 0u);
  }
}

TEST(M6303Hooks, PortSixReadsThroughTheModelAndKeepsTheStoredByte) {
  Recorder recorder;
  auto core = Loaded("staa *0x17\n ldab *0x17\n");
  Attach(*core, recorder);
  core->cpu.A = 0x11;
  Step(*core, 2);
  EXPECT_EQ(recorder.port6Writes, std::vector<uint8_t>{0x11});
  EXPECT_EQ(recorder.port6ReadsOfStored, std::vector<uint8_t>{0x11});
  EXPECT_EQ(core->cpu.B, 0xEE);
  EXPECT_EQ(core->memory[PORT6_ADDRESS], 0x11);
}

TEST(M6303Hooks, ReadModifyWriteReadsOnceAndWritesOnceWhole) {
  Recorder recorder;
  auto core = Loaded("ror 0x10,x\n");
  Attach(*core, recorder);
  core->cpu.X = PORT6_ADDRESS - 0x10;
  core->cpu.CCR = C;
  core->memory[PORT6_ADDRESS] = 0xFD;  // the model turns it into 0x02
  Step(*core);
  EXPECT_EQ(recorder.port6ReadsOfStored.size(), 1u);
  EXPECT_EQ(recorder.port6Writes, std::vector<uint8_t>{0x81});
  EXPECT_EQ(core->cpu.CCR, N);
}

TEST(M6303Hooks, PushesUseTheHooksButReturnAddressesDoNot) {
  Recorder recorder;
  auto core = Loaded("pshx\n bsr sub\nsub: nop\n");
  Attach(*core, recorder);
  core->cpu.X = 0xBEEF;
  core->cpu.SP = 0x0018;
  Step(*core);
  EXPECT_EQ(recorder.port6Writes, std::vector<uint8_t>{0xBE});
  core->cpu.SP = 0x0018;
  Step(*core);
  EXPECT_EQ(recorder.port6Writes.size(), 1u) << "BSR pushes straight into memory";
  EXPECT_EQ(core->memory[PORT6_ADDRESS], 0xC0);
}

TEST(M6303Hooks, AdapterIsReachedOnlyByTheFiveExtendedForms) {
  Recorder recorder;
  auto core = Loaded(
      "ldaa 0x4001\n ldab 0x4002\n staa 0x4003\n stab 0x4000\n clr 0x4002\n");
  Attach(*core, recorder);
  core->cpu.CCR = N | V | C;
  Step(*core, 2);
  EXPECT_EQ(core->cpu.A, 0xA1);
  EXPECT_EQ(core->cpu.B, 0xA2);
  EXPECT_EQ(core->cpu.CCR, N | C);
  Step(*core, 3);
  EXPECT_EQ(recorder.adapterReads, (std::vector<uint16_t>{0x4001, 0x4002}));
  using W = std::pair<uint16_t, uint8_t>;
  EXPECT_EQ(recorder.adapterWrites,
            (std::vector<W>{{0x4003, 0xA1}, {0x4000, 0xA2}, {0x4002, 0x00}}));
  EXPECT_EQ(core->cpu.CCR, Z);
  for (uint16_t a = 0x4000; a < 0x4004; ++a) EXPECT_EQ(core->memory[a], 0) << a;
}

TEST(M6303Hooks, OtherFormsAndNeighbouringAddressesSeePlainMemory) {
  Recorder recorder;
  auto core = Loaded(
      "ldaa 1,x\n tst 0x4001\n inc 0x4002\n staa 3,x\n ldab 0x4004\n stab 0x3fff\n"
      "ldd 0x4000\n");
  Attach(*core, recorder);
  core->cpu.X = 0x4000;
  core->memory[0x4000] = 0x10;
  core->memory[0x4001] = 0x80;
  core->memory[0x4004] = 0x44;
  Step(*core);
  EXPECT_EQ(core->cpu.A, 0x80);
  Step(*core);
  EXPECT_EQ(core->cpu.CCR, N);
  Step(*core, 3);
  EXPECT_EQ(core->memory[0x4002], 0x01);
  EXPECT_EQ(core->memory[0x4003], 0x80);
  EXPECT_EQ(core->cpu.B, 0x44);
  Step(*core, 2);
  EXPECT_EQ(core->memory[0x3FFF], 0x44);
  EXPECT_EQ(core->cpu.A, 0x10);
  EXPECT_EQ(core->cpu.B, 0x80);
  EXPECT_TRUE(recorder.adapterReads.empty());
  EXPECT_TRUE(recorder.adapterWrites.empty());
}

TEST(M6303Hooks, WithoutHooksEveryAddressIsAPlainByte) {
  auto core = Loaded("staa 0x4001\n ldab 0x4001\n staa *0x03\n ldaa #0\n ldaa *0x03\n"
                     "stab *0x17\n clr 0x4002\n");
  core->cpu.A = 0x5A;
  core->memory[0x4002] = 0x99;
  Step(*core, 7);
  EXPECT_EQ(core->memory[0x4001], 0x5A);
  EXPECT_EQ(core->cpu.B, 0x5A);
  EXPECT_EQ(core->cpu.A, 0x5A);
  EXPECT_EQ(core->memory[PORT6_ADDRESS], 0x5A);
  EXPECT_EQ(core->memory[0x4002], 0x00);
}

// ---------------------------------------------------------------------------
// Halting, doing nothing, undecoded opcodes
// ---------------------------------------------------------------------------

TEST(M6303Execute, CliAndSeiHaltForGood) {
  for (const char* text : {"cli\n nop\n", "sei\n nop\n"}) {
    SCOPED_TRACE(text);
    auto core = Loaded(text);
    core->cpu.CCR = 0;
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Halted);
    EXPECT_TRUE(core->halted);
    EXPECT_EQ(core->cpu.CCR & I, 0) << "the mask is not touched";
    const uint16_t pc = core->cpu.PC;
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Halted);
    EXPECT_EQ(core->cpu.PC, pc) << "nothing runs once halted";
  }
}

TEST(M6303Execute, NopSwiAndSlpDoNothing) {
  auto core = Loaded("nop\n swi\n .byte 0x1a\n");
  core->cpu.A = 1;
  core->cpu.B = 2;
  core->cpu.X = 3;
  core->cpu.CCR = 0x2B;
  const Memory before = core->memory;
  Step(*core, 3);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 3);
  EXPECT_EQ(core->cpu.SP, STACK_TOP);
  EXPECT_EQ(core->cpu.A, 1);
  EXPECT_EQ(core->cpu.B, 2);
  EXPECT_EQ(core->cpu.X, 3);
  EXPECT_EQ(core->cpu.CCR, 0x2B);
  EXPECT_TRUE(core->memory == before);
  EXPECT_EQ(core->cpu.Opcode, 0x1A);
}

TEST(M6303Execute, TapThenTpaKeepsAllEightBits) {
  auto core = Loaded("tap\n tpa\n");
  core->cpu.A = 0xFF;
  Step(*core, 2);
  EXPECT_EQ(core->cpu.CCR, 0xFF);
  EXPECT_EQ(core->cpu.A, 0xFF);
}

// ---------------------------------------------------------------------------
// Address wrap-around
// ---------------------------------------------------------------------------

TEST(M6303Wrap, ProgramCounterWrapsAtTheTopOfMemory) {
  auto core = NewCore();
  core->cpu.PC = 0xFFFF;
  core->memory[0xFFFF] = 0x01;  // NOP
  Step(*core);
  EXPECT_EQ(core->cpu.PC, 0x0000);

  core->cpu.PC = 0xFFFE;
  core->memory[0xFFFE] = 0xCE;  // LDX #, operand split across the wrap
  core->memory[0xFFFF] = 0x12;
  core->memory[0x0000] = 0x34;
  Step(*core);
  EXPECT_EQ(core->cpu.X, 0x1234);
  EXPECT_EQ(core->cpu.PC, 0x0001);
}

TEST(M6303Wrap, IndexedAddressesAndWordsWrap) {
  auto core = Loaded("ldaa 0x20,x\n ldx 0xffff\n");
  core->cpu.X = 0xFFF0;
  core->memory[0x0010] = 0x42;
  core->memory[0xFFFF] = 0xAB;
  core->memory[0x0000] = 0xCD;
  Step(*core);
  EXPECT_EQ(core->cpu.A, 0x42);
  EXPECT_EQ(ReadWord(*core, 0xFFFF), 0xABCD);
  Step(*core);
  EXPECT_EQ(core->cpu.X, 0xABCD);
}

// ---------------------------------------------------------------------------
// Whole programs
// ---------------------------------------------------------------------------

TEST(M6303Programs, FourDigitBcdAddition) {
  auto core = Loaded(
      "        ldaa 0x2001\n"
      "        adda 0x2003\n"
      "        daa\n"
      "        staa 0x2005\n"
      "        ldaa 0x2000\n"
      "        adca 0x2002\n"
      "        daa\n"
      "        staa 0x2004\n"
      "done:   bra done\n");
  const uint8_t operands[] = {0x19, 0x99, 0x00, 0x01};
  for (int i = 0; i < 4; ++i) core->memory[0x2000 + i] = operands[i];
  RunTo(*core, ORIGIN + 20);
  EXPECT_EQ(core->memory[0x2004], 0x20);
  EXPECT_EQ(core->memory[0x2005], 0x00);
}

TEST(M6303Programs, IndexedCopyLoopWithSubroutine) {
  auto core = Loaded(
      "        ldx #0x2100\n"
      "loop:   bsr copy\n"
      "        inx\n"
      "        cpx #0x2108\n"
      "        bne loop\n"
      "done:   bra done\n"
      "copy:   ldaa 0,x\n"
      "        staa 0x80,x\n"
      "        rts\n");
  for (int i = 0; i < 8; ++i) core->memory[0x2100 + i] = static_cast<uint8_t>(0x30 + i);
  RunTo(*core, ORIGIN + 11);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(core->memory[0x2180 + i], 0x30 + i) << i;
  EXPECT_EQ(core->cpu.SP, STACK_TOP);
}

}  // namespace
