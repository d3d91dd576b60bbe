// PC keys to device keys, and the release of held keys.
#include "frontpanel/keyboard_router.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QWidget>

#include "frontpanel/face_view.h"
#include "frontpanel/help.h"
#include "frontpanel/key_button.h"
#include "frontpanel/keyboard_map.h"
#include "resources/ids.h"

namespace {

bool IsModifierKey(int key) {
  switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
      return true;
    default:
      return false;
  }
}

// The key's place on the keyboard, which stays the same whatever Shift or
// the layout make of it; the key code only where the platform gives neither.
uint64_t PhysicalKey(const QKeyEvent& event) {
  if (event.nativeScanCode()) return event.nativeScanCode();
  if (event.nativeVirtualKey()) return (uint64_t{1} << 32) | event.nativeVirtualKey();
  return (uint64_t{2} << 32) | static_cast<uint32_t>(event.key());
}

}  // namespace

KeyboardRouter::KeyboardRouter(QWidget* window, FaceView* face, Hooks hooks)
    : QObject(window), window_(window), face_(face), hooks_(std::move(hooks)) {
  qApp->installEventFilter(this);
}

KeyboardRouter::~KeyboardRouter() { qApp->removeEventFilter(this); }

// A device key is held once: a second press of it (the mouse and a PC key,
// or two PC keys for one device key) sends nothing until it is let go.
void KeyboardRouter::keyChanged(uint8_t key, bool down) {
  if (down) {
    if (!held_.insert(key).second) return;
  } else if (held_.erase(key) == 0) {
    return;  // already let go (focus lost or a menu opened meanwhile)
  }
  hooks_.send(key, down);
}

// A key let go while another window or a popup has the mouse or keyboard
// never reports its release here: the device's key would stay held.
void KeyboardRouter::releaseHeldKeys() {
  for (const auto& [physical, button] : heldFromKeyboard_) button->setDown(false);
  heldFromKeyboard_.clear();
  for (uint8_t key : std::set<uint8_t>(held_)) keyChanged(key, false);
}

void KeyboardRouter::stop() {
  stopped_ = true;
  releaseHeldKeys();
}

bool KeyboardRouter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::WindowDeactivate) releaseHeldKeys();
  // A menu, a dialog or a message box takes the mouse and keyboard: the
  // releases would go to it.
  if (event->type() == QEvent::Show && watched != window_ && watched->isWidgetType()) {
    const auto* shown = static_cast<QWidget*>(watched);
    if (shown->isWindow() && shown->windowType() != Qt::ToolTip) releaseHeldKeys();
  }
  const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
  const bool isOverride = event->type() == QEvent::ShortcutOverride;
  if (!(isKey || isOverride) || stopped_) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != window_) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (isOverride) {
    // F1 over a control with a topic is that topic's key, not Help Contents'.
    const bool topicKey = key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && helpUnderMouse();
    if (topicKey) event->accept();
    return topicKey;
  }
  return handlePcKey(key);
}

// A mapped PC key holds its device key until that same key on the keyboard
// is released, whatever it reads as by then; the keyboard's own repeats are
// swallowed so that holding a key is one press. A modifier pressed or let go
// lets every held key go: what the keys mean has changed under them.
bool KeyboardRouter::handlePcKey(QKeyEvent* event) {
  if (IsModifierKey(event->key())) {
    releaseHeldKeys();
    return false;
  }
  const bool press = event->type() == QEvent::KeyPress;
  if (press && event->key() == Qt::Key_F1) {
    showHelpUnderMouse();
    return true;
  }
  const uint64_t physical = PhysicalKey(*event);
  return press ? pressPcKey(event, physical) : releasePcKey(event, physical);
}

bool KeyboardRouter::releasePcKey(QKeyEvent* event, uint64_t physical) {
  const auto held = heldFromKeyboard_.find(physical);
  if (held == heldFromKeyboard_.end()) return ControlForPcKey(event->key()) != 0;
  if (event->isAutoRepeat()) return true;
  KeyButton* button = held->second;
  heldFromKeyboard_.erase(held);
  button->releaseFromKeyboard();
  return true;
}

bool KeyboardRouter::pressPcKey(QKeyEvent* event, uint64_t physical) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  if (ControlForPcKey(event->key()) == IDC_PAPER_FEED) {  // a button, not a key of the device
    if (!event->isAutoRepeat()) hooks_.paperFeed();
    return true;
  }
  KeyButton* button = face_->key(ControlForPcKey(event->key()));
  if (!button) return false;
  if (event->isAutoRepeat() || heldFromKeyboard_.contains(physical)) return true;
  heldFromKeyboard_.emplace(physical, button);
  button->pressFromKeyboard();
  return true;
}

bool KeyboardRouter::helpUnderMouse() const { return !HelpTopicHtml(face_->controlIdAt(QCursor::pos())).isEmpty(); }

// Over a numbered control: its topic. Over a label or frame: nothing.
void KeyboardRouter::showHelpUnderMouse() {
  const QPoint position = QCursor::pos();
  if (const int id = face_->controlIdAt(position)) ShowHelpPopup(id, position, window_);
}
