#include "framework/qt_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace framework {
namespace {

Qt::CursorShape shapeOf(int cursor) {
  switch (cursor) {
    case platform::crHourGlass: return Qt::WaitCursor;
    case platform::crArrow: return Qt::ArrowCursor;
    default: return Qt::ArrowCursor;
  }
}

} // namespace

void QtCursor::setCursor(int cursor) {
  current_ = cursor;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  // One override of ours at most, so that restoring always balances.
  if (overridden_) {
    QGuiApplication::restoreOverrideCursor();
    overridden_ = false;
  }
  if (cursor != platform::crDefault) {
    QGuiApplication::setOverrideCursor(QCursor(shapeOf(cursor)));
    overridden_ = true;
  }
}

} // namespace framework
