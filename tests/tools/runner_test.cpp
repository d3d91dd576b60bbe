// tm650-run as a black box: on the built firmware for keys, paper, power and
// state, on images of a few bytes for the stops, and the bad-input table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out, report, err;
  bool Says(const std::string& part) const { return report.find(part) != std::string::npos; }
};

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Runner : public ::testing::Test {
 protected:
  std::string In(const char* name) const { return "'" + (dir / name).string() + "'"; }

  Result Run(const std::string& args, const std::string& rom = FIRMWARE) {
    fs::remove(dir / "report.json");
    const int status = Shell(std::string(RUNNER) + " --rom '" + rom + "' --report " + In("report.json") + " " +
                             args + " >" + In("out") + " 2>" + In("err"));
    return {status, Slurp(dir / "out"), Slurp(dir / "report.json"), Slurp(dir / "err")};
  }
  Result Keys(const std::string& keys, const std::string& args = "") { return Run(args + " --keys '" + keys + "'"); }

  // A whole image: `code` at 0xC000, the reset vector pointing at it.
  std::string Image(const std::string& code) {
    std::string image(16384, '\0');
    image.replace(0, code.size(), code);
    image[0x3FFE] = '\xC0';
    Spill(dir / "image.bin", image);
    return (dir / "image.bin").string();
  }

  ScratchDir dir;
};

// What the report says after each script: digits, points, lamps, the power
// button's caption, beeps and where it stopped.
TEST_F(Runner, TheReportShowsTheFace) {
  const struct {
    const char *keys, *says[2];
  } cases[] = {
      {"", {"\"digits\": \"   0\",\n  \"points\": [false, false, false, false]", "\"PC\": 57872"}},
      {"#1018", {"\"digits\": \"   5\"", "\"PRINT\": false"}},  // a control id: digit 5
      {"1 . 5", {"\"points\": [false, false, true, false],\n  \"shown\": \"  1.5\"", "\"beeps\": 1,"}},
      {"FN", {"\"GAUGE\": false, \"MODE\": false, \"M/T\": false, \"ARC LENGTH\": false, \"PRINT\": true", ""}},
      {"POWER", {"\"power\": \"ON\",\n  \"beeps\": 1,", "\"stop\": \"off\""}},
      {"5 NEW", {"\"digits\": \"   0\"", "\"beeps\": 2,"}},
  };
  for (const auto& c : cases) {
    const Result r = Keys(c.keys);
    EXPECT_EQ(r.status, 0) << c.keys << r.err;
    for (const char* part : c.says) EXPECT_TRUE(r.Says(part)) << c.keys << ": " << part << "\n" << r.report;
    EXPECT_EQ(r.Says("\"stop\": \"idle\""), std::string(c.keys) != "POWER") << c.keys;
  }
}

// The paper goes to standard output with the font's own codes mapped; the
// window's feed button feeds the pane only.
TEST_F(Runner, PrintedLinesAndFeedsGoToStandardOutput) {
  EXPECT_EQ(Keys("4 FL").out, "x<>cm\r\n\r\n");
  EXPECT_EQ(Keys("FM PF FM").out, "\r\n\r\n") << "the window's feed button is logged";
}

// Unpatched, the tone's own port-2 stores do not show on the lamps, and each
// printed line's needle data lands in a new file of its own.
TEST_F(Runner, UnpatchedRoutinesRunAndNeedlesAreCaptured) {
  fs::create_directory(dir / "needles");
  const std::string capture = " --unpatched --capture-dir " + In("needles");
  Result error = Keys("FJ S", capture);
  EXPECT_TRUE(error.Says("\"beeps\": 2,")) << error.report;
  EXPECT_TRUE(error.Says("\"GAUGE\": false, \"MODE\": true, \"M/T\": false, \"ARC LENGTH\": false")) << error.report;
  EXPECT_EQ(Keys("FM", capture).out, "\r\n");
  EXPECT_TRUE(fs::is_empty(dir / "needles")) << "a feed alone writes no needle file";
  EXPECT_EQ(Keys("4 FL", capture).out, "x<>cm\r\n\r\n");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir / "needles")) {
    ++files;
    EXPECT_EQ(entry.path().filename().string().size(), 17u);  // %08X-%04u.txt
    EXPECT_EQ(fs::file_size(entry.path()), 560u);
  }
  EXPECT_EQ(files, 1);
}

