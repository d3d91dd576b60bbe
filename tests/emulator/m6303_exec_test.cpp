// Control flow, stack layout, the port and adapter hooks, halting and address
// wrap-around of the core, run on programs from the m68hc11 assembler.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/emulator/m6303_rig.h"

namespace {

constexpr uint8_t C = FLAG_C, V = FLAG_V, Z = FLAG_Z, N = FLAG_N, I = FLAG_I;
constexpr uint16_t ORIGIN = 0xC000;
constexpr uint16_t TOP = 0x23FF;  // SP as Loaded leaves it

struct BranchCase {
  const char* mnemonic;
  std::vector<uint8_t> taken, notTaken;  // condition codes for each outcome
};

const BranchCase kBranchCases[] = {
    {"bra", {0}, {}},          {"bhi", {0}, {C, Z}},       {"bls", {C, Z}, {0}},
    {"bcc", {0}, {C}},         {"bcs", {C}, {0}},          {"bne", {0}, {Z}},
    {"beq", {Z}, {0}},         {"bvc", {0}, {V}},          {"bvs", {V}, {0}},
    {"bpl", {0}, {N}},         {"bmi", {N}, {0}},          {"bge", {0, N | V}, {N, V}},
    {"blt", {N, V}, {0, N | V}}, {"bgt", {0, N | V}, {Z, N}}, {"ble", {Z, N, V}, {0, N | V}},
};

TEST(M6303Branches, EveryConditionTakenAndNotTaken) {
  for (const BranchCase& c : kBranchCases) {
    for (bool taken : {true, false}) {
      for (uint8_t ccr : taken ? c.taken : c.notTaken) {
        SCOPED_TRACE(testing::Message() << c.mnemonic << " CCR=" << int{ccr});
        // Labels keep the assembler from turning a far conditional into a jump.
        auto core = Loaded(std::string(c.mnemonic) + " ahead\n .skip 0x3e\nahead: nop\n");
        core->cpu.CCR = ccr;
        Step(*core);
        EXPECT_EQ(core->cpu.PC, taken ? 0xC040 : 0xC002);
        EXPECT_EQ(core->cpu.CCR, ccr);
      }
    }
  }
  // The offset is signed: back across a page, and 0xFE onto the branch itself.
  auto backward = Loaded("back: .skip 16\n bne back\nhere: bra here\n", 0xBFF0);
  backward->cpu.PC = ORIGIN;
  Step(*backward);
  EXPECT_EQ(backward->cpu.PC, 0xBFF0);
  backward->cpu.PC = ORIGIN + 2;
  Step(*backward);
  EXPECT_EQ(backward->cpu.PC, ORIGIN + 2);
}

TEST(M6303Stack, ReturnAddressesArePushedBigEndian) {
  auto core = Loaded("jsr sub\n bsr sub\nback: bra back\nsub: rts\n");
  Step(*core);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 7);
  EXPECT_EQ(core->memory[TOP], 0x03);
  EXPECT_EQ(core->memory[TOP - 1], 0xC0);
  EXPECT_EQ(core->cpu.SP, TOP - 2);
  Step(*core, 2);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 7);
  EXPECT_EQ(core->memory[TOP], 0x05) << "BSR pushes the address after its offset";
  Step(*core);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 5);
  EXPECT_EQ(core->cpu.SP, TOP);
}

TEST(M6303Stack, PushesAndPullsAreLastInFirstOutAndKeepTheFlags) {
  auto core = Loaded("pshx\n psha\n pshb\n ldx #0\n pula\n pulb\n pulx\n");
  core->cpu = Cpu{.A = 1, .B = 2, .X = 0x1234, .SP = TOP, .PC = ORIGIN, .CCR = 0x2F, .Opcode = 0};
  Step(*core, 3);
  EXPECT_EQ(core->cpu.CCR, 0x2F);
  EXPECT_EQ(core->cpu.SP, TOP - 4);
  EXPECT_EQ((std::vector<uint8_t>(&core->memory[TOP - 3], &core->memory[TOP + 1])),
            (std::vector<uint8_t>{0x02, 0x01, 0x12, 0x34}));
  Step(*core);
  const uint8_t ccr = core->cpu.CCR;
  Step(*core, 3);
  EXPECT_EQ(core->cpu.A, 0x02);
  EXPECT_EQ(core->cpu.B, 0x01);
  EXPECT_EQ(core->cpu.X, 0x1234);
  EXPECT_EQ(core->cpu.SP, TOP);
  EXPECT_EQ(core->cpu.CCR, ccr);
}

