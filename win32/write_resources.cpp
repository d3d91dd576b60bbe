// Writes the Windows window's resource script from the tables the Qt window
// is built from: the face's dialog template, the menu, the printing
// dialogs, the strings and the pictures. Run at build time:
// write_resources <output.rc> <resources folder>.
#include <cstdio>
#include <string>

#include "resources/controls.h"
#include "resources/face_template.h"
#include "resources/ids.h"
#include "resources/menu_table.h"
#include "resources/print_dialogs.h"
#include "resources/sound_choices.h"
#include "resources/zoom_choices.h"

namespace {

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) out += *c == '"' ? std::string("\"\"") : std::string(1, *c);
  return out + "\"";
}

// Each kind of control as a dialog template line (class and styles).
void WriteControl(std::FILE* rc, const ControlTemplate& c) {
  const char* cls = "BUTTON";
  std::string style = "WS_CHILD | WS_VISIBLE";
  switch (c.kind) {
    case ControlKind::Key: style += " | BS_PUSHBUTTON | WS_TABSTOP"; break;
    case ControlKind::Button: style += " | BS_PUSHBUTTON | WS_TABSTOP"; break;
    case ControlKind::DefaultButton: style += " | BS_DEFPUSHBUTTON | WS_TABSTOP"; break;
    case ControlKind::HiddenButton: style = "WS_CHILD | BS_PUSHBUTTON"; break;
    case ControlKind::Frame: style += " | BS_GROUPBOX"; break;
    case ControlKind::Lamp: style += " | BS_RADIOBUTTON"; break;
    case ControlKind::Label: cls = "STATIC"; style += " | SS_LEFT"; break;
    case ControlKind::Paper:
      cls = "EDIT";
      style += " | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP";
      break;
    case ControlKind::FacePicture: cls = "STATIC"; style += " | SS_BITMAP"; break;
    case ControlKind::ArcPicture: cls = "STATIC"; style += " | SS_BITMAP"; break;
    case ControlKind::Digit: cls = "STATIC"; style += " | SS_OWNERDRAW"; break;
    case ControlKind::Point: cls = "STATIC"; style += " | SS_BLACKRECT"; break;
  }
  const char* text = c.kind == ControlKind::FacePicture ? "#102" : c.kind == ControlKind::ArcPicture ? "#110" : c.text;
  std::fprintf(rc, "  CONTROL %s, %d, %s, %s, %d, %d, %d, %d\n", Quoted(text).c_str(), c.id, Quoted(cls).c_str(),
               style.c_str(), c.x, c.y, c.width, c.height);
}

template <size_t N>
void WriteMenu(std::FILE* rc, const char* title, const MenuItem (&items)[N]) {
  std::fprintf(rc, "  POPUP %s\n  BEGIN\n", Quoted(title).c_str());
  for (const MenuItem& item : items) {
    if (item.id == 0) {
      std::fprintf(rc, "    MENUITEM SEPARATOR\n");
      continue;
    }
    std::string text = item.text;
    if (*item.shortcut) text += std::string("\\t") + item.shortcut;
    std::fprintf(rc, "    MENUITEM %s, %d\n", Quoted(text.c_str()).c_str(), item.id);
  }
  std::fprintf(rc, "  END\n");
}

// View > Zoom: the choices, Fit to Screen after a line, then the steps.
void WriteZoomMenu(std::FILE* rc) {
  std::fprintf(rc, "  POPUP \"&View\"\n  BEGIN\n    POPUP \"&Zoom\"\n    BEGIN\n");
  for (const ZoomItem& item : ZoomItems) {
    if (item.choice == ZOOM_FIT) std::fprintf(rc, "      MENUITEM SEPARATOR\n");
    std::fprintf(rc, "      MENUITEM %s, %d\n", Quoted(item.text).c_str(), item.id);
  }
  std::fprintf(rc, "      MENUITEM SEPARATOR\n");
  for (const ZoomStep& step : ZoomSteps)
    std::fprintf(rc, "      MENUITEM %s, %d\n", Quoted((std::string(step.text) + "\\t" + step.shortcut).c_str()).c_str(),
                 step.id);
  std::fprintf(rc, "    END\n  END\n");
}

// "Ctrl+N" -> "N", id, VIRTKEY, CONTROL; "F1" -> VK_F1, id, VIRTKEY; the
// keys that are no letter or digit by their key codes.
void WriteShortcut(std::FILE* rc, const std::string& shortcut, int id) {
  if (shortcut.rfind("Ctrl+", 0) != 0) {
    std::fprintf(rc, "  VK_%s, %d, VIRTKEY\n", shortcut.c_str(), id);
    return;
  }
  const std::string key = shortcut.substr(5);
  const char* code = key == "=" || key == "+" ? "VK_OEM_PLUS" : key == "-" ? "VK_OEM_MINUS" : nullptr;
  if (code) std::fprintf(rc, "  %s, %d, VIRTKEY, CONTROL\n", code, id);
  else std::fprintf(rc, "  \"%s\", %d, VIRTKEY, CONTROL\n", key.c_str(), id);
}

template <size_t N>
void WriteShortcuts(std::FILE* rc, const MenuItem (&items)[N]) {
  for (const MenuItem& item : items)
    if (item.id != 0 && *item.shortcut) WriteShortcut(rc, item.shortcut, item.id);
}

