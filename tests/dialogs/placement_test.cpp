// Where secondary windows go: centred over the owner on the owner's screen,
// shrunk to that screen when they can be, and never pushed onto another one.
// The desktop is two offscreen screens side by side, the right one smaller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include "dialogs/center_over_owner.h"

namespace {

const QRect LeftScreen(0, 0, 1920, 1080);
const QRect RightScreen(1920, 0, 1366, 768);

TEST(PlaceOverOwner, CentresThenKeepsTheWindowOnTheOwnersScreen) {
  const struct {
    QSize size;
    bool resizable;
    QRect owner, screen, placed;
  } cases[] = {
      {{200, 100}, false, {100, 100, 600, 400}, LeftScreen, {300, 250, 200, 100}},
      {{200, 100}, false, {-500, -300, 300, 200}, LeftScreen, {0, 0, 200, 100}},
      {{200, 100}, false, {1800, 1000, 300, 200}, LeftScreen, {1720, 980, 200, 100}},
      // On the right screen: its own edges, not the left screen's size.
      {{200, 100}, false, {2000, 100, 600, 400}, RightScreen, {2200, 250, 200, 100}},
      {{200, 100}, false, {3200, 600, 300, 200}, RightScreen, {3086, 650, 200, 100}},
      // Too large: a fixed window keeps its top left corner on the screen,
      // a resizable one (the help window) is shrunk to the screen.
      {{2000, 100}, false, {1500, 100, 600, 400}, LeftScreen, {0, 250, 2000, 100}},
      {{680, 900}, false, {2000, 100, 600, 400}, RightScreen, {1960, 0, 680, 900}},
      {{680, 900}, true, {2000, 100, 600, 400}, RightScreen, {1960, 0, 680, 768}},
      // No owner: centred on the screen.
      {{200, 100}, false, QRect(), RightScreen, {2503, 334, 200, 100}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlaceOverOwner(c.size, c.resizable, c.owner, c.screen), c.placed) << c.owner.x() << "," << c.owner.y();
}

TEST(CenterOverOwner, ADialogGoesToTheScreenItsOwnerIsOn) {
  QWidget owner;
  owner.setGeometry(RightScreen.left() + 100, 100, 800, 500);
  owner.show();
  ASSERT_EQ(owner.screen()->geometry(), RightScreen);
  QDialog fixed(&owner);
  fixed.setFixedSize(300, 200);
  CenterOverOwner(&fixed, &owner);
  EXPECT_TRUE(RightScreen.contains(fixed.frameGeometry()));
  EXPECT_LE((fixed.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
  QWidget help(&owner, Qt::Window);
  help.resize(680, 1000);
  CenterOverOwner(&help, &owner);
  EXPECT_TRUE(RightScreen.contains(help.frameGeometry()));
}

// A two-screen desktop for the offscreen platform, written before the
// application starts.
QByteArray TwoScreenConfig() {
  QString screens;
  for (const QRect& at : {LeftScreen, RightScreen})
    screens += QStringLiteral(R"(%1{"name": "S%2", "x": %2, "y": 0, "width": %3, "height": %4, "logicalDpi": 96})")
                   .arg(screens.isEmpty() ? "" : ",").arg(at.x()).arg(at.width()).arg(at.height());
  return QStringLiteral(R"({"screens": [%1]})").arg(screens).toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  QFile config(dir.filePath(QStringLiteral("screens.json")));
  if (!config.open(QIODevice::WriteOnly) || config.write(TwoScreenConfig()) < 0) return 1;
  config.close();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
