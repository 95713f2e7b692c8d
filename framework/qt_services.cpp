#include "framework/qt_services.h"

#include "framework/qt_cursor.h"
#include "framework/qt_dialogs.h"

#include <QApplication>

#include <platform/dialogs.h>

namespace framework {

void installQtServices() {
  static bool installed = false;
  if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  installed = true;
  platform::setFallbackDialogService(std::make_shared<QtDialogs>());
  platform::setFallbackCursorService(std::make_shared<QtCursor>());
}

} // namespace framework
