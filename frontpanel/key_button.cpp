// Key buttons: a press or a double click's second press sends the key down,
// the release sends it up; the space bar does the same.
#include "frontpanel/key_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

KeyButton::KeyButton(int controlId, uint8_t key, const QString& text, KeyHandler handler, QWidget* parent)
    : QPushButton(text, parent), controlId_(controlId), key_(key), handler_(std::move(handler)) {
  setFocusPolicy(Qt::TabFocus);
  setAutoDefault(false);
}

void KeyButton::pressFromKeyboard() {
  handler_(key_, true);
  setDown(true);
}

void KeyButton::releaseFromKeyboard() {
  handler_(key_, false);
  setDown(false);
}

void KeyButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) handler_(key_, true);
  QPushButton::mousePressEvent(event);
}

// A double click is two presses: the second arrives as this event.
void KeyButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) handler_(key_, true);
  QPushButton::mousePressEvent(event);
}

void KeyButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) handler_(key_, false);
  QPushButton::mouseReleaseEvent(event);
}

void KeyButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) handler_(key_, true);
  QPushButton::keyPressEvent(event);
}

void KeyButton::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) handler_(key_, false);
  QPushButton::keyReleaseEvent(event);
}
