// Runs tm650-run for the firmware tests and reads its outputs back.
#include "firmware_harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace fwtest {

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::atomic<int> scratchCount{0};

}  // namespace

ScratchDir::ScratchDir() {
  path_ = fs::temp_directory_path() /
          ("tm650-fw-" + std::to_string(::getpid()) + "-" + std::to_string(scratchCount++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

RunResult RunFirmware(const std::string& args, const std::string& rom) {
  ScratchDir scratch;
  const fs::path report = scratch.path() / "report.json";
  const fs::path errors = scratch.path() / "stderr.txt";
  const std::string image = rom.empty() ? std::string(TM650_FIRMWARE_BIN) : rom;
  const std::string command = std::string(TM650_RUN) + " --rom '" + image + "' --report '" +
                              report.string() + "' " + args + " 2>'" + errors.string() + "'";
  RunResult result;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " + command);
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    result.paper.append(buffer.data(), n);
  }
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.report = Slurp(report);
  result.errors = Slurp(errors);
  return result;
}

std::string Field(const std::string& report, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  size_t at = report.find(key);
  if (at == std::string::npos) return {};
  at += key.size();
  while (at < report.size() && report[at] == ' ') ++at;
  if (at >= report.size()) return {};
  if (report[at] == '"') {
    const size_t end = report.find('"', at + 1);
    return report.substr(at + 1, end - at - 1);
  }
  if (report[at] == '{' || report[at] == '[') {
    const char close = report[at] == '{' ? '}' : ']';
    const size_t end = report.find(close, at);
    return report.substr(at, end - at + 1);
  }
  size_t end = at;
  while (end < report.size() && report[end] != ',' && report[end] != '\n' && report[end] != '}') ++end;
  return report.substr(at, end - at);
}

std::string Inner(const std::string& report, const std::string& object, const std::string& name) {
  return Field(Field(report, object), name);
}

long Number(const std::string& report, const std::string& name) {
  const std::string text = Field(report, name);
  return text.empty() ? -1 : std::stol(text);
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> LoadImage() { return ReadFile(TM650_FIRMWARE_BIN); }

std::map<std::string, uint16_t> LoadSymbols() {
  std::map<std::string, uint16_t> symbols;
  std::ifstream in(TM650_FIRMWARE_SYM);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string value, type, name;
    if (fields >> value >> type >> name) {
      symbols[name] = static_cast<uint16_t>(std::stoul(value, nullptr, 16));
    }
  }
  return symbols;
}

std::string SaveImage(const std::vector<uint8_t>& image, const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return path.string();
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
    for (size_t code = 0; code < glyphs; ++code) {
      bool same = true;
      for (int x = 0; x < kWidth; ++x) {
        if (At(image, static_cast<uint16_t>(font + code * kWidth + x)) != cell[x]) same = false;
      }
      if (same) {
        found = static_cast<char>(0x20 + code);
        break;
      }
    }
    text += found;
  }
  return text;
}

std::vector<std::string> Lines(const std::string& paper) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = paper.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(paper.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace fwtest
