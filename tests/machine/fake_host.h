// A host that records what the run-loop tests look at: beeps, caption, paper
// and stops.
#pragma once

#include <string>

#include "emulator/host.h"

struct FakeHost : Host {
  bool window = true;
  int beeps = 0;
  std::string caption = "OFF";
  std::string pane;
  int stops = 0;
  StopReason reason = StopReason::Undecoded;

  bool WindowExists() const override { return window; }
  void Lamps(uint8_t) override {}
  void DisplayByte(uint8_t, uint8_t) override {}
  void Beep() override { ++beeps; }
  void SetPowerCaption(const char* text) override { caption = text; }
  void PaperAppend(const char* text, size_t length) override { pane.append(text, length); }
  void PaperClear() override { pane.clear(); }
  void Stopped(StopReason why, uint16_t, uint8_t) override {
    ++stops;
    reason = why;
  }
};
