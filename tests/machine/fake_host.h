// A host that records every call the machine makes, for the run-loop tests.
#pragma once

#include <string>
#include <vector>

#include "emulator/host.h"

struct FakeHost : Host {
  bool window = true;
  std::vector<uint8_t> lamps;
  std::vector<std::pair<uint8_t, uint8_t>> displayBytes;
  int beeps = 0;
  std::string caption = "OFF";
  std::string pane;
  int clears = 0;
  int stops = 0;
  StopReason reason = StopReason::Undecoded;

  bool WindowExists() const override { return window; }
  void Lamps(uint8_t value) override { lamps.push_back(value); }
  void DisplayByte(uint8_t byte, uint8_t sideB) override { displayBytes.emplace_back(byte, sideB); }
  void Beep() override { ++beeps; }
  void SetPowerCaption(const char* text) override { caption = text; }
  void PaperAppend(const char* text, size_t length) override { pane.append(text, length); }
  void PaperClear() override {
    pane.clear();
    ++clears;
  }
  void Stopped(StopReason why, uint16_t, uint8_t) override {
    ++stops;
    reason = why;
  }
};
