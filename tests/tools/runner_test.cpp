// tm650-run as a black box: on the built firmware for keys, paper, power and
// state, on images of a few bytes for the stops, and the bad-input table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "tests/firmware/firmware_harness.h"

namespace fs = std::filesystem;
using fwtest::RunFirmware;
using fwtest::RunKeys;
using fwtest::RunResult;

namespace {

bool Says(const RunResult& r, const std::string& part) { return r.report.find(part) != std::string::npos; }

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

// Every file and folder the runner is given lies in a folder whose name no
// 8-bit code page holds, so each name must reach the runner whole.
class Runner : public ::testing::Test {
 protected:
  Runner() { fs::create_directory(dir); }

  std::string In(const char* name) const { return "'" + Utf8(dir / name) + "'"; }

  // A whole image: `code` at 0xC000, the reset vector pointing at it.
  std::string Image(const std::string& code) {
    std::string image(16384, '\0');
    image.replace(0, code.size(), code);
    image[0x3FFE] = '\xC0';
    Spill(dir / "image.bin", image);
    return Utf8(dir / "image.bin");
  }

  ScratchDir scratch;
  const fs::path dir = scratch.path / u8"Maschen \u00e4\u03a9\u3042";
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
    const RunResult r = RunKeys(c.keys);
    EXPECT_EQ(r.status, 0) << c.keys << r.errors;
    for (const char* part : c.says) EXPECT_TRUE(Says(r, part)) << c.keys << ": " << part << "\n" << r.report;
    EXPECT_EQ(Says(r, "\"stop\": \"idle\""), std::string(c.keys) != "POWER") << c.keys;
  }
}

// The paper goes to standard output, the window's paper feed button's too.
TEST_F(Runner, FeedsGoToStandardOutput) { EXPECT_EQ(RunKeys("FM PF FM").paper, "\r\n\r\n"); }

// Unpatched, the tone's own port-2 stores do not show on the lamps, and each
// printed line's needle data lands in a new file of its own.
TEST_F(Runner, UnpatchedRoutinesRunAndNeedlesAreCaptured) {
  fs::create_directory(dir / "needles");
  const std::string capture = " --unpatched --capture-dir " + In("needles");
  RunResult error = RunKeys("FJ S", capture);
  EXPECT_TRUE(Says(error, "\"beeps\": 2,")) << error.report;
  EXPECT_TRUE(Says(error, "\"GAUGE\": false, \"MODE\": true, \"M/T\": false, \"ARC LENGTH\": false")) << error.report;
  EXPECT_EQ(RunKeys("FM", capture).paper, "\r\n");
  EXPECT_TRUE(fs::is_empty(dir / "needles")) << "a feed alone writes no needle file";
  EXPECT_EQ(RunKeys("4 FL", capture).paper, "x<>cmin\r\n\r\n");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir / "needles")) {
    ++files;
    EXPECT_EQ(entry.path().filename().string().size(), 17u);  // %08X-%04u.txt
    EXPECT_EQ(fs::file_size(entry.path()), 560u);
  }
  EXPECT_EQ(files, 1);
#ifndef _WIN32
  // A needle file that cannot be written (here: no file may grow) fails the
  // run, and leaves no empty file.
  fs::remove_all(dir / "needles");
  fs::create_directory(dir / "needles");
  std::string errors;
  EXPECT_EQ(fwtest::RunCommand("(trap '' XFSZ; ulimit -f 0; exec " + std::string(TM650_RUN) + " --rom '" +
                                   TM650_FIRMWARE_BIN + "' --keys '4 FL'" + capture + ") 2>&1 >/dev/null",
                               &errors),
            2);
  EXPECT_NE(errors.find("needle captures stopped: "), std::string::npos) << errors;
  EXPECT_TRUE(fs::is_empty(dir / "needles"));
#endif
}

TEST_F(Runner, StopsHaveTheirOwnExitStatus) {
  const struct {
    std::string code;
    int status;
    const char *stop, *err;
  } cases[] = {
      {"\x0e", 4, "halted", "CLI or SEI"},
      {"\x01", 3, "undecoded", "not decoded: 0x00 at 0xC001"},  // NOP, then the zero fill
      {"\x01\x20\xfe", 0, "self-loop", ""},
  };
  for (const auto& c : cases) {
    const RunResult r = RunFirmware("", Image(c.code));
    EXPECT_EQ(r.status, c.status) << c.stop;
    EXPECT_TRUE(Says(r, std::string("\"stop\": \"") + c.stop + "\"")) << r.report;
    EXPECT_NE(r.errors.find(c.err), std::string::npos) << r.errors;
  }
  const RunResult limited = RunFirmware("--instructions 50");
  EXPECT_TRUE(Says(limited, "\"instructions\": 50,\n  \"stop\": \"limit\"")) << limited.report;
}

TEST_F(Runner, TracesAndPeeks) {
  const RunResult r = RunFirmware("--trace " + In("trace.txt") + " --peek C000:2 --peek fffe:3", Image("\x20\xfe"));
  EXPECT_TRUE(Says(r, "\"peek\": {\"C000\": \"20FE\", \"FFFE\": \"C00000\"}")) << r.report;
  EXPECT_EQ(Slurp(dir / "trace.txt"), "C000 20 BRA   A=00 B=00 X=0000 SP=0000 CCR=00\n");
}

