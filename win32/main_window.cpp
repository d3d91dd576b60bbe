// tm650e.exe: the device's face in a Windows dialog over the machine. Keys,
// power, New and the paper buttons go in as commands; the events the machine
// publishes are drained on the window's thread and drawn. Nothing here knows
// what the device means.
#include "win32/gdi_surface.h"  // first: it keeps the layout's names free of the A/W macros

#include <windows.h>
#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/keeping.h"
#include "emulator/machine.h"
#include "peripherals/digit_shape.h"
#include "resources/controls.h"
#include "resources/ids.h"
#include "resources/pc_keys.h"
#include "resources/print_dialogs.h"
#include "resources/sound_choices.h"
#include "resources/zoom_choices.h"
#include "print/page_margins.h"
#include "print/paper_job.h"
#include "print/qprint.h"
#include "win32/face_zoom.h"
#include "win32/help_book.h"
#include "win32/print_preview.h"
#include "win32/registry_settings.h"
#include "win32/utf8.h"

namespace {

constexpr UINT MSG_EVENTS = WM_APP + 1;  // the machine has events waiting
constexpr COLORREF LIT = RGB(100, 100, 100);

namespace fs = std::filesystem;

constexpr const wchar_t* KEEP_DEVICE = L"KeepDevice";
constexpr const wchar_t* PLACE = L"WindowPosition";  // two 32-bit numbers: left, top

struct Face {
  Machine machine;
  std::unique_ptr<DeviceKeeping> keeping;  // goes before the machine
  Settings settings;
  std::wstring notice;
  HWND dialog = nullptr;
  DeviceView view;
  std::vector<Event> events;
  std::set<uint8_t> held;  // device keys held down from the mouse, the space bar or a PC key
  HFONT paperFont = nullptr;
  HWND helpPopup = nullptr;
  FacePlan face;
  int zoomChoice = 100;
  double zoom = 1;
  std::string logPath, logError;
};

Face* shell = nullptr;  // the one window of the process

// The paper's 8-bit characters, one to one.
std::wstring Widen(const std::string& bytes) {
  std::wstring out;
  for (unsigned char c : bytes) out += static_cast<wchar_t>(c);
  return out;
}

void Send(CommandKind kind, uint8_t key = 0) { MachineSend(shell->machine, {kind, key}); }

// A device key is held once: a second press of it (the mouse and a PC key,
// or two PC keys for one device key) sends nothing until it is let go.
void KeyChanged(uint8_t key, bool down) {
  if (down ? !shell->held.insert(key).second : shell->held.erase(key) == 0) return;
  Send(down ? CommandKind::KeyDown : CommandKind::KeyUp, key);
}

// A key let go while another window has the mouse or keyboard never reports
// its release here: the device's key would stay held.
void ReleaseHeldKeys() {
  for (uint8_t key : std::set<uint8_t>(shell->held)) KeyChanged(key, false);
  for (const KeyControl& key : KeyControls) SendDlgItemMessageW(shell->dialog, key.controlId, BM_SETSTATE, FALSE, 0);
}

WNDPROC buttonProc = nullptr;  // the button class's own

// A key button holds its device key from the press to the release, of the
// mouse (a double click's second press too) or of the space bar; losing the
// mouse or the keyboard on the way lets it go.
LRESULT CALLBACK KeyButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (const KeyControl* key = FindKeyControl(GetDlgCtrlID(button))) {
    const bool space = wParam == VK_SPACE;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
        (message == WM_KEYDOWN && space && !(lParam & (1 << 30))))
      KeyChanged(key->key, true);
    if (message == WM_LBUTTONUP || message == WM_CAPTURECHANGED || message == WM_KILLFOCUS ||
        (message == WM_KEYUP && space))
      KeyChanged(key->key, false);
  }
  return CallWindowProcW(buttonProc, button, message, wParam, lParam);
}

void HoldKeysWhilePressed(HWND dialog) {
  for (const KeyControl& key : KeyControls)
    if (HWND button = GetDlgItem(dialog, key.controlId))
      buttonProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyButtonProc)));
}

fs::path KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  fs::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// In the Documents folder, earlier sessions' logs kept.
SessionLog OpenLog(const fs::path& executable) {
  const fs::path documents = KnownFolder(FOLDERID_Documents);
  if (documents.empty()) return SessionLog{nullptr, {}, "there is no Documents folder for the log"};
  const std::u8string name = executable.filename().u8string();
  return OpenSessionLog(documents, LogFileNameFor(std::string(name.begin(), name.end())));
}

// Under the local application data, so it stays on this computer.
fs::path StatePath() {
  const fs::path data = KnownFolder(FOLDERID_LocalAppData);
  if (data.empty()) return {};
  std::error_code ignored;
  fs::create_directories(data / L"TM650E", ignored);
  return data / L"TM650E" / L"tm650e.state";
}

