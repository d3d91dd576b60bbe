// Carries the emulation thread's calls over to the window on the GUI thread
// and waits until each has been carried out, as a message sent to a window
// would. Detaching (when the window goes) releases a call that is waiting, so
// shutdown never waits on a thread that waits on the window.
//
// The bridge outlives everything: the machine keeps a pointer to it, and the
// emulation thread may still run after the window has gone.
#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "emulator/host.h"

class HostBridge final : public Host {
 public:
  HostBridge();  // on the GUI thread
  // The window that carries the calls out; from now on WindowExists() is true.
  void attach(Host* window);
  // The window is going: WindowExists() turns false and a waiting call returns.
  void detach();

  bool WindowExists() const override;
  void Lamps(uint8_t port2) override;
  void DisplayByte(uint8_t byte, uint8_t sideBIn) override;
  void Beep() override;
  void SetPowerCaption(const char* text) override;
  void PaperAppend(const char* text, size_t length) override;
  void PaperClear() override;
  void Stopped(StopReason reason, uint16_t pc, uint8_t opcode) override;

 private:
  void call(const std::function<void(Host&)>& action);

  QObject gui_;  // lives on the GUI thread; the calls are queued to it
  std::atomic<Host*> window_{nullptr};
  std::mutex mutex_;
  std::condition_variable done_;
};
