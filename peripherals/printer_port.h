// Port 6, the needle printer as the firmware's own print and paper-feed
// routines see it. Every read returns the next step of the sensor waveform
// those routines wait on; every write is needle data, captured and dumped to
// a "%08X.txt" file (named after the time) when the port is written 0.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr size_t CAPTURE_SIZE = 1120;

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
  // Set after a full buffer was dumped early: the rest of the same capture
  // is appended, so a dump within the same second does not replace it.
  bool appendNextDump = false;
  std::string captureDir;       // empty: the current directory
  std::FILE* trace = nullptr;   // " == %02X" per read when set
};

// `stored` is the byte in memory at 0x17 (unused); `stepCounter` is the firmware's step counter byte.
uint8_t PrinterPortRead(PrinterPort& port, uint8_t stored, uint8_t stepCounter);
void PrinterPortWrite(PrinterPort& port, uint8_t value);
