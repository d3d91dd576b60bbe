// Places a secondary dialog centred over the main window, kept on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The top left corner for a dialog of `dialog` size centred over `owner`,
// pulled back onto a screen of `screen` size: below 0 becomes 0, past the far
// edge is moved back to end at it, but never to a negative position.
QPoint CenteredPosition(const QSize& dialog, const QRect& owner, const QSize& screen);
void CenterOverOwner(QWidget* dialog, const QWidget* owner);
