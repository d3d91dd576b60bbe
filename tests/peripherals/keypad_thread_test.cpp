// The window thread presses and releases keys while the emulation thread
// scans: the row bytes are the only thing they share.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "peripherals/keypad.h"

TEST(KeypadThreads, PressesFromAnotherThreadAreSeenWhole) {
  KeyRows keys;
  std::atomic<bool> done{false};
  std::thread window([&] {
    for (int i = 0; i < 20000; ++i) {
      KeyPress(keys, 1019);  // "6": row 0, 0xBF
      KeyRelease(keys, 1019);
    }
    done = true;
  });
  while (!done) {
    const uint8_t code = KeypadRowCode(keys, 0x3C, 0xFE);
    ASSERT_TRUE(code == 0xFF || code == 0xBF) << int(code);
  }
  window.join();
  EXPECT_EQ(KeypadRowCode(keys, 0x3C, 0xFE), 0xFF);
}
