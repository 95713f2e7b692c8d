// The runtime types: string helpers, string and pointer lists, dates and the handle stream.
#include "fixtures/netfixture.h"
#include "platform/files.h"
#include "rtl/datetime.h"
#include "rtl/exceptions.h"
#include "rtl/sysutils.h"
#include "rtl/thandlestream.h"
#include "rtl/tlist.h"
#include "rtl/tstringlist.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace rtl;

namespace {
std::string ymd(TDateTime t) { return FormatDateTime("yyyy-mm-dd", t); }
std::string timeOf(TDateTime t) { return FormatDateTime("hh:nn:ss.zzz", t); }
} // namespace

// --- string helpers ----------------------------------------------------------------------

TEST(SysUtils, CaseMappingAndComparisonTouchOnlyAsciiLetters) {
  EXPECT_EQ(UpperCase("abc xyz-09 \xE4"), "ABC XYZ-09 \xE4");
  EXPECT_EQ(LowerCase("ABC XYZ-09 \xC4"), "abc xyz-09 \xC4");
  EXPECT_EQ(UpCase('{'), '{');
  EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("\xE4", "z"), 0);  // bytes above 127 sort after ASCII
  EXPECT_TRUE(SameText("NetWare", "NETWARE"));
  EXPECT_FALSE(SameText("\xE4", "\xC4"));
}

TEST(SysUtils, IntToHex) {
  struct Case { std::int64_t value; int digits; const char* expected; };
  const Case cases[] = {{255, 2, "FF"}, {255, 4, "00FF"}, {0, 0, "0"}, {0x12345, 2, "12345"},
                        {-1, 4, "FFFFFFFF"}, {-2, 2, "FFFFFFFE"}, {0x89FC, 4, "89FC"}};
  for (const auto& c : cases) EXPECT_EQ(IntToHex(c.value, c.digits), c.expected) << c.value;
}

TEST(SysUtils, StrToIntAcceptsOnlyDecimalIntegers) {
  struct Case { const char* text; int expected; };
  const Case good[] = {{" 42 ", 42}, {"-7", -7}, {"+3", 3}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}};
  for (const auto& c : good) EXPECT_EQ(StrToInt(c.text), c.expected) << c.text;
  for (const char* bad : {"", " ", "abc", "12a", "1 2", "--1", "+", "2147483648", "99999999999999999999"}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    EXPECT_EQ(StrToIntDef(bad, -5), -5) << bad;
  }
  EXPECT_THROW(StrToInt("x1"), Exception);  // conversion errors are library exceptions
}

TEST(SysUtils, FileNamesAndBoundedBuffers) {
  EXPECT_EQ(ExtractFileName("SYS:PUBLIC\\LOGIN.EXE"), "LOGIN.EXE");
  EXPECT_EQ(ExtractFileName("FS1/SYS:FILE.TXT"), "FILE.TXT");
  EXPECT_EQ(ExtractFileName("G:"), "");
  char buf[6];
  std::memset(buf, 'x', sizeof buf);
  copyToBuffer(buf, 4, "abcdef");
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(buf[4], 'x');  // nothing written past the given size
  const char full[4] = {'a', 'b', 'c', 'd'};  // no terminating zero
  EXPECT_EQ(bufferToString(full, sizeof full), "abcd");
  EXPECT_EQ(bufferToString("NW\0xy", 5), "NW");
}

// --- lists -------------------------------------------------------------------------------

TEST(TStringList, EditsKeepTextsAndObjectsTogether) {
  TStringList l;
  EXPECT_EQ(l.Add("b"), 0);
  EXPECT_EQ(l.AddObject("c", 7), 1);
  l.Insert(0, "a", 5);
  l.Insert(3, "end");  // at Count: appends
  l.SetObject(1, 9);
  EXPECT_EQ(l.Text(), "a\nb\nc\nend\n");
  EXPECT_EQ(l.Objects(0), 5);
  EXPECT_EQ(l.IndexOfObject(9), 1);
  EXPECT_EQ(l.IndexOfObject(42), -1);
  l.Delete(0);
  EXPECT_EQ(l[0], "b");
  EXPECT_EQ(l.Objects(0), 9);
  l.AddStrings(l);  // from itself
  EXPECT_EQ(l.Count(), 6);
  EXPECT_EQ(l.Objects(4), 7);
  for (int bad : {-1, 6}) {
    EXPECT_THROW(l[bad], std::out_of_range);
    EXPECT_THROW(l.Objects(bad), std::out_of_range);
    EXPECT_THROW(l.Delete(bad), std::out_of_range);
  }
  EXPECT_THROW(l.Insert(7, "y"), std::out_of_range);
}

