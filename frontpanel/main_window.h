// The main window: the device's face with its keys, display, lamps, paper and
// power button, the menus, and the window's side of the Host contract. The
// emulation thread reaches it only through a HostBridge; the window reaches
// the emulation only through the machine's shared words (key rows,
// JumpRequest, StopFlag).
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <set>

#include "emulator/host.h"
#include "peripherals/display.h"

class DigitPainter;
class HostBridge;
class KeyButton;
class PaperPane;
class QAction;
class QLabel;
class QPushButton;
class SoundLayer;
struct ControlTemplate;
struct FaceImages;
struct Machine;
struct Settings;

class MainWindow : public QDialog, public Host {
 public:
  // Shows a message box; true when a question was answered yes. Tests put a
  // recorder in its place.
  using MessageBox = std::function<bool(const QString& caption, const QString& text, bool question)>;

  MainWindow(Machine& machine, Settings& settings, const FaceImages& images, SoundLayer& sound,
             HostBridge* bridge = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // A menu or button command by its id, as the window carries it out.
  void command(int id);
  void setMessageBox(MessageBox show) { messageBox_ = std::move(show); }

  QWidget* control(int id) const;
  KeyButton* key(int id) const;
  PaperPane* paper() const { return paper_; }
  QAction* action(int commandId) const;
  QString powerCaption() const;
  const DigitState& shown() const { return shown_; }
  bool deviceStopped() const { return stopped_; }
  // The id of the numbered control at a screen position; 0 over a label,
  // a frame or nothing, which have no help topic.
  int controlIdAt(const QPoint& globalPosition) const;

  // Host: called on the GUI thread (the bridge carries them over).
  bool WindowExists() const override { return !closing_; }
  void Lamps(uint8_t port2) override;
  void DisplayByte(uint8_t byte, uint8_t sideBIn) override;
  void Beep() override;
  void SetPowerCaption(const char* text) override;
  void PaperAppend(const char* text, size_t length) override;
  void PaperClear() override;
  void Stopped(StopReason reason, uint16_t pc, uint8_t opcode) override;

 protected:
  void reject() override;  // Esc and the close box quit
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildFace(const FaceImages& images);
  QWidget* makeControl(const ControlTemplate& item, const FaceImages& images);
  void buildMenus();
  void setTabOrderByTemplate();
  void quit();
  void togglePower();
  void feedPaper();
  void showDigits();
  void chooseFont();
  void printPaper();
  QString paperText() const;
  bool handlePcKey(QKeyEvent* event);
  void releaseKeyboardKeys();
  void showHelpUnderMouse();
  bool showMessage(const QString& caption, const QString& text, bool question);

  Machine& machine_;
  Settings& settings_;
  SoundLayer& sound_;
  HostBridge* bridge_;
  MessageBox messageBox_;
  QWidget* face_ = nullptr;
  PaperPane* paper_ = nullptr;
  QPushButton* power_ = nullptr;
  QLabel* displayLabel_ = nullptr;
  std::array<DigitPainter*, 4> digits_{};
  std::array<QWidget*, 4> points_{};
  DisplayCells cells_;
  DigitState shown_;
  std::set<KeyButton*> heldFromKeyboard_;
  bool closing_ = false;
  bool stopped_ = false;
};
