// Printing: when a block is printed and when not, the printer test, paper
// feed, and the needle data of the firmware's own print routine, which must
// decode through its 5x7 font back to the very text the line held.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "firmware_harness.h"

using namespace fwtest;
namespace fs = std::filesystem;

namespace {

TEST(Printing, OnlyWithThePrintLampOnAndOncePerResult) {
  const RunResult once = RunKeys("FA 2 2 S 3 0 R = FN FD 1 2 5 S =");
  EXPECT_EQ(once.Lines().size(), 6u);
  EXPECT_EQ(RunKeys("FA 2 2 S 3 0 R = FN FD 1 2 5 S = = =").paper, once.paper);
  EXPECT_EQ(RunKeys("FA 2 2 S 3 0 R =").paper, "");
  EXPECT_EQ(RunKeys("FN FN FA 2 2 S 3 0 R =").paper, "");
  // The firmware's own print routine, called line after line, gives the same
  // paper as the host's trap: the longest block there is.
  const std::string cap = "FA 2 2 S 3 0 R = FN FI 3 2 X 1 9 Y 1 0 Z =";
  const RunResult unpatched = RunKeys(cap, "--unpatched");
  EXPECT_EQ(unpatched.Field("stop"), "idle");
  EXPECT_GE(unpatched.Lines().size(), 18u);
  EXPECT_EQ(unpatched.paper, RunKeys(cap).paper);
}

// The printer test's four lines as the paper shows them.
const std::vector<std::string> kTestLines = {"0123456789.,-+=/", "ABCDEFGHIJKLMNOP", "QRSTUVWXYZ:()%*#",
                                             "x<>cmin", ""};

// The paper maps three codes; the needle decoder gives the codes themselves.
std::string AsPaper(const std::string& codes) {
  std::string text;
  for (char c : codes) text += c == 'b' ? 'c' : c == 'd' ? 'm' : c == '"' ? 'x' : c;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The firmware's own print routine prints every glyph of its font, and each
// line's needle data decodes back to the line's text.
TEST(PrinterTest, EveryLineDecodesToItsTextAndCoversTheFont) {
  EXPECT_EQ(RunKeys("FL").Lines(), kTestLines);
  const auto image = LoadImage();
  const auto symbols = LoadSymbols();
  ScratchDir capture;
  const RunResult run = RunKeys("FL", "--unpatched --capture-dir '" + capture.path.string() + "'");
  ASSERT_EQ(run.Field("stop"), "idle");
  EXPECT_EQ(run.Lines(), kTestLines);
  std::set<fs::path> files;  // named by time: in printing order
  for (const auto& entry : fs::directory_iterator(capture.path)) files.insert(entry.path());
  ASSERT_EQ(files.size(), 4u) << "one needle file per printed line, none for the feed";
  std::set<char> printed;
  size_t line = 0;
  for (const fs::path& file : files) {
    const std::string codes = DecodeNeedles(ReadFile(file), image, symbols);
    ASSERT_EQ(codes.size(), 16u) << "560 needle bytes, one needle each";
    EXPECT_EQ(AsPaper(codes), kTestLines[line++]);
    printed.insert(codes.begin(), codes.end());
  }
  const uint16_t font = symbols.at("font");
  for (uint16_t code = 0; code < (symbols.at("font_end") - font) / 5; ++code) {
    bool blank = true;
    for (int x = 0; x < 5; ++x) blank &= At(image, static_cast<uint16_t>(font + code * 5 + x)) == 0;
    EXPECT_TRUE(blank || printed.count(static_cast<char>(0x20 + code))) << "code " << code + 0x20;
  }
}

TEST(PaperFeed, FeedsOneLineEachWithoutNeedleData) {
  EXPECT_EQ(RunKeys("FM FM").paper, "\r\n\r\n");
  ScratchDir capture;
  const RunResult run = RunKeys("FM FM", "--unpatched --capture-dir '" + capture.path.string() + "'");
  EXPECT_EQ(run.Field("stop"), "idle");
  EXPECT_EQ(run.paper, "\r\n\r\n");
  EXPECT_TRUE(fs::is_empty(capture.path));
}

}  // namespace
