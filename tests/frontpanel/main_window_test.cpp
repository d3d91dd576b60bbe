// The main window as a shell of the machine. The machine runs here on the
// test's own thread (the built-in firmware, or a tiny image), so every case
// is deterministic: clicks and PC keys become commands, and the window draws
// the events the firmware's answers publish. One case runs the machine's
// own thread: quitting while the device is off.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QWindow>
#include <functional>
#include <QScreen>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/machine.h"
#include "emulator/machine_internals.h"
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
    std::vector<std::pair<CommandKind, int>> commands;
    for (const Command& c : MachineInternals::Queued(*machine_)) commands.emplace_back(c.kind, c.key);
    return commands;
  }
  QWidget* visible(const char* name) {
    for (QWidget* widget : window_->findChildren<QWidget*>(QLatin1String(name)))
      if (widget->isVisible()) return widget;
    return nullptr;
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

// Every menu command is in the help book under its menu name; the printing
// ones only work where a printer can be used.
TEST_F(MainWindowTest, EveryMenuCommandIsInTheHelpBook) {
  QFile book(QString::fromLatin1(HELP_BOOK));
  ASSERT_TRUE(book.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(book.readAll());
  const QList<QAction*> actions = window_->findChildren<QAction*>(QRegularExpression(QStringLiteral("^cmd")));
  EXPECT_EQ(actions.size(), 13);
  for (const QAction* action : actions) {
    QString name = action->text();  // "&Header && Footer" reads "Header & Footer"
    name.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    name = name.replace(QLatin1Char('\x01'), QLatin1Char('&')).toHtmlEscaped();
    EXPECT_TRUE(html.contains(QStringLiteral("<b>%1</b>").arg(name))) << name.toStdString();
  }
  for (int id : {IDM_PAGE_SETUP, IDC_PRINT, IDM_FONT, IDM_HEADER_FOOTER})
    EXPECT_EQ(window_->action(id)->isEnabled(), PrintingAvailable()) << id;
}

// Lamps only show port 2, whatever is clicked. Every mouse press is a
// press, a double click's second one too. A PC key's
// release is matched by its place on the keyboard, whatever Shift makes of
// it ("0" comes up as "=" on some layouts), and its repeats are one press;
// Shift pressed or let go, the window losing the keyboard, and a menu or
// dialog opening let every held key go; and a device key held by the mouse
// is not pressed again by its PC key.
TEST_F(MainWindowTest, HeldKeysGoByTheirPlaceAndAreLetGoWhenShiftOrTheInputChanges) {
  window_->show();
  auto send = [&](QEvent::Type type, int key, quint32 place, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers, place, 0, 0);
    QApplication::sendEvent(window_.get(), &event);
  };
  const int zero = window_->key(IDC_KEY_0)->deviceKey();
  send(QEvent::KeyPress, Qt::Key_0, 19);
  send(QEvent::KeyPress, Qt::Key_Shift, 50, Qt::ShiftModifier);
  send(QEvent::KeyRelease, Qt::Key_Equal, 19, Qt::ShiftModifier);
  send(QEvent::KeyRelease, Qt::Key_Shift, 50);
  send(QEvent::KeyPress, Qt::Key_2, 11);
  send(QEvent::KeyPress, Qt::Key_2, 11);  // a repeat that does not say so
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_2, Qt::NoModifier, 11, 0, 0, QString(), true);
  QApplication::sendEvent(window_.get(), &repeat);
  send(QEvent::KeyRelease, Qt::Key_2, 11);
  KeyButton* five = window_->key(IDC_KEY_1 + 4);
  QTest::mouseClick(five, Qt::LeftButton);
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), five->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(five, &second);
  QTest::mouseRelease(five, Qt::LeftButton);
  QTest::mousePress(five, Qt::LeftButton);
  send(QEvent::KeyPress, Qt::Key_5, 14);
  send(QEvent::KeyRelease, Qt::Key_5, 14);
  QTest::mouseRelease(five, Qt::LeftButton);
  send(QEvent::KeyPress, Qt::Key_S, 39);
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(window_.get(), &deactivate);
  QTest::mousePress(window_->key(IDC_KEY_1), Qt::LeftButton);
  QMenu menu(window_.get());
  menu.addAction(QStringLiteral("Copy"));
  menu.popup(QPoint(0, 0));
  menu.close();
  QTest::mouseRelease(window_->key(IDC_KEY_1), Qt::LeftButton);
  send(QEvent::KeyPress, Qt::Key_3, 12);
  QDialog(window_.get()).show();
  send(QEvent::KeyRelease, Qt::Key_3, 12);
  send(QEvent::KeyPress, Qt::Key_PageDown, 117);  // PF
  QTest::mouseClick(lamp(IDC_LAMP_PRINT), Qt::LeftButton);
  EXPECT_FALSE(lamp(IDC_LAMP_PRINT)->isChecked());
  EXPECT_EQ(queued(), (std::vector<KeyDown>{Down(zero), Up(zero), Down(2), Up(2), Down(5), Up(5), Down(5), Up(5),
                                            Down(5), Up(5), Down(14), Up(14), Down(1), Up(1), Down(3), Up(3),
                                            {CommandKind::PaperFeed, 0}}));
  settle();
  button(IDC_PAPER_CLEAR)->click();
  settle();
  EXPECT_TRUE(window_->paper()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, BeepsFollowTheChosenSoundAndOnlyFailuresAreShown) {
  settings_.Sound = SOUND_NONE;
  window_->command(IDM_NEW);
  settle();
  EXPECT_EQ(sound_.played, (std::vector<int32_t>{64})) << "the start-up beep waited for the window; New's is silent";
  EXPECT_TRUE(messages_.empty());
  settings_.Sound = SOUND_ASTERISK;
  sound_.succeed = false;
  window_->command(IDM_NEW);
  settle();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].caption, QStringLiteral("beep"));
  EXPECT_EQ(messages_[0].text, QStringLiteral("failed"));
}

