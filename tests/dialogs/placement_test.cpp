// Where windows go: secondary ones centred over the owner on the owner's
// screen, shrunk to that screen when they can be, and never pushed onto
// another one; any window kept within its screen with its top left on it.
// The desktop is two offscreen screens side by side, the right one smaller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "dialogs/center_over_owner.h"

void PrintTo(const QPoint& p, std::ostream* out) { *out << "(" << p.x() << ", " << p.y() << ")"; }
void PrintTo(const QRect& r, std::ostream* out) { *out << r.width() << "x" << r.height() << " at " << r.x() << "," << r.y(); }

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

// A window larger than its screen keeps its top left corner, and with it the
// title bar, on the screen, wherever it was put.
TEST(KeptInside, PullsBackFromTheFarEdgesFirstSoTheTopLeftStaysOnTheScreen) {
  const QRect right(1920, 0, 1366, 768);
  const struct {
    QRect frame;
    QPoint kept;
  } cases[] = {
      {{2000, 100, 300, 200}, {2000, 100}},   // within: stays
      {{3200, 700, 300, 200}, {2986, 568}},   // past the far edges: pulled back
      {{3000, 500, 1500, 900}, {1920, 0}},    // larger, past the far edges
      {{1000, -300, 1500, 900}, {1920, 0}},   // larger, before the near edges
      {{2000, 400, 300, 900}, {2000, 0}},     // taller only
  };
  for (const auto& c : cases) EXPECT_EQ(KeptInside(c.frame, right), c.kept) << c.frame.x() << "," << c.frame.y();
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" TWO_SCREENS);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
