// The PC keyboard's keys as the tooltips name them; the keys themselves are
// pressed in the window's tests.
#include <gtest/gtest.h>

#include "frontpanel/keyboard_map.h"
#include "resources/controls.h"
#include "resources/ids.h"

namespace {

// Every device key and PF have a PC key, and the tooltip names each PC key once.
TEST(KeyboardMap, EveryKeyHasAPcKeyNamedOnceInItsTooltip) {
  for (const KeyControl& key : KeyControls) EXPECT_FALSE(PcKeyNamesFor(key.controlId).isEmpty()) << key.controlId;
  EXPECT_EQ(PcKeyNamesFor(IDC_KEY_EQUALS), QStringLiteral("Enter or ="));
  EXPECT_EQ(PcKeyNamesFor(IDC_KEY_POINT), QStringLiteral(". or ,"));
  EXPECT_EQ(PcKeyNamesFor(IDC_PAPER_FEED), QStringLiteral("Page Down"));
}

}  // namespace
