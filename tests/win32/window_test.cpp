// tm650e.exe driven from outside through its window messages, as a user's
// clicks reach it: keys show digits, a printed line reaches the paper pane,
// and the device and the settings outlast the program.
#include "win32/gdi_surface.h"  // first, as in the window

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/settings.h"
#include "print/paper_job.h"
#include "print/qprint.h"
#include "resources/ids.h"
#include "resources/print_dialogs.h"
#include "resources/sound_choices.h"
#include "resources/zoom_choices.h"
#include "win32/gdi_surface.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD WAIT_MS = 20000;

// One run of the program, found by its process.
class Program {
 public:
  explicit Program(const fs::path& exe = TM650E_EXE) {
    std::wstring line = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
      return;
    WaitForInputIdle(process_.hProcess, WAIT_MS);
    const DWORD start = GetTickCount();
    while (!window_ && GetTickCount() - start < WAIT_MS) {
      EnumWindows(
          [](HWND hwnd, LPARAM self) {
            auto* program = reinterpret_cast<Program*>(self);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != program->process_.dwProcessId || !IsWindowVisible(hwnd)) return TRUE;
            program->window_ = hwnd;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(this));
      if (!window_) WaitForSingleObject(process_.hProcess, 50);
    }
  }
  ~Program() {
    if (window_) Quit();
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, WAIT_MS) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  HWND window() const { return window_; }
  void Click(int id) { SendMessageW(GetDlgItem(window_, id), BM_CLICK, 0, 0); }
  void Press(WPARAM key) {
    PostMessageW(window_, WM_KEYDOWN, key, 1);
    PostMessageW(window_, WM_KEYUP, key, 0xC0000001);
  }
  std::wstring Text(int id) const {
    wchar_t text[4096] = {};
    GetDlgItemTextW(window_, id, text, 4096);
    return text;
  }
  std::wstring Digits() const {
    std::wstring shown;
    for (int i = 0; i < 4; ++i) shown += Text(IDC_DIGIT_1 + i);
    return shown;
  }
  // Waits until the control shows `text` (the program updates it on its own
  // thread), re-reading whenever the program goes idle.
  bool Shows(int id, const std::wstring& text) {
    const DWORD start = GetTickCount();
    for (;;) {
      if ((id == IDC_DIGIT_1 ? Digits() : Text(id)).find(text) != std::wstring::npos) return true;
      if (GetTickCount() - start > WAIT_MS) return false;
      // A round trip through the window's queue: every message posted before it has been handled.
      SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_BLOCK, WAIT_MS, nullptr);
      WaitForSingleObject(process_.hProcess, 10);
    }
  }
  // The caption of the next dialog the program shows over its window, which
  // is then answered with `button`; empty when none came.
  std::wstring Answer(int button, HWND owner = nullptr) {
    HWND box = Dialog(owner ? owner : window_);
    if (!box) return {};
    wchar_t caption[200] = {};
    GetWindowTextW(box, caption, 200);
    SendMessageW(box, WM_COMMAND, button, 0);
    return caption;
  }
  // The next dialog shown over `owner`, or none.
  HWND Dialog(HWND owner) {
    const DWORD start = GetTickCount();
    HWND box = nullptr;
    while (!box && GetTickCount() - start < WAIT_MS) {
      box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
      while (box && (GetWindow(box, GW_OWNER) != owner || !IsWindowVisible(box)))
        box = FindWindowExW(nullptr, box, L"#32770", nullptr);
      if (!box) WaitForSingleObject(process_.hProcess, 20);
    }
    return box;
  }
  // The texts of a dialog's own controls, one after another.
  static std::wstring DialogText(HWND box) {
    std::wstring all;
    for (HWND item = GetWindow(box, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
      wchar_t text[1000] = {};
      GetWindowTextW(item, text, 1000);
      all += text + std::wstring(L"\n");
    }
    return all;
  }
  // The next visible window of `type` over the program's, or none.
  HWND Popup(const wchar_t* type) {
    const DWORD start = GetTickCount();
    do {
      for (HWND popup = FindWindowExW(nullptr, nullptr, type, nullptr); popup;
           popup = FindWindowExW(nullptr, popup, type, nullptr))
        if (GetWindow(popup, GW_OWNER) == window_ && IsWindowVisible(popup)) return popup;
    } while (WaitForSingleObject(process_.hProcess, 20) == WAIT_TIMEOUT && GetTickCount() - start < WAIT_MS);
    return nullptr;
  }
  // Waits for the program to close `popup`; false when it stays.
  bool Closes(HWND popup) {
    const DWORD start = GetTickCount();
    while (IsWindow(popup) && GetTickCount() - start < WAIT_MS) WaitForSingleObject(process_.hProcess, 20);
    return !IsWindow(popup);
  }
  SIZE Size() const {
    RECT box{};
    GetClientRect(window_, &box);
    return {box.right, box.bottom};
  }
  // The close box; true when the program ended by itself.
  bool Quit() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    window_ = nullptr;
    return WaitForSingleObject(process_.hProcess, WAIT_MS) == WAIT_OBJECT_0;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

void Type(Program& program, std::initializer_list<int> ids) {
  for (int id : ids) program.Click(id);
}

// What the program keeps between runs: the device under the local
// application data, the settings in the registry.
fs::path KeptDevice() {
  wchar_t folder[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  return fs::path(folder) / L"TM650E" / L"tm650e.state";
}

std::wstring RegistryText(const wchar_t* name) {
  wchar_t text[300] = {};
  DWORD size = sizeof text;
  RegGetValueW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E", name, RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

DWORD RegistryNumber(const wchar_t* name) {
  DWORD number = 0, size = sizeof number;
  RegGetValueW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E", name, RRF_RT_REG_DWORD, nullptr, &number, &size);
  return number;
}

// Two runs: keys show their digits, a printed result reaches the pane, and
// the second run starts with the paper of the first. The settings go back
// to the registry as they came, a text outside any code page included, and
// a wild margin comes back within its range; a margin and a footer set in
// their dialogs are kept.
TEST(Window, KeysPaperKeptDeviceAndSettings) {
  std::error_code ignored;
  fs::remove(KeptDevice(), ignored);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E");
  const std::wstring header = L"Gr\u00FC\u00DFe \u263A %p";
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E", L"Header", REG_SZ, header.c_str(),
                  static_cast<DWORD>((header.size() + 1) * sizeof(wchar_t)));
  const std::wstring footer = L"Seite &[page] \u263A";
  const DWORD wild = 99999;
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E", L"MarginLeft", REG_DWORD, &wild, sizeof wild);
  {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    wchar_t caption[64] = {};
    GetWindowTextW(program.window(), caption, 64);
    EXPECT_STREQ(caption, L"TM650E - Knitting Computer Emulator");
    program.Press('4');  // PC keys; the buttons below
    program.Press('2');
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"  42"));
    // Printing on, then the gauge of 22 stitches and 30 rows.
    Type(program, {IDC_KEY_N, IDC_KEY_A, IDC_KEY_1 + 1, IDC_KEY_1 + 1, IDC_KEY_S, IDC_KEY_1 + 2, IDC_KEY_0,
                   IDC_KEY_R, IDC_KEY_EQUALS});
    EXPECT_TRUE(program.Shows(IDC_PAPER, L"22.0 ST/10 cm\r\n 30.0 ROWS/10 cm"));
    // Wine has no printer: a notice, and the window carries on.
    PostMessageW(program.window(), WM_COMMAND, IDC_PRINT, 0);
    EXPECT_EQ(program.Answer(IDOK), L"TM650E");
    program.Press('7');
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"   7"));
    // Page Setup refuses a margin that is not a number and keeps one that is.
    PostMessageW(program.window(), WM_COMMAND, IDM_PAGE_SETUP, 0);
    HWND setup = program.Dialog(program.window());
    ASSERT_NE(setup, nullptr);
    SetDlgItemTextW(setup, IDC_MARGIN_TOP, L"1 inch");
    PostMessageW(setup, WM_COMMAND, IDC_SETUP_OK, 0);
    EXPECT_EQ(program.Answer(IDOK, setup), L"Page Setup");
    SetDlgItemTextW(setup, IDC_MARGIN_TOP, L" 36 ");
    SendMessageW(setup, WM_COMMAND, IDC_SETUP_OK, 0);
    EXPECT_FALSE(IsWindowVisible(setup)) << "OK took the margins and closed";
    PostMessageW(program.window(), WM_COMMAND, IDM_HEADER_FOOTER, 0);
    HWND texts = program.Dialog(program.window());
    ASSERT_NE(texts, nullptr);
    SetDlgItemTextW(texts, IDC_FOOTER_TEXT, footer.c_str());
    SendMessageW(texts, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.Quit());
  }
  EXPECT_TRUE(fs::exists(KeptDevice()));
  EXPECT_EQ(RegistryText(L"Header"), header);
  EXPECT_EQ(RegistryText(L"Footer"), footer);
  EXPECT_EQ(RegistryNumber(L"MarginTop"), 36u);
  EXPECT_EQ(RegistryNumber(L"MarginLeft"), 288u) << "an old store's printer units, read as points and held to four inches";
  EXPECT_EQ(RegistryNumber(L"Sound"), 64u);
  Program again;
  ASSERT_NE(again.window(), nullptr);
  EXPECT_TRUE(again.Shows(IDC_PAPER, L"30.0 ROWS/10 cm")) << "the paper was kept";
}

