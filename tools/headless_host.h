// A shell without a window: it keeps what the window would show (digits,
// lamps, power caption, beeps) and sends the paper to a stream.
#pragma once

#include <cstdio>
#include <string>

#include "emulator/host.h"
#include "peripherals/display.h"

struct HeadlessHost : Host {
  std::FILE* paperOut = nullptr;  // receives every appended byte
  uint8_t port2 = 0;
  DisplayCells cells;
  DigitState shown;
  int beeps = 0;
  std::string power = "OFF";
  std::string paper;  // the pane's text
  bool stopped = false;
  StopReason stopReason = StopReason::Undecoded;
  uint16_t stopPc = 0;
  uint8_t stopOpcode = 0;

  bool WindowExists() const override { return true; }
  void Lamps(uint8_t value) override { port2 = value; }
  void DisplayByte(uint8_t byte, uint8_t sideBIn) override {
    DisplayReceive(cells, shown, byte, (sideBIn & 0x80) != 0);
  }
  void Beep() override { ++beeps; }
  void SetPowerCaption(const char* text) override { power = text; }
  void PaperAppend(const char* text, size_t length) override;
  void PaperClear() override { paper.clear(); }
  void Stopped(StopReason reason, uint16_t pc, uint8_t opcode) override;
};
