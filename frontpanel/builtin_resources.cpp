// Registers the compiled-in resource file once.
#include "frontpanel/builtin_resources.h"

#include <QtCore/qglobal.h>
#include <QDir>
#include <QIcon>

static void RegisterResources() { Q_INIT_RESOURCE(tm650e); }

void EnsureBuiltinResources() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
}

QIcon ProgramIcon() {
  EnsureBuiltinResources();
  QIcon icon;
  for (const QString& file : QDir(QStringLiteral(":/icons")).entryList(QDir::Files)) icon.addFile(QStringLiteral(":/icons/") + file);
  return icon;
}
