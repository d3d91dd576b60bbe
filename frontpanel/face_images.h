// The three pictures of the face and the page setup: the chart of calculation
// functions, the arc diagram and the margins picture. A file of the same name
// beside the executable takes the place of the built-in picture.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

struct FaceImages {
  QImage face;     // "tm650.bmp", 777 x 169, 1 bit
  QImage arc;      // "arc.bmp", 81 x 82, 1 bit
  QImage margins;  // "margins.bmp", 135 x 195, 8-bit grey
};

// Built-in pictures as Qt resource paths.
constexpr const char* BUILTIN_FACE = ":/images/tm650.bmp";
constexpr const char* BUILTIN_ARC = ":/images/arc.bmp";
constexpr const char* BUILTIN_MARGINS = ":/images/margins.bmp";

// Loads each picture from `folder` when a loadable file is there, else from
// the built-in one. A picture missing both ways stays a null image.
FaceImages LoadFaceImages(const QString& folder);

// Shows a picture stretched over the whole control, as the face chart does.
class FacePainter : public QWidget {
 public:
  FacePainter(const QImage& image, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

// Shows a picture at its own size from the top left, cut at the control's
// edges; a smaller picture leaves the rest of the control white.
class ArcPainter : public QWidget {
 public:
  ArcPainter(const QImage& image, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};
