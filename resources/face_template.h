// The main window's template: every control of the face with its id, kind,
// text and place in dialog units. The Qt window lays itself out from it and
// the Windows build writes its dialog resource from it.
#pragma once

#include <array>
#include <string_view>

#include "resources/controls.h"
#include "resources/ids.h"

enum class ControlKind {
  Key,            // a key of the matrix
  Button,         // a plain push button (paper feed, print, clear)
  DefaultButton,  // the power button
  HiddenButton,   // Cancel: reached through Esc and the close box
  Frame,          // group box
  Lamp,           // radio button switched by port 2
  Label,          // static text
  Paper,          // the paper pane
  FacePicture,
  Digit,
  Point,
  ArcPicture,
};

struct ControlTemplate {
  int id;  // -1 for the unnumbered labels and frames
  ControlKind kind;
  int x, y, width, height;  // dialog units
  const char* text;
};

constexpr int FACE_WIDTH_DU = 643;
constexpr int FACE_HEIGHT_DU = 266;

namespace face_template {

using K = ControlKind;

constexpr int KW = 15;  // key buttons are 15 x 14 unless stated otherwise
constexpr int KH = 14;

constexpr ControlTemplate FunctionKey(int n, const char* text) {
  return {IDC_KEY_A + n, K::Key, 25 + 36 * n, 135, KW, KH, text};
}

constexpr std::array<ControlTemplate, 71> FaceTemplate{{
    FunctionKey(0, "A"), FunctionKey(1, "B"), FunctionKey(2, "C"), FunctionKey(3, "D"),
    FunctionKey(4, "E"), FunctionKey(5, "F"), FunctionKey(6, "G"), FunctionKey(7, "H"),
    FunctionKey(8, "I"), FunctionKey(9, "J"), FunctionKey(10, "K"), FunctionKey(11, "L"),
    FunctionKey(12, "M"), FunctionKey(13, "N"),
    {IDC_KEY_AC_ALL, K::Key, 41, 241, 21, 14, "AC"},
    {IDC_KEY_AC_NO_GAUGE, K::Key, 75, 241, 20, 14, "AC"},
    {1014, K::Key, 150, 241, KW, KH, "1"},
    {1015, K::Key, 174, 241, KW, KH, "2"},
    {1016, K::Key, 198, 241, KW, KH, "3"},
    {1017, K::Key, 150, 217, KW, KH, "4"},
    {1018, K::Key, 174, 217, KW, KH, "5"},
    {1019, K::Key, 198, 217, KW, KH, "6"},
    {1020, K::Key, 150, 190, KW, KH, "7"},
    {1021, K::Key, 174, 190, KW, KH, "8"},
    {1022, K::Key, 198, 190, KW, KH, "9"},
    {IDC_KEY_0, K::Key, 225, 190, KW, KH, "0"},
    {IDC_KEY_POINT, K::Key, 225, 217, KW, KH, "."},
    {IDC_KEY_C, K::Key, 225, 241, KW, KH, "C"},
    {IDC_KEY_S, K::Key, 285, 215, KW, KH, "S"},
    {IDC_KEY_R, K::Key, 285, 240, KW, KH, "R"},
    {IDC_KEY_X, K::Key, 345, 190, KW, KH, "X"},
    {IDC_KEY_Y, K::Key, 345, 215, KW, KH, "Y"},
    {IDC_KEY_Z, K::Key, 345, 240, KW, KH, "Z"},
    {IDC_KEY_P_EQUALS, K::Key, 420, 240, KW, KH, "="},
    {IDC_KEY_EQUALS, K::Key, 480, 215, KW, KH, "="},
    {IDC_PAPER_FEED, K::Button, 480, 240, KW, KH, ""},
    {IDC_PRINT, K::Button, 565, 245, 30, 14, "Print"},
    {IDC_POWER, K::DefaultButton, 605, 245, 33, 14, "OFF"},
    {IDC_PAPER_CLEAR, K::Button, 628, 8, 11, 11, "X"},
    {IDC_CANCEL, K::HiddenButton, 515, 245, 50, 14, "Cancel"},
    {-1, K::Frame, 145, 180, 100, 80, ""},
    {-1, K::Frame, 255, 160, 55, 100, ""},
    {-1, K::Frame, 315, 160, 55, 100, ""},
    {-1, K::Frame, 375, 160, 70, 100, ""},
    {-1, K::Frame, 450, 160, 55, 100, ""},
    {IDC_LAMP_MODE, K::Lamp, 205, 5, 35, 10, "MODE"},
    {IDC_LAMP_GAUGE, K::Lamp, 260, 170, 45, 8, "GAUGE"},
    {IDC_LAMP_MT, K::Lamp, 320, 170, 25, 10, "M/T"},
    {IDC_LAMP_ARC_LENGTH, K::Lamp, 380, 170, 57, 10, "ARC LENGTH"},
    {IDC_LAMP_PRINT, K::Lamp, 455, 170, 45, 10, "PRINT"},
    {IDC_DISPLAY_LABEL, K::Label, 17, 161, 200, 11, ""},
    {-1, K::Frame, 10, 230, 125, 30, "................All..........No gauge..........."},
    {-1, K::Label, 275, 218, 8, 7, "S"},
    {-1, K::Label, 275, 243, 8, 7, "R"},
    {-1, K::Label, 410, 243, 8, 7, "P"},
    {-1, K::Label, 465, 243, 10, 7, "PF"},
    {-1, K::Label, 335, 193, 8, 7, "X"},
    {-1, K::Label, 335, 218, 8, 7, "Y"},
    {-1, K::Label, 335, 243, 8, 7, "Z"},
    {IDC_PAPER, K::Paper, 530, 19, 110, 220, ""},
    {IDC_FACE, K::FacePicture, 5, 20, 518, 105, ""},
    {IDC_DIGIT_1 + 0, K::Digit, 15, 182, 25, 40, ""},
    {IDC_DIGIT_1 + 1, K::Digit, 45, 182, 25, 40, ""},
    {IDC_DIGIT_1 + 2, K::Digit, 75, 182, 25, 40, ""},
    {IDC_DIGIT_1 + 3, K::Digit, 105, 182, 25, 40, ""},
    {IDC_POINT_1 + 0, K::Point, 41, 218, 3, 3, ""},
    {IDC_POINT_1 + 1, K::Point, 71, 218, 3, 3, ""},
    {IDC_POINT_1 + 2, K::Point, 101, 218, 3, 3, ""},
    {IDC_POINT_1 + 3, K::Point, 131, 218, 3, 3, ""},
    {-1, K::Frame, 10, 171, 125, 55, ""},
    {IDC_ARC, K::ArcPicture, 383, 183, 56, 52, ""},
}};

// The ids of the controls that take the keyboard focus, in reading order.
constexpr std::array<int, 40> FaceFocusOrder{
    IDC_KEY_A, IDC_KEY_A + 1, IDC_KEY_A + 2, IDC_KEY_A + 3, IDC_KEY_A + 4, IDC_KEY_A + 5, IDC_KEY_A + 6,
    IDC_KEY_A + 7, IDC_KEY_A + 8, IDC_KEY_A + 9, IDC_KEY_A + 10, IDC_KEY_A + 11, IDC_KEY_A + 12, IDC_KEY_N,
    IDC_KEY_AC_ALL, IDC_KEY_AC_NO_GAUGE,
    IDC_KEY_1 + 6, IDC_KEY_1 + 7, IDC_KEY_9, IDC_KEY_0,
    IDC_KEY_1 + 3, IDC_KEY_1 + 4, IDC_KEY_1 + 5, IDC_KEY_POINT,
    IDC_KEY_1, IDC_KEY_1 + 1, IDC_KEY_1 + 2, IDC_KEY_C,
    IDC_KEY_S, IDC_KEY_R, IDC_KEY_X, IDC_KEY_Y, IDC_KEY_Z, IDC_KEY_P_EQUALS, IDC_KEY_EQUALS, IDC_PAPER_FEED,
    IDC_PAPER_CLEAR, IDC_PAPER, IDC_PRINT, IDC_POWER,
};

// The keys' labels and the lamps' names in the controls' table are the texts
// the template shows: the page and the runner take them from that table.
constexpr bool ShowsText(int id, std::string_view text) {
  for (const ControlTemplate& control : FaceTemplate)
    if (control.id == id) return text == control.text;
  return false;
}
constexpr bool ControlsShowTheirNames() {
  for (const KeyControl& key : KeyControls)
    if (!ShowsText(key.controlId, key.label)) return false;
  for (const LampControl& lamp : LampControls)
    if (!ShowsText(lamp.controlId, lamp.name)) return false;
  return true;
}
static_assert(ControlsShowTheirNames(), "a key's label or a lamp's name differs from the window's text");

}  // namespace face_template

using face_template::FaceFocusOrder;
using face_template::FaceTemplate;
