#pragma once
// The Qt forms of the platform's pluggable services: message dialogs and the screen cursor.
#include <framework/rudodor4_export.h>

namespace framework {

/// Makes the Qt dialog and cursor services the fallback of the platform layer, once a
/// QApplication exists. Services a program (or a test) installed itself stay in force.
/// Every component calls it when it is constructed.
RUDODOR4_EXPORT void installQtServices();

} // namespace framework