void TellNotKept(const std::string& message) {
  if (!message.empty()) MessageBoxW(nullptr, FromUtf8(message).c_str(), L"TM650E", MB_ICONWARNING);
}

// Moves a window's top-left corner to `wanted`, kept inside the work area of
// the screen it lands on (or the primary one), the corner first when the
// window is the larger.
void MoveOnScreen(HWND window, POINT wanted) {
  RECT frame{};
  GetWindowRect(window, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(wanted, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
  const LONG x = std::max(work.left, std::min(wanted.x, work.right - width));
  const LONG y = std::max(work.top, std::min(wanted.y, work.bottom - height));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where the window was.
void RestorePlace(HWND window) {
  POINT wanted{};
  DWORD size = sizeof wanted;
  if (RegGetValueW(HKEY_CURRENT_USER, REGISTRY_KEY, PLACE, RRF_RT_REG_BINARY, nullptr, &wanted, &size) !=
          ERROR_SUCCESS ||
      size != sizeof wanted)
    return;
  MoveOnScreen(window, wanted);
}

void KeepPlace(HWND window) {
  RECT frame{};
  if (IsIconic(window) || !GetWindowRect(window, &frame)) return;
  const POINT place{frame.left, frame.top};
  RegSetKeyValueW(HKEY_CURRENT_USER, REGISTRY_KEY, PLACE, REG_BINARY, &place, sizeof place);
}

// The pane in the chosen face, as the paper prints.
void ApplyPaperFont() {
  const std::wstring face = FromUtf8(shell->settings.Font.empty() ? DEFAULT_FONT_FACE : shell->settings.Font);
  const int height = static_cast<int>(std::lround(shell->settings.Height * shell->zoom * GetDpiForWindow(shell->dialog) /
                                                   USER_DEFAULT_SCREEN_DPI));
  HFONT font = CreateFontW(height, 0, 0, 0, shell->settings.Weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, face.substr(0, LF_FACESIZE - 1).c_str());
  if (!font) return;
  SendDlgItemMessageW(shell->dialog, IDC_PAPER, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (shell->paperFont) DeleteObject(shell->paperFont);
  shell->paperFont = font;
}

void ShowDigits() {
  for (int i = 0; i < 4; ++i) {
    HWND digit = GetDlgItem(shell->dialog, IDC_DIGIT_1 + i);
    const wchar_t name[2] = {static_cast<wchar_t>(DigitCharacter(shell->view.digits.digit[i])), 0};
    SetWindowTextW(digit, name);  // also what a screen reader says
    InvalidateRect(digit, nullptr, TRUE);
    ShowWindow(GetDlgItem(shell->dialog, IDC_POINT_1 + i), shell->view.digits.point[i] ? SW_SHOW : SW_HIDE);
  }
}

void ShowLamps() {
  for (const LampControl& lamp : LampControls)
    CheckDlgButton(shell->dialog, lamp.controlId, (shell->view.lamps & lamp.mask) ? BST_CHECKED : BST_UNCHECKED);
}

void ShowPower() {
  wchar_t caption[16];
  LoadStringW(GetModuleHandleW(nullptr), shell->view.on ? IDS_OFF : IDS_ON, caption, 16);
  SetDlgItemTextW(shell->dialog, IDC_POWER, caption);
}

void ShowPaper() {
  HWND paper = GetDlgItem(shell->dialog, IDC_PAPER);
  SetWindowTextW(paper, Widen(shell->view.paper).c_str());
  SendMessageW(paper, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageW(paper, EM_SCROLLCARET, 0, 0);
}

// The face lays itself out at a new density: Windows' own rescaling of a
// dialog (absent under Wine) would fight it.
void KeepDialogScaling(HWND dialog) {
  using Behaviour = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
  const auto set = reinterpret_cast<Behaviour>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
  if (set) set(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

// View > Zoom. The scale is the zoom at the screen's dots per inch.
double Scale() { return shell->zoom * GetDpiForWindow(shell->dialog) / USER_DEFAULT_SCREEN_DPI; }

RECT WorkArea() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(shell->dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
  return monitor.rcWork;
}

// The largest zoom at which the window fits its screen's work area: the face
// grows with the zoom, the frame and menu bar do not.
double LargestFittingZoom() {
  const UINT dpi = GetDpiForWindow(shell->dialog);
  const SIZE frame = FrameAllowance(shell->dialog, dpi);
  const RECT room = WorkArea();
  return FittingZoom(MulDiv(shell->face.client.cx, dpi, USER_DEFAULT_SCREEN_DPI),
                     MulDiv(shell->face.client.cy, dpi, USER_DEFAULT_SCREEN_DPI), frame.cx, frame.cy,
                     room.right - room.left, room.bottom - room.top);
}

// A choice too large for the screen is not offered.
void OfferFittingZooms() {
  const double largest = LargestFittingZoom() + 0.005;
  HMENU menu = GetMenu(shell->dialog);
  for (const ZoomItem& item : ZoomItems) {
    const bool fits = ZoomFits(item.choice, largest) || item.choice == shell->zoomChoice;
    EnableMenuItem(menu, item.id, MF_BYCOMMAND | (fits ? MF_ENABLED : MF_GRAYED));
  }
}

void ApplyZoom(int choice) {
  shell->zoomChoice = choice;
  shell->zoom = choice == ZOOM_FIT ? LargestFittingZoom() : choice / 100.0;
  LayOutFace(shell->dialog, shell->face, Scale());
  ApplyPaperFont();
  for (const ZoomItem& item : ZoomItems)
    if (item.choice == choice)
      CheckMenuRadioItem(GetMenu(shell->dialog), ZoomItems.front().id, ZoomItems.back().id, item.id, MF_BYCOMMAND);
  OfferFittingZooms();
}

bool FitsScreen() {
  RECT frame{};
  GetWindowRect(shell->dialog, &frame);
  const RECT room = WorkArea();
  return frame.right - frame.left <= room.right - room.left && frame.bottom - frame.top <= room.bottom - room.top;
}

void KeepOnScreen() {
  RECT frame{};
  GetWindowRect(shell->dialog, &frame);
  MoveOnScreen(shell->dialog, {frame.left, frame.top});
}

std::optional<int> KeptZoom() {
  wchar_t text[16] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, REGISTRY_KEY, FromUtf8(ZOOM_KEY).c_str(), RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return ZoomChoiceFromText(ToUtf8(text));
}

void ChooseZoom(int choice) {
  if (!ZoomFits(choice, LargestFittingZoom() + 0.005)) return;
  ApplyZoom(choice);
  const std::wstring text = FromUtf8(ZoomChoiceText(choice));
  RegSetKeyValueW(HKEY_CURRENT_USER, REGISTRY_KEY, FromUtf8(ZOOM_KEY).c_str(), REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  KeepOnScreen();
}

// To the next choice up or down that fits.
void StepZoom(int direction) {
  if (const std::optional<int> next = SteppedZoom(shell->zoom, direction, LargestFittingZoom() + 0.005))
    ChooseZoom(*next);
}

// The kept zoom (100 % at first start) where the window fits its screen,
// else the fit; the kept choice stays for a larger screen.
void ApplyStartZoom() {
  ApplyZoom(KeptZoom().value_or(100));
  if (!FitsScreen()) ApplyZoom(ZOOM_FIT);
}

// Moved to a screen of another density: the same zoom, laid out afresh in
// its pixels, where the system suggests.
void DpiChanged(const RECT& suggested) {
  if (shell->zoomChoice == ZOOM_FIT) shell->zoom = LargestFittingZoom();
  LayOutFace(shell->dialog, shell->face, Scale());
  ApplyPaperFont();
  SetWindowPos(shell->dialog, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  OfferFittingZooms();
}

bool ZoomCommand(int id) {
  if (const ZoomItem* item = FindZoomItem(id)) {
    ChooseZoom(item->choice);
    return true;
  }
  for (const ZoomStep& step : ZoomSteps) {
    if (step.id != id) continue;
    if (step.direction) StepZoom(step.direction);
    else ChooseZoom(100);
    return true;
  }
  return false;
}

// File > Save Paper As: the paper's bytes as the log holds them, offered in
// Documents under a name with today's date.
void SavePaper() {
  SYSTEMTIME today{};
  GetLocalTime(&today);
  wchar_t name[MAX_PATH] = {};
  swprintf(name, MAX_PATH, L"tm650e-paper-%04u-%02u-%02u.txt", today.wYear, today.wMonth, today.wDay);
  const std::wstring folder = KnownFolder(FOLDERID_Documents).wstring();
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = shell->dialog;
  dialog.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files\0*.*\0";
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrDefExt = L"txt";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return;
  FILE* file = _wfopen(name, L"wb");
  const std::string& paper = shell->view.paper;
  const bool written = file && std::fwrite(paper.data(), 1, paper.size(), file) == paper.size();
  if ((file && std::fclose(file) != 0) || !written)
    MessageBoxW(shell->dialog, (L"The paper could not be saved as\n" + std::wstring(name)).c_str(), L"TM650E",
                MB_ICONWARNING);
}

// The device's beep as the chosen system sound.
void SoundBeep(int32_t code) {
  if (code != SOUND_NONE) MessageBeep(static_cast<UINT>(code));
}

void DrainEvents() {
  shell->events.clear();
  MachineDrain(shell->machine, shell->events);
  bool digits = false, lamps = false, paper = false, power = false;
  for (const Event& event : shell->events) {
    ApplyEvent(shell->view, event);
    switch (event.kind) {
      case EventKind::Display: digits = true; break;
      case EventKind::Lamps: lamps = true; break;
      case EventKind::Paper:
      case EventKind::PaperCleared: paper = true; break;
      case EventKind::Power: power = true; break;
      case EventKind::Beep: SoundBeep(shell->settings.Sound); break;
      case EventKind::LogFailed:
        shell->logError = event.text;
        [[fallthrough]];
      case EventKind::StateFailed: SetDlgItemTextW(shell->dialog, IDC_DISPLAY_LABEL, FromUtf8(event.text).c_str()); break;
      default: break;
    }
  }
  if (digits) ShowDigits();
  if (lamps) ShowLamps();
  if (paper) ShowPaper();
  if (power) ShowPower();
}

// The digit's seven segments, lit ones in dark grey on the face, as the
// Qt window paints them; in device pixels, so they stay sharp at any scale.
void PaintDigit(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const int index = static_cast<int>(item.CtlID) - IDC_DIGIT_1;
  if (index < 0 || index >= 4) return;
  const uint8_t lit = LitSegments(shell->view.digits.digit[index]);
  HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(item.hDC, GetStockObject(DC_BRUSH));
  SetDCBrushColor(item.hDC, LIT);
  const int width = item.rcItem.right - item.rcItem.left, height = item.rcItem.bottom - item.rcItem.top;
  for (const SegmentShape& shape : DigitShapes(width, height)) {
    if (!(lit & shape.segment)) continue;
    POINT corners[6];
    for (int i = 0; i < shape.count; ++i)
      corners[i] = {item.rcItem.left + shape.corners[i].x, item.rcItem.top + shape.corners[i].y};
    Polygon(item.hDC, corners, shape.count);
  }
  SelectObject(item.hDC, oldBrush);
  SelectObject(item.hDC, oldPen);
}

fs::path ProgramFolder() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  return fs::path(module).parent_path();
}

fs::path HelpBook() { return ProgramFolder() / L"tm650e.html"; }

void ShowHelpContents() {
  const fs::path book = HelpBook();
  const auto opened = reinterpret_cast<INT_PTR>(
      ShellExecuteW(shell->dialog, L"open", book.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (opened <= 32)
    MessageBoxW(shell->dialog, (L"The help book cannot be opened:\n" + book.wstring()).c_str(), L"TM650E",
                MB_ICONWARNING);
}

constexpr const wchar_t* HELP_POPUP_CLASS = L"TM650EHelpPopup";
constexpr int HELP_POPUP_WIDTH = 360, HELP_POPUP_MARGIN = 10;  // pixels at 100 %

void CloseHelpPopup() {
  if (shell->helpPopup) DestroyWindow(shell->helpPopup);
}

HFONT DialogFont() { return reinterpret_cast<HFONT>(SendMessageW(shell->dialog, WM_GETFONT, 0, 0)); }

int Scaled(int pixels, HWND window) { return MulDiv(pixels, GetDpiForWindow(window), USER_DEFAULT_SCREEN_DPI); }

LRESULT CALLBACK HelpPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(popup, &paint);
      RECT box{};
      GetClientRect(popup, &box);
      FillRect(dc, &box, GetSysColorBrush(COLOR_INFOBK));
      const int margin = Scaled(HELP_POPUP_MARGIN, popup);
      InflateRect(&box, -margin, -margin);
      HGDIOBJ old = SelectObject(dc, DialogFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      std::wstring text(GetWindowTextLengthW(popup) + 1, L'\0');
      text.resize(GetWindowTextW(popup, text.data(), static_cast<int>(text.size())));
      DrawTextW(dc, text.c_str(), -1, &box, DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(popup, &paint);
      return 0;
    }
    case WM_NCDESTROY: shell->helpPopup = nullptr; break;
    default: break;
  }
  return DefWindowProcW(popup, message, wParam, lParam);
}

// A control's topic in a small popup at `at` (screen pixels), tooltip-like:
// it takes no focus and goes at the next key or click.
void ShowHelpPopup(const std::wstring& topic, POINT at) {
  CloseHelpPopup();
  static const ATOM registered = [] {
    WNDCLASSW type{};
    type.style = CS_DROPSHADOW | CS_SAVEBITS;
    type.lpfnWndProc = HelpPopupProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = HELP_POPUP_CLASS;
    return RegisterClassW(&type);
  }();
  constexpr DWORD style = WS_POPUP | WS_BORDER, extended = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  HWND popup = registered ? CreateWindowExW(extended, HELP_POPUP_CLASS, topic.c_str(), style, at.x, at.y, 1, 1,
                                            shell->dialog, nullptr, GetModuleHandleW(nullptr), nullptr)
                          : nullptr;
  if (!popup) return;
  shell->helpPopup = popup;
  const int margin = Scaled(HELP_POPUP_MARGIN, popup);
  RECT box{0, 0, Scaled(HELP_POPUP_WIDTH, popup) - 2 * margin, 0};
  HDC dc = GetDC(popup);
  HGDIOBJ old = SelectObject(dc, DialogFont());
  DrawTextW(dc, topic.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(popup, dc);
  box.right += 2 * margin;
  box.bottom += 2 * margin;
  AdjustWindowRectExForDpi(&box, style, FALSE, extended, GetDpiForWindow(popup));
  SetWindowPos(popup, nullptr, 0, 0, box.right - box.left, box.bottom - box.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  MoveOnScreen(popup, at);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
}

// Any key or click closes the popup, and still does what it does.
void CloseHelpPopupOnInput(const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_MOUSEWHEEL: CloseHelpPopup(); break;
    default: break;
  }
}

// The control's own topic by it, or the contents when it has none.
void ShowHelpFor(int controlId, POINT at) {
  const std::wstring topic = HelpTopic(HelpBook(), controlId);
  if (topic.empty()) return ShowHelpContents();
  ShowHelpPopup(topic, at);
}

// F1: the topic of the control that has the focus, just below it.
void ShowHelpForFocus() {
  HWND focus = GetFocus();
  RECT box{};
  if (!focus || GetParent(focus) != shell->dialog || !GetWindowRect(focus, &box)) return ShowHelpContents();
  ShowHelpFor(GetDlgCtrlID(focus), {box.left, box.bottom});
}

// File > Log File: where the printed lines go, or why they do not.
void ShowLogFile() {
  MessageBoxW(shell->dialog, FromUtf8(LogFileNotice(shell->logPath, shell->logError)).c_str(), L"Log File",
              MB_ICONINFORMATION);
}

// The version resource's own words.
void ShowAbout() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(module, nullptr));
  std::wstring text;
  if (!block.empty() && GetFileVersionInfoW(module, 0, static_cast<DWORD>(block.size()), block.data())) {
    for (const wchar_t* name : {L"ProductName", L"FileDescription", L"ProductVersion", L"LegalCopyright",
                                L"LegalTrademarks"}) {
      wchar_t* value = nullptr;
      UINT length = 0;
      const std::wstring query = std::wstring(L"\\StringFileInfo\\080904B0\\") + name;
      if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && length)
        text += std::wstring(name == std::wstring(L"ProductVersion") ? L"Version " : L"") + value + L"\n";
    }
  }
  MessageBoxW(shell->dialog, text.c_str(), L"About TM650E", MB_ICONINFORMATION);
}

// The Windows key codes of a PC key's name in the shared table.
bool PcKeyIs(const char* name, WPARAM vk) {
  const std::string key = name;
  if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0]))) return vk == static_cast<WPARAM>(key[0]);
  if (key == ".") return vk == VK_OEM_PERIOD || vk == VK_DECIMAL;
  if (key == ",") return vk == VK_OEM_COMMA;
  if (key == "=") return vk == VK_OEM_PLUS;
  if (key == "Enter") return vk == VK_RETURN;
  if (key == "Backspace") return vk == VK_BACK;
  if (key == "Delete") return vk == VK_DELETE;
  if (key == "Insert") return vk == VK_INSERT;
  if (key == "Page Down") return vk == VK_NEXT;
  return false;
}

// A PC key that works a device key holds it down for as long as it is held.
bool PcKeyMessage(const MSG& message) {
  if ((message.message != WM_KEYDOWN && message.message != WM_KEYUP) || GetKeyState(VK_CONTROL) < 0 ||
      GetKeyState(VK_MENU) < 0 || (message.hwnd != shell->dialog && !IsChild(shell->dialog, message.hwnd)))
    return false;
  for (const PcKey& pc : PcKeys) {
    if (!PcKeyIs(pc.name, message.wParam)) continue;
    const bool down = message.message == WM_KEYDOWN;
    if (down && (message.lParam & (1 << 30))) return true;  // the key's own repeat
    if (pc.controlId == IDC_PAPER_FEED) {  // a button, not a key of the device
      if (down) Send(CommandKind::PaperFeed);
      return true;
    }
    const KeyControl* key = FindKeyControl(pc.controlId);
    if (!key) return false;
    KeyChanged(key->key, down);
    SendDlgItemMessageW(shell->dialog, pc.controlId, BM_SETSTATE, down, 0);
    return true;
  }
  return false;
}

constexpr const wchar_t* NO_PRINTER = L"No printer is installed. Install one, then print again.";

// The print dialog, then the paper through the print layout on the chosen
// printer. No printer at all (as under Wine) is a notice: the dialog would
// have nothing to offer.
void Print() {
  if (!AnyPrinter()) {
    MessageBoxW(shell->dialog, NO_PRINTER, L"TM650E", MB_ICONWARNING);
    return;
  }
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = shell->dialog;
  dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  if (!PrintDlgW(&dialog)) {
    if (const DWORD error = CommDlgExtendedError())
      MessageBoxW(shell->dialog,
                  error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES
                      ? NO_PRINTER
                      : (L"The printer cannot be opened (error " + std::to_wstring(error) + L").").c_str(),
                  L"TM650E", MB_ICONWARNING);
    return;
  }
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  qprintAttachSurface(std::make_unique<GdiSurface>(dialog.hDC, true));
  if (RunPrintJob(shell->view.paper, shell->settings) != 0)
    MessageBoxW(shell->dialog, L"The printer refused the document.", L"TM650E", MB_ICONWARNING);
}

// Fixed-pitch faces only: the paper is columns.
void ChooseFont() {
  LOGFONTW font{};
  font.lfHeight = shell->settings.Height;
  font.lfWeight = shell->settings.Weight;
  const std::wstring face = FromUtf8(shell->settings.Font);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = shell->dialog;
  choose.lpLogFont = &font;
  choose.Flags = CF_FIXEDPITCHONLY | CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
  if (!ChooseFontW(&choose)) return;
  shell->settings.Font = ToUtf8(font.lfFaceName);
  shell->settings.Height = font.lfHeight;
  shell->settings.Weight = font.lfWeight;
  shell->settings.PointSize = choose.iPointSize / 10;
  ClampSettings(shell->settings);
  ApplyPaperFont();
}

// Select Sound: the choice is pending until OK; Play sounds the checked one.
INT_PTR CALLBACK SoundProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  auto checked = [dialog] {
    for (const SoundChoice& choice : SoundChoices)
      if (IsDlgButtonChecked(dialog, choice.controlId) == BST_CHECKED) return choice.soundCode;
    return shell->settings.Sound;
  };
  switch (message) {
    case WM_INITDIALOG:
      for (const SoundChoice& choice : SoundChoices)
        if (choice.soundCode == shell->settings.Sound) CheckDlgButton(dialog, choice.controlId, BST_CHECKED);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SOUND_PLAY) SoundBeep(checked());
      if (LOWORD(wParam) == IDOK) shell->settings.Sound = checked();
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default: return FALSE;
  }
}

// Puts a dialog over the middle of the main window, on the screen.
void CenterOverOwner(HWND dialog) {
  RECT owner{}, box{};
  GetWindowRect(shell->dialog, &owner);
  GetWindowRect(dialog, &box);
  MoveOnScreen(dialog, {(owner.left + owner.right - (box.right - box.left)) / 2,
                        (owner.top + owner.bottom - (box.bottom - box.top)) / 2});
}

std::wstring ItemText(HWND dialog, int id) {
  std::wstring text(GetWindowTextLengthW(GetDlgItem(dialog, id)) + 1, L'\0');
  text.resize(GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size())));
  return text;
}

