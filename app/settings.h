// The user's stored choices: beep sound, paper font, print document name,
// header, footer and margins. Read once before the window opens, written once
// after it has closed; the dialogs change only this record in between.
#pragma once

#include <cstdint>
#include <string>

constexpr size_t SETTINGS_TEXT_MAX = 255;  // longer stored texts take their default

struct Settings {
  int32_t Sound = 64;
  std::string Font;  // empty until read: the built-in value
  int32_t Height = -11;
  int32_t Weight = 400;
  int32_t PointSize = 8;
  std::string DocName = "QPrint";
  std::string Header;
  std::string Footer;
  int32_t MarginLeft = 200;
  int32_t MarginRight = 200;
  int32_t MarginTop = 40;
  int32_t MarginBottom = 160;
};

// Sound codes.
constexpr int32_t SOUND_STANDARD_BEEP = -1;
constexpr int32_t SOUND_NONE = -2;
constexpr int32_t SOUND_ASTERISK = 64;
constexpr int32_t SOUND_EXCLAMATION = 48;
constexpr int32_t SOUND_HAND = 16;
constexpr int32_t SOUND_QUESTION = 32;
constexpr int32_t SOUND_DEFAULT = 0;
