// The session log of printed lines. Opening keeps the earlier sessions' logs
// that hold paper (name.log becomes name.1.log, and so on back) and creates the folder when it
// is missing; writing flushes every line, and the first failure is reported
// once, after which the log is left alone while the paper keeps everything.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

constexpr int LOG_GENERATIONS_KEPT = 3;  // earlier logs kept beside the current one

struct SessionLog {
  std::FILE* stream = nullptr;  // none: no log, `error` says why
  std::filesystem::path path;   // where the log is, or would have been
  std::string error;            // one line, "<path>: <what failed>: <why>"; empty while all is well
};

// The file of an earlier session: generation 0 is `fileName` itself,
// generation n of "tm650e.log" is "tm650e.n.log".
std::filesystem::path LogGeneration(const std::filesystem::path& folder, const std::string& fileName,
                                    int generation);

// Creates the folder when missing, moves the earlier logs one generation
// back (dropping the one beyond `kept`; an empty log stays where it is) and
// opens a new, empty log. A log
// that cannot be moved back is appended to instead, so nothing is lost.
SessionLog OpenSessionLog(const std::filesystem::path& folder, const std::string& fileName,
                          int kept = LOG_GENERATIONS_KEPT);

enum class LogWrite {
  Written,
  Failed,  // this write failed, the first to: tell the user `error`, once
  Off,     // no log, or an earlier failure: nothing was written
};

// Writes the text as it is (the caller's line ends) and flushes it.
LogWrite WriteSessionLog(SessionLog& log, std::string_view text);

void CloseSessionLog(SessionLog& log);
