// A key of the device's matrix as a push button. Every mouse press, the
// second click of a double click included, is a press of the device key; the
// window sends it on to the machine, which holds it until the firmware has
// taken it. Reached with Tab, the space bar presses it too.
#pragma once

#include <QPushButton>
#include <functional>

class KeyButton : public QPushButton {
 public:
  using KeyHandler = std::function<void(uint8_t key, bool down)>;

  KeyButton(int controlId, uint8_t key, const QString& text, KeyHandler handler, QWidget* parent = nullptr);
  int controlId() const { return controlId_; }
  uint8_t deviceKey() const { return key_; }
  // The same press and release, driven from the PC keyboard.
  void pressFromKeyboard();
  void releaseFromKeyboard();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  int controlId_;
  uint8_t key_;
  KeyHandler handler_;
};
