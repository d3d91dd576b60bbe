// Wrapping rules against the fake measurer (characters 10 wide, "W" 20).
#include "print/line_breaker.h"

#include <gtest/gtest.h>

#include "tests/print/fake_surface.h"

namespace {

using Lines = std::vector<std::string>;

Lines Break(std::string_view text, int width) {
  SurfaceLog log;
  FakeSurface measurer(log, 0, 72);
  Lines lines;
  for (std::string_view line : BreakIntoLines(text, width, measurer)) lines.emplace_back(line);
  return lines;
}

TEST(LineBreakerTest, TextThatFitsIsOneLine) {
  EXPECT_EQ(Break("", 100), Lines{""});
  EXPECT_EQ(Break("", -5), Lines{""});
  EXPECT_EQ(Break("abcdefghij", 100), Lines{"abcdefghij"});  // exactly the width
}

TEST(LineBreakerTest, BreaksAfterASpaceWithinTwentyCharacters) {
  EXPECT_EQ(Break("hello world again", 100), (Lines{"hello ", "world ", "again"}));
  EXPECT_EQ(Break("abcdefghi jklm", 100), (Lines{"abcdefghi ", "jklm"}));  // chunk ending in a space
  EXPECT_EQ(Break(std::string(10, 'a') + " " + std::string(30, 'b'), 300)[0], std::string(10, 'a') + " ");
  // A space 21 characters back is out of reach: a hard break.
  EXPECT_EQ(Break(std::string(9, 'a') + " " + std::string(31, 'b'), 300)[0],
            std::string(9, 'a') + " " + std::string(20, 'b'));
}

TEST(LineBreakerTest, HardBreakKeepsTheBreakingCharacterOnTheUpperLine) {
  EXPECT_EQ(Break("abcdefghijk", 95), (Lines{"abcdefghij", "k"}));
  EXPECT_EQ(Break(std::string(25, 'x'), 100), (Lines{std::string(10, 'x'), std::string(10, 'x'), "xxxxx"}));
  EXPECT_EQ(Break("WWWWWW", 100), (Lines{"WWWWW", "W"}));
  EXPECT_EQ(Break("abc", 0), (Lines{"a", "b", "c"}));
}

TEST(LineBreakerTest, WrapsUntilTheTextIsUsedUp) {
  // 190 wide: two lines' worth, but breaking at spaces needs three.
  EXPECT_EQ(Break("aaaaa aaaaaaaaa aaa", 100), (Lines{"aaaaa ", "aaaaaaaaa ", "aaa"}));
}

}  // namespace
