// The print module and job against the fake printer context: font slots,
// margins in their two units, alignment, exact page breaks with the handler's
// calls, how the paper's lines are fed in, and what a job gives back.
#include "print/qprint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>

#include "app/settings.h"
#include "heap/hcheap_debug.h"
#include "print/print_job.h"
#include "tests/print/fake_surface.h"

namespace {

using Strings = std::vector<std::string>;
Strings calls;

void RecordingHandler(int page, int isHeader) {
  calls.push_back((isHeader ? "header " : "footer ") + std::to_string(page) + "@" + std::to_string(qprintGetY()));
}

// A 1000 x 1000 page at 144 dpi: top margin 50 pt = 100 units, bottom margin
// line at 840, printable width 600 from x = 200.
class QprintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    Attach();
  }
  void Attach() {
    auto surface = std::make_unique<FakeSurface>(log_, 1000, 144);
    surface_ = surface.get();
    qprintAttachSurface(std::move(surface));
  }
  void TearDown() override { qprintEnd(); }
  void StartJob() {
    qprintBegin();
    qprintStartDoc();
    font_ = qprintCreateFont("Mono", 8, 6);
    qprintSetMargins(50, 160, 200, 200);
    qprintStartPage();
  }
  Strings Printed() const {
    Strings texts;
    for (const DrawnText& text : log_.texts) texts.push_back(text.text);
    return texts;
  }

  SurfaceLog log_;
  FakeSurface* surface_ = nullptr;
  int font_ = -1;
};

TEST_F(QprintTest, FontSlotsHoldFourVariantsAndNumberTen) {
  StartJob();
  qprintCreateFont(std::string(40, 'f'), 8, 8);
  EXPECT_EQ(Strings(log_.fonts.begin(), log_.fonts.begin() + 5),
            (Strings{"Mono 16 400", "Mono 16 700", "Mono 12 400", "Mono 12 700", std::string(31, 'f') + " 16 400"}));
  for (int slot = 2; slot < QPRINT_FONT_SLOTS; ++slot) EXPECT_EQ(qprintCreateFont("Mono", 8, 8), slot);
  EXPECT_EQ(qprintCreateFont("Mono", 8, 8), -1);
  qprintEnd();
  EXPECT_EQ(log_.fontsDeleted, QPRINT_FONT_SLOTS * QPRINT_FONT_VARIANTS);
  EXPECT_TRUE(log_.destroyed);
  EXPECT_EQ(qprintStartDoc(), -1);
}

// Margins: top in points, the others in device units, -1 leaves one alone.
TEST_F(QprintTest, MarginsAlignmentSpacingAndSameLine) {
  StartJob();
  qprintSetMargins(-1, 7, -1, 9);
  int left, top, right, bottom;
  qprintGetMargins(&left, &top, &right, &bottom);
  EXPECT_EQ((std::vector<int>{left, top, right, bottom}), (std::vector<int>{200, 50, 9, 7}));
  qprintSetMargins(-1, 160, -1, 200);
  qprintText(font_, "abcde", QPRINT_CENTRE, 0);
  qprintText(font_, "abcde", QPRINT_RIGHT, 7);
  qprintText(font_, "abc", QPRINT_LEFT | QPRINT_SAME_LINE, 0);
  qprintSetLineSpacing(10);  // 20 units at 144 dpi
  qprintBlankLines(font_, 2);
  qprintText(font_, std::string(55, 'a') + " bbbbbbbbbb", QPRINT_CENTRE, 0);  // wraps
  const std::vector<int> xs = {log_.texts[0].x, log_.texts[1].x, log_.texts[5].x, log_.texts[6].x};
  EXPECT_EQ(xs, (std::vector<int>{200 - 25 + 300, 200 + 600 - 50 + 7, 200 - 280 + 300, 200 - 50 + 300}));
  EXPECT_EQ(log_.texts[2].x, 200);
  const std::vector<int> ys = {log_.texts[2].y, log_.texts[3].y, log_.texts[4].y, log_.texts[5].y, log_.texts[6].y};
  EXPECT_EQ(ys, (std::vector<int>{140, 140, 180, 220, 260}));
}

TEST_F(QprintTest, PageBreaksBeforeTheFirstLineThatWouldCrossTheBottomMarginLine) {
  StartJob();
  qprintSetPageHandler(RecordingHandler);
  for (int line = 0; line < 38; ++line) qprintText(font_, "l", QPRINT_LEFT, 0);
  EXPECT_EQ(log_.texts[36].y + 20, 840);  // the 37th line ends exactly on the line
  EXPECT_EQ(log_.texts[36].page, 1);
  EXPECT_EQ(log_.texts[37].page, 2);
  EXPECT_EQ(log_.texts[37].y, 100);
  qprintEndPage();
  EXPECT_EQ(calls, (Strings{"header 1@100", "footer 1@840", "header 2@100", "footer 2@120"}));
}

TEST_F(QprintTest, JobFeedsOnePrintedLinePerPaperLine) {
  Settings settings;
  settings.PointSize = 10;  // not used while the face is empty
  settings.Footer = "Gr\xc3\xb6\xc3\x9f" "e";  // UTF-8 in the settings, 8-bit on paper
  EXPECT_EQ(RunPrintJob("  12.5 CM\r\n\r\none\ntwo\r\rlast", settings), 0);
  EXPECT_EQ(Printed(), (Strings{"  12.5 CM", "", "one", "two", "", "last", "Gr\xf6\xdf" "e"}));
  EXPECT_EQ(log_.texts[1].y, 80 + 20);  // top margin 40 points
  EXPECT_EQ(log_.fonts[0], "Lucida Console 16 400");  // the default face at 8 points
  EXPECT_TRUE(log_.ended && log_.destroyed);
  settings.Font = "DejaVu Sans Mono";
  settings.Weight = 700;  // the pane's weight: printing stays regular
  Attach();
  RunPrintJob("x\r\n", settings);
  EXPECT_EQ(log_.fonts[4], "DejaVu Sans Mono 20 400");
}

TEST_F(QprintTest, JobTakesFontCellsFromTheHeapAndShowsTheWaitCursor) {
  const unsigned before = hcheapInspectPool(0).usedBlocks;
  unsigned during = 0;
  bool waiting = false;
  surface_->onStartDoc = [&] {
    during = hcheapInspectPool(0).usedBlocks;
    waiting = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  };
  RunPrintJob("x\r\n", Settings{});
  EXPECT_EQ(during, before + QPRINT_FONT_SLOTS * QPRINT_FONT_VARIANTS);
  EXPECT_EQ(hcheapInspectPool(0).usedBlocks, before);
  EXPECT_TRUE(waiting);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
