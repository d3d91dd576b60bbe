// The print module's state and operations: font slots whose handle cells
// come from the heap manager, margins in points from the page's edges, line
// placement with wrapping, and page breaks with their handler.
#include "print/qprint.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/settings.h"
#include "heap/hcheap.h"
#include "print/line_breaker.h"

namespace {

struct Margins {  // points
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct PrintState {
  std::unique_ptr<PrintSurface> surface;
  int pageWidth = 0;  // never negative
  int pageHeight = 0;
  Margins margins;
  int lineSpacing = 0;  // points
  int64_t y = 0;  // wide, so that no line position can overflow
  int pageNumber = 0;
  int linesOnPage = 0;  // lines printed on this page outside the page handler
  bool inPageBreak = false;
  qprintPageHandler handler = nullptr;
  bool handlerEnabled = false;
  std::string docName, header, footer;
  std::array<std::array<int32_t*, QPRINT_FONT_VARIANTS>, QPRINT_FONT_SLOTS> fontCells{};
  std::array<int, QPRINT_FONT_SLOTS> selectedVariant{};
  int fontCount = 0;
  int currentFont = -1;
};

PrintState state;

constexpr size_t FACE_NAME_MAX = 31;  // what a LOGFONT face name holds

// At most QPRINT_TEXT_MAX characters, never cutting one in half.
std::string CutText(std::string_view text) { return std::string(CutSettingsText(text, QPRINT_TEXT_MAX)); }

int PointsToDevice(int points) {
  const int dpi = state.surface ? state.surface->PixelsPerInchY() : 0;
  return qprintMulDiv(points, dpi, 72);
}

int PointsToDeviceX(int points) {
  const int dpi = state.surface ? state.surface->PixelsPerInchX() : 0;
  return qprintMulDiv(points, dpi, 72);
}

int TopMarginInDevice() { return PointsToDevice(state.margins.top); }

void TakeFontCells() {
  for (auto& slot : state.fontCells)
    for (auto& cell : slot) cell = static_cast<int32_t*>(hcheapAllocOrThrow(0, sizeof(int32_t), __FILE__, __LINE__));
}

void GiveBackFontCells() {
  for (auto& slot : state.fontCells)
    for (auto& cell : slot) {
      if (cell && *cell && state.surface) state.surface->DeleteFont(*cell);
      hcheapFree(0, cell);
      cell = nullptr;
    }
}

bool ValidSlot(int slot) { return slot >= 0 && slot < state.fontCount; }

int32_t CreateVariant(std::string_view face, int points, int weight) {
  if (!state.surface) return 0;
  const int pixels = PointsToDevice(points);  // a character height, as a negative lfHeight gives it
  return state.surface->CreateFont({face.substr(0, std::min(face.size(), FACE_NAME_MAX)), pixels, weight});
}

int KeptMargin(int value) { return std::clamp(value, 0, QPRINT_MARGIN_MAX); }

int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Calls the handler with the page-break test suppressed: its lines are
// placed where it puts them.
void CallHandler(int pageNumber, int isHeader) {
  if (!state.handlerEnabled) return;
  const bool wasInPageBreak = state.inPageBreak;
  state.inPageBreak = true;
  state.handler(pageNumber, isHeader);
  state.inPageBreak = wasInPageBreak;
}

// The first text of the document opens page 1 and prints its header.
void OpenFirstPage() {
  if (state.inPageBreak || state.pageNumber != 0) return;
  state.pageNumber = 1;
  if (!state.handlerEnabled) return;
  state.y = TopMarginInDevice();
  CallHandler(1, 1);
}

// Ends the page with its footer and starts the next with its header when a
// line of height `height` would cross the bottom margin line. A page takes
// at least one line, however little room the margins leave, so a paper never
// turns into a run of empty pages. True when the page was broken.
bool BreakPageIfLineCrossesBottom(int64_t height) {
  if (state.inPageBreak || state.linesOnPage == 0) return false;
  if (int64_t{state.pageHeight} - PointsToDevice(state.margins.bottom) >= state.y + height) return false;
  state.inPageBreak = true;
  const int ending = state.pageNumber++;
  CallHandler(ending, 0);
  state.surface->EndPage();
  state.surface->StartPage();
  state.y = TopMarginInDevice();
  state.linesOnPage = 0;
  CallHandler(state.pageNumber, 1);
  state.inPageBreak = false;
  return true;
}

int64_t LineX(int flags, int cx, int64_t width, int xOffset) {
  int64_t x = PointsToDeviceX(state.margins.left);
  if (flags & QPRINT_CENTRE)
    x = x - cx / 2 + width / 2;
  else if (flags & QPRINT_RIGHT)
    x = x - cx + width;
  return x + xOffset;
}

}  // namespace

int qprintMulDiv(int value, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(value) * numerator;
  const int64_t divisor = std::abs(static_cast<int64_t>(denominator));
  const int64_t rounded = (std::abs(product) + divisor / 2) / divisor;  // halves away from zero
  return ToInt((product < 0) != (denominator < 0) ? -rounded : rounded);
}

void qprintAttachSurface(std::unique_ptr<PrintSurface> surface) { state.surface = std::move(surface); }

void qprintBegin() {
  GiveBackFontCells();
  std::unique_ptr<PrintSurface> surface = std::move(state.surface);
  state = PrintState{};
  state.surface = std::move(surface);
  state.selectedVariant.fill(-1);
  TakeFontCells();
}

void qprintSetDocName(std::string_view text) { state.docName = CutText(text); }

int qprintStartDoc() {
  if (!state.surface || !state.surface->StartDoc(state.docName)) return -1;
  state.pageWidth = std::max(0, state.surface->PageWidth());
  state.pageHeight = std::max(0, state.surface->PageHeight());
  return 0;
}

int qprintCreateFont(std::string_view face, int points, int smallPoints, int weight) {
  if (state.fontCount >= QPRINT_FONT_SLOTS || !state.fontCells[0][0]) return -1;
  const int slot = state.fontCount++;
  points = std::clamp(points, 1, QPRINT_POINTS_MAX);
  smallPoints = std::clamp(smallPoints, 1, QPRINT_POINTS_MAX);
  weight = std::clamp(weight, 1, 1000);
  const int bold = std::max(weight, QPRINT_WEIGHT_BOLD);
  const std::array<int32_t, QPRINT_FONT_VARIANTS> handles = {
      CreateVariant(face, points, weight), CreateVariant(face, points, bold),
      CreateVariant(face, smallPoints, weight), CreateVariant(face, smallPoints, bold)};
  for (int variant = 0; variant < QPRINT_FONT_VARIANTS; ++variant) *state.fontCells[slot][variant] = handles[variant];
  state.selectedVariant[slot] = 0;
  qprintSelectFont(slot);
  return slot;
}

int qprintSetMargins(int top, int bottom, int left, int right) {
  if (top != -1) state.margins.top = KeptMargin(top);
  if (bottom != -1) state.margins.bottom = KeptMargin(bottom);
  if (left != -1) state.margins.left = KeptMargin(left);
  if (right != -1) state.margins.right = KeptMargin(right);
  state.y = TopMarginInDevice();
  return 0;
}

void qprintSetLineSpacing(int points) { state.lineSpacing = points; }

void qprintSelectFont(int slot) {
  if (!ValidSlot(slot)) return;
  state.currentFont = slot;
  const int variant = state.selectedVariant[slot];
  if (state.surface && variant >= 0) state.surface->SelectFont(*state.fontCells[slot][variant]);
}

void qprintSetPageHandler(qprintPageHandler handler) {
  state.handler = handler;
  state.handlerEnabled = handler != nullptr;
}

void qprintSetHeader(std::string_view text) { state.header = CutText(text); }
void qprintSetFooter(std::string_view text) { state.footer = CutText(text); }
int qprintHasHeader() { return state.header.empty() ? 0 : 1; }
int qprintHasFooter() { return state.footer.empty() ? 0 : 1; }
const char* qprintGetHeader() { return state.header.empty() ? nullptr : state.header.c_str(); }
const char* qprintGetFooter() { return state.footer.empty() ? nullptr : state.footer.c_str(); }

void qprintGetPageSize(int* width, int* height) {
  *width = state.pageWidth;
  *height = state.pageHeight;
}

void qprintGetMargins(int* left, int* top, int* right, int* bottom) {
  *left = state.margins.left;
  *top = state.margins.top;
  *right = state.margins.right;
  *bottom = state.margins.bottom;
}

int qprintPointsToDevice(int points) { return PointsToDevice(points); }

void qprintSetY(int y) { state.y = y; }
int qprintGetY() { return ToInt(state.y); }
int qprintPageNumber() { return state.pageNumber; }
int qprintCurrentFont() { return state.currentFont; }

int qprintStartPage() {
  if (!state.surface || !state.surface->StartPage()) return -1;
  state.y = TopMarginInDevice();
  state.linesOnPage = 0;
  return 0;
}

void qprintText(int slot, std::string_view text, int flags, int xOffset) {
  if (!state.surface) return;
  const int64_t width = int64_t{state.pageWidth} - PointsToDeviceX(state.margins.right) - PointsToDeviceX(state.margins.left);
  OpenFirstPage();
  qprintSelectFont(slot);
  const TextExtent extent = state.surface->MeasureText(text.empty() ? std::string_view("A") : text);
  const int64_t pitch = int64_t{extent.cy} + PointsToDevice(state.lineSpacing);
  char* buffer = static_cast<char*>(hcheapAllocOrThrow(0, text.size() + 1, __FILE__, __LINE__));
  const std::vector<std::string_view> lines = BreakIntoLines(text, ToInt(width), *state.surface);
  for (std::string_view line : lines) {
    const int cx = lines.size() == 1 ? extent.cx : state.surface->MeasureText(line).cx;
    // The handlers may have printed in another font.
    if (BreakPageIfLineCrossesBottom(pitch)) qprintSelectFont(slot);
    std::memcpy(buffer, line.data(), line.size());
    state.surface->TextOut(ToInt(LineX(flags, cx, width, xOffset)), ToInt(state.y), std::string_view(buffer, line.size()));
    if (!state.inPageBreak) ++state.linesOnPage;
    if (!(flags & QPRINT_SAME_LINE)) state.y += pitch;
  }
  hcheapFree(0, buffer);
}

void qprintBlankLines(int slot, int count) {
  for (int line = 0; line < count; ++line) qprintText(slot, "", QPRINT_LEFT, 0);
}

// A page ended before any text still is page 1, with its header.
void qprintEndPage() {
  OpenFirstPage();
  CallHandler(state.pageNumber, 0);
  if (state.surface) state.surface->EndPage();
}

void qprintEndDoc() {
  if (state.surface) state.surface->EndDoc();
}

void qprintEnd() {
  GiveBackFontCells();
  state.surface.reset();
}
