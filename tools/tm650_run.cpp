// tm650-run: the whole machine without a window. Runs a firmware image,
// presses a script of keys, writes the paper to standard output and, on
// request, a JSON report of what the device's face shows.
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "emulator/machine.h"
#include "emulator/machine_internals.h"
#include "emulator/machine_state.h"
#include "resources/controls.h"
#include "tools/key_names.h"

namespace {

constexpr int EXIT_USAGE = 2;
constexpr int EXIT_UNDECODED = 3;
constexpr int EXIT_HALTED = 4;

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
                        NEW    File > New (restart at 0xC000)
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
                      new file per capture named "%08X-%04u.txt" (the time and
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

Idle means: the PC reaches the wait-for-key loop at 0xE210 with no key held.
A self-loop is a branch to itself; the off loop at 0xCCA5 reports "off".

Numbers are plain decimal digits (ADDR is hex digits): no sign, no spaces,
nothing after them. File and folder names may not be empty.

Exit status: 0 normal stop (idle, limit, self-loop, off); 2 usage or file
error, including a failed write of the paper, the report, the trace, the
state or a needle file (a full disk, the folder gone, more than 1000 files:
no partial file is left); 3 undecoded opcode; 4 halted by CLI or SEI.
)";

struct Peek {
  uint16_t address;
  uint16_t length;
};

struct Options {
  std::string rom;
  std::vector<KeyAction> keys;
  uint64_t hold = 20000;
  uint64_t settle = 20000000;
  uint64_t instructions = 2000000000;
  bool unpatched = false;
  std::string captureDir;
  bool portTrace = false;
  std::string trace;
  std::string report;
  std::string state;
  std::vector<Peek> peeks;
};

enum class Stop { Idle, Limit, SelfLoop, Off, Undecoded, Halted };

const char* StopName(Stop stop) {
  switch (stop) {
    case Stop::Idle: return "idle";
    case Stop::Limit: return "limit";
    case Stop::SelfLoop: return "self-loop";
    case Stop::Off: return "off";
    case Stop::Undecoded: return "undecoded";
    case Stop::Halted: return "halted";
  }
  return "?";
}

// A bad argument is quoted back, but never more than the start of it.
std::string Quote(const std::string& text) {
  constexpr size_t SHOWN = 40;
  if (text.size() <= SHOWN) return text;
  size_t cut = SHOWN;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

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

bool ParseCount(const char* text, uint64_t& value) { return ParseNumber(text, 10, UINT64_MAX, value); }

bool ParsePeek(const std::string& text, Peek& peek) {
  const size_t colon = text.find(':');
  uint64_t address = 0, length = 0;
  if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 16, 0xFFFF, address) ||
      !ParseNumber(text.substr(colon + 1), 10, 0x10000, length) || length == 0)
    return false;
  peek = {static_cast<uint16_t>(address), static_cast<uint16_t>(length - 1)};
  return true;
}

// A folder the needle files can be written to.
std::string CheckCaptureDir(const std::string& dir) {
  std::error_code code;
  if (!std::filesystem::is_directory(dir, code)) return "--capture-dir " + Quote(dir) + " is not a folder";
  if (::access(dir.c_str(), W_OK | X_OK) != 0)
    return "--capture-dir " + Quote(dir) + " cannot be written: " + std::strerror(errno);
  return {};
}

bool ParseKeys(const std::string& text, std::vector<KeyAction>& keys, std::string& error) {
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    auto action = ParseKeyName(word);
    if (!action) {
      error = "unknown key \"" + Quote(word) + "\"; valid keys: " + ValidKeyNames();
      return false;
    }
    keys.push_back(*action);
  }
  return true;
}

