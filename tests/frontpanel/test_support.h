// Shared pieces of the window tests: a fake sound layer, a recorder for the
// window's message boxes, a tiny firmware image, and waiting on the event loop.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "frontpanel/sound.h"

class FakeSound : public SoundLayer {
 public:
  bool play(int32_t soundCode) override {
    played.push_back(soundCode);
    return succeed;
  }
  std::vector<int32_t> played;
  bool succeed = true;
};

struct ShownMessage {
  QString caption;
  QString text;
  bool question;
};

// Processes events until `condition` holds or `milliseconds` have passed.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 10000);

// A small firmware for the tests, 16384 bytes for 0xC000. It sets up the
// adapter, beeps once, lights the PRINT lamp alone ("ready") and scans row 0
// (keys 0-7): a held key k goes to the lamps as its bit mask and shows the
// digit k in the rightmost place; key 6 runs an undecoded opcode, key 7 also
// feeds the paper. Once every key is released it is ready again. 0xCC96
// clears the lamps and ends in the sleep at 0xCCA4 and the off loop at 0xCCA5.
std::vector<uint8_t> TestFirmwareImage();
