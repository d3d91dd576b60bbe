// The program's entry point: brings up the machine and its thread, runs the
// main window until the user quits, then stops and joins the thread, closes
// the log and stores the settings. Exit code 0, or -1 when there is no
// firmware image to run.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>
#include <vector>

#include "app/settings.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "emulator/machine.h"
#include "frontpanel/face_images.h"
#include "frontpanel/main_window.h"
#include "frontpanel/sound.h"
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

std::FILE* OpenLog(const std::string& executable) {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) return nullptr;
  return OpenLogFile(documents.toStdString(), executable);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::string executable = QCoreApplication::applicationFilePath().toStdString();

  std::vector<uint8_t> image;
  if (!LoadFirmwareImage(image, executable)) return -1;
  Settings settings;
  LoadSettings(settings);
  const FaceImages images = LoadFaceImages(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
  SetMarginsImage(images.margins);
  std::FILE* log = OpenLog(executable);

  Machine machine;
  MachineInit(machine, {image, true, log});
  MachineStart(machine);
  std::unique_ptr<SoundLayer> sound = MakeSystemSoundLayer();
  {
    MainWindow window(machine, settings, images, *sound);
    window.show();
    window.exec();
  }
  MachineStop(machine);
  if (log) std::fclose(log);
  SaveSettings(settings);
  return 0;
}
