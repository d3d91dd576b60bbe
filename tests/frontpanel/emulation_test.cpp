// The face driving a running machine on its own thread: keys clicked with the
// mouse change the digits and lamps as the firmware defines, the power button
// and File > New restart it, the firmware's paper feed reaches the pane and
// the log alike, and a stopped device stays stopped. Most cases run a small
// firmware of the tests' own; one runs the built-in firmware when there is one.
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/machine.h"
#include "frontpanel/face_images.h"
#include "frontpanel/host_bridge.h"
#include "frontpanel/key_button.h"
#include "frontpanel/main_window.h"
#include "frontpanel/paper_pane.h"
#include "resources/ids.h"
#include "tests/frontpanel/test_support.h"

namespace {

class Emulation : public ::testing::Test {
 protected:
  // As start-up builds it; the machine and bridge are never deleted, since
  // a thread that outlives the stop wait may still use them.
  void start(std::span<const uint8_t> image) {
    machine_ = new Machine;
    bridge_ = new HostBridge;
    MachineWire(*machine_, bridge_);
    LoadFirmware(*machine_, image);
    ApplyFirmwarePatches(*machine_);
    log_ = std::tmpfile();
    machine_->LogFile = log_;
    PiaReset(machine_->pia);
    window_ = std::make_unique<MainWindow>(*machine_, settings_, images_, sound_, bridge_);
    window_->setMessageBox([this](const QString& caption, const QString& text, bool question) {
      messages_.push_back({caption, text, question});
      return false;
    });
    window_->show();
    StartEmulation(*machine_, runner_);
  }

  void TearDown() override {
    if (!machine_) return;
    window_->command(IDM_EXIT);
    StopEmulation(*machine_, runner_, 100);
    window_.reset();
    if (log_) std::fclose(log_);
  }

  void press(int id) { QTest::mousePress(window_->key(id), Qt::LeftButton); }
  void release(int id) { QTest::mouseRelease(window_->key(id), Qt::LeftButton); }
  bool lampOn(int id) { return qobject_cast<QRadioButton*>(window_->control(id))->isChecked(); }
  uint8_t digit(int i) { return window_->shown().digit[i]; }
  std::string logText() {
    std::fflush(log_);
    std::rewind(log_);
    std::string text;
    for (int c; (c = std::fgetc(log_)) != EOF;) text += static_cast<char>(c);
    return text;
  }

  // The test firmware lights PRINT alone while it waits for a key.
  bool ready() {
    for (int id : {IDC_LAMP_GAUGE, IDC_LAMP_MODE, IDC_LAMP_MT, IDC_LAMP_ARC_LENGTH})
      if (lampOn(id)) return false;
    return lampOn(IDC_LAMP_PRINT);
  }

  // Holds a key until the firmware has shown it, then lets go and waits until
  // the firmware has seen the release and waits for the next key.
  bool click(int id, const std::function<bool()>& shown) {
    if (!WaitFor([&] { return ready(); })) return false;
    press(id);
    const bool ok = WaitFor(shown);
    release(id);
    return ok && WaitFor([&] { return ready(); });
  }

  Machine* machine_ = nullptr;
  HostBridge* bridge_ = nullptr;
  EmulationRunner runner_;
  Settings settings_;
  FakeSound sound_;
  FaceImages images_ = LoadFaceImages(QString());
  std::unique_ptr<MainWindow> window_;
  std::vector<ShownMessage> messages_;
  std::FILE* log_ = nullptr;
};

TEST_F(Emulation, ClickedKeysChangeTheDigitsAndLamps) {
  start(TestFirmwareImage());
  // "3" (row 0, column 3) lights M/T alone and shows 3.
  ASSERT_TRUE(click(IDC_KEY_1 + 2, [&] { return digit(3) == 3 && lampOn(IDC_LAMP_MT) && !lampOn(IDC_LAMP_PRINT); }));
  EXPECT_GE(digit(0), DIGIT_BLANK);
  EXPECT_FALSE(window_->control(IDC_POINT_1 + 3)->isVisible());
  ASSERT_TRUE(click(IDC_KEY_0, [&] { return digit(3) == 0 && lampOn(IDC_LAMP_GAUGE) && !lampOn(IDC_LAMP_MT); }));
  ASSERT_TRUE(click(IDC_KEY_1, [&] { return digit(3) == 1 && lampOn(IDC_LAMP_MODE); }));
}

TEST_F(Emulation, PowerOffRelabelsAndPowerOnRestarts) {
  start(TestFirmwareImage());
  ASSERT_TRUE(click(IDC_KEY_1 + 3, [&] { return digit(3) == 4 && lampOn(IDC_LAMP_ARC_LENGTH); }));
  ASSERT_TRUE(WaitFor([&] { return sound_.played.size() == 1; }));
  window_->command(IDC_POWER);
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("ON"));
  ASSERT_TRUE(WaitFor([&] { return !lampOn(IDC_LAMP_PRINT); }));  // the off sequence clears the lamps
  EXPECT_EQ(digit(3), 4);  // the last digits stay while off
  window_->command(IDC_POWER);
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
  EXPECT_TRUE(WaitFor([&] { return sound_.played.size() == 2; }, 3000));  // the reset entry beeps
}

