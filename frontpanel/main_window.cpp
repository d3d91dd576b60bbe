// The main window: puts the face, the menus, the zoom and the keyboard
// together, carries out the menu and button commands as machine commands,
// and draws the machine's events.
#include "frontpanel/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>
#include <vector>

#include "app/settings.h"
#include "app/startup.h"
#include "emulator/keeping.h"
#include "emulator/machine.h"
#include "frontpanel/about_dialog.h"
#include "frontpanel/builtin_resources.h"
#include "frontpanel/face_view.h"
#include "frontpanel/help.h"
#include "frontpanel/keyboard_router.h"
#include "frontpanel/paper_pane.h"
#include "frontpanel/sound.h"
#include "frontpanel/sound_dialog.h"
#include "frontpanel/version_record.h"
#include "frontpanel/window_menus.h"
#include "frontpanel/window_printing.h"
#include "frontpanel/zoom_controller.h"
#include "print/print_commands.h"
#include "resources/ids.h"

namespace {

constexpr const char* CAPTION = "TM650E - Knitting Computer Emulator";

bool DefaultMessageBox(QWidget* owner, const QString& caption, const QString& text, bool question) {
  if (question)
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok);
  box.exec();
  return true;
}

}  // namespace

MainWindow::MainWindow(Machine& machine, Settings& settings, const FaceImages& images, SoundLayer& sound,
                       DeviceKeeping* keeping, QWidget* parent)
    : QDialog(parent), machine_(machine), keeping_(keeping), settings_(settings), sound_(sound) {
  EnsureBuiltinResources();
  setWindowTitle(QLatin1String(CAPTION));
  setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  messageBox_ = [this](const QString& caption, const QString& text, bool question) {
    // Boxes that report on the device have no owner, as the device's own did.
    return DefaultMessageBox(question ? this : nullptr, caption, text, question);
  };
  face_ = new FaceView(
      images, [this](uint8_t key, bool down) { keyboard_->keyChanged(key, down); }, [this](int id) { command(id); },
      this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(face_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  zoom_ = new ZoomController(this, face_, [this](double zoom) { layOutFace(zoom); });
  layout->setMenuBar(BuildMenuBar(this, [this](int id) { command(id); }, *zoom_));
  action(IDM_KEEP_DEVICE)->setChecked(keeping_ && keeping_->keep());
  paperFont_ = PaperFont(settings_);
  zoom_->applyStartZoom();
  keyboard_ = new KeyboardRouter(this, face_,
                                 {[this](uint8_t key, bool down) { send(down ? CommandKind::KeyDown : CommandKind::KeyUp, key); },
                                  [this] { command(IDC_PAPER_FEED); }});
  // The machine calls this on its own thread: it only queues the drain here.
  view_ = MachineAttach(machine_, [this] { QMetaObject::invokeMethod(this, &MainWindow::drainEvents, Qt::QueuedConnection); });
  paper()->clearPaper();
  paper()->append(view_.paper.data(), view_.paper.size());
  face_->showDigits(view_);
  face_->showLamps(view_);
  face_->showPower(view_);
  if (deviceStopped()) showStopped();
}

MainWindow::~MainWindow() {
  closing_ = true;
  MachineDetach(machine_);
  keyboard_->stop();
  delete keyboard_;
}

// The window follows the face's size.
void MainWindow::layOutFace(double zoom) {
  face_->layOut(zoom, paperFont_);
  layout()->activate();
  face_->fitNotice();
}

QWidget* MainWindow::control(int id) const { return face_->control(id); }
KeyButton* MainWindow::key(int id) const { return face_->key(id); }
PaperPane* MainWindow::paper() const { return face_->paper(); }
QString MainWindow::powerCaption() const { return face_->powerCaption(); }
int MainWindow::controlIdAt(const QPoint& globalPosition) const { return face_->controlIdAt(globalPosition); }

QAction* MainWindow::action(int commandId) const {
  return findChild<QAction*>(QStringLiteral("cmd%1").arg(commandId));
}

void MainWindow::openAt(std::optional<QPoint> place) { zoom_->openAt(place); }
void MainWindow::chooseZoom(int choice) { zoom_->choose(choice); }
int MainWindow::zoomChoice() const { return zoom_->choice(); }
double MainWindow::zoom() const { return zoom_->zoom(); }

void MainWindow::command(int id) {
  if (RunPrintCommand(id, this, settings_, *paper())) return;
  switch (id) {
    case IDM_NEW: send(CommandKind::New); return;
    case IDM_FONT: chooseFont(); return;
    case IDM_BEEP: SoundDialog(settings_.Sound, this, &sound_).exec(); return;
    case IDM_HELP_CONTENTS: ShowHelpContents(this); return;
    case IDM_ABOUT: AboutDialog(VersionRecord::Load(), this).exec(); return;
    case IDC_PAPER_FEED: send(CommandKind::PaperFeed); return;
    case IDC_CANCEL:
    case IDM_EXIT: quit(); return;
    case IDC_PAPER_CLEAR: send(CommandKind::ClearPaper); return;
    case IDC_POWER: send(CommandKind::Power); return;
    case IDM_KEEP_DEVICE: keepDevice(action(IDM_KEEP_DEVICE)->isChecked()); return;
    case IDM_LOG_FILE: showLogFile(); return;
    default: return;  // the AC keys and anything else: nothing
  }
}

void MainWindow::reject() { quit(); }

void MainWindow::quit() {
  closing_ = true;
  keyboard_->stop();
  done(1);
}

// Fit to Screen follows the window to another screen.
void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  zoom_->followScreen();
}

// Taken up at once by the machine's idle saves, and at exit.
void MainWindow::keepDevice(bool keep) {
  if (!keeping_) return;
  keeping_->SetKeep(keep);
  QSettings().setValue(QLatin1String(KEEP_DEVICE_KEY), keep);
}

void MainWindow::showLogFile() {
  const QString path = QDir::toNativeSeparators(QString::fromStdString(logPath_));
  showMessage(QStringLiteral("Log File"), QString::fromStdString(LogFileNotice(path.toStdString(), logError_)), false);
}

void MainWindow::send(CommandKind kind, uint8_t key) {
  if (closing_) return;
  if ((kind == CommandKind::Power || kind == CommandKind::New) && deviceStopped()) return;
  MachineSend(machine_, Command{kind, key});
}

void MainWindow::chooseFont() {
  if (!PrintingAvailable()) return;
  QFont chosen;
  if (!ChooseFont(this, settings_, chosen)) return;
  paperFont_ = chosen;
  zoom_->reapply();
}

void MainWindow::drainEvents() {
  std::vector<Event> events;
  MachineDrain(machine_, events);
  for (const Event& event : events) drawEvent(event);
}

void MainWindow::drawEvent(const Event& event) {
  ApplyEvent(view_, event);
  switch (event.kind) {
    case EventKind::Display: face_->showDigits(view_); break;
    case EventKind::Lamps: face_->showLamps(view_); break;
    case EventKind::Beep:
      if (!SoundBeep(sound_, settings_.Sound)) showMessage(QStringLiteral("beep"), QStringLiteral("failed"), false);
      break;
    case EventKind::Paper: paper()->append(event.text.data(), event.text.size()); break;
    case EventKind::PaperCleared: paper()->clearPaper(); break;
    case EventKind::Power: face_->showPower(view_); break;
    case EventKind::Stopped: showStopped(); break;
    case EventKind::LogFailed:
      logError_ = event.text;
      showMessage(QStringLiteral("TM650E"),
                  QString::fromStdString(event.text) +
                      QStringLiteral("\nThe paper pane keeps every line; File > Save Paper As still works."),
                  false);
      break;
    case EventKind::StateFailed:
      showNotice(QStringLiteral("The device cannot be kept for the next run: ") + QString::fromStdString(event.text));
      break;
  }
}

// The device never runs again; the window stays so the paper can still be
// read, copied and printed, and offers to close.
void MainWindow::showStopped() {
  face_->showStopped(view_);
  if (QAction* fileNew = action(IDM_NEW)) fileNew->setEnabled(false);
  if (view_.stop == StopReason::Undecoded) showMessage(QStringLiteral("opcode"), QStringLiteral("not decoded"), false);
  if (showMessage(QStringLiteral("TM650E"),
                  QStringLiteral("The emulated device has stopped and cannot run again.\n"
                                 "The paper can still be read and printed.\n\nClose TM650E now?"),
                  true))
    quit();
}

void MainWindow::showNotice(const QString& text) { face_->showNotice(text); }

bool MainWindow::showMessage(const QString& caption, const QString& text, bool question) {
  return messageBox_ ? messageBox_(caption, text, question) : false;
}
