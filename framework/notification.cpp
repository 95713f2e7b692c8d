#include "framework/notification.h"

#include <QCoreApplication>
#include <QWidget>

namespace framework {
namespace {

// Reserve the two numbers, so that no other registered event type takes them.
void reserveEventTypes() {
  static const bool reserved = [] {
    QEvent::registerEventType(NWM_BASESERVERCHANGE);
    QEvent::registerEventType(NWM_BASEUSERCHANGE);
    return true;
  }();
  (void)reserved;
}

} // namespace

NotificationEvent::NotificationEvent(int message) : QEvent(static_cast<QEvent::Type>(message)) {}

bool sendNotification(QWidget* target, int message) {
  if (!target) return false;
  reserveEventTypes();
  NotificationEvent event(message);
  event.setAccepted(false);
  QCoreApplication::sendEvent(target, &event);
  return event.isAccepted();
}

QList<QWidget*> formWidgets(QWidget* form) {
  if (!form) return {};
  return form->findChildren<QWidget*>(QString(), Qt::FindChildrenRecursively);
}

} // namespace framework
