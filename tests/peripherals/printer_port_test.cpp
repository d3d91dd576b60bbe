// Port 6: the sensor waveform the firmware's print and feed routines wait
// on, and the needle-data capture files.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "peripherals/printer_port.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

using Wave = std::vector<uint8_t>;

void Home(Wave& w) { w.insert(w.end(), {0x20, 0x20, 0x00, 0x00}); }
void Steps(Wave& w, int n) { while (n-- > 0) w.insert(w.end(), {0x00, 0x00, 0x10, 0x10}); }
void HalfStep(Wave& w) { w.insert(w.end(), {0x00, 0x00}); }

// Seven passes of a home pulse and four groups of five columns, each column
// two half steps and two steps; then 72 steps, a home pulse and 168 steps.
Wave PrintedLineWave() {
  Wave w;
  for (int pass = 0; pass < 7; ++pass) {
    Home(w);
    for (int group = 0; group < 4; ++group) {
      Steps(w, group > 0 ? 2 : 1);
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

// Exactly the sequence a real firmware waits on (ours tolerates more), so
// it is checked here read by read. The step counter holds 84 while the
// firmware feeds paper.
TEST(PrinterWaveform, PaperFeedAndPrintedLineRunOnceThroughThenStartAgain) {
  Wave feed;
  for (int pass = 0; pass < 7; ++pass) {
    Home(feed);
    Steps(feed, 84);
  }
  for (const auto& [stepCounter, expected] : {std::pair{84, feed}, std::pair{0, PrintedLineWave()}}) {
    PrinterPort port;
    EXPECT_EQ(ReadWave(port, expected.size(), stepCounter), expected) << stepCounter;
    EXPECT_EQ(ReadWave(port, 4, stepCounter), Wave({0x20, 0x20, 0x00, 0x00})) << stepCounter;
  }
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
  void SetUp() override { port.captureDir = dir.path.string(); }

  void Write(std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) PrinterPortWrite(port, v);
  }
  // Motor on, one needle, needles off, then a clear.
  void PrintNeedle(uint8_t needle) { Write({0, 0x80, static_cast<uint8_t>(0x80 | needle), 0x80, 0}); }
  std::vector<fs::path> Files() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
  }
  // Every file's bytes, oldest file first; the files are then removed.
  Wave TakeFiles() const {
    Wave all;
    for (const fs::path& file : Files()) {
      const std::string bytes = Slurp(file);
      all.insert(all.end(), bytes.begin(), bytes.end());
      fs::remove(file);
    }
    return all;
  }

  ScratchDir dir;
  PrinterPort port;
};

// Many captures within one second, beside files of another session that
// hold the names this one would take: one new file each, none replaced.
TEST_F(PrinterCapture, EveryCaptureGetsAFileOfItsOwn) {
  const auto now = static_cast<unsigned>(std::time(nullptr));
  for (unsigned second : {now, now + 1}) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X-0001.txt", second);
    Spill(dir / name, "kept");
  }
  for (uint8_t needle : {1, 2, 4, 8}) PrintNeedle(needle);
  EXPECT_EQ(Files().size(), 6u);
  EXPECT_EQ(port.captureFiles, 4u);
  Wave all = TakeFiles();
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
  const struct {
    const char* name;
    std::string captureDir;
    uint32_t filesBefore;
    size_t files;
    uint32_t lost;
    std::string error;
  } cases[] = {
      {"no folder", "", 0, 0, 0, ""},
      {"missing folder", missing.string(), 0, 0, 3, (missing / "").string()},
      {"one file before the limit", dir.path.string(), CAPTURE_FILES_MAX - 1, 1, 2,
       dir.path.string() + ": 1000 needle files"},
  };
  const fs::path before = fs::current_path();
  fs::current_path(dir.path);
  for (const auto& c : cases) {
    port = PrinterPort{};
    port.captureDir = c.captureDir;
    port.captureFiles = c.filesBefore;
    PrintNeedle(1);
    fs::create_directories(missing);
    for (uint8_t needle : {2, 4}) PrintNeedle(needle);
    EXPECT_EQ(Files().size(), c.files) << c.name;
    EXPECT_EQ(port.capturesLost, c.lost) << c.name;
    EXPECT_EQ(port.captureError.substr(0, c.error.size()), c.error) << c.name << ": " << port.captureError;
    TakeFiles();
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
  EXPECT_EQ(TakeFiles().size(), CAPTURE_SIZE);
  EXPECT_EQ(port.bytesDropped, 1500 - CAPTURE_SIZE);
  PrintNeedle(2);
  EXPECT_EQ(TakeFiles(), Wave{0x02});
}

}  // namespace
