// Keeping the device between runs, the one policy every shell follows. The
// kept device is restored at start; while the program runs it is kept each
// time the device comes to rest after its paper changed (the snapshot taken
// on the machine's thread, the file written on a thread of this unit's own);
// and it is kept at exit, or when the session ends under the program. With
// keeping turned off nothing is restored or written, and the file goes at
// exit. A shell says only where the file lives and stores the setting.
#pragma once

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/machine.h"

class DeviceKeeping {
 public:
  // After MachineInit, before MachineStart. With `path` empty there is
  // nowhere to keep the device, and nothing is kept.
  DeviceKeeping(Machine& machine, std::filesystem::path path, bool keep);
  // Stops the machine's thread, then the saves'.
  ~DeviceKeeping();
  DeviceKeeping(const DeviceKeeping&) = delete;
  DeviceKeeping& operator=(const DeviceKeeping&) = delete;

  // Before MachineStart: the kept device. Empty when it was restored or
  // none was kept; else the one-line notice of why the device starts afresh.
  std::string Restore();
  // The user's setting, taken up at once by the saves at rest and at exit.
  void SetKeep(bool keep) { keep_ = keep; }
  bool keep() const { return keep_; }
  // With the machine's thread stopped: keeps the device for the next run,
  // or removes the kept one when keeping is off. Empty when done; else the
  // message to show.
  std::string KeepAtExit();
  // The session is ending and may end the program without asking again:
  // the device is kept now, and runs on.
  std::string KeepNow();

 private:
  bool AtRest();
  void WriteSnapshots();
  void StopSaves();

  Machine& machine_;
  const std::filesystem::path path_;
  std::atomic<bool> keep_;
  std::atomic<bool> failed_{false};  // told once; no more saves at rest

  // The saves at rest: one write at a time, the newest snapshot replacing
  // one not yet written.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<StateSection> pending_;
  bool waiting_ = false;  // `pending_` holds a snapshot not yet written
  bool stop_ = false;
  std::thread saver_;
};
