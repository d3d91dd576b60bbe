// The user's stored choices: beep sound, paper font, print document name,
// header, footer and margins. Read once before the window opens, written once
// after it has closed; the dialogs change only this record in between.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The built-in values: what the record holds before the store is read, and
// keeps when the store cannot be read at all. Each equals the value a store
// without it gives (SETTINGS below), but for Font and MarginTop.
struct Settings {
  int32_t Sound = 64;
  std::string Font;  // empty: the printout then takes its own face
  int32_t Height = -11;
  int32_t Weight = 400;
  int32_t PointSize = 8;
  std::string DocName = "QPrint";
  std::string Header;
  std::string Footer;
  int32_t MarginLeft = 24;  // points, as every margin
  int32_t MarginRight = 24;
  int32_t MarginTop = 40;
  int32_t MarginBottom = 19;
};

// Every stored value, in the order it is read: its name in the store, the
// field, and what it takes when the store lacks it (or holds it unreadable).
struct SettingRow {
  const char* name;
  int32_t Settings::*number;  // one of these two
  std::string Settings::*text;
  int32_t missingNumber;
  const char* missingText;
};

// The paper's face where none is chosen, as the store's missing Font.
inline constexpr const char* DEFAULT_FONT_FACE = "Lucida Console";

inline constexpr std::array<SettingRow, 12> SETTINGS{{
    {"Sound", &Settings::Sound, nullptr, 64, nullptr},
    {"Font", nullptr, &Settings::Font, 0, DEFAULT_FONT_FACE},
    {"Height", &Settings::Height, nullptr, -11, nullptr},
    {"Weight", &Settings::Weight, nullptr, 400, nullptr},
    {"PointSize", &Settings::PointSize, nullptr, 8, nullptr},
    {"DocName", nullptr, &Settings::DocName, 0, "QPrint"},
    {"Header", nullptr, &Settings::Header, 0, ""},
    {"Footer", nullptr, &Settings::Footer, 0, ""},
    {"MarginLeft", &Settings::MarginLeft, nullptr, 24, nullptr},
    {"MarginRight", &Settings::MarginRight, nullptr, 24, nullptr},
    {"MarginTop", &Settings::MarginTop, nullptr, 50, nullptr},
    {"MarginBottom", &Settings::MarginBottom, nullptr, 19, nullptr},
}};

// Stores without this key at 2 or more hold the left, right and bottom
// margins in the printer units of a 600 dpi printer (the top one always was
// points); they are read once as points, 72 to the inch: 200 becomes 24.
constexpr const char* SETTINGS_VERSION_KEY = "SettingsVersion";
constexpr int SETTINGS_VERSION = 2;
constexpr int OLD_MARGIN_UNITS_PER_INCH = 600;

// An old store's margin in points, to the nearest point.
constexpr int32_t PointsFromOldUnits(int32_t units) {
  return static_cast<int32_t>((int64_t{units} * 72 + (units < 0 ? -300 : 300)) / OLD_MARGIN_UNITS_PER_INCH);
}

// Reads an old store's margins as points: `stored(name)` says whether the
// store holds that value (a default was never in printer units).
template <typename Stored>
void ReadOldMarginUnits(Settings& settings, Stored stored) {
  const std::pair<const char*, int32_t Settings::*> printerUnits[] = {
      {"MarginLeft", &Settings::MarginLeft}, {"MarginRight", &Settings::MarginRight},
      {"MarginBottom", &Settings::MarginBottom}};
  for (const auto& [name, margin] : printerUnits)
    if (stored(name)) settings.*margin = PointsFromOldUnits(settings.*margin);
}

// Sound codes.
constexpr int32_t SOUND_STANDARD_BEEP = -1;
constexpr int32_t SOUND_NONE = -2;
constexpr int32_t SOUND_ASTERISK = 64;
constexpr int32_t SOUND_EXCLAMATION = 48;
constexpr int32_t SOUND_HAND = 16;
constexpr int32_t SOUND_QUESTION = 32;
constexpr int32_t SOUND_DEFAULT = 0;

