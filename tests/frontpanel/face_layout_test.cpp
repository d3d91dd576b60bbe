// Where secondary dialogs go.
#include <gtest/gtest.h>

#include "frontpanel/center_over_owner.h"

namespace {

TEST(CenterOverOwner, CentresAndKeepsTheDialogOnTheScreen) {
  const QSize screen(1920, 1080);
  EXPECT_EQ(CenteredPosition({200, 100}, QRect(100, 100, 600, 400), screen), QPoint(300, 250));
  EXPECT_EQ(CenteredPosition({200, 100}, QRect(-500, -300, 300, 200), screen), QPoint(0, 0));
  EXPECT_EQ(CenteredPosition({200, 100}, QRect(1800, 1000, 300, 200), screen), QPoint(1720, 980));
  // Larger than the screen: its top left corner stays on the screen.
  EXPECT_EQ(CenteredPosition({2000, 100}, QRect(1500, 100, 600, 400), screen).x(), 0);
  EXPECT_EQ(CenteredPosition({200, 1200}, QRect(100, 500, 600, 400), screen).y(), 0);
}

}  // namespace