TEST(TStringList, SearchIgnoresCaseUnlessAskedForExactness) {
  TStringList l;
  l.SetText("Alpha\nBETA\nbeta\n\xE4rger\n");
  EXPECT_EQ(l.IndexOf("alpha"), 0);
  EXPECT_EQ(l.IndexOf("beta"), 1);
  EXPECT_EQ(l.IndexOfExact("beta"), 2);
  EXPECT_EQ(l.IndexOfExact("ALPHA"), -1);
  EXPECT_EQ(l.IndexOf("\xC4RGER"), -1);  // only a-z fold
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("beta"), 2);
  EXPECT_EQ(l.IndexOf("alpha"), -1);
}

TEST(TStringList, SortIsCaseInsensitiveAndStableUnlessCaseSensitive) {
  TStringList l;
  for (auto [text, object] : {std::pair{"b", 1}, {"A", 2}, {"B", 3}, {"a", 4}}) l.AddObject(text, object);
  l.Sort();
  std::vector<std::intptr_t> order;
  for (const auto& item : l) order.push_back(item.object);
  EXPECT_EQ(order, (std::vector<std::intptr_t>{2, 4, 1, 3}));
  l.SetCaseSensitive(true);
  l.Sort();
  EXPECT_EQ(l.Text(), "A\nB\na\nb\n");
}

TEST(TStringList, SetTextSplitsLines) {
  TStringList l;
  l.SetText("one\r\ntwo\n\nfour");
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Text(), "one\ntwo\n\nfour\n");
  l.SetText("x\n");
  EXPECT_EQ(l.Count(), 1);
  l.SetText("");
  EXPECT_TRUE(l.Empty());
}

TEST(TList, HoldsPointersWithoutOwningThem) {
  int x = 1, y = 2, z = 3;
  TList l;
  l.Add(&x);
  l.Add(&z);
  l.Insert(1, &y);
  EXPECT_EQ(l[1], &y);
  EXPECT_EQ(l.IndexOf(&z), 2);
  EXPECT_EQ(l.Remove(&y), 1);
  EXPECT_EQ(l.Remove(&y), -1);
  l.SetItem(0, &y);
  l.Delete(1);
  EXPECT_EQ(l.Count(), 1);
  EXPECT_EQ(l.Items(0), &y);
  EXPECT_THROW(l.Items(1), std::out_of_range);
  EXPECT_THROW(l.Insert(2, &x), std::out_of_range);
}

// --- dates -------------------------------------------------------------------------------

TEST(DateTime, EncodeDateCountsDaysFromTheEpoch) {
  struct Case { int y, m, d; double expected; };
  const Case cases[] = {{1899, 12, 30, 0},  {1899, 12, 29, -1},     {1900, 1, 1, 2},       {1900, 3, 1, 61},
                        {1970, 1, 1, 25569}, {2000, 3, 1, 36586},    {1600, 3, 1, -109511}, {1, 1, 1, -693593},
                        {9999, 12, 31, 2958465}};
  for (const auto& c : cases) EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.expected) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DateTime, InvalidPartsRaiseConversionErrors) {
  struct Case { int y, m, d; };
  const Case bad[] = {{2001, 2, 29}, {1900, 2, 29}, {2000, 2, 30}, {2000, 4, 31}, {2000, 13, 1},
                      {2000, 0, 1},  {2000, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto& c : bad) {
    EXPECT_THROW(EncodeDate(c.y, c.m, c.d), EConvertError) << c.y << "-" << c.m << "-" << c.d;
    TDateTime untouched = 123.0;
    EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, untouched));
    EXPECT_EQ(untouched, 123.0);
  }
  struct Time { int h, n, s, ms; };
  for (const auto& t : {Time{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}})
    EXPECT_THROW(EncodeTime(t.h, t.n, t.s, t.ms), EConvertError) << t.h << ":" << t.n << ":" << t.s;
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
}