// Header and Footer: the print job's name and the two templates.
struct TextField {
  int id;
  std::string Settings::*setting;
};
constexpr TextField TextFields[] = {
    {IDC_DOC_NAME, &Settings::DocName}, {IDC_HEADER_TEXT, &Settings::Header}, {IDC_FOOTER_TEXT, &Settings::Footer}};

INT_PTR CALLBACK HeaderFooterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner(dialog);
      for (const TextField& field : TextFields) {
        SendDlgItemMessageW(dialog, field.id, EM_LIMITTEXT, SETTINGS_TEXT_MAX, 0);
        SetDlgItemTextW(dialog, field.id, FromUtf8(shell->settings.*field.setting).c_str());
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        for (const TextField& field : TextFields) shell->settings.*field.setting = ToUtf8(ItemText(dialog, field.id));
        ClampSettings(shell->settings);
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default: return FALSE;
  }
}

// Page Setup: the four margins in points from the paper's edges.
// OK: a field that is not a number is refused; a margin beyond its limits is
// pulled back and shown, and a second OK keeps it.
bool StoreMargins(HWND dialog) {
  std::array<std::string, 4> typed;
  for (size_t i = 0; i < typed.size(); ++i) typed[i] = ToUtf8(ItemText(dialog, MarginFields[i].id));
  const TypedMargins read = ReadMargins(typed);
  if (read.refused >= 0) {
    const int id = MarginFields[read.refused].id;
    MessageBoxW(dialog, FromUtf8(read.message).c_str(), L"Page Setup", MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog, id));
    SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1);
    return false;
  }
  if (!read.message.empty()) {
    for (size_t i = 0; i < typed.size(); ++i)
      if (read.pulledBack[i]) SetDlgItemInt(dialog, MarginFields[i].id, read.kept[i], TRUE);
    MessageBoxW(dialog, FromUtf8(read.message).c_str(), L"Page Setup", MB_ICONWARNING);
    return false;
  }
  for (size_t i = 0; i < typed.size(); ++i) shell->settings.*MarginFields[i].setting = read.kept[i];
  return true;
}

