// The beep: one sound per tone call through the sound layer, silence for
// "No Sound", the failure box only on a real failure, and the Select Sound
// dialog's pending choice.
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/settings.h"
#include "frontpanel/sound.h"
#include "frontpanel/sound_dialog.h"
#include "tests/frontpanel/test_support.h"

namespace {

TEST(SoundBeep, PlaysTheStoredSoundAndNothingForNoSound) {
  FakeSound sound;
  EXPECT_TRUE(SoundBeep(sound, SOUND_ASTERISK));
  EXPECT_TRUE(SoundBeep(sound, SOUND_STANDARD_BEEP));
  EXPECT_TRUE(SoundBeep(sound, SOUND_NONE));
  EXPECT_EQ(sound.played, (std::vector<int32_t>{64, -1}));
}

TEST(SoundBeep, ReportsTheLayersFailureButNeverForNoSound) {
  FakeSound sound;
  sound.succeed = false;
  EXPECT_FALSE(SoundBeep(sound, SOUND_HAND));
  EXPECT_TRUE(SoundBeep(sound, SOUND_NONE));
}

TEST(DesktopSoundName, EachSystemSoundHasItsEventName) {
  EXPECT_STREQ(DesktopSoundName(SOUND_ASTERISK), "dialog-information");
  EXPECT_STREQ(DesktopSoundName(SOUND_EXCLAMATION), "dialog-warning");
  EXPECT_STREQ(DesktopSoundName(SOUND_HAND), "dialog-error");
  EXPECT_STREQ(DesktopSoundName(SOUND_QUESTION), "dialog-question");
  EXPECT_STREQ(DesktopSoundName(SOUND_DEFAULT), "bell");
  EXPECT_STREQ(DesktopSoundName(12345), "bell");
}

TEST(SystemSoundLayer, ANoSoundMachineIsNotAFailure) {
  // Whatever this machine has (often no sound service at all), playing must
  // not report failure: that would put up a box at every beep.
  auto layer = MakeSystemSoundLayer();
  for (int32_t code : {SOUND_ASTERISK, SOUND_EXCLAMATION, SOUND_DEFAULT, SOUND_STANDARD_BEEP})
    EXPECT_TRUE(layer->play(code)) << code;
}

TEST(SoundDialog, OpensOnTheStoredChoiceInTheTemplatesOrder) {
  int32_t sound = SOUND_EXCLAMATION;
  SoundDialog dialog(sound, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Sound"));
  EXPECT_TRUE(dialog.choiceButton(1034)->isChecked());
  EXPECT_EQ(dialog.choiceButton(1034)->text(), QStringLiteral("System Exclamation"));
  const char* order[] = {"Standard Beep", "System Asterisk", "System Exclamation", "System Hand",
                         "System Question", "System Default", "No Sound"};
  for (size_t i = 0; i < SoundChoices.size(); ++i) EXPECT_STREQ(SoundChoices[i].caption, order[i]);
}

TEST(SoundDialog, OkStoresThePendingChoice) {
  int32_t sound = SOUND_ASTERISK;
  SoundDialog dialog(sound, nullptr);
  dialog.choiceButton(1039)->click();
  EXPECT_EQ(dialog.pending(), SOUND_NONE);
  EXPECT_EQ(sound, SOUND_ASTERISK);  // nothing changes before OK
  dialog.findChild<QPushButton*>(QStringLiteral("ctl1"))->click();
  EXPECT_EQ(sound, SOUND_NONE);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SoundDialog, CancelKeepsTheOldSound) {
  int32_t sound = SOUND_QUESTION;
  SoundDialog dialog(sound, nullptr);
  dialog.choiceButton(1039)->click();
  dialog.findChild<QPushButton*>(QStringLiteral("ctl2"))->click();
  EXPECT_EQ(sound, SOUND_QUESTION);
}

TEST(SoundDialog, AnUnknownStoredValueChecksNothingAndOkKeepsIt) {
  int32_t sound = 7;
  SoundDialog dialog(sound, nullptr);
  for (const SoundChoice& choice : SoundChoices) EXPECT_FALSE(dialog.choiceButton(choice.controlId)->isChecked());
  dialog.findChild<QPushButton*>(QStringLiteral("ctl1"))->click();
  EXPECT_EQ(sound, 7);
}

}  // namespace