// What the window does beyond the keys: a key button holds its device key
// while the mouse holds it; F1 shows the focused key's topic in a popup that
// the next key closes; About, Log File, Font, Beep, Save Paper As and Print
// Preview each open and do their part; the zoom grows the face and comes
// back.
TEST(Window, HeldKeyHelpDialogsAndZoom) {
  std::error_code ignored;
  fs::remove(KeptDevice(), ignored);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Fernhill\\TM650E");
  const fs::path saved = fs::temp_directory_path() / L"tm650e paper \u263A.txt";
  fs::remove(saved, ignored);
  {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    HWND five = GetDlgItem(program.window(), IDC_KEY_1 + 4);
    SendMessageW(five, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"   5")) << "taken while the button is still down";
    SendMessageW(five, WM_LBUTTONUP, 0, 0);
    PostMessageW(program.window(), WM_KEYDOWN, VK_F1, 1);
    HWND help = program.Popup(L"TM650EHelpPopup");
    ASSERT_NE(help, nullptr);
    wchar_t topic[2000] = {};
    GetWindowTextW(help, topic, 2000);
    EXPECT_GT(wcslen(topic), 20u);
    program.Press('6');
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"  56"));
    EXPECT_FALSE(IsWindow(help)) << "a key closes the topic";

    PostMessageW(program.window(), WM_COMMAND, IDM_ABOUT, 0);
    HWND about = program.Dialog(program.window());
    ASSERT_NE(about, nullptr);
    EXPECT_NE(Program::DialogText(about).find(L"Version "), std::wstring::npos);
    EXPECT_EQ(program.Answer(IDOK), L"About TM650E");
    PostMessageW(program.window(), WM_COMMAND, IDM_LOG_FILE, 0);
    HWND log = program.Dialog(program.window());
    ASSERT_NE(log, nullptr);
    EXPECT_NE(Program::DialogText(log).find(L"tm650e.log"), std::wstring::npos);
    EXPECT_EQ(program.Answer(IDOK), L"Log File");
    PostMessageW(program.window(), WM_COMMAND, IDM_FONT, 0);
    EXPECT_EQ(program.Answer(IDCANCEL), L"Font");

    PostMessageW(program.window(), WM_COMMAND, IDM_BEEP, 0);
    HWND beep = program.Dialog(program.window());
    ASSERT_NE(beep, nullptr);
    EXPECT_EQ(IsDlgButtonChecked(beep, SoundChoices[1].controlId), BST_CHECKED) << "the kept sound";
    SendDlgItemMessageW(beep, SoundChoices[3].controlId, BM_CLICK, 0, 0);
    EXPECT_EQ(program.Answer(IDOK), L"Select Sound");

    PostMessageW(program.window(), WM_COMMAND, IDM_SAVE_PAPER, 0);
    HWND save = program.Dialog(program.window());
    ASSERT_NE(save, nullptr);
    for (int name : {0x47C, 0x480}) SetDlgItemTextW(save, name, saved.c_str());
    PostMessageW(save, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"  56"));

    PostMessageW(program.window(), WM_COMMAND, IDM_PRINT_PREVIEW, 0);
    HWND preview = program.Popup(L"TM650EPreview");
    ASSERT_NE(preview, nullptr) << "the preview needs no printer";
    wchar_t caption[100] = {};
    GetWindowTextW(preview, caption, 100);
    EXPECT_STREQ(caption, L"Print Preview - Page 1 of 1");
    PostMessageW(preview, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(program.Closes(preview));

    const SIZE actual = program.Size();
    PostMessageW(program.window(), WM_COMMAND, IDM_ZOOM_IN, 0);
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"  56"));
    EXPECT_NEAR(program.Size().cx, actual.cx * 1.25, 2);
    EXPECT_NEAR(program.Size().cy, actual.cy * 1.25, 2);
    PostMessageW(program.window(), WM_COMMAND, IDM_ZOOM_RESET, 0);
    EXPECT_TRUE(program.Shows(IDC_DIGIT_1, L"  56"));
    EXPECT_EQ(program.Size().cx, actual.cx);
    PostMessageW(program.window(), WM_COMMAND, IDM_ZOOM_FIT, 0);
    EXPECT_TRUE(program.Quit());
  }
  EXPECT_TRUE(fs::exists(saved)) << "the paper was saved where chosen";
  fs::remove(saved, ignored);
  EXPECT_EQ(RegistryNumber(L"Sound"), static_cast<DWORD>(SoundChoices[3].soundCode));
  EXPECT_EQ(RegistryText(L"Zoom"), L"fit");
}