TEST(DateTime, DatesRoundTripAcrossTheEpochAndLeapYears) {
  for (int y : {1896, 1899, 1900, 1904, 1999, 2000, 2100}) {
    TDateTime previous = EncodeDate(y, 1, 1) - 1;
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        const TDateTime t = EncodeDate(y, m, d);
        ASSERT_EQ(t - previous, 1.0) << y << "-" << m << "-" << d;  // consecutive days, consecutive numbers
        int yy = 0, mm = 0, dd = 0;
        DecodeDate(t, yy, mm, dd);
        ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d) << t;
        previous = t;
      }
    }
  }
  for (int y = 1; y <= 9999; y += 7) EXPECT_EQ(ymd(EncodeDate(y, 3, 1)).substr(4), "-03-01");
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_FALSE(IsLeapYear(2100));
}

TEST(DateTime, NegativeValuesTakeTheDayFromTheIntegralPart) {
  EXPECT_EQ(ymd(-1.25) + " " + timeOf(-1.25), "1899-12-29 06:00:00.000");
  EXPECT_EQ(ymd(-0.5) + " " + timeOf(-0.5), "1899-12-30 12:00:00.000");
  // A hair below midnight rounds to the next day, as the framework's values do.
  EXPECT_EQ(ymd(EncodeDate(2000, 1, 1) + 0.9999999999), "2000-01-02");
  EXPECT_EQ(timeOf(EncodeTime(23, 59, 59, 999)), "23:59:59.999");
  EXPECT_EQ(DayOfWeek(0), 7);   // 30 Dec 1899, a Saturday
  EXPECT_EQ(DayOfWeek(-1), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(1970, 1, 1)), 5);
}

