// Key buttons: a press replaces the key's row byte, a release clears the row.
#include "frontpanel/key_button.h"

#include <QMouseEvent>

#include "peripherals/keypad.h"

KeyButton::KeyButton(int controlId, const QString& text, KeyRows& keys, QWidget* parent)
    : QPushButton(text, parent), controlId_(controlId), keys_(keys) {
  setFocusPolicy(Qt::NoFocus);
  setAutoDefault(false);
}

void KeyButton::pressFromKeyboard() {
  KeyPress(keys_, controlId_);
  setDown(true);
}

void KeyButton::releaseFromKeyboard() {
  KeyRelease(keys_, controlId_);
  setDown(false);
}

// The second click of a double click arrives here as a double-click event: it
// is passed on without pressing the key again, so a double click is one press.
void KeyButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->type() == QEvent::MouseButtonPress)
    KeyPress(keys_, controlId_);
  QPushButton::mousePressEvent(event);
}

void KeyButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) KeyRelease(keys_, controlId_);
  QPushButton::mouseReleaseEvent(event);
}
