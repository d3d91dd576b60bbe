// The main window: the device's face with its keys, display, lamps, paper and
// power button, and the menus. It is a shell of the machine: it sends
// commands (keys, power, New, paper feed and clear) and draws the events it
// drains on the GUI thread; it holds no device logic of its own.
#pragma once

#include <QDialog>
#include <QFont>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "emulator/contract.h"

class DigitPainter;
class DisplayPanel;
class KeyButton;
class PaperPane;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class SoundLayer;
class DeviceKeeping;
class Machine;
struct ControlTemplate;
struct FaceImages;
struct Settings;

// The settings key of File > Keep Device Between Runs (on unless turned off).
constexpr const char* KEEP_DEVICE_KEY = "KeepDevice";

class MainWindow : public QDialog {
 public:
  // Shows a message box; true when a question was answered yes. Tests put a
  // recorder in its place.
  using MessageBox = std::function<bool(const QString& caption, const QString& text, bool question)>;

  // Without `keeping`, File > Keep Device Between Runs turns nothing.
  MainWindow(Machine& machine, Settings& settings, const FaceImages& images, SoundLayer& sound,
             DeviceKeeping* keeping = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // A menu or button command by its id, as the window carries it out.
  void command(int id);
  void setMessageBox(MessageBox show) { messageBox_ = std::move(show); }

  QWidget* control(int id) const;
  KeyButton* key(int id) const;
  PaperPane* paper() const { return paper_; }
  QAction* action(int commandId) const;
  QString powerCaption() const;
  // The device as this window last drew it.
  const DeviceView& view() const { return view_; }
  bool deviceStopped() const { return view_.stop != StopReason::Running; }
  // The id of the numbered control at a screen position; 0 over a label,
  // a frame or nothing, which have no help topic.
  int controlIdAt(const QPoint& globalPosition) const;

  // Puts the window on the screen at `place` (where it was last time), or
  // centred on the primary screen, at the kept zoom where that fits the
  // screen and else fitted to it, wholly within the screen's free area.
  void openAt(std::optional<QPoint> place);
  // View > Zoom: a percentage or ZOOM_FIT. Choosing keeps it in the
  // settings; a percentage too large for the screen is not taken.
  void chooseZoom(int choice);
  int zoomChoice() const { return zoomChoice_; }
  double zoom() const { return zoom_; }

  // Draws every event the machine has published since the last call.
  void drainEvents();
  // A one-line notice under the display (a fresh start, a device not kept).
  void showNotice(const QString& text);
  // Where the session log is, or why there is none, for File > Log File.
  void setLog(const std::string& path, const std::string& error) {
    logPath_ = path;
    logError_ = error;
  }

 protected:
  void reject() override;  // Esc and the close box quit
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void buildFace(const FaceImages& images);
  QWidget* makeControl(const ControlTemplate& item, const FaceImages& images);
  void buildMenus();
  void buildZoomMenu(QMenu* view);
  void setTabOrderByFace();
  void applyZoom(int choice);
  void applyStartZoom();
  void stepZoom(int direction);
  double largestFittingZoom() const;
  void offerFittingZooms();
  void layoutFace();
  double fittingZoom();
  bool fitsScreen() const;
  QSize frameAllowance() const;
  void keepOnScreen();
  void quit();
  void send(CommandKind kind, uint8_t key = 0);
  void keepDevice(bool keep);
  void showLogFile();
  void keyChanged(uint8_t key, bool down);
  void releaseHeldKeys();
  void drawEvent(const Event& event);
  void showLamps();
  void showDigits();
  void showPower();
  void showStopped();
  void fitNotice();
  void chooseFont();
  void printPaper();
  QString paperText() const;
  bool handlePcKey(QKeyEvent* event);
  bool helpUnderMouse() const;
  void showHelpUnderMouse();
  bool showMessage(const QString& caption, const QString& text, bool question);

  Machine& machine_;
  DeviceKeeping* keeping_;
  Settings& settings_;
  SoundLayer& sound_;
  MessageBox messageBox_;
  QWidget* face_ = nullptr;
  PaperPane* paper_ = nullptr;
  QPushButton* power_ = nullptr;
  QLabel* displayLabel_ = nullptr;
  DisplayPanel* display_ = nullptr;
  std::array<DigitPainter*, 4> digits_{};
  std::array<QWidget*, 4> points_{};
  DeviceView view_;
  QString notice_;  // the whole notice; its line may show it shortened
  std::string logPath_;
  std::string logError_;
  std::set<uint8_t> held_;  // device keys down by mouse or PC key
  std::map<uint64_t, KeyButton*> heldFromKeyboard_;  // by the PC key's place on the keyboard
  std::vector<std::pair<const ControlTemplate*, QWidget*>> placed_;  // every control with its template
  QFont paperFont_;  // as chosen; the pane shows it zoomed
  int zoomChoice_ = 100;
  double zoom_ = 1;
  bool watchingScreen_ = false;
  bool closing_ = false;
};