// An undecoded opcode stops the device for good (the machine's test); the
// window says where, at the opcode's own address, and offers to close.
TEST_F(MainWindowTest, AStoppedDeviceSaysWhereAndOffersToClose) {
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
    EXPECT_EQ(window_->result(), closeNow ? 1 : 0);
    const QString label = qobject_cast<QLabel*>(window_->control(IDC_DISPLAY_LABEL))->text();
    EXPECT_TRUE(label.contains(QStringLiteral("0xC001"))) << label.toStdString();
  }
}

// Escape and the close box quit. On the machine's own thread the window
// follows it, and quitting while the device is off ends the thread at once.
TEST_F(MainWindowTest, EscapeAndTheCloseBoxQuitAndEndTheThreadWhileOff) {
  MachineStart(*machine_);
  window_->command(IDC_POWER);
  ASSERT_TRUE(WaitFor([&] { return window_->powerCaption() == QStringLiteral("ON"); }));
  window_->show();
  QTest::keyClick(window_.get(), Qt::Key_Escape);
  EXPECT_EQ(window_->result(), 1);
  EXPECT_FALSE(window_->isVisible());
  window_->show();
  window_->close();
  EXPECT_FALSE(window_->isVisible());
  MachineStop(*machine_);
}

// F1 over a control with a topic shows the topic, as a tooltip that goes at
// Esc, a click, any key or the window losing the keyboard, while the window
// keeps working; anywhere else F1 is the Help Contents shortcut. Ctrl+N is New.
TEST_F(MainWindowTest, F1ShowsTheTopicUnderTheMouseUntilAnyInputOrTheHelpContents) {
  window_->show();
  QWidget* face = window_->control(IDC_FACE)->parentWidget();
  QWindow* input = window_->windowHandle();
  // The "PF" label at (465, 243) in dialog units has no id.
  const QRect label = FaceRect({-1, ControlKind::Label, 465, 243, 10, 7, "PF"}, window_->zoom());
  const QWidget* digit = window_->control(IDC_DIGIT_1 + 2);
  const std::function<void()> closers[] = {
      [&] { QTest::keyClick(input, Qt::Key_Escape); },
      [&] { QTest::mouseClick(input, Qt::LeftButton, {}, face->mapTo(window_.get(), label.center())); },
      [&] { QTest::keyClick(input, Qt::Key_Q); },
      [&] {
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(window_.get(), &deactivate);
      },
  };
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
  const std::pair<QPoint, int> places[] = {
      {window_->control(IDC_KEY_1)->mapToGlobal(QPoint(5, 5)), IDC_KEY_1},
      {window_->control(IDC_LAMP_PRINT)->mapToGlobal(QPoint(3, 3)), IDC_LAMP_PRINT},
      {digit->mapToGlobal(digit->rect().center()), IDC_DIGIT_1 + 2},
      {window_->control(IDC_KEY_N)->mapToGlobal(QPoint(5, 5)), IDC_KEY_N},
      {face->mapToGlobal(label.center()), 0},
  };
  for (size_t i = 0; i < std::size(places); ++i) {
    const auto& [place, id] = places[i];
    EXPECT_EQ(window_->controlIdAt(place), id);
    QCursor::setPos(place);
    QTest::keyClick(input, Qt::Key_F1);
    EXPECT_EQ(visible("helpPopup") != nullptr, id != 0) << id;
    EXPECT_EQ(visible("helpWindow") != nullptr, id == 0) << id;
    if (id == 0) break;
    closers[i]();
    EXPECT_EQ(visible("helpPopup"), nullptr) << id;
    EXPECT_TRUE(window_->isVisible()) << id;
  }
  EXPECT_EQ(queued(), (std::vector<KeyDown>{{CommandKind::New, 0}})) << "nothing but Ctrl+N sent a command";
}

