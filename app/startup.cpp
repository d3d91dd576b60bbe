// Building and tearing down the machine without a window: the firmware
// image, names derived from the executable, the log, and the thread.
#include "app/startup.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

namespace {

// Position just past the folder part of a path (either separator).
size_t FileNameStart(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

// The path without its file name's extension; a dot that starts the file
// name (a hidden file) is not an extension.
std::string WithoutExtension(const std::string& path) {
  size_t start = FileNameStart(path);
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= start) return path;
  return path.substr(0, dot);
}

}  // namespace

std::string FirmwareFileFor(const std::string& executablePath) {
  return WithoutExtension(executablePath) + ".tm650.bin";
}

std::string LogFileNameFor(const std::string& executablePath) {
  std::string stem = WithoutExtension(executablePath);
  return stem.substr(FileNameStart(stem)) + ".log";
}

bool ReadFirmwareFile(const std::string& path, std::vector<uint8_t>& image, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open firmware image " + path;
    return false;
  }
  image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    error = "cannot read firmware image " + path;
    return false;
  }
  if (image.size() > FIRMWARE_SIZE) {
    error = "firmware image " + path + " is " + std::to_string(image.size()) +
            " bytes; at most 16384 fit at 0xC000-0xFFFF";
    return false;
  }
  return true;
}

void LoadFirmware(Machine& machine, std::span<const uint8_t> image) {
  machine.core.memory.fill(0);
  size_t n = std::min(image.size(), FIRMWARE_SIZE);
  std::copy_n(image.begin(), n, machine.core.memory.begin() + FIRMWARE_BASE);
}

std::FILE* OpenLogFile(const std::string& folder, const std::string& executablePath) {
  if (folder.empty()) return nullptr;
  std::string path = folder;
  if (path.back() != '/' && path.back() != '\\') path += '/';
  path += LogFileNameFor(executablePath);
  return std::fopen(path.c_str(), "wb");
}

void StartEmulation(Machine& machine, EmulationRunner& runner) {
  auto ended = runner.ended;
  runner.thread = std::thread([&machine, ended] {
    EmulationThread(machine);
    ended->store(true);
  });
}

bool StopEmulation(Machine& machine, EmulationRunner& runner, int waitMs) {
  machine.StopFlag.store(1);
  if (!runner.thread.joinable()) return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (!runner.ended->load() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (runner.ended->load()) {
    runner.thread.join();
    return true;
  }
  runner.thread.detach();
  return false;
}
