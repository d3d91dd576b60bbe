// tm650-run as a black box, on a small image of our own that exercises the
// traps, the key scan, the display link, the lamps and port 6.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out, report, err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Runner : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir / "needles"); }
  void TearDown() override { fs::remove_all(dir); }

  Result Run(const std::string& args, const std::string& rom = DEVICE_IMAGE) {
    const auto file = [&](const char* name) { return "'" + (dir / name).string() + "'"; };
    fs::remove(dir / "report.json");
    const std::string command = std::string(RUNNER) + " --rom '" + rom + "' --report " +
                                file("report.json") + " " + args + " >" + file("out") + " 2>" +
                                file("err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir / "out"),
            Slurp(dir / "report.json"), Slurp(dir / "err")};
  }

  const fs::path dir = fs::temp_directory_path() /
                       ("tm650-runner-" + std::to_string(::getpid()) + "-" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Runner, StartUpBeepsOnceAndShowsTheIdleDisplay) {
  Result r = Run("");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  for (const char* part : {"\"digits\": \"   0\"", "\"points\": [false, false, false, false]",
                           "\"beeps\": 1", "\"power\": \"OFF\"", "\"stop\": \"idle\"",
                           "\"PC\": 57872" /* idle at 0xE210 */}) {
    EXPECT_TRUE(Has(r.report, part)) << part << r.report;
  }
}

TEST_F(Runner, KeysReachTheFirmwareAndItsAnswersReachDigitsAndLamps) {
  struct Case {
    const char* keys;
    const char* digits;
    const char* lamps;
  };
  const Case cases[] = {
      {"5", "   5", "\"GAUGE\": true, \"MODE\": false, \"M/T\": false"},
      {"9", "   9", "\"GAUGE\": true, \"MODE\": false, \"M/T\": true"},
      {"7 0", "   0", "\"GAUGE\": false, \"MODE\": false, \"M/T\": false"},
      {"#1018", "   5", "\"GAUGE\": true"},
      {"FA", "   0", "\"GAUGE\": true, \"MODE\": true, \"M/T\": false, \"ARC LENGTH\": true"},  // key 19
  };
  for (const Case& c : cases) {
    Result r = Run(std::string("--keys '") + c.keys + "'");
    EXPECT_EQ(r.status, 0) << c.keys;
    EXPECT_TRUE(Has(r.report, std::string("\"digits\": \"") + c.digits + "\"")) << c.keys << r.report;
    EXPECT_TRUE(Has(r.report, c.lamps)) << c.keys << r.report;
  }
}

TEST_F(Runner, PrintedLinesAndFeedsGoToStandardOutput) {
  Result r = Run("--keys '= PF ='");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "acmx5 BD\r\n\r\nacmx5 BD\r\n\r\n") << "the window's feed button is not logged";
}

TEST_F(Runner, ToneRoutineBeepsWithoutTouchingTheLamps) {
  Result r = Run("--keys 'C C' --unpatched");
  EXPECT_TRUE(Has(r.report, "\"beeps\": 3"));
  // Key 11 = 0x0B on the lamps; the tone's own port-2 stores must not show.
  EXPECT_TRUE(Has(r.report, "\"GAUGE\": true, \"MODE\": true, \"M/T\": true, \"ARC LENGTH\": false"))
      << r.report;
}

// Off keeps the last digits on show; power-on and NEW restart with a beep.
TEST_F(Runner, PowerButtonSwitchesOffAndOnAgain) {
  struct Case {
    const char *keys, *power, *stop, *beeps;
  };
  for (const Case& c : {Case{"AC", "ON", "off", "1"}, Case{"5 POWER POWER", "OFF", "idle", "2"},
                        Case{"5 NEW", "OFF", "idle", "2"}}) {
    Result r = Run(std::string("--keys '") + c.keys + "'");
    EXPECT_EQ(r.status, 0) << c.keys;
    EXPECT_TRUE(Has(r.report, std::string("\"power\": \"") + c.power + "\"")) << c.keys;
    EXPECT_TRUE(Has(r.report, std::string("\"stop\": \"") + c.stop + "\"")) << c.keys;
    EXPECT_TRUE(Has(r.report, std::string("\"beeps\": ") + c.beeps)) << c.keys;
    EXPECT_TRUE(Has(r.report, "\"digits\": \"   0\"")) << c.keys;
  }
}

TEST_F(Runner, StopsHaveTheirOwnExitStatus) {
  Result halted = Run("--keys 'FN 5'");
  EXPECT_EQ(halted.status, 4);
  EXPECT_TRUE(Has(halted.report, "\"stop\": \"halted\""));
  Result undecoded = Run("--keys 'FM 5'");
  EXPECT_EQ(undecoded.status, 3);
  EXPECT_TRUE(Has(undecoded.report, "\"stop\": \"undecoded\""));
  EXPECT_TRUE(Has(undecoded.err, "not decoded"));
}

