// The About box's texts from the version record, and the help book's topics
// by control id.
#include <QLabel>
#include <gtest/gtest.h>

#include "frontpanel/about_dialog.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/help.h"
#include "frontpanel/version_record.h"
#include "peripherals/keypad.h"
#include "resources/ids.h"

namespace {

TEST(VersionRecord, AnswersTheStringFileInfoPaths) {
  const VersionRecord record = VersionRecord::Load();
  ASSERT_FALSE(record.isEmpty());
  EXPECT_EQ(record.stringPrefix(), QStringLiteral("\\StringFileInfo\\080904B0\\"));
  EXPECT_EQ(record.query(QStringLiteral("\\StringFileInfo\\080904B0\\ProductName")), QStringLiteral("TM650E"));
  EXPECT_EQ(record.query(QStringLiteral("\\StringFileInfo\\080904B0\\CompanyName")), QStringLiteral("Fernhill"));
  EXPECT_EQ(record.query(QStringLiteral("\\StringFileInfo\\080904B0\\ProductVersion")),
            QStringLiteral("1, 0, 0, 26"));
  EXPECT_EQ(record.query(QStringLiteral("\\StringFileInfo\\080904B0\\NoSuchValue")), std::nullopt);
}

TEST(AboutDialog, ShowsTheVersionRecordsTexts) {
  AboutDialog about(VersionRecord::Load(), nullptr);
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About..."));
  EXPECT_EQ(about.text(1000)->text(), QStringLiteral("Knitting Computer Emulator"));
  EXPECT_EQ(about.text(1001)->text(), QStringLiteral("Fernhill"));
  EXPECT_EQ(about.text(1002)->text(), QStringLiteral("TM650E"));
  EXPECT_EQ(about.text(1003)->text(), QStringLiteral("1, 0, 0, 26"));
  EXPECT_FALSE(about.text(1004)->text().isEmpty());
}

TEST(AboutDialog, KeepsTheValueNamesWithoutATranslationOrAValue) {
  AboutDialog none(VersionRecord::Parse(QStringLiteral("\\StringFileInfo\\080904B0\\ProductName=X")), nullptr);
  EXPECT_EQ(none.text(1002)->text(), QStringLiteral("ProductName"));
  AboutDialog partial(VersionRecord::Parse(QStringLiteral("\\VarFileInfo\\Translation=0809 04B0\n"
                                                          "\\StringFileInfo\\080904B0\\ProductName=X")),
                      nullptr);
  EXPECT_EQ(partial.text(1002)->text(), QStringLiteral("X"));
  EXPECT_EQ(partial.text(1001)->text(), QStringLiteral("CompanyName"));
}

TEST(HelpBook, EveryKeyAndNumberedControlOfTheFaceHasATopic) {
  for (const ControlTemplate& item : FaceControls()) {
    if (item.id < 0 || item.id == IDC_CANCEL) continue;
    EXPECT_FALSE(HelpTopicHtml(item.id).isEmpty()) << item.id;
  }
}

TEST(HelpBook, TopicsAreFoundByControlId) {
  EXPECT_TRUE(HelpTopicHtml(IDC_KEY_1).contains(QStringLiteral("number")));
  EXPECT_TRUE(HelpTopicHtml(IDC_POWER).contains(QStringLiteral("power"), Qt::CaseInsensitive));
  EXPECT_TRUE(HelpTopicHtml(IDC_PAPER).contains(QStringLiteral("paper"), Qt::CaseInsensitive));
  EXPECT_TRUE(HelpTopicHtml(-1).isEmpty());
  EXPECT_TRUE(HelpTopicHtml(0).isEmpty());
}

TEST(HelpPopup, ShowsTheTopicWithTenPixelMarginsAndNothingWithoutOne) {
  QWidget owner;
  QWidget* popup = ShowHelpPopup(IDC_KEY_1, QPoint(100, 100), &owner);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->contentsMargins(), QMargins(10, 10, 10, 10));
  EXPECT_TRUE(popup->isVisible());
  popup->close();
  EXPECT_EQ(ShowHelpPopup(-1, QPoint(100, 100), &owner), nullptr);
}

TEST(HelpContents, OpensTheBookInAHelpWindow) {
  QWidget owner;
  QWidget* window = ShowHelpContents(&owner);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  window->close();
}

}  // namespace