TEST(M6303Stack, TsxAndTxsOffsetByOne) {
  auto core = Loaded("tsx\n ldx #0x3000\n txs\n");
  Step(*core);
  EXPECT_EQ(core->cpu.X, 0x2400);
  Step(*core, 2);
  EXPECT_EQ(core->cpu.SP, 0x2FFF);
}

// A hook set that records every call; port 6 reads invert the stored byte.
struct Recorder {
  std::vector<uint8_t> port2, port6Writes, port6ReadsOfStored;
  std::vector<uint16_t> adapterReads;
  std::vector<std::pair<uint16_t, uint8_t>> adapterWrites;

  void Attach(Core& core) {
    core.hooks.context = this;
    core.hooks.port2Write = [](void* c, uint8_t v) { Of(c).port2.push_back(v); };
    core.hooks.port6Write = [](void* c, uint8_t v) { Of(c).port6Writes.push_back(v); };
    core.hooks.port6Read = [](void* c, uint8_t stored) -> uint8_t {
      Of(c).port6ReadsOfStored.push_back(stored);
      return static_cast<uint8_t>(stored ^ 0xFF);
    };
    core.hooks.busBase = 0x4000;
    core.hooks.busMask = 0xFFFC;
    core.hooks.busRead = [](void* c, uint16_t address) -> uint8_t {
      Of(c).adapterReads.push_back(address);
      return static_cast<uint8_t>(0xA0 | (address & 3));
    };
    core.hooks.busWrite = [](void* c, uint16_t address, uint8_t v) {
      Of(c).adapterWrites.emplace_back(address, v);
    };
  }
  static Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }
};

TEST(M6303Hooks, EveryPortTwoWriteIsForwarded) {
  Recorder recorder;
  auto core = Loaded("staa *0x03\n clr 0x0003\n ldx #0\n stab 3,x\n");
  recorder.Attach(*core);
  core->cpu.A = 0x1F;
  core->cpu.B = 0x05;
  Step(*core, 4);
  EXPECT_EQ(recorder.port2, (std::vector<uint8_t>{0x1F, 0x00, 0x05}));
  EXPECT_EQ(core->memory[PORT2_ADDRESS], 0x05);

}

// Port 6 reads go through the model, which sees the stored byte; a
// read-modify-write reads once and writes once; pushes are port writes but
// return addresses go straight into memory.
TEST(M6303Hooks, PortSixReadsThroughTheModelAndKeepsTheStoredByte) {
  Recorder recorder;
  auto core = Loaded("staa *0x17\n ldab *0x17\n ror 0x10,x\n pshx\n bsr sub\nsub: nop\n");
  recorder.Attach(*core);
  core->cpu.A = 0x11;
  core->cpu.X = PORT6_ADDRESS - 0x10;
  Step(*core, 2);
  EXPECT_EQ(core->cpu.B, 0xEE);
  EXPECT_EQ(core->memory[PORT6_ADDRESS], 0x11);
  core->memory[PORT6_ADDRESS] = 0xFD;  // the model turns it into 0x02
  core->cpu.CCR = C;
  Step(*core);
  EXPECT_EQ(recorder.port6ReadsOfStored, (std::vector<uint8_t>{0x11, 0xFD}));
  EXPECT_EQ(recorder.port6Writes, (std::vector<uint8_t>{0x11, 0x81}));
  EXPECT_EQ(core->cpu.CCR, N);

  core->cpu.X = 0xBEEF;
  core->cpu.SP = 0x0018;
  Step(*core);
  EXPECT_EQ(recorder.port6Writes.back(), 0xBE);
  core->cpu.SP = 0x0018;
  Step(*core);
  EXPECT_EQ(recorder.port6Writes.size(), 3u) << "BSR pushes straight into memory";
  EXPECT_EQ(core->memory[PORT6_ADDRESS], 0xC0);
}

