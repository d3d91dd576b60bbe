// The window's zoom: applies a choice of View > Zoom to the face, fits the
// window to its screen, steps between the choices that fit, and keeps the
// window on its screen as it grows and moves.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "frontpanel/zoom_choice.h"

class QWidget;

// The largest zoom, in steps of 1 %, at which a window whose `zoomed` part
// is that size at 100 % and whose `fixed` part (menu bar, frame) does not
// grow fits `room`; never below a quarter.
double FittingZoom(const QSize& zoomed, const QSize& fixed, const QSize& room);

// The object name of a choice's action in View > Zoom.
QString ZoomActionName(int choice);

class ZoomController : public QObject {
 public:
  // Lays the face out at a zoom (1 for 100 %); `window` then has its size.
  using LayOut = std::function<void(double zoom)>;

  ZoomController(QWidget* window, const QWidget* face, LayOut layOut);

  // Puts the window on the screen at `place` (where it was last time), or
  // centred on the primary screen, at the kept zoom where that fits the
  // screen and else fitted to it, wholly within the screen's free area.
  void openAt(std::optional<QPoint> place);
  // The kept zoom (100 % at first start) where the window fits its screen.
  void applyStartZoom();
  // Chooses and keeps `choice`; a percentage too large for the screen is
  // not taken.
  void choose(int choice);
  // To the next choice up (1) or down (-1) that fits.
  void step(int direction);
  // The same choice again, after something else changed the face's size.
  void reapply();
  // Enables the choices that fit the window's screen now.
  void offerFittingZooms();
  // Once the window has a native window: Fit to Screen follows it to
  // another screen.
  void followScreen();

  int choice() const { return choice_; }
  double zoom() const { return zoom_; }

 private:
  void apply(int choice);
  double largestFittingZoom() const;
  double fittingZoom();
  bool fitsScreen() const;
  QSize frameAllowance() const;
  void keepOnScreen();

  QWidget* window_;
  const QWidget* face_;
  LayOut layOut_;
  int choice_ = 100;
  double zoom_ = 1;
  bool followingScreen_ = false;
};
