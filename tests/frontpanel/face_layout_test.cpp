// The face's template: dialog units to pixels, the controls it holds, and
// where secondary dialogs go.
#include <gtest/gtest.h>

#include <set>

#include "frontpanel/center_over_owner.h"
#include "frontpanel/face_layout.h"
#include "peripherals/keypad.h"
#include "resources/ids.h"

namespace {

TEST(FaceLayout, DialogUnitsUseBaseUnitsSixByThirteen) {
  EXPECT_EQ(DialogUnitsToPixelsX(518), 777);
  EXPECT_EQ(DialogUnitsToPixelsY(105), 171);
  EXPECT_EQ(DialogRect(*FindControl(IDC_FACE)), QRect(8, 33, 777, 171));
  EXPECT_EQ(DialogRect(*FindControl(IDC_DIGIT_1)).size(), QSize(38, 65));
  EXPECT_EQ(FaceSizeInPixels(), QSize(965, 432));
}

TEST(FaceLayout, HoldsEveryControlOfTheTemplateOnce) {
  EXPECT_EQ(FaceControls().size(), 71u);
  std::set<int> ids;
  for (const ControlTemplate& item : FaceControls()) {
    if (item.id >= 0) {
      EXPECT_TRUE(ids.insert(item.id).second) << item.id;
    }
  }
  for (const KeyInfo& key : KeyTable) {
    const ControlTemplate* item = FindControl(key.controlId);
    ASSERT_NE(item, nullptr) << key.controlId;
    EXPECT_EQ(item->kind, ControlKind::Key);
    EXPECT_STREQ(item->text, key.label);
  }
  EXPECT_EQ(FindControl(IDC_POWER)->kind, ControlKind::DefaultButton);
  EXPECT_STREQ(FindControl(IDC_POWER)->text, "OFF");
  EXPECT_EQ(FindControl(IDC_PAPER_FEED)->kind, ControlKind::Button);
  EXPECT_EQ(FindControl(-1), nullptr);
}

TEST(FaceLayout, FunctionKeysStandThirtySixUnitsApart) {
  for (int n = 0; n < 14; ++n) {
    const ControlTemplate* key = FindControl(IDC_KEY_A + n);
    EXPECT_EQ(key->x, 25 + 36 * n);
    EXPECT_EQ(key->y, 135);
    EXPECT_EQ(key->text[0], 'A' + n);
  }
}

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
