// The fixed contract between the firmware image and the emulator: size,
// vectors, the bytes at the patched and trapped addresses, the reset set-up
// order, and romcheck accepting the image and refusing undecoded opcodes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

struct FixedBytes {
  uint16_t address;
  std::vector<uint8_t> bytes;
  const char* what;
};

const FixedBytes kFixed[] = {
    {0xFFF0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "unused vectors are 0"},
    {0xFFFE, {0xC0, 0x00}, "reset vector"},
    {0xC000, {0x8E, 0x23, 0xFF}, "reset sets the stack to 0x23FF"},
    {0xCC96, {0x8E, 0x23, 0xFF}, "power-off sets the stack afresh"},
    {0xCCA4, {0x1A}, "SLP"},
    {0xCCA5, {0x20, 0xFE}, "off loop"},
    {0xE210, {0xFE, 0x20, 0xF3, 0x09, 0xFF, 0x20, 0xF3}, "countdown at 0x20F3"},
    {0xE21B, {0x7E, 0xCC, 0x96}, "countdown JMP to power-off"},
    {0xE2CE, {0xCE, 0x02, 0x71}, "confirm delay of 625 counts"},
    {0xE2DB, {0xD7, 0x03}, "first beeper store, direct page"},
    {0xE2E3, {0xD7, 0x03}, "second beeper store, direct page"},
    {0xEB3B, {0x3F}, "the SWI"},
    {0xF904, {0xCE, 0x00, 0x00}, "65,536-count delay"},
};

class FixedContract : public ::testing::TestWithParam<FixedBytes> {};

TEST_P(FixedContract, BytesAreInPlace) {
  const auto image = LoadImage();
  ASSERT_EQ(image.size(), 16384u);
  const FixedBytes& fixed = GetParam();
  for (size_t i = 0; i < fixed.bytes.size(); ++i) {
    EXPECT_EQ(At(image, static_cast<uint16_t>(fixed.address + i)), fixed.bytes[i])
        << fixed.what << " at 0x" << std::hex << fixed.address + i;
  }
}

INSTANTIATE_TEST_SUITE_P(Image, FixedContract, ::testing::ValuesIn(kFixed));

TEST(FirmwareImage, IsExactly16384Bytes) { EXPECT_EQ(LoadImage().size(), 16384u); }

TEST(FirmwareImage, SelfCheckBranchLeadsToTheSwi) {
  // The stack check after each key action is the one way to 0xEB3B; the soak
  // tests show normal use never takes it.
  const auto symbols = LoadSymbols();
  EXPECT_EQ(symbols.at("self_check_fail"), 0xEB3B);
}

// Stores of the reset path, read from a trace: (address, value) in order.
std::vector<std::pair<uint16_t, uint8_t>> ResetStores() {
  ScratchDir scratch;
  const auto tracePath = scratch.path() / "trace.txt";
  RunFirmware("--trace '" + tracePath.string() + "' --instructions 60");
  const auto image = LoadImage();
  std::vector<std::pair<uint16_t, uint8_t>> stores;
  const auto bytes = ReadFile(tracePath);
  std::istringstream trace(std::string(bytes.begin(), bytes.end()));
  std::string line;
  while (std::getline(trace, line)) {
    unsigned pc = 0, opcode = 0, a = 0;
    char mnemonic[8];
    if (std::sscanf(line.c_str(), "%x %x %7s A=%x", &pc, &opcode, mnemonic, &a) != 4) continue;
    if (pc < 0xC000) continue;
    const uint16_t operand = static_cast<uint16_t>(At(image, static_cast<uint16_t>(pc + 1)) << 8 |
                                                   At(image, static_cast<uint16_t>(pc + 2)));
    if (opcode == 0x7F) stores.emplace_back(operand, 0);                          // CLR
    if (opcode == 0xB7) stores.emplace_back(operand, static_cast<uint8_t>(a));    // STAA
  }
  return stores;
}

TEST(ResetEntry, SetsUpTheAdapterInOrderThenStopsTheMechanism) {
  const std::vector<std::pair<uint16_t, uint8_t>> expected = {
      {0x4001, 0x00}, {0x4003, 0x00}, {0x4000, 0x00}, {0x4002, 0xEF},
      {0x4001, 0x34}, {0x4003, 0x3C}, {0x0017, 0x00}};
  const auto stores = ResetStores();
  ASSERT_GE(stores.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(stores[i].first, expected[i].first) << "store " << i;
    EXPECT_EQ(stores[i].second, expected[i].second) << "store " << i;
  }
}

int RunRomcheck(const std::string& image, std::string* output) {
  const std::string command = std::string(ROMCHECK) + " '" + image + "' '" + TM650_FIRMWARE_SYM + "' 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output->append(buffer);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Romcheck, AcceptsTheBuiltImage) {
  std::string output;
  EXPECT_EQ(RunRomcheck(TM650_FIRMWARE_BIN, &output), 0) << output;
  EXPECT_NE(output.find("all decoded"), std::string::npos) << output;
}

struct BadOpcode {
  uint8_t opcode;
  const char* name;
};

// Each replaces the JSR of the key scan in the wait loop (0xE21E), a spot
// every path through the firmware reaches.
const BadOpcode kBadOpcodes[] = {
    {0x90, "SUBA direct"}, {0xFD, "STD extended"}, {0x3D, "MUL"},  {0x3A, "ABX"},
    {0xAD, "JSR indexed"}, {0x9D, "JSR direct"},   {0x43, "COMA"}, {0x82, "SBCA"},
    {0x21, "BRN"},         {0xCB, "ADDB"},         {0x0E, "CLI"},  {0x0F, "SEI"},
};

class RomcheckRefuses : public ::testing::TestWithParam<BadOpcode> {};

TEST_P(RomcheckRefuses, AnOpcodeTheEmulatorCannotRun) {
  auto image = LoadImage();
  ASSERT_EQ(At(image, 0xE21E), 0xBD);
  image[0xE21E - 0xC000] = GetParam().opcode;
  ScratchDir scratch;
  std::string output;
  EXPECT_EQ(RunRomcheck(SaveImage(image, scratch.path() / "bad.bin"), &output), 1) << GetParam().name;
  EXPECT_NE(output.find("0xE21E"), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Opcodes, RomcheckRefuses, ::testing::ValuesIn(kBadOpcodes));

TEST(Romcheck, FollowsJumpTables) {
  // Point one key handler at a byte that is not an instruction.
  auto image = LoadImage();
  const auto symbols = LoadSymbols();
  const uint16_t table = symbols.at("jt_keys");
  const uint16_t vectors = 0xFFF0;  // holds 0x00, an empty slot
  image[table - 0xC000] = vectors >> 8;
  image[table - 0xC000 + 1] = vectors & 0xFF;
  ScratchDir scratch;
  std::string output;
  EXPECT_EQ(RunRomcheck(SaveImage(image, scratch.path() / "bad.bin"), &output), 1);
  EXPECT_NE(output.find("jump table jt_keys"), std::string::npos) << output;
}

TEST(Romcheck, RefusesAnImageOfTheWrongSize) {
  auto image = LoadImage();
  image.pop_back();
  ScratchDir scratch;
  std::string output;
  EXPECT_EQ(RunRomcheck(SaveImage(image, scratch.path() / "short.bin"), &output), 1);
}

}  // namespace