// The Page Setup picture: the job's first page as it will print, laid out
// again as the margins are typed, with each margin shaded in dark grey.
struct MarginsPicture {
  HENHMETAFILE page = nullptr;
  SIZE size{};
  int32_t margins[std::size(MarginFields)] = {};  // as MarginFields lists them, in points
  WNDPROC pictureProc = nullptr;
};
MarginsPicture setupPicture;

void ForgetFirstPage() {
  if (setupPicture.page) DeleteEnhMetaFile(setupPicture.page);
  setupPicture.page = nullptr;
}

// A field that is not a number keeps the margin it had in the picture.
void LayOutFirstPage(HWND dialog) {
  Settings settings = shell->settings;
  for (size_t i = 0; i < std::size(MarginFields); ++i) {
    if (const std::optional<long long> typed = WholeNumber(ToUtf8(ItemText(dialog, MarginFields[i].id))))
      setupPicture.margins[i] = KeptMargin(*typed);
    settings.*MarginFields[i].setting = setupPicture.margins[i];
  }
  std::vector<HENHMETAFILE> pages = LayOutPages(shell->view.paper, settings, setupPicture.size);
  ForgetFirstPage();
  if (!pages.empty()) setupPicture.page = pages.front();
  for (size_t i = 1; i < pages.size(); ++i) DeleteEnhMetaFile(pages[i]);
  InvalidateRect(GetDlgItem(dialog, IDC_MARGINS_PICTURE), nullptr, TRUE);
}

