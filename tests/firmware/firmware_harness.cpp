// Runs tm650-run for the firmware tests and reads its outputs back.
#include "firmware_harness.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace fwtest {

namespace {

// The runner under test: this build's own, or the command in TM650_RUN (the
// WebAssembly build runs the same suites under Node that way).
std::string Runner() {
  const char* command = std::getenv("TM650_RUN");
  return command && *command ? command : TM650_RUN;
}

}  // namespace

#ifdef _WIN32
// cmd's status when it could not start the command.
constexpr int CMD_CANNOT_START = 9009;

// The commands are written for a POSIX shell, with single-quoted words; cmd
// takes double quotes, and the whole line in one more pair of them. The
// command is UTF-8 and goes out wide, so no name is lost to the code page.
// Wine now and then fails to start the shell, or the shell the runner, on a
// loaded machine; a second start tells that from a command that cannot start
// at all.
int RunCommand(const std::string& command, std::string* output) {
  std::string line = "\"" + command + "\"";
  std::replace(line.begin(), line.end(), '\'', '"');
  const fs::path wide(std::u8string(line.begin(), line.end()));
  int status = CMD_CANNOT_START;
  bool started = false;
  for (int attempt = 0; attempt < 2 && status == CMD_CANNOT_START; ++attempt) {
    std::FILE* pipe = ::_wpopen(wide.c_str(), L"rb");
    if (!pipe) continue;
    started = true;
    output->clear();
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output->append(buffer.data(), n);
    status = ::_pclose(pipe);
  }
  if (!started) throw std::runtime_error("cannot start " + command + ": " + std::strerror(errno));
  return status;
}
#else
int RunCommand(const std::string& command, std::string* output) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output->append(buffer.data(), n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

RunResult RunFirmware(const std::string& options, const std::string& rom) {
  ScratchDir scratch;
  const fs::path report = scratch.path / "report.json";
  const fs::path errors = scratch.path / "stderr.txt";
  const std::string image = rom.empty() ? std::string(TM650_FIRMWARE_BIN) : rom;
  // Unpatched printing leaves needle files; they go to the scratch folder
  // unless the test collects them itself.
  const std::string captures = options.find("--capture-dir") == std::string::npos
                                   ? " --capture-dir '" + scratch.path.string() + "'"
                                   : std::string();
  RunResult result;
  result.status = RunCommand(Runner() + " --rom '" + image + "' --report '" + report.string() +
                                 "'" + captures + " " + options + " 2>'" + errors.string() + "'",
                             &result.paper);
  result.report = Slurp(report);
  result.errors = Slurp(errors);
  return result;
}

RunResult RunKeys(const std::string& keys, const std::string& options, const std::string& rom) {
  return RunFirmware(options + " --keys '" + keys + "'", rom);
}

std::string ShownAfter(const std::string& keys) {
  const RunResult run = RunKeys(keys);
  EXPECT_EQ(run.status, 0) << keys << run.errors;
  EXPECT_EQ(run.Field("stop"), "idle") << keys;
  return run.Shown();
}

void ExpectKeys(const std::vector<KeyCase>& cases) {
  for (const KeyCase& c : cases) {
    const RunResult run = RunKeys(c.keys);
    EXPECT_EQ(run.Field("stop"), "idle") << c.keys;
    if (c.shown) { EXPECT_EQ(run.Shown(), c.shown) << c.keys; }
    if (c.beeps) { EXPECT_EQ(run.Number("beeps"), c.beeps) << c.keys; }
    if (c.lamps) { EXPECT_EQ(run.LitLamps(), c.lamps) << c.keys; }
  }
}

std::string RunResult::Field(const std::string& name, const std::string& inner) const {
  const std::string key = "\"" + name + "\":";
  size_t at = report.find(key);
  if (at == std::string::npos) return {};
  at = report.find_first_not_of(' ', at + key.size());
  if (at == std::string::npos) return {};
  std::string value;
  if (report[at] == '"') {
    value = report.substr(at + 1, report.find('"', at + 1) - at - 1);
  } else if (report[at] == '{' || report[at] == '[') {
    value = report.substr(at, report.find(report[at] == '{' ? '}' : ']', at) - at + 1);
  } else {
    value = report.substr(at, report.find_first_of(",\n}", at) - at);
  }
  if (inner.empty()) return value;
  RunResult object;
  object.report = value;
  return object.Field(inner);
}

long RunResult::Number(const std::string& name, const std::string& inner) const {
  const std::string text = Field(name, inner);
  return text.empty() ? -1 : std::stol(text);
}

std::string RunResult::LitLamps() const {
  std::string lit;
  for (const char* lamp : {"GAUGE", "MODE", "M/T", "ARC LENGTH", "PRINT"}) {
    if (Lamp(lamp) == "true") lit += (lit.empty() ? "" : ", ") + std::string(lamp);
  }
  return lit.empty() ? "-" : lit;
}

std::vector<std::string> RunResult::Lines() const {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = paper.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(paper.substr(start, end - start));
  }
  return lines;
}

