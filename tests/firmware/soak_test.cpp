// Robustness: seeded random key scripts must never reach an undecoded opcode,
// a halt or the self-check, and must leave the machine sane: stack inside
// RAM, PC inside the ROM, only blanks, digits and E on the display.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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
  EXPECT_EQ(run.Field("stop"), "idle") << what;
  const long sp = run.Number("registers", "SP");
  const long pc = run.Number("registers", "PC");
  EXPECT_GE(sp, 0x2000) << what;
  EXPECT_LE(sp, 0x23FF) << what;
  EXPECT_GE(pc, 0xC000) << what;
  for (char c : run.Field("digits")) {
    EXPECT_TRUE(c == ' ' || (c >= '0' && c <= '9') || c == 'E') << what << " shows '" << c << "'";
  }
}

TEST(Soak, EveryInstructionStaysInBounds) {
  // A traced script: every instruction's PC in the ROM, the stack within its
  // own bytes above the variables once set, and never the self-check's SWI.
  RunResult run;
  const std::vector<Traced> trace = RunTraced("--hold 2000 --keys '" + Script(77, 150, false) + "'", &run);
  ExpectSane(run, "traced");
  ASSERT_GT(trace.size(), 100000u);
  const unsigned stackBottom = LoadSymbols().at("stack_bottom");  // no variable at or above it
  long outside = 0, stack = 0, selfCheck = 0;
  for (size_t i = 1; i < trace.size(); ++i) {  // the first instruction sets the stack
    outside += trace[i].pc < 0xC000;
    stack += trace[i].sp < stackBottom - 1 || trace[i].sp > 0x23FF;
    selfCheck += trace[i].pc == 0xEB3B;
  }
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
    const long value = std::uniform_int_distribution<long>(0, pick(4) == 0 ? 9999 : 60)(random);
    return Type(10 * value + (pick(3) == 0 ? static_cast<long>(pick(10)) : 0));
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

// Six scripts of shaping calculations and one of 5000 random keys (2000 on
// Windows, whose command shell takes at most 8191 characters a line).
#ifdef _WIN32
constexpr int RANDOM_KEYS = 2000;
#else
constexpr int RANDOM_KEYS = 5000;
#endif
TEST(Soak, PatchedScriptsEndSane) {
  long blocks = 0;
  for (unsigned seed = 500; seed <= 506; ++seed) {
    const std::string keys =
        seed < 506 ? "FA 2 2 S 3 0 R = " + ShapingScript(seed, 60) : Script(650, RANDOM_KEYS, true);
    const RunResult run = RunKeys(keys, "--hold 2000");
    ExpectSane(run, "seed " + std::to_string(seed));
    for (const std::string& line : run.Lines()) {
      blocks += line.empty();
      EXPECT_LE(line.size(), 16u) << line;
      const bool words = std::any_of(line.begin(), line.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
      if (seed < 506 && line.find('/') != std::string::npos && !words) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '/'), 2) << line;  // amount/rows/times
      }
    }
  }
  EXPECT_GT(blocks, 100);  // a good share of them worked out and printed
}

TEST(Soak, UnpatchedKeysWithTheFirmwaresOwnDelaysAndPrinter) {
  ExpectSane(RunKeys(ShapingScript(506, 15), "--unpatched --hold 2000"), "shaping unpatched");
  for (unsigned seed = 100; seed < 104; ++seed) {
    ExpectSane(RunKeys(Script(seed, 100, true), "--unpatched --hold 2000"), "unpatched seed " + std::to_string(seed));
  }
}

}  // namespace
