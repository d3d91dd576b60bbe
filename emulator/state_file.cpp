// The state file: named sections of bytes behind a header that names the
// format and the firmware, closed by a checksum over everything. Saving goes
// through a temporary file and a rename, so a crash or a full disk leaves the
// previous file whole.
#include "emulator/state_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Layout, every number little-endian:
//    0  magic
//    8  u32 format version
//   12  u32 section count
//   16  u64 length of the whole file
//   24  u64 firmware hash
//   32  the sections, each: u32 name length, the name, u64 byte count, the bytes
//  end  u64 checksum: StateHash of every byte before it
// The magic and the version stay where they are in every format to come.
constexpr std::array<uint8_t, 8> MAGIC = {'T', 'M', '6', '5', '0', 'S', 'T', 0x1A};
constexpr size_t VERSION_AT = 8, COUNT_AT = 12, LENGTH_AT = 16, FIRMWARE_AT = 24, HEADER_BYTES = 32;
constexpr size_t CHECKSUM_BYTES = 8;
constexpr size_t SECTION_FRAMING_BYTES = 12;

// ------------------------------------------------------------------ bytes

void Put(std::vector<uint8_t>& out, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t Get(std::span<const uint8_t> in, size_t at, size_t bytes) {
  uint64_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value |= uint64_t{in[at + i]} << (8 * i);
  return value;
}

// Reads the sections one field at a time; every read is checked against
// what is left, so a damaged length can never reach past the buffer.
struct Reader {
  std::span<const uint8_t> in;
  size_t at = 0;

  size_t left() const { return in.size() - at; }
  bool number(uint64_t& value, size_t bytes) {
    if (left() < bytes) return false;
    value = Get(in, at, bytes);
    at += bytes;
    return true;
  }
  bool bytes(uint64_t count, std::span<const uint8_t>& out) {
    if (left() < count) return false;
    out = in.subspan(at, static_cast<size_t>(count));
    at += static_cast<size_t>(count);
    return true;
  }
};

// ---------------------------------------------------------------- results

std::string Shown(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

StateFileResult Failed(StateFileStatus status, const fs::path& path, const std::string& what) {
  return {status, Shown(path) + ": " + what};
}

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

// ---------------------------------------------------------------- writing

bool ValidNames(const std::vector<StateSection>& sections) {
  std::set<std::string_view> seen;
  for (const StateSection& section : sections)
    if (section.name.size() > STATE_NAME_MAX || !seen.insert(section.name).second) return false;
  return true;
}

std::vector<uint8_t> Serialise(uint64_t firmwareHash, const std::vector<StateSection>& sections) {
  std::vector<uint8_t> out(MAGIC.begin(), MAGIC.end());
  Put(out, STATE_FORMAT_VERSION, 4);
  Put(out, sections.size(), 4);
  Put(out, 0, 8);  // the length, filled in below
  Put(out, firmwareHash, 8);
  for (const StateSection& section : sections) {
    Put(out, section.name.size(), 4);
    out.insert(out.end(), section.name.begin(), section.name.end());
    Put(out, section.bytes.size(), 8);
    out.insert(out.end(), section.bytes.begin(), section.bytes.end());
  }
  const uint64_t length = out.size() + CHECKSUM_BYTES;
  for (size_t i = 0; i < 8; ++i) out[LENGTH_AT + i] = static_cast<uint8_t>(length >> (8 * i));
  Put(out, StateHash(out), 8);
  return out;
}

// The file a save writes: the path itself or, through any symlinks, the file
// they name (created when it is not there yet). Anything but a regular file
// or nothing is refused: a save must never turn a pipe, a device or a folder
// into a plain file, nor replace a link with a copy.
std::string SaveTarget(const fs::path& path, fs::path& target) {
  constexpr int LINKS_MAX = 40;
  target = path;
  for (int links = 0;; ++links) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (status.type() == fs::file_type::not_found) return {};
    if (error) return error.message();
    switch (status.type()) {
      case fs::file_type::regular: return {};
      case fs::file_type::symlink: break;
      case fs::file_type::directory: return "it is a folder, not a regular file";
      case fs::file_type::fifo: return "it is a pipe, not a regular file";
      case fs::file_type::block:
      case fs::file_type::character: return "it is a device, not a regular file";
      default: return "it is not a regular file";
    }
    if (links == LINKS_MAX) return "too many levels of symbolic links";
    const fs::path link = fs::read_symlink(target, error);
    if (error) return error.message();
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
}

#ifdef _WIN32
// The C runtime mingw links against knows no "x" mode.
std::FILE* CreateExclusive(const fs::path& path) {
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  return fd < 0 ? nullptr : _fdopen(fd, "wb");
}
// Windows refuses to delete a file another handle holds open, so a save
// in progress keeps its temporary file without a lock of its own.
bool ClaimTemporary(std::FILE*) { return true; }
bool AbandonedTemporary(const fs::path&) { return true; }
#else
std::FILE* CreateExclusive(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
}

// A save holds a lock on its temporary file until it is renamed, and the
// system lets go of it when the process dies: a file nobody holds is left
// over from a save that was cut short. True when this save holds the file
// it created, still under its name (a cleaner may have taken it first).
bool ClaimTemporary(std::FILE* file) {
  struct stat info {};
  return ::flock(fileno(file), LOCK_EX | LOCK_NB) == 0 && ::fstat(fileno(file), &info) == 0 && info.st_nlink > 0;
}

bool AbandonedTemporary(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool abandoned = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return abandoned;
}
#endif

int SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file));
#else
  return fsync(fileno(file));
