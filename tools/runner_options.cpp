// The runner's options: every value is checked in full before anything is
// read or run, and a bad one is named in a single line.
#include "tools/runner_options.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "emulator/firmware_map.h"

namespace {

const char* const kHelp = R"(Usage: tm650-run [options]

Runs the TM650 firmware on the emulated machine without a window. Standard
output carries the paper, byte for byte what the log file receives (lines end
in CR LF). Diagnostics go to standard error.

Options:
  --rom FILE          firmware image to run (default: the built-in one). A file
                      shorter than 16384 bytes is zero-filled to 0xFFFF.
  --keys "SEQ"        keys to press, separated by spaces:
                        0-9 .  C  AC (All)  ACNG (No gauge)  S R X Y Z
                        P= (control 1031)  = (control 1032)
                        FA-FN  function keys A-N (controls 1000-1013)
                        PF     the window's paper-feed button (an empty line
                               on the pane; like the window's, not logged)
                        POWER  the power button (OFF while running, ON while off)
                        NEW    File > New (restart at 0x%04X)
                        #NNNN  any control id
                      Each key is pressed, held --hold instructions, released,
                      and the machine then runs until the firmware is idle.
  --hold N            instructions a key is held (default 20000)
  --settle N          at most N instructions to become idle after start and
                      after each key (default 20000000)
  --instructions N    overall limit of instructions (default 2000000000)
  --unpatched         run the firmware's own tone, delay, print and paper-feed
                      routines instead of the host's traps
  --capture-dir DIR   where unpatched printing writes its needle files, one
                      new file per capture named "%%08X-%%04u.txt" (the time and
                      a number); without it no files are written
  --state FILE        continue a session: load the device (memory, registers,
                      adapter, display, lamps, power, paper pane) from FILE if
                      it is there, and save it there at the end. A file that
                      cannot be used (damaged, another version or firmware)
                      is reported on standard error and the run starts afresh.
                      Only a regular file is replaced, or the file a symlink
                      names; a folder, pipe or device is refused.
  --port-trace        write the printer port's " == XX" per read to stderr
  --trace FILE        one line per instruction: PC, opcode, mnemonic, A, B, X,
                      SP, CCR (before the instruction runs)
  --peek ADDR:LEN     add LEN bytes of memory from ADDR (hex) to the report;
                      may be repeated
  --report FILE       write a JSON report ("-" for standard error):
                        digits   the four digits as shown: 0-9, A-F, blank " "
                        points   four booleans, the decimal points
                        shown    the digits with "." after each lit point
                        lamps    GAUGE, MODE, M/T, ARC LENGTH, PRINT booleans
                        power    the power button's caption, "OFF" or "ON"
                        beeps    number of calls of the tone routine
                        registers  A B X SP PC CCR
                        instructions  instructions executed
                        stop     idle | limit | self-loop | off | undecoded | halted
                        peek     {"ADDR": "hex bytes"} for each --peek
  --help              this text

Idle means: the PC reaches the wait-for-key loop at 0x%04X with no key held.
A self-loop is a branch to itself; the off loop at 0x%04X reports "off".

Numbers are plain decimal digits (ADDR is hex digits): no sign, no spaces,
nothing after them. File and folder names may not be empty; they are taken
as UTF-8, and on Windows as the command line's own characters.

Exit status: 0 normal stop (idle, limit, self-loop, off); 2 usage or file
error, including a failed write of the paper, the report, the trace, the
state or a needle file (a full disk, the folder gone, more than 1000 files:
no partial file is left); 3 undecoded opcode; 4 halted by CLI or SEI.
)";

// Digits only, in `base`, at most `limit`: no sign, space, overflow or tail.
bool ParseNumber(const std::string& text, int base, uint64_t limit, uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t n = 0;
  for (char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0 || n > (limit - digit) / base) return false;
    n = n * base + digit;
  }
  value = n;
  return true;
}

