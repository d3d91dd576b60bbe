// GDI calls behind the print layout. Texts are the paper's 8-bit characters,
// one to one.
#include "win32/gdi_surface.h"

#include <winspool.h>

namespace {

std::wstring Wide(std::string_view text) {
  std::wstring wide;
  for (unsigned char c : text) wide += static_cast<wchar_t>(c);
  return wide;
}

}  // namespace

bool AnyPrinter() {
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  return needed > 0;
}

GdiSurface::GdiSurface(HDC dc, bool printer, PrintRecord* record) : dc_(dc), printer_(printer), record_(record) {
  SetBkMode(dc_, TRANSPARENT);
}

GdiSurface::~GdiSurface() {
  SelectObject(dc_, GetStockObject(SYSTEM_FIXED_FONT));
  for (HFONT font : fonts_)
    if (font) DeleteObject(font);
  if (printer_) DeleteDC(dc_);
}

TextExtent GdiSurface::MeasureText(std::string_view text) const {
  const std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_, &metrics);
  return {size.cx, metrics.tmHeight};
}

bool GdiSurface::StartDoc(std::string_view docName) {
  if (!printer_) return true;
  const std::wstring name = Wide(docName);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = name.c_str();
  return ::StartDocW(dc_, &info) > 0;
}

int GdiSurface::PageWidth() const { return GetDeviceCaps(dc_, HORZRES); }
int GdiSurface::PageHeight() const { return GetDeviceCaps(dc_, VERTRES); }
int GdiSurface::PixelsPerInchY() const { return GetDeviceCaps(dc_, LOGPIXELSY); }
int GdiSurface::PixelsPerInchX() const { return GetDeviceCaps(dc_, LOGPIXELSX); }

// A face that is not installed gives way to a fixed-pitch one, as on the pane.
int32_t GdiSurface::CreateFont(const FontRequest& request) {
  const std::wstring face = Wide(request.face);
  HFONT font = ::CreateFontW(-request.pixelHeight, 0, 0, 0, request.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                             face.substr(0, LF_FACESIZE - 1).c_str());
  if (!font) return 0;
  fonts_.push_back(font);
  return static_cast<int32_t>(fonts_.size());
}

void GdiSurface::SelectFont(int32_t handle) {
  if (handle <= 0 || handle > static_cast<int32_t>(fonts_.size()) || !fonts_[handle - 1]) return;
  selected_ = fonts_[handle - 1];
  SelectObject(dc_, selected_);
}

void GdiSurface::DeleteFont(int32_t handle) {
  if (handle <= 0 || handle > static_cast<int32_t>(fonts_.size()) || !fonts_[handle - 1]) return;
  SelectObject(dc_, GetStockObject(SYSTEM_FIXED_FONT));
  if (selected_ == fonts_[handle - 1]) selected_ = nullptr;
  DeleteObject(fonts_[handle - 1]);
  fonts_[handle - 1] = nullptr;
}

void GdiSurface::TextOut(int x, int y, std::string_view text) {
  const std::wstring wide = Wide(text);
  if (record_) record_->texts.push_back(wide);
  ::TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

bool GdiSurface::StartPage() {
  if (record_) ++record_->pages;
  return !printer_ || ::StartPage(dc_) > 0;
}

void GdiSurface::EndPage() {
  if (printer_) ::EndPage(dc_);
}

void GdiSurface::EndDoc() {
  if (printer_) ::EndDoc(dc_);
}
