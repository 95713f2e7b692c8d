#pragma once
// The two messages the base component sends to the widgets of its form: a custom event whose
// type is the message number, delivered synchronously, with both parameters 0.
#include <framework/rudodor4_export.h>

#include <QEvent>
#include <QList>

#include <cstdint>

class QWidget;

namespace framework {

/// The server or the directory context changed.
inline constexpr int NWM_BASESERVERCHANGE = 0xB841;
/// The login name changed.
inline constexpr int NWM_BASEUSERCHANGE = 0xB842;

/// A window message as a Qt event.
class RUDODOR4_EXPORT NotificationEvent : public QEvent {
public:
  explicit NotificationEvent(int message);
  int message() const { return static_cast<int>(type()); }
  std::intptr_t wParam() const { return 0; }
  std::intptr_t lParam() const { return 0; }
};

/// Sends a message to one widget and returns when its handler has run; true when the widget
/// handled it.
RUDODOR4_EXPORT bool sendNotification(QWidget* target, int message);

/// The widgets of a form in creation order (its descendants in the order the form file, or
/// the program, created them), the form itself not included.
RUDODOR4_EXPORT QList<QWidget*> formWidgets(QWidget* form);

} // namespace framework