// The sounds there are: the Select Sound dialog's choices, top to bottom,
// with their controls, and the only codes the store keeps. Each is named for
// what it plays on any desktop; Windows names its own system sounds.
struct SoundChoice {
  int controlId;
  const char* caption;
  const char* windowsCaption;
  int32_t soundCode;
};
inline constexpr std::array<SoundChoice, 7> SoundChoices{{
    {1033, "Standard Beep", "Standard Beep", SOUND_STANDARD_BEEP},
    {1035, "Information", "System Asterisk", SOUND_ASTERISK},
    {1034, "Warning", "System Exclamation", SOUND_EXCLAMATION},
    {1036, "Error", "System Hand", SOUND_HAND},
    {1037, "Question", "System Question", SOUND_QUESTION},
    {1038, "Default Sound", "System Default", SOUND_DEFAULT},
    {1039, "No Sound", "No Sound", SOUND_NONE},
}};

// The one limit on every stored text (font face, document name, header,
// footer), in characters, not bytes: what an edit field may hold, what the
// store keeps. The texts are UTF-8 in the record.
constexpr size_t SETTINGS_TEXT_MAX = 255;

// Sane ranges of the stored numbers. Font heights are pixels, negative for a
// character height as the store has always kept them; 0 leaves the face's own
// size. A weight of 0 leaves the face's own weight. Margins are points
// (1/72 inch) from the paper's edge, as Page Setup takes them.
constexpr int32_t FONT_PIXELS_MIN = 4;
constexpr int32_t FONT_PIXELS_MAX = 400;
constexpr int32_t FONT_POINTS_MIN = 4;
constexpr int32_t FONT_POINTS_MAX = 300;
constexpr int32_t FONT_WEIGHT_MAX = 1000;
constexpr int32_t MARGIN_POINTS_MAX = 288;  // 4 inches

constexpr bool IsKnownSound(int32_t code) {
  return std::any_of(SoundChoices.begin(), SoundChoices.end(),
                     [code](const SoundChoice& choice) { return choice.soundCode == code; });
}

// An unknown code is the store's default sound.
constexpr int32_t ClampSound(int32_t code) { return IsKnownSound(code) ? code : SOUND_ASTERISK; }

// Keeps the sign; the magnitude is brought into range (INT32_MIN included).
constexpr int32_t ClampFontHeight(int32_t height) {
  if (height == 0) return 0;
  const int64_t magnitude = std::clamp<int64_t>(height < 0 ? -int64_t{height} : height, FONT_PIXELS_MIN, FONT_PIXELS_MAX);
  return static_cast<int32_t>(height < 0 ? -magnitude : magnitude);
}

constexpr int32_t ClampPointSize(int32_t points) { return std::clamp(points, FONT_POINTS_MIN, FONT_POINTS_MAX); }
constexpr int32_t ClampWeight(int32_t weight) { return std::clamp(weight, 0, FONT_WEIGHT_MAX); }
constexpr int32_t ClampMargin(int32_t margin) { return std::clamp(margin, 0, MARGIN_POINTS_MAX); }

// Characters of a UTF-8 text: every byte that does not continue a sequence.
constexpr size_t SettingsTextLength(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The first `limit` characters, never cutting one in half.
constexpr std::string_view CutSettingsText(std::string_view utf8, size_t limit = SETTINGS_TEXT_MAX) {
  size_t characters = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == limit) return utf8.substr(0, i);
  }
  return utf8;
}

// Every number into its range and every text within the limit.
inline void ClampSettings(Settings& s) {
  s.Sound = ClampSound(s.Sound);
  s.Height = ClampFontHeight(s.Height);
  s.Weight = ClampWeight(s.Weight);
  s.PointSize = ClampPointSize(s.PointSize);
  for (std::string* text : {&s.Font, &s.DocName, &s.Header, &s.Footer}) *text = std::string(CutSettingsText(*text));
  for (int32_t* margin : {&s.MarginLeft, &s.MarginRight, &s.MarginTop, &s.MarginBottom}) *margin = ClampMargin(*margin);
}
