// Port 6 as the firmware's print and paper-feed routines see it: reads walk
// the sensor waveform those routines wait on, writes are needle data that is
// written to a file of its own when the port is cleared.
#include "peripherals/printer_port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

enum State : uint8_t {
  IDLE = 0,
  HOME = 1,
  PASS_START = 2,
  GROUP_STEP = 3,
  HALF_STEP_1 = 4,
  STEP_1 = 5,
  HALF_STEP_2 = 6,
  STEP_2 = 7,
  BETWEEN_GROUPS = 8,
  TAIL_STEPS = 9,
  TAIL_HOME = 10,
  FINAL_STEPS = 11,
  FEED_STEPS = 20,
};

constexpr uint8_t PASSES = 7;
constexpr uint8_t COLUMNS_PER_GROUP = 5;
constexpr uint8_t COLUMNS_PER_PASS = 20;
constexpr uint8_t FEED_STEP_COUNT = 84;  // also the firmware's step counter while feeding
constexpr uint8_t TAIL_STEP_COUNT = 72;
constexpr uint8_t FINAL_STEP_COUNT = 168;

struct Pulse {
  uint8_t value;
  bool complete;  // the generator's phase is back at 0
};

Pulse Generate(uint8_t& phase, const uint8_t* values, uint8_t length) {
  const uint8_t value = values[phase];
  phase = static_cast<uint8_t>((phase + 1) % length);
  return Pulse{value, phase == 0};
}

Pulse HomePulse(PrinterPort& port) {
  static constexpr uint8_t values[] = {0x20, 0x20, 0x00, 0x00};
  return Generate(port.homePhase, values, 4);
}

Pulse StepPulse(PrinterPort& port) {
  static constexpr uint8_t values[] = {0x00, 0x00, 0x10, 0x10};
  return Generate(port.stepPhase, values, 4);
}

Pulse HalfStepPulse(PrinterPort& port) {
  static constexpr uint8_t values[] = {0x00, 0x00};
  return Generate(port.halfStepPhase, values, 2);
}

// A step pulse that moves to `next` once it is complete.
uint8_t StepThen(PrinterPort& port, State next) {
  const Pulse pulse = StepPulse(port);
  if (pulse.complete) port.state = next;
  return pulse.value;
}

uint8_t HalfStepThen(PrinterPort& port, State next) {
  const Pulse pulse = HalfStepPulse(port);
  if (pulse.complete) port.state = next;
  return pulse.value;
}

void EndColumn(PrinterPort& port) {
  ++port.columns;
  --port.group;
  if (port.group != 0) {
    port.state = HALF_STEP_1;
  } else if (port.columns != COLUMNS_PER_PASS) {
    port.state = BETWEEN_GROUPS;
  } else if (--port.passes == 0) {
    port.steps = TAIL_STEP_COUNT;
    port.state = TAIL_STEPS;
  } else {
    port.state = HOME;
  }
}

// Counts one step pulse off `steps`; true when the last one is done.
bool CountedStep(PrinterPort& port, uint8_t& value) {
  const Pulse pulse = StepPulse(port);
  value = pulse.value;
  return pulse.complete && --port.steps == 0;
}

