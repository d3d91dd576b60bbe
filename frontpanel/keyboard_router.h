// The window's keyboard and held keys: PC keys work the device's keys and the
// paper feed, F1 shows the topic of the control under the mouse, and every
// held device key is let go whenever its release could go astray.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <set>

class FaceView;
class KeyButton;
class QKeyEvent;
class QWidget;

class KeyboardRouter : public QObject {
 public:
  struct Hooks {
    std::function<void(uint8_t key, bool down)> send;  // a device key pressed or let go
    std::function<void()> paperFeed;
  };

  // Watches every event for `window`, whose face is `face`.
  KeyboardRouter(QWidget* window, FaceView* face, Hooks hooks);
  ~KeyboardRouter() override;

  // A device key pressed or let go, by the mouse or a PC key.
  void keyChanged(uint8_t key, bool down);
  // Lets every held key go.
  void releaseHeldKeys();
  // The window is closing: the held keys go and no key counts any more.
  void stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool handlePcKey(QKeyEvent* event);
  bool releasePcKey(QKeyEvent* event, uint64_t physical);
  bool pressPcKey(QKeyEvent* event, uint64_t physical);
  bool helpUnderMouse() const;
  void showHelpUnderMouse();

  QWidget* window_;
  FaceView* face_;
  Hooks hooks_;
  std::set<uint8_t> held_;  // device keys down by mouse or PC key
  std::map<uint64_t, KeyButton*> heldFromKeyboard_;  // by the PC key's place on the keyboard
  bool stopped_ = false;
};