std::vector<Traced> RunTraced(const std::string& options, RunResult* run) {
  ScratchDir scratch;
  const RunResult result = RunFirmware(options + " --trace '" + (scratch / "trace.txt").string() + "'");
  if (run) *run = result;
  std::vector<Traced> trace;
  std::ifstream in(scratch / "trace.txt");
  std::string line;
  while (std::getline(in, line)) {
    Traced t{};
    const char* sp = std::strstr(line.c_str(), "SP=");
    if (std::sscanf(line.c_str(), "%x %x %*s A=%x", &t.pc, &t.opcode, &t.a) == 3 && sp &&
        std::sscanf(sp, "SP=%x", &t.sp) == 1) {
      trace.push_back(t);
    }
  }
  return trace;
}

std::vector<uint8_t> LoadImage() { return ReadFile(TM650_FIRMWARE_BIN); }

std::map<std::string, uint16_t> LoadSymbols() {
  std::map<std::string, uint16_t> symbols;
  std::ifstream in(TM650_FIRMWARE_SYM);
  std::string value, type, name;
  while (in >> value >> type >> name) symbols[name] = static_cast<uint16_t>(std::stoul(value, nullptr, 16));
  return symbols;
}

std::string DecodeNeedles(const std::vector<uint8_t>& data, const std::vector<uint8_t>& image,
                          const std::map<std::string, uint16_t>& symbols) {
  constexpr int kPasses = 7, kColumns = 20, kNeedles = 4, kCells = 16, kWidth = 5;
  if (data.size() != static_cast<size_t>(kPasses * kColumns * kNeedles)) return {};
  // Each character cell as five column bytes, bit n = dot row n.
  std::array<std::array<uint8_t, kWidth>, kCells> cells{};
  for (int pass = 0; pass < kPasses; ++pass) {
    for (int column = 0; column < kColumns; ++column) {
      for (int needle = 0; needle < kNeedles; ++needle) {
        const uint8_t byte = data[(pass * kColumns + column) * kNeedles + needle];
        if (byte != 0 && byte != (1u << needle)) return {};
        if (byte) cells[needle * 4 + column / kWidth][column % kWidth] |= static_cast<uint8_t>(1u << pass);
      }
    }
  }
  const uint16_t font = symbols.at("font");
  const size_t glyphs = (symbols.at("font_end") - font) / kWidth;
  std::string text;
  for (const auto& cell : cells) {
    char found = '?';
    for (size_t code = 0; code < glyphs && found == '?'; ++code) {
      bool same = true;
      for (int x = 0; x < kWidth; ++x) same &= At(image, static_cast<uint16_t>(font + code * kWidth + x)) == cell[x];
      if (same) found = static_cast<char>(0x20 + code);
    }
    text += found;
  }
  return text;
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

std::string Type(long tenths) {
  std::string keys;
  for (char c : std::to_string(tenths / 10)) keys += std::string(1, c) + " ";
  if (tenths % 10) keys += ". " + std::to_string(tenths % 10) + " ";
  return keys;
}

long RoundDiv(long long a, long long b) { return static_cast<long>((2 * a + b) / (2 * b)); }

std::string GaugeKeys(const Gauge& g) {
  return (g.inches ? "4 FA " : "1 0 FA ") + Type(g.st) + "S " + Type(g.rows) + "R = ";
}

}  // namespace fwtest
