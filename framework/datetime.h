#pragma once
// Dates and times cross between the units (a day count since 30 December 1899 whose
// fraction is the time of day) and Qt (QDateTime, local time) here, to the millisecond.
#include <rtl/datetime.h>

#include <QDateTime>

#include <cmath>

namespace framework {

inline QDateTime toQDateTime(rtl::TDateTime value) {
  const double days = std::trunc(value);
  // Before the epoch the fraction still counts forward from midnight.
  const double fraction = std::fabs(value - days);
  qint64 ms = std::llround(fraction * 86'400'000.0);
  qint64 whole = static_cast<qint64>(days);
  if (ms >= 86'400'000) {
    ms -= 86'400'000;
    whole += value < 0 ? -1 : 1;
  }
  const QDate date = QDate(1899, 12, 30).addDays(whole);
  return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

inline rtl::TDateTime toTDateTime(const QDateTime& value) {
  const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(value.date()));
  const double fraction = value.time().msecsSinceStartOfDay() / 86'400'000.0;
  return days < 0 ? days - fraction : days + fraction;
}

} // namespace framework
