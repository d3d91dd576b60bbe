// A key of the device's matrix as a push button: pressing it with the mouse
// (or the PC key mapped to it) holds the key in its row byte until release.
#pragma once

#include <QPushButton>

struct KeyRows;

class KeyButton : public QPushButton {
 public:
  KeyButton(int controlId, const QString& text, KeyRows& keys, QWidget* parent = nullptr);
  int controlId() const { return controlId_; }
  // The same hold and release, driven from the PC keyboard.
  void pressFromKeyboard();
  void releaseFromKeyboard();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int controlId_;
  KeyRows& keys_;
};