bool ParsePeek(const std::string& text, Peek& peek) {
  const size_t colon = text.find(':');
  uint64_t address = 0, length = 0;
  if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 16, 0xFFFF, address) ||
      !ParseNumber(text.substr(colon + 1), 10, 0x10000, length) || length == 0)
    return false;
  peek = {static_cast<uint16_t>(address), static_cast<uint16_t>(length - 1)};
  return true;
}

std::string ParseKeys(const std::string& text, std::vector<KeyAction>& keys) {
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    auto action = ParseKeyName(word);
    if (!action) return "unknown key \"" + Quote(word) + "\"; valid keys: " + ValidKeyNames();
    keys.push_back(*action);
  }
  return {};
}

bool CanWriteInto(const std::filesystem::path& folder) {
#ifdef _WIN32
  return ::_waccess(folder.c_str(), 2) == 0;
#else
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

// A folder the needle files can be written to.
std::string CheckCaptureDir(const std::string& dir) {
  std::error_code code;
  if (!std::filesystem::is_directory(PathOf(dir), code)) return "--capture-dir " + Quote(dir) + " is not a folder";
  if (!CanWriteInto(PathOf(dir))) return "--capture-dir " + Quote(dir) + " cannot be written: " + std::strerror(errno);
  return {};
}

// Where each option's value goes; null for an option of another kind.
bool* FlagField(const std::string& option, Options& options) {
  if (option == "--help" || option == "-h") return &options.help;
  if (option == "--unpatched") return &options.unpatched;
  if (option == "--port-trace") return &options.portTrace;
  return nullptr;
}

std::string* NameField(const std::string& option, Options& options) {
  if (option == "--rom") return &options.rom;
  if (option == "--capture-dir") return &options.captureDir;
  if (option == "--trace") return &options.trace;
  if (option == "--report") return &options.report;
  if (option == "--state") return &options.state;
  return nullptr;
}

uint64_t* CountField(const std::string& option, Options& options) {
  if (option == "--hold") return &options.hold;
  if (option == "--settle") return &options.settle;
  if (option == "--instructions") return &options.instructions;
  return nullptr;
}

}  // namespace

std::string HelpText() {
  const int size = std::snprintf(nullptr, 0, kHelp, ENTRY_RESET, WAIT_FOR_KEY, TRAP_OFF_LOOP);
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), kHelp, ENTRY_RESET, WAIT_FOR_KEY, TRAP_OFF_LOOP);
  text.pop_back();
  return text;
}

std::string Quote(const std::string& text) {
  constexpr size_t SHOWN = 40;
  if (text.size() <= SHOWN) return text;
  size_t cut = SHOWN;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

std::filesystem::path PathOf(const std::string& name) { return std::u8string(name.begin(), name.end()); }

#ifdef _WIN32
// The narrow argv holds the code page's characters; the wide command line
// holds every name as typed.
std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) {
    const std::u8string text = std::filesystem::path(wide[i]).u8string();
    arguments.emplace_back(text.begin(), text.end());
  }
  ::LocalFree(wide);
  return arguments;
}
#else
std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
#endif

std::string ParseOptions(const std::vector<std::string>& arguments, Options& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (bool* flag = FlagField(arg, options)) {
      *flag = true;
      continue;
    }
    std::string* name = NameField(arg, options);
    uint64_t* count = CountField(arg, options);
    if (!name && !count && arg != "--keys" && arg != "--peek") return "unknown option " + Quote(arg) + " (see --help)";
    if (i + 1 >= arguments.size()) return arg + (count ? " needs a whole number" : " needs a value");
    const std::string& value = arguments[++i];
    if (count) {
      if (!ParseNumber(value, 10, UINT64_MAX, *count)) return arg + " needs a whole number";
    } else if (arg == "--keys") {
      if (std::string error = ParseKeys(value, options.keys); !error.empty()) return error;
    } else if (value.empty()) {
      return arg + " needs a non-empty name";
    } else if (name) {
      *name = value;
    } else {
      Peek peek{};
      if (!ParsePeek(value, peek)) return "--peek takes ADDR:LEN, ADDR in hex, LEN 1-65536";
      options.peeks.push_back(peek);
    }
  }
  if (!options.captureDir.empty()) return CheckCaptureDir(options.captureDir);
  return {};
}
