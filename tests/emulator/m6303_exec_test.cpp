// Control flow, the stack, the port and adapter hooks and address wrap-around
// of the core, run on programs from the m68hc11 assembler.
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>
#include <vector>

#include "tests/emulator/m6303_rig.h"

namespace {

constexpr uint8_t C = FLAG_C, V = FLAG_V, Z = FLAG_Z, N = FLAG_N;
constexpr uint16_t ORIGIN = 0xC000;
constexpr uint16_t TOP = 0x23FF;

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

// Records every hook call as text: "2=XX" and "6=XX" port writes, "6?XX" a
// port-6 read of the stored byte (answered inverted), "rAAAA" and
// "wAAAA=XX" on the bus at 0x4000-0x4003 (a read answers 0xA0 | offset).
struct Recorder {
  std::string calls;

  static void Note(void* context, const char* format, unsigned a, unsigned b = 0) {
    char text[16];
    std::snprintf(text, sizeof text, format, a, b);
    static_cast<Recorder*>(context)->calls += text;
  }
  void Attach(Core& core) {
    core.hooks = CoreHooks{
        .context = this,
        .port2Write = [](void* c, uint8_t v) { Note(c, "2=%02X ", v); },
        .port6Read = [](void* c, uint8_t stored) -> uint8_t {
          Note(c, "6?%02X ", stored);
          return static_cast<uint8_t>(~stored);
        },
        .port6Write = [](void* c, uint8_t v) { Note(c, "6=%02X ", v); },
        .busBase = 0x4000,
        .busMask = 0xFFFC,
        .busRead = [](void* c, uint16_t address) -> uint8_t {
          Note(c, "r%04X ", address);
          return static_cast<uint8_t>(0xA0 | (address & 3));
        },
        .busWrite = [](void* c, uint16_t address, uint8_t v) { Note(c, "w%04X=%02X ", address, v); },
    };
  }
};

using Bytes = std::vector<std::pair<uint16_t, uint8_t>>;

// A program run from a given state: the registers after it, memory that
// must hold given bytes, and the hook calls made ("-": run without hooks).
struct ProgramCase {
  const char* name;
  const char* source;
  int steps;
  Cpu before;  // a PC of 0 starts at ORIGIN
  Bytes poke;
  Cpu after;
  Bytes want;
  const char* calls = "-";
};

auto Registers(const Cpu& cpu) { return std::make_tuple(cpu.A, cpu.B, cpu.X, cpu.SP, cpu.PC, cpu.CCR); }

const ProgramCase kPrograms[] = {
    {"JSR and BSR push the address after them, high byte below", "jsr sub\n bsr sub\nsub: rts\n", 3,
     {.SP = TOP}, {}, {.SP = TOP - 2, .PC = 0xC005}, {{TOP - 1, 0xC0}, {TOP, 0x05}}},
    {"pushes and pulls are last in first out and keep the flags",
     "pshx\n psha\n pshb\n ldx #0\n pula\n pulb\n pulx\n", 7,
     {.A = 1, .B = 2, .X = 0x1234, .SP = TOP, .CCR = 0x2F}, {},
     {.A = 2, .B = 1, .X = 0x1234, .SP = TOP, .PC = 0xC009, .CCR = 0x25},
     {{TOP - 3, 2}, {TOP - 2, 1}, {TOP - 1, 0x12}, {TOP, 0x34}}},
    {"TSX and TXS offset by one", "tsx\n inx\n txs\n", 3, {.SP = TOP}, {},
     {.X = 0x2401, .SP = 0x2400, .PC = 0xC003}, {}},
    {"NOP, SWI and SLP do nothing; SWI stacks nothing", "nop\n swi\n .byte 0x1a\n", 3,
     {.A = 1, .B = 2, .X = 3, .SP = TOP, .CCR = 0x2B}, {{TOP - 6, 0x5A}},
     {.A = 1, .B = 2, .X = 3, .SP = TOP, .PC = 0xC003, .CCR = 0x2B}, {{TOP - 6, 0x5A}, {TOP, 0}}},
    {"index offsets are unsigned; the index, the stack and word reads wrap",
     "ldaa 0xf0,x\n psha\n ldx 0xffff\n pulb\n", 4, {.X = 0xFF20, .SP = 0}, {{0x0010, 0x42}, {0xFFFF, 0xAB}},
     {.A = 0x42, .B = 0x42, .X = 0xAB42, .SP = 0, .PC = 0xC007, .CCR = N}, {{0x0000, 0x42}}},
    {"an operand across the top of memory", "nop\n", 1, {.PC = 0xFFFE}, {{0xFFFE, 0xCE}, {0xFFFF, 0x12}, {0, 0x34}},
     {.X = 0x1234, .PC = 0x0001}, {}},
    {"every port-2 write is forwarded", "staa *0x03\n clr 0x0003\n ldx #0\n stab 3,x\n", 4,
     {.A = 0x1F, .B = 0x05}, {}, {.A = 0x1F, .B = 0x05, .PC = 0xC00A, .CCR = 0}, {{PORT2_ADDRESS, 0x05}},
     "2=1F 2=00 2=05 "},
    // The model sees the stored byte; a read-modify-write reads once and
    // writes once; pushes and pulls are port accesses but return addresses
    // go straight into memory.
    {"port 6 goes through the model", "bsr sub\nsub: pula\n pshb\n staa *0x17\n ldab *0x17\n ror 0x10,x\n", 6,
     {.A = 0x11, .B = 0x22, .X = 0x0007, .SP = 0x0018, .CCR = C}, {},
     {.A = 0x3F, .B = 0xC0, .X = 0x0007, .SP = 0x0016, .PC = 0xC00A, .CCR = N},
     {{0x0017, 0xE0}, {0x0018, 0x02}}, "6?C0 6=22 6=3F 6?3F 6?3F 6=E0 "},
    {"the bus is reached by the extended CLR, LDAA, LDAB, STAA and STAB",
     "ldaa 0x4001\n ldab 0x4002\n staa 0x4003\n stab 0x4000\n clr 0x4002\n", 5, {.CCR = N | V | C}, {},
     {.A = 0xA1, .B = 0xA2, .PC = 0xC00F, .CCR = Z}, {{0x4000, 0}, {0x4001, 0}, {0x4002, 0}, {0x4003, 0}},
     "r4001 r4002 w4003=A1 w4000=A2 w4002=00 "},
    {"other forms and neighbouring addresses see plain memory",
     "ldaa 1,x\n tst 0x4001\n inc 0x4002\n staa 3,x\n ldab 0x4004\n stab 0x3fff\n ldd 0x4000\n", 7,
     {.X = 0x4000}, {{0x4000, 0x10}, {0x4001, 0x80}, {0x4004, 0x44}},
     {.A = 0x10, .B = 0x80, .X = 0x4000, .PC = 0xC013, .CCR = 0},
     {{0x4002, 0x01}, {0x4003, 0x80}, {0x3FFF, 0x44}}, ""},
    {"without hooks every address is a plain byte",
     "staa 0x4001\n ldab 0x4001\n staa *0x03\n ldaa #0\n ldaa *0x03\n stab *0x17\n clr 0x4002\n", 7,
     {.A = 0x5A}, {{0x4002, 0x99}}, {.A = 0x5A, .B = 0x5A, .PC = 0xC011, .CCR = Z},
     {{0x4001, 0x5A}, {PORT6_ADDRESS, 0x5A}, {0x4002, 0}}},
};

// Each program runs one instruction at a time and as one run of the loop:
// both must end with the same registers, memory and hook calls.
TEST(M6303Programs, RegistersMemoryAndHookCalls) {
  for (const ProgramCase& c : kPrograms) {
    SCOPED_TRACE(c.name);
    const bool hooked = std::string(c.calls) != "-";
    Recorder stepped, ran;
    auto Prepared = [&](Recorder& recorder) {
      auto core = Loaded(c.source);
      core->cpu = c.before;
      if (core->cpu.PC == 0) core->cpu.PC = ORIGIN;
      for (auto [address, value] : c.poke) core->memory[address] = value;
      if (hooked) recorder.Attach(*core);
      return core;
    };
    auto core = Prepared(stepped);
    Step(*core, c.steps);
    EXPECT_EQ(Registers(core->cpu), Registers(c.after));
    for (auto [address, value] : c.want) EXPECT_EQ(core->memory[address], value) << std::hex << address;
    EXPECT_EQ(hooked ? stepped.calls : "-", c.calls);

    auto fast = Prepared(ran);
    const RunResult run = ::Run(*fast, c.steps);
    EXPECT_EQ(run.count, static_cast<uint32_t>(c.steps));
    EXPECT_EQ(Registers(fast->cpu), Registers(core->cpu));
    EXPECT_TRUE(fast->memory == core->memory);
    EXPECT_EQ(ran.calls, stepped.calls);
  }
}

// A run ends before an instruction at a stop address (never before its
// first), after a jump onto itself, and at an empty slot, counting only the
// instructions that ran.
TEST(M6303Programs, RunsEndAtStopsSelfLoopsAndEmptySlots) {
  auto core = Loaded("nop\nstop: nop\n nop\nhere: bra here\n .byte 0x00\n");
  const uint16_t stops[] = {ORIGIN + 1};
  EXPECT_EQ(::Run(*core, 100, stops).count, 1u);
  EXPECT_EQ(core->cpu.PC, ORIGIN + 1);
  const RunResult self = ::Run(*core, 100, stops);
  EXPECT_TRUE(self.count == 3 && self.exit == RunExit::SelfLoop && core->cpu.PC == ORIGIN + 3);
  core->cpu.PC = ORIGIN + 5;
  const RunResult empty = ::Run(*core, 100);
  EXPECT_TRUE(empty.count == 0 && empty.exit == RunExit::Undecoded && core->cpu.PC == ORIGIN + 6);
}

}  // namespace
