// Port 6: the sensor waveform the firmware's print and feed routines wait
// on, and the needle-data capture files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "peripherals/printer_port.h"

namespace fs = std::filesystem;

namespace {

using Wave = std::vector<uint8_t>;

void Home(Wave& w) { w.insert(w.end(), {0x20, 0x20, 0x00, 0x00}); }
void Steps(Wave& w, int n) { while (n-- > 0) w.insert(w.end(), {0x00, 0x00, 0x10, 0x10}); }
void HalfStep(Wave& w) { w.insert(w.end(), {0x00, 0x00}); }

Wave PrintedLineWave() {
  Wave w;
  for (int pass = 0; pass < 7; ++pass) {
    Home(w);
    for (int group = 0; group < 4; ++group) {
      if (group > 0) Steps(w, 1);
      Steps(w, 1);
      for (int column = 0; column < 5; ++column) {
        HalfStep(w);
        Steps(w, 1);
        HalfStep(w);
        Steps(w, 1);
      }
    }
  }
  Steps(w, 72);
  Home(w);
  Steps(w, 168);
  return w;
}

Wave ReadWave(PrinterPort& port, size_t count, uint8_t stepCounter) {
  Wave w;
  for (size_t i = 0; i < count; ++i) w.push_back(PrinterPortRead(port, 0xAA, stepCounter));
  return w;
}

TEST(PrinterWaveform, PaperFeedAndPrintedLineRunOnceThrough) {
  struct Case {
    const char* name;
    uint8_t stepCounter;
    Wave expected;
  };
  Wave feed;
  for (int pass = 0; pass < 7; ++pass) {
    Home(feed);
    Steps(feed, 84);
  }
  const Case cases[] = {{"paper feed", 84, feed}, {"printed line", 0, PrintedLineWave()}};
  for (const Case& c : cases) {
    PrinterPort port;
    EXPECT_EQ(ReadWave(port, c.expected.size(), c.stepCounter), c.expected) << c.name;
    EXPECT_EQ(port.state, 0) << c.name;
    EXPECT_EQ(port.homePhase | port.stepPhase | port.halfStepPhase, 0) << c.name;
    EXPECT_EQ(ReadWave(port, 4, c.stepCounter), Wave({0x20, 0x20, 0x00, 0x00})) << c.name << ": again";
  }
}

// An unknown state reads zero and stays; a trace file echoes every read.
TEST(PrinterWaveform, UnknownStateReadsZeroAndTraceEchoesEveryRead) {
  PrinterPort port;
  port.state = 12;
  EXPECT_EQ(ReadWave(port, 3, 0), Wave(3, 0x00));
  EXPECT_EQ(port.state, 12);

  PrinterPort traced;
  traced.trace = std::tmpfile();
  ASSERT_NE(traced.trace, nullptr);
  ReadWave(traced, 7, 84);
  std::rewind(traced.trace);
  char text[64] = {};
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, traced.trace), 0u);
  std::fclose(traced.trace);
  EXPECT_STREQ(text, " == 20 == 20 == 00 == 00 == 00 == 00 == 10");
}

class PrinterCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir);
    port.captureDir = dir.string();
  }
  void TearDown() override { fs::remove_all(dir); }

  void Write(std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) PrinterPortWrite(port, v);
  }
  std::vector<fs::path> Files() const {
    std::vector<fs::path> files(fs::directory_iterator(dir), fs::directory_iterator{});
    std::sort(files.begin(), files.end());
    return files;
  }
  // Everything dumped, oldest file first.
  Wave Dumped() const {
    Wave all;
    for (const fs::path& file : Files()) {
      std::ifstream in(file, std::ios::binary);
      all.insert(all.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return all;
  }

  const fs::path dir = fs::temp_directory_path() / ("tm650_capture_" + std::to_string(::getpid()));
  PrinterPort port;
};

TEST_F(PrinterCapture, WritesBecomeFilesOfNeedleBytes) {
  struct Case {
    const char* name;
    std::initializer_list<uint8_t> writes;
    Wave dumped;
  };
  const Case cases[] = {
      {"needles after a clear", {0, 0x80, 0x81, 0x80, 0x82, 0x80, 0}, {0x01, 0x02}},
      {"first write after start is kept", {0x80, 0x81, 0}, {0x00}},
      {"clear with nothing captured", {0, 0}, {}},
      {"paper feed writes only the motor byte", {0, 0x80, 0}, {}},
  };
  for (const Case& c : cases) {
    port = PrinterPort{};
    port.captureDir = dir.string();
    ReadWave(port, 5, 0);
    Write(c.writes);
    EXPECT_EQ(port.state, 0) << "a clear resets the mechanism";
    EXPECT_EQ(port.homePhase | port.stepPhase | port.halfStepPhase, 0);
    EXPECT_EQ(port.skip, 1);
    EXPECT_EQ(Dumped(), c.dumped) << c.name;
    EXPECT_LE(Files().size(), 1u) << c.name;
    EXPECT_EQ(port.captureCount, 0u) << c.name;
    for (const fs::path& file : Files()) {
      EXPECT_EQ(file.filename().string().size(), 12u) << file;
      fs::remove(file);
    }
  }
}

TEST_F(PrinterCapture, FullBufferIsDumpedEarlyAndNothingIsLost) {
  Write({0, 0x80});
  Wave sent;
  for (int i = 0; i < 1500; ++i) {
    const uint8_t needle = static_cast<uint8_t>(1 << (i % 4));
    sent.push_back(needle);
    Write({static_cast<uint8_t>(0x80 | needle), 0x80});
    ASSERT_LE(port.captureCount, CAPTURE_SIZE);
    if (i == static_cast<int>(CAPTURE_SIZE)) {
      EXPECT_EQ(Dumped().size(), CAPTURE_SIZE) << "dumped when the 1121st byte came";
    }
  }
  Write({0});
  EXPECT_EQ(Dumped(), sent);
  Write({0, 0x80, 0x81, 0x80, 0});
  std::ifstream newest(Files().back(), std::ios::binary);
  EXPECT_EQ(Wave(std::istreambuf_iterator<char>(newest), std::istreambuf_iterator<char>()), Wave{0x01})
      << "a capture after a clear starts its file afresh";
}

TEST_F(PrinterCapture, UnwritableDirectoryDiscardsQuietly) {
  port.captureDir = (dir / "missing" / "deeper").string();
  Write({0, 0x80, 0x81, 0x80, 0});
  EXPECT_EQ(port.captureCount, 0u);
  EXPECT_TRUE(Files().empty());
}

}  // namespace