// The paper through the print layout on GDI, a screen-compatible DC standing
// in for the printer: the lines land in order across pages, none lost.
TEST(PrintJob, ThePaperIsLaidOutOverPagesOnGdi) {
  std::string paper;
  for (int line = 1; line <= 150; ++line) paper += " LINE " + std::to_string(line) + "\r\n";
  HDC dc = CreateCompatibleDC(nullptr);
  PrintRecord record;
  qprintAttachSurface(std::make_unique<GdiSurface>(dc, false, &record));
  ASSERT_EQ(RunPrintJob(paper, Settings{}), 0);
  EXPECT_GT(record.pages, 1);
  size_t next = 1;
  for (const std::wstring& text : record.texts)
    if (text == L" LINE " + std::to_wstring(next)) ++next;
  EXPECT_EQ(next, 151u);
  DeleteDC(dc);
}

// Runs a program to its end; its exit code, or -1.
int RunToEnd(std::wstring line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, WAIT_MS * 3) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(code);
}

// The installer, silent, puts the program, its help and the Start-menu entry
// in place; the installed program opens its face; the uninstaller takes them
// all away again.
TEST(Installer, InstallsSilentlyStartsAndUninstalls) {
  wchar_t programs[MAX_PATH] = {}, menu[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", programs, MAX_PATH);
  const fs::path folder = fs::path(programs) / L"Programs" / L"TM650E test";
  ASSERT_EQ(RunToEnd(L"\"" + fs::path(TM650_SETUP).wstring() + L"\" /S /D=" + folder.wstring()), 0);
  EXPECT_TRUE(fs::exists(folder / L"tm650e.html"));
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, menu)));
  EXPECT_TRUE(fs::exists(fs::path(menu) / L"TM650E.lnk"));
  {
    Program installed(folder / L"tm650e.exe");
    EXPECT_NE(installed.window(), nullptr);
  }
  EXPECT_EQ(RunToEnd(L"\"" + (folder / L"uninstall.exe").wstring() + L"\" /S _?=" + folder.wstring()), 0);
  EXPECT_FALSE(fs::exists(folder / L"tm650e.exe"));
  EXPECT_FALSE(fs::exists(fs::path(menu) / L"TM650E.lnk"));
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
