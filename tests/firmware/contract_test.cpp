// The fixed contract between the firmware image and the emulator: size, the
// bytes the emulator patches, traps or relies on, the reset set-up order,
// and romcheck accepting the image but refusing what the emulator cannot run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;

namespace {

TEST(FirmwareImage, HoldsTheBytesTheEmulatorDependsOn) {
  const auto image = LoadImage();
  ASSERT_EQ(image.size(), 16384u);
  const struct {
    uint16_t address;
    std::vector<uint8_t> bytes;
    const char* what;
  } fixed[] = {
      {0xE21B, {0x7E, 0xCC, 0x96}, "countdown JMP to power-off, patched at 0xE21C"},
      {0xE2DB, {0xD7, 0x03}, "first beeper store, direct page"},
      {0xE2E3, {0xD7, 0x03}, "second beeper store, direct page"},
  };
  for (const auto& f : fixed) {
    for (size_t i = 0; i < f.bytes.size(); ++i) {
      EXPECT_EQ(At(image, static_cast<uint16_t>(f.address + i)), f.bytes[i])
          << f.what << " at 0x" << std::hex << f.address + i;
    }
  }
}

TEST(ResetEntry, SetsUpTheAdapterInOrderThenStopsTheMechanism) {
  const auto image = LoadImage();
  std::vector<std::pair<uint16_t, uint8_t>> stores;  // CLR and STAA extended, in order
  for (const Traced& t : RunTraced("--instructions 60")) {
    if (t.pc < 0xC000 || (t.opcode != 0x7F && t.opcode != 0xB7)) continue;
    const auto operand = static_cast<uint16_t>(At(image, static_cast<uint16_t>(t.pc + 1)) << 8 |
                                               At(image, static_cast<uint16_t>(t.pc + 2)));
    stores.emplace_back(operand, t.opcode == 0x7F ? 0 : t.a);
  }
  const std::vector<std::pair<uint16_t, uint8_t>> expected = {
      {0x4001, 0x00}, {0x4003, 0x00}, {0x4000, 0x00}, {0x4002, 0xEF}, {0x4001, 0x34}, {0x4003, 0x3C}, {0x0017, 0x00}};
  ASSERT_GE(stores.size(), expected.size());
  EXPECT_EQ(std::vector(stores.begin(), stores.begin() + static_cast<long>(expected.size())), expected);
}

// romcheck's exit status and output on `image`.
int Romcheck(const std::vector<uint8_t>& image, std::string* output) {
  ScratchDir scratch;
  const std::string path = SaveImage(image, scratch.path / "image.bin");
  return RunCommand(std::string(ROMCHECK) + " '" + path + "' '" + TM650_FIRMWARE_SYM + "' 2>&1", output);
}

TEST(Romcheck, AcceptsTheBuiltImage) {
  std::string output;
  EXPECT_EQ(Romcheck(LoadImage(), &output), 0) << output;
  EXPECT_NE(output.find("all decoded"), std::string::npos) << output;
}

TEST(Romcheck, RefusesOpcodesTheEmulatorCannotRun) {
  // Each replaces the JSR of the key scan in the wait loop (0xE21E), a spot
  // every path through the firmware reaches: an undecoded addressing mode, an
  // instruction outside the subset, an indexed JSR, an interrupt mask change.
  for (uint8_t opcode : {0x90, 0x3D, 0xAD, 0x0E}) {
    auto image = LoadImage();
    ASSERT_EQ(At(image, 0xE21E), 0xBD);
    image[0xE21E - 0xC000] = opcode;
    std::string output;
    EXPECT_EQ(Romcheck(image, &output), 1) << std::hex << int{opcode};
    EXPECT_NE(output.find("0xE21E"), std::string::npos) << output;
  }
}

TEST(Romcheck, FollowsJumpTablesAndChecksTheSize) {
  // One key handler pointed at the empty vector slots, not an instruction.
  auto image = LoadImage();
  const uint16_t table = LoadSymbols().at("jt_keys");
  image[table - 0xC000] = 0xFF;
  image[table - 0xC000 + 1] = 0xF0;
  std::string output;
  EXPECT_EQ(Romcheck(image, &output), 1);
  EXPECT_NE(output.find("jump table jt_keys"), std::string::npos) << output;
  auto shortImage = LoadImage();
  shortImage.pop_back();
  EXPECT_EQ(Romcheck(shortImage, &output), 1);
}

}  // namespace
