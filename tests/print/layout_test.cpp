// Layout against a fake printer context (characters 10 units wide, "W" 20,
// lines 20 high): wrapping, header and footer placeholders, what a job takes
// and gives back, and no overflow for any stored value.
// Plain C++: runs under the sanitizers. Margins, the header and footer, page
// breaks, line ends and the font's weight on real pages are in the PDF tests.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "app/settings.h"
#include "heap/hcheap_debug.h"
#include "print/header_footer.h"
#include "print/line_breaker.h"
#include "print/paper_job.h"
#include "print/qprint.h"

namespace {

using Strings = std::vector<std::string>;

struct SurfaceLog {
  Strings fonts;  // "<face> <pixels> <weight>"
  int pages = 0, fontsDeleted = 0;
  bool ended = false, destroyed = false;
};

// A page of the given size (1000 x 1000 at 144 dpi unless told).
class FakeSurface : public PrintSurface {
 public:
  explicit FakeSurface(SurfaceLog& log, int width = 1000, int height = 1000, int dpi = 144)
      : log_(log), width_(width), height_(height), dpi_(dpi) {}
  ~FakeSurface() override { log_.destroyed = true; }
  TextExtent MeasureText(std::string_view text) const override {
    int cx = 0;
    for (char c : text) cx += c == 'W' ? 20 : 10;
    return {cx, 20};
  }
  bool StartDoc(std::string_view) override { return true; }
  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }
  int PixelsPerInchY() const override { return dpi_; }
  int32_t CreateFont(const FontRequest& r) override {
    log_.fonts.push_back(std::string(r.face) + " " + std::to_string(r.pixelHeight) + " " + std::to_string(r.weight));
    return static_cast<int32_t>(log_.fonts.size());
  }
  void SelectFont(int32_t) override {}
  void DeleteFont(int32_t) override { ++log_.fontsDeleted; }
  void TextOut(int, int, std::string_view) override {}
  bool StartPage() override { return ++log_.pages > 0; }
  void EndPage() override {}
  void EndDoc() override { log_.ended = true; }

 private:
  SurfaceLog& log_;
  int width_, height_, dpi_;
};

TEST(LineBreaker, BreaksAfterASpaceInReachElseHardWithTheBreakingCharacterUp) {
  const std::string a9(9, 'a'), b20(20, 'b'), b30(30, 'b');
  const struct {
    std::string text;
    int width;
    Strings lines;
  } cases[] = {
      {"hello world again", 100, {"hello ", "world ", "again"}},
      {a9 + " " + b30 + "b", 300, {a9 + " " + b20, std::string(11, 'b')}},  // space 21 back: out of reach
      {"abcdefghijk", 95, {"abcdefghij", "k"}},
      {"WWWWWW", 100, {"WWWWW", "W"}},
      {"abc", 0, {"abc"}},  // margins that leave no room: nothing to gain by wrapping
      {"aaaaa aaaaaaaaa aaa", 100, {"aaaaa ", "aaaaaaaaa ", "aaa"}},  // 190 wide, yet three lines
  };
  SurfaceLog log;
  FakeSurface measurer(log);
  for (const auto& c : cases) {
    Strings lines;
    for (std::string_view line : BreakIntoLines(c.text, c.width, measurer)) lines.emplace_back(line);
    EXPECT_EQ(lines, c.lines) << c.text << " at " << c.width;
  }
}

const ClockReading Noon{"03/14/26", "12:00:05"};

