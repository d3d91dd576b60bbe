// tm650-run: the whole machine without a window. Runs a firmware image,
// presses a script of keys, writes the paper to standard output and, on
// request, a JSON report of what the device's face shows. The options, the
// driver and the report are rooms of their own (tools/runner_*).
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "emulator/machine.h"
#include "emulator/machine_state.h"
#include "tools/runner_driver.h"
#include "tools/runner_options.h"
#include "tools/runner_report.h"

namespace {

constexpr int EXIT_USAGE = 2;

// Every line the runner writes on standard error starts so.
void Complain(const std::string& message) { std::fprintf(stderr, "tm650-run: %s\n", message.c_str()); }

std::FILE* OpenForWriting(const std::string& name) {
#ifdef _WIN32
  return ::_wfopen(PathOf(name).c_str(), L"wb");
#else
  return std::fopen(name.c_str(), "wb");
#endif
}

bool LoadImage(const Options& options, std::vector<uint8_t>& image) {
  if (!options.rom.empty()) {
    std::string error;
    if (ReadFirmwareFile(PathOf(options.rom), image, error)) return true;
    Complain(error);
    return false;
  }
  auto builtin = BuiltinFirmware();
  if (builtin.empty()) {
    Complain("no firmware image is built in; name one with --rom FILE");
    return false;
  }
  image.assign(builtin.begin(), builtin.end());
  return true;
}

// One line on standard error for each event a script should hear of; false
// when the paper could not be written.
bool ReportEvents(Machine& machine) {
  std::vector<Event> events;
  MachineDrain(machine, events);
  bool paperWritten = true;
  for (const Event& event : events) {
    if (event.kind == EventKind::LogFailed) {
      Complain("the paper " + event.text);
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
  if (failed || !closed) Complain("cannot write " + what + ": " + (errno ? std::strerror(errno) : "write error"));
  return !failed && closed;
}

// False when the report cannot be opened; `written` turns false when it is
// not written whole.
bool WriteReport(const std::string& name, const std::string& json, bool& written) {
  std::FILE* out = name == "-" ? stderr : OpenForWriting(name);
  if (!out) {
    Complain("cannot write report " + Quote(name) + ": " + std::strerror(errno));
    return false;
  }
  std::fputs(json.c_str(), out);
  written = CloseOutput(out, "report " + name) && written;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The paper's CR LF lines go out byte for byte, not with a CR added.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  Options options;
  const std::string error = ParseOptions(CommandLineArguments(argc, argv), options);
  if (options.help) {
    std::fputs(HelpText().c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : EXIT_USAGE;
  }
  if (!error.empty()) {
    Complain(error);
    return EXIT_USAGE;
  }
  std::vector<uint8_t> image;
  if (!LoadImage(options, image)) return EXIT_USAGE;

  std::FILE* trace = nullptr;
  if (!options.trace.empty() && !(trace = OpenForWriting(options.trace))) {
    Complain("cannot write trace " + Quote(options.trace) + ": " + std::strerror(errno));
    return EXIT_USAGE;
  }

  auto machine = std::make_unique<Machine>();
  MachineConfig config{image, !options.unpatched, SessionLog{stdout, "standard output", {}}};
  config.captureDir = PathOf(options.captureDir);
  if (options.portTrace) config.portTrace = stderr;
  MachineInit(*machine, config);

  if (!options.state.empty()) {
    const StateFileResult restored = LoadMachineState(*machine, PathOf(options.state));
    if (!restored.ok() && restored.status != StateFileStatus::Missing)
      Complain("starting afresh: " + restored.message);
  }

  Driver driver{*machine, options.instructions, trace};
  const Stop stop = RunScript(driver, {options.keys, options.hold, options.settle});
  PublishPending(*machine);
  bool written = ReportEvents(*machine);
  // A capture that did not reach its file is a failed write like any other.
  if (const std::string error = MachineCaptureError(*machine); !error.empty()) {
    Complain("needle captures stopped: " + error);
    written = false;
  }
  if (trace) written = CloseOutput(trace, "trace " + options.trace) && written;
  if (!options.report.empty()) {
    const std::string json = ReportJson(GatherReport(*machine, driver, stop, options.peeks));
    if (!WriteReport(options.report, json, written)) return EXIT_USAGE;
  }
  if (!options.state.empty()) {
    const StateFileResult saved = SaveMachineState(*machine, PathOf(options.state));
    if (!saved.ok()) {
      Complain("cannot save the device: " + saved.message);
      written = false;
    }
  }
  return written ? ExitStatus(stop) : EXIT_USAGE;
}
