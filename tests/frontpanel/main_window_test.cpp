// The main window as a shell of the machine. The machine runs here on the
// test's own thread (the built-in firmware, or a tiny image), so every case
// is deterministic: clicks and PC keys become commands, and the window draws
// the events the firmware's answers publish. One case runs the machine's
// own thread: quitting while the device is off.
#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/machine.h"
#include "frontpanel/digit_painter.h"
#include "frontpanel/face_images.h"
#include "frontpanel/face_layout.h"
#include "frontpanel/help.h"
#include "frontpanel/key_button.h"
#include "frontpanel/main_window.h"
#include "frontpanel/paper_pane.h"
#include "frontpanel/window_place.h"
#include "print/print_commands.h"
#include "resources/ids.h"
#include "tests/frontpanel/test_support.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (BuiltinFirmware().empty()) GTEST_SKIP() << "no built-in firmware";
    start(BuiltinFirmware());
  }

  // Brings the machine up and runs it to its first key wait before the
  // window exists: its start-up events wait for the window.
  void start(std::span<const uint8_t> image) {
    window_.reset();
    machine_ = std::make_unique<Machine>();
    MachineInit(*machine_, {image});
    settle();
    window_ = std::make_unique<MainWindow>(*machine_, settings_, images_, sound_);
    window_->setMessageBox([this](const QString& caption, const QString& text, bool question) {
      messages_.push_back({caption, text, question});
      return answer_;
    });
    window_->drainEvents();
  }

  // Runs the device until it waits (or a bounded while, for a held key),
  // then lets the window draw what it published.
  void settle() {
    ServeCommands(*machine_);
    for (int i = 0; i < 200 && !MachineIdle(*machine_); ++i) RunSlice(*machine_, 50000);
    if (window_) window_->drainEvents();
  }
  std::string shown() {
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
      text += DigitCharacter(window_->view().digits.digit[i]);
      if (!window_->control(IDC_POINT_1 + int(i))->isHidden()) text += '.';
    }
    return text;
  }
  void clickKey(int id) {
    QTest::mouseClick(window_->key(id), Qt::LeftButton);
    settle();
  }
  void sendKey(QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(window_.get(), &event);
  }
  // The commands the window has sent and the machine not yet served.
  std::vector<std::pair<CommandKind, int>> queued() {
    std::lock_guard lock(machine_->mutex);
    std::vector<std::pair<CommandKind, int>> commands;
    for (const Command& c : machine_->commands) commands.emplace_back(c.kind, c.key);
    return commands;
  }
  QPushButton* button(int id) { return qobject_cast<QPushButton*>(window_->control(id)); }
  QRadioButton* lamp(int id) { return qobject_cast<QRadioButton*>(window_->control(id)); }

  Settings settings_;
  FakeSound sound_;
  FaceImages images_ = LoadFaceImages(QString());
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<MainWindow> window_;
  std::vector<ShownMessage> messages_;
  bool answer_ = false;
};

using KeyDown = std::pair<CommandKind, int>;
KeyDown Down(int key) { return {CommandKind::KeyDown, key}; }
KeyDown Up(int key) { return {CommandKind::KeyUp, key}; }

TEST_F(MainWindowTest, BuildsEveryControlOfTheFaceAtAFixedSize) {
  window_->show();
  EXPECT_EQ(window_->control(IDC_FACE)->geometry(), QRect(8, 33, 777, 171));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  for (const ControlTemplate& item : FaceControls()) {
    if (item.id >= 0) {
      EXPECT_NE(window_->control(item.id), nullptr) << item.id;
    }
  }
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
  EXPECT_FALSE(window_->control(IDC_CANCEL)->isVisible());
  EXPECT_EQ(window_->key(IDC_KEY_EQUALS)->toolTip(), QStringLiteral("PC key: Enter or ="));
}

