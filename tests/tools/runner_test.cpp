// tm650-run as a black box, on a small image of our own that exercises the
// traps, the key scan, the display link, the lamps and port 6.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string report;
  std::string err;
};

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("tm650-runner-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  Result Run(const std::string& args, const std::string& rom = DEVICE_IMAGE) {
    fs::path report = dir / "report.json";
    fs::path err = dir / "stderr.txt";
    fs::remove(report);
    std::string command = std::string(RUNNER) + " --rom '" + rom + "' --report '" + report.string() +
                          "' " + args + " 2>'" + err.string() + "'";
    Result result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.report = Slurp(report);
    result.err = Slurp(err);
    return result;
  }

  fs::path dir;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Runner, HelpDocumentsEveryOption) {
  Result r = Run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--rom", "--keys", "--hold", "--settle", "--instructions", "--unpatched",
                             "--capture-dir", "--trace", "--report", "--peek", "Exit status"}) {
    EXPECT_TRUE(Has(r.out, option)) << option;
  }
}

TEST_F(Runner, StartUpBeepsOnceAndShowsTheIdleDisplay) {
  Result r = Run("");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Has(r.report, "\"digits\": \"   0\"")) << r.report;
  EXPECT_TRUE(Has(r.report, "\"points\": [false, false, false, false]"));
  EXPECT_TRUE(Has(r.report, "\"beeps\": 1"));
  EXPECT_TRUE(Has(r.report, "\"power\": \"OFF\""));
  EXPECT_TRUE(Has(r.report, "\"stop\": \"idle\""));
  EXPECT_TRUE(Has(r.report, "\"PC\": 57872")) << "idle at 0xE210";
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

TEST_F(Runner, PowerButtonSwitchesOffAndOnAgain) {
  Result off = Run("--keys 'AC'");
  EXPECT_EQ(off.status, 0);
  EXPECT_TRUE(Has(off.report, "\"power\": \"ON\""));
  EXPECT_TRUE(Has(off.report, "\"stop\": \"off\""));
  EXPECT_TRUE(Has(off.report, "\"digits\": \"   0\"")) << "the last digits stay on show";

  Result on = Run("--keys '5 POWER POWER'");
  EXPECT_TRUE(Has(on.report, "\"power\": \"OFF\""));
  EXPECT_TRUE(Has(on.report, "\"stop\": \"idle\""));
  EXPECT_TRUE(Has(on.report, "\"beeps\": 2")) << "power-on beeps again";
  EXPECT_TRUE(Has(on.report, "\"digits\": \"   0\""));

  Result fresh = Run("--keys '5 NEW'");
  EXPECT_TRUE(Has(fresh.report, "\"beeps\": 2"));
  EXPECT_TRUE(Has(fresh.report, "\"digits\": \"   0\""));
}

TEST_F(Runner, HaltsAndUndecodedOpcodesHaveTheirOwnExitStatus) {
  Result halted = Run("--keys 'FN 5'");
  EXPECT_EQ(halted.status, 4);
  EXPECT_TRUE(Has(halted.report, "\"stop\": \"halted\""));
  Result undecoded = Run("--keys 'FM 5'");
  EXPECT_EQ(undecoded.status, 3);
  EXPECT_TRUE(Has(undecoded.report, "\"stop\": \"undecoded\""));
  EXPECT_TRUE(Has(undecoded.err, "not decoded"));
}

TEST_F(Runner, UnpatchedNeedleWritesAreCaptured) {
  fs::create_directories(dir / "needles");
  Result r = Run("--unpatched --capture-dir '" + (dir / "needles").string() + "' --keys 'ACNG'");
  EXPECT_EQ(r.status, 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir / "needles")) {
    ++files;
    EXPECT_EQ(entry.path().filename().string().size(), 12u);  // %08X.txt
    EXPECT_EQ(Slurp(entry.path()), std::string("\x01\x02", 2));
  }
  EXPECT_EQ(files, 1);
}

TEST_F(Runner, UnpatchedPaperFeedGetsEveryPulseItWaitsFor) {
  fs::create_directories(dir / "needles");
  Result r = Run("--unpatched --capture-dir '" + (dir / "needles").string() + "' --keys 'S 5'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\r\n") << "the feed trap fires on the way in";
  EXPECT_TRUE(Has(r.report, "\"stop\": \"idle\"")) << r.report;
  EXPECT_TRUE(Has(r.report, "\"digits\": \"   5\""));
  EXPECT_TRUE(fs::is_empty(dir / "needles")) << "a feed writes only the motor byte";
  EXPECT_EQ(Run("--keys 'S'").out, "\r\n");
}

TEST_F(Runner, BadInputIsReportedClearly) {
  Result unknown = Run("--keys 'Q'");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(Has(unknown.err, "unknown key \"Q\""));
  EXPECT_TRUE(Has(unknown.err, "ACNG"));

  EXPECT_EQ(Run("", (dir / "missing.bin").string()).status, 2);
  std::ofstream((dir / "long.bin").string(), std::ios::binary) << std::string(16385, '\0');
  Result tooLong = Run("", (dir / "long.bin").string());
  EXPECT_EQ(tooLong.status, 2);
  EXPECT_TRUE(Has(tooLong.err, "16384"));
  EXPECT_EQ(Run("--hold many").status, 2);
  EXPECT_EQ(Run("--bogus").status, 2);
}

TEST_F(Runner, ShortImagesRunZeroFilled) {
  // No reset vector: the PC starts at 0x0000, which holds the undecoded 0x00.
  std::ofstream((dir / "short.bin").string(), std::ios::binary) << std::string(16, '\x01');
  Result r = Run("", (dir / "short.bin").string());
  EXPECT_EQ(r.status, 3);
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
