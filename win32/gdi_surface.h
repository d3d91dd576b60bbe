// The print layout's surface on a Windows device context: a printer's from
// the print dialog, or (for counting pages without a printer) any other DC,
// whose document and page calls are then only counted.
#pragma once

#include <windows.h>
// The layout's own names, not the A/W macros.
#undef TextOut
#undef CreateFont

#include <string>
#include <vector>

#include "print/print_surface.h"

// Whether any printer is installed (Wine has none unless one is set up).
bool AnyPrinter();

// What a job placed, for a preview: the pages started and every text in order.
struct PrintRecord {
  int pages = 0;
  std::vector<std::wstring> texts;
};

class GdiSurface : public PrintSurface {
 public:
  // `printer`: the DC is a printer's, and its document and pages are real.
  // The layout owns the surface and ends it with the job; `record`, when
  // given, outlives it.
  GdiSurface(HDC dc, bool printer, PrintRecord* record = nullptr);
  ~GdiSurface() override;

  TextExtent MeasureText(std::string_view text) const override;
  bool StartDoc(std::string_view docName) override;
  int PageWidth() const override;
  int PageHeight() const override;
  int PixelsPerInchY() const override;
  int PixelsPerInchX() const override;
  int32_t CreateFont(const FontRequest& request) override;
  void SelectFont(int32_t handle) override;
  void DeleteFont(int32_t handle) override;
  void TextOut(int x, int y, std::string_view text) override;
  bool StartPage() override;
  void EndPage() override;
  void EndDoc() override;

 protected:
  HDC dc_;
  HFONT selected_ = nullptr;  // the font last selected, for a page begun after it

 private:
  bool printer_;
  PrintRecord* record_;
  std::vector<HFONT> fonts_;
};
