// Port 6, the needle printer as the firmware's own print and paper-feed
// routines see it. Every read returns the next step of the sensor waveform
// those routines wait on; every write is needle data, kept in a buffer and
// written as one file when the port is cleared, only into a folder a shell
// has named.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

constexpr size_t CAPTURE_SIZE = 1120;              // a printed line brings 560
// A program that prints without end cannot fill the disk nor spend its time
// creating files: past this many files a session keeps no more captures.
constexpr uint32_t CAPTURE_FILES_MAX = 1000;

struct PrinterPort {
  uint8_t state = 0;
  uint8_t homePhase = 0;
  uint8_t stepPhase = 0;
  uint8_t halfStepPhase = 0;
  uint8_t passes = 0;
  uint8_t group = 0;
  uint8_t columns = 0;
  uint8_t steps = 0;
  std::array<uint8_t, CAPTURE_SIZE> capture{};
  uint32_t captureCount = 0;
  uint8_t skip = 0;

  // Set by the shell: the folder that receives one file per capture, named
  // "%08X-%04u.txt" after the time and the session's file number, never
  // replacing a file. Empty: no files at all.
  std::filesystem::path captureDir;
  // Kept for the shell to report. The first failure stops all further
  // attempts; so does reaching CAPTURE_FILES_MAX.
  uint32_t captureNumber = 0;   // in the last file name taken
  uint32_t captureFiles = 0;    // files written this session
  uint32_t capturesLost = 0;    // captures that ended without a file
  uint32_t bytesDropped = 0;    // needle bytes past a full buffer, never written
  std::string captureError;     // one line, "<path>: <reason>" in UTF-8; empty while all is well

  std::FILE* trace = nullptr;   // " == %02X" per read when set
};

// The mechanism and the needle data in flight as a kept device holds them:
// `io` is handed every field in a fixed order, to write them or to read them
// back. The capture folder and the session's counts belong to the shell.
template <class Io, class P>
void PrinterPortState(Io& io, P& port) {
  io(port.state, port.homePhase, port.stepPhase, port.halfStepPhase, port.passes, port.group, port.columns,
     port.steps, port.capture, port.captureCount, port.skip);
}
// Whether values read back are ones the mechanism can be in.
bool PrinterPortValid(const PrinterPort& port);

// `stored` is the byte in memory at 0x17 (unused); `stepCounter` is the firmware's step counter byte.
uint8_t PrinterPortRead(PrinterPort& port, uint8_t stored, uint8_t stepCounter);
void PrinterPortWrite(PrinterPort& port, uint8_t value);
