// Placeholder expansion of the header and footer templates.
#include "print/header_footer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

std::string Expand(const std::string& templateText, int page, size_t size = HEADER_FOOTER_BUFFER) {
  std::string out(size + 1, '#');
  ExpandHeaderFooter(out.data(), size, templateText.c_str(), page);
  return out.substr(0, out.find('\0'));
}

TEST(ExpandHeaderFooterTest, PlaceholdersInAnyCase) {
  EXPECT_EQ(Expand("Sheet &[page]", 3), "Sheet 3");
  EXPECT_EQ(Expand("&[PAGE]&[PaGe]", -12), "-12-12");
  EXPECT_TRUE(std::regex_match(Expand("&[date] &[TIME] Word", 1), std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d Word)")));
}

TEST(ExpandHeaderFooterTest, PlaceholderTakesSevenCharactersAndNeedsALaterBracket) {
  EXPECT_EQ(Expand("&[pages]", 4), "4]");
  EXPECT_EQ(Expand("&[page and more]", 4), "4and more]");
  EXPECT_EQ(Expand("&[pag] A & B", 1), "&[pag] A & B");
  EXPECT_EQ(Expand("&[page", 1), "&[page");
  EXPECT_EQ(Expand("]&[page", 1), "]&[page");
  EXPECT_EQ(Expand("&&[page]&[[page]", 2), "&2&[[page]");
}

TEST(ExpandHeaderFooterTest, OutputIsCutAtTheBuffer) {
  EXPECT_EQ(Expand(std::string(300, 'x'), 1), std::string(255, 'x'));
  EXPECT_EQ(Expand(std::string(254, 'x') + "&[page]", 123), std::string(254, 'x') + "1");
  EXPECT_EQ(Expand(std::string(250, 'x') + "&[date]y", 1), std::string(250, 'x') + "y");  // no room: left out
  EXPECT_EQ(Expand("abc", 0, 1), "");
  std::string untouched = "zz";
  ExpandHeaderFooter(untouched.data(), 0, "abc", 1);
  EXPECT_EQ(untouched, "zz");
}

}  // namespace
