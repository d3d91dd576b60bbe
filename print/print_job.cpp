// File > Print... and the Print button: printer chosen in the print dialog,
// module set up from the settings, the paper fed line by line with the
// header and footer handler, the wait cursor shown while the job runs.
#include "print/print_job.h"

#include <QApplication>
#include <QCursor>
#include <QPrinter>
#include <cstring>

#include "app/settings.h"
#include "heap/hcheap.h"
#include "print/header_footer.h"
#include "print/print_commands.h"
#include "print/printer_surface.h"
#include "print/qprint.h"

namespace {

constexpr const char* DEFAULT_FACE = "Lucida Console";
constexpr int DEFAULT_POINTS = 8;

Pumping jobPumping = Pumping::PaintMessages;

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

int CreateJobFont(const Settings& settings) {
  if (settings.Font.empty()) return qprintCreateFont(DEFAULT_FACE, DEFAULT_POINTS, DEFAULT_POINTS);
  const std::string face = PrintableText(settings.Font);
  return qprintCreateFont(face, settings.PointSize, settings.PointSize);
}

void SetUpPage(const Settings& settings, int font) {
  qprintSetMargins(settings.MarginTop, settings.MarginBottom, settings.MarginLeft, settings.MarginRight);
  qprintSetLineSpacing(0);
  qprintSelectFont(font);
  qprintSetPageHandler(PrintHeaderFooter);
  qprintSetHeader(PrintableText(settings.Header));
  qprintSetFooter(PrintableText(settings.Footer));
}

// Length of the line end at `text` (CR LF, or a lone CR or LF), 0 if none.
size_t LineEndLength(const char* text, size_t left) {
  if (text[0] == '\r') return left > 1 && text[1] == '\n' ? 2 : 1;
  return text[0] == '\n' ? 1 : 0;
}

// One printed line per paper line; text after the last line end is printed
// as a last line.
void PrintLines(const char* text, size_t length, int font) {
  size_t at = 0;
  while (at < length) {
    size_t end = at;
    while (end < length && LineEndLength(text + end, length - end) == 0) ++end;
    if (end == at)
      qprintBlankLines(font, 1);
    else
      qprintText(font, std::string_view(text + at, end - at), QPRINT_LEFT, 0);
    at = end < length ? end + LineEndLength(text + end, length - end) : end;
    PumpPaintMessages();
  }
}

void PrintPaperCopy(const QByteArray& paper, int font) {
  char* copy = static_cast<char*>(hcheapAlloc(0, static_cast<size_t>(paper.size()) + 1, __FILE__, __LINE__));
  std::memcpy(copy, paper.constData(), static_cast<size_t>(paper.size()));
  PrintLines(copy, static_cast<size_t>(paper.size()), font);
  hcheapFree(0, copy);
}

}  // namespace

std::string PrintableText(const std::string& text) {
  return QString::fromStdString(text).toLatin1().toStdString();
}

void PumpPaintMessages() {
  if (jobPumping == Pumping::None || !QCoreApplication::instance()) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int RunPrintJob(const QByteArray& paper, const Settings& settings, Pumping pumping) {
  jobPumping = pumping;
  qprintBegin();
  WaitCursor waitCursor;
  qprintSetDocName(PrintableText(settings.DocName));
  // Drawing on a printer that refused the document would print nothing.
  if (qprintStartDoc() != 0) {
    qprintEnd();
    return -1;
  }
  PumpPaintMessages();
  const int font = CreateJobFont(settings);
  SetUpPage(settings, font);
  qprintStartPage();
  PumpPaintMessages();
  PrintPaperCopy(paper, font);
  qprintEndPage();
  PumpPaintMessages();
  qprintEndDoc();
  qprintEnd();
  return 0;
}

int PrintPaperOn(QPrinter& printer, const QString& paper, const Settings& settings, Pumping pumping) {
  qprintAttachSurface(std::make_unique<PrinterSurface>(&printer));
  return RunPrintJob(paper.toLatin1(), settings, pumping);
}

bool PrintingAvailable() { return true; }

int PrintPaper(QWidget* owner, const QString& paper, Settings& settings) {
  if (qprintOpenPrinter(owner) != 0) return 0;
  return RunPrintJob(paper.toLatin1(), settings);
}