// Every bad input gets one line on standard error and exit status 2, and
// nothing is read or run.
TEST_F(Runner, BadInputIsRefusedWithOneLine) {
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
#endif
  const std::pair<std::string, std::string> cases[] = {
      {"--keys 'Q'", "unknown key \"Q\""},
      {"--keys '#65536'", "unknown key"},
      {"--keys '#1x'", "unknown key"},
      {"--keys '#+1000'", "unknown key \"#+1000\""},
      {"--keys '#-0'", "unknown key"},
      {"--keys '" + std::string(5000, 'K') + "'", "unknown key \"" + std::string(40, 'K') + "... (5000 bytes)\""},
      {"--rom " + In("missing.bin"), "no such file"},
      {"--rom '" + Utf8(dir) + "'", "not a regular file"},
#ifndef _WIN32
      {"--rom " + In("fifo"), "not a regular file"},
      {"--rom /dev/zero", "not a regular file"},
#endif
      {"--rom ''", "non-empty"},
      {"--hold many", "--hold"},
      {"--hold ' 1'", "--hold"},
      {"--hold -1", "--hold"},
      {"--hold", "--hold"},
      {"--settle 18446744073709551616", "--settle"},
      {"--instructions 5x", "--instructions"},
      {"--peek 10000:4", "--peek"},
      {"--peek C000:0", "--peek"},
      {"--peek C000:65537", "--peek"},
      {"--peek G000:1", "--peek"},
      {"--capture-dir " + In("nowhere"), "not a folder"},
      {"--trace ''", "non-empty"},
      {"--state ''", "non-empty"},
      {"--bogus", "unknown option"},
  };
  for (const auto& [args, says] : cases) {
    const RunResult r = RunFirmware(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.errors.find(says), std::string::npos) << args << ": " << r.errors;
    EXPECT_EQ(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << r.errors;
    EXPECT_LT(r.errors.size(), 300u) << "a bad argument is quoted short";
  }
#ifndef _WIN32
  // Output that cannot be written is an error, not a quiet success.
  std::string nothing;
  EXPECT_EQ(fwtest::RunCommand(std::string(TM650_RUN) + " --rom '" + TM650_FIRMWARE_BIN + "' --keys '4 FL' >/dev/full 2>" +
                                   In("err"),
                               &nothing),
            2);
  EXPECT_NE(Slurp(dir / "err").find("cannot be written: No space left on device"), std::string::npos);
  EXPECT_EQ(RunFirmware("--trace /dev/full").status, 2);
#endif
}

// A device kept mid-calculation, or switched off, carries on in the next run
// as one that never stopped: the same paper, face and registers.
TEST_F(Runner, AKeptDeviceCarriesOnAsIfItHadNeverStopped) {
  const std::string state = " --state " + In("kept.state");
  for (const bool off : {false, true}) {
    fs::remove(dir / "kept.state");
    const std::string before = std::string("FN FA 2 2 S 3 0 R = FH 8 X") + (off ? " POWER" : "");
    const std::string after = std::string(off ? "POWER " : "") + "6 Y = =";
    const RunResult kept = RunKeys(before, state), resumed = RunKeys(after, state), whole = RunKeys(before + " " + after);
    EXPECT_EQ(kept.paper + resumed.paper, whole.paper) << off;
    EXPECT_EQ(whole.paper.find("CURVE LINE") != std::string::npos, !off) << "switched off, the print lamp goes out";
    for (const char* field : {"shown", "lamps", "power", "beeps", "registers"})
      EXPECT_EQ(resumed.Field(field), whole.Field(field)) << field << off;
  }
}

// --state carries the device from one run to the next; a damaged file
// starts afresh and says so.
TEST_F(Runner, StateCarriesTheDeviceToTheNextRun) {
  const std::string state = " --state " + In("device.state");
  ASSERT_EQ(RunKeys("5", state).status, 0);
  EXPECT_TRUE(Says(RunFirmware(state), "\"digits\": \"   5\""));
  std::string saved = Slurp(dir / "device.state");
  saved.at(300) ^= 0x55;
  Spill(dir / "device.state", saved);
  const RunResult fresh = RunFirmware(state);
  EXPECT_EQ(fresh.status, 0);
  EXPECT_NE(fresh.errors.find("starting afresh"), std::string::npos) << fresh.errors;
  EXPECT_TRUE(Says(fresh, "\"digits\": \"   0\""));
  // A state of the patched run is named as such by an unpatched one.
  const RunResult unpatched = RunFirmware("--unpatched" + state);
  EXPECT_NE(unpatched.errors.find("made by a patched run of this firmware"), std::string::npos) << unpatched.errors;
  // Only a regular file is replaced, or the file a link names.
  fs::create_directory(dir / "folder");
  const RunResult folder = RunFirmware("--state " + In("folder"));
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.errors.find("it is a folder, not a regular file"), std::string::npos) << folder.errors;
#ifndef _WIN32
  fs::create_symlink("device.state", dir / "link.state");
  ASSERT_EQ(RunKeys("7", "--state " + In("link.state")).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "link.state"));
  EXPECT_TRUE(Says(RunFirmware(state), "\"digits\": \"   7\""));
#endif
}

}  // namespace
