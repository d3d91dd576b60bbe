// Centring over the owner, with the same clamps in both directions.
#include "frontpanel/center_over_owner.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// A dialog larger than the screen keeps its top left corner on the screen,
// where its title bar and first controls can be reached, rather than being
// pushed off the far edge.
int Clamped(int position, int size, int screen) {
  if (position < 0) return 0;
  if (position + size > screen) return std::max(0, screen - size);
  return position;
}

}  // namespace

QPoint CenteredPosition(const QSize& dialog, const QRect& owner, const QSize& screen) {
  const int x = owner.left() + (owner.width() - dialog.width()) / 2;
  const int y = owner.top() + (owner.height() - dialog.height()) / 2;
  return QPoint(Clamped(x, dialog.width(), screen.width()), Clamped(y, dialog.height(), screen.height()));
}

void CenterOverOwner(QWidget* dialog, const QWidget* owner) {
  if (!dialog || !owner) return;
  const QScreen* screen = owner->screen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(1 << 20, 1 << 20);
  dialog->winId();  // a native window knows its frame, so the frame is what gets centred
  dialog->move(CenteredPosition(dialog->frameGeometry().size(), owner->frameGeometry(), screenSize));
}
