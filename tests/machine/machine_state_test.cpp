// The kept device's format, pinned by a file kept in the tree beside this
// test: read back to the very device, written to the very same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "emulator/keeping.h"
#include "emulator/machine_internals.h"
#include "emulator/machine_state.h"
#include "tests/support/scratch.h"

namespace {

// An image of its own, so the golden file does not follow the firmware.
std::vector<uint8_t> GoldenImage() {
  std::vector<uint8_t> image(FIRMWARE_SIZE);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
  image[RESET_VECTOR - FIRMWARE_BASE] = 0xC0;
  image[RESET_VECTOR - FIRMWARE_BASE + 1] = 0x00;
  return image;
}

// Every kept field set to a value of its own.
void MakeGoldenDevice(Machine& m, const std::vector<uint8_t>& image) {
  using In = MachineInternals;
  MachineInit(m, {image});
  for (uint16_t a = 0x40; a < 0x140; ++a) In::core(m).memory[a] = static_cast<uint8_t>(a ^ 0x5A);
  In::core(m).cpu = Cpu{0x12, 0x34, 0x5678, 0x23F0, 0xE210, 0xD4, 0x3F};
  In::pia(m).A = PiaSide{0x01, 0x02, 0x03, 0x04};
  In::pia(m).B = PiaSide{0x05, 0x06, 0x07, 0x0C};
  DisplayLink& link = In::link(m);
  link.shift = 0xA5;
  link.bitCount = 3;
  link.previousClock = 0x20;
  link.previousSelect = 0;
  In::cells(m) = DisplayCells{{1, 2, 3, 4, 5, 6, 7, 8}, 5};
  In::lamps(m) = 0x15;
  PrinterPort& p = In::printer(m);  // between two steps of a column
  p.state = 5, p.homePhase = 1, p.stepPhase = 2, p.halfStepPhase = 1, p.passes = 6, p.group = 3, p.columns = 7;
  p.steps = 9, p.captureCount = 10, p.skip = 1;
  for (uint8_t i = 0; i < 10; ++i) p.capture[i] = static_cast<uint8_t>(0x41 + i);
  const DeviceView view{{{1, 2, DIGIT_BLANK, 9}, {false, true, false, false}}, 0x15, true, 1234, "12.5 cm\r\nRows 40\r\n"};
  In::SetView(m, view);
}

// The file a kept device of this format is: this program reads it back to
// the very device, writes that device to the very same bytes, and names
// what is wrong when the firmware or its patching differ. A change of the
// firmware's identity, of a record or of the framing fails here.
TEST(StateFormat, TheGoldenFileReadsAndIsWrittenByteForByte) {
  const std::vector<uint8_t> image = GoldenImage();
  auto expected = std::make_unique<Machine>();
  MakeGoldenDevice(*expected, image);
  if (const char* write = std::getenv("TM650_WRITE_GOLDEN")) {
    const std::vector<uint8_t> bytes = MachineStateBytes(*expected);
    Spill(write, std::string(bytes.begin(), bytes.end()));
    GTEST_SKIP() << "written to " << write;
  }
  const std::string file = Slurp(TM650_GOLDEN_STATE);
  const std::vector<uint8_t> golden(file.begin(), file.end());
  EXPECT_TRUE(MachineStateBytes(*expected) == golden) << "the format changed: keep reading the old one";
  auto read = std::make_unique<Machine>();
  MachineInit(*read, {image});
  const StateFileResult result = RestoreMachineStateBytes(*read, golden);
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(MachineStateSections(*read), MachineStateSections(*expected));

  // Kept before the printer had a record: read, the printer at rest.
  std::vector<StateSection> sections;
  ASSERT_TRUE(DecodeStateFile(golden, MachineKey(*read), sections, "golden").ok());
  sections.pop_back();
  ASSERT_EQ(RestoreMachineSections(*read, sections, "older").status, StateFileStatus::Ok);
  EXPECT_EQ(MachineInternals::printer(*read).state, 0);
  EXPECT_EQ(MachineInternals::printer(*read).captureCount, 0u);

  const std::pair<bool, std::vector<uint8_t>> others[] = {{false, image}, {true, std::vector<uint8_t>(16, 1)}};
  const std::pair<StateFileStatus, std::string> refusals[] = {
      {StateFileStatus::OtherPatching, "the kept device: made by a patched run of this firmware; this run is unpatched"},
      {StateFileStatus::OtherFirmware, "the kept device: made with another firmware"}};
  for (size_t i = 0; i < 2; ++i) {
    MachineInit(*read, {others[i].second, others[i].first});
    const StateFileResult refused = RestoreMachineStateBytes(*read, golden);
    EXPECT_EQ(refused.status, refusals[i].first);
    EXPECT_EQ(refused.message, refusals[i].second);
  }
}

// The keeping every shell uses: the device kept at exit is the one the next
// start restores, a file of another firmware starts the device afresh and
// says why, and with keeping turned off the kept file goes at exit (through
// a symlink, which stays), but never a folder of that name.
TEST(Keeping, WhatIsKeptAtExitComesBackAndGoesWhenTurnedOff) {
  ScratchDir dir;
  const std::filesystem::path path = dir / "device.state", link = dir / "link.state";
  const std::vector<uint8_t> image = GoldenImage();
  auto m = std::make_unique<Machine>();
  MakeGoldenDevice(*m, image);
  EXPECT_EQ(DeviceKeeping(*m, path, true).KeepAtExit(), "");
  MachineInit(*m, {image});
  EXPECT_EQ(DeviceKeeping(*m, path, true).Restore(), "");
  EXPECT_EQ(MachineView(*m).paper, "12.5 cm\r\nRows 40\r\n");
  MachineInit(*m, {std::vector<uint8_t>(16, 1)});
  EXPECT_EQ(DeviceKeeping(*m, path, true).Restore(), "Started afresh: " + path.string() + ": made with another firmware");

  std::error_code noLinks;
  std::filesystem::create_symlink(path, link, noLinks);
  DeviceKeeping off(*m, noLinks ? path : link, true);
  off.SetKeep(false);
  EXPECT_EQ(off.KeepAtExit(), "");
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(noLinks || std::filesystem::is_symlink(link));
  EXPECT_EQ(DeviceKeeping(*m, dir.path, false).KeepAtExit(), "");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path));
}

}  // namespace
