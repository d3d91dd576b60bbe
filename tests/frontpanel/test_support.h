// Shared pieces of the window tests: a fake sound layer, a recorder for the
// window's message boxes, and waiting on the event loop.
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
