// Printing: the result blocks on the paper, the printer test, and the needle
// data of the firmware's own print routine, which must decode through its
// 5x7 font back to the very text the line held.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;
namespace fs = std::filesystem;

namespace {

struct Block {
  const char* keys;
  std::vector<std::string> lines;
};

const Block kBlocks[] = {
    {"FN FA 2 2 S 3 0 R =", {"GAUGE", "S   22.0 /10cm", "R   30.0 /10cm", ""}},
    {"FN FB 7 . 5 X 8 Y 1 5 S 2 4 R =",
     {"SWATCH GAUGE", "S     15 ST", "R     24 ROWS", "X    7.5 cm", "Y    8.0 cm", "S   20.0 /10cm",
      "R   30.0 /10cm", ""}},
    {"FA 2 2 S 3 0 R = FN FC 5 0 X 2 0 Y =",
     {"cm TO ST/ROWS", "G 22.0x30.0", "X   50.0 cm", "Y   20.0 cm", "S    110 ST", "R     60 ROWS", ""}},
    {"FA 2 2 . 5 S 3 0 R = FN FD 1 1 0 S =",
     {"ST/ROWS TO cm", "G 22.5x30.0", "S    110 ST", "X   48.9 cm", ""}},
    {"FA 2 2 S 3 0 R = FN FD 1 2 . 5 S =", {"ST/ROWS TO cm", "G 22.0x30.0", "S   12.5 ST", "X    5.7 cm", ""}},
};

class ResultBlock : public ::testing::TestWithParam<Block> {};

TEST_P(ResultBlock, PrintsWithThePrintLampOn) {
  const RunResult run = RunFirmware(std::string("--keys '") + GetParam().keys + "'");
  EXPECT_EQ(Lines(run.paper), GetParam().lines);
  for (const std::string& line : Lines(run.paper)) EXPECT_LE(line.size(), 16u) << line;
}

TEST_P(ResultBlock, PrintsTheSameWithoutThePatches) {
  const RunResult run = RunFirmware(std::string("--unpatched --keys '") + GetParam().keys + "'");
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_EQ(Lines(run.paper), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Printing, ResultBlock, ::testing::ValuesIn(kBlocks));

TEST(Printing, NothingIsPrintedWithThePrintLampOff) {
  EXPECT_EQ(RunFirmware("--keys 'FA 2 2 S 3 0 R ='").paper, "");
  EXPECT_EQ(RunFirmware("--keys 'FN FN FA 2 2 S 3 0 R ='").paper, "");
}

TEST(Printing, SteppingThroughResultsPrintsNothingMore) {
  const RunResult once = RunFirmware("--keys 'FN FA 2 2 S 3 0 R ='");
  const RunResult stepped = RunFirmware("--keys 'FN FA 2 2 S 3 0 R = = ='");
  EXPECT_EQ(once.paper, stepped.paper);
}

// The printer test's four lines as the paper shows them.
const std::vector<std::string> kTestLines = {"0123456789.,-+=/", "ABCDEFGHIJKLMNOP", "QRSTUVWXYZ:()%*#",
                                             "x<>cm"};

TEST(PrinterTest, PrintsEveryCharacterOfTheFont) {
  const RunResult run = RunFirmware("--keys 'FL'");
  std::vector<std::string> expected = kTestLines;
  expected.push_back("");
  EXPECT_EQ(Lines(run.paper), expected);
}

// The paper maps three codes; the needle decoder gives the codes themselves.
std::string AsPaper(const std::string& codes) {
  std::string text;
  for (char c : codes) text += c == 'b' ? 'c' : c == 'd' ? 'm' : c == '"' ? 'x' : c;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

TEST(NeedleData, EachTestLineDecodesToItsText) {
  const auto image = LoadImage();
  const auto symbols = LoadSymbols();
  std::set<char> printed;
  for (size_t line = 1; line <= kTestLines.size(); ++line) {
    ScratchDir capture;
    const RunResult run = RunFirmware("--unpatched --capture-dir '" + capture.path().string() + "' --keys '" +
                              std::to_string(line) + " FL'");
    ASSERT_EQ(Field(run.report, "stop"), "idle");
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(capture.path())) files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u) << "one needle file per printed line, none for the feed";
    const std::string codes = DecodeNeedles(ReadFile(files[0]), image, symbols);
    ASSERT_EQ(codes.size(), 16u) << "560 needle bytes, one needle each";
    EXPECT_EQ(AsPaper(codes), kTestLines[line - 1]);
    EXPECT_EQ(Lines(run.paper).at(0), kTestLines[line - 1]);
    for (char c : codes) printed.insert(c);
  }
  // Every glyph in the font was on one of the lines, and no two glyphs alike.
  const uint16_t font = symbols.at("font");
  const size_t glyphs = (symbols.at("font_end") - font) / 5;
  std::set<std::vector<uint8_t>> shapes;
  for (size_t code = 0; code < glyphs; ++code) {
    std::vector<uint8_t> shape;
    for (int x = 0; x < 5; ++x) shape.push_back(At(image, static_cast<uint16_t>(font + code * 5 + x)));
    const bool blank = shape == std::vector<uint8_t>(5, 0);
    if (blank) continue;
    EXPECT_TRUE(shapes.insert(shape).second) << "glyph of code " << code + 0x20 << " repeats";
    EXPECT_TRUE(printed.count(static_cast<char>(0x20 + code))) << "code " << code + 0x20 << " never printed";
  }
}

TEST(NeedleData, AResultLineDecodesToThePaperText) {
  const auto image = LoadImage();
  const auto symbols = LoadSymbols();
  ScratchDir capture;
  // The gauge block's last printed line is the one left in the capture file.
  const RunResult run = RunFirmware("--unpatched --capture-dir '" + capture.path().string() +
                            "' --keys 'FN FA 2 2 S 3 0 R ='");
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(capture.path())) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(AsPaper(DecodeNeedles(ReadFile(files[0]), image, symbols)), "R   30.0 /10cm");
}

TEST(PaperFeed, UnpatchedFeedWritesNoNeedleData) {
  ScratchDir capture;
  const RunResult run = RunFirmware("--unpatched --capture-dir '" + capture.path().string() + "' --keys 'FM'");
  EXPECT_EQ(Field(run.report, "stop"), "idle");
  EXPECT_TRUE(fs::is_empty(capture.path()));
}

}  // namespace