TEST(DateTime, FormatDateTimeLetters) {
  const TDateTime t = EncodeDate(2004, 2, 5) + EncodeTime(13, 7, 9, 45);  // a Thursday
  struct Case { const char* format; const char* expected; };
  const Case cases[] = {
      {"d", "5"}, {"dd", "05"}, {"ddd", "Thu"}, {"dddd", "Thursday"}, {"ddddd", "2/5/2004"},
      {"dddddd", "Thursday, February 5, 2004"}, {"m", "2"}, {"mm", "02"}, {"mmm", "Feb"}, {"mmmm", "February"},
      {"yy", "04"}, {"yyyy", "2004"}, {"h", "13"}, {"n", "7"}, {"nn", "07"}, {"s", "9"}, {"ss", "09"},
      {"z", "45"}, {"zzz", "045"}, {"hh:mm", "13:07"}, {"D/M/YYYY", "5/2/2004"},
      {"h:nn am/pm", "1:07 pm"}, {"hh:mm a/p", "01:07 p"}, {"hh:mm A/P", "01:07 P"}, {"h:nn ampm", "1:07 PM"},
      {"c", "2/5/2004 1:07:09 PM"}, {"", "2/5/2004 1:07:09 PM"}, {"t", "1:07 PM"}, {"tt", "1:07:09 PM"},
      {"'d' d", "d 5"}, {"\"hh\" h", "hh 13"}, {"h 'am/pm'", "13 am/pm"}, {"h x", "13 x"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.expected) << c.format;
  const TDateTime day = EncodeDate(2001, 7, 4);
  EXPECT_EQ(FormatDateTime("h:nn am/pm", day + EncodeTime(0, 30, 0, 0)), "12:30 am");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", day + 0.5), "12:00 pm");
  EXPECT_EQ(FormatDateTime("c", day), "7/4/2001");  // midnight: the date alone
  EXPECT_EQ(FormatDateTime(LongDateFormat, day), "Wednesday, July 4, 2001");
  EXPECT_EQ(FormatDateTime(LongTimeFormat, day + EncodeTime(9, 5, 3, 0)), "9:05:03 AM");
}

TEST(DateTime, StrToDateParsesTheShortFormat) {
  struct Case { const char* text; int y, m, d; };
  const Case cases[] = {{"12/31/1999", 1999, 12, 31}, {" 1/9/1999 ", 1999, 1, 9}, {"2/29/2000", 2000, 2, 29},
                        {"01/02/0003", 3, 1, 2},      {"1/1/49", 2049, 1, 1},     {"1/1/50", 1950, 1, 1}};
  for (const auto& c : cases) EXPECT_EQ(StrToDate(c.text), EncodeDate(c.y, c.m, c.d)) << c.text;
  EXPECT_EQ(ymd(StrToDate("3/4")).substr(0, 4), ymd(Date()).substr(0, 4));  // this year
  for (const char* bad : {"", "abc", "2/29/1999", "13/1/2000", "1/32/2000", "1/1/2000x", "1-1-2000", "1//2000",
                          "1/1/", "1/1/0000", "12/31/1999 10:00", "9999999999/1/1"})
    EXPECT_THROW(StrToDate(bad), EConvertError) << bad;
}

TEST(DateTime, StrToTimeParsesHoursMinutesAndMarkers) {
  struct Case { const char* text; int h, n, s, ms; };
  const Case cases[] = {{"9:30", 9, 30, 0, 0},    {"13:45:10", 13, 45, 10, 0}, {"1:05 PM", 13, 5, 0, 0},
                        {"12:00 AM", 0, 0, 0, 0}, {"12:00 pm", 12, 0, 0, 0},   {" 7:08:09am ", 7, 8, 9, 0},
                        {"00:10", 0, 10, 0, 0},   {"10:00:00.250", 10, 0, 0, 250}};
  for (const auto& c : cases) EXPECT_EQ(StrToTime(c.text), EncodeTime(c.h, c.n, c.s, c.ms)) << c.text;
  for (const char* bad : {"", "abc", "9", "9:", "24:00", "9:60", "13:00 PM", "0:30 AM", "9:30 XM", "9.30", "00000"})
    EXPECT_THROW(StrToTime(bad), EConvertError) << bad;
}

TEST(DateTime, NowIsTodayWithTheTimeOfDay) {
  const TDateTime today = Date(), now = Now(), time = Time();
  EXPECT_EQ(today, static_cast<double>(static_cast<long long>(today)));
  EXPECT_GE(now, today);
  EXPECT_LT(now, today + 1.0001);
  EXPECT_GE(time, 0.0);
  EXPECT_LT(time, 1.0);
  EXPECT_GE(ymd(now), "2020");
}

// --- THandleStream -----------------------------------------------------------------------

TEST(THandleStream, ReadsWritesSeeksAndTruncates) {
  nwtest::TempDir dir;
  const int handle = platform::lcreat((dir.path() / "stream.bin").string());
  ASSERT_GT(handle, 2);
  THandleStream stream(handle);
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
  EXPECT_TRUE(stream.WriteString("Hello, NetWare" + big));
  EXPECT_EQ(stream.Size(), 100014);
  EXPECT_EQ(stream.Position(), 100014);  // Size leaves the position where it was
  EXPECT_EQ(stream.Seek(14, THandleStream::soBeginning), 14);
  EXPECT_EQ(stream.ReadAll(), big);
  char buf[3];
  EXPECT_EQ(stream.Seek(7, THandleStream::soBeginning), 7);
  EXPECT_EQ(stream.Read(buf, 3), 3);
  EXPECT_EQ(std::string(buf, 3), "Net");
  EXPECT_EQ(stream.Seek(-5, THandleStream::soCurrent), 5);
  EXPECT_TRUE(stream.Truncate());
  EXPECT_EQ(stream.Seek(0, THandleStream::soBeginning), 0);
  EXPECT_EQ(stream.ReadAll(), "Hello");
  EXPECT_EQ(stream.Read(buf, 3), 0);  // at the end
  EXPECT_EQ(stream.Seek(-1, THandleStream::soBeginning), -1);
  EXPECT_EQ(platform::lclose(handle), 0);

  THandleStream closed(-1);
  EXPECT_EQ(closed.Read(buf, 3), -1);
  EXPECT_FALSE(closed.WriteString("x"));
  EXPECT_EQ(closed.Size(), -1);
  EXPECT_FALSE(closed.Truncate());
}