TEST_F(Runner, StopsHaveTheirOwnExitStatus) {
  const struct {
    std::string code, args;
    int status;
    const char *stop, *err;
  } cases[] = {
      {"\x0e", "", 4, "halted", "CLI or SEI"},
      {"\x01", "", 3, "undecoded", "not decoded: 0x00 at 0xC001"},  // NOP, then the zero fill
      {"\x01\x20\xfe", "", 0, "self-loop", ""},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.args, Image(c.code));
    EXPECT_EQ(r.status, c.status) << c.stop;
    EXPECT_TRUE(r.Says(std::string("\"stop\": \"") + c.stop + "\"")) << r.report;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  const Result limited = Run("--instructions 50");
  EXPECT_TRUE(limited.Says("\"instructions\": 50,\n  \"stop\": \"limit\"")) << limited.report;
}

TEST_F(Runner, TracesAndPeeks) {
  const Result r = Run("--trace " + In("trace.txt") + " --peek C000:2 --peek fffe:3", Image("\x20\xfe"));
  EXPECT_TRUE(r.Says("\"peek\": {\"C000\": \"20FE\", \"FFFE\": \"C00000\"}")) << r.report;
  EXPECT_EQ(Slurp(dir / "trace.txt"), "C000 20 BRA   A=00 B=00 X=0000 SP=0000 CCR=00\n");
}

// Every bad input gets one line on standard error and exit status 2, and
// nothing is read or run.
TEST_F(Runner, BadInputIsRefusedWithOneLine) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const struct {
    std::string args, rom, says;
  } cases[] = {
      {"--keys 'Q'", FIRMWARE, "unknown key \"Q\""},
      {"--keys '#65536'", FIRMWARE, "unknown key"},
      {"--keys '#1x'", FIRMWARE, "unknown key"},
      {"", (dir / "missing.bin").string(), "no such file"},
      {"", dir.path.string(), "not a regular file"},
      {"", (dir / "fifo").string(), "not a regular file"},
      {"", "/dev/zero", "not a regular file"},
      {"", "", "non-empty"},
      {"--hold many", FIRMWARE, "--hold"},
      {"--hold ' 1'", FIRMWARE, "--hold"},
      {"--hold -1", FIRMWARE, "--hold"},
      {"--hold", FIRMWARE, "--hold"},
      {"--settle 18446744073709551616", FIRMWARE, "--settle"},
      {"--instructions 5x", FIRMWARE, "--instructions"},
      {"--peek 10000:4", FIRMWARE, "--peek"},
      {"--peek C000:0", FIRMWARE, "--peek"},
      {"--peek C000:65537", FIRMWARE, "--peek"},
      {"--peek G000:1", FIRMWARE, "--peek"},
      {"--capture-dir " + In("nowhere"), FIRMWARE, "not a folder"},
      {"--trace ''", FIRMWARE, "non-empty"},
      {"--state ''", FIRMWARE, "non-empty"},
      {"--bogus", FIRMWARE, "unknown option"},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.args, c.rom);
    EXPECT_EQ(r.status, 2) << c.args << " " << c.rom;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  // Output that cannot be written is an error, not a quiet success.
  EXPECT_EQ(Shell(std::string(RUNNER) + " --rom '" + FIRMWARE + "' --keys '4 FL' >/dev/full 2>" + In("err")), 2);
  EXPECT_NE(Slurp(dir / "err").find("cannot be written: No space left on device"), std::string::npos);
  EXPECT_EQ(Run("--trace /dev/full").status, 2);
}

// --state carries the device from one run to the next; a damaged file
// starts afresh and says so.
TEST_F(Runner, StateCarriesTheDeviceToTheNextRun) {
  const std::string state = " --state " + In("device.state");
  ASSERT_EQ(Keys("5", state).status, 0);
  EXPECT_TRUE(Run(state).Says("\"digits\": \"   5\""));
  std::string saved = Slurp(dir / "device.state");
  saved.at(300) ^= 0x55;
  Spill(dir / "device.state", saved);
  const Result fresh = Run(state);
  EXPECT_EQ(fresh.status, 0);
  EXPECT_NE(fresh.err.find("starting afresh"), std::string::npos) << fresh.err;
  EXPECT_TRUE(fresh.Says("\"digits\": \"   0\""));
}

}  // namespace
