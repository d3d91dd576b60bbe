// The program itself, asked to end by the system: a logout's SIGHUP, a
// shutdown's SIGTERM and Ctrl+C's SIGINT end it the ordinary way, with the
// device kept for the next run.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(Shutdown, TheSystemsSignalsKeepTheDeviceAndEndTheProgramNormally) {
  int argc = 0;
  QCoreApplication application(argc, nullptr);
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
    QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("Documents"));
    ASSERT_TRUE(QDir().mkpath(documents));
    QProcess program;
    program.setEnvironment(QProcess::systemEnvironment() +
                           QStringList{"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.filePath("config"),
                                       "XDG_DATA_HOME=" + home.filePath("data"), "QT_QPA_PLATFORM=offscreen"});
    // Once the session's log is open the program has its handlers in place.
    QFileSystemWatcher watcher({documents});
    QEventLoop logOpened;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &logOpened, &QEventLoop::quit);
    QTimer::singleShot(20000, &logOpened, &QEventLoop::quit);
    program.start(QStringLiteral(TM650E_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    logOpened.exec();
    ASSERT_TRUE(QFile::exists(documents + QStringLiteral("/tm650e.log"))) << signal;
    kill(static_cast<pid_t>(program.processId()), signal);
    ASSERT_TRUE(program.waitForFinished(20000)) << signal;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(program.exitCode(), 0) << signal;
    EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("data/Fernhill/TM650E/tm650e.state")))) << signal;
  }
}

}  // namespace