TEST(M6303Hooks, TheBusIsReachedOnlyByTheFiveExtendedForms) {
  Recorder recorder;
  auto core = Loaded("ldaa 0x4001\n ldab 0x4002\n staa 0x4003\n stab 0x4000\n clr 0x4002\n");
  recorder.Attach(*core);
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

  // Other forms and neighbouring addresses see plain memory.
  Recorder none;
  auto other = Loaded("ldaa 1,x\n tst 0x4001\n inc 0x4002\n staa 3,x\n ldab 0x4004\n"
                      "stab 0x3fff\n ldd 0x4000\n");
  none.Attach(*other);
  other->cpu.X = 0x4000;
  other->memory[0x4000] = 0x10;
  other->memory[0x4001] = 0x80;
  other->memory[0x4004] = 0x44;
  Step(*other, 2);
  EXPECT_EQ(other->cpu.CCR, N) << "TST saw the stored 0x80";
  Step(*other, 5);
  EXPECT_EQ(other->memory[0x4002], 0x01);
  EXPECT_EQ(other->memory[0x4003], 0x80);
  EXPECT_EQ(other->memory[0x3FFF], 0x44);
  EXPECT_EQ(other->cpu.A, 0x10);
  EXPECT_EQ(other->cpu.B, 0x80);
  EXPECT_TRUE(none.adapterReads.empty() && none.adapterWrites.empty());
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

TEST(M6303Execute, CliAndSeiHaltForGood) {
  for (const char* text : {"cli\n nop\n", "sei\n nop\n"}) {
    SCOPED_TRACE(text);
    auto core = Loaded(text);
    core->cpu.CCR = 0;
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Halted);
    EXPECT_TRUE(core->halted);
    EXPECT_EQ(core->cpu.CCR & I, 0) << "the mask is not touched";
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Halted);
    EXPECT_EQ(core->cpu.PC, ORIGIN + 1) << "nothing runs once halted";
  }
}

TEST(M6303Execute, NopSwiAndSlpDoNothing) {
  auto core = Loaded("nop\n swi\n .byte 0x1a\n");
  core->cpu = Cpu{.A = 1, .B = 2, .X = 3, .SP = TOP, .PC = ORIGIN, .CCR = 0x2B, .Opcode = 0};
  const Memory before = core->memory;
  Step(*core, 3);
  const Cpu& cpu = core->cpu;
  EXPECT_TRUE(cpu.A == 1 && cpu.B == 2 && cpu.X == 3 && cpu.SP == TOP && cpu.CCR == 0x2B);
  EXPECT_EQ(cpu.PC, ORIGIN + 3);
  EXPECT_EQ(cpu.Opcode, 0x1A);
  EXPECT_TRUE(core->memory == before);
}

TEST(M6303Wrap, ProgramCounterIndexAndStackWrapAtTheTopOfMemory) {
  auto core = std::make_unique<Core>();
  core->cpu.PC = 0xFFFE;
  core->memory[0xFFFE] = 0xCE;  // LDX #, operand split across the wrap
  core->memory[0xFFFF] = 0x12;
  core->memory[0x0000] = 0x34;
  Step(*core);
  EXPECT_EQ(core->cpu.X, 0x1234);
  EXPECT_EQ(core->cpu.PC, 0x0001);
  core->cpu.PC = 0xFFFF;
  core->memory[0xFFFF] = 0x01;  // NOP
  Step(*core);
  EXPECT_EQ(core->cpu.PC, 0x0000);

  auto indexed = Loaded("ldaa 0x20,x\n ldx 0xffff\n psha\n pula\n");
  indexed->cpu.X = 0xFFF0;
  indexed->cpu.SP = 0x0000;
  indexed->memory[0x0010] = 0x42;
  indexed->memory[0xFFFF] = 0xAB;
  indexed->memory[0x0000] = 0xCD;
  Step(*indexed, 2);
  EXPECT_EQ(indexed->cpu.A, 0x42);
  EXPECT_EQ(indexed->cpu.X, 0xABCD);
  Step(*indexed);
  EXPECT_EQ(indexed->memory[0x0000], 0x42);
  EXPECT_EQ(indexed->cpu.SP, 0xFFFF);
  indexed->cpu.A = 0;
  Step(*indexed);
  EXPECT_EQ(indexed->cpu.A, 0x42);
  EXPECT_EQ(indexed->cpu.SP, 0x0000);
}

}  // namespace
