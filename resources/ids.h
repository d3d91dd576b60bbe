// Numbers shared by the machine, the window and the help: window messages,
// control ids of the main window, command ids of its menu, dialog and string
// ids. They key the help topics and the tests, so they never change.
#pragma once

// Messages from the emulation thread to the window.
constexpr unsigned MSG_LAMPS = 0x401;         // a write to port 2
constexpr unsigned MSG_DISPLAY_BYTE = 0x402;  // one byte off the display link
constexpr unsigned MSG_BEEP = 0x403;          // the firmware called its tone routine

// Templates, images and other resources.
constexpr int IDD_MAIN = 101;
constexpr int IDB_FACE = 102;
constexpr int IDB_MARGINS = 103;
constexpr int IDR_FIRMWARE = 105;
constexpr int IDR_MENU = 106;
constexpr int IDD_SOUND = 107;
constexpr int IDD_ABOUT = 108;
constexpr int IDI_ICON = 109;
constexpr int IDB_ARC = 110;
constexpr int IDD_HEADER_FOOTER = 112;
constexpr int IDD_PAGE_SETUP = 113;

// Strings.
constexpr int IDS_ON = 20001;   // "ON"
constexpr int IDS_OFF = 20002;  // "OFF"
constexpr const char* TEXT_ON = "ON";
constexpr const char* TEXT_OFF = "OFF";

// Controls of the main window.
constexpr int IDC_POWER = 1;
constexpr int IDC_CANCEL = 2;
constexpr int IDC_KEY_A = 1000;  // function keys A..N are 1000..1013
constexpr int IDC_KEY_N = 1013;
constexpr int IDC_KEY_1 = 1014;  // digits 1..9 are 1014..1022
constexpr int IDC_KEY_9 = 1022;
constexpr int IDC_KEY_0 = 1023;
constexpr int IDC_KEY_POINT = 1024;
constexpr int IDC_KEY_C = 1025;
constexpr int IDC_KEY_S = 1026;
constexpr int IDC_KEY_R = 1027;
constexpr int IDC_KEY_X = 1028;
constexpr int IDC_KEY_Y = 1029;
constexpr int IDC_KEY_Z = 1030;
constexpr int IDC_KEY_P_EQUALS = 1031;
constexpr int IDC_KEY_EQUALS = 1032;
constexpr int IDC_LAMP_MODE = 1033;
constexpr int IDC_PAPER_FEED = 1034;
constexpr int IDC_DISPLAY_LABEL = 1035;
constexpr int IDC_LAMP_GAUGE = 1036;
constexpr int IDC_LAMP_MT = 1037;
constexpr int IDC_LAMP_ARC_LENGTH = 1038;
constexpr int IDC_LAMP_PRINT = 1039;
constexpr int IDC_KEY_AC_ALL = 1040;
constexpr int IDC_KEY_AC_NO_GAUGE = 1041;
constexpr int IDC_PAPER = 1042;
constexpr int IDC_FACE = 1043;
constexpr int IDC_DIGIT_1 = 1044;  // digits 1044..1047, left to right
constexpr int IDC_POINT_1 = 1048;  // their points 1048..1051
constexpr int IDC_PRINT = 1052;
constexpr int IDC_ARC = 1053;
constexpr int IDC_PAPER_CLEAR = 1061;

// Menu commands.
constexpr int IDM_EXIT = 40001;
constexpr int IDM_ABOUT = 40002;
constexpr int IDM_FONT = 40003;
constexpr int IDM_BEEP = 40004;
constexpr int IDM_HELP_CONTENTS = 40005;
constexpr int IDM_NEW = 40007;
constexpr int IDM_PAGE_SETUP = 40008;
constexpr int IDM_HEADER_FOOTER = 40009;
constexpr int IDM_SAVE_PAPER = 40010;
constexpr int IDM_PRINT_PREVIEW = 40011;
constexpr int IDM_KEEP_DEVICE = 40012;
constexpr int IDM_LOG_FILE = 40013;
// View > Zoom: the choices, then the steps.
constexpr int IDM_ZOOM_100 = 40020;
constexpr int IDM_ZOOM_125 = 40021;
constexpr int IDM_ZOOM_150 = 40022;
constexpr int IDM_ZOOM_200 = 40023;
constexpr int IDM_ZOOM_FIT = 40024;
constexpr int IDM_ZOOM_IN = 40025;
constexpr int IDM_ZOOM_OUT = 40026;
constexpr int IDM_ZOOM_RESET = 40027;
