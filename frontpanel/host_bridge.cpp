// The synchronous hop from the emulation thread to the GUI thread.
#include "frontpanel/host_bridge.h"

#include <QThread>
#include <memory>
#include <string>

HostBridge::HostBridge() = default;

void HostBridge::attach(Host* window) {
  std::lock_guard lock(mutex_);
  window_ = window;
}

void HostBridge::detach() {
  {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
  }
  done_.notify_all();
}

bool HostBridge::WindowExists() const { return window_.load() != nullptr; }

// Runs the action on the GUI thread and waits for it, or until the window is
// detached. The action itself checks again there: by the time it runs, the
// window may have gone.
void HostBridge::call(const std::function<void(Host&)>& action) {
  if (!WindowExists()) return;
  if (QThread::currentThread() == gui_.thread()) {
    if (Host* window = window_.load()) action(*window);
    return;
  }
  auto finished = std::make_shared<bool>(false);
  QMetaObject::invokeMethod(
      &gui_,
      [this, action, finished] {
        if (Host* window = window_.load()) action(*window);
        {
          std::lock_guard lock(mutex_);
          *finished = true;
        }
        done_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return *finished || window_.load() == nullptr; });
}

void HostBridge::Lamps(uint8_t port2) {
  call([port2](Host& window) { window.Lamps(port2); });
}

void HostBridge::DisplayByte(uint8_t byte, uint8_t sideBIn) {
  call([byte, sideBIn](Host& window) { window.DisplayByte(byte, sideBIn); });
}

void HostBridge::Beep() {
  call([](Host& window) { window.Beep(); });
}

void HostBridge::SetPowerCaption(const char* text) {
  std::string caption(text);
  call([caption](Host& window) { window.SetPowerCaption(caption.c_str()); });
}

// The text is only read while this thread waits, so it need not be copied.
void HostBridge::PaperAppend(const char* text, size_t length) {
  call([text, length](Host& window) { window.PaperAppend(text, length); });
}

void HostBridge::PaperClear() {
  call([](Host& window) { window.PaperClear(); });
}

void HostBridge::Stopped(StopReason reason, uint16_t pc, uint8_t opcode) {
  call([=](Host& window) { window.Stopped(reason, pc, opcode); });
}
