// The printing dialogs' controls: ids, texts and places in dialog units.
// The Windows build writes its dialog templates from these tables; the ids
// are the same ones the Qt dialogs and the help use.
#pragma once

constexpr int IDC_DOC_NAME = 1062;
constexpr int IDC_HEADER_TEXT = 1059;
constexpr int IDC_FOOTER_TEXT = 1060;
constexpr int IDC_MARGIN_LEFT = 1063;
constexpr int IDC_MARGIN_RIGHT = 1064;
constexpr int IDC_MARGIN_TOP = 1065;
constexpr int IDC_MARGIN_BOTTOM = 1066;
constexpr int IDC_SETUP_HEADER = 1067;
constexpr int IDC_SETUP_FOOTER = 1068;
constexpr int IDC_MARGINS_PICTURE = 1069;
constexpr int IDC_SETUP_OK = 1070;
constexpr int IDC_DIALOG_OK = 1;
constexpr int IDC_DIALOG_CANCEL = 2;

// File > Print Preview takes this share of the owner's screen.
constexpr double PREVIEW_SCREEN_SHARE = 0.85;

enum class DialogControlKind { Label, DisabledLabel, Group, Edit, ReadOnlyEdit, Picture, DefaultButton, Button };

struct DialogControl {
  DialogControlKind kind;
  int id;  // -1 for a label or a frame
  const char* text;
  int x, y, width, height;
};

constexpr const char* HEADER_FOOTER_TITLE = "Header and Footer";
constexpr int HEADER_FOOTER_WIDTH = 379;
constexpr int HEADER_FOOTER_HEIGHT = 80;
constexpr DialogControl HeaderFooterControls[] = {
    {DialogControlKind::Label, -1, "Name", 5, 10, 35, 10},
    {DialogControlKind::Edit, IDC_DOC_NAME, "", 50, 10, 320, 12},
    {DialogControlKind::Label, -1, "Header", 5, 25, 30, 10},
    {DialogControlKind::Edit, IDC_HEADER_TEXT, "", 50, 25, 320, 12},
    {DialogControlKind::Label, -1, "Footer", 5, 40, 30, 10},
    {DialogControlKind::Edit, IDC_FOOTER_TEXT, "", 50, 40, 320, 12},
    {DialogControlKind::DefaultButton, IDC_DIALOG_OK, "OK", 264, 60, 50, 14},
    {DialogControlKind::Button, IDC_DIALOG_CANCEL, "Cancel", 320, 60, 50, 14},
};

constexpr const char* PAGE_SETUP_TITLE = "Page Setup";
constexpr int PAGE_SETUP_WIDTH = 335;
constexpr int PAGE_SETUP_HEIGHT = 161;
constexpr DialogControl PageSetupControls[] = {
    {DialogControlKind::Group, -1, "Margins (points)", 5, 5, 215, 90},
    {DialogControlKind::Label, -1, "Left:", 10, 25, 45, 10},
    {DialogControlKind::Edit, IDC_MARGIN_LEFT, "", 60, 20, 40, 12},
    {DialogControlKind::Label, -1, "Right:", 120, 25, 40, 7},
    {DialogControlKind::Edit, IDC_MARGIN_RIGHT, "", 170, 20, 40, 12},
    {DialogControlKind::Label, -1, "Top:", 10, 50, 45, 7},
    {DialogControlKind::Edit, IDC_MARGIN_TOP, "", 60, 45, 40, 12},
    {DialogControlKind::Label, -1, "Bottom:", 120, 50, 40, 7},
    {DialogControlKind::Edit, IDC_MARGIN_BOTTOM, "", 170, 45, 40, 12},
    {DialogControlKind::DisabledLabel, -1, "Header:", 10, 75, 40, 10},
    {DialogControlKind::ReadOnlyEdit, IDC_SETUP_HEADER, "", 60, 70, 40, 12},
    {DialogControlKind::DisabledLabel, -1, "Footer", 120, 75, 45, 7},
    {DialogControlKind::ReadOnlyEdit, IDC_SETUP_FOOTER, "", 170, 70, 40, 12},
    {DialogControlKind::Picture, IDC_MARGINS_PICTURE, "", 230, 10, 90, 120},
    {DialogControlKind::Label, -1, "From the paper's edges; 72 points make an inch (25.4 mm).", 10, 100, 210, 13},
    {DialogControlKind::Label, -1, "The dark grey area is the non-printable area.", 10, 117, 210, 13},
    {DialogControlKind::DefaultButton, IDC_SETUP_OK, "OK", 220, 140, 50, 14},
    {DialogControlKind::Button, IDC_DIALOG_CANCEL, "Cancel", 275, 140, 50, 14},
};
