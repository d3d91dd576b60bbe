// MarginsPainter: the Page Setup dialog's picture of the page. It draws a
// page with its margins, as typed, in dark grey around the printable area,
// so the picture follows the numbers and stays sharp at any size.
#pragma once

#include <QRectF>
#include <QWidget>

// Margins as the dialog holds them: top in points, the others in printer
// device units.
struct PageMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The page the picture shows (portrait A4, in inches) and the printer
// resolution it assumes for the device-unit margins.
constexpr double PREVIEW_PAGE_WIDTH = 8.27;
constexpr double PREVIEW_PAGE_HEIGHT = 11.69;
constexpr int PREVIEW_DPI = 600;

// The printable area of `page` (the page as drawn) for these margins.
QRectF PrintableArea(const QRectF& page, const PageMargins& margins);

class MarginsPainter : public QWidget {
 public:
  explicit MarginsPainter(QWidget* parent);
  void setMargins(const PageMargins& margins);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PageMargins margins_;
};
