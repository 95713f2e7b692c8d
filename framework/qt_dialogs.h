#pragma once
// Message dialogs as Qt message boxes, with the framework's captions ("Information",
// "Warning", "Error", "Confirm") and buttons, and the network provider's connect and
// disconnect dialogs as small Qt dialogs. All are modal over the active window.
#include <framework/rudodor4_export.h>

#include <platform/dialogs.h>

namespace framework {

class RUDODOR4_EXPORT QtDialogs : public platform::DialogService {
public:
  int messageDlg(const std::string& text, platform::DialogType type, unsigned buttons, int helpContext) override;
  int messageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  bool connectDialog(void* owner, platform::NetResourceKind kind, std::string& localName,
                     std::string& remoteName) override;
  bool disconnectDialog(void* owner, platform::NetResourceKind kind,
                        const std::vector<std::pair<std::string, std::string>>& connections,
                        std::string& chosen) override;
};

} // namespace framework
