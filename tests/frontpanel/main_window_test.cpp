// The main window on its own, with the machine's shared words but no thread:
// the face, the commands, the lamps and digits, keys by mouse and keyboard,
// paper feed and clear, beeps, quitting and the stopped device.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "app/settings.h"
#include "emulator/machine.h"
#include "frontpanel/digit_painter.h"
#include "frontpanel/face_images.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/help.h"
#include "frontpanel/key_button.h"
#include "frontpanel/main_window.h"
#include "frontpanel/paper_pane.h"
#include "print/print_commands.h"
#include "resources/ids.h"
#include "tests/frontpanel/test_support.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest()
      : machine_(std::make_unique<Machine>()),
        images_(LoadFaceImages(QString())),
        window_(*machine_, settings_, images_, sound_) {
    window_.setMessageBox([this](const QString& caption, const QString& text, bool question) {
      messages_.push_back({caption, text, question});
      return answer_;
    });
  }

  QPushButton* button(int id) { return qobject_cast<QPushButton*>(window_.control(id)); }
  QRadioButton* lamp(int id) { return qobject_cast<QRadioButton*>(window_.control(id)); }
  uint8_t row(int n) { return machine_->keys.row[n].load(); }
  void sendKey(QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&window_, &event);
  }
  void sendDisplay(std::initializer_list<std::pair<uint8_t, bool>> bytes) {
    for (auto [byte, command] : bytes) window_.DisplayByte(byte, command ? 0x80 : 0x00);
  }

  std::unique_ptr<Machine> machine_;
  Settings settings_;
  FakeSound sound_;
  FaceImages images_;
  MainWindow window_;
  std::vector<ShownMessage> messages_;
  bool answer_ = false;
};

TEST_F(MainWindowTest, BuildsEveryControlOfTheFaceAtAFixedSize) {
  window_.show();
  EXPECT_EQ(window_.control(IDC_FACE)->geometry(), QRect(8, 33, 777, 171));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  for (const ControlTemplate& item : FaceControls()) {
    if (item.id >= 0) {
      EXPECT_NE(window_.control(item.id), nullptr) << item.id;
    }
  }
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("OFF"));
  EXPECT_FALSE(window_.control(IDC_CANCEL)->isVisible());
  EXPECT_EQ(window_.key(IDC_KEY_EQUALS)->toolTip(), QStringLiteral("PC key: Enter or ="));
}

TEST_F(MainWindowTest, EveryMenuCommandIsThereAndInTheHelpBook) {
  QFile book(QString::fromLatin1(HELP_BOOK));
  ASSERT_TRUE(book.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(book.readAll());
  for (int id : {IDM_NEW, IDM_PAGE_SETUP, IDC_PRINT, IDM_EXIT, IDM_FONT, IDM_BEEP, IDM_HEADER_FOOTER,
                 IDM_HELP_CONTENTS, IDM_ABOUT})
    ASSERT_NE(window_.action(id), nullptr) << id;
  for (int id : {IDM_PAGE_SETUP, IDC_PRINT, IDM_FONT, IDM_HEADER_FOOTER})
    EXPECT_EQ(window_.action(id)->isEnabled(), PrintingAvailable()) << id;
  const QList<QAction*> actions = window_.findChildren<QAction*>(QRegularExpression(QStringLiteral("^cmd")));
  EXPECT_GE(actions.size(), 11);
  for (const QAction* action : actions) {
    QString name = action->text();  // "&Header && Footer" reads "Header & Footer"
    name.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    name = name.replace(QLatin1Char('\x01'), QLatin1Char('&')).toHtmlEscaped();
    EXPECT_TRUE(html.contains(QStringLiteral("<b>%1</b>").arg(name))) << name.toStdString();
  }
}

TEST_F(MainWindowTest, PowerButtonAndNewFollowTheTable) {
  window_.command(IDC_POWER);  // running -> off
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("ON"));
  EXPECT_EQ(machine_->JumpRequest.load(), ENTRY_POWER_OFF);
  window_.command(IDC_POWER);  // off -> running
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("OFF"));
  EXPECT_EQ(machine_->JumpRequest.load(), ENTRY_RESET);
  window_.SetPowerCaption("ON");  // the firmware switched itself off
  machine_->JumpRequest = 0;
  button(IDC_POWER)->click();
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("OFF"));
  EXPECT_EQ(machine_->JumpRequest.load(), ENTRY_RESET);
  window_.SetPowerCaption("ON");
  window_.command(IDM_NEW);
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("OFF"));
  EXPECT_EQ(machine_->JumpRequest.load(), ENTRY_RESET);
}

