// The PC keyboard's mapping onto the device's keys, and the tooltip names.
#include <gtest/gtest.h>

#include "frontpanel/keyboard_map.h"
#include "resources/controls.h"
#include "resources/ids.h"

namespace {

TEST(KeyboardMap, DigitsPointEnterAndLettersWorkTheirKeys) {
  for (const KeyControl& key : KeyControls) EXPECT_FALSE(PcKeyNamesFor(key.controlId).isEmpty()) << key.controlId;
  EXPECT_EQ(ControlForPcKey(Qt::Key_0), IDC_KEY_0);
  for (int digit = 1; digit <= 9; ++digit) EXPECT_EQ(ControlForPcKey(Qt::Key_0 + digit), IDC_KEY_1 + digit - 1);
  EXPECT_EQ(ControlForPcKey(Qt::Key_Period), IDC_KEY_POINT);
  EXPECT_EQ(ControlForPcKey(Qt::Key_Return), IDC_KEY_EQUALS);
  EXPECT_EQ(ControlForPcKey(Qt::Key_Enter), IDC_KEY_EQUALS);
  EXPECT_EQ(ControlForPcKey(Qt::Key_C), IDC_KEY_A + 2);  // the letter is function key C
  EXPECT_EQ(ControlForPcKey(Qt::Key_Backspace), IDC_KEY_C);
  // Each PC key named once in the tooltip.
  EXPECT_EQ(PcKeyNamesFor(IDC_KEY_EQUALS), QStringLiteral("Enter or ="));
  EXPECT_EQ(PcKeyNamesFor(IDC_KEY_POINT), QStringLiteral(". or ,"));
  EXPECT_TRUE(PcKeyNamesFor(IDC_PAPER_FEED).isEmpty());
}

}  // namespace
