// The main window: the device's face with its keys, display, lamps, paper and
// power button, and the menus. It is a shell of the machine: it sends
// commands (keys, power, New, paper feed and clear) and draws the events it
// drains on the GUI thread; it holds no device logic of its own.
#pragma once

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>
#include <string>

#include "emulator/contract.h"

class FaceView;
class KeyButton;
class KeyboardRouter;
class PaperPane;
class QAction;
class SoundLayer;
class ZoomController;
struct FaceImages;
class DeviceKeeping;
class Machine;
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
  PaperPane* paper() const;
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
  int zoomChoice() const;
  double zoom() const;

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
  void showEvent(QShowEvent* event) override;

 private:
  void layOutFace(double zoom);
  void quit();
  void send(CommandKind kind, uint8_t key = 0);
  void keepDevice(bool keep);
  void showLogFile();
  void chooseFont();
  void drawEvent(const Event& event);
  void showStopped();
  bool showMessage(const QString& caption, const QString& text, bool question);

  Machine& machine_;
  DeviceKeeping* keeping_;
  Settings& settings_;
  SoundLayer& sound_;
  MessageBox messageBox_;
  FaceView* face_ = nullptr;
  ZoomController* zoom_ = nullptr;
  KeyboardRouter* keyboard_ = nullptr;
  DeviceView view_;
  std::string logPath_;
  std::string logError_;
  QFont paperFont_;  // as chosen; the pane shows it zoomed
  bool closing_ = false;
};
