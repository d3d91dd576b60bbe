// A shell for tests: attaches to a machine, keeps its own view current from
// the events it drains, and waits (without sleeping) for a condition.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/machine.h"

class MachineWatch {
 public:
  explicit MachineWatch(Machine& machine) : machine_(machine) {
    view_ = MachineAttach(machine_, [this] {
      std::lock_guard lock(mutex_);
      signalled_ = true;
      wake_.notify_all();
    });
  }
  ~MachineWatch() { MachineDetach(machine_); }
  MachineWatch(const MachineWatch&) = delete;
  MachineWatch& operator=(const MachineWatch&) = delete;

  // Drains until `done` holds for the view, or the timeout passes.
  bool WaitFor(const std::function<bool(const DeviceView&)>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        signalled_ = false;
      }
      Drain();
      if (done(view_)) return true;
      std::unique_lock lock(mutex_);
      if (!wake_.wait_until(lock, deadline, [&] { return signalled_; })) return false;
    }
  }

  void Drain() {
    std::vector<Event> fresh;
    MachineDrain(machine_, fresh);
    for (Event& event : fresh) {
      ApplyEvent(view_, event);
      if (event.kind == EventKind::Display) shown_.push_back(Shown(event.digits));
      events_.push_back(std::move(event));
    }
  }

  static std::string Shown(const DigitState& digits) {
    std::string text;
    for (uint8_t digit : digits.digit) text += DigitCharacter(digit);
    return text;
  }

  const DeviceView& view() const { return view_; }
  const std::vector<Event>& events() const { return events_; }
  const std::vector<std::string>& shown() const { return shown_; }  // every display, in order

 private:
  Machine& machine_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool signalled_ = false;
  DeviceView view_;
  std::vector<Event> events_;
  std::vector<std::string> shown_;
};
