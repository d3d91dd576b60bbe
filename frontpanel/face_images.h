// The three pictures of the face and the page setup: the chart of calculation
// functions, the arc diagram and the margins picture. The window draws the
// chart and the arc itself; a file of the same name beside the executable
// takes the place of any of the three.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

struct FaceImages {
  QImage face;     // "tm650.bmp" beside the program, else null: the chart is drawn
  QImage arc;      // "arc.bmp" beside the program, else null: the diagram is drawn
  QImage margins;  // "margins.bmp" beside the program, else the built-in picture
};

constexpr const char* BUILTIN_MARGINS = ":/images/margins.bmp";

// Loads each picture file from `folder` that is there and loadable.
FaceImages LoadFaceImages(const QString& folder);

// The face chart: a user's picture stretched smoothly over the whole control,
// or the drawing at the control's size and pixel density.
class FacePainter : public QWidget {
 public:
  FacePainter(const QImage& picture, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

// The arc diagram, scaled evenly to the control. A user's picture takes the
// drawing's place and scale from the top left, cut at the control's edges;
// a smaller one leaves the rest of the control white.
class ArcPainter : public QWidget {
 public:
  ArcPainter(const QImage& picture, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};
