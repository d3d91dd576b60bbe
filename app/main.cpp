// The program's entry point: builds the machine, starts the emulation thread,
// runs the main window until the user quits, then stops the thread, closes
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
#include "frontpanel/host_bridge.h"
#include "frontpanel/main_window.h"
#include "frontpanel/sound.h"
#include "print/print_commands.h"

namespace {

// The built-in image, or the file beside the executable; false (the user
// told why) when neither is there.
bool LoadFirmwareImage(Machine& machine, const std::string& executable) {
  std::span<const uint8_t> image = BuiltinFirmware();
  std::vector<uint8_t> fromFile;
  if (image.empty()) {
    const std::string path = FirmwareFileFor(executable);
    std::string error;
    if (!ReadFirmwareFile(path, fromFile, error)) {
      const std::string message = "TM650E has no built-in firmware and cannot read the firmware file " + path +
                                  (error.empty() ? std::string() : ": " + error);
      std::fprintf(stderr, "tm650e: %s\n", message.c_str());
      QMessageBox::critical(nullptr, QStringLiteral("TM650E"), QString::fromStdString(message));
      return false;
    }
    image = fromFile;
  }
  LoadFirmware(machine, image);
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

  // Neither is ever deleted: a detached emulation thread may still use them
  // while the process ends.
  auto* machine = new Machine;
  auto* bridge = new HostBridge;
  MachineWire(*machine, bridge);

  if (!LoadFirmwareImage(*machine, executable)) return -1;
  Settings settings;
  LoadSettings(settings);
  ApplyFirmwarePatches(*machine);
  const FaceImages images = LoadFaceImages(QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
  machine->LogFile = OpenLog(executable);
  PiaReset(machine->pia);
  EmulationRunner runner;
  StartEmulation(*machine, runner);

  std::unique_ptr<SoundLayer> sound = MakeSystemSoundLayer();
  {
    MainWindow window(*machine, settings, images, *sound, bridge);
    window.show();
    window.exec();
  }

  machine->StopFlag = 1;
  bridge->detach();
  StopEmulation(*machine, runner, 100);
  if (machine->LogFile) std::fclose(machine->LogFile);
  SaveSettings(settings);
  return 0;
}
