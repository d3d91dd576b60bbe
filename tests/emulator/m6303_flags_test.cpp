// Condition-code rules of the core, instruction by instruction, including the
// places where this machine's V and H differ from the published chip.
#include <gtest/gtest.h>

#include "tests/emulator/m6303_rig.h"

namespace {

constexpr uint8_t C = FLAG_C, V = FLAG_V, Z = FLAG_Z, N = FLAG_N, I = FLAG_I, H = FLAG_H;
constexpr uint16_t DATA = 0x2000;  // extended operand; X + 0x10 and the direct page too

// Assembles one instruction, runs it on the given state and returns the core.
std::unique_ptr<Core> RunOne(const char* text, uint8_t a, uint8_t b, uint8_t ccr, uint8_t m,
                             uint16_t x = DATA - 0x10) {
  auto core = Loaded(text);
  core->cpu.A = a;
  core->cpu.B = b;
  core->cpu.CCR = ccr;
  core->cpu.X = x;
  core->memory[DATA] = m;
  core->memory[0x0040] = m;
  Step(*core);
  return core;
}

struct AccumulatorCase {
  const char* text;
  uint8_t a, b, ccr, m;
  uint8_t wantA, wantB, wantCcr;
};

// Every row checks the whole CCR, so flags a rule leaves alone are checked too.
const AccumulatorCase kAccumulatorCases[] = {
    // ADD: V follows C; H from the low nibbles
    {"adda #0x80", 0x80, 0, 0, 0, 0x00, 0, Z | V | C},
    {"adda #0x01", 0x7F, 0, 0xC0 | I, 0, 0x80, 0, 0xC0 | I | N | H},
    {"adda 0x2000", 0x0F, 0, H | C, 0x01, 0x10, 0, H}, {"adca #0x0f", 0x00, 0, C, 0, 0x10, 0, H},
    {"adca 0x2000", 0x01, 0, 0, 0xFF, 0x00, 0, Z | V | C | H},
    {"adca 0x10,x", 0xFE, 0, C, 0x01, 0x00, 0, Z | V | C | H},
    {"aba", 0x08, 0x08, 0, 0, 0x10, 0x08, H}, {"adcb #0x01", 0, 0xFF, C, 0, 0, 0x01, V | C | H},
    // SUB: C is the borrow, V follows it, H untouched
    {"suba #0x20", 0x10, 0, H, 0, 0xF0, 0, H | N | V | C},
    {"suba 0x10,x", 0x10, 0, N | V | C, 0x10, 0x00, 0, Z},
    {"suba 0x2000", 0x80, 0, 0, 0x01, 0x7F, 0, 0},
    {"subb 0x2000", 0, 0x00, 0, 0x01, 0, 0xFF, N | V | C}, {"sba", 5, 3, Z | N | V | C, 0, 2, 3, 0},
    {"cba", 3, 5, 0, 0, 3, 5, N | V | C},
    // CMP: V when the plain difference leaves -128..127
    {"cmpa #0xff", 0x7F, 0, 0, 0, 0x7F, 0, N | C}, {"cmpa #0x01", 0xFF, 0, 0, 0, 0xFF, 0, N | V},
    {"cmpa 0x2000", 0x0A, 0, N | V | C, 0x0A, 0x0A, 0, Z},
    {"cmpb #0x7f", 0, 0xFF, 0, 0, 0, 0xFF, N | V},
    // LOGIC: V cleared, C kept
    {"anda #0x0f", 0xF0, 0, V | C, 0, 0x00, 0, Z | C}, {"andb #0x80", 0, 0xFF, 0, 0, 0, 0x80, N},
    {"oraa #0x80", 0x01, 0, V, 0, 0x81, 0, N}, {"oraa 0x2000", 0x00, 0, 0, 0x00, 0x00, 0, Z},
    {"orab 0x10,x", 0, 0x10, 0, 0x01, 0, 0x11, 0}, {"orab 0x2000", 0, 0x00, 0, 0x80, 0, 0x80, N},
    {"eora #0xff", 0xFF, 0, 0, 0, 0x00, 0, Z}, {"eora 0x2000", 0x0F, 0, 0, 0xFF, 0xF0, 0, N},
    {"eorb #0x01", 0, 0x01, V, 0, 0, 0x00, Z}, {"eorb 0x2000", 0, 0x80, 0, 0x01, 0, 0x81, N},
    {"ldaa #0", 0x55, 0, N | V | C, 0, 0x00, 0, Z | C}, {"ldaa *0x40", 0, 0, 0, 0x80, 0x80, 0, N},
    {"ldaa 0x10,x", 0, 0, V, 0x7F, 0x7F, 0, 0}, {"ldaa 0x2000", 0x11, 0, 0, 0x00, 0x00, 0, Z},
    {"ldab #0x80", 0, 0, 0, 0, 0, 0x80, N}, {"ldab *0x40", 0, 0x11, 0, 0x00, 0, 0x00, Z},
    {"ldab 0x10,x", 0, 0, 0, 0x01, 0, 0x01, 0}, {"ldab 0x2000", 0, 0, 0, 0xFF, 0, 0xFF, N},
    {"tab", 0x80, 0, V, 0, 0x80, 0x80, N}, {"tba", 0x12, 0, 0, 0, 0x00, 0, Z},
    // INCDEC: V and C untouched
    {"inca", 0x7F, 0, V | C, 0, 0x80, 0, N | V | C}, {"deca", 0x80, 0, N | Z | V, 0, 0x7F, 0, V},
    {"incb", 0, 0xFF, C, 0, 0, 0x00, Z | C}, {"decb", 0, 0x00, 0, 0, 0, 0xFF, N},
    // TEST and CLEAR
    {"tsta", 0x80, 0, V | C, 0, 0x80, 0, N}, {"tstb", 0, 0x00, N, 0, 0, 0x00, Z},
    {"clra", 0x55, 0, H | N | V | C, 0, 0x00, 0, H | Z}, {"clrb", 0, 0x80, 0, 0, 0, 0x00, Z},
    // SHIFT: C is the bit shifted out, V untouched
    {"lsra", 0x01, 0, V, 0, 0x00, 0, Z | V | C}, {"lsrb", 0, 0x80, N | C, 0, 0, 0x40, 0},
    {"rora", 0x02, 0, C, 0, 0x81, 0, N}, {"rorb", 0, 0x01, 0, 0, 0, 0x00, Z | C},
    {"asra", 0x81, 0, 0, 0, 0xC0, 0, N | C}, {"asrb", 0, 0x40, 0, 0, 0, 0x20, 0},
    {"asla", 0x81, 0, V, 0, 0x02, 0, V | C}, {"aslb", 0, 0x40, 0, 0, 0, 0x80, N},
    {"rola", 0x80, 0, C, 0, 0x01, 0, C}, {"rolb", 0, 0x40, 0, 0, 0, 0x80, N},
    // DAA: N, Z, C only
    {"daa", 0x9A, 0, V, 0, 0x00, 0, V | Z | C}, {"daa", 0x15, 0, H, 0, 0x1B, 0, H},
    {"daa", 0x99, 0, C, 0, 0xF9, 0, N | C}, {"daa", 0x3A, 0, 0, 0, 0x40, 0, 0},
    {"daa", 0xA0, 0, 0, 0, 0x00, 0, Z | C}, {"daa", 0x12, 0, 0, 0, 0x12, 0, 0},
    // CCR as a whole byte, and the single-flag instructions
    {"tap", 0xFF, 0, 0, 0, 0xFF, 0, 0xFF}, {"tpa", 0x00, 0, 0xC5, 0, 0xC5, 0, 0xC5},
    {"clc", 0, 0, 0xFF, 0, 0, 0, 0xFE}, {"sec", 0, 0, 0x00, 0, 0, 0, C},
    {"clv", 0, 0, 0xFF, 0, 0, 0, 0xFD}, {"sev", 0, 0, 0x00, 0, 0, 0, V},
};

TEST(M6303Flags, AccumulatorInstructions) {
  for (const AccumulatorCase& c : kAccumulatorCases) {
    SCOPED_TRACE(testing::Message() << c.text << " A=" << int{c.a} << " B=" << int{c.b}
                                    << " CCR=" << int{c.ccr} << " M=" << int{c.m});
    auto core = RunOne(c.text, c.a, c.b, c.ccr, c.m);
    EXPECT_EQ(core->cpu.A, c.wantA);
    EXPECT_EQ(core->cpu.B, c.wantB);
    EXPECT_EQ(core->cpu.CCR, c.wantCcr);
  }
}

struct MemoryCase {
  const char* text;
  uint8_t m, ccr;
  uint8_t wantM, wantCcr;
};

const MemoryCase kMemoryCases[] = {
    {"ror 0x10,x", 0x02, C, 0x81, N}, {"lsr 0x10,x", 0x01, V, 0x00, Z | V | C},
    {"asr 0x10,x", 0x80, 0, 0xC0, N}, {"asl 0x10,x", 0x80, 0, 0x00, Z | C},
    {"rol 0x10,x", 0x7F, C, 0xFF, N}, {"rol 0x2000", 0x80, 0, 0x00, Z | C},
    {"com 0x2000", 0x0F, V, 0xF0, N | C}, {"com 0x2000", 0xFF, 0, 0x00, Z | C},
    {"dec 0x2000", 0x00, V, 0xFF, N | V}, {"inc 0x2000", 0xFF, C, 0x00, Z | C},
    {"inc 0x2000", 0x7F, 0, 0x80, N}, {"tst 0x10,x", 0x00, V | C, 0x00, Z},
    {"tst 0x2000", 0x80, 0, 0x80, N}, {"clr 0x10,x", 0xAA, N | V | C, 0x00, Z},
    {"clr 0x2000", 0xAA, H, 0x00, H | Z},
};

TEST(M6303Flags, MemoryInstructions) {
  for (const MemoryCase& c : kMemoryCases) {
    SCOPED_TRACE(testing::Message() << c.text << " M=" << int{c.m} << " CCR=" << int{c.ccr});
    auto core = RunOne(c.text, 0x33, 0x44, c.ccr, c.m);
    EXPECT_EQ(core->memory[DATA], c.wantM);
    EXPECT_EQ(core->cpu.CCR, c.wantCcr);
    EXPECT_EQ(core->cpu.A, 0x33);
    EXPECT_EQ(core->cpu.B, 0x44);
  }
}

// 16-bit loads, stores, compares and index steps. `what` names the 16-bit
// result checked: D (A:B), X, S (SP) or M (the big-endian word at DATA).
struct WordCase {
  const char* text;
  uint16_t x;
  uint8_t ccr;
  char what;
  uint16_t want;
  uint8_t wantCcr;
};

const WordCase kWordCases[] = {
    {"ldd 0x2000", 0, N | Z | V | C, 'D', 0x0100, C},  // Z from all 16 bits
    {"ldx #0x8001", 0, 0, 'X', 0x8001, N}, {"ldx 0x2000", 0, V, 'X', 0x0100, 0},
    {"lds #0x0000", 0, N, 'S', 0x0000, Z}, {"lds 0x2000", 0, 0, 'S', 0x0100, 0},
    {"stx 0x2000", 0x8234, V | C, 'M', 0x8234, N | C}, {"sts 0x2000", 0, 0, 'M', 0x23FF, 0},
    // CPX: V follows the borrow
    {"cpx #0x8000", 0x0001, 0, 'X', 0x0001, N | V | C},
    {"cpx #0x1234", 0x1234, N | V | C, 'X', 0x1234, Z},
    {"cpx #0x0001", 0x8000, 0, 'X', 0x8000, 0},  // the published chip would set V
    {"cpx 0x2000", 0x0100, H, 'X', 0x0100, H | Z},
    // INX/DEX change only Z
    {"inx", 0xFFFF, N | V | C, 'X', 0x0000, N | Z | V | C}, {"dex", 0x0001, 0, 'X', 0x0000, Z},
    {"dex", 0x0000, Z, 'X', 0xFFFF, 0},  // N stays clear although bit 15 is set
};

TEST(M6303Flags, WordInstructions) {
  for (const WordCase& c : kWordCases) {
    SCOPED_TRACE(testing::Message() << c.text << " X=" << c.x << " CCR=" << int{c.ccr});
    auto core = RunOne(c.text, 0, 0, c.ccr, 0x01, c.x);
    const Cpu& cpu = core->cpu;
    const uint16_t got = c.what == 'D'   ? static_cast<uint16_t>(cpu.A << 8 | cpu.B)
                         : c.what == 'X' ? cpu.X
                         : c.what == 'S' ? cpu.SP
                                         : ReadWord(*core, DATA);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(cpu.CCR, c.wantCcr);
  }
}

}  // namespace
