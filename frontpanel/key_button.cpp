// Key buttons: a press or a double click's second press sends the key down,
// the release sends it up.
#include "frontpanel/key_button.h"

#include <QMouseEvent>

KeyButton::KeyButton(int controlId, uint8_t key, const QString& text, KeyHandler handler, QWidget* parent)
    : QPushButton(text, parent), controlId_(controlId), key_(key), handler_(std::move(handler)) {
  setFocusPolicy(Qt::NoFocus);
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
