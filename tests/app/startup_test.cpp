// Start-up pieces: names derived from the executable, the firmware file and
// the log, and a bounded stop of the emulation thread.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/startup.h"

namespace fs = std::filesystem;

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
      {"/home/k/.local/bin/tm650e", "/home/k/.local/bin/tm650e.tm650.bin", "tm650e.log"},
      {"/opt/v1.2/tm650e.bin", "/opt/v1.2/tm650e.tm650.bin", "tm650e.log"},
      {"tm650e", "tm650e.tm650.bin", "tm650e.log"},
      {"/x/.hidden", "/x/.hidden.tm650.bin", ".hidden.log"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirmwareFileFor(c.executable), c.firmware) << c.executable;
    EXPECT_EQ(LogFileNameFor(c.executable), c.log) << c.executable;
  }
}

class StartupFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tm650-startup-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  void Write(const fs::path& path, size_t size, uint8_t fill) {
    std::ofstream(path, std::ios::binary) << std::string(size, static_cast<char>(fill));
  }
  fs::path dir;
};

TEST_F(StartupFiles, ShortImagesAreZeroFilledLongOnesRefused) {
  std::vector<uint8_t> image;
  std::string error;
  Write(dir / "short.bin", 100, 0xAA);
  ASSERT_TRUE(ReadFirmwareFile((dir / "short.bin").string(), image, error));
  auto machine = std::make_unique<Machine>();
  machine->core.memory[0x2000] = 0x55;
  machine->core.memory[0xFFFF] = 0x55;
  LoadFirmware(*machine, image);
  EXPECT_EQ(machine->core.memory[0xC000], 0xAA);
  EXPECT_EQ(machine->core.memory[0xC063], 0xAA);
  EXPECT_EQ(machine->core.memory[0xC064], 0x00);
  EXPECT_EQ(machine->core.memory[0xFFFF], 0x00);
  EXPECT_EQ(machine->core.memory[0x2000], 0x00) << "memory is cleared first";

  Write(dir / "long.bin", 16385, 0);
  EXPECT_FALSE(ReadFirmwareFile((dir / "long.bin").string(), image, error));
  EXPECT_NE(error.find("16384"), std::string::npos);
  EXPECT_FALSE(ReadFirmwareFile((dir / "missing.bin").string(), image, error));
  EXPECT_NE(error.find("missing.bin"), std::string::npos);
}

TEST_F(StartupFiles, LogIsRewrittenAtEveryStart) {
  Write(dir / "tm650e.log", 50, 'x');
  std::FILE* log = OpenLogFile(dir.string(), "/opt/knit/tm650e.exe");
  ASSERT_NE(log, nullptr);
  std::fputs("AB\r\n", log);
  std::fclose(log);
  EXPECT_EQ(fs::file_size(dir / "tm650e.log"), 4u);
  EXPECT_EQ(OpenLogFile((dir / "no-such-folder").string(), "tm650e"), nullptr);
  EXPECT_EQ(OpenLogFile("", "tm650e"), nullptr);
}

TEST(EmulationStop, EndsTheThreadWithinTheWait) {
  auto machine = std::make_unique<Machine>();
  machine->core.memory[0xFFFE] = 0xC0;
  machine->core.memory[0xC000] = 0x20;  // BRA *
  machine->core.memory[0xC001] = 0xFE;
  EmulationRunner runner;
  StartEmulation(*machine, runner);
  EXPECT_TRUE(StopEmulation(*machine, runner, 1000));
  EXPECT_FALSE(runner.thread.joinable());
}

}  // namespace
