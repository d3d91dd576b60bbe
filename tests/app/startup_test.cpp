// Start-up pieces: names derived from the executable and the firmware file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

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

// Only a regular file of at most 16384 bytes is read; anything else is
// refused by its kind or size before a byte is read.
TEST_F(StartupFiles, OnlyRegularFilesThatFitAreRead) {
  std::vector<uint8_t> image;
  std::string error;
  Write(dir / "short.bin", 100, 0xAA);
  ASSERT_TRUE(ReadFirmwareFile((dir / "short.bin").string(), image, error));
  EXPECT_EQ(image, std::vector<uint8_t>(100, 0xAA));
  Write(dir / "long.bin", 16385, 0);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::pair<fs::path, const char*> refused[] = {
      {dir / "long.bin", "16384"}, {dir / "missing.bin", "no such file"},
      {dir, "not a regular file"}, {dir / "fifo", "not a regular file"},
      {"/dev/zero", "not a regular file"}};
  for (const auto& [path, reason] : refused) {
    error.clear();
    EXPECT_FALSE(ReadFirmwareFile(path.string(), image, error)) << path;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
