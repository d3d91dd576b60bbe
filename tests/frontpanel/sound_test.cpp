// The system sound layer never failing for want of a sound service, and the
// Select Sound dialog's pending choice and Play. Beeps through the window are
// checked with the window.
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/settings.h"
#include "frontpanel/sound.h"
#include "frontpanel/sound_dialog.h"
#include "tests/frontpanel/test_support.h"

namespace {

TEST(SystemSoundLayer, ANoSoundMachineIsNotAFailure) {
  // Whatever this machine has (often no sound service at all), playing must
  // not report failure: that would put up a box at every beep.
  auto layer = MakeSystemSoundLayer();
  for (int32_t code : {SOUND_ASTERISK, SOUND_EXCLAMATION, SOUND_DEFAULT, SOUND_STANDARD_BEEP})
    EXPECT_TRUE(layer->play(code)) << code;
}

void Click(SoundDialog& dialog, const char* button) {
  dialog.findChild<QPushButton*>(QLatin1String(button))->click();
}

TEST(SoundDialog, OpensOnTheStoredChoicePlaysTheHighlightedOneAndOnlyOkStoresIt) {
  int32_t sound = SOUND_EXCLAMATION;
  FakeSound speaker;
  SoundDialog cancelled(sound, nullptr, &speaker);
  EXPECT_TRUE(cancelled.choiceButton(1034)->isChecked());
  cancelled.choiceButton(1039)->click();
  Click(cancelled, "ctl2");
  EXPECT_EQ(sound, SOUND_EXCLAMATION);
  SoundDialog accepted(sound, nullptr, &speaker);
  Click(accepted, "ctl1040");  // Play
  accepted.choiceButton(1036)->setFocus();
  accepted.choiceButton(1036)->setChecked(true);  // as the arrow keys do
  Click(accepted, "ctl1040");
  accepted.choiceButton(1039)->click();
  Click(accepted, "ctl1040");  // No Sound plays nothing
  EXPECT_EQ(speaker.played, (std::vector<int32_t>{SOUND_EXCLAMATION, SOUND_HAND}));
  EXPECT_EQ(accepted.pending(), SOUND_NONE);
  EXPECT_EQ(sound, SOUND_EXCLAMATION);  // nothing changes before OK
  Click(accepted, "ctl1");
  EXPECT_EQ(sound, SOUND_NONE);
  EXPECT_EQ(accepted.result(), QDialog::Accepted);
}

}  // namespace