uint8_t NextWaveformValue(PrinterPort& port, uint8_t stepCounter) {
  for (;;) {
    switch (port.state) {
      case IDLE:
        port.passes = PASSES;
        port.state = HOME;
        continue;
      case HOME: {
        const Pulse pulse = HomePulse(port);
        if (pulse.complete) {
          port.columns = 0;
          port.state = PASS_START;
        }
        return pulse.value;
      }
      case PASS_START:
        if (stepCounter == FEED_STEP_COUNT) {
          port.steps = FEED_STEP_COUNT;
          port.state = FEED_STEPS;
        } else {
          port.group = COLUMNS_PER_GROUP;
          port.state = GROUP_STEP;
        }
        continue;
      case FEED_STEPS: {
        uint8_t value;
        if (CountedStep(port, value)) port.state = --port.passes == 0 ? IDLE : HOME;
        return value;
      }
      case GROUP_STEP: return StepThen(port, HALF_STEP_1);
      case HALF_STEP_1: return HalfStepThen(port, STEP_1);
      case STEP_1: return StepThen(port, HALF_STEP_2);
      case HALF_STEP_2: return HalfStepThen(port, STEP_2);
      case STEP_2: {
        const Pulse pulse = StepPulse(port);
        if (pulse.complete) EndColumn(port);
        return pulse.value;
      }
      case BETWEEN_GROUPS: return StepThen(port, PASS_START);
      case TAIL_STEPS: {
        uint8_t value;
        if (CountedStep(port, value)) port.state = TAIL_HOME;
        return value;
      }
      case TAIL_HOME: {
        const Pulse pulse = HomePulse(port);
        if (pulse.complete) {
          port.steps = FINAL_STEP_COUNT;
          port.state = FINAL_STEPS;
        }
        return pulse.value;
      }
      case FINAL_STEPS: {
        uint8_t value;
        if (CountedStep(port, value)) port.state = IDLE;
        return value;
      }
      default:
        return 0;
    }
  }
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

// Files of an earlier or a parallel session may hold the names this one
// would take: a name in use is skipped, a few times at most.
constexpr int NAME_ATTEMPTS = 16;

std::filesystem::path CaptureFileName(const PrinterPort& port) {
  char name[32];
  std::snprintf(name, sizeof name, "%08X-%04u.txt", static_cast<unsigned>(std::time(nullptr)), port.captureNumber);
  return port.captureDir / name;
}

// Creates a file that did not exist ("x": never replaces one).
std::FILE* CreateCaptureFile(PrinterPort& port, std::filesystem::path& path) {
  for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
    ++port.captureNumber;
    path = CaptureFileName(port);
#ifdef _WIN32
    std::FILE* file = ::_wfopen(path.c_str(), L"wbx");  // the narrow call knows only the code page's names
#else
    std::FILE* file = std::fopen(path.c_str(), "wbx");
#endif
    if (file) return file;
    if (errno != EEXIST) break;
  }
  return nullptr;
}

bool NoteCaptureFailure(PrinterPort& port, const std::filesystem::path& path) {
  port.captureError = Utf8(path) + ": " + (errno != 0 ? std::strerror(errno) : "cannot be written");
  return false;
}

// A file that could not be written whole (a full disk, say) is taken away
// again: no capture leaves an empty or partial file behind.
bool WriteCaptureFile(PrinterPort& port) {
  std::filesystem::path path;
  errno = 0;
  std::FILE* file = CreateCaptureFile(port, path);
  if (file == nullptr) return NoteCaptureFailure(port, path);
  bool written = std::fwrite(port.capture.data(), port.captureCount, 1, file) == 1 && std::fflush(file) == 0;
  written = std::fclose(file) == 0 && written;
  if (written) return true;
  NoteCaptureFailure(port, path);
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return false;
}

bool CanWriteCaptures(PrinterPort& port) {
  if (port.captureDir.empty() || !port.captureError.empty()) return false;
  if (port.captureFiles < CAPTURE_FILES_MAX) return true;
  port.captureError = Utf8(port.captureDir) + ": " + std::to_string(CAPTURE_FILES_MAX) +
                      " needle files written in this session; no more are kept";
  return false;
}

void EndCapture(PrinterPort& port) {
  if (port.captureCount == 0 || port.captureDir.empty()) return;
  if (CanWriteCaptures(port) && WriteCaptureFile(port)) {
    ++port.captureFiles;
  } else {
    ++port.capturesLost;
  }
}

void CaptureNeedles(PrinterPort& port, uint8_t value) {
  if (port.captureCount == CAPTURE_SIZE) {
    ++port.bytesDropped;
    return;
  }
  port.capture[port.captureCount++] = value & 0x7F;
}

void ResetMechanism(PrinterPort& port) {
  port.skip = 1;  // the motor-on byte that follows a clear is not needle data
  port.homePhase = 0;
  port.stepPhase = 0;
  port.halfStepPhase = 0;
  port.state = IDLE;
  port.captureCount = 0;
}

}  // namespace

bool PrinterPortValid(const PrinterPort& port) {
  const bool knownState = port.state <= FINAL_STEPS || port.state == FEED_STEPS;
  return knownState && port.homePhase < 4 && port.stepPhase < 4 && port.halfStepPhase < 2 && port.passes <= PASSES &&
         port.group <= COLUMNS_PER_GROUP && port.columns <= COLUMNS_PER_PASS && port.captureCount <= CAPTURE_SIZE &&
         port.skip <= 1;
}

uint8_t PrinterPortRead(PrinterPort& port, uint8_t /*stored*/, uint8_t stepCounter) {
  const uint8_t value = NextWaveformValue(port, stepCounter);
  if (port.trace) std::fprintf(port.trace, " == %02X", value);
  return value;
}

void PrinterPortWrite(PrinterPort& port, uint8_t value) {
  if (value != 0) {
    if (!port.skip) CaptureNeedles(port, value);
    port.skip ^= 1;
    return;
  }
  EndCapture(port);
  ResetMechanism(port);
}
