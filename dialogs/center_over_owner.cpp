// Centring over the owner, on the owner's screen, with the same clamps in
// both directions.
#include "dialogs/center_over_owner.h"

#include <QGuiApplication>
#include <QScreen>
#include <QEvent>
#include <QWidget>

namespace {

bool IsResizable(const QWidget* window) { return window->minimumSize() != window->maximumSize(); }

const QScreen* ScreenOf(const QWidget* owner) {
  if (owner && owner->screen()) return owner->screen();
  return QGuiApplication::primaryScreen();
}

}  // namespace

QPoint KeptInside(const QRect& frame, const QRect& room) {
  QRect kept = frame;
  if (kept.right() > room.right()) kept.moveRight(room.right());
  if (kept.bottom() > room.bottom()) kept.moveBottom(room.bottom());
  if (kept.left() < room.left()) kept.moveLeft(room.left());
  if (kept.top() < room.top()) kept.moveTop(room.top());
  return kept.topLeft();
}

QRect PlaceOverOwner(const QSize& size, bool resizable, const QRect& owner, const QRect& screen) {
  const QSize fitted = resizable ? size.boundedTo(screen.size()) : size;
  const QRect over = owner.isValid() ? owner : screen;
  const int x = over.left() + (over.width() - fitted.width()) / 2;
  const int y = over.top() + (over.height() - fitted.height()) / 2;
  return QRect(KeptInside(QRect(QPoint(x, y), fitted), screen), fitted);
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
  const QRect placed = PlaceOverOwner(window->size() + room, false, owner ? owner->frameGeometry() : QRect(), area);
  // Some window managers keep an unframed window's own corner where it was
  // put and hang the title bar above it: the corner goes below the room
  // kept for that bar.
  const QPoint corner = window->isVisible() ? QPoint() : QPoint(room.width() / 2, room.height() - room.width() / 2);
  window->move(placed.topLeft() + corner);
}

namespace {

// Watches one window until its frame is first seen, then goes.
class FrameKeeper : public QObject {
 public:
  explicit FrameKeeper(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) return false;
    const QRect frame = window_->frameGeometry();
    if (!window_->isVisible() || frame == window_->geometry()) return false;  // not framed yet
    keepWithin(frame);
    deleteLater();
    return false;
  }

 private:
  void keepWithin(const QRect& frame) {
    const QScreen* screen = ScreenOf(window_);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize border = frame.size() - window_->size();
    if (IsResizable(window_)) window_->resize(window_->size().boundedTo(area.size() - border));
    const QRect fitted(frame.topLeft(), window_->size() + border);
    if (area.contains(fitted)) return;
    window_->move(KeptInside(fitted, area));
  }

  QWidget* window_;
};

}  // namespace

void KeepFrameOnScreen(QWidget* window) {
  if (window) new FrameKeeper(window);
}
