// Layout against a fake printer context (characters 10 units wide, "W" 20,
// lines 20 high): wrapping, header and footer placeholders, how a job feeds
// the paper and takes its font cells, and no overflow for any stored value.
// Plain C++: runs under the sanitizers. Margins, the header and footer and
// page breaks on real pages are checked in the PDF tests.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "app/settings.h"
#include "heap/hcheap_debug.h"
#include "print/header_footer.h"
#include "print/line_breaker.h"
#include "print/paper_job.h"
#include "print/qprint.h"

namespace {

using Strings = std::vector<std::string>;

struct DrawnText {
  int page, x, y;
  std::string text;
};

struct SurfaceLog {
  std::vector<DrawnText> texts;
  Strings fonts;  // "<face> <pixels> <weight>"
  int pages = 0, fontsDeleted = 0;
  bool ended = false, destroyed = false;
  std::function<void()> onStartDoc;  // looks at the job from inside it
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
  bool StartDoc(std::string_view) override {
    if (log_.onStartDoc) log_.onStartDoc();
    return true;
  }
  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }
  int PixelsPerInchY() const override { return dpi_; }
  int32_t CreateFont(const FontRequest& r) override {
    log_.fonts.push_back(std::string(r.face) + " " + std::to_string(r.pixelHeight) + " " + std::to_string(r.weight));
    return static_cast<int32_t>(log_.fonts.size());
  }
  void SelectFont(int32_t) override {}
  void DeleteFont(int32_t) override { ++log_.fontsDeleted; }
  void TextOut(int x, int y, std::string_view text) override { log_.texts.push_back({log_.pages, x, y, std::string(text)}); }
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
      {"", 100, {""}},
      {"abcdefghij", 100, {"abcdefghij"}},  // exactly the width
      {"hello world again", 100, {"hello ", "world ", "again"}},
      {"abcdefghi jklm", 100, {"abcdefghi ", "jklm"}},  // chunk ending in a space
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

std::string Expand(const std::string& templateText, int page, size_t size = HEADER_FOOTER_BUFFER) {
  std::string out(size + 1, '#');
  ExpandHeaderFooter(out.data(), size, templateText.c_str(), page, Noon);
  return out.substr(0, out.find('\0'));
}

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
      {"&[page and more]", 4, "4and more]"},
      {"&[pag] A & B ]&[page", 1, "&[pag] A & B ]&[page"},
      {"&&[page]&[[page]", 2, "&2&[[page]"},
      {std::string(300, 'x'), 1, std::string(255, 'x')},  // cut at the buffer
      {x254 + "&[page]", 123, x254 + "1"},
      {x250 + "&[date]y", 1, x250 + "y"},  // no room: left out
      {"&[page]", INT_MIN, "-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.templateText, c.page), c.expanded) << c.templateText;
  EXPECT_EQ(Expand("abc", 0, 1), "");
  std::string untouched = "zz";
  ExpandHeaderFooter(untouched.data(), 0, "abc", 1, Noon);
  EXPECT_EQ(untouched, "zz");
}

class Qprint : public ::testing::Test {
 protected:
  void SetUp() override { Attach(); }
  void TearDown() override { qprintEnd(); }
  void Attach(int width = 1000, int height = 1000, int dpi = 144) {
    qprintAttachSurface(std::make_unique<FakeSurface>(log_, width, height, dpi));
  }
  void StartJob() {
    qprintBegin();
    qprintStartDoc();
    font_ = qprintCreateFont("Mono", 8, 6);
    qprintSetMargins(50, 160, 200, 200);
    qprintStartPage();
  }
  Strings Printed() const {
    Strings printed;
    for (const DrawnText& text : log_.texts) printed.push_back(text.text);
    return printed;
  }
  SurfaceLog log_;
  int font_ = -1;
};

// Top margin 50 points (100 units), bottom margin line at 840: the 37th line
// ends exactly on it and still fits.
TEST_F(Qprint, PageBreaksBeforeTheFirstLineThatWouldCrossTheBottomMarginLine) {
  StartJob();
  for (int line = 0; line < 38; ++line) qprintText(font_, "l", QPRINT_LEFT, 0);
  EXPECT_EQ(log_.texts[36].y + 20, 840);
  EXPECT_EQ(log_.texts[36].page, 1);
  EXPECT_EQ(log_.texts[37].page, 2);
  EXPECT_EQ(log_.texts[37].y, 100);
}

TEST_F(Qprint, JobFeedsOnePrintedLinePerPaperLineInTheChosenWeightWithHeapFontCells) {
  Settings settings;
  settings.PointSize = 10;  // not used while the face is empty
  settings.Footer = "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac &[date]";  // UTF-8 in the settings, 8-bit on paper
  const unsigned before = hcheapInspectPool(0).usedBlocks;
  unsigned during = 0;
  log_.onStartDoc = [&] { during = hcheapInspectPool(0).usedBlocks; };
  EXPECT_EQ(RunPrintJob("  12.5 CM\r\n\r\none\ntwo\r\rlast", settings, {[] { return Noon; }, nullptr}), 0);
  EXPECT_EQ(Printed(), (Strings{"  12.5 CM", "", "one", "two", "", "last", "Gr\xf6\xdf" "e ? 03/14/26"}));
  EXPECT_EQ(log_.texts[1].y, 80 + 20);  // top margin 40 points
  EXPECT_EQ(log_.fonts[0], "Lucida Console 16 400");  // the default face at 8 points
  EXPECT_EQ(during, before + QPRINT_FONT_SLOTS * QPRINT_FONT_VARIANTS);
  EXPECT_EQ(hcheapInspectPool(0).usedBlocks, before);
  EXPECT_TRUE(log_.ended && log_.destroyed);
  EXPECT_EQ(log_.fontsDeleted, static_cast<int>(log_.fonts.size())) << "every font made is deleted";
  settings.Font = std::string(40, 'f');  // a face name is cut at 31 characters
  settings.Weight = 700;  // bold on the pane prints bold
  Attach();
  RunPrintJob("x\r\n", settings);
  EXPECT_EQ(log_.fonts[4], std::string(31, 'f') + " 20 700");
}

// Any stored value, however wild, prints a finite job without overflow (the
// sanitize preset turns any into a failure), margins stay within range, and
// a page always takes at least one line.
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
    log_ = SurfaceLog{};
    Attach(c.width, c.height, c.dpi);
    Settings settings;
    settings.Font = "Mono";
    settings.Header = settings.Footer = "&[page]";
    settings.MarginTop = c.top;
    settings.MarginBottom = c.bottom;
    settings.MarginLeft = c.left;
    settings.MarginRight = c.right;
    settings.PointSize = c.points;
    settings.Weight = c.weight;
    ASSERT_EQ(RunPrintJob("one\r\ntwo\r\nthree\r\n", settings), 0);
    EXPECT_LE(log_.pages, 3) << c.top << " " << c.width;
    int left, top, right, bottom;
    qprintGetMargins(&left, &top, &right, &bottom);
    for (int margin : {left, top, right, bottom}) EXPECT_TRUE(margin >= 0 && margin <= QPRINT_MARGIN_MAX);
  }
  log_ = SurfaceLog{};
  Attach();
  StartJob();
  qprintSetY(INT_MAX);
  qprintSetLineSpacing(INT_MAX);
  for (int line = 0; line < 3; ++line) qprintText(font_, "far", QPRINT_CENTRE | QPRINT_RIGHT, INT_MAX);
  EXPECT_EQ(log_.texts[0].y, INT_MAX);  // held at the end of the range
  EXPECT_EQ(log_.texts[1].y, 100);  // then a new page
  EXPECT_EQ(qprintMulDiv(INT_MAX, INT_MAX, 1), INT_MAX);
  EXPECT_EQ(qprintMulDiv(INT_MIN, INT_MAX, 1), INT_MIN);
}

}  // namespace