void PaintFirstPage(HWND picture) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(picture, &paint);
  RECT room{};
  GetClientRect(picture, &room);
  FillRect(dc, &room, GetSysColorBrush(COLOR_BTNFACE));
  ENHMETAHEADER header{};
  if (setupPicture.page && GetEnhMetaFileHeader(setupPicture.page, sizeof header, &header)) {
    const RECT page = DrawPage(dc, setupPicture.page, setupPicture.size, room);
    // Pixels a point: the frame is in hundredths of a millimetre, 2540 an inch.
    const double across = (page.right - page.left) * 2540.0 / (72.0 * (header.rclFrame.right - header.rclFrame.left));
    const double down = (page.bottom - page.top) * 2540.0 / (72.0 * (header.rclFrame.bottom - header.rclFrame.top));
    auto at = [&](int field, double scale) { return static_cast<LONG>(setupPicture.margins[field] * scale); };
    const RECT bands[] = {{page.left, page.top, page.left + at(0, across), page.bottom},
                          {page.right - at(1, across), page.top, page.right, page.bottom},
                          {page.left, page.top, page.right, page.top + at(2, down)},
                          {page.left, page.bottom - at(3, down), page.right, page.bottom}};
    for (const RECT& band : bands) FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
  }
  EndPaint(picture, &paint);
}

