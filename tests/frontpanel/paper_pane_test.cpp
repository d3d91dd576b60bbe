// The paper pane: CR LF text kept byte for byte, the widget showing the same
// lines, clearing, scrolling and the pane's font.
#include <QFontDatabase>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "frontpanel/paper_pane.h"

namespace {

void Append(PaperPane& pane, const std::string& text) { pane.append(text.data(), text.size()); }

TEST(PaperPane, KeepsTheBytesShowsTheSameLinesAndClears) {
  PaperPane pane;
  Append(pane, "GAUGE 22\"30\r\n");
  Append(pane, "\r\n5\xD7" "3\r");  // eight-bit text, and a CR LF split over two appends
  Append(pane, "\nROWS 42\r\n");
  EXPECT_EQ(pane.paper(), "GAUGE 22\"30\r\n\r\n5\xD7" "3\r\nROWS 42\r\n");
  EXPECT_EQ(pane.toPlainText(), QString::fromLatin1("GAUGE 22\"30\n\n5\xD7" "3\nROWS 42\n"));
  pane.clearPaper();
  EXPECT_TRUE(pane.paper().empty());
  EXPECT_TRUE(pane.toPlainText().isEmpty());
  Append(pane, "Y\r\n");
  EXPECT_EQ(pane.toPlainText(), QStringLiteral("Y\n"));
}

TEST(PaperPane, ScrollsToTheNewestLine) {
  PaperPane pane;
  pane.resize(165, 120);
  pane.show();
  for (int i = 0; i < 200; ++i) Append(pane, "LINE " + std::to_string(i) + "\r\n");
  QScrollBar* bar = pane.verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(PaperFont, TakesHeightAndWeightAndFallsBackToTheSystemFixedFont) {
  Settings settings;
  settings.Font = "No Such Font Face 123";
  settings.Height = -11;
  settings.Weight = 700;
  const QFont font = PaperFont(settings);
  EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
  EXPECT_EQ(font.pixelSize(), 11);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_TRUE(font.fixedPitch());
}

}  // namespace
