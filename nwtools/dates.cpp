// Date conversions to and from NetWare's seconds, formatting, and date and time stepping.
#include "nwtools/nwtools.h"

#include "rtl/exceptions.h"
#include "rtl/sysutils.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace nwtools {

namespace {
constexpr std::int64_t SecsPerDay = 86400;

rtl::TDateTime unixEpoch() { return rtl::EncodeDate(1970, 1, 1); }

int formattedNumber(const char* format, rtl::TDateTime t) { return rtl::StrToInt(rtl::FormatDateTime(format, t)); }
} // namespace

int delphiDateToNWDate(rtl::TDateTime t) {
  constexpr auto lowest = std::numeric_limits<std::int32_t>::min();
  constexpr auto highest = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(t)) return 0;
  // Far outside the 32-bit range the day count would not even fit 64 bits; only the sign counts.
  if (std::fabs(t) > 1e9) return t < 0 ? lowest : highest;
  const double wholeDays = std::trunc(t);
  // Fractions of a second are dropped, not rounded. The time of day is first taken to the
  // millisecond, since the product for a whole second often comes out a hair below it.
  const auto milliseconds = std::llround((t - wholeDays) * 86400000.0);
  const std::int64_t seconds = milliseconds / 1000;
  const std::int64_t result =
      (static_cast<std::int64_t>(wholeDays) - static_cast<std::int64_t>(unixEpoch())) * SecsPerDay + seconds;
  if (result < lowest) return lowest;
  if (result > highest) return highest;
  return static_cast<int>(result);
}

rtl::TDateTime NWDateToDelphiDate(int seconds) {
  return unixEpoch() + static_cast<double>(seconds / SecsPerDay) +
         static_cast<double>(seconds % SecsPerDay) / static_cast<double>(SecsPerDay);
}

int lastDay(rtl::TDateTime t) {
  // Step whole days: with the time of day kept, a day before the epoch would be met twice
  // (a negative value's fraction counts backwards).
  const rtl::TDateTime date = std::trunc(t);
  const int thisMonth = month(date);
  int steps = 0;
  // No month has more than 31 days; the bound also ends the walk for a value that is no date.
  while (steps < 31 && month(date + steps + 1) == thisMonth) ++steps;
  return day(date) + steps;
}

std::string formDate(rtl::TDateTime t) { return rtl::FormatDateTime(rtl::LongDateFormat, t); }
std::string formTime(rtl::TDateTime t) { return rtl::FormatDateTime("hh:mm a/p", t); }

int day(rtl::TDateTime t) { return formattedNumber("d", t); }
int month(rtl::TDateTime t) { return formattedNumber("m", t); }
int year(rtl::TDateTime t) { return formattedNumber("yyyy", t); }
int hour(rtl::TDateTime t) { return formattedNumber("h", t); }
int minute(rtl::TDateTime t) { return formattedNumber("n", t); }
int second(rtl::TDateTime t) { return formattedNumber("s", t); }

std::string timeTextInc(const std::string& text, int direction) {
  rtl::TDateTime time = 0;
  try {
    time = rtl::StrToTime(padC(text, 5, '0'));
  } catch (const rtl::EConvertError&) {
    return text;
  }
  int h = hour(time);
  int m = minute(time);
  if (direction < 1) {
    if (m == 0) {
      m = 45;
      --h;
    } else if (m > 15) {
      m -= 15;
    } else {
      m = 0;
    }
  } else {
    m += 15;
    if (m > 45) {
      m = 0;
      h = h > 11 ? 1 : h + 1;
    }
  }
  // A 12-hour clock without a marker: 0 reads as 12 and later hours stop at 12.
  if (h < 0) h = 0;
  if (h > 12) h = 12;
  if (h == 0) h = 12;
  return padL(rtl::IntToStr(h), 2, '0') + ":" + padL(rtl::IntToStr(m), 2, '0');
}

std::string datetextInc(const std::string& text, int direction) {
  rtl::TDateTime date = 0;
  try {
    date = rtl::StrToDate(text);
  } catch (const rtl::EConvertError&) {
    return text;
  }
  date += direction <= 0 ? -1 : 1;
  const int y = year(date);
  if (y < 1 || y > 9999) return text;  // stepped past the calendar's ends
  return rtl::IntToStr(month(date)) + "/" + rtl::IntToStr(day(date)) + "/" + rtl::IntToStr(y);
}

} // namespace nwtools
