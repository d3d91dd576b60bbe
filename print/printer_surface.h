// The printer context of a print job: a QPainter on a QPrinter. Device units
// are the printer's pixels with the origin at the printable area's top-left;
// texts are measured with the font metrics of the printer font.
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>
#include <vector>

#include "print/print_surface.h"

class QPrinter;

class PrinterSurface : public PrintSurface {
 public:
  // Draws on `printer`; `owned` (when given) is the same printer, released
  // with the surface.
  explicit PrinterSurface(QPrinter* printer, std::unique_ptr<QPrinter> owned = nullptr);
  ~PrinterSurface() override;

  TextExtent MeasureText(std::string_view text) const override;
  bool StartDoc(std::string_view docName) override;
  int PageWidth() const override;
  int PageHeight() const override;
  int PixelsPerInchY() const override;
  int32_t CreateFont(const FontRequest& request) override;
  void SelectFont(int32_t handle) override;
  void DeleteFont(int32_t handle) override;
  void TextOut(int x, int y, std::string_view text) override;
  bool StartPage() override;
  void EndPage() override;
  void EndDoc() override;

 private:
  std::unique_ptr<QPrinter> owned_;
  QPrinter* printer_;
  QPainter painter_;
  std::vector<QFont> fonts_;  // handle n is fonts_[n - 1]
  QFont current_;
  int pagesStarted_ = 0;
};
