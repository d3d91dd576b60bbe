// The bridge between the threads: calls are carried out on the GUI thread
// while the caller waits, and detaching releases a waiting caller even when
// the GUI thread is not taking events (shutdown never deadlocks).
#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frontpanel/host_bridge.h"
#include "tests/frontpanel/test_support.h"

namespace {

struct RecordingWindow : Host {
  bool WindowExists() const override { return true; }
  void Lamps(uint8_t value) override {
    lamps = value;
    onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
  }
  void DisplayByte(uint8_t, uint8_t) override {}
  void Beep() override { ++beeps; }
  void SetPowerCaption(const char* text) override { caption = text; }
  void PaperAppend(const char* text, size_t length) override { paper.append(text, length); }
  void PaperClear() override { paper.clear(); }
  void Stopped(StopReason, uint16_t, uint8_t) override { ++stops; }
  int lamps = -1, beeps = 0, stops = 0;
  bool onGuiThread = false;
  std::string caption, paper;
};

TEST(HostBridge, CarriesACallOverAndWaitsForIt) {
  HostBridge bridge;
  RecordingWindow window;
  bridge.attach(&window);
  std::atomic<bool> returned{false};
  std::thread emulation([&] {
    bridge.Lamps(0x21);
    const char text[] = "12\r\n";
    bridge.PaperAppend(text, 4);
    returned = true;
  });
  // The caller stays blocked until the GUI thread takes its events.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(returned);
  EXPECT_TRUE(WaitFor([&] { return returned.load(); }));
  emulation.join();
  EXPECT_EQ(window.lamps, 0x21);
  EXPECT_TRUE(window.onGuiThread);
  EXPECT_EQ(window.paper, "12\r\n");
  bridge.detach();
}

TEST(HostBridge, DetachReleasesAWaitingCallAndDropsIt) {
  HostBridge bridge;
  RecordingWindow window;
  bridge.attach(&window);
  std::atomic<bool> returned{false};
  std::thread emulation([&] {
    bridge.Beep();
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(returned);
  bridge.detach();  // the GUI thread never took the call
  const auto start = std::chrono::steady_clock::now();
  while (!returned && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(returned);
  emulation.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(window.beeps, 0);  // the window was gone when the call came up
}

TEST(HostBridge, NoWindowNoCallsAndGuiThreadCallsRunAtOnce) {
  HostBridge bridge;
  EXPECT_FALSE(bridge.WindowExists());
  bridge.Beep();  // returns at once, nothing to carry it
  RecordingWindow window;
  bridge.attach(&window);
  EXPECT_TRUE(bridge.WindowExists());
  bridge.SetPowerCaption("ON");
  bridge.Stopped(StopReason::Halted, 0xC000, 0x0E);
  EXPECT_EQ(window.caption, "ON");
  EXPECT_EQ(window.stops, 1);
  bridge.detach();
  EXPECT_FALSE(bridge.WindowExists());
}

}  // namespace
