// The session log: earlier sessions kept a few generations back, a folder
// made when missing, and a folder that cannot hold a log told with where and
// why. A failed write is the machine's test.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <vector>

#include "emulator/session_log.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

class LogFile : public ::testing::Test {
 protected:
#ifndef _WIN32
  // A folder in which no file can be made. Permissions do not stop root,
  // but the kernel's own /sys refuses everyone. (Wine runs as root and has
  // no such folder.)
  fs::path ReadOnlyFolder() {
    if (::geteuid() == 0) return "/sys";
    fs::create_directory(dir / "read-only");
    fs::permissions(dir / "read-only", fs::perms::owner_read | fs::perms::owner_exec);
    return dir / "read-only";
  }
#endif
  ScratchDir dir;
};

// Sessions keeping two earlier logs, in a folder that first has to be made:
// each starts empty with the earlier ones moved back, the oldest gone; a
// session that printed nothing pushes none of them out.
TEST_F(LogFile, EachSessionStartsAfreshAndKeepsTheEarlierOnesThatHoldPaper) {
  const fs::path folder = dir / "Documents" / "Knitting";
  const std::string sessions[] = {"first\r\n", "", "second\r\n", "", "", "third\r\n", "fourth\r\n"};
  std::vector<std::string> earlier;  // the latest first
  for (const std::string& paper : sessions) {
    SessionLog log = OpenSessionLog(folder, "tm650e.log", 2);
    ASSERT_NE(log.stream, nullptr) << log.error;
    EXPECT_EQ(log.path, folder / "tm650e.log");
    EXPECT_EQ(Slurp(log.path), "");
    for (size_t back = 1; back <= 3; ++back)
      EXPECT_EQ(Slurp(LogGeneration(folder, "tm650e.log", int(back))), back <= std::min<size_t>(earlier.size(), 2) ? earlier[back - 1] : "")
          << "before " << paper << ", generation " << back;
    if (!paper.empty()) {
      EXPECT_EQ(WriteSessionLog(log, paper), LogWrite::Written);
      EXPECT_EQ(Slurp(log.path), paper) << "flushed at once";
      earlier.insert(earlier.begin(), paper);
    }
    CloseSessionLog(log);
  }
  EXPECT_FALSE(fs::exists(folder / "tm650e.3.log"));
}

// When the log cannot move back (a folder holds the next name), the new
// session is added after it rather than emptying it.
TEST_F(LogFile, ALogThatCannotMoveBackIsAddedTo) {
  fs::create_directories(dir / "tm650e.1.log" / "busy");
  Spill(dir / "tm650e.log", "earlier\r\n");
  SessionLog log = OpenSessionLog(dir.path, "tm650e.log", 1);
  EXPECT_EQ(WriteSessionLog(log, "later\r\n"), LogWrite::Written);
  CloseSessionLog(log);
  EXPECT_EQ(Slurp(dir / "tm650e.log"), "earlier\r\nlater\r\n");
}

TEST_F(LogFile, AFolderThatCannotHoldALogSaysWhereAndWhy) {
  Spill(dir / "a file", "x");
  struct Case {
    fs::path folder;
    std::string says;
  };
  const Case cases[] = {
      {dir / "a file" / "logs", "cannot create its folder: Not a directory"},
#ifndef _WIN32
      {ReadOnlyFolder(), "cannot be opened: Permission denied"},
#endif
  };
  for (const Case& c : cases) {
    SessionLog log = OpenSessionLog(c.folder, "tm650e.log");
    EXPECT_EQ(log.stream, nullptr);
    EXPECT_EQ(log.error, (c.folder / "tm650e.log").string() + ": " + c.says);
    EXPECT_EQ(WriteSessionLog(log, "line\r\n"), LogWrite::Off);
  }
}

}  // namespace
