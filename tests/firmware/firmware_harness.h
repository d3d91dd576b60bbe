// Test harness for the runner and the open firmware: runs tm650-run on the
// built image (or a modified copy of it) and reads back the paper, the JSON
// report, traces and needle files; also loads the image and its symbol list,
// and holds the keying helpers the calculator and shaping tests share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace fwtest {

// Runs a shell command; returns its exit status and puts its standard output
// in `output`.
int RunCommand(const std::string& command, std::string* output);

struct RunResult {
  int status = -1;     // exit status of the runner
  std::string paper;   // standard output: the paper, CR LF lines
  std::string report;  // the JSON report as text
  std::string errors;  // standard error

  // A report field as text: strings without their quotes, numbers, booleans
  // and arrays as written; with `inner`, the field of that name inside the
  // object `name` ("lamps", "registers"). Empty when missing.
  std::string Field(const std::string& name, const std::string& inner = "") const;
  long Number(const std::string& name, const std::string& inner = "") const;
  std::string Shown() const { return Field("shown"); }
  std::string Lamp(const std::string& lamp) const { return Field("lamps", lamp); }
  // The paper's text lines without their CR LF.
  std::vector<std::string> Lines() const;
  // The lit lamps as the manual writes them: names joined by ", ", or "-".
  std::string LitLamps() const;
};

// Runs tm650-run with `options` (already quoted where needed) on `rom`.
RunResult RunFirmware(const std::string& options, const std::string& rom = "");
// Presses `keys` after the other `options`.
RunResult RunKeys(const std::string& keys, const std::string& options = "", const std::string& rom = "");
// What the display shows after `keys`; the run must end idle.
std::string ShownAfter(const std::string& keys);

// Keys pressed from start-up and what must follow: the display, the beeps
// (the start-up one included) and the lit lamps as LitLamps writes them; a
// field left empty is not checked. Every run must end idle.
struct KeyCase {
  std::string keys;
  const char* shown = nullptr;
  int beeps = 0;
  const char* lamps = nullptr;
};
void ExpectKeys(const std::vector<KeyCase>& cases);

// One traced instruction, the registers as they were before it ran.
struct Traced {
  unsigned pc, opcode, a, sp;
};
// Runs the firmware with `options` and a trace, into `run` when given.
std::vector<Traced> RunTraced(const std::string& options, RunResult* run = nullptr);

std::vector<uint8_t> LoadImage();
std::map<std::string, uint16_t> LoadSymbols();
// Writes `image` to `path` and returns the path as a string.
inline std::string SaveImage(const std::vector<uint8_t>& image, const std::filesystem::path& path) {
  Spill(path, std::string(image.begin(), image.end()));
  return path.string();
}
inline std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  const std::string bytes = Slurp(path);
  return {bytes.begin(), bytes.end()};
}

inline uint8_t At(const std::vector<uint8_t>& image, uint16_t address) { return image.at(address - 0xC000u); }

// Decodes one printed line's needle data (7 passes x 20 columns x 4 needles)
// through the font in the image to character codes; "?" for a cell that
// matches no glyph. Empty when the data has the wrong size or a byte fires a
// needle other than its own.
std::string DecodeNeedles(const std::vector<uint8_t>& data, const std::vector<uint8_t>& image,
                          const std::map<std::string, uint16_t>& symbols);

// Four upper-case hex digits, as --peek and its report name an address.
std::string Hex(unsigned value);

// Keys that type a number given in tenths, e.g. 225 -> "2 2 . 5 ".
std::string Type(long tenths);
// Nearest whole number of a / b, halves up (a >= 0, b > 0).
long RoundDiv(long long a, long long b);

struct Gauge {
  long st, rows;        // per 10 cm, or per 4 in, in tenths
  bool inches = false;  // lengths in inches
  // Tenths of a length unit times tenths of a gauge in a gauge's length.
  long Per() const { return inches ? 400 : 1000; }
  // The unit as the paper writes it.
  std::string Unit() const { return inches ? "in" : "cm"; }
};
// Switches to the gauge's unit ("4 A" or "1 0 A") and gives the gauge.
std::string GaugeKeys(const Gauge& g);
constexpr Gauge kGauge22x30 = {220, 300};
// Stitches or rows in a length given in tenths of the unit, to the nearest.
inline long Stitches(long tenths, const Gauge& g) { return RoundDiv(static_cast<long long>(tenths) * g.st, g.Per()); }
inline long Rows(long tenths, const Gauge& g) { return RoundDiv(static_cast<long long>(tenths) * g.rows, g.Per()); }

}  // namespace fwtest
