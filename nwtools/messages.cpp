// Modal message and confirmation dialogs.
#include "nwtools/nwtools.h"

#include "platform/dialogs.h"

namespace nwtools {

namespace {
constexpr unsigned MessageBoxYesNoQuestionSecondDefault = 0x124;  // MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2
constexpr int IdYes = 6;

// Callers that show an hour-glass during a long operation get a normal pointer in the dialog
// and their hour-glass back afterwards.
int showDialog(const std::string& text, platform::DialogType type, unsigned buttons) {
  const platform::CursorGuard cursor(platform::crDefault);
  return platform::dialogs().messageDlg(strTran(text, ";", "\n"), type, buttons, 0);
}
} // namespace

void okBox(const std::string& text) { showDialog(text, platform::DialogType::Information, platform::mbOK); }

void alertBox(const std::string& text) { showDialog(text, platform::DialogType::Error, platform::mbCancel); }

bool yesNoBox(const std::string& text) {
  return showDialog(text, platform::DialogType::Confirmation, platform::mbYes | platform::mbNo) == platform::mrYes;
}

bool noYesBox(const std::string& text) {
  const platform::CursorGuard cursor(platform::crDefault);
  return platform::dialogs().messageBox(strTran(text, ";", "\n"), "Confirm", MessageBoxYesNoQuestionSecondDefault) ==
         IdYes;
}

int YNCBox(const std::string& text) {
  return showDialog(text, platform::DialogType::Confirmation, platform::mbYes | platform::mbNo | platform::mbCancel);
}

} // namespace nwtools
