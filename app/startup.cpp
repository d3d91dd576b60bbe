// Start-up pieces without a window: the firmware image and the names
// derived from the executable.
#include "app/startup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

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

std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

std::string FirmwareFileFor(const std::string& executablePath) {
  return WithoutExtension(executablePath) + ".tm650.bin";
}

std::string LogFileNameFor(const std::string& executablePath) {
  std::string stem = WithoutExtension(executablePath);
  return stem.substr(FileNameStart(stem)) + ".log";
}

std::string LogFileNotice(const std::string& path, const std::string& error) {
  if (error.empty())
    return "Every printed line is also written to\n" + path +
           "\n\nThe logs of the three sessions before are kept beside it (.1.log to .3.log).";
  return "Printed lines are not being logged:\n" + error +
         "\n\nThe paper pane keeps every line; File > Save Paper As saves it.";
}

bool ReadFirmwareFile(const std::filesystem::path& path, std::vector<uint8_t>& image, std::string& error) {
  const std::string name = Utf8Name(path);
  std::error_code code;
  const auto status = std::filesystem::status(path, code);
  if (code || !std::filesystem::exists(status)) {
    error = "cannot open firmware image " + name + ": no such file";
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = "firmware image " + name + " is not a regular file";
    return false;
  }
  const auto size = std::filesystem::file_size(path, code);
  if (!code && size > FIRMWARE_SIZE) {
    error = "firmware image " + name + " is " + std::to_string(size) +
            " bytes; at most 16384 fit at 0xC000-0xFFFF";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open firmware image " + name;
    return false;
  }
  image.assign(FIRMWARE_SIZE + 1, 0);
  file.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
  if (file.bad()) {
    error = "cannot read firmware image " + name;
    return false;
  }
  image.resize(static_cast<size_t>(file.gcount()));
  if (image.size() > FIRMWARE_SIZE) {  // it grew while being read
    error = "firmware image " + name + " is larger than 16384 bytes";
    return false;
  }
  return true;
}
