// The saved state of a session: named sections of bytes in one versioned
// file, tied to the firmware image it was made with. Written atomically (a
// temporary file beside it, flushed to disk, then renamed over it) and read
// back whole or not at all. A save writes a regular file or the file a
// symlink names, never over a folder, pipe or device, and clears away the
// temporary files of saves that were cut short.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr uint32_t STATE_FORMAT_VERSION = 1;
constexpr uint64_t STATE_FILE_MAX_BYTES = 256u << 20;  // larger is not ours

struct StateSection {
  std::string name;  // unique within a file, at most STATE_NAME_MAX bytes
  std::vector<uint8_t> bytes;
  bool operator==(const StateSection&) const = default;
};
constexpr size_t STATE_NAME_MAX = 255;

enum class StateFileStatus {
  Ok,
  Missing,        // no file: a first run
  Unreadable,     // not a regular file, or the system refused to read it
  Truncated,
  Corrupt,        // not a state file, or damaged
  OtherVersion,   // another state format
  OtherFirmware,  // made with another firmware image
  Unsaved,        // the save failed; the previous file is untouched
  OtherPatching,  // the same firmware, run with its patches where this run has none, or the other way
};

struct StateFileResult {
  StateFileStatus status = StateFileStatus::Ok;
  std::string message;  // one line, "<path>: <what is wrong>"; empty when Ok
  uint64_t firmware = 0;  // OtherFirmware: the firmware hash the file names
  bool ok() const { return status == StateFileStatus::Ok; }
};

// FNV-1a, 64 bits: the firmware image's identity, and the file's checksum.
uint64_t StateHash(std::span<const uint8_t> bytes);

// Refuses duplicate or overlong section names.
StateFileResult SaveStateFile(const std::filesystem::path& path, uint64_t firmwareHash,
                              const std::vector<StateSection>& sections);
// Removes the file a save would write (through any symlinks, which stay);
// a folder, pipe or device of that name is left alone.
void RemoveStateFile(const std::filesystem::path& path);
// On success `sections` holds every section in the order saved; on any
// failure it is left as it was.
StateFileResult LoadStateFile(const std::filesystem::path& path, uint64_t firmwareHash,
                              std::vector<StateSection>& sections);

// The same record as bytes, for a store that is not a file (the web page's
// browser storage); `name` stands for the path in messages.
std::vector<uint8_t> EncodeStateFile(uint64_t firmwareHash, const std::vector<StateSection>& sections);
StateFileResult DecodeStateFile(std::span<const uint8_t> bytes, uint64_t firmwareHash,
                                std::vector<StateSection>& sections, const std::filesystem::path& name);

// The section of that name, or nullptr.
const StateSection* FindStateSection(const std::vector<StateSection>& sections, std::string_view name);