TEST(ExpandHeaderFooter, PlaceholdersInAnyCaseTakeSevenCharactersAndNeedALaterBracket) {
  const std::string x250(250, 'x'), x254(254, 'x');
  const struct {
    std::string templateText;
    int page;
    std::string expanded;
  } cases[] = {
      {"Sheet &[page] &[PaGe]", -12, "Sheet -12 -12"},
      {"&[date] &[TIME] Word", 1, "03/14/26 12:00:05 Word"},
      {"&[pages]", 4, "4]"},
      {"&[pag] A & B ]&[page", 1, "&[pag] A & B ]&[page"},
      {"&&[page]&[[page]", 2, "&2&[[page]"},
      {std::string(300, 'x'), 1, std::string(255, 'x')},  // cut at the buffer
      {x254 + "&[page]", 123, x254 + "1"},
      {x250 + "&[date]y", 1, x250 + "y"},  // no room: left out
  };
  for (const auto& c : cases) {
    std::string out(HEADER_FOOTER_BUFFER + 1, '#');
    ExpandHeaderFooter(out.data(), HEADER_FOOTER_BUFFER, c.templateText.c_str(), c.page, Noon);
    EXPECT_EQ(out.substr(0, out.find('\0')), c.expanded) << c.templateText;
  }
}

class Qprint : public ::testing::Test {
 protected:
  void TearDown() override { qprintEnd(); }
  void Attach(int width = 1000, int height = 1000, int dpi = 144) {
    log_ = SurfaceLog{};
    qprintAttachSurface(std::make_unique<FakeSurface>(log_, width, height, dpi));
  }
  SurfaceLog log_;
};

// What a job takes it gives back: the heap's font cells and every font made.
TEST_F(Qprint, JobGivesBackItsFontCellsAndFontsAndCutsTheFaceName) {
  Settings settings;
  settings.PointSize = 10;  // not used while the face is empty
  const unsigned before = hcheapInspectPool(0).usedBlocks;
  Attach();
  EXPECT_EQ(RunPrintJob("one\r\ntwo", settings), 0);
  EXPECT_EQ(log_.fonts[0], "Lucida Console 16 400");  // the default face at 8 points
  EXPECT_EQ(hcheapInspectPool(0).usedBlocks, before);
  EXPECT_TRUE(log_.ended && log_.destroyed);
  EXPECT_EQ(log_.fontsDeleted, static_cast<int>(log_.fonts.size()));
  settings.Font = std::string(40, 'f');  // a face name is cut at 31 characters
  Attach();
  RunPrintJob("x\r\n", settings);
  EXPECT_EQ(log_.fonts[0], std::string(31, 'f') + " 20 400");
}

// Any stored value and any page, however wild, prints a finite job without
// overflow (the sanitize preset turns any into a failure), margins stay
// within range, and a page always takes at least one line.
TEST_F(Qprint, ExtremeSettingsPrintWithoutOverflowOneLineAtLeastPerPage) {
  const struct {
    int32_t top, bottom, left, right, points, weight;
    int width, height, dpi;
  } cases[] = {
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1000, 1000, 144},
      {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, 1000, 1000, 144},
      {-2, INT_MAX, INT_MIN, 0, 0, 0, INT_MAX, INT_MAX, INT_MAX},
      {INT_MAX, 0, 0, INT_MAX, 8, 400, INT_MIN, INT_MIN, INT_MIN},
      {50, 160, 200, 200, INT_MAX, 400, 1000, 1000, INT_MAX},
  };
  for (const auto& c : cases) {
    Attach(c.width, c.height, c.dpi);
    Settings settings;
    settings.Font = "Mono";
    settings.Header = settings.Footer = "&[page]";
    std::tie(settings.MarginTop, settings.MarginBottom, settings.MarginLeft, settings.MarginRight, settings.PointSize,
             settings.Weight) = std::tie(c.top, c.bottom, c.left, c.right, c.points, c.weight);
    ASSERT_EQ(RunPrintJob("one\r\ntwo\r\nthree\r\n", settings), 0);
    EXPECT_LE(log_.pages, 3) << c.top << " " << c.width;
    int left, top, right, bottom;
    qprintGetMargins(&left, &top, &right, &bottom);
    for (int margin : {left, top, right, bottom}) EXPECT_TRUE(margin >= 0 && margin <= QPRINT_MARGIN_MAX);
  }
}

}  // namespace
