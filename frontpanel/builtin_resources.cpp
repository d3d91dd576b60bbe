// Registers the compiled-in resource file once.
#include "frontpanel/builtin_resources.h"

#include <QtCore/qglobal.h>
#include <QDir>

static void RegisterResources() { Q_INIT_RESOURCE(tm650e); }

void EnsureBuiltinResources() {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
}