// Returns an empty string on success, else the message for the user.
std::string ParseOptions(int argc, char** argv, Options& options, bool& help) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char*& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    const char* v = nullptr;
    if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--unpatched") {
      options.unpatched = true;
    } else if (arg == "--port-trace") {
      options.portTrace = true;
    } else if (arg == "--rom" || arg == "--capture-dir" || arg == "--trace" || arg == "--report" ||
               arg == "--keys" || arg == "--peek" || arg == "--state") {
      if (!value(v)) return arg + " needs a value";
      if (*v == '\0' && arg != "--keys") return arg + " needs a non-empty name";
      if (arg == "--rom") options.rom = v;
      if (arg == "--capture-dir") options.captureDir = v;
      if (arg == "--trace") options.trace = v;
      if (arg == "--report") options.report = v;
      if (arg == "--state") options.state = v;
      if (arg == "--keys") {
        std::string error;
        if (!ParseKeys(v, options.keys, error)) return error;
      }
      if (arg == "--peek") {
        Peek peek{};
        if (!ParsePeek(v, peek)) return "--peek takes ADDR:LEN, ADDR in hex, LEN 1-65536";
        options.peeks.push_back(peek);
      }
    } else if (arg == "--hold" || arg == "--settle" || arg == "--instructions") {
      uint64_t n = 0;
      if (!value(v) || !ParseCount(v, n)) return arg + " needs a whole number";
      if (arg == "--hold") options.hold = n;
      if (arg == "--settle") options.settle = n;
      if (arg == "--instructions") options.instructions = n;
    } else {
      return "unknown option " + Quote(arg) + " (see --help)";
    }
  }
  return {};
}

// Runs the machine in steps, counting instructions against the overall limit.
struct Driver {
  Machine& machine;
  uint64_t limit;
  std::FILE* trace = nullptr;
  uint64_t count = 0;

  void TraceLine() {
    const Core& core = MachineInternals::core(machine);
    const Cpu& cpu = core.cpu;
    uint8_t opcode = core.memory[cpu.PC];
    const char* mnemonic = Mnemonic[opcode][0] ? Mnemonic[opcode] : "???";
    std::fprintf(trace, "%04X %02X %-5s A=%02X B=%02X X=%04X SP=%04X CCR=%02X\n", cpu.PC, opcode,
                 mnemonic, cpu.A, cpu.B, cpu.X, cpu.SP, cpu.CCR);
  }

  // Runs at most `budget` instructions; with `untilIdle`, stops at the key
  // wait. Without a trace the machine runs in slices that end only at its
  // traps; a trace takes one instruction at a time.
  Stop Run(uint64_t budget, bool untilIdle) {
    for (uint64_t n = 0; n < budget;) {
      if (count >= limit) return Stop::Limit;
      const uint64_t room = std::min(budget - n, limit - count);
      if (trace) TraceLine();
      const MachineRun run = RunMachine(machine, trace ? 1 : static_cast<uint32_t>(std::min<uint64_t>(room, 1u << 30)));
      n += run.count;
      count += run.count;
      if (run.result == StepResult::Undecoded) return Stop::Undecoded;
      if (run.result == StepResult::Halted) return Stop::Halted;
      if (run.result == StepResult::OffLoop) return Stop::Off;
      if (run.selfLoop) return Stop::SelfLoop;
      if (untilIdle && run.keyWait && KeysIdle(machine)) return Stop::Idle;
    }
    return untilIdle ? Stop::Limit : Stop::Idle;
  }

  // Keys and the paper act at once; a jump is taken after the next
  // instruction, as the window's are.
  void Send(Command command) {
    MachineSend(machine, command);
    if (command.kind != CommandKind::Power && command.kind != CommandKind::New) ServeCommands(machine);
  }
};

// The device has stopped for good: no key can reach it any more.
bool StoppedForGood(Stop stop) { return stop == Stop::Undecoded || stop == Stop::Halted; }

