// The state file: sections come back as saved; a file that is missing,
// foreign, damaged or cut short is refused whole with its reason; a save that
// fails leaves nothing behind.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <functional>
#include <tuple>

#include "emulator/state_file.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t FIRMWARE = 0x0123456789ABCDEF;
const std::vector<StateSection> UNTOUCHED = {{"untouched", {0xEE}}};

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class StateFile : public ::testing::Test {
 protected:
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Loads into a vector that must come back unchanged unless all went well.
  StateFileResult Load(const fs::path& path, uint64_t firmware = FIRMWARE) {
    loaded = UNTOUCHED;
    return LoadStateFile(path, firmware, loaded);
  }

  ScratchDir dir;
  const fs::path file = dir / "tm650e.state";
  std::vector<StateSection> loaded;
};

// Saved through a link to a link, as a knitter may keep the file elsewhere:
// the file at the end is replaced, the links stay.
TEST_F(StateFile, SectionsComeBackAsSavedAndASaveReplacesTheLastOne) {
  std::vector<uint8_t> ram(65536);
  for (size_t i = 0; i < ram.size(); ++i) ram[i] = static_cast<uint8_t>(i * 7);
  const std::vector<StateSection> first = {
      {"ram", ram}, {"registers", {1, 2, 3, 4, 5, 6, 7}}, {"empty", {}}, {"Papier \xC3\xBC", Bytes("12.5 cm\r\n")}};
  const std::vector<std::vector<StateSection>> saves = {first, {}, {{"lamps", {0x1F}}}};
#ifdef _WIN32
  const fs::path real = file;  // links need a privilege Windows seldom gives
  const std::vector<std::string> entries = {"tm650e.state"};
#else
  const fs::path real = dir / "tm650e.real";
  fs::create_symlink("link", dir / "tm650e.state");
  fs::create_symlink(real, dir / "link");
  const std::vector<std::string> entries = {"link", "tm650e.real", "tm650e.state"};
#endif
  for (const auto& sections : saves) {
    ASSERT_TRUE(SaveStateFile(file, FIRMWARE, sections).ok());
    ASSERT_TRUE(Load(real).ok());
    EXPECT_EQ(loaded, sections);
    EXPECT_EQ(Entries(), entries) << "no temporary file stays";
#ifndef _WIN32
    EXPECT_TRUE(fs::is_symlink(file) && fs::is_symlink(dir / "link"));
#endif
  }
}

TEST_F(StateFile, AFileThatIsNotASaveOfThisFirmwareIsRefusedWithItsReason) {
  struct Case {
    const char* name;
    std::function<fs::path(std::string&)> prepare;  // changes the saved bytes, gives the path to load
    StateFileStatus status;
    std::string says;
    uint64_t firmware = FIRMWARE;
  };
  const fs::path fifo = dir / "fifo";
  const Case cases[] = {
      {"missing", [&](auto&) { return dir / "none.state"; }, StateFileStatus::Missing, "not found"},
      {"a folder", [&](auto&) { return dir.path; }, StateFileStatus::Unreadable, "not a regular file"},
#ifndef _WIN32
      {"a pipe", [&](auto&) { return ::mkfifo(fifo.c_str(), 0600) == 0 ? fifo : fs::path(); },
       StateFileStatus::Unreadable, "not a regular file"},
#endif
      {"another firmware", [&](auto&) { return file; }, StateFileStatus::OtherFirmware, "made with another firmware",
       FIRMWARE ^ 1},
      {"a later version", [&](auto& b) { return ++b[8], file; }, StateFileStatus::OtherVersion,
       "written by another version (state format 2, this program reads 1)"},
      {"a text file", [&](auto& b) { return b = "RAM=00 00 00\n", file; }, StateFileStatus::Corrupt,
       "not a state file"},
      {"one byte too many", [&](auto& b) { return b.push_back(0), file; }, StateFileStatus::Corrupt,
       "corrupt (longer than written)"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SaveStateFile(file, FIRMWARE, {{"ram", {1, 2, 3}}}).ok());
    std::string bytes = Slurp(file);
    const fs::path path = c.prepare(bytes);
    Spill(file, bytes);
    const StateFileResult result = Load(path, c.firmware);
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.message.find(path.string() + ": "), 0u) << c.name << ": " << result.message;
    EXPECT_NE(result.message.find(c.says), std::string::npos) << c.name << ": " << result.message;
    EXPECT_EQ(loaded, UNTOUCHED) << c.name;
  }
}

