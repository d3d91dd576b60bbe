// qprintOpenPrinter: the print dialog (CUPS printers and printing to a PDF
// file) chooses the printer that becomes the module's printer context.
#include <QPrintDialog>
#include <QPrinter>

#include "print/printer_surface.h"
#include "print/qprint.h"

int qprintOpenPrinter(QWidget* owner) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer.get(), owner);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  if (dialog.exec() != QDialog::Accepted) return -1;
  QPrinter* chosen = printer.get();
  qprintAttachSurface(std::make_unique<PrinterSurface>(chosen, std::move(printer)));
  return 0;
}
