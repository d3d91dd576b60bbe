// Zooming the face and fitting the window to its screen.
#include "frontpanel/zoom_controller.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "dialogs/center_over_owner.h"

double FittingZoom(const QSize& zoomed, const QSize& fixed, const QSize& room) {
  return FittingZoom(zoomed.width(), zoomed.height(), fixed.width(), fixed.height(), room.width(), room.height());
}

QString ZoomActionName(int choice) { return QStringLiteral("zoom%1").arg(choice); }

ZoomController::ZoomController(QWidget* window, const QWidget* face, LayOut layOut)
    : QObject(window), window_(window), face_(face), layOut_(std::move(layOut)) {}

// The kept choice stays for a larger screen.
void ZoomController::applyStartZoom() {
  apply(LoadZoomChoice().value_or(100));
  if (!fitsScreen()) apply(ZOOM_FIT);
}

void ZoomController::openAt(std::optional<QPoint> place) {
  QScreen* target = place ? QGuiApplication::screenAt(*place) : nullptr;
  if (!target) target = QGuiApplication::primaryScreen();
  if (!target) return;
  window_->setScreen(target);
  applyStartZoom();
  const QRect room = target->availableGeometry();
  const QSize framed = window_->size() + frameAllowance();
  QRect wanted(room.center() - QPoint(framed.width() / 2, framed.height() / 2), framed);
  if (place && room.contains(*place)) wanted.moveTopLeft(*place);
  window_->move(KeptInside(wanted, room));
}

// A zoom that would not fit the screen is not offered.
void ZoomController::choose(int choice) {
  if (!ZoomFits(choice, largestFittingZoom())) return;
  apply(choice);
  SaveZoomChoice(choice);
  keepOnScreen();
}

// From Fit to Screen, from the zoom it came to.
void ZoomController::step(int direction) {
  if (const std::optional<int> next = SteppedZoom(zoom_, direction, largestFittingZoom())) choose(*next);
}

void ZoomController::reapply() {
  apply(choice_);
  keepOnScreen();
}

// From the face as laid out now: it grows with the zoom, the rest does not.
double ZoomController::largestFittingZoom() const {
  const QSize face = face_->size();
  const QSize atFull(qRound(face.width() / zoom_), qRound(face.height() / zoom_));
  return FittingZoom(atFull, window_->size() - face + frameAllowance(), window_->screen()->availableGeometry().size()) +
         0.005;
}

void ZoomController::offerFittingZooms() {
  const double largest = largestFittingZoom();
  for (int choice : ZOOM_CHOICES)
    if (QAction* item = window_->findChild<QAction*>(ZoomActionName(choice)))
      item->setEnabled(ZoomFits(choice, largest) || choice == choice_);
}

void ZoomController::apply(int choice) {
  choice_ = choice;
  zoom_ = choice == ZOOM_FIT ? fittingZoom() : choice / 100.0;
  layOut_(zoom_);
  if (QAction* chosen = window_->findChild<QAction*>(ZoomActionName(choice))) chosen->setChecked(true);
  offerFittingZooms();
}

// Measured at 100 %: the face grows with the zoom and the rest (menu bar,
// frame) does not. The paper's font follows the zoom too, so that guess is
// nearly right; steps of 1 % down settle what rounding left over.
double ZoomController::fittingZoom() {
  zoom_ = 1;
  layOut_(zoom_);
  const QSize face = face_->size();
  zoom_ = FittingZoom(face, window_->size() - face + frameAllowance(), window_->screen()->availableGeometry().size());
  layOut_(zoom_);
  for (int step = 0; step < 10 && !fitsScreen(); ++step) {
    zoom_ -= 0.01;
    layOut_(zoom_);
  }
  return zoom_;
}

bool ZoomController::fitsScreen() const {
  const QSize room = window_->screen()->availableGeometry().size();
  const QSize framed = window_->size() + frameAllowance();
  return framed.width() <= room.width() && framed.height() <= room.height();
}

QSize ZoomController::frameAllowance() const {
  const QSize frame = window_->frameGeometry().size() - window_->size();
  return frame.isEmpty() ? WINDOW_FRAME_ROOM : frame;
}

// After a zoom the window is pulled back inside its screen where it can be.
void ZoomController::keepOnScreen() {
  if (window_->isVisible()) window_->move(KeptInside(window_->frameGeometry(), window_->screen()->availableGeometry()));
}

void ZoomController::followScreen() {
  if (followingScreen_ || !window_->windowHandle()) return;
  followingScreen_ = true;
  connect(window_->windowHandle(), &QWindow::screenChanged, this, [this] {
    if (choice_ == ZOOM_FIT || !fitsScreen()) apply(ZOOM_FIT);
    offerFittingZooms();
  });
}
