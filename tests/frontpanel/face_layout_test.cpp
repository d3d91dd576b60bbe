// Dialog units to pixels for the face.
#include <gtest/gtest.h>

#include "frontpanel/face_layout.h"
#include "resources/ids.h"

namespace {

TEST(FaceLayout, DialogUnitsUseBaseUnitsSixByThirteen) {
  EXPECT_EQ(DialogRect(*FindControl(IDC_FACE)), QRect(8, 33, 777, 171));
  EXPECT_EQ(DialogRect(*FindControl(IDC_DIGIT_1)).size(), QSize(38, 65));
  EXPECT_EQ(FaceSizeInPixels(), QSize(965, 432));
  EXPECT_EQ(FindControl(-1), nullptr);
}

}  // namespace
