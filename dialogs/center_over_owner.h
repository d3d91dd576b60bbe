// Keeps windows on their screen: a secondary window placed over the main
// window on the screen the main window is on, centred over it, sized and kept
// within that screen's free area; any window pulled back within its screen.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Room kept for a window manager's frame and title bar around a window that
// has not been framed yet.
constexpr QSize WINDOW_FRAME_ROOM(16, 48);

// Where `frame` goes so that it lies inside `room`: moved back from the far
// edges first, so a frame larger than the room keeps its top left corner,
// with the title bar, on the room.
QPoint KeptInside(const QRect& frame, const QRect& room);

// Where a window of `size` (frame included) goes: centred over `owner`, on
// the screen area `screen`. A resizable window larger than the area shrinks
// to it; a fixed one keeps its top left corner on the area, where its title
// bar and first controls can be reached.
QRect PlaceOverOwner(const QSize& size, bool resizable, const QRect& owner, const QRect& screen);

// Moves (and, when it can be resized, sizes) `window` over `owner` on the
// owner's screen. Without an owner the window is placed on the primary screen.
void CenterOverOwner(QWidget* window, const QWidget* owner);

// Once the window manager has framed `window` after it is shown, pulls the
// frame (its title bar above all) back within the screen's free area, and
// shrinks a resizable window whose frame is taller or wider than that area.
// Window managers differ in where they put a frame round a window placed
// before they framed it.
void KeepFrameOnScreen(QWidget* window);
