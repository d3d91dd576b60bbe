// Dialog 107, "Select Sound": its title, its group and its Play button; the
// seven choices themselves are the settings' SoundChoices.
#pragma once

#include "app/settings.h"  // SoundChoices

constexpr int IDC_SOUND_PLAY = 1040;
constexpr const char* SOUND_DIALOG_TITLE = "Select Sound";
constexpr const char* SOUND_GROUP_TITLE = "Sounds";