// Every bad input gets one line on standard error and exit status 2, and
// nothing is read or run.
TEST_F(Runner, BadInputIsRefusedWithOneLine) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::string d = "'" + dir.string() + "'";
  struct Case {
    std::string args, rom, says;
  };
  const Case cases[] = {
      {"--keys 'Q'", DEVICE_IMAGE, "unknown key \"Q\""},
      {"", (dir / "missing.bin").string(), "no such file"},
      {"", dir.string(), "not a regular file"},
      {"", (dir / "fifo").string(), "not a regular file"},
      {"", "/dev/zero", "not a regular file"},
      {"--hold many", DEVICE_IMAGE, "--hold"},
      {"--hold ' 1'", DEVICE_IMAGE, "--hold"},
      {"--hold -1", DEVICE_IMAGE, "--hold"},
      {"--settle 99999999999999999999", DEVICE_IMAGE, "--settle"},
      {"--instructions 5x", DEVICE_IMAGE, "--instructions"},
      {"--peek 10000C000:4", DEVICE_IMAGE, "--peek"},
      {"--peek C000:0", DEVICE_IMAGE, "--peek"},
      {"--capture-dir " + d + "/nowhere", DEVICE_IMAGE, "not a folder"},
      {"--trace ''", DEVICE_IMAGE, "non-empty"},
      {"--state ''", DEVICE_IMAGE, "non-empty"},
      {"--bogus", DEVICE_IMAGE, "unknown option"},
  };
  for (const Case& c : cases) {
    Result r = Run(c.args, c.rom);
    EXPECT_EQ(r.status, 2) << c.args << " " << c.rom;
    EXPECT_TRUE(Has(r.err, c.says)) << c.args << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(Run("", "").status, 2) << "an empty --rom";
  // Output that cannot be written is an error, not a quiet success.
  const std::string full = std::string(RUNNER) + " --rom '" + DEVICE_IMAGE + "' --keys '=' >/dev/full 2>/dev/null";
  const int status = std::system(full.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
  EXPECT_EQ(Run("--trace /dev/full").status, 2);
}

// --state carries the device from one run to the next; a damaged file
// starts afresh and says so.
TEST_F(Runner, StateCarriesTheDeviceToTheNextRun) {
  const std::string state = " --state '" + (dir / "device.state").string() + "'";
  ASSERT_EQ(Run("--keys '5'" + state).status, 0);
  Result next = Run(state);
  EXPECT_TRUE(Has(next.report, "\"digits\": \"   5\"")) << next.report;
  std::fstream damage(dir / "device.state", std::ios::in | std::ios::out | std::ios::binary);
  damage.seekp(300);
  damage.put('\x55');
  damage.close();
  Result fresh = Run(state);
  EXPECT_EQ(fresh.status, 0);
  EXPECT_TRUE(Has(fresh.err, "starting afresh")) << fresh.err;
  EXPECT_TRUE(Has(fresh.report, "\"digits\": \"   0\""));
}

// Unpatched, the needle writes are captured and the paper feed gets every
// pulse it waits for; a feed alone writes only the motor byte.
TEST_F(Runner, UnpatchedNeedlesAreCapturedAndTheFeedRunsThrough) {
  const std::string capture = " --unpatched --capture-dir '" + (dir / "needles").string() + "'";
  Result feed = Run("--keys 'S 5'" + capture);
  EXPECT_EQ(feed.status, 0);
  EXPECT_EQ(feed.out, "\r\n") << "the feed trap fires on the way in";
  EXPECT_TRUE(Has(feed.report, "\"stop\": \"idle\"")) << feed.report;
  EXPECT_TRUE(Has(feed.report, "\"digits\": \"   5\""));
  EXPECT_TRUE(fs::is_empty(dir / "needles"));
  EXPECT_EQ(Run("--keys 'S'").out, "\r\n");

  EXPECT_EQ(Run("--keys 'ACNG'" + capture).status, 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir / "needles")) {
    ++files;
    EXPECT_EQ(entry.path().filename().string().size(), 17u);  // %08X-%04u.txt
    EXPECT_EQ(Slurp(entry.path()), std::string("\x01\x02", 2));
  }
  EXPECT_EQ(files, 1);
}

TEST_F(Runner, LimitsSelfLoopsTracesAndPeeks) {
  Result limited = Run("--instructions 50");
  EXPECT_TRUE(Has(limited.report, "\"instructions\": 50"));
  EXPECT_TRUE(Has(limited.report, "\"stop\": \"limit\""));

  std::string loop(16384, '\0');
  loop[0] = '\x20';  // BRA *
  loop[1] = '\xFE';
  loop[0x3FFE] = '\xC0';
  std::ofstream((dir / "loop.bin").string(), std::ios::binary) << loop;
  Result selfLoop = Run("--trace '" + (dir / "trace.txt").string() + "' --peek C000:2",
                        (dir / "loop.bin").string());
  EXPECT_TRUE(Has(selfLoop.report, "\"stop\": \"self-loop\""));
  EXPECT_TRUE(Has(selfLoop.report, "\"C000\": \"20FE\""));
  EXPECT_EQ(Slurp(dir / "trace.txt"), "C000 20 BRA   A=00 B=00 X=0000 SP=0000 CCR=00\n");
}

}  // namespace
