// Where secondary windows go: centred over the owner on the owner's screen,
// shrunk to that screen when they can be, and never pushed onto another one.
// The desktop is two offscreen screens side by side, the right one smaller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "dialogs/center_over_owner.h"

TEST(CenterOverOwner, CentresOnTheOwnersScreenAndKeepsTheWindowWithinIt) {
  const struct {
    QRect owner, placed;  // placed: where the frame goes
    QSize size;
    bool resizable;
  } cases[] = {
      // Frames here are 2 wide; the window's corner goes below the room kept
      // for a title bar, wherever a window manager hangs it.
      {{2020, 100, 800, 500}, {2270, 266, 304, 204}, {300, 200}, false},
      {{2020, 100, 800, 500}, {2080, 40, 684, 724}, {680, 1000}, true},  // shrunk to fit with that room
      {{1500, 100, 600, 400}, {8, 266, 2004, 104}, {2000, 100}, false},  // too wide: its left edge stays on
  };
  for (const auto& c : cases) {
    QWidget owner;
    owner.setGeometry(c.owner);
    QDialog window(&owner);
    c.resizable ? window.resize(c.size) : window.setFixedSize(c.size);
    CenterOverOwner(&window, &owner);
    EXPECT_EQ(window.frameGeometry(), c.placed) << c.owner.x();
  }
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TWO_SCREENS);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
