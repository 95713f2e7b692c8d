#include "rtl/datetime.h"

#include "rtl/exceptions.h"
#include "rtl/sysutils.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace rtl {

const char* const LongDateFormat = "dddd, mmmm d, yyyy";
const char* const ShortDateFormat = "m/d/yyyy";
const char* const LongTimeFormat = "h:nn:ss AMPM";

namespace {

const char* const ShortTimeFormat = "h:nn AMPM";
const char* const TimeAMString = "AM";
const char* const TimePMString = "PM";
const char DateSeparator = '/';
const char TimeSeparator = ':';
const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr std::int64_t MSecsPerDay = 86400000;
// Day count of 1 January 0001 relative to the library's epoch, 30 December 1899.
constexpr std::int64_t DateDelta = 693594;
// Beyond this many days the value cannot be a date of any calendar in use, and the
// millisecond count would no longer fit in 64 bits.
constexpr double MaxDays = 1e11;

// A value split into whole days and the time of day in milliseconds, rounded to the
// nearest millisecond as the framework does. A negative value's integral part is the day
// and the absolute value of its fraction the time.
struct Stamp {
  bool valid = false;
  std::int64_t days = 0;
  std::int64_t msecs = 0;
};

Stamp toStamp(TDateTime t) {
  Stamp s;
  if (!std::isfinite(t) || std::fabs(t) >= MaxDays) return s;
  const std::int64_t ms = std::llround(t * static_cast<double>(MSecsPerDay));
  s.valid = true;
  s.days = ms / MSecsPerDay;
  s.msecs = (ms < 0 ? -ms : ms) % MSecsPerDay;
  return s;
}

// Proleptic Gregorian calendar date of a day count (days since 30 December 1899).
void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
  const std::int64_t z = days - 25569 + 719468;  // days since 1 March 0000
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

std::string number(int value, int digits) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%0*d", digits, value);
  return buf;
}

bool startsWithText(const std::string& s, std::size_t pos, const char* text) {
  for (std::size_t i = 0; text[i]; ++i)
    if (pos + i >= s.size() || UpCase(s[pos + i]) != UpCase(text[i])) return false;
  return true;
}

class DateFormatter {
public:
  explicit DateFormatter(TDateTime t) {
    const Stamp s = toStamp(t);
    if (s.valid) {
      civilFromDays(s.days, year_, month_, day_);
      const std::int64_t ts = DateDelta + s.days;  // 1 = Monday, 1 January 0001
      dayOfWeek_ = static_cast<int>(((ts % 7) + 7) % 7);  // 0 = Sunday
      hour_ = static_cast<int>(s.msecs / 3600000);
      min_ = static_cast<int>(s.msecs / 60000 % 60);
      sec_ = static_cast<int>(s.msecs / 1000 % 60);
      msec_ = static_cast<int>(s.msecs % 1000);
    }
  }