TEST_F(MainWindowTest, LampsFollowPortTwoAndIgnoreClicks) {
  window_.show();
  for (auto [bits, lit] : {std::pair{0x3B, true}, {0x84, false}}) {  // every lamp bit but 2; beeper and bit 2
    window_.Lamps(static_cast<uint8_t>(bits));
    for (int id : {IDC_LAMP_GAUGE, IDC_LAMP_MODE, IDC_LAMP_MT, IDC_LAMP_ARC_LENGTH, IDC_LAMP_PRINT})
      EXPECT_EQ(lamp(id)->isChecked(), lit) << id;
  }
  window_.Lamps(0x10);
  EXPECT_TRUE(lamp(IDC_LAMP_ARC_LENGTH)->isChecked());
  QTest::mouseClick(lamp(IDC_LAMP_GAUGE), Qt::LeftButton);
  QTest::mouseClick(lamp(IDC_LAMP_ARC_LENGTH), Qt::LeftButton);
  EXPECT_FALSE(lamp(IDC_LAMP_GAUGE)->isChecked());
  EXPECT_TRUE(lamp(IDC_LAMP_ARC_LENGTH)->isChecked());
}

TEST_F(MainWindowTest, DisplayUpdatesShowDigitsAndPoints) {
  window_.show();
  // "  1.5" then 0: blank, blank, "1" with its point, "5"
  sendDisplay({{0x20, true}, {0x00, false}, {0x00, false}, {0x00, false}, {0x00, false},
               {0x86, false}, {0x00, false}, {0x6D, false}, {0x00, false}, {0x11, true}});
  const DigitState& shown = window_.shown();
  EXPECT_EQ(shown.digit, (std::array<uint8_t, 4>{0x16, 0x16, 1, 5}));
  EXPECT_EQ(shown.point, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_EQ(static_cast<DigitPainter*>(window_.control(IDC_DIGIT_1 + 2))->digit(), 1);
  EXPECT_TRUE(window_.control(IDC_POINT_1 + 2)->isVisible());
  EXPECT_FALSE(window_.control(IDC_POINT_1 + 3)->isVisible());
  // A refresh right after clear shows blanks with all points lit.
  sendDisplay({{0x20, true}, {0x11, true}});
  for (int i = 0; i < 4; ++i) {
    EXPECT_GE(window_.shown().digit[i], DIGIT_BLANK);
    EXPECT_TRUE(window_.control(IDC_POINT_1 + i)->isVisible());
  }
  sendDisplay({{0x54, true}, {0x30, true}, {0x14, true}});  // set-up commands change nothing
  EXPECT_TRUE(window_.control(IDC_POINT_1)->isVisible());
}

TEST_F(MainWindowTest, MouseHoldsAKeyUntilReleaseAndADoubleClickIsOnePress) {
  window_.show();
  KeyButton* five = window_.key(IDC_KEY_1 + 4);  // row 0, column 5
  QTest::mousePress(five, Qt::LeftButton);
  EXPECT_EQ(row(0), 0xDF);
  QTest::mouseRelease(five, Qt::LeftButton);
  EXPECT_EQ(row(0), 0xFF);
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), five->mapToGlobal(QPointF(5, 5)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(five, &second);
  EXPECT_EQ(row(0), 0xFF);
}

TEST_F(MainWindowTest, PcKeysHoldTheirKeysWithoutRepeatingUntilReleasedOrTheWindowIsLeft) {
  window_.show();
  sendKey(QEvent::KeyPress, Qt::Key_5);
  EXPECT_EQ(row(0), 0xDF);
  EXPECT_TRUE(window_.key(IDC_KEY_1 + 4)->isDown());
  machine_->keys.row[0] = 0xFF;  // as if the firmware had seen it: repeats must not press again
  sendKey(QEvent::KeyRelease, Qt::Key_5, true);
  sendKey(QEvent::KeyPress, Qt::Key_5, true);
  EXPECT_EQ(row(0), 0xFF);
  sendKey(QEvent::KeyRelease, Qt::Key_5);
  EXPECT_FALSE(window_.key(IDC_KEY_1 + 4)->isDown());
  // Enter works the equals key, not the default power button.
  EXPECT_TRUE(button(IDC_POWER)->isDefault());
  sendKey(QEvent::KeyPress, Qt::Key_Return);
  EXPECT_EQ(row(4), 0xFB);
  sendKey(QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_EQ(row(4), 0xFF);
  EXPECT_EQ(window_.powerCaption(), QStringLiteral("OFF"));
  EXPECT_EQ(machine_->JumpRequest.load(), 0);
  // Keys held are let go when the window loses the keyboard.
  sendKey(QEvent::KeyPress, Qt::Key_S);
  EXPECT_EQ(row(1), 0xBF);
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(&window_, &deactivate);
  EXPECT_EQ(row(1), 0xFF);
  EXPECT_FALSE(window_.key(IDC_KEY_S)->isDown());
}

TEST_F(MainWindowTest, PaperFeedAndClear) {
  window_.command(IDC_PAPER_FEED);
  EXPECT_EQ(window_.paper()->paper(), "\r\n");
  const char line[] = "22 STS\r\n";
  window_.PaperAppend(line, 8);
  button(IDC_PAPER_FEED)->click();
  EXPECT_EQ(window_.paper()->paper(), "\r\n22 STS\r\n\r\n");
  button(IDC_PAPER_CLEAR)->click();
  EXPECT_TRUE(window_.paper()->paper().empty());
  EXPECT_TRUE(window_.paper()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, EachToneCallBeepsOnceNoSoundIsSilentAndOnlyFailuresAreShown) {
  window_.Beep();
  window_.Beep();
  EXPECT_EQ(sound_.played, (std::vector<int32_t>{64, 64}));
  settings_.Sound = SOUND_NONE;
  window_.Beep();
  EXPECT_EQ(sound_.played.size(), 2u);
  EXPECT_TRUE(messages_.empty());
  settings_.Sound = SOUND_ASTERISK;  // a failed beep says so each time
  sound_.succeed = false;
  window_.Beep();
  window_.Beep();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].caption, QStringLiteral("beep"));
  EXPECT_EQ(messages_[0].text, QStringLiteral("failed"));
  settings_.Sound = SOUND_NONE;
  window_.Beep();
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(MainWindowTest, EscapeAndTheCloseBoxQuitAndLetTheEmulationGo) {
  window_.show();
  EXPECT_TRUE(window_.WindowExists());
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_EQ(machine_->StopFlag.load(), 1u);
  EXPECT_FALSE(window_.WindowExists());
  EXPECT_EQ(window_.result(), 1);
  EXPECT_FALSE(window_.isVisible());
  window_.show();  // the close box quits too
  machine_->StopFlag = 0;
  window_.close();
  EXPECT_EQ(machine_->StopFlag.load(), 1u);
}

TEST_F(MainWindowTest, AnUndecodedOpcodeStopsTheDeviceForGood) {
  window_.show();
  window_.Stopped(StopReason::Undecoded, 0xC035, 0x00);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].caption, QStringLiteral("opcode"));
  EXPECT_EQ(messages_[0].text, QStringLiteral("not decoded"));
  EXPECT_TRUE(messages_[1].question);
  EXPECT_TRUE(window_.deviceStopped());
  EXPECT_TRUE(window_.isVisible());  // answered no: the window stays
  const QString label = qobject_cast<QLabel*>(window_.control(IDC_DISPLAY_LABEL))->text();
  EXPECT_TRUE(label.contains(QStringLiteral("stopped"))) << label.toStdString();
  EXPECT_TRUE(label.contains(QStringLiteral("0xC035")));
  window_.command(IDC_POWER);
  window_.command(IDM_NEW);
  EXPECT_EQ(machine_->JumpRequest.load(), 0);  // nothing can start it again
}