Stop RunScript(Driver& driver, const Options& options) {
  Stop stop = driver.Run(options.settle, true);
  for (const KeyAction& key : options.keys) {
    if (StoppedForGood(stop)) return stop;
    if (driver.count >= options.instructions) return Stop::Limit;
    switch (key.kind) {
      case ActionKind::Power: driver.Send({CommandKind::Power}); break;
      case ActionKind::New: driver.Send({CommandKind::New}); break;
      case ActionKind::PaperFeed:
        // The window's feed button feeds the pane only; the log, and so
        // the runner's output, keeps what the firmware printed.
        driver.Send({CommandKind::PaperFeed});
        continue;
      case ActionKind::Key: {
        // A control outside the matrix presses nothing, but is held as long.
        const KeyControl* control = FindKeyControl(key.controlId);
        if (control) driver.Send({CommandKind::KeyDown, control->key});
        stop = driver.Run(options.hold, false);
        if (control) driver.Send({CommandKind::KeyUp, control->key});
        if (StoppedForGood(stop)) return stop;
        break;
      }
    }
    stop = driver.Run(options.settle, true);
  }
  return stop;
}

void WriteBool(std::FILE* out, bool value) { std::fputs(value ? "true" : "false", out); }

void WriteReport(std::FILE* out, const Driver& driver, Stop stop, const Options& options) {
  const DeviceView view = MachineView(driver.machine);
  const Core& core = MachineInternals::core(driver.machine);
  const Cpu& cpu = core.cpu;
  std::string digits;
  for (uint8_t digit : view.digits.digit) digits += DigitCharacter(digit);
  const std::string shown = ShownText(view.digits);
  std::fprintf(out, "{\n  \"digits\": \"%s\",\n  \"points\": [", digits.c_str());
  for (size_t i = 0; i < 4; ++i) {
    if (i) std::fputs(", ", out);
    WriteBool(out, view.digits.point[i]);
  }
  std::fprintf(out, "],\n  \"shown\": \"%s\",\n  \"lamps\": {", shown.c_str());
  for (size_t i = 0; i < LampControls.size(); ++i) {
    std::fprintf(out, "%s\"%s\": ", i ? ", " : "", LampControls[i].name);
    WriteBool(out, (view.lamps & LampControls[i].mask) != 0);
  }
  std::fprintf(out, "},\n  \"power\": \"%s\",\n  \"beeps\": %u,\n", view.on ? TEXT_OFF : TEXT_ON,
               view.beeps);
  std::fprintf(out,
               "  \"registers\": {\"A\": %u, \"B\": %u, \"X\": %u, \"SP\": %u, \"PC\": %u, "
               "\"CCR\": %u},\n",
               cpu.A, cpu.B, cpu.X, cpu.SP, cpu.PC, cpu.CCR);
  std::fprintf(out, "  \"instructions\": %" PRIu64 ",\n  \"stop\": \"%s\"", driver.count, StopName(stop));
  if (!options.peeks.empty()) {
    std::fputs(",\n  \"peek\": {", out);
    for (size_t i = 0; i < options.peeks.size(); ++i) {
      const Peek& peek = options.peeks[i];
      std::fprintf(out, "%s\"%04X\": \"", i ? ", " : "", peek.address);
      for (uint32_t n = 0; n <= peek.length; ++n) {
        std::fprintf(out, "%02X", core.memory[(peek.address + n) & 0xFFFF]);
      }
      std::fputc('"', out);
    }
    std::fputc('}', out);
  }
  std::fputs("\n}\n", out);
}

int ExitStatus(Stop stop) {
  if (stop == Stop::Undecoded) return EXIT_UNDECODED;
  if (stop == Stop::Halted) return EXIT_HALTED;
  return 0;
}

bool LoadImage(const Options& options, std::vector<uint8_t>& image) {
  if (!options.rom.empty()) {
    std::string error;
    if (ReadFirmwareFile(options.rom, image, error)) return true;
    std::fprintf(stderr, "tm650-run: %s\n", error.c_str());
    return false;
  }
  auto builtin = BuiltinFirmware();
  if (builtin.empty()) {
    std::fprintf(stderr, "tm650-run: no firmware image is built in; name one with --rom FILE\n");
    return false;
  }
  image.assign(builtin.begin(), builtin.end());
  return true;
}

}  // namespace

