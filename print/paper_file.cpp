// File > Save Paper As... writes the paper as a text file, byte for byte as
// the log holds it; Print Preview shows exactly what the print job prints.
#include <QFile>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/settings.h"
#include "dialogs/center_over_owner.h"
#include "print/print_commands.h"
#include "print/print_job.h"

bool WritePaperFile(const QString& path, const QString& paper) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray bytes = paper.toLatin1();
  return file.write(bytes) == bytes.size() && file.flush();
}

bool SavePaperAs(QWidget* owner, const QString& paper) {
  const QString path = QFileDialog::getSaveFileName(owner, QStringLiteral("Save Paper As"), QString(),
                                                    QStringLiteral("Text files (*.txt);;All files (*)"));
  if (path.isEmpty()) return false;
  return WritePaperFile(path, paper);
}

void PreviewPaper(QWidget* owner, const QString& paper, const Settings& settings) {
  QPrintPreviewDialog dialog(owner);
  CenterOverOwner(&dialog, owner);  // and no larger than the owner's screen
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&](QPrinter* printer) { PrintPaperOn(*printer, paper, settings, Pumping::None); });
  dialog.exec();
}
