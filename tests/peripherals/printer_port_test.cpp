// Port 6: the sensor waveform the firmware's print and feed routines wait
// on, and the needle-data capture files.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "peripherals/printer_port.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

using Wave = std::vector<uint8_t>;

void Add(Wave& w, const Wave& pulse, int times = 1) {
  while (times-- > 0) w.insert(w.end(), pulse.begin(), pulse.end());
}

// Seven passes of a home pulse and then either 84 steps (paper feed: the
// firmware's step counter holds 84) or four groups of five columns, each
// column two half steps and two steps; a printed line ends with 72 steps, a
// home pulse and 168 steps. Then it starts again with a home pulse. Exactly
// the sequence a real firmware waits on (ours tolerates more), so it is
// checked read by read.
TEST(PrinterWaveform, PaperFeedAndPrintedLineRunOnceThroughThenStartAgain) {
  const Wave home = {0x20, 0x20, 0x00, 0x00}, step = {0x00, 0x00, 0x10, 0x10};
  const Wave column = {0, 0, 0, 0, 0x10, 0x10, 0, 0, 0, 0, 0x10, 0x10};
  for (bool feed : {true, false}) {
    Wave expected;
    for (int pass = 0; pass < 7; ++pass) {
      Add(expected, home);
      Add(expected, step, feed ? 84 : 1);
      for (int group = 0; group < 4 && !feed; ++group) {
        Add(expected, step, group > 0 ? 2 : 0);
        Add(expected, column, 5);
      }
    }
    if (!feed) {
      Add(expected, step, 72);
      Add(expected, home);
      Add(expected, step, 168);
    }
    Add(expected, home);
    PrinterPort port;
    Wave read(expected.size());
    for (uint8_t& value : read) value = PrinterPortRead(port, 0xAA, feed ? 84 : 0);
    EXPECT_EQ(read, expected) << feed;
  }
}

// A clear, motor on, needles as given (each then off), and a clear that ends
// the capture; returns the bytes of every file, oldest first, removing them.
std::string Print(PrinterPort& port, const fs::path& dir, const std::vector<uint8_t>& needles) {
  PrinterPortWrite(port, 0);
  PrinterPortWrite(port, 0x80);
  for (uint8_t needle : needles) {
    PrinterPortWrite(port, static_cast<uint8_t>(0x80 | needle));
    PrinterPortWrite(port, 0x80);
  }
  PrinterPortWrite(port, 0);
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::string all;
  for (const fs::path& file : files) {
    all += Slurp(file) + "|";
    fs::remove(file);
  }
  return all;
}

// Files of another session that hold the names this one would take are
// neither replaced nor read; a full buffer keeps its first bytes, and the
// next capture starts afresh.
TEST(PrinterCapture, EveryCaptureGetsAFileOfItsOwn) {
  ScratchDir dir;
  PrinterPort port;
  port.captureDir = dir.path.string();
  for (unsigned second : {0, 1}) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X-0001.txt", static_cast<unsigned>(std::time(nullptr)) + second);
    Spill(dir / name, "k");
  }
  std::string first = Print(port, dir.path, {1});
  for (size_t at; (at = first.find("k|")) != std::string::npos;) first.erase(at, 2);
  EXPECT_EQ(first, "\x01|") << "two files kept, one new";
  EXPECT_EQ(Print(port, dir.path, std::vector<uint8_t>(CAPTURE_SIZE + 5, 8)), std::string(CAPTURE_SIZE, 8) + "|");
  EXPECT_EQ(port.bytesDropped, 5u);
  EXPECT_EQ(Print(port, dir.path, {2, 4}), "\x02\x04|");
}

// Without a folder nothing is written, not even in the current directory;
// with one, a failure or the file limit is told once, and after it no file
// is attempted (not even once the missing folder exists).
TEST(PrinterCapture, CapturesStopAtTheFirstFailureOrTheLimit) {
  ScratchDir dir;
  const fs::path missing = dir / "missing", before = fs::current_path();
  // The folder, files already written, what is written, captures lost, error.
  const std::tuple<std::string, uint32_t, const char*, uint32_t, std::string> cases[] = {
      {"", 0, "", 0, ""},
      {missing.string(), 0, "", 3, (missing / "").string()},
      {dir.path.string(), CAPTURE_FILES_MAX - 1, "\x01|", 2, dir.path.string() + ": 1000 needle files"},
  };
  fs::current_path(dir.path);
  for (const auto& [folder, filesBefore, expected, lost, error] : cases) {
    PrinterPort port;
    port.captureDir = folder;
    port.captureFiles = filesBefore;
    std::string written = Print(port, dir.path, {1});
    fs::create_directories(missing);
    written += Print(port, dir.path, {2}) + Print(port, dir.path, {4});
    EXPECT_EQ(written, expected) << folder;
    EXPECT_EQ(port.capturesLost, lost) << folder;
    EXPECT_EQ(port.captureError.substr(0, error.size()), error) << port.captureError;
    fs::remove(missing);
  }
  fs::current_path(before);
}

}  // namespace