#endif
}

// "<name>.<hex>-<hex>.tmp": the names CreateTemporaryBeside gives `name`.
bool IsTemporaryOf(const std::string& entry, const std::string& name) {
  const std::string_view tail = ".tmp";
  if (entry.size() <= name.size() + 1 + tail.size() || entry.compare(0, name.size(), name) != 0 ||
      entry[name.size()] != '.' || !entry.ends_with(tail))
    return false;
  const std::string_view middle(entry.data() + name.size() + 1, entry.size() - name.size() - 1 - tail.size());
  const size_t dash = middle.find('-');
  auto hex = [](std::string_view digits) {
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
  };
  return dash != std::string_view::npos && hex(middle.substr(0, dash)) && hex(middle.substr(dash + 1));
}

// Temporary files of saves that were cut short (a crash, a kill) go at the
// next save; one that another save is still writing stays.
void RemoveAbandonedTemporaries(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string name = target.filename().string();
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path entry = it->path();
    if (IsTemporaryOf(entry.filename().string(), name) && AbandonedTemporary(entry)) {
      std::error_code ignored;
      fs::remove(entry, ignored);
    }
  }
}

// A name no other save, in this process or another, is using at the moment.
std::FILE* CreateTemporaryBeside(const fs::path& path, fs::path& temporary) {
  static std::atomic<uint64_t> counter{0};
  const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%llx-%llx.tmp", static_cast<unsigned long long>(now),
                  static_cast<unsigned long long>(counter++));
    temporary = path;
    temporary += suffix;
    std::FILE* file = CreateExclusive(temporary);
    if (file != nullptr && ClaimTemporary(file)) return file;
    if (file != nullptr) {
      std::fclose(file);
      continue;
    }
    if (errno != EEXIST) break;
  }
  return nullptr;
}

// Returns why it failed, or nothing.
std::string WriteToDisk(std::FILE* out, std::span<const uint8_t> bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fflush(out) != 0 ||
      SyncToDisk(out) != 0)
    return Reason(errno);
  return {};
}

// std::filesystem::rename replaces the target on every system, but on
// Windows only an explicit write-through move is sure to reach the disk
// before it returns.
std::string ReplaceWith(const fs::path& temporary, const fs::path& path) {
#ifdef _WIN32
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return std::system_category().message(static_cast<int>(GetLastError()));
#else
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return Reason(errno);
#endif
  return {};
}

