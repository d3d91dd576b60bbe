// The window tests need one QApplication for the whole run, offscreen unless
// told otherwise, with the user's folders and settings kept out of the way.
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/frontpanel/test_support.h"

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Fernhill-tests"));
  // Each run keeps its user settings to itself, so runs side by side never
  // see each other's choices.
  QTemporaryDir settingsFolder;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Blocks in the event loop until something arrives; the tick bounds each
// wait so the deadline is seen.
bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  QTimer tick;
  tick.start(10);
  while (!condition()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}
