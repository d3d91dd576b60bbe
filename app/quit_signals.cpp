// The self-pipe: the handler writes one byte (the only thing it may safely
// do), and a socket notifier in the event loop reads it and quits.
#include "app/quit_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef _WIN32

void QuitOnSignals(std::function<void()>) {}

#else

namespace {

int signalPipe[2] = {-1, -1};  // the handler writes [0], the loop reads [1]

extern "C" void WriteSignalByte(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = write(signalPipe[0], &byte, 1);
  errno = saved;
}

}  // namespace

void QuitOnSignals(std::function<void()> quit) {
  if (signalPipe[0] < 0 && socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, quit = std::move(quit)] {
    char byte = 0;
    if (read(signalPipe[1], &byte, 1) != 1) return;
    notifier->setEnabled(false);  // once is enough; a second signal changes nothing
    quit();
  });
  struct sigaction action {};
  action.sa_handler = WriteSignalByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
}

#endif
