// Start-up pieces that need no window: the firmware image and the file
// names derived from the executable. The window and the headless runner both
// find their image with these.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "emulator/firmware_map.h"

// The firmware image built into the program; empty when none is.
std::span<const uint8_t> BuiltinFirmware();

// Names derived from the executable's path. Only the file name's own
// extension is replaced (a dot in a folder name is not an extension); without
// one the suffix is appended: /opt/tm650e.exe -> /opt/tm650e.tm650.bin,
// ~/.local/bin/tm650e -> ~/.local/bin/tm650e.tm650.bin.
std::string FirmwareFileFor(const std::string& executablePath);
// The log's file name (no folder): tm650e.exe -> tm650e.log.
std::string LogFileNameFor(const std::string& executablePath);

// What File > Log File says: where the printed lines go (`path` as the
// system writes paths), or, with `error`, why they are not being logged.
std::string LogFileNotice(const std::string& path, const std::string& error);

// Reads a firmware file. Shorter than 16384 bytes is fine (the rest stays 0);
// longer, missing, not a regular file or unreadable gives false with a
// message in `error` (the name in UTF-8). The size is checked before
// anything is read.
bool ReadFirmwareFile(const std::filesystem::path& path, std::vector<uint8_t>& image, std::string& error);

