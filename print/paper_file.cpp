// File > Save Paper As... writes the paper as a text file, byte for byte as
// the log holds it; Print Preview shows exactly what the print job prints.
#include <QFile>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QGuiApplication>
#include <QScreen>

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

QString SuggestedPaperPath() {
  const QString name = QStringLiteral("tm650e-paper-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
  return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
}

// Offered in the Documents folder under a name with today's date; a name
// typed without an extension gets ".txt".
bool SavePaperAs(QWidget* owner, const QString& paper) {
  QDir().mkpath(QFileInfo(SuggestedPaperPath()).path());  // as the log makes it
  QFileDialog dialog(owner, QStringLiteral("Save Paper As"), SuggestedPaperPath(),
                     QStringLiteral("Text files (*.txt);;All files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.selectFile(SuggestedPaperPath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return WritePaperFile(dialog.selectedFiles().first(), paper);
}

// Most of the screen the window is on: the pages are what it is for.
void PreviewPaper(QWidget* owner, const QString& paper, const Settings& settings) {
  QPrintPreviewDialog dialog(owner);
  const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen) dialog.resize(screen->availableGeometry().size() * PREVIEW_SCREEN_SHARE);
  CenterOverOwner(&dialog, owner);  // and no larger than the owner's screen
  KeepFrameOnScreen(&dialog);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                   [&](QPrinter* printer) { PrintPaperOn(*printer, paper, settings, Pumping::None); });
  dialog.exec();
}
