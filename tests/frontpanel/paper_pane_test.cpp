// The paper pane: CR LF text kept byte for byte, the widget showing the same
// lines, clearing, scrolling and the pane's font.
#include <QFontDatabase>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "frontpanel/paper_pane.h"

namespace {

std::string WidgetTextAsCrLf(const PaperPane& pane) {
  std::string text = pane.toPlainText().toStdString(), out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void Append(PaperPane& pane, const std::string& text) { pane.append(text.data(), text.size()); }

TEST(PaperPane, KeepsTheAppendedBytesAndShowsTheSameLines) {
  PaperPane pane;
  Append(pane, "GAUGE 22\"30\r\n");
  Append(pane, "\r\n");
  Append(pane, "ROWS 42\r\n");
  EXPECT_EQ(pane.paper(), "GAUGE 22\"30\r\n\r\nROWS 42\r\n");
  EXPECT_EQ(WidgetTextAsCrLf(pane), pane.paper());
  EXPECT_EQ(pane.toPlainText(), QStringLiteral("GAUGE 22\"30\n\nROWS 42\n"));
}

TEST(PaperPane, ACrLfSplitOverTwoAppendsIsStillOneLineBreak) {
  PaperPane pane;
  Append(pane, "AB\r");
  Append(pane, "\nCD\r\n");
  EXPECT_EQ(pane.paper(), "AB\r\nCD\r\n");
  EXPECT_EQ(pane.toPlainText(), QStringLiteral("AB\nCD\n"));
}

TEST(PaperPane, EightBitCharactersSurviveAsLatin1) {
  PaperPane pane;
  Append(pane, "5\xD7" "3\r\n");
  EXPECT_EQ(pane.paper(), "5\xD7" "3\r\n");
  EXPECT_EQ(pane.toPlainText(), QString::fromLatin1("5\xD7" "3\n"));
}

TEST(PaperPane, ClearEmptiesModelAndWidget) {
  PaperPane pane;
  Append(pane, "X\r\n");
  pane.clearPaper();
  EXPECT_TRUE(pane.paper().empty());
  EXPECT_TRUE(pane.toPlainText().isEmpty());
  Append(pane, "Y\r\n");
  EXPECT_EQ(WidgetTextAsCrLf(pane), "Y\r\n");
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

TEST(PaperPane, IsReadOnlyButSelectable) {
  PaperPane pane;
  EXPECT_TRUE(pane.isReadOnly());
  EXPECT_TRUE(pane.textInteractionFlags() & Qt::TextSelectableByMouse);
  EXPECT_TRUE(pane.textInteractionFlags() & Qt::TextSelectableByKeyboard);
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
