#include "emulator/keeping.h"

#include "emulator/machine_state.h"

DeviceKeeping::DeviceKeeping(Machine& machine, std::filesystem::path path, bool keep)
    : machine_(machine), path_(std::move(path)), keep_(keep) {
  if (!path_.empty()) machine_.atRest = [this] { return AtRest(); };
}

DeviceKeeping::~DeviceKeeping() {
  MachineStop(machine_);
  machine_.atRest = nullptr;
  StopSaves();
}

std::string DeviceKeeping::Restore() {
  if (path_.empty() || !keep_) return {};
  const StateFileResult result = LoadMachineState(machine_, path_);
  if (result.ok() || result.status == StateFileStatus::Missing) return {};
  return "Started afresh: " + result.message;
}

std::string DeviceKeeping::KeepAtExit() {
  StopSaves();  // a save at rest still being written lands before this one
  if (path_.empty()) return {};
  if (!keep_) {
    RemoveStateFile(path_);
    return {};
  }
  const StateFileResult result = SaveMachineState(machine_, path_);
  if (result.ok()) return {};
  return "The device could not be kept for the next run:\n" + result.message;
}

std::string DeviceKeeping::KeepNow() {
  MachineStop(machine_);
  std::string message = KeepAtExit();
  MachineStart(machine_);
  return message;
}

// On the machine's thread, the device at rest: the snapshot is taken here
// and handed to the saver.
bool DeviceKeeping::AtRest() {
  if (!keep_ || failed_) return false;
  std::vector<StateSection> sections = MachineStateSections(machine_);
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(sections);
    waiting_ = true;
    if (!saver_.joinable()) saver_ = std::thread(&DeviceKeeping::WriteSnapshots, this);
  }
  wake_.notify_all();
  return true;
}

// Writes the snapshots handed to it until told to stop with nothing left to
// write. A failure is told once and ends the saves at rest.
void DeviceKeeping::WriteSnapshots() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return waiting_ || stop_; });
    if (!waiting_) return;
    std::vector<StateSection> sections = std::move(pending_);
    waiting_ = false;
    lock.unlock();
    const StateFileResult result = SaveStateFile(path_, MachineKey(machine_), sections);
    if (!result.ok() && !failed_.exchange(true)) {
      Event event;
      event.kind = EventKind::StateFailed;
      event.text = result.message;
      machine_.Tell(std::move(event));
    }
    lock.lock();
  }
}

// Lets the saver write what it holds, then ends its thread; the next rest
// starts another.
void DeviceKeeping::StopSaves() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (saver_.joinable()) saver_.join();
  std::lock_guard lock(mutex_);
  stop_ = false;
}