// Dialog 107: the choices in a group, one under another, OK, Cancel and Play
// beside them.
void WriteSoundDialog(std::FILE* rc) {
  const int rows = static_cast<int>(SoundChoices.size());
  std::fprintf(rc, "%d DIALOGEX 0, 0, 190, %d\n", IDD_SOUND, 24 + rows * 14);
  std::fprintf(rc, "STYLE DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU\n");
  std::fprintf(rc, "CAPTION %s\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n", Quoted(SOUND_DIALOG_TITLE).c_str());
  std::fprintf(rc, "  GROUPBOX %s, -1, 7, 7, 120, %d\n", Quoted(SOUND_GROUP_TITLE).c_str(), 12 + rows * 14);
  for (int i = 0; i < rows; ++i)
    std::fprintf(rc, "  CONTROL %s, %d, \"BUTTON\", BS_AUTORADIOBUTTON | WS_TABSTOP%s, 14, %d, 108, 12\n",
                 Quoted(SoundChoices[i].windowsCaption).c_str(), SoundChoices[i].controlId, i == 0 ? " | WS_GROUP" : "",
                 18 + i * 14);
  std::fprintf(rc, "  DEFPUSHBUTTON \"OK\", IDOK, 134, 7, 50, 14, WS_GROUP\n");
  std::fprintf(rc, "  PUSHBUTTON \"Cancel\", IDCANCEL, 134, 25, 50, 14\n");
  std::fprintf(rc, "  PUSHBUTTON \"&Play\", %d, 134, 43, 50, 14\nEND\n\n", IDC_SOUND_PLAY);
}

// A printing dialog: its controls as the shared table places them.
template <size_t N>
void WriteDialog(std::FILE* rc, int id, const char* title, int width, int height, const DialogControl (&controls)[N]) {
  std::fprintf(rc, "%d DIALOGEX 0, 0, %d, %d\n", id, width, height);
  std::fprintf(rc, "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n");
  std::fprintf(rc, "CAPTION %s\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n", Quoted(title).c_str());
  for (const DialogControl& c : controls) {
    const char* cls = "STATIC";
    std::string style = "WS_CHILD | WS_VISIBLE";
    std::string text = c.text;
    switch (c.kind) {
      case DialogControlKind::Label: style += " | SS_LEFT"; break;
      case DialogControlKind::DisabledLabel: style += " | SS_LEFT | WS_DISABLED"; break;
      case DialogControlKind::Group: cls = "BUTTON"; style += " | BS_GROUPBOX"; break;
      case DialogControlKind::Edit: cls = "EDIT"; style += " | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP"; break;
      case DialogControlKind::ReadOnlyEdit: cls = "EDIT"; style += " | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER"; break;
      case DialogControlKind::Picture:
        style += " | SS_BITMAP | SS_REALSIZECONTROL";
        text = "#" + std::to_string(IDB_MARGINS);
        break;
      case DialogControlKind::DefaultButton: cls = "BUTTON"; style += " | BS_DEFPUSHBUTTON | WS_TABSTOP"; break;
      case DialogControlKind::Button: cls = "BUTTON"; style += " | BS_PUSHBUTTON | WS_TABSTOP"; break;
    }
    std::fprintf(rc, "  CONTROL %s, %d, %s, %s, %d, %d, %d, %d\n", Quoted(text.c_str()).c_str(), c.id,
                 Quoted(cls).c_str(), style.c_str(), c.x, c.y, c.width, c.height);
  }
  std::fprintf(rc, "END\n\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::FILE* rc = std::fopen(argv[1], "wb");
  if (!rc) return 1;
  const std::string pictures = argv[2];
  std::fprintf(rc, "#include <windows.h>\n\n");
  std::fprintf(rc, "%d BITMAP \"%s/tm650.bmp\"\n", IDB_FACE, pictures.c_str());
  std::fprintf(rc, "%d BITMAP \"%s/margins.bmp\"\n", IDB_MARGINS, pictures.c_str());
  std::fprintf(rc, "%d BITMAP \"%s/arc.bmp\"\n\n", IDB_ARC, pictures.c_str());
  std::fprintf(rc, "%d DIALOGEX 0, 0, %d, %d\n", IDD_MAIN, FACE_WIDTH_DU, FACE_HEIGHT_DU);
  std::fprintf(rc, "STYLE DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX\n");
  std::fprintf(rc, "CAPTION \"TM650E - Knitting Computer Emulator\"\n");
  std::fprintf(rc, "MENU %d\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n", IDR_MENU);
  for (const ControlTemplate& c : FaceTemplate) WriteControl(rc, c);
  std::fprintf(rc, "END\n\n%d MENU\nBEGIN\n", IDR_MENU);
  WriteMenu(rc, "&File", FileMenu);
  WriteZoomMenu(rc);
  WriteMenu(rc, "&Tools", ToolsMenu);
  WriteMenu(rc, "&Help", HelpMenu);
  std::fprintf(rc, "END\n\n");
  WriteSoundDialog(rc);
  WriteDialog(rc, IDD_HEADER_FOOTER, HEADER_FOOTER_TITLE, HEADER_FOOTER_WIDTH, HEADER_FOOTER_HEIGHT,
              HeaderFooterControls);
  WriteDialog(rc, IDD_PAGE_SETUP, PAGE_SETUP_TITLE, PAGE_SETUP_WIDTH, PAGE_SETUP_HEIGHT, PageSetupControls);
  std::fprintf(rc, "%d ACCELERATORS\nBEGIN\n", IDR_MENU);
  WriteShortcuts(rc, FileMenu);
  WriteShortcuts(rc, ToolsMenu);
  WriteShortcuts(rc, HelpMenu);
  for (const ZoomStep& step : ZoomSteps) WriteShortcut(rc, step.shortcut, step.id);  // "+" is the "=" key
  std::fprintf(rc, "END\n\nSTRINGTABLE\nBEGIN\n  %d, %s\n  %d, %s\nEND\n", IDS_ON, Quoted(TEXT_ON).c_str(), IDS_OFF,
               Quoted(TEXT_OFF).c_str());
  return std::fclose(rc) == 0 ? 0 : 1;
}