  std::string format(const std::string& fmt) {
    out_.clear();
    append(fmt.empty() ? std::string("c") : fmt, 0);
    return out_;
  }

private:
  void append(const std::string& f, int level) {
    if (level >= 2) return;  // the locale's formats do not nest deeper
    bool use12Hour = false;
    char lastToken = ' ';
    std::size_t i = 0;
    while (i < f.size()) {
      const char starter = f[i++];
      char token = UpCase(starter);
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastToken == 'H') token = 'N';  // "m" after an hour means minutes
        lastToken = token;
      }
      auto count = [&]() {
        int n = 1;
        while (i < f.size() && f[i] == starter) { ++i; ++n; }
        return n;
      };
      switch (token) {
        case 'Y': {
          const int n = count();
          out_ += n <= 2 ? number(((year_ % 100) + 100) % 100, 2) : number(year_, 4);
          break;
        }
        case 'M': {
          const int n = count();
          if (n <= 2) out_ += number(month_, n);
          else if (month_ >= 1 && month_ <= 12) out_ += n == 3 ? ShortMonthNames[month_ - 1] : LongMonthNames[month_ - 1];
          break;
        }
        case 'D': {
          const int n = count();
          if (n <= 2) out_ += number(day_, n);
          else if (n == 3) out_ += ShortDayNames[dayOfWeek_];
          else if (n == 4) out_ += LongDayNames[dayOfWeek_];
          else append(n == 5 ? ShortDateFormat : LongDateFormat, level + 1);
          break;
        }
        case 'H': {
          int n = count();
          // The hour is on the 12-hour clock when an am/pm marker follows before the next
          // hour or "a" token (text in quotes does not count).
          bool quoted = false;
          for (std::size_t p = i; p < f.size(); ++p) {
            const char c = f[p];
            if ((c == 'A' || c == 'a') && !quoted) {
              if (startsWithText(f, p, "AM/PM") || startsWithText(f, p, "A/P") || startsWithText(f, p, "AMPM"))
                use12Hour = true;
              break;
            }
            if (c == 'H' || c == 'h') break;
            if (c == '\'' || c == '"') quoted = !quoted;
          }
          int h = hour_;
          if (use12Hour) {
            if (h == 0) h = 12;
            else if (h > 12) h -= 12;
          }
          if (n > 2) n = 2;
          out_ += number(h, n);
          break;
        }
        case 'N': {
          int n = count();
          if (n > 2) n = 2;
          out_ += number(min_, n);
          break;
        }
        case 'S': {
          int n = count();
          if (n > 2) n = 2;
          out_ += number(sec_, n);
          break;
        }
        case 'Z': {
          int n = count();
          if (n > 3) n = 3;
          out_ += number(msec_, n);
          break;
        }
        case 'T': {
          const int n = count();
          append(n == 1 ? ShortTimeFormat : LongTimeFormat, level + 1);
          break;
        }
        case 'C': {
          count();
          append(ShortDateFormat, level + 1);
          if (hour_ != 0 || min_ != 0 || sec_ != 0) {
            out_ += ' ';
            append(LongTimeFormat, level + 1);
          }
          break;
        }
        case 'A': {
          const std::size_t p = i - 1;
          if (startsWithText(f, p, "AM/PM")) {
            // The marker keeps the case it is written in.
            out_ += f.substr(hour_ >= 12 ? p + 3 : p, 2);
            i = p + 5;
          } else if (startsWithText(f, p, "A/P")) {
            out_ += f[hour_ >= 12 ? p + 2 : p];
            i = p + 3;
          } else if (startsWithText(f, p, "AMPM")) {
            out_ += hour_ < 12 ? TimeAMString : TimePMString;
            i = p + 4;
          } else {
            out_ += starter;
          }
          break;
        }
        case '/':
          out_ += DateSeparator;
          break;
        case ':':
          out_ += TimeSeparator;
          break;
        case '\'':
        case '"': {
          const std::size_t close = f.find(starter, i);
          const std::size_t end = close == std::string::npos ? f.size() : close;
          out_ += f.substr(i, end - i);
          i = close == std::string::npos ? f.size() : close + 1;
          break;
        }
        default:
          out_ += starter;
      }
    }
  }

  std::string out_;
  int year_ = 0, month_ = 0, day_ = 0, dayOfWeek_ = 0;
  int hour_ = 0, min_ = 0, sec_ = 0, msec_ = 0;
};

// A small scanner for the parsers: blanks are skipped before every element.
class Scanner {
public:
  explicit Scanner(const std::string& s) : s_(s) {}
  void skipBlanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  bool number(int& value, int& digits) {
    skipBlanks();
    const std::size_t start = pos_;
    std::int64_t v = 0;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      v = v * 10 + (s_[pos_] - '0');
      if (++pos_ - start > 9) return false;
    }
    digits = static_cast<int>(pos_ - start);
    value = static_cast<int>(v);
    return digits > 0;
  }
  bool character(char c) {
    skipBlanks();
    if (pos_ < s_.size() && s_[pos_] == c) { ++pos_; return true; }
    return false;
  }
  bool text(const char* t) {
    skipBlanks();
    if (!startsWithText(s_, pos_, t)) return false;
    pos_ += std::char_traits<char>::length(t);
    return true;
  }
  bool atEnd() {
    skipBlanks();
    return pos_ >= s_.size();
  }

