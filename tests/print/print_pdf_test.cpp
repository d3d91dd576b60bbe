// The print job on a QPrinter writing a PDF at a fixed resolution, read back
// with pdftotext and pdffonts: layout, margins in points, header and
// footer placement, page breaks and the font's weight.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>

#include "app/settings.h"
#include "print/print_job.h"
#include "print/qprint.h"

namespace {

struct PdfWord {
  double xMin, yMin, xMax;
  std::string text;
};

struct PdfPage {
  std::vector<PdfWord> words;
  const PdfWord* Find(const std::string& text) const {
    const auto at = std::find_if(words.begin(), words.end(), [&](const PdfWord& word) { return word.text == text; });
    return at == words.end() ? nullptr : &*at;
  }
};

std::string ReadCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char chunk[4096];
  for (size_t got; pipe && (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, got);
  EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
  return output;
}

// The words of every page with their boxes in points, from pdftotext -bbox.
std::vector<PdfPage> ReadPdfWords(const std::string& path) {
  const std::string html = ReadCommand(std::string(PDFTOTEXT) + " -bbox '" + path + "' -");
  static const std::regex tag(R"x(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)x");
  std::vector<PdfPage> pages;
  for (std::sregex_iterator at(html.begin(), html.end(), tag), end; at != end; ++at) {
    if (!(*at)[1].matched)
      pages.emplace_back();
    else if (!pages.empty())
      pages.back().words.push_back({std::stod((*at)[1]), std::stod((*at)[2]), std::stod((*at)[3]), (*at)[4]});
  }
  return pages;
}

class PrintPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.Font = "DejaVu Sans Mono";
    settings_.PointSize = 10;
    settings_.MarginTop = 50;
    settings_.MarginLeft = 200;
    settings_.MarginBottom = 160;
    settings_.Header = "HEADER";
  }

  // Prints `paper` at `dpi` and reads the words back; sizes are in points.
  std::vector<PdfPage> Print(const QString& paper, int dpi = 72) {
    const QString path = path_ = dir_.filePath(QStringLiteral("paper%1.pdf").arg(++jobs_));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(dpi);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    EXPECT_EQ(PrintPaperOn(printer, paper, settings_), 0);
    QFont font(QString::fromStdString(settings_.Font));
    font.setPixelSize(qprintMulDiv(settings_.PointSize, dpi, 72));
    lineHeight_ = QFontMetrics(font, &printer).height() * 72.0 / dpi;
    pageHeight_ = printer.height() * 72.0 / dpi;
    docName_ = printer.docName();
    return ReadPdfWords(path.toStdString());
  }
  // A word's top as the job placed it: pdftotext's box starts a little above
  // the line's top, by an offset learned from the header on the top margin.
  double Top(const PdfPage& page, const std::string& word) const {
    const PdfWord *at = page.Find(word), *header = page.Find("HEADER");
    return at && header ? at->yMin - (header->yMin - settings_.MarginTop) : NAN;
  }

  QTemporaryDir dir_;
  QString path_;  // of the last PDF printed
  Settings settings_;
  int jobs_ = 0;
  double lineHeight_ = 0, pageHeight_ = 0;
  QString docName_;
};

// Every margin is in points from the paper's edge, the same on a printer of
// any resolution (the preview's screen resolution among them).
TEST_F(PrintPdfTest, EmptyPaperPrintsOnePageThatSaysSoAsPageOneWithinTheMarginsInPointsAtAnyResolution) {
  settings_.Footer = "Page &[page]";
  settings_.MarginLeft = 100;
  settings_.MarginBottom = 80;
  for (int dpi : {72, 96, 144, 600}) {
    const auto pages = Print("", dpi);
    ASSERT_EQ(pages.size(), 1u);
    std::string text;
    for (const PdfWord& word : pages[0].words) text += word.text + " ";
    ASSERT_EQ(text, "HEADER (The paper is empty.) Page 1 ");
    EXPECT_NEAR(pages[0].Find("(The")->xMin, 100, 0.8) << dpi;
    EXPECT_NEAR(Top(pages[0], "Page"), pageHeight_ - 80, 0.8) << dpi;
  }
  EXPECT_EQ(docName_, "QPrint");
}

// Paper lines end in CR LF, a lone LF or CR, or not at all; the settings
// hold UTF-8, the paper is 8-bit.
TEST_F(PrintPdfTest, HeaderCentredThenOneEmptyLineThenEveryPaperLineInTheChosenWeight) {
  settings_.Weight = 700;
  settings_.MarginRight = 100;  // centred between the margins, not on the page
  settings_.Footer = "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac";
  const auto pages = Print("FIRST\r\n\n\rMARK");
  const PdfWord* header = pages[0].Find("HEADER");
  ASSERT_TRUE(header && pages[0].Find("MARK") && pages[0].Find("Gr\xc3\xb6\xc3\x9f" "e") && pages[0].Find("?"));
  EXPECT_NEAR((header->xMin + header->xMax) / 2, 200 + (595 - 300) / 2.0, 1.0);  // A4
  EXPECT_NEAR(Top(pages[0], "FIRST"), 50 + 2 * lineHeight_, 0.01);
  EXPECT_NEAR(Top(pages[0], "MARK"), 50 + 5 * lineHeight_, 0.01);  // blank lines as high as text
  const std::string fonts = ReadCommand(std::string(PDFFONTS) + " '" + path_.toStdString() + "'");
  EXPECT_NE(fonts.find("DejaVuSansMono-Bold "), std::string::npos) << fonts;
}

TEST_F(PrintPdfTest, PageBreaksBeforeTheLineThatWouldCrossTheBottomMarginWithFooterTopOnIt) {
  settings_.Footer = "FOOTER &[page]";
  QString paper;
  for (int line = 1; line <= 80; ++line) paper += QStringLiteral("L%1\r\n").arg(line);
  const auto pages = Print(paper);
  const double firstTop = 50 + 2 * lineHeight_, bottomLine = pageHeight_ - 160;
  const int perPage = static_cast<int>(std::floor((bottomLine - firstTop) / lineHeight_ + 1e-9));
  ASSERT_EQ(pages.size(), static_cast<size_t>((80 + perPage - 1) / perPage));
  const std::string last = "L" + std::to_string(perPage), next = "L" + std::to_string(perPage + 1);
  ASSERT_TRUE(pages[0].Find(last) && !pages[0].Find(next) && pages[1].Find(next));
  EXPECT_LE(Top(pages[0], last) + lineHeight_, bottomLine + 0.01);
  EXPECT_NEAR(Top(pages[1], next), firstTop, 0.01);
  for (const PdfPage& page : pages) EXPECT_NEAR(Top(page, "FOOTER"), bottomLine, 0.01);
  EXPECT_TRUE(pages[0].Find("1") && pages[1].Find("2"));
}

TEST_F(PrintPdfTest, PrinterThatRefusesTheDocumentFailsTheJob) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir_.filePath("missing/folder/paper.pdf"));
  EXPECT_EQ(PrintPaperOn(printer, "x\r\n", settings_), -1);
}

}  // namespace
