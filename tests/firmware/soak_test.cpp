// Robustness: seeded random key scripts must never reach an undecoded opcode,
// a halt or the self-check, and must leave the machine sane: stack inside
// RAM, PC inside the ROM, only blanks, digits and E on the display.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

const std::vector<std::string> kKeys = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "C", "AC", "ACNG", "S", "R", "X", "Y", "Z", "P=", "=",
    "FA", "FB", "FC", "FD", "FE", "FF", "FG", "FH", "FI", "FJ", "FK", "FL", "FM", "FN"};

std::string Script(unsigned seed, int count, bool withPrint) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<size_t> pick(0, kKeys.size() - 1);
  std::string keys;
  for (int i = 0; i < count; ++i) {
    std::string key = kKeys[pick(random)];
    if (!withPrint && (key == "FL" || key == "FN" || key == "FM")) key = "=";
    keys += key + " ";
  }
  return keys;
}

void ExpectSane(const RunResult& run, const std::string& what) {
  EXPECT_EQ(run.status, 0) << what << run.errors;
  EXPECT_EQ(Field(run.report, "stop"), "idle") << what;
  const long sp = std::stol(Inner(run.report, "registers", "SP"));
  const long pc = std::stol(Inner(run.report, "registers", "PC"));
  EXPECT_GE(sp, 0x2000) << what;
  EXPECT_LE(sp, 0x23FF) << what;
  EXPECT_GE(pc, 0xC000) << what;
  for (char c : Field(run.report, "digits")) {
    EXPECT_TRUE(c == ' ' || (c >= '0' && c <= '9') || c == 'E') << what << " shows '" << c << "'";
  }
}

TEST(Soak, FiveThousandRandomKeysPatched) {
  const std::string keys = Script(650, 5000, true);
  const RunResult run = RunFirmware("--hold 2000 --keys '" + keys + "'");
  ExpectSane(run, "one long script");
  EXPECT_GT(Number(run.report, "instructions"), 2000000);
  for (const std::string& line : Lines(run.paper)) EXPECT_LE(line.size(), 16u) << line;
}

TEST(Soak, ShortScriptsEndSane) {
  // Forty scripts of 125 keys: each end state is checked, 5,000 keys in all.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const RunResult run = RunFirmware("--hold 2000 --keys '" + Script(seed, 125, true) + "'");
    ExpectSane(run, "seed " + std::to_string(seed));
  }
}

TEST(Soak, EveryInstructionStaysInBounds) {
  // A traced script: every instruction's PC in the ROM, the stack in RAM once
  // set, and never the self-check's SWI.
  ScratchDir scratch;
  const auto tracePath = scratch.path() / "trace.txt";
  const RunResult run =
      RunFirmware("--hold 2000 --trace '" + tracePath.string() + "' --keys '" + Script(77, 150, false) + "'");
  ExpectSane(run, "traced");
  std::FILE* trace = std::fopen(tracePath.c_str(), "r");
  ASSERT_NE(trace, nullptr);
  char line[160];
  long lines = 0, outside = 0, stack = 0, selfCheck = 0;
  while (std::fgets(line, sizeof line, trace)) {
    unsigned pc = 0, sp = 0;
    const char* at = std::strstr(line, "SP=");
    if (std::sscanf(line, "%x", &pc) != 1 || !at || std::sscanf(at, "SP=%x", &sp) != 1) continue;
    if (lines++ == 0) continue;  // the first instruction sets the stack
    if (pc < 0xC000) ++outside;
    if (sp < 0x2000 || sp > 0x23FF) ++stack;
    if (pc == 0xEB3B) ++selfCheck;
  }
  std::fclose(trace);
  EXPECT_GT(lines, 100000);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(stack, 0);
  EXPECT_EQ(selfCheck, 0);
}

// Scripts that mostly do sensible things with the shaping functions: a
// function, a few numbers under its letters (sometimes out of range or
// under the wrong letter), "=" or "P=" and some stepping, with the gauge,
// MODE and M/T changing along the way. Every result block must fit the
// paper, and a block's schedule lines must carry numbers.
std::string ShapingScript(unsigned seed, int calculations) {
  std::mt19937 random(seed);
  // each function with the letters it takes
  const std::vector<std::pair<std::string, std::vector<std::string>>> functions = {
      {"FE", {"S", "Z"}}, {"FF", {"R", "Z"}}, {"FE", {"X", "Z"}}, {"FF", {"Y", "Z"}},
      {"FG", {"X", "Y", "Z"}}, {"FH", {"X", "Y"}}, {"FI", {"X", "Y", "Z"}}};
  const std::vector<std::string> letters = {"S", "R", "X", "Y", "Z"};
  auto pick = [&random](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  auto number = [&]() {
    std::string keys;
    const long value = std::uniform_int_distribution<long>(0, pick(4) == 0 ? 9999 : 60)(random);
    for (char c : std::to_string(value)) keys += std::string(1, c) + " ";
    if (pick(3) == 0) keys += ". " + std::to_string(pick(10)) + " ";
    return keys;
  };
  std::string keys = "FN ";
  for (int i = 0; i < calculations; ++i) {
    switch (pick(8)) {
      case 0: keys += "FA " + number() + "S " + number() + "R = "; break;
      case 1: keys += "FJ "; break;
      case 2: keys += "FK "; break;
      default: break;
    }
    const auto& [function, takes] = functions[pick(functions.size())];
    keys += function + " ";
    for (const std::string& letter : takes) {
      if (pick(10) == 0) continue;  // an input left out
      keys += number() + (pick(8) == 0 ? letters[pick(letters.size())] : letter) + " ";
    }
    keys += pick(3) == 0 ? "P= " : "= ";
    for (size_t n = pick(4); n > 0; --n) keys += pick(2) ? "= " : "P= ";
    keys += "C ";
  }
  return keys;
}

TEST(Soak, ShapingCalculationsEndSane) {
  long blocks = 0;
  for (unsigned seed = 500; seed < 506; ++seed) {
    const RunResult run = RunFirmware("--hold 2000 --keys 'FA 2 2 S 3 0 R = " + ShapingScript(seed, 60) + "'");
    ExpectSane(run, "shaping seed " + std::to_string(seed));
    for (const std::string& line : Lines(run.paper)) blocks += line.empty();
    for (const std::string& line : Lines(run.paper)) {
      EXPECT_LE(line.size(), 16u) << line;
      if (line.rfind("EVERY", 0) == 0 || line.rfind("EACH", 0) == 0) {
        EXPECT_NE(line.find('x'), std::string::npos) << line;
      }
    }
  }
  EXPECT_GT(blocks, 100);  // a good share of them worked out and printed
  const RunResult unpatched = RunFirmware("--unpatched --hold 2000 --keys '" + ShapingScript(506, 15) + "'");
  ExpectSane(unpatched, "shaping unpatched");
}

TEST(Soak, UnpatchedKeysWithTheFirmwaresOwnDelaysAndPrinter) {
  for (unsigned seed = 100; seed < 104; ++seed) {
    const RunResult run = RunFirmware("--unpatched --hold 2000 --keys '" + Script(seed, 100, true) + "'");
    ExpectSane(run, "unpatched seed " + std::to_string(seed));
  }
}

}  // namespace