TEST_F(Emulation, StartsWithOneBeepAndFileNewRestartsAndClearsThePaper) {
  start(TestFirmwareImage());
  ASSERT_TRUE(WaitFor([&] { return sound_.played.size() == 1; }));
  QTest::qWait(50);
  EXPECT_EQ(sound_.played.size(), 1u);
  window_->command(IDC_PAPER_FEED);
  EXPECT_EQ(window_->paper()->paper(), "\r\n");
  window_->command(IDM_NEW);
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
  ASSERT_TRUE(WaitFor([&] { return sound_.played.size() == 2; }));
  EXPECT_TRUE(window_->paper()->paper().empty());
}

TEST_F(Emulation, TheFirmwaresPaperFeedReachesPaneAndLogAlike) {
  start(TestFirmwareImage());
  ASSERT_TRUE(click(IDC_KEY_1 + 6, [&] { return digit(3) == 7; }));  // "7" feeds the paper
  ASSERT_TRUE(click(IDC_KEY_1 + 6, [&] { return window_->paper()->paper().size() == 4 && digit(3) == 7; }));
  EXPECT_EQ(window_->paper()->paper(), "\r\n\r\n");
  EXPECT_EQ(logText(), window_->paper()->paper());
}

TEST_F(Emulation, AnUndecodedOpcodeStopsTheDeviceAndTheWindowSaysSo) {
  start(TestFirmwareImage());
  ASSERT_TRUE(WaitFor([&] { return ready(); }));
  press(IDC_KEY_1 + 5);  // "6" runs opcode 0x00
  ASSERT_TRUE(WaitFor([&] { return window_->deviceStopped(); }));
  release(IDC_KEY_1 + 5);
  ASSERT_GE(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].caption, QStringLiteral("opcode"));
  EXPECT_EQ(messages_[0].text, QStringLiteral("not decoded"));
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(qobject_cast<QLabel*>(window_->control(IDC_DISPLAY_LABEL))->text().contains(QStringLiteral("stopped")));
  EXPECT_TRUE(WaitFor([&] { return runner_.ended->load(); }));  // the thread has ended for good
}

TEST_F(Emulation, QuittingWhileTheThreadWaitsOnTheWindowDoesNotHang) {
  start(TestFirmwareImage());
  ASSERT_TRUE(WaitFor([&] { return sound_.played.size() == 1; }));
  press(IDC_KEY_1 + 2);
  QTest::qWait(20);  // the firmware is now sending display bytes, each a blocking call
  window_->command(IDM_EXIT);
  EXPECT_TRUE(StopEmulation(*machine_, runner_, 100));
  release(IDC_KEY_1 + 2);
}

// The digits shown, as characters, left to right.
std::string Shown(const DigitState& state) {
  std::string text;
  for (uint8_t value : state.digit) text += DigitCharacter(value);
  return text;
}

TEST_F(Emulation, TheBuiltInFirmwareTakesNumbers) {
  const auto image = BuiltinFirmware();
  if (image.empty()) GTEST_SKIP() << "this build has no built-in firmware";
  start(image);
  ASSERT_TRUE(WaitFor([&] { return Shown(window_->shown()) == "   0"; })) << Shown(window_->shown());
  EXPECT_EQ(sound_.played.size(), 1u);
  press(IDC_KEY_1);
  ASSERT_TRUE(WaitFor([&] { return Shown(window_->shown()) == "   1"; })) << Shown(window_->shown());
  release(IDC_KEY_1);
  QTest::qWait(200);  // the firmware confirms the release before it takes the next key
  press(IDC_KEY_1 + 1);
  ASSERT_TRUE(WaitFor([&] { return Shown(window_->shown()) == "  12"; })) << Shown(window_->shown());
  release(IDC_KEY_1 + 1);
  QTest::qWait(200);
  press(IDC_KEY_C);
  EXPECT_TRUE(WaitFor([&] { return Shown(window_->shown()) == "   0"; })) << Shown(window_->shown());
  release(IDC_KEY_C);
}

}  // namespace