TEST_F(MainWindowTest, AHaltedDeviceOffersToCloseAndClosesOnYes) {
  window_.show();
  answer_ = true;
  window_.Stopped(StopReason::Halted, 0xC010, 0x0F);
  ASSERT_EQ(messages_.size(), 1u);  // no "not decoded" for a halt
  EXPECT_TRUE(messages_[0].question);
  EXPECT_EQ(machine_->StopFlag.load(), 1u);
  EXPECT_FALSE(window_.WindowExists());
}

TEST_F(MainWindowTest, HelpIsForNumberedControlsOnly) {
  window_.show();
  QWidget* key = window_.control(IDC_KEY_1);
  EXPECT_EQ(window_.controlIdAt(key->mapToGlobal(key->rect().center())), IDC_KEY_1);
  QWidget* lampButton = window_.control(IDC_LAMP_PRINT);
  EXPECT_EQ(window_.controlIdAt(lampButton->mapToGlobal(QPoint(3, 3))), IDC_LAMP_PRINT);
  // The "PF" label at (465, 243) in dialog units has no id.
  const QRect label = DialogRect({-1, ControlKind::Label, 465, 243, 10, 7, "PF"});
  QWidget* face = window_.control(IDC_FACE)->parentWidget();
  EXPECT_EQ(window_.controlIdAt(face->mapToGlobal(label.center())), 0);
}

}  // namespace
