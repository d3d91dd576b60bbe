// MarginsPainter: the Page Setup dialog's picture of the printable area. It
// draws the white rectangle of its control, then stretches the whole margins
// picture over it; without a picture it draws a plain page of its own.
#pragma once

#include <QImage>
#include <QWidget>

// The picture the window loaded at start-up; until it is given, the painter
// looks for margins.bmp beside the program and in the built-in resources.
void SetMarginsImage(const QImage& image);
QImage MarginsImage();

class MarginsPainter : public QWidget {
 public:
  explicit MarginsPainter(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