QAccessibleInterface* Accessible(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); }

// A screen reader finds every key, lamp and button and the display by name,
// with a description, and hears the display and the lamps change. Tab takes
// the keyboard through every key and button, and the space bar presses keys.
TEST_F(MainWindowTest, EveryControlHasAnAccessibleNameAndDescription) {
  window_->show();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  std::vector<QAccessibleInterface*> nodes{Accessible(window_.get())};
  for (size_t i = 0; i < nodes.size(); ++i)
    for (int c = 0; c < nodes[i]->childCount(); ++c) nodes.push_back(nodes[i]->child(c));
  QWidget* displayPanel = window_->control(IDC_DIGIT_1)->parentWidget();
  std::set<QString> names;
  int controls = 0;
  for (QAccessibleInterface* node : nodes) {
    // The numbered controls and the display; labels are read by their text.
    const QObject* object = node->object();
    const bool display = object == displayPanel;
    if (!(object->property("controlId").isValid() || display) || object->inherits("QLabel")) continue;
    if (node->state().invisible) continue;
    ++controls;
    const QString name = node->text(QAccessible::Name);
    EXPECT_FALSE(name.isEmpty()) << object->objectName().toStdString();
    EXPECT_FALSE(node->text(QAccessible::Description).isEmpty()) << name.toStdString();
    EXPECT_TRUE(display || names.insert(name).second) << "two controls read " << name.toStdString();
  }
  EXPECT_EQ(controls, 35 + 4 + 5 + 3 + 1) << "keys, buttons, lamps, paper and pictures, and the display";
  const std::pair<int, const char*> named[] = {
      {IDC_KEY_AC_ALL, "AC All"}, {IDC_KEY_AC_NO_GAUGE, "AC No gauge"}, {IDC_KEY_EQUALS, "="},
      {IDC_KEY_P_EQUALS, "P="},   {IDC_PAPER_FEED, "PF Paper feed"},   {IDC_LAMP_PRINT, "PRINT lamp: dark"}};
  for (const auto& [id, name] : named) EXPECT_EQ(Accessible(window_->control(id))->text(QAccessible::Name), name);

  QAccessibleInterface* display = Accessible(displayPanel);
  EXPECT_EQ(display->role(), QAccessible::StaticText);
  EXPECT_EQ(display->text(QAccessible::Name), QStringLiteral("0"));
  window_->control(IDC_KEY_N)->setFocus();
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Space})  // from N to AC All, and press it
    QTest::keyClick(QApplication::focusWidget(), key);
  EXPECT_EQ(QApplication::focusWidget(), window_->control(IDC_KEY_AC_ALL));
  EXPECT_EQ(queued(), (std::vector<KeyDown>{Down(12), Up(12)}));
  for (int id : {IDC_KEY_1, IDC_KEY_POINT, IDC_KEY_1 + 4, IDC_KEY_N}) clickKey(id);
  EXPECT_EQ(display->text(QAccessible::Name), QStringLiteral("1.5"));
  EXPECT_EQ(Accessible(window_->control(IDC_LAMP_PRINT))->text(QAccessible::Name), QStringLiteral("PRINT lamp: lit"));

  std::set<QWidget*> reached;
  window_->control(IDC_KEY_A)->setFocus();
  while (reached.insert(QApplication::focusWidget()).second) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  for (const ControlTemplate& item : FaceControls()) {
    const bool focusable = item.kind == ControlKind::Key || item.kind == ControlKind::Button ||
                           item.kind == ControlKind::DefaultButton;
    if (focusable) {
      EXPECT_TRUE(reached.count(window_->control(item.id))) << item.id << " is out of the Tab order";
    }
  }
}

}  // namespace
