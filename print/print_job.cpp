// File > Print... and the Print button: printer chosen in the print dialog,
// the job run with the wait cursor showing, paint events let through between
// its steps, and the local date and time read through Qt.
#include "print/print_job.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPrinter>

#include "app/settings.h"
#include "print/paper_job.h"
#include "print/print_commands.h"
#include "print/printer_surface.h"
#include "print/qprint.h"

namespace {

class WaitCursor {
 public:
  WaitCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
      QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
      shown_ = true;
    }
  }
  ~WaitCursor() {
    if (shown_) QApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool shown_ = false;
};

// The same digits wherever the program runs: month/day/year and 24 hours.
ClockReading ReadLocalClock() {
  const QDateTime now = QDateTime::currentDateTime();
  return {QLocale::c().toString(now, QStringLiteral("MM/dd/yy")).toStdString(),
          QLocale::c().toString(now, QStringLiteral("HH:mm:ss")).toStdString()};
}

// Lets paint and timer work through so the window stays drawn during a job.
void PumpPaintMessages() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int RunJobNow(const QString& paper, const Settings& settings, Pumping pumping) {
  const QByteArray bytes = paper.toLatin1();
  const PrintJobHost host{ReadLocalClock, pumping == Pumping::PaintMessages ? PumpPaintMessages : nullptr};
  return RunPrintJob(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), settings, host);
}

int RunJob(const QString& paper, const Settings& settings, Pumping pumping) {
  WaitCursor waitCursor;
  return RunJobNow(paper, settings, pumping);
}

}  // namespace

int PrintPaperOn(QPrinter& printer, const QString& paper, const Settings& settings, Pumping pumping) {
  qprintAttachSurface(std::make_unique<PrinterSurface>(&printer));
  return RunJob(paper, settings, pumping);
}

int PrintPaperLaidOut(const QString& paper, const Settings& settings) {
  return RunJobNow(paper, settings, Pumping::None);
}

bool PrintingAvailable() { return true; }

int PrintPaper(QWidget* owner, const QString& paper, Settings& settings) {
  if (paper.isEmpty()) {
    QMessageBox::information(owner, QStringLiteral("Print"), QStringLiteral("The paper is empty: there is nothing to print."));
    return 0;
  }
  if (qprintOpenPrinter(owner) != 0) return 0;
  return RunJob(paper, settings, Pumping::PaintMessages);
}
