// Dialog 107, "Select Sound": the seven choices for the device's beep, top
// to bottom, each with its control id and the sound code the settings keep.
#pragma once

#include <array>
#include <cstdint>

#include "app/settings.h"

struct SoundChoice {
  int controlId;
  const char* caption;
  int32_t soundCode;
};

constexpr std::array<SoundChoice, 7> SoundChoices{{
    {1033, "Standard Beep", SOUND_STANDARD_BEEP},
    {1035, "System Asterisk", SOUND_ASTERISK},
    {1034, "System Exclamation", SOUND_EXCLAMATION},
    {1036, "System Hand", SOUND_HAND},
    {1037, "System Question", SOUND_QUESTION},
    {1038, "System Default", SOUND_DEFAULT},
    {1039, "No Sound", SOUND_NONE},
}};

constexpr int IDC_SOUND_PLAY = 1040;
constexpr const char* SOUND_DIALOG_TITLE = "Select Sound";
constexpr const char* SOUND_GROUP_TITLE = "Sounds";
