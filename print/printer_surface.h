// The printer context of a print job: a QPainter on a QPrinter, or on an
// image that shows a job's first page. Device units are the printer's (or
// the image's) pixels with the origin at the paper's top-left corner, so
// margins are measured from the paper's edges on every printer; texts are
// measured with the font metrics of the printer font.
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>
#include <vector>

#include "print/print_surface.h"

class QImage;
class QPrinter;

class PrinterSurface : public PrintSurface {
 public:
  // Draws on `printer`; `owned` (when given) is the same printer, released
  // with the surface.
  explicit PrinterSurface(QPrinter* printer, std::unique_ptr<QPrinter> owned = nullptr);
  // Draws the first page on `image`, whose size is the paper's and whose
  // dots per metre are the resolution; later pages are laid out unseen.
  explicit PrinterSurface(QImage* image);
  ~PrinterSurface() override;

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

 private:
  std::unique_ptr<QPrinter> owned_;
  QPrinter* printer_ = nullptr;  // none for an image
  QPaintDevice* device_;
  QPainter painter_;
  std::vector<QFont> fonts_;  // handle n is fonts_[n - 1]
  QFont current_;
  int pagesStarted_ = 0;
};
