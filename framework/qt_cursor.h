#pragma once
// The screen cursor as Qt's override cursor: the hour-glass is a wait cursor over every
// window of the program, the default cursor no override at all.
#include <framework/rudodor4_export.h>

#include <platform/dialogs.h>

namespace framework {

class RUDODOR4_EXPORT QtCursor : public platform::CursorService {
public:
  int cursor() const override { return current_; }
  void setCursor(int cursor) override;

private:
  int current_ = platform::crDefault;
  bool overridden_ = false;
};

} // namespace framework
