// The dispatch table checked against the GNU assembler: exactly the 123
// listed instructions are decoded, with its lengths and mnemonics, and every
// other slot runs nothing.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "tests/emulator/m6303_rig.h"

namespace {

// One of each decoded opcode; 0x1A (SLP) is unknown to the assembler.
const char* const kDecoded[] = {
    "nop", "tap", "tpa", "inx", "dex", "clv", "sev", "clc", "sec", "cli", "sei", "sba",
    "cba", "tab", "tba", "daa", ".byte 0x1a", "aba", "bra .", "bhi .", "bls .", "bcc .",
    "bcs .", "bne .", "beq .", "bvc .", "bvs .", "bpl .", "bmi .", "bge .", "blt .",
    "bgt .", "ble .", "tsx", "pula", "pulb", "txs", "psha", "pshb", "pulx", "rts", "pshx",
    "swi", "lsra", "rora", "asra", "asla", "rola", "deca", "inca", "tsta", "clra", "lsrb",
    "rorb", "asrb", "aslb", "rolb", "decb", "incb", "tstb", "clrb", "lsr 1,x", "ror 1,x",
    "asr 1,x", "asl 1,x", "rol 1,x", "tst 1,x", "clr 1,x", "com 0x1234", "rol 0x1234",
    "dec 0x1234", "inc 0x1234", "tst 0x1234", "jmp 0x1234", "clr 0x1234", "suba #1",
    "cmpa #1", "anda #1", "ldaa #1", "eora #1", "adca #1", "oraa #1", "adda #1",
    "cpx #0x1234", "bsr .", "lds #0x1234", "ldaa *0x12", "staa *0x12", "suba 1,x",
    "ldaa 1,x", "staa 1,x", "adca 1,x", "suba 0x1234", "cmpa 0x1234", "ldaa 0x1234",
    "staa 0x1234", "eora 0x1234", "adca 0x1234", "oraa 0x1234", "adda 0x1234",
    "cpx 0x1234", "jsr 0x1234", "lds 0x1234", "sts 0x1234", "cmpb #1", "andb #1",
    "ldab #1", "eorb #1", "adcb #1", "ldx #0x1234", "ldab *0x12", "stab *0x12",
    "ldab 1,x", "stab 1,x", "orab 1,x", "subb 0x1234", "ldab 0x1234", "stab 0x1234",
    "eorb 0x1234", "orab 0x1234", "ldd 0x1234", "ldx 0x1234", "stx 0x1234",
};

// Walking the assembler's output with our lengths must land on each listed
// opcode in turn; the opcodes met are the decoded set, and every other slot
// runs nothing and leaves the registers alone.
TEST(M6303Table, DecodedSlotsMatchTheAssemblerAndTheRestRunNothing) {
  std::string source;
  for (const char* text : kDecoded) source += std::string("\t") + text + "\n";
  const std::vector<uint8_t> bytes = Assemble(source, 0xC000);
  std::set<int> decoded;
  size_t at = 0;
  for (const std::string text : kDecoded) {
    SCOPED_TRACE(text);
    ASSERT_LT(at, bytes.size());
    const uint8_t op = bytes[at];
    decoded.insert(op);
    ASSERT_NE(InstructionLength[op], 0);
    std::string name = Mnemonic[op];
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (text[0] != '.') {
      EXPECT_EQ(name, text.substr(0, text.find(' ')));
    }
    at += InstructionLength[op];
  }
  EXPECT_EQ(at, bytes.size());
  ASSERT_EQ(decoded.size(), 123u);

  auto core = std::make_unique<Core>();
  for (int op = 0; op < 256; ++op) {
    if (decoded.count(op)) continue;
    SCOPED_TRACE(testing::Message() << "opcode 0x" << std::hex << op);
    EXPECT_EQ(InstructionLength[op], 0);
    ASSERT_NE(Mnemonic[op], nullptr);
    EXPECT_STREQ(Mnemonic[op], "");
    core->cpu = Cpu{.A = 1, .B = 2, .X = 3, .SP = 4, .PC = 0x2000, .CCR = 0x2A, .Opcode = 0};
    core->memory[0x2000] = static_cast<uint8_t>(op);
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Undecoded);
    const Cpu& cpu = core->cpu;
    EXPECT_TRUE(cpu.PC == 0x2001 && cpu.Opcode == op && cpu.A == 1 && cpu.B == 2 &&
                cpu.X == 3 && cpu.SP == 4 && cpu.CCR == 0x2A && !core->halted);
  }
}

}  // namespace