// The rename itself is only lasting once the folder is on disk too. A
// failure here loses nothing that was there before, so it is not reported.
void SyncFolderOf(const fs::path& path) {
#ifndef _WIN32
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  (void)fsync(fd);
  ::close(fd);
#else
  (void)path;
#endif
}

// Windows renames only a closed file. Elsewhere the temporary file stays
// open, and so locked, until it has its final name: a cleaner never takes a
// save's file between its close and its rename.
StateFileResult WriteAtomically(const fs::path& path, std::span<const uint8_t> bytes) {
  fs::path target;
  if (std::string refused = SaveTarget(path, target); !refused.empty())
    return Failed(StateFileStatus::Unsaved, path, "cannot be saved: " + refused);
  RemoveAbandonedTemporaries(target);
  fs::path temporary;
  errno = 0;
  std::FILE* out = CreateTemporaryBeside(target, temporary);
  if (out == nullptr) return Failed(StateFileStatus::Unsaved, path, "cannot be saved: " + Reason(errno));
  std::string why = WriteToDisk(out, bytes);
#ifdef _WIN32
  const bool closed = std::fclose(out) == 0;
  out = nullptr;
  if (!closed && why.empty()) why = Reason(errno);
#endif
  if (why.empty()) why = ReplaceWith(temporary, target);
  if (out != nullptr) std::fclose(out);  // the data is on disk already
  if (!why.empty()) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return Failed(StateFileStatus::Unsaved, path, "cannot be saved: " + why);
  }
  SyncFolderOf(target);
  return {};
}

// ---------------------------------------------------------------- reading

StateFileResult ReadWholeFile(const fs::path& path, std::vector<uint8_t>& file) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return Failed(StateFileStatus::Missing, path, "not found");
  if (error) return Failed(StateFileStatus::Unreadable, path, "cannot be read: " + error.message());
  if (!fs::is_regular_file(status)) return Failed(StateFileStatus::Unreadable, path, "not a regular file");
  const uintmax_t size = fs::file_size(path, error);
  if (error) return Failed(StateFileStatus::Unreadable, path, "cannot be read: " + error.message());
  if (size > STATE_FILE_MAX_BYTES) return Failed(StateFileStatus::Corrupt, path, "too large to be a state file");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failed(StateFileStatus::Unreadable, path, "cannot be read: " + Reason(errno));
  file.resize(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(size));
  if (static_cast<uintmax_t>(in.gcount()) != size)
    return Failed(StateFileStatus::Unreadable, path, "cannot be read: it changed while being read");
  return {};
}

// Magic, version, length, checksum and firmware, in the order that names the
// fault best: another version's layout may differ past the version field.
StateFileResult CheckFrame(const fs::path& path, std::span<const uint8_t> file, uint64_t firmwareHash) {
  const size_t size = file.size();
  const size_t magicBytes = std::min(size, MAGIC.size());
  if (!std::equal(file.begin(), file.begin() + static_cast<ptrdiff_t>(magicBytes), MAGIC.begin()))
    return Failed(StateFileStatus::Corrupt, path, "not a state file");
  if (size < COUNT_AT) return Failed(StateFileStatus::Truncated, path, "truncated");
  const uint64_t version = Get(file, VERSION_AT, 4);
  if (version != STATE_FORMAT_VERSION)
    return Failed(StateFileStatus::OtherVersion, path,
                  "written by another version (state format " + std::to_string(version) + ", this program reads " +
                      std::to_string(STATE_FORMAT_VERSION) + ")");
  if (size < HEADER_BYTES + CHECKSUM_BYTES) return Failed(StateFileStatus::Truncated, path, "truncated");
  const uint64_t length = Get(file, LENGTH_AT, 8);
  if (size < length)
    return Failed(StateFileStatus::Truncated, path,
                  "truncated (" + std::to_string(size) + " of " + std::to_string(length) + " bytes)");
  if (size > length) return Failed(StateFileStatus::Corrupt, path, "corrupt (longer than written)");
  if (Get(file, size - CHECKSUM_BYTES, 8) != StateHash(file.first(size - CHECKSUM_BYTES)))
    return Failed(StateFileStatus::Corrupt, path, "corrupt (checksum mismatch)");
  if (const uint64_t madeWith = Get(file, FIRMWARE_AT, 8); madeWith != firmwareHash) {
    StateFileResult other = Failed(StateFileStatus::OtherFirmware, path, "made with another firmware");
    other.firmware = madeWith;
    return other;
  }
  return {};
}

