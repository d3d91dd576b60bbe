// Test harness for the open firmware: runs tm650-run on the built image (or a
// modified copy of it) and reads back the paper, the JSON report and the
// needle files; also loads the image and its symbol list.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fwtest {

struct RunResult {
  int status = -1;     // exit status of the runner
  std::string paper;   // standard output: the paper, CR LF lines
  std::string report;  // the JSON report as text
  std::string errors;  // standard error
};

// A fresh scratch directory per test, removed again at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs tm650-run with `args` (already quoted where needed) on `rom`.
RunResult RunFirmware(const std::string& args, const std::string& rom = "");

// The value of a report field as text: strings without their quotes, numbers,
// booleans and objects as written. Empty when the field is missing.
std::string Field(const std::string& report, const std::string& name);
// A field inside the "registers" or "lamps" object.
std::string Inner(const std::string& report, const std::string& object, const std::string& name);
long Number(const std::string& report, const std::string& name);

std::vector<uint8_t> LoadImage();
std::map<std::string, uint16_t> LoadSymbols();
// Writes `image` to `path` and returns the path as a string.
std::string SaveImage(const std::vector<uint8_t>& image, const std::filesystem::path& path);
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);

inline uint8_t At(const std::vector<uint8_t>& image, uint16_t address) {
  return image.at(address - 0xC000u);
}

// Decodes one printed line's needle data (7 passes x 20 columns x 4 needles)
// through the font in the image; "?" for a cell that matches no glyph. An
// empty string when the data has the wrong size or a byte fires a needle other
// than its own.
std::string DecodeNeedles(const std::vector<uint8_t>& data, const std::vector<uint8_t>& image,
                          const std::map<std::string, uint16_t>& symbols);

// The paper's text lines without their CR LF.
std::vector<std::string> Lines(const std::string& paper);

}  // namespace fwtest