// One line on standard error for each event a script should hear of; false
// when the paper could not be written.
bool ReportEvents(Machine& machine) {
  std::vector<Event> events;
  MachineDrain(machine, events);
  bool paperWritten = true;
  for (const Event& event : events) {
    if (event.kind == EventKind::LogFailed) {
      std::fprintf(stderr, "tm650-run: the paper %s\n", event.text.c_str());
      paperWritten = false;
    } else if (event.kind == EventKind::Stopped && event.stop == StopReason::Undecoded) {
      std::fprintf(stderr, "opcode: not decoded: 0x%02X at 0x%04X\n", event.stopOpcode, event.stopAddress);
    } else if (event.kind == EventKind::Stopped) {
      std::fprintf(stderr, "halted: CLI or SEI at 0x%04X\n", event.stopAddress);
    }
  }
  return paperWritten;
}

// Closes an output the runner wrote; false (told why) when any write failed.
bool CloseOutput(std::FILE* file, const std::string& what) {
  const bool failed = std::ferror(file) != 0;
  errno = 0;
  const bool closed = (file == stderr ? std::fflush(file) : std::fclose(file)) == 0;
  if (failed || !closed) {
    std::fprintf(stderr, "tm650-run: cannot write %s: %s\n", what.c_str(),
                 errno ? std::strerror(errno) : "write error");
    return false;
  }
  return true;
}

int main(int argc, char** argv) {
#ifdef _WIN32
  // The paper's CR LF lines go out byte for byte, not with a CR added.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  Options options;
  bool help = false;
  std::string error = ParseOptions(argc, argv, options, help);
  if (help) {
    std::fputs(kHelp, stdout);
    return std::fflush(stdout) == 0 ? 0 : EXIT_USAGE;
  }
  if (error.empty() && !options.captureDir.empty()) error = CheckCaptureDir(options.captureDir);
  if (!error.empty()) {
    std::fprintf(stderr, "tm650-run: %s\n", error.c_str());
    return EXIT_USAGE;
  }
  std::vector<uint8_t> image;
  if (!LoadImage(options, image)) return EXIT_USAGE;

  std::FILE* trace = nullptr;
  if (!options.trace.empty()) {
    trace = std::fopen(options.trace.c_str(), "wb");
    if (!trace) {
      std::fprintf(stderr, "tm650-run: cannot write trace %s: %s\n", Quote(options.trace).c_str(), std::strerror(errno));
      return EXIT_USAGE;
    }
  }

  auto machine = std::make_unique<Machine>();
  MachineConfig config(image, !options.unpatched, SessionLog{stdout, "standard output", {}});
  config.captureDir = options.captureDir;
  if (options.portTrace) config.portTrace = stderr;
  MachineInit(*machine, config);

  if (!options.state.empty()) {
    const StateFileResult restored = LoadMachineState(*machine, options.state);
    if (!restored.ok() && restored.status != StateFileStatus::Missing)
      std::fprintf(stderr, "tm650-run: starting afresh: %s\n", restored.message.c_str());
  }

  Driver driver{*machine, options.instructions, trace};
  Stop stop = RunScript(driver, options);
  PublishPending(*machine);
  bool written = ReportEvents(*machine);
  // A capture that did not reach its file is a failed write like any other.
  if (const std::string failed = MachineCaptureError(*machine); !failed.empty()) {
    std::fprintf(stderr, "tm650-run: needle captures stopped: %s\n", failed.c_str());
    written = false;
  }
  if (trace) written = CloseOutput(trace, "trace " + options.trace) && written;

  if (!options.report.empty()) {
    const bool toStderr = options.report == "-";
    std::FILE* out = toStderr ? stderr : std::fopen(options.report.c_str(), "wb");
    if (!out) {
      std::fprintf(stderr, "tm650-run: cannot write report %s: %s\n", Quote(options.report).c_str(),
                   std::strerror(errno));
      return EXIT_USAGE;
    }
    WriteReport(out, driver, stop, options);
    written = CloseOutput(out, "report " + options.report) && written;
  }
  if (!options.state.empty()) {
    const StateFileResult saved = SaveMachineState(*machine, options.state);
    if (!saved.ok()) {
      std::fprintf(stderr, "tm650-run: cannot save the device: %s\n", saved.message.c_str());
      written = false;
    }
  }
  if (!written) return EXIT_USAGE;
  return ExitStatus(stop);
}
