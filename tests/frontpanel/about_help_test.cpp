// The About box's texts from the version record in any font size, the help book's topics by
// control id, and the links between the book's pages.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

#include "frontpanel/about_dialog.h"
#include "frontpanel/help.h"
#include "frontpanel/version_record.h"
#include "resources/ids.h"

namespace {

QString HelpPage(const QString& name) {
  QFile file(QDir(QString::fromLatin1(HELP_FOLDER)).filePath(name));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList HelpPages() {
  HelpTopicHtml(0);  // registers the built-in resources
  return QDir(QString::fromLatin1(HELP_FOLDER)).entryList({QStringLiteral("*.html")}, QDir::Files);
}

QTextBrowser* BrowserOf(QWidget* helpWindow) {
  return helpWindow ? helpWindow->findChild<QTextBrowser*>(QStringLiteral("helpBrowser")) : nullptr;
}

TEST(AboutDialog, EveryTextHasTheRoomItsFontNeedsAtAnySize) {
  for (int points : {8, 14, 28}) {
    AboutDialog about(VersionRecord::Load(), nullptr);
    QFont font = about.font();
    font.setPointSize(points);
    about.setFont(font);
    about.show();
    for (int id = 1000; id <= 1005; ++id) {
      const QLabel* label = about.text(id);
      EXPECT_GE(label->height(), QFontMetrics(label->font()).height()) << id << " at " << points;
      EXPECT_GE(label->width(), label->sizeHint().width()) << id << " at " << points;
      EXPECT_TRUE(about.rect().contains(label->geometry())) << id << " at " << points;
    }
    EXPECT_EQ(about.text(1002)->font().pointSize(), points);
    EXPECT_NE(about.text(1002)->text(), QStringLiteral("ProductName")) << "the version record's own text";
  }
}

// Every control has a topic: it is the control's accessible description,
// checked in the window's test. Here the topics fit their controls, and J
// and K (the slant per side, the inputs in stitches and rows) answer F1 as
// their lamps do.
TEST(HelpBook, TopicsFitTheirControlsAndKeysShareThemWithTheirLamps) {
  const std::pair<int, const char*> topics[] = {
      {IDC_KEY_1, "number"}, {IDC_POWER, "power"}, {IDC_PAPER, "paper"},
      {IDC_KEY_A + 9, "per side"}, {IDC_LAMP_MODE, "per side"}, {IDC_KEY_A + 10, "in stitches"}, {IDC_LAMP_MT, "in stitches"}};
  for (const auto& [id, text] : topics)
    EXPECT_TRUE(HelpTopicHtml(id).contains(QLatin1String(text), Qt::CaseInsensitive)) << id;
}

TEST(HelpBook, EveryLinkLeadsToAPageAndAnchorAndTheContentsToEveryPage) {
  const QStringList pages = HelpPages();
  ASSERT_TRUE(pages.contains(QStringLiteral("tm650e.html")));
  static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
  int links = 0;
  for (const QString& page : pages) {
    for (auto match = link.globalMatch(HelpPage(page)); match.hasNext(); ++links) {
      const QUrl target(match.next().captured(1));
      if (!target.scheme().isEmpty()) continue;  // a web link opens outside the book
      const QString file = target.path().isEmpty() ? page : target.path();
      ASSERT_TRUE(pages.contains(file)) << page.toStdString() << " -> " << target.toString().toStdString();
      if (target.hasFragment()) {
        EXPECT_TRUE(HelpPage(file).contains(QStringLiteral("name=\"%1\"").arg(target.fragment())))
            << page.toStdString() << " -> " << target.toString().toStdString();
      }
    }
  }
  EXPECT_GT(links, 20);
  const QString contents = HelpPage(QStringLiteral("tm650e.html"));
  for (const QString& page : pages)
    EXPECT_TRUE(page == QStringLiteral("tm650e.html") || contents.contains(QStringLiteral("href=\"%1\"").arg(page)))
        << page.toStdString() << " is not in the contents";
}

// The help window opens at the contents, read as HTML, within a 1366 x 768
// screen with room for a title bar; a popup shows its control's topic, and
// the popup's link turns the help window to that page.
TEST(HelpWindow, OpensAtTheContentsWithinTheScreenAndFollowsAPopupsLink) {
  QWidget owner;
  QTextBrowser* browser = BrowserOf(ShowHelpContents(&owner));
  ASSERT_NE(browser, nullptr);
  const QRect room = owner.screen()->availableGeometry();
  EXPECT_TRUE(room.contains(browser->window()->frameGeometry()));
  EXPECT_LE(browser->window()->height() + 36, room.height()) << "and room for a title bar";
  EXPECT_EQ(browser->source(), QUrl(QStringLiteral("qrc:/help/tm650e.html")));
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Getting started")));
  EXPECT_FALSE(browser->toPlainText().contains(QStringLiteral("<h")));
  EXPECT_EQ(ShowHelpPopup(-1, QPoint(100, 100), &owner), nullptr);
  auto* popup = qobject_cast<QLabel*>(ShowHelpPopup(IDC_KEY_A + 6, QPoint(100, 100), &owner));
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->text().contains(QStringLiteral("href=\"slanting.html\"")));
  emit popup->linkActivated(QStringLiteral("slanting.html"));
  EXPECT_EQ(browser->source(), QUrl(QStringLiteral("qrc:/help/slanting.html")));
}

}  // namespace