// Whatever the damage, the answer is a refusal, never a crash nor a part.
TEST_F(StateFile, EveryTruncationAndEveryFlippedByteIsRefusedWhole) {
  ASSERT_TRUE(SaveStateFile(file, FIRMWARE, {{"ram", Bytes("0123456789")}, {"lamps", {0x15}}, {"paper", {}}}).ok());
  const std::string saved = Slurp(file);
  const fs::path damaged = dir / "damaged.state";
  for (size_t size = 0; size < saved.size(); ++size) {
    Spill(damaged, saved.substr(0, size));
    EXPECT_EQ(Load(damaged).status, StateFileStatus::Truncated) << "cut to " << size;
    EXPECT_EQ(loaded, UNTOUCHED) << "cut to " << size;
  }
  for (size_t at = 0; at < saved.size(); ++at) {
    std::string bytes = saved;
    bytes[at] ^= static_cast<char>(1u << at % 8);
    Spill(damaged, bytes);
    EXPECT_FALSE(Load(damaged).ok()) << "byte " << at;
    EXPECT_EQ(loaded, UNTOUCHED) << "byte " << at;
  }
}

// A save writes a regular file: a folder, a pipe (which must not block the
// save) or a missing folder is refused and left as it was.
TEST_F(StateFile, AFailedSaveSaysWhyAndLeavesNothingBehind) {
  fs::create_directories(dir / "taken" / "inside");
#ifdef _WIN32
  fs::create_directories(dir / "pipe");  // Windows has no named pipes in folders
#else
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
#endif
  const std::tuple<fs::path, std::vector<StateSection>, std::string> cases[] = {
      {dir / "missing" / "s.state", {}, "No such file or directory"},
      {dir / "taken", {}, "cannot be saved: it is a folder, not a regular file"},
#ifndef _WIN32
      {dir / "pipe", {}, "cannot be saved: it is a pipe, not a regular file"},
#endif
      {file, {{"ram", {}}, {"ram", {}}}, "section names repeat"},
      {file, {{std::string(STATE_NAME_MAX + 1, 'n'), {}}}, "too long"},
  };
  for (const auto& [path, sections, says] : cases) {
    const StateFileResult result = SaveStateFile(path, FIRMWARE, sections);
    EXPECT_EQ(result.status, StateFileStatus::Unsaved) << says;
    EXPECT_NE(result.message.find(says), std::string::npos) << result.message;
    EXPECT_EQ(Entries(), (std::vector<std::string>{"pipe", "taken"})) << says;
  }
#ifndef _WIN32
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
#endif
}

// A save cut short leaves its temporary file; the next save clears it away,
// but not one that another save still holds, nor a file of another name.
TEST_F(StateFile, TheNextSaveClearsAwayTemporaryFilesOfSavesCutShort) {
  const std::vector<std::string> kept = {"other.state.1a-0.tmp",     "tm650e.state",
                                         "tm650e.state.-1.tmp",      "tm650e.state.1-2.tmp.txt",
                                         "tm650e.state.abc-7.tmp",   "tm650e.state.held-1.tmp"};
  for (const char* name : {"tm650e.state.1a2b3c-0.tmp", "tm650e.state.FF-12.tmp"}) Spill(dir / name, "cut short");
  for (const std::string& name : kept) Spill(dir / name, "not ours");
  const fs::path heldPath = dir / "tm650e.state.abc-7.tmp";
#ifdef _WIN32
  std::FILE* held = _wfopen(heldPath.c_str(), L"rb");  // open, as a save in progress holds it
  ASSERT_NE(held, nullptr);
#else
  const int held = ::open(heldPath.c_str(), O_WRONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);  // as a save in progress holds it
#endif
  ASSERT_TRUE(SaveStateFile(file, FIRMWARE, {}).ok());
  EXPECT_EQ(Entries(), kept);
#ifdef _WIN32
  std::fclose(held);
#else
  ::close(held);
#endif
}

}  // namespace
