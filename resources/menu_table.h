// The main window's menus: each item's command id, text, status-bar help and
// shortcut. The Qt window builds its menu bar from them and the Windows build
// writes its menu resource from them.
#pragma once

#include "resources/ids.h"

struct MenuItem {
  int id;  // 0 for a separator
  const char* text;  // "..." where the item opens a dialog
  const char* helpString;
  const char* shortcut;  // portable text, empty for none
};

constexpr MenuItem FileMenu[] = {
    {IDM_NEW, "&New", "Start a new calculation.", "Ctrl+N"},
    {0, nullptr, nullptr, nullptr},
    {IDM_PAGE_SETUP, "Page Set&up...", "Changes the page layout.", ""},
    {IDC_PRINT, "&Print...", "", "Ctrl+P"},
    {IDM_PRINT_PREVIEW, "Print Pre&view...", "Shows the pages as they will print.", ""},
    {IDM_SAVE_PAPER, "Save Paper &As...", "Saves the paper as a text file.", "Ctrl+S"},
    {IDM_LOG_FILE, "&Log File...", "Shows where the printed lines are logged.", ""},
    {0, nullptr, nullptr, nullptr},
    {IDM_KEEP_DEVICE, "&Keep Device Between Runs", "Carries the device and its paper over to the next start.", ""},
    {0, nullptr, nullptr, nullptr},
    {IDM_EXIT, "E&xit", "Quits the application", "Ctrl+Q"},
};
constexpr MenuItem ToolsMenu[] = {
    {IDM_FONT, "&Font...", "", ""},
    {IDM_BEEP, "&Beep...", "Configure beep", ""},
    {IDM_HEADER_FOOTER, "&Header && Footer...", "Configure header and footer", ""},
};
// F1 over a control with a topic shows that topic instead (eventFilter).
constexpr MenuItem HelpMenu[] = {
    {IDM_HELP_CONTENTS, "&Help Contents", "Show help contents", "F1"},
    {IDM_ABOUT, "&About...", "Displays program information and copyright", ""},
};
