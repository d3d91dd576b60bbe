// Port 6: the sensor waveform the firmware's print and feed routines wait
// on, and the needle-data capture files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
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
  void PrintNeedle(uint8_t needle) { Write({0, 0x80, static_cast<uint8_t>(0x80 | needle), 0x80, 0}); }
  std::vector<fs::path> Files() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
  }
  // Every file's bytes, oldest file first.
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
    EXPECT_EQ(Files().size(), c.dumped.empty() ? 0u : 1u) << c.name;
    EXPECT_EQ(port.captureCount, 0u) << c.name;
    for (const fs::path& file : Files()) fs::remove(file);
  }
}

// Many captures within one second, beside files of another session that
// hold the names this one would take: one new file each, none replaced.
TEST_F(PrinterCapture, EveryCaptureGetsAFileOfItsOwn) {
  const auto now = static_cast<unsigned>(std::time(nullptr));
  for (unsigned second : {now, now + 1}) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X-0001.txt", second);
    std::ofstream(dir / name) << "kept";
  }
  for (uint8_t needle : {1, 2, 4, 8}) PrintNeedle(needle);
  EXPECT_EQ(Files().size(), 6u);
  EXPECT_EQ(port.captureFiles, 4u);
  Wave all = Dumped();
  EXPECT_EQ(std::count(all.begin(), all.end(), 'k'), 2) << "the other session's files are untouched";
  all.erase(std::remove_if(all.begin(), all.end(), [](uint8_t b) { return b > 8; }), all.end());
  EXPECT_EQ(all, Wave({1, 2, 4, 8}));
  EXPECT_EQ(port.captureError, "");
}

// Without a folder nothing is written anywhere, not even in the current
// directory; with one, a failure or the file limit is told once, and after it
// no file is attempted (not even once the missing folder exists).
TEST_F(PrinterCapture, CapturesStopAtTheFirstFailureOrTheLimit) {
  const fs::path missing = dir / "missing";
  struct Case {
    const char* name;
    std::string captureDir;
    uint32_t filesBefore;
    size_t files;
    uint32_t lost;
    std::string error;
  };
  const Case cases[] = {
      {"no folder", "", 0, 0, 0, ""},
      {"missing folder", missing.string(), 0, 0, 3, (missing / "").string()},
      {"one file before the limit", dir.string(), CAPTURE_FILES_MAX - 1, 1, 2, dir.string() + ": 1000 needle files"},
  };
  const fs::path before = fs::current_path();
  fs::current_path(dir);
  for (const Case& c : cases) {
    port = PrinterPort{};
    port.captureDir = c.captureDir;
    port.captureFiles = c.filesBefore;
    PrintNeedle(1);
    fs::create_directories(missing);
    for (uint8_t needle : {2, 4}) PrintNeedle(needle);
    EXPECT_EQ(Files().size(), c.files) << c.name;
    EXPECT_EQ(port.capturesLost, c.lost) << c.name;
    EXPECT_EQ(port.captureError.substr(0, c.error.size()), c.error) << c.name << ": " << port.captureError;
    for (const fs::path& file : Files()) fs::remove(file);
    fs::remove(missing);
  }
  fs::current_path(before);
}

// A program that never clears the port fills the buffer once; the rest is
// counted, not written, and the next capture starts afresh.
TEST_F(PrinterCapture, AFullBufferKeepsItsFirstBytes) {
  Write({0, 0x80});
  for (int i = 0; i < 1500; ++i) Write({static_cast<uint8_t>(0x80 | 1 << (i % 4)), 0x80});
  Write({0});
  EXPECT_EQ(Dumped().size(), CAPTURE_SIZE);
  EXPECT_EQ(port.bytesDropped, 1500 - CAPTURE_SIZE);
  PrintNeedle(2);
  std::ifstream newest(Files().back(), std::ios::binary);
  EXPECT_EQ(Wave(std::istreambuf_iterator<char>(newest), std::istreambuf_iterator<char>()), Wave{0x02});
}

}  // namespace
