// The dispatch table: which 123 slots are decoded, their lengths and names
// checked against the GNU assembler's encodings, and undecoded slots.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "tests/emulator/m6303_rig.h"

namespace {

struct Encoding {
  uint8_t opcode;
  const char* text;
};

// One line per decoded opcode, in opcode order.
const Encoding kEncodings[] = {
    {0x01, "nop"}, {0x06, "tap"}, {0x07, "tpa"}, {0x08, "inx"}, {0x09, "dex"},
    {0x0A, "clv"}, {0x0B, "sev"}, {0x0C, "clc"}, {0x0D, "sec"}, {0x0E, "cli"},
    {0x0F, "sei"}, {0x10, "sba"}, {0x11, "cba"}, {0x16, "tab"}, {0x17, "tba"},
    {0x19, "daa"}, {0x1A, ".byte 0x1a"}, {0x1B, "aba"},
    {0x20, "bra ."}, {0x22, "bhi ."}, {0x23, "bls ."}, {0x24, "bcc ."}, {0x25, "bcs ."},
    {0x26, "bne ."}, {0x27, "beq ."}, {0x28, "bvc ."}, {0x29, "bvs ."}, {0x2A, "bpl ."},
    {0x2B, "bmi ."}, {0x2C, "bge ."}, {0x2D, "blt ."}, {0x2E, "bgt ."}, {0x2F, "ble ."},
    {0x30, "tsx"}, {0x32, "pula"}, {0x33, "pulb"}, {0x35, "txs"}, {0x36, "psha"},
    {0x37, "pshb"}, {0x38, "pulx"}, {0x39, "rts"}, {0x3C, "pshx"}, {0x3F, "swi"},
    {0x44, "lsra"}, {0x46, "rora"}, {0x47, "asra"}, {0x48, "asla"}, {0x49, "rola"},
    {0x4A, "deca"}, {0x4C, "inca"}, {0x4D, "tsta"}, {0x4F, "clra"},
    {0x54, "lsrb"}, {0x56, "rorb"}, {0x57, "asrb"}, {0x58, "aslb"}, {0x59, "rolb"},
    {0x5A, "decb"}, {0x5C, "incb"}, {0x5D, "tstb"}, {0x5F, "clrb"},
    {0x64, "lsr 1,x"}, {0x66, "ror 1,x"}, {0x67, "asr 1,x"}, {0x68, "asl 1,x"},
    {0x69, "rol 1,x"}, {0x6D, "tst 1,x"}, {0x6F, "clr 1,x"},
    {0x73, "com 0x1234"}, {0x79, "rol 0x1234"}, {0x7A, "dec 0x1234"}, {0x7C, "inc 0x1234"},
    {0x7D, "tst 0x1234"}, {0x7E, "jmp 0x1234"}, {0x7F, "clr 0x1234"},
    {0x80, "suba #1"}, {0x81, "cmpa #1"}, {0x84, "anda #1"}, {0x86, "ldaa #1"},
    {0x88, "eora #1"}, {0x89, "adca #1"}, {0x8A, "oraa #1"}, {0x8B, "adda #1"},
    {0x8C, "cpx #0x1234"}, {0x8D, "bsr ."}, {0x8E, "lds #0x1234"},
    {0x96, "ldaa *0x12"}, {0x97, "staa *0x12"},
    {0xA0, "suba 1,x"}, {0xA6, "ldaa 1,x"}, {0xA7, "staa 1,x"}, {0xA9, "adca 1,x"},
    {0xB0, "suba 0x1234"}, {0xB1, "cmpa 0x1234"}, {0xB6, "ldaa 0x1234"},
    {0xB7, "staa 0x1234"}, {0xB8, "eora 0x1234"}, {0xB9, "adca 0x1234"},
    {0xBA, "oraa 0x1234"}, {0xBB, "adda 0x1234"}, {0xBC, "cpx 0x1234"},
    {0xBD, "jsr 0x1234"}, {0xBE, "lds 0x1234"}, {0xBF, "sts 0x1234"},
    {0xC1, "cmpb #1"}, {0xC4, "andb #1"}, {0xC6, "ldab #1"}, {0xC8, "eorb #1"},
    {0xC9, "adcb #1"}, {0xCE, "ldx #0x1234"},
    {0xD6, "ldab *0x12"}, {0xD7, "stab *0x12"},
    {0xE6, "ldab 1,x"}, {0xE7, "stab 1,x"}, {0xEA, "orab 1,x"},
    {0xF0, "subb 0x1234"}, {0xF6, "ldab 0x1234"}, {0xF7, "stab 0x1234"},
    {0xF8, "eorb 0x1234"}, {0xFA, "orab 0x1234"}, {0xFC, "ldd 0x1234"},
    {0xFE, "ldx 0x1234"}, {0xFF, "stx 0x1234"},
};

// The slots this machine leaves undecoded, as inclusive ranges.
const std::pair<uint8_t, uint8_t> kEmptyRanges[] = {
    {0x00, 0x00}, {0x02, 0x05}, {0x12, 0x15}, {0x18, 0x18}, {0x1C, 0x1F}, {0x21, 0x21},
    {0x31, 0x31}, {0x34, 0x34}, {0x3A, 0x3B}, {0x3D, 0x3E}, {0x40, 0x43}, {0x45, 0x45},
    {0x4B, 0x4B}, {0x4E, 0x4E}, {0x50, 0x53}, {0x55, 0x55}, {0x5B, 0x5B}, {0x5E, 0x5E},
    {0x60, 0x63}, {0x65, 0x65}, {0x6A, 0x6C}, {0x6E, 0x6E}, {0x70, 0x72}, {0x74, 0x78},
    {0x7B, 0x7B}, {0x82, 0x83}, {0x85, 0x85}, {0x87, 0x87}, {0x8F, 0x95}, {0x98, 0x9F},
    {0xA1, 0xA5}, {0xA8, 0xA8}, {0xAA, 0xAF}, {0xB2, 0xB5}, {0xC0, 0xC0}, {0xC2, 0xC3},
    {0xC5, 0xC5}, {0xC7, 0xC7}, {0xCA, 0xCD}, {0xCF, 0xD5}, {0xD8, 0xE5}, {0xE8, 0xE9},
    {0xEB, 0xEF}, {0xF1, 0xF5}, {0xF9, 0xF9}, {0xFB, 0xFB}, {0xFD, 0xFD},
};

std::set<int> EmptySlots() {
  std::set<int> slots;
  for (auto [first, last] : kEmptyRanges)
    for (int op = first; op <= last; ++op) slots.insert(op);
  return slots;
}

std::string Lower(const char* text) {
  std::string s(text);
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

TEST(M6303Table, ExactlyTheListedSlotsAreDecoded) {
  const std::set<int> empty = EmptySlots();
  ASSERT_EQ(empty.size(), 133u);
  ASSERT_EQ(std::size(kEncodings), 123u);
  int filled = 0;
  for (int op = 0; op < 256; ++op) {
    SCOPED_TRACE(testing::Message() << "opcode 0x" << std::hex << op);
    const bool decoded = OpcodeTable[op] != nullptr;
    filled += decoded;
    EXPECT_EQ(decoded, empty.count(op) == 0);
    EXPECT_EQ(InstructionLength[op] != 0, decoded);
    ASSERT_NE(Mnemonic[op], nullptr);
    EXPECT_EQ(Mnemonic[op][0] != '\0', decoded);
  }
  EXPECT_EQ(filled, 123);
}

// The assembler encodes one of each; walking its output with our lengths must
// land on every opcode in turn, and our names must be its mnemonics.
TEST(M6303Table, LengthsAndMnemonicsMatchTheAssembler) {
  std::ostringstream source;
  for (const Encoding& e : kEncodings) source << "\t" << e.text << "\n";
  const std::vector<uint8_t> bytes = Assemble(source.str(), 0xC000);
  size_t at = 0;
  for (const Encoding& e : kEncodings) {
    SCOPED_TRACE(e.text);
    ASSERT_LT(at, bytes.size());
    ASSERT_EQ(bytes[at], e.opcode);
    at += InstructionLength[e.opcode];
    const std::string text = e.text;
    if (text[0] != '.') {
      EXPECT_EQ(Lower(Mnemonic[e.opcode]), text.substr(0, text.find(' ')));
    }
  }
  EXPECT_EQ(at, bytes.size());
}

TEST(M6303Table, UndecodedOpcodesRunNothing) {
  auto core = NewCore();
  for (int op : EmptySlots()) {
    SCOPED_TRACE(testing::Message() << "opcode 0x" << std::hex << op);
    core->cpu = Cpu{.A = 1, .B = 2, .X = 3, .SP = 4, .PC = 0x2000, .CCR = 0x2A, .Opcode = 0};
    core->memory[0x2000] = static_cast<uint8_t>(op);
    EXPECT_EQ(ExecuteOne(*core), ExecuteResult::Undecoded);
    EXPECT_EQ(core->cpu.PC, 0x2001);
    EXPECT_EQ(core->cpu.Opcode, op);
    EXPECT_EQ(core->cpu.A, 1);
    EXPECT_EQ(core->cpu.B, 2);
    EXPECT_EQ(core->cpu.X, 3);
    EXPECT_EQ(core->cpu.SP, 4);
    EXPECT_EQ(core->cpu.CCR, 0x2A);
    EXPECT_FALSE(core->halted);
  }
}

}  // namespace
