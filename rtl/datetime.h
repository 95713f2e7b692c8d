#pragma once
// Date and time as the library passes them around: a day count, whole days since
// 30 December 1899, the fraction the time of day. Encoding raises EConvertError for parts
// that do not form a valid date or time. Formatting and parsing use one fixed locale, US
// English (long date "dddd, mmmm d, yyyy", short date "m/d/yyyy", time "h:nn:ss AM/PM"),
// so results never depend on the machine.
#include <cstdint>
#include <string>

namespace rtl {

using TDateTime = double;

/// The day count of a calendar date; throws EConvertError for an invalid date
/// (year 1..9999, month 1..12, day within the month).
TDateTime EncodeDate(int year, int month, int day);
/// The fraction of a day; throws EConvertError unless hour < 24, min < 60, sec < 60, msec < 1000.
TDateTime EncodeTime(int hour, int min, int sec, int msec);
/// Non-throwing forms: false for invalid parts, result untouched.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result);

void DecodeDate(TDateTime t, int& year, int& month, int& day);
void DecodeTime(TDateTime t, int& hour, int& min, int& sec, int& msec);
/// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime t);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

/// The current local date and time, date only (midnight) and time only.
TDateTime Now();
TDateTime Date();
TDateTime Time();

/// Formats a value with the framework's format letters: d dd ddd dddd m mm mmm mmmm
/// yy yyyy h hh n nn s ss z zzz am/pm a/p ampm, "/" and ":" as separators, quoted text
/// in '...' or "...". "c" gives short date and long time (the time left out at midnight),
/// ddddd and dddddd the short and long date, t and tt the short and long time. "m" right
/// after an hour means minutes; an hour followed by an am/pm marker is on the 12-hour clock.
/// An empty format means "c".
std::string FormatDateTime(const std::string& format, TDateTime t);

/// Parses a date in the short format (m/d/yyyy; a two-digit year is taken in 1950..2049).
/// Throws EConvertError on bad text.
TDateTime StrToDate(const std::string& text);
/// Parses a time "h:nn[:ss[.zzz]] [AM|PM]". Throws EConvertError on bad text.
TDateTime StrToTime(const std::string& text);

/// The fixed locale's formats.
extern const char* const LongDateFormat;   // "dddd, mmmm d, yyyy"
extern const char* const ShortDateFormat;  // "m/d/yyyy"
extern const char* const LongTimeFormat;   // "h:nn:ss AMPM"

} // namespace rtl
