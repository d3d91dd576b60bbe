// Start-up pieces: names derived from the executable, and reading the
// firmware file.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "tests/support/scratch.h"

namespace {

TEST(StartupNames, OnlyTheFileNamesOwnExtensionIsReplaced) {
  struct Case {
    const char* executable;
    const char* firmware;
    const char* log;
  };
  const Case cases[] = {
      {"C:\\Knit\\tm650e.exe", "C:\\Knit\\tm650e.tm650.bin", "tm650e.log"},
      {"/usr/bin/tm650e", "/usr/bin/tm650e.tm650.bin", "tm650e.log"},
      {"/opt/v1.2/tm650e.bin", "/opt/v1.2/tm650e.tm650.bin", "tm650e.log"},
      {"/x/.hidden", "/x/.hidden.tm650.bin", ".hidden.log"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirmwareFileFor(c.executable), c.firmware) << c.executable;
    EXPECT_EQ(LogFileNameFor(c.executable), c.log) << c.executable;
  }
}

// A short image is read as it is; one byte too many is refused before a byte
// is read. Missing files, folders, pipes and devices are the runner's
// bad-input table.
TEST(StartupFiles, ImagesUpToTheFullSizeAreRead) {
  ScratchDir dir;
  Spill(dir / "short.bin", std::string(100, '\xAA'));
  Spill(dir / "long.bin", std::string(16385, '\0'));
  std::vector<uint8_t> image;
  std::string error;
  ASSERT_TRUE(ReadFirmwareFile((dir / "short.bin").string(), image, error)) << error;
  EXPECT_EQ(image, std::vector<uint8_t>(100, 0xAA));
  EXPECT_FALSE(ReadFirmwareFile((dir / "long.bin").string(), image, error));
  EXPECT_NE(error.find("16384"), std::string::npos) << error;
}

}  // namespace