LRESULT CALLBACK FirstPageProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintFirstPage(picture);
    return 0;
  }
  return CallWindowProcW(setupPicture.pictureProc, picture, message, wParam, lParam);
}

INT_PTR CALLBACK PageSetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner(dialog);
      for (const MarginField& field : MarginFields) {
        SendDlgItemMessageW(dialog, field.id, EM_LIMITTEXT, MARGIN_TEXT_MAX, 0);
        SetDlgItemInt(dialog, field.id, shell->settings.*field.setting, TRUE);
      }
      setupPicture.pictureProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          GetDlgItem(dialog, IDC_MARGINS_PICTURE), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FirstPageProc)));
      LayOutFirstPage(dialog);
      return TRUE;
    case WM_DESTROY: ForgetFirstPage(); return FALSE;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && setupPicture.pictureProc) LayOutFirstPage(dialog);
      if (LOWORD(wParam) == IDC_SETUP_OK && StoreMargins(dialog)) EndDialog(dialog, IDOK);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

void RunDialog(int id, DLGPROC procedure) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), shell->dialog, procedure, 0);
}

// A key button's click is nothing more: its press and release went to the
// machine as they happened. `accelerator`: the command came from a shortcut.
void Command(int id, bool accelerator) {
  if (ZoomCommand(id)) return;
  switch (id) {
    case IDC_POWER: Send(CommandKind::Power); return;
    case IDM_NEW: Send(CommandKind::New); return;
    case IDC_PAPER_FEED: Send(CommandKind::PaperFeed); return;
    case IDC_PAPER_CLEAR: Send(CommandKind::ClearPaper); return;
    case IDM_ABOUT: ShowAbout(); return;
    case IDC_PRINT: Print(); return;
    case IDM_PRINT_PREVIEW:
      if (!ShowPrintPreview(shell->dialog, shell->view.paper, shell->settings))
        MessageBoxW(shell->dialog, L"The pages could not be laid out for the preview.", L"TM650E", MB_ICONWARNING);
      return;
    case IDM_FONT: ChooseFont(); return;
    case IDM_SAVE_PAPER: SavePaper(); return;
    case IDM_BEEP:
      RunDialog(IDD_SOUND, SoundProc);
      return;
    case IDM_HEADER_FOOTER:
      RunDialog(IDD_HEADER_FOOTER, HeaderFooterProc);
      return;
    case IDM_PAGE_SETUP:
      RunDialog(IDD_PAGE_SETUP, PageSetupProc);
      return;
    case IDM_HELP_CONTENTS: return accelerator ? ShowHelpForFocus() : ShowHelpContents();
    case IDM_LOG_FILE: ShowLogFile(); return;
    case IDM_KEEP_DEVICE: {
      const bool keep = !ReadFlag(KEEP_DEVICE, true);
      WriteFlag(KEEP_DEVICE, keep);
      shell->keeping->SetKeep(keep);
      CheckMenuItem(GetMenu(shell->dialog), IDM_KEEP_DEVICE, keep ? MF_CHECKED : MF_UNCHECKED);
      return;
    }
    case IDC_CANCEL:
    case IDM_EXIT: DestroyWindow(shell->dialog); return;
    default: return;
  }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      shell->dialog = dialog;
      shell->view = MachineAttach(shell->machine, [dialog] { PostMessageW(dialog, MSG_EVENTS, 0, 0); });
      HoldKeysWhilePressed(dialog);
      shell->face = MeasureFace(dialog);
      KeepDialogScaling(dialog);
      ShowDigits();
      ShowLamps();
      ShowPower();
      ShowPaper();
      SetDlgItemTextW(dialog, IDC_DISPLAY_LABEL, shell->notice.c_str());
      CheckMenuItem(GetMenu(dialog), IDM_KEEP_DEVICE, ReadFlag(KEEP_DEVICE, true) ? MF_CHECKED : MF_UNCHECKED);
      return TRUE;
    case MSG_EVENTS: DrainEvents(); return TRUE;
    case WM_COMMAND: Command(LOWORD(wParam), HIWORD(wParam) == 1); return TRUE;
    case WM_DRAWITEM: PaintDigit(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_HELP: {
      const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
      ShowHelpFor(help->iContextType == HELPINFO_WINDOW ? help->iCtrlId : 0, help->MousePos);
      return TRUE;
    }
    case WM_DPICHANGED: DpiChanged(*reinterpret_cast<const RECT*>(lParam)); return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) ReleaseHeldKeys();
      return FALSE;
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_ENDSESSION:  // the session may end the program without another word
      if (wParam) TellNotKept(shell->keeping->KeepNow());
      return TRUE;
    case WM_DESTROY:
      CloseHelpPopup();
      ReleaseHeldKeys();
      KeepPlace(dialog);
      MachineDetach(shell->machine);
      PostQuitMessage(0);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  auto owned = std::make_unique<Face>();
  shell = owned.get();
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const fs::path executable = module;
  std::vector<uint8_t> image;
  const std::span<const uint8_t> builtin = BuiltinFirmware();
  image.assign(builtin.begin(), builtin.end());
  if (image.empty()) {
    const std::u8string path = executable.u8string();
    std::string error;
    if (!ReadFirmwareFile(FirmwareFileFor(std::string(path.begin(), path.end())), image, error)) {
      MessageBoxW(nullptr, (L"TM650E has no built-in firmware and cannot read the firmware file: " + FromUtf8(error)).c_str(),
                  L"TM650E", MB_ICONERROR);
      return -1;
    }
  }
  LoadSettings(shell->settings);
  SessionLog log = OpenLog(executable);
  shell->logPath = ToUtf8(log.path.wstring());
  shell->logError = log.error;
  MachineInit(shell->machine, {image, true, log});
  shell->keeping = std::make_unique<DeviceKeeping>(shell->machine, StatePath(), ReadFlag(KEEP_DEVICE, true));
  shell->notice = FromUtf8(shell->keeping->Restore());
  if (shell->notice.empty() && !log.error.empty()) shell->notice = L"No log: " + FromUtf8(log.error);
  MachineStart(shell->machine);
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc, 0);
  if (!dialog) return 1;
  ApplyStartZoom();
  RestorePlace(dialog);
  ShowWindow(dialog, show);
  HACCEL shortcuts = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MENU));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    CloseHelpPopupOnInput(message);
    if (TranslateAcceleratorW(dialog, shortcuts, &message) || PcKeyMessage(message) ||
        IsDialogMessageW(dialog, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  MachineStop(shell->machine);
  TellNotKept(shell->keeping->KeepAtExit());
  MachineCloseLog(shell->machine);
  std::wstring why;
  if (!SaveSettings(shell->settings, why))
    MessageBoxW(nullptr, (L"The settings could not be kept:\n" + why).c_str(), L"TM650E", MB_ICONWARNING);
  if (shell->paperFont) DeleteObject(shell->paperFont);
  ReleaseFace(shell->face);
  return 0;
}
