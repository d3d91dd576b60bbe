// The session log: earlier logs moved one generation back before a new one
// starts, each line flushed as it comes, and the first failure kept as one
// line that says where and why.
#include "emulator/session_log.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Shown(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

std::FILE* OpenFile(const fs::path& path, bool append) {
#ifdef _WIN32
  return _wfopen(path.c_str(), append ? L"ab" : L"wb");
#else
  return std::fopen(path.c_str(), append ? "ab" : "wb");
#endif
}

// Best effort: what cannot move stays, and is appended to.
void MoveGenerationsBack(const fs::path& folder, const std::string& fileName, int kept) {
  std::error_code ignored;
  fs::remove(LogGeneration(folder, fileName, kept), ignored);
  for (int generation = kept - 1; generation >= 0; --generation) {
    const fs::path from = LogGeneration(folder, fileName, generation);
    if (fs::exists(from, ignored)) fs::rename(from, LogGeneration(folder, fileName, generation + 1), ignored);
  }
}

void Fail(SessionLog& log, const std::string& what, const std::string& why) {
  log.error = Shown(log.path) + ": " + what + ": " + why;
}

}  // namespace

fs::path LogGeneration(const fs::path& folder, const std::string& fileName, int generation) {
  if (generation == 0) return folder / fileName;
  const fs::path name(fileName);
  fs::path numbered = name.stem();
  numbered += "." + std::to_string(generation);
  numbered += name.extension();
  return folder / numbered;
}

SessionLog OpenSessionLog(const fs::path& folder, const std::string& fileName, int kept) {
  SessionLog log;
  log.path = folder / fileName;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    Fail(log, "cannot create its folder", error.message());
    return log;
  }
  // The log of a session that printed nothing is simply started again, so
  // empty logs never push out the ones that hold paper.
  const auto size = fs::file_size(log.path, error);
  if (!error && size > 0) MoveGenerationsBack(folder, fileName, kept);
  errno = 0;
  log.stream = OpenFile(log.path, fs::file_size(log.path, error) > 0 && !error);
  if (log.stream == nullptr) Fail(log, "cannot be opened", Reason(errno));
  return log;
}

LogWrite WriteSessionLog(SessionLog& log, std::string_view text) {
  if (log.stream == nullptr) return LogWrite::Off;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), log.stream) == text.size() && std::fflush(log.stream) == 0)
    return LogWrite::Written;
  Fail(log, "cannot be written", Reason(errno));
  std::fclose(log.stream);  // nothing more goes to a log with a hole in it
  log.stream = nullptr;
  return LogWrite::Failed;
}

void CloseSessionLog(SessionLog& log) {
  if (log.stream != nullptr) std::fclose(log.stream);
  log.stream = nullptr;
}