TEST_F(MainWindowTest, EveryMenuCommandIsThereAndInTheHelpBook) {
  QFile book(QString::fromLatin1(HELP_BOOK));
  ASSERT_TRUE(book.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(book.readAll());
  for (int id : {IDM_NEW, IDM_PAGE_SETUP, IDC_PRINT, IDM_EXIT, IDM_FONT, IDM_BEEP, IDM_HEADER_FOOTER,
                 IDM_HELP_CONTENTS, IDM_ABOUT})
    ASSERT_NE(window_->action(id), nullptr) << id;
  for (int id : {IDM_PAGE_SETUP, IDC_PRINT, IDM_FONT, IDM_HEADER_FOOTER})
    EXPECT_EQ(window_->action(id)->isEnabled(), PrintingAvailable()) << id;
  const QList<QAction*> actions = window_->findChildren<QAction*>(QRegularExpression(QStringLiteral("^cmd")));
  EXPECT_GE(actions.size(), 11);
  for (const QAction* action : actions) {
    QString name = action->text();  // "&Header && Footer" reads "Header & Footer"
    name.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    name = name.replace(QLatin1Char('\x01'), QLatin1Char('&')).toHtmlEscaped();
    EXPECT_TRUE(html.contains(QStringLiteral("<b>%1</b>").arg(name))) << name.toStdString();
  }
}

TEST_F(MainWindowTest, AWindowBuiltLateGetsEverythingTheDeviceDidBefore) {
  EXPECT_EQ(sound_.played, (std::vector<int32_t>{64})) << "the start-up beep waited for the window";
  EXPECT_EQ(shown(), "   0");
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
}

TEST_F(MainWindowTest, ClickedKeysReachTheFirmwareAndItsAnswersTheFace) {
  for (int id : {IDC_KEY_1, IDC_KEY_POINT, IDC_KEY_1 + 4}) clickKey(id);
  EXPECT_EQ(shown(), "  1.5");
  clickKey(IDC_KEY_N);  // PRINT on
  EXPECT_TRUE(lamp(IDC_LAMP_PRINT)->isChecked());
  QTest::mouseClick(lamp(IDC_LAMP_PRINT), Qt::LeftButton);
  EXPECT_TRUE(lamp(IDC_LAMP_PRINT)->isChecked()) << "a lamp only shows port 2";
  clickKey(IDC_KEY_A + 12);  // the firmware's paper feed
  button(IDC_PAPER_FEED)->click();
  settle();
  EXPECT_EQ(window_->paper()->paper(), "\r\n\r\n");
  button(IDC_PAPER_CLEAR)->click();
  settle();
  EXPECT_TRUE(window_->paper()->toPlainText().isEmpty());
}

// Every mouse press is a press, the double click's second one too; a held
// PC key is one press however long its repeats run.
TEST_F(MainWindowTest, MouseAndPcKeysSendEveryPressAndEachReleaseOnce) {
  window_->show();
  KeyButton* five = window_->key(IDC_KEY_1 + 4);
  QTest::mousePress(five, Qt::LeftButton);
  QTest::mouseRelease(five, Qt::LeftButton);
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), five->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(five, &second);
  QTest::mouseRelease(five, Qt::LeftButton);
  sendKey(QEvent::KeyPress, Qt::Key_Return);  // the equals key, not the default power button
  sendKey(QEvent::KeyRelease, Qt::Key_Return, true);
  sendKey(QEvent::KeyPress, Qt::Key_Return, true);
  sendKey(QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_EQ(queued(), (std::vector<KeyDown>{Down(5), Up(5), Down(5), Up(5), Down(34), Up(34)}));
  settle();
  EXPECT_EQ(shown(), "  55");
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
}

// Keys held are let go when the window loses the keyboard or a menu opens.
TEST_F(MainWindowTest, HeldKeysAreLetGoWhenTheWindowOrAMenuTakesTheInput) {
  window_->show();
  sendKey(QEvent::KeyPress, Qt::Key_S);
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(window_.get(), &deactivate);
  EXPECT_FALSE(window_->key(IDC_KEY_S)->isDown());
  QTest::mousePress(window_->key(IDC_KEY_1), Qt::LeftButton);
  QMenu menu(window_.get());
  menu.addAction(QStringLiteral("Copy"));
  menu.popup(QPoint(0, 0));
  menu.close();
  QTest::mouseRelease(window_->key(IDC_KEY_1), Qt::LeftButton);
  EXPECT_EQ(queued(), (std::vector<KeyDown>{Down(14), Up(14), Down(1), Up(1)}));
  sendKey(QEvent::KeyPress, Qt::Key_2);
  sendKey(QEvent::KeyRelease, Qt::Key_2);
  EXPECT_EQ(queued().back(), Up(2)) << "keys still work after the menu";
}

TEST_F(MainWindowTest, PowerAndNewRestartTheDevice) {
  clickKey(IDC_KEY_1 + 6);
  button(IDC_POWER)->click();
  settle();
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("ON"));
  EXPECT_FALSE(lamp(IDC_LAMP_GAUGE)->isChecked());
  EXPECT_EQ(shown(), "   7") << "the last digits stay while off";
  clickKey(IDC_KEY_1 + 7);
  EXPECT_EQ(shown(), "   7") << "keys do nothing while off";
  window_->command(IDC_POWER);
  settle();
  EXPECT_EQ(window_->powerCaption(), QStringLiteral("OFF"));
  EXPECT_EQ(sound_.played.size(), 2u);
  window_->command(IDM_NEW);
  settle();
  EXPECT_EQ(sound_.played.size(), 3u);
}