private:
  const std::string& s_;
  std::size_t pos_ = 0;
};

bool tryStrToDate(const std::string& text, TDateTime& result) {
  Scanner sc(text);
  int month = 0, day = 0, year = 0, digits = 0;
  if (!sc.number(month, digits) || !sc.character(DateSeparator) || !sc.number(day, digits)) return false;
  if (sc.character(DateSeparator)) {
    if (!sc.number(year, digits)) return false;
    if (digits <= 2) year += year < 50 ? 2000 : 1900;
  } else {
    int m = 0, d = 0;
    DecodeDate(Date(), year, m, d);
  }
  if (!sc.atEnd()) return false;
  return TryEncodeDate(year, month, day, result);
}

bool tryStrToTime(const std::string& text, TDateTime& result) {
  Scanner sc(text);
  int hour = 0, min = 0, sec = 0, msec = 0, digits = 0;
  if (!sc.number(hour, digits) || !sc.character(TimeSeparator) || !sc.number(min, digits)) return false;
  if (sc.character(TimeSeparator) && !sc.number(sec, digits)) return false;
  if (sc.character('.') && !sc.number(msec, digits)) return false;
  int baseHour = -1;
  if (sc.text(TimeAMString)) baseHour = 0;
  else if (sc.text(TimePMString)) baseHour = 12;
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  if (!sc.atEnd()) return false;
  return TryEncodeTime(hour, min, sec, msec, result);
}

} // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  std::int64_t dayOfYear = day;
  for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
  const std::int64_t y = year - 1;
  result = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - DateDelta);
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& result) {
  if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000) return false;
  result = static_cast<double>(((hour * 60 + min) * 60 + sec) * 1000 + msec) / static_cast<double>(MSecsPerDay);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime t = 0;
  if (!TryEncodeDate(year, month, day, t)) throw EConvertError("Invalid argument to date encode");
  return t;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime t = 0;
  if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
  return t;
}

void DecodeDate(TDateTime t, int& year, int& month, int& day) {
  const Stamp s = toStamp(t);
  if (!s.valid) {
    year = month = day = 0;
    return;
  }
  civilFromDays(s.days, year, month, day);
}

void DecodeTime(TDateTime t, int& hour, int& min, int& sec, int& msec) {
  const Stamp s = toStamp(t);
  hour = static_cast<int>(s.msecs / 3600000);
  min = static_cast<int>(s.msecs / 60000 % 60);
  sec = static_cast<int>(s.msecs / 1000 % 60);
  msec = static_cast<int>(s.msecs % 1000);
}

int DayOfWeek(TDateTime t) {
  const Stamp s = toStamp(t);
  const std::int64_t ts = DateDelta + s.days;
  return static_cast<int>(((ts % 7) + 7) % 7) + 1;
}

TDateTime Now() {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  ::localtime_r(&ts.tv_sec, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                    static_cast<int>(ts.tv_nsec / 1000000));
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::trunc(now);
}

std::string FormatDateTime(const std::string& format, TDateTime t) { return DateFormatter(t).format(format); }

TDateTime StrToDate(const std::string& text) {
  TDateTime t = 0;
  if (!tryStrToDate(text, t)) throw EConvertError("'" + text + "' is not a valid date");
  return t;
}

TDateTime StrToTime(const std::string& text) {
  TDateTime t = 0;
  if (!tryStrToTime(text, t)) throw EConvertError("'" + text + "' is not a valid time");
  return t;
}

} // namespace rtl
