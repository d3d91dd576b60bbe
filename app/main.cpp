// The program's entry point: brings up the machine and its thread, runs the
// main window until the user quits (or the system or the session asks it
// to), then stops and joins the thread, keeps the device, closes the log and
// stores the settings. Exit code 0, or -1 when there is no firmware image to
// run.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QSessionManager>
#include <QStandardPaths>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/settings.h"
#include "app/quit_signals.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "dialogs/center_over_owner.h"
#include "emulator/keeping.h"
#include "emulator/machine.h"
#include "frontpanel/face_images.h"
#include "frontpanel/main_window.h"
#include "frontpanel/sound.h"
#include "frontpanel/window_place.h"
#include "print/print_commands.h"

namespace {

// The built-in image, or the file beside the executable; false (the user
// told why) when neither is there.
bool LoadFirmwareImage(std::vector<uint8_t>& image, const std::string& executable) {
  const std::span<const uint8_t> builtin = BuiltinFirmware();
  image.assign(builtin.begin(), builtin.end());
  if (image.empty()) {
    const std::string path = FirmwareFileFor(executable);
    std::string error;
    if (!ReadFirmwareFile(path, image, error)) {
      const std::string message = "TM650E has no built-in firmware and cannot read the firmware file " + path +
                                  (error.empty() ? std::string() : ": " + error);
      std::fprintf(stderr, "tm650e: %s\n", message.c_str());
      QMessageBox::critical(nullptr, QStringLiteral("TM650E"), QString::fromStdString(message));
      return false;
    }
  }
  return true;
}

// In the Documents folder (made when missing), earlier sessions' logs kept.
SessionLog OpenLog(const std::string& executable) {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) return SessionLog{nullptr, {}, "there is no Documents folder for the log"};
  return OpenSessionLog(std::filesystem::path(documents.toStdString()), LogFileNameFor(executable));
}

std::filesystem::path StatePath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (folder.isEmpty()) return {};
  QDir().mkpath(folder);
  return std::filesystem::path(folder.toStdString()) / "tm650e.state";
}

bool KeepDevice() { return QSettings().value(QLatin1String(KEEP_DEVICE_KEY), true).toBool(); }

void TellNotKept(const std::string& message) {
  if (message.empty()) return;
  std::fprintf(stderr, "tm650e: %s\n", message.c_str());
  QMessageBox::warning(nullptr, QStringLiteral("TM650E"), QString::fromStdString(message));
}

// Every running event loop ends, a dialog's too, and the window closes, so
// main goes on to its ordinary shutdown; a dialog opened after this returns
// at once.
void QuitNow(QWidget* window) {
  if (window) window->close();
  QCoreApplication::exit(0);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QString::fromLatin1(SETTINGS_ORGANISATION));
  QCoreApplication::setApplicationName(QString::fromLatin1(SETTINGS_APPLICATION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.fernhill.tm650e"));
  QPointer<MainWindow> shown;
  QuitOnSignals([&shown] { QuitNow(shown); });
  const std::string executable = QCoreApplication::applicationFilePath().toStdString();

  std::vector<uint8_t> image;
  if (!LoadFirmwareImage(image, executable)) return -1;
  Settings settings;
  LoadSettings(settings);
  const FaceImages images = LoadFaceImages(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
  SessionLog log = OpenLog(executable);
  const QString logNotice = log.error.empty() ? QString() : QStringLiteral("No log: ") + QString::fromStdString(log.error);

  Machine machine;
  MachineInit(machine, {image, true, log});
  DeviceKeeping keeping(machine, StatePath(), KeepDevice());
  QString notice = QString::fromStdString(keeping.Restore());
  if (notice.isEmpty()) notice = logNotice;
  MachineStart(machine);
  std::unique_ptr<SoundLayer> sound = MakeSystemSoundLayer();
  // The session saves its programs' work before it ends, and may end them
  // without asking again.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                   [&](QSessionManager&) { TellNotKept(keeping.KeepNow()); });
  {
    MainWindow window(machine, settings, images, *sound, &keeping);
    shown = &window;
    if (!notice.isEmpty()) window.showNotice(notice);
    window.setLog(log.path.string(), log.error);
    window.openAt(KeptWindowPlace());
    KeepFrameOnScreen(&window);
    window.show();
    window.exec();
    KeepWindowPlace(&window);
  }
  MachineStop(machine);
  TellNotKept(keeping.KeepAtExit());
  MachineCloseLog(machine);
  SaveSettings(settings);
  return 0;
}
