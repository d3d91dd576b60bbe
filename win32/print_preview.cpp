#include "win32/gdi_surface.h"  // first: it keeps the layout's names free of the A/W macros
#include "win32/print_preview.h"

#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "print/paper_job.h"
#include "print/qprint.h"
#include "resources/print_dialogs.h"

namespace {

constexpr const wchar_t* PREVIEW_CLASS = L"TM650EPreview";
constexpr int PAGE_GAP = 16;  // pixels at 100 % round the page

// The job's pages, each recorded as it is drawn against the reference DC.
class PreviewSurface : public GdiSurface {
 public:
  PreviewSurface(HDC reference, SIZE page, std::vector<HENHMETAFILE>& pages)
      : GdiSurface(reference, false), reference_(reference), page_(page), pages_(pages) {}
  ~PreviewSurface() override { EndPage(); }

  int PageWidth() const override { return page_.cx; }
  int PageHeight() const override { return page_.cy; }

  bool StartPage() override {
    EndPage();
    const RECT frame{0, 0, MulDiv(page_.cx, 2540, PixelsPerInchX()), MulDiv(page_.cy, 2540, PixelsPerInchY())};
    HDC page = CreateEnhMetaFileW(reference_, nullptr, &frame, nullptr);
    if (!page) return false;
    dc_ = page;
    SetBkMode(dc_, TRANSPARENT);
    if (selected_) SelectObject(dc_, selected_);
    return true;
  }
  void EndPage() override {
    if (dc_ == reference_) return;
    SelectObject(dc_, GetStockObject(SYSTEM_FIXED_FONT));
    if (HENHMETAFILE page = CloseEnhMetaFile(dc_)) pages_.push_back(page);
    dc_ = reference_;
    if (selected_) SelectObject(dc_, selected_);
  }

 private:
  HDC reference_;
  SIZE page_;
  std::vector<HENHMETAFILE>& pages_;
};

HDC DefaultPrinter() {
  if (!AnyPrinter()) return nullptr;
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!PrintDlgW(&dialog)) return nullptr;
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  return dialog.hDC;
}

struct Preview {
  std::vector<HENHMETAFILE> pages;
  SIZE page{};  // in the reference's units
  size_t shown = 0;
  bool done = false;
};

void ShowCaption(HWND window, const Preview& preview) {
  const std::wstring caption = L"Print Preview - Page " + std::to_wstring(preview.shown + 1) + L" of " +
                               std::to_wstring(preview.pages.size());
  SetWindowTextW(window, caption.c_str());
}

void Turn(HWND window, Preview& preview, long long to) {
  const size_t page = static_cast<size_t>(std::clamp<long long>(to, 0, static_cast<long long>(preview.pages.size()) - 1));
  if (page == preview.shown) return;
  preview.shown = page;
  ShowCaption(window, preview);
  InvalidateRect(window, nullptr, TRUE);
}

// The page as large as the window allows, its shape kept, on a grey ground.
void PaintPage(HWND window, const Preview& preview) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT room{};
  GetClientRect(window, &room);
  FillRect(dc, &room, GetSysColorBrush(COLOR_APPWORKSPACE));
  const int gap = MulDiv(PAGE_GAP, GetDpiForWindow(window), USER_DEFAULT_SCREEN_DPI);
  InflateRect(&room, -gap, -gap);
  DrawPage(dc, preview.pages[preview.shown], preview.page, room);
  EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* preview = reinterpret_cast<Preview*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!preview) return DefWindowProcW(window, message, wParam, lParam);
  const long long shown = static_cast<long long>(preview->shown);
  switch (message) {
    case WM_PAINT: PaintPage(window, *preview); return 0;
    case WM_SIZE: InvalidateRect(window, nullptr, TRUE); return 0;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_NEXT:
        case VK_RIGHT:
        case VK_DOWN: Turn(window, *preview, shown + 1); return 0;
        case VK_PRIOR:
        case VK_LEFT:
        case VK_UP: Turn(window, *preview, shown - 1); return 0;
        case VK_HOME: Turn(window, *preview, 0); return 0;
        case VK_END: Turn(window, *preview, static_cast<long long>(preview->pages.size()) - 1); return 0;
        case VK_ESCAPE: DestroyWindow(window); return 0;
        default: break;
      }
      break;
    case WM_MOUSEWHEEL: Turn(window, *preview, shown + (GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : -1)); return 0;
    case WM_DESTROY: preview->done = true; return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

RECT DrawPage(HDC dc, HENHMETAFILE contents, SIZE page, const RECT& room) {
  const double scale =
      std::min(double(room.right - room.left) / page.cx, double(room.bottom - room.top) / page.cy);
  if (scale <= 0) return {};
  const int width = static_cast<int>(page.cx * scale), height = static_cast<int>(page.cy * scale);
  const int left = (room.left + room.right - width) / 2, top = (room.top + room.bottom - height) / 2;
  const RECT at{left, top, left + width, top + height};
  FillRect(dc, &at, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PlayEnhMetaFile(dc, contents, &at);
  FrameRect(dc, &at, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  return at;
}

// The job on its pages: a printer's DC as the reference when there is one,
// else the screen's with a Letter page.
std::vector<HENHMETAFILE> LayOutPages(const std::string& paper, const Settings& settings, SIZE& page) {
  std::vector<HENHMETAFILE> pages;
  HDC printer = DefaultPrinter();
  HDC reference = printer ? printer : GetDC(nullptr);
  page = printer ? SIZE{GetDeviceCaps(reference, HORZRES), GetDeviceCaps(reference, VERTRES)}
                 : SIZE{GetDeviceCaps(reference, LOGPIXELSX) * 17 / 2, GetDeviceCaps(reference, LOGPIXELSY) * 11};
  qprintAttachSurface(std::make_unique<PreviewSurface>(reference, page, pages));
  RunPrintJob(paper, settings);
  if (printer) DeleteDC(printer);
  else ReleaseDC(nullptr, reference);
  return pages;
}

bool ShowPrintPreview(HWND owner, const std::string& paper, const Settings& settings) {
  Preview preview;
  preview.pages = LayOutPages(paper, settings, preview.page);
  static const ATOM registered = [] {
    WNDCLASSW type{};
    type.lpfnWndProc = PreviewProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = PREVIEW_CLASS;
    return RegisterClassW(&type);
  }();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = static_cast<int>((work.right - work.left) * PREVIEW_SCREEN_SHARE);
  const int height = static_cast<int>((work.bottom - work.top) * PREVIEW_SCREEN_SHARE);
  HWND window = preview.pages.empty() || !registered
                    ? nullptr
                    : CreateWindowExW(0, PREVIEW_CLASS, L"Print Preview", WS_OVERLAPPEDWINDOW,
                                      (work.left + work.right - width) / 2, (work.top + work.bottom - height) / 2, width,
                                      height, owner, nullptr, GetModuleHandleW(nullptr), &preview);
  if (window) {
    ShowCaption(window, preview);
    EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (!preview.done && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!preview.done) {  // the program is quitting
      DestroyWindow(window);
      PostQuitMessage(0);
    }
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  for (HENHMETAFILE page : preview.pages) DeleteEnhMetaFile(page);
  return window != nullptr;
}
