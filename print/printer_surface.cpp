// QPrinter-backed printer context. The first page comes with the painter's
// begin, so only later page starts ask the printer for a new page.
#include "print/printer_surface.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPrinter>
#include <QString>

namespace {

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// The paper is columns of fixed-width device output: a face that is not
// installed gives way to the system's fixed-pitch font, as on the pane.
QString InstalledFaceOrFixed(const QString& face) {
  if (QFontDatabase::hasFamily(face)) return face;
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace

PrinterSurface::PrinterSurface(QPrinter* printer, std::unique_ptr<QPrinter> owned)
    : owned_(std::move(owned)), printer_(printer), device_(printer) {}

PrinterSurface::PrinterSurface(QImage* image) : device_(image) {}

PrinterSurface::~PrinterSurface() {
  if (painter_.isActive()) painter_.end();
}

TextExtent PrinterSurface::MeasureText(std::string_view text) const {
  const QFontMetrics metrics(current_, device_);
  return {metrics.horizontalAdvance(Latin1(text)), metrics.height()};
}

bool PrinterSurface::StartDoc(std::string_view docName) {
  if (printer_) {
    printer_->setDocName(Latin1(docName));
    printer_->setFullPage(true);
  }
  pagesStarted_ = 0;
  return painter_.begin(device_);
}

int PrinterSurface::PageWidth() const { return device_->width(); }
int PrinterSurface::PageHeight() const { return device_->height(); }
int PrinterSurface::PixelsPerInchY() const { return device_->logicalDpiY(); }
int PrinterSurface::PixelsPerInchX() const { return device_->logicalDpiX(); }

int32_t PrinterSurface::CreateFont(const FontRequest& request) {
  QFont font(InstalledFaceOrFixed(Latin1(request.face)));
  font.setStyleHint(QFont::Serif);
  if (request.pixelHeight > 0) font.setPixelSize(request.pixelHeight);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(request.weight, 1, 1000)));
  fonts_.push_back(font);
  return static_cast<int32_t>(fonts_.size());
}

void PrinterSurface::SelectFont(int32_t handle) {
  if (handle <= 0 || handle > static_cast<int32_t>(fonts_.size())) return;
  current_ = fonts_[handle - 1];
  if (painter_.isActive()) painter_.setFont(current_);
}

// Fonts are plain values here; they go with the surface.
void PrinterSurface::DeleteFont(int32_t) {}

void PrinterSurface::TextOut(int x, int y, std::string_view text) {
  if (!painter_.isActive() || text.empty() || (!printer_ && pagesStarted_ > 1)) return;
  const QFontMetrics metrics(current_, device_);
  painter_.drawText(QPoint(x, y + metrics.ascent()), Latin1(text));
}

bool PrinterSurface::StartPage() {
  if (!painter_.isActive()) return false;
  return pagesStarted_++ == 0 || !printer_ || printer_->newPage();
}

void PrinterSurface::EndPage() {}

void PrinterSurface::EndDoc() {
  if (painter_.isActive()) painter_.end();
}
