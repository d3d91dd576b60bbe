// Centring over the owner, on the owner's screen, with the same clamps in
// both directions.
#include "dialogs/center_over_owner.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// A span of `size` starting at `start`, pulled back to end within
// [low, low + room) but never to start before `low`.
int Clamped(int start, int size, int low, int room) {
  return std::max(low, std::min(start, low + room - size));
}

bool IsResizable(const QWidget* window) { return window->minimumSize() != window->maximumSize(); }

const QScreen* ScreenOf(const QWidget* owner) {
  if (owner && owner->screen()) return owner->screen();
  return QGuiApplication::primaryScreen();
}

}  // namespace

QRect PlaceOverOwner(const QSize& size, bool resizable, const QRect& owner, const QRect& screen) {
  const QSize fitted = resizable ? size.boundedTo(screen.size()) : size;
  const QRect over = owner.isValid() ? owner : screen;
  const int x = over.left() + (over.width() - fitted.width()) / 2;
  const int y = over.top() + (over.height() - fitted.height()) / 2;
  return QRect(QPoint(Clamped(x, fitted.width(), screen.left(), screen.width()),
                      Clamped(y, fitted.height(), screen.top(), screen.height())),
               fitted);
}

void CenterOverOwner(QWidget* window, const QWidget* owner) {
  const QScreen* screen = ScreenOf(owner);
  if (!window || !screen) return;
  window->winId();  // a native window knows its frame, so the frame is what gets placed
  const QRect area = screen->availableGeometry();
  const QSize frame = window->frameGeometry().size() - window->size();
  // Until it is shown the window manager has not framed it: a resizable
  // window keeps room for a title bar.
  const QSize room = window->isVisible() ? frame : frame.expandedTo(WINDOW_FRAME_ROOM);
  if (IsResizable(window)) window->resize(window->size().boundedTo(area.size() - room));
  const QRect placed = PlaceOverOwner(window->size() + frame, false, owner ? owner->frameGeometry() : QRect(), area);
  window->move(placed.topLeft());
}
