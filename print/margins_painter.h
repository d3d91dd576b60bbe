// MarginsPainter: the Page Setup dialog's picture of the page. It shows the
// first page as the print job lays it out, at the paper's proportions, with
// the margins as typed shaded in dark grey, so the picture follows the
// numbers and is what will print.
#pragma once

#include <QImage>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QWidget>

#include "app/settings.h"

// Margins in points, as Page Setup takes them.
struct PageMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The paper the picture shows: letter where the desktop measures in inches
// the American way, else A4.
QPageSize PreviewPageSize();

// The printable area of `page` (the paper as drawn, `paperPoints` in size)
// for these margins.
QRectF PrintableArea(const QRectF& page, const QSizeF& paperPoints, const PageMargins& margins);

// The first page of `paper` as the print job prints it with `settings`, on
// an image of the paper at `dpi`.
QImage FirstPageImage(const QString& paper, const Settings& settings, const QPageSize& size, int dpi);

class MarginsPainter : public QWidget {
 public:
  MarginsPainter(const QString& paper, const Settings& settings, QWidget* parent);
  void setMargins(const PageMargins& margins);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString paper_;
  Settings settings_;
  QPageSize size_ = PreviewPageSize();
  QImage page_;  // the first page at the margins shown
};