TEST_F(MainWindowTest, BeepsFollowTheChosenSoundAndOnlyFailuresAreShown) {
  settings_.Sound = SOUND_NONE;
  window_->command(IDM_NEW);
  settle();
  EXPECT_EQ(sound_.played.size(), 1u);
  EXPECT_TRUE(messages_.empty());
  settings_.Sound = SOUND_ASTERISK;
  sound_.succeed = false;
  window_->command(IDM_NEW);
  settle();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].caption, QStringLiteral("beep"));
  EXPECT_EQ(messages_[0].text, QStringLiteral("failed"));
}

TEST_F(MainWindowTest, EscapeAndTheCloseBoxQuit) {
  window_->show();
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  EXPECT_EQ(window_->result(), 1);
  EXPECT_FALSE(window_->isVisible());
  window_->show();
  window_->close();
  EXPECT_FALSE(window_->isVisible());
}

// An undecoded opcode stops the device for good; the window says where (the
// opcode's own address) and offers to close.
TEST_F(MainWindowTest, AStoppedDeviceSaysWhereAndNeverRestarts) {
  for (bool closeNow : {false, true}) {
    const uint8_t image[] = {0x01, 0x00};
    std::vector<uint8_t> rom(image, image + 2);
    rom.resize(FIRMWARE_SIZE);
    rom[RESET_VECTOR - FIRMWARE_BASE] = 0xC0;
    messages_.clear();
    answer_ = closeNow;
    start(rom);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].caption, QStringLiteral("opcode"));
    EXPECT_EQ(messages_[0].text, QStringLiteral("not decoded"));
    EXPECT_TRUE(messages_[1].question);
    EXPECT_TRUE(window_->deviceStopped());
    EXPECT_EQ(window_->result(), closeNow ? 1 : 0);
    const QString label = qobject_cast<QLabel*>(window_->control(IDC_DISPLAY_LABEL))->text();
    EXPECT_TRUE(label.contains(QStringLiteral("0xC001"))) << label.toStdString();
    window_->command(IDM_NEW);
    EXPECT_TRUE(queued().empty()) << "nothing can start it again";
  }
}

// A place kept from a larger screen comes back onto this one.
TEST_F(MainWindowTest, TheWindowComesBackWhereItWasAndOnScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (QPoint kept : {QPoint(screen.left() + 10, screen.top() + 20), QPoint(50000, -300), QPoint(-9000, 9000)}) {
    window_->move(kept);
    KeepWindowPlace(window_.get());
    window_->move(screen.topLeft());
    RestoreWindowPlace(window_.get());
    EXPECT_TRUE(screen.contains(window_->pos())) << kept.x() << "," << kept.y();
    if (screen.contains(kept)) {
      EXPECT_EQ(window_->pos(), kept);
    }
  }
}

// The machine's own thread: the window follows it, and quitting while the
// device is off ends the thread at once.
TEST_F(MainWindowTest, QuittingWhileTheDeviceIsOffEndsTheThread) {
  MachineStart(*machine_);
  window_->command(IDC_POWER);
  ASSERT_TRUE(WaitFor([&] { return window_->powerCaption() == QStringLiteral("ON"); }));
  window_->command(IDM_EXIT);
  MachineStop(*machine_);
  EXPECT_FALSE(machine_->thread.joinable());
}

TEST_F(MainWindowTest, HelpIsForNumberedControlsOnly) {
  window_->show();
  QWidget* key = window_->control(IDC_KEY_1);
  EXPECT_EQ(window_->controlIdAt(key->mapToGlobal(key->rect().center())), IDC_KEY_1);
  QWidget* lampButton = window_->control(IDC_LAMP_PRINT);
  EXPECT_EQ(window_->controlIdAt(lampButton->mapToGlobal(QPoint(3, 3))), IDC_LAMP_PRINT);
  // The "PF" label at (465, 243) in dialog units has no id.
  const QRect label = DialogRect({-1, ControlKind::Label, 465, 243, 10, 7, "PF"});
  QWidget* face = window_->control(IDC_FACE)->parentWidget();
  EXPECT_EQ(window_->controlIdAt(face->mapToGlobal(label.center())), 0);
}

}  // namespace
