// Start-up and shutdown pieces of the machine that need no window: the
// firmware image, file names derived from the executable, the log file, and
// starting and stopping the emulation thread. The window and the headless
// runner both build the machine with these.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "emulator/machine.h"

// The firmware image built into the program; empty when none is.
std::span<const uint8_t> BuiltinFirmware();

// Names derived from the executable's path. Only the file name's own
// extension is replaced (a dot in a folder name is not an extension); without
// one the suffix is appended: /opt/tm650e.exe -> /opt/tm650e.tm650.bin,
// ~/.local/bin/tm650e -> ~/.local/bin/tm650e.tm650.bin.
std::string FirmwareFileFor(const std::string& executablePath);
// The log's file name (no folder): tm650e.exe -> tm650e.log.
std::string LogFileNameFor(const std::string& executablePath);

// Reads a firmware file. Shorter than 16384 bytes is fine (the rest stays 0);
// longer, missing or unreadable gives false with a message in `error`.
bool ReadFirmwareFile(const std::string& path, std::vector<uint8_t>& image, std::string& error);

// Clears all of memory and copies the image to 0xC000 (at most 16384 bytes).
void LoadFirmware(Machine& machine, std::span<const uint8_t> image);

// Opens (emptying) the log in `folder`; nullptr when it cannot be created.
std::FILE* OpenLogFile(const std::string& folder, const std::string& executablePath);

// The emulation thread, with a record of whether it has ended, so that
// shutdown can wait a bounded time.
struct EmulationRunner {
  std::thread thread;
  std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
};
void StartEmulation(Machine& machine, EmulationRunner& runner);
// Sets StopFlag and waits at most `waitMs` for the thread. Returns true when
// it ended (and was joined); false when it is still running (it is detached:
// the process must end without destroying the Machine).
bool StopEmulation(Machine& machine, EmulationRunner& runner, int waitMs = 100);