bool ReadSection(Reader& reader, StateSection& section) {
  uint64_t nameBytes = 0, count = 0;
  std::span<const uint8_t> name, bytes;
  if (!reader.number(nameBytes, 4) || nameBytes > STATE_NAME_MAX || !reader.bytes(nameBytes, name)) return false;
  if (!reader.number(count, 8) || !reader.bytes(count, bytes)) return false;
  section.name.assign(name.begin(), name.end());
  section.bytes.assign(bytes.begin(), bytes.end());
  return true;
}

// Only a file whose checksum matched gets here, so a false is a fault of the
// writer, not of the disk.
bool ReadSections(std::span<const uint8_t> file, std::vector<StateSection>& sections) {
  Reader reader{file.subspan(HEADER_BYTES, file.size() - HEADER_BYTES - CHECKSUM_BYTES)};
  const uint64_t count = Get(file, COUNT_AT, 4);
  if (count > reader.left() / SECTION_FRAMING_BYTES) return false;
  sections.resize(static_cast<size_t>(count));
  for (StateSection& section : sections)
    if (!ReadSection(reader, section)) return false;
  return reader.left() == 0 && ValidNames(sections);
}

}  // namespace

uint64_t StateHash(std::span<const uint8_t> bytes) {
  uint64_t hash = 0xCBF29CE484222325;
  for (uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3;
  return hash;
}

void RemoveStateFile(const fs::path& path) {
  fs::path target;
  std::error_code ignored;
  if (SaveTarget(path, target).empty()) fs::remove(target, ignored);
}

StateFileResult SaveStateFile(const fs::path& path, uint64_t firmwareHash, const std::vector<StateSection>& sections) {
  if (!ValidNames(sections))
    return Failed(StateFileStatus::Unsaved, path, "cannot be saved: section names repeat or are too long");
  const std::vector<uint8_t> file = Serialise(firmwareHash, sections);
  if (file.size() > STATE_FILE_MAX_BYTES) return Failed(StateFileStatus::Unsaved, path, "cannot be saved: too large");
  return WriteAtomically(path, file);
}

StateFileResult LoadStateFile(const fs::path& path, uint64_t firmwareHash, std::vector<StateSection>& sections) {
  std::vector<uint8_t> file;
  if (StateFileResult read = ReadWholeFile(path, file); !read.ok()) return read;
  return DecodeStateFile(file, firmwareHash, sections, path);
}

std::vector<uint8_t> EncodeStateFile(uint64_t firmwareHash, const std::vector<StateSection>& sections) {
  return Serialise(firmwareHash, sections);
}

StateFileResult DecodeStateFile(std::span<const uint8_t> bytes, uint64_t firmwareHash,
                                std::vector<StateSection>& sections, const fs::path& name) {
  if (StateFileResult framed = CheckFrame(name, bytes, firmwareHash); !framed.ok()) return framed;
  std::vector<StateSection> found;
  if (!ReadSections(bytes, found)) return Failed(StateFileStatus::Corrupt, name, "corrupt (sections do not add up)");
  sections = std::move(found);
  return {};
}

const StateSection* FindStateSection(const std::vector<StateSection>& sections, std::string_view name) {
  auto found = std::find_if(sections.begin(), sections.end(),
                            [name](const StateSection& section) { return section.name == name; });
  return found == sections.end() ? nullptr : &*found;
}
