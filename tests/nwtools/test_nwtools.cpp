// Unit Nwtools: text, numbers, dates, message boxes and files.
#include "nwtools/nwtools.h"

#include "fixtures/netfixture.h"
#include "platform/dialogs.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

using namespace nwtools;
using rtl::EncodeDate;
using rtl::EncodeTime;
namespace fs = std::filesystem;

namespace {

std::string stamp(rtl::TDateTime t) { return rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", t); }
std::string inFolder(const nwtest::TempDir& dir, const std::string& name) { return (dir.path() / name).string(); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int openHandleCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

} // namespace

// --- trimming and cutting ----------------------------------------------------------------

TEST(NwtoolsTrim, TrimFunctions) {
  using S = std::string;
  struct Case { std::string (*trim)(const std::string&); S text, expected; };
  const Case cases[] = {
      {lTrim, "   x ", "x "},                  {lTrim, "    ", ""},   {lTrim, "\tx", "\tx"},
      {lTrim, S("\0 x", 3), S("\0 x", 3)},     // only spaces lead
      {rTrim, " x  ", " x"},                   {rTrim, S("NAME\0\0\0\0", 8), "NAME"},  // a zero-padded buffer
      {rTrim, S("A \x01\x02\0 ", 6), "A"},     {rTrim, "x\x03", "x\x03"},              // code 3 is no blank
      {rTrim, S(" \0\x01 \x02", 5), ""},       {rTrim, "", ""},                        // nothing to keep
      {allTrim, "  a b  ", "a b"},             {allTrim, "", ""},   {allTrim, "     ", ""},
      {allTrim, S("  SERVER1\0\0", 11), "SERVER1"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.trim(c.text), c.expected) << c.text;
}

TEST(NwtoolsTrim, CuttingAndPaths) {
  EXPECT_EQ(leftString("abc", 2), "ab");
  EXPECT_EQ(leftString("abc", 5), "abc");
  EXPECT_EQ(leftString("abc", -1), "");
  EXPECT_EQ(rightString("abc", 2), "bc");
  EXPECT_EQ(rightString("abc", 5), "abc");
  EXPECT_EQ(rightString("abc", 0), "");
  EXPECT_EQ(space(0), "");
  EXPECT_EQ(space(3), "   ");
  EXPECT_EQ(iif(false, "yes", "no"), "no");
  struct Case { const char* path; const char* expected; };
  const Case cases[] = {{"sys:public", "SYS:PUBLIC\\"}, {"SYS:\\", "SYS:\\"}, {"", "\\"}, {"    ", "\\"},
                        {" fs1/sys:home\\joe ", "FS1/SYS:HOME\\JOE\\"}};
  for (const auto& c : cases) EXPECT_EQ(setPath(c.path), c.expected) << c.path;
}

// --- searching, counting and replacing ----------------------------------------------------

TEST(NwtoolsSearch, CountingAndLastPosition) {
  EXPECT_EQ(charCount("bAnAnA", 'a'), 3);
  EXPECT_EQ(charCount("banana", 'A'), 3);
  EXPECT_EQ(charCount("a,b,,c", ','), 3);
  EXPECT_EQ(charCount("\xE4\xC4", '\xE4'), 1);  // only a-z fold
  EXPECT_EQ(rat('\\', "SYS:PUBLIC\\X\\Y"), 13);
  EXPECT_EQ(rat('a', "abcA"), 1);
  EXPECT_EQ(rat('x', ""), 0);
}

TEST(NwtoolsSearch, StrExtractFields) {
  struct Case { const char* text; char delimiter; int field; const char* expected; };
  const Case cases[] = {
      {"a, b ,c", ',', 1, "a"}, {"a, b ,c", ',', 2, "b"}, {"a, b ,c", ',', 3, "c"}, {"a, b ,c", ',', 4, ""},
      {"a,b", ',', 3, ""},      {"a,b", ',', 0, "a"},     {"a,b", ',', -3, "a"},    {"abc", ',', 1, "abc"},
      {" abc ", ',', 1, "abc"}, {"abc", ',', 2, ""},      {"a,,c", ',', 2, ""},     {"a,b,", ',', 3, ""},
      {"MAP G:=SYS:PUBLIC", ' ', 1, "MAP"},  {"MAP G:=SYS:PUBLIC", ' ', 2, "G:=SYS:PUBLIC"},
      {"G:=SYS:PUBLIC", '=', 2, "SYS:PUBLIC"}, {"a  b   c", ' ', 2, "b"}, {"a  b   c", ' ', 3, "c"},
      // The field count ignores case, the delimiter is found exactly.
      {"xAyaz", 'a', 1, "xAy"}, {"xAyaz", 'a', 2, "z"},   {"xAyaz", 'a', 3, "z"},   {"xAyaz", 'a', 4, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(strExtract(c.text, c.delimiter, c.field), c.expected) << c.text << " #" << c.field;
}

TEST(NwtoolsSearch, Delim2StrListSplitsAtCommas) {
  EXPECT_EQ(delim2StrList(" a , b")->Text(), "a\nb\n");
  EXPECT_EQ(delim2StrList(" a ")->Text(), " a \n");  // untrimmed when there is no comma
  EXPECT_EQ(delim2StrList("")->Count(), 1);
  EXPECT_EQ(delim2StrList("a,,c,")->Text(), "a\n\nc\n\n");
  // Field by field the same as strExtract.
  using namespace std::string_literals;
  for (const auto& t : {" x , y ,z "s, ","s, " , a"s, "a\0\0, b\x01 ,c \x02"s, "one, two words ,three"s}) {
    const auto l = delim2StrList(t);
    ASSERT_EQ(l->Count(), charCount(t, ',') + 1) << t;
    for (int i = 1; i <= l->Count(); ++i) EXPECT_EQ((*l)[i - 1], allTrim(strExtract(t, ',', i))) << t << " #" << i;
  }
  std::string text;
  for (int i = 0; i < 50000; ++i) text += (i ? ", " : "") + std::to_string(i);
  const auto l = delim2StrList(text);
  ASSERT_EQ(l->Count(), 50000);
  EXPECT_EQ((*l)[49999], "49999");
}

TEST(NwtoolsSearch, StrTranReplacesEveryOccurrence) {
  struct Case { const char* text; const char* find; const char* replacement; const char* expected; };
  const Case cases[] = {
      {"x;y;;z", ";", "\n", "x\ny\n\nz"},
      {"say \"\"hi\"\"", "\"", "", "say hi"},  // two quotes side by side both go
      {"Hello HELLO hello", "hello", "bye", "bye bye bye"},
      {"abc", "B", "[b]", "a[b]c"},            // replacement inserted unchanged
      {"aaa", "a", "aa", "aaaaaa"},            // inserted text is not scanned again
      {"aaa", "aa", "b", "ba"},
      {"ab", "abc", "x", "ab"},
      {"abc", "", "x", "abc"},                 // nothing to search for
      {"\xE4\xC4", "\xE4", "e", "e\xC4"},      // only a-z fold
  };
  for (const auto& c : cases) EXPECT_EQ(strTran(c.text, c.find, c.replacement), c.expected) << c.text;
  EXPECT_EQ(strTran(std::string(200000, ';'), ";", "\r\n").size(), 400000u);
}

TEST(NwtoolsSearch, StrReplaceAndFromXChar) {
  EXPECT_EQ(strReplace("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(strReplace("Hello hello", "HELLO", "bye"), "bye hello");
  EXPECT_EQ(strReplace("abc", "x", "y"), "abc");
  EXPECT_EQ(strReplace("abc", "", "y"), "abc");
  EXPECT_EQ(fromXChar("a,b,c", ',', 1), "b,c");
  EXPECT_EQ(fromXChar("a,b,c", ',', 2), "c");
  EXPECT_EQ(fromXChar("a,b,c", ',', 3), "");
  EXPECT_EQ(fromXChar("aA", 'a', 2), "aA");  // counted twice without case, found once exactly
  EXPECT_EQ(fromXChar("x," + std::string(300, 'y'), ',', 1), std::string(255, 'y'));
}

TEST(NwtoolsSearch, ASubAndStringListPos) {
  const char chars[5] = {'H', 'E', 'L', 'L', 'O'};  // no terminating zero
  EXPECT_EQ(aSub(chars, 4, 1, 3), "ELL");
  EXPECT_EQ(aSub(chars, 4, 3, 10), "LO");
  EXPECT_EQ(aSub(chars, 4, 5, 1), "");
  EXPECT_EQ(aSub(chars, 4, 0, 0), "");
  EXPECT_EQ(aSub(nullptr, 4, 0, 1), "");
  rtl::TStringList list;
  list.SetText("alpha\nbeta\nzeta\n");
  std::uint16_t position = 99;
  EXPECT_TRUE(stringListPos(list, "ET", position));
  EXPECT_EQ(position, 1);
  position = 99;
  EXPECT_FALSE(stringListPos(list, "gamma", position));
  EXPECT_FALSE(stringListPos(rtl::TStringList(), "a", position));
  EXPECT_EQ(position, 99);
}

// --- padding and other text --------------------------------------------------------------

TEST(NwtoolsText, Padding) {
  struct Case { std::string (*pad)(const std::string&, int, char); const char* text; int width; char fill; const char* expected; };
  const Case cases[] = {
      {padL, "abc", 2, ' ', "bc"},   {padR, "abc", 2, ' ', "ab"},    {padC, "abc", 2, ' ', "ab"},
      {padC, "ab", 5, '*', "**ab*"}, {padC, "ab", 6, '*', "**ab**"}, {padL, "7", 2, '0', "07"},
      {padR, "x", 3, '.', "x.."},    {padL, "  x  ", 3, '-', "--x"}, {padL, "abc", 0, '0', ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.pad(c.text, c.width, c.fill), c.expected) << c.text << " " << c.width;
}

TEST(NwtoolsText, ProperAndStrEmpty) {
  EXPECT_EQ(proper("hELLO wORLD"), "Hello World");
  EXPECT_EQ(proper(""), "");
  EXPECT_EQ(proper(" o'NEIL-SMITH"), " O'neil-smith");
  EXPECT_FALSE(strEmpty(""));
  EXPECT_FALSE(strEmpty("  "));
  EXPECT_FALSE(strEmpty(std::string(" \0\x01", 3)));
  EXPECT_TRUE(strEmpty(" x "));
}

// --- numbers -----------------------------------------------------------------------------

TEST(NwtoolsNumbers, MinMaxBetween) {
  EXPECT_EQ(minLong(3, -4), -4);
  EXPECT_EQ(maxLong(3, -4), 3);
  EXPECT_TRUE(between(5, 5, 5));
  EXPECT_FALSE(between(3, 0, 2));
  EXPECT_FALSE(between(4, 5, 3));
}

TEST(NwtoolsNumbers, PowerWrapsInThirtyTwoBits) {
  struct Case { int base, exponent, expected; };
  const Case cases[] = {{2, 0, 2},    {2, 1, 2},   {2, -5, 2},  {2, 10, 1024},         {-2, 3, -8},
                        {2, 31, INT_MIN}, {2, 32, 0}, {256, 4, 0}, {10, 10, 1410065408}, {-1, INT_MAX, -1}};
  for (const auto& c : cases) EXPECT_EQ(power(c.base, c.exponent), c.expected) << c.base << "^" << c.exponent;
  std::uint32_t reference = 3;
  for (int i = 2; i <= 100000; ++i) reference *= 3u;
  EXPECT_EQ(power(3, 100000), static_cast<int>(reference));  // as multiplying step by step
}

TEST(NwtoolsNumbers, NWHexToLongFoldsBytesOneToHigh) {
  const std::uint8_t counter[6] = {0xFF, 1, 2, 3, 4, 5};
  EXPECT_EQ(NWHexToLong(counter, 5), 1 * 256 + 2 * 65536 + 3 * 16777216);  // byte 0 left out, 256^4 wraps
  EXPECT_EQ(NWHexToLong(counter, 0), 0);
  EXPECT_EQ(NWHexToLong(counter, -2), 0);
  EXPECT_EQ(NWHexToLong(nullptr, 5), 0);
  const std::uint8_t high[4] = {9, 0xFF, 0xFF, 0x80};
  EXPECT_EQ(NWHexToLong(high, 3), static_cast<int>(0x80FFFF00u));
}

// --- dates -------------------------------------------------------------------------------

TEST(NwtoolsDates, NetWareSecondsAndDates) {
  struct Case { int seconds; const char* expected; };
  const Case cases[] = {{0, "1970-01-01 00:00:00"},          {129600, "1970-01-02 12:00:00"},
                        {-1, "1969-12-31 23:59:59"},         {951868799, "2000-02-29 23:59:59"},
                        {INT_MAX, "2038-01-19 03:14:07"},    {INT_MIN, "1901-12-13 20:45:52"}};
  for (const auto& c : cases) {
    EXPECT_EQ(stamp(NWDateToDelphiDate(c.seconds)), c.expected) << c.seconds;
    // Half a second in, so that floating-point noise cannot reach the second before.
    EXPECT_EQ(delphiDateToNWDate(NWDateToDelphiDate(c.seconds) + 0.5 / 86400), c.seconds);
  }
  EXPECT_EQ(delphiDateToNWDate(EncodeDate(1970, 1, 2) + 0.5), 36 * 3600);
  EXPECT_EQ(delphiDateToNWDate(EncodeDate(1970, 1, 1) + EncodeTime(0, 0, 5, 999)), 5);  // dropped, not rounded
}

TEST(NwtoolsDates, EveryWholeSecondOfADayKeepsItsSecond) {
  const rtl::TDateTime day = EncodeDate(2031, 7, 14);
  const int midnight = delphiDateToNWDate(day);
  int wrong = 0;
  for (int s = 0; s < 86400; ++s) {
    const rtl::TDateTime t = day + EncodeTime(s / 3600, s / 60 % 60, s % 60, 0);
    if (delphiDateToNWDate(t) != midnight + s) ++wrong;
    // A genuine fraction is still dropped.
    if (delphiDateToNWDate(day + EncodeTime(s / 3600, s / 60 % 60, s % 60, 999)) != midnight + s) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(delphiDateToNWDate(day + EncodeTime(13, 45, 27, 0)) - midnight, 13 * 3600 + 45 * 60 + 27);
}

TEST(NwtoolsDates, DatesOutsideTheRangeClampInsteadOfWrapping) {
  EXPECT_EQ(delphiDateToNWDate(0), INT_MIN);  // the usual "no date", 30 Dec 1899
  EXPECT_EQ(delphiDateToNWDate(EncodeDate(1901, 12, 13) + EncodeTime(20, 45, 51, 500)), INT_MIN);
  EXPECT_EQ(delphiDateToNWDate(EncodeDate(2038, 1, 19) + EncodeTime(3, 14, 8, 500)), INT_MAX);
  EXPECT_EQ(delphiDateToNWDate(EncodeDate(9999, 1, 1)), INT_MAX);
  EXPECT_EQ(delphiDateToNWDate(-1e300), INT_MIN);
}

TEST(NwtoolsDates, LastDayOfTheMonth) {
  for (int d = 1; d <= 29; ++d) EXPECT_EQ(lastDay(EncodeDate(2000, 2, d) + 0.75), 29) << d;
  for (int d = 1; d <= 28; ++d) EXPECT_EQ(lastDay(EncodeDate(1900, 2, d)), 28) << d;
  EXPECT_EQ(lastDay(EncodeDate(2100, 2, 10)), 28);
  EXPECT_EQ(lastDay(EncodeDate(2001, 4, 1)), 30);
  EXPECT_EQ(lastDay(EncodeDate(1999, 12, 31) + 0.99), 31);
  // Before the epoch a value's fraction counts backwards; each day still counts once.
  EXPECT_EQ(lastDay(-1.25), 31);  // 29 Dec 1899, 06:00
  EXPECT_EQ(lastDay(EncodeDate(1899, 11, 3) - 0.9), 30);
}

TEST(NwtoolsDates, NumericPartsAndFormats) {
  const rtl::TDateTime t = EncodeDate(2004, 2, 5) + EncodeTime(13, 7, 9, 0);
  EXPECT_EQ(std::vector<int>({day(t), month(t), year(t), hour(t), minute(t), second(t)}),
            std::vector<int>({5, 2, 2004, 13, 7, 9}));
  EXPECT_EQ(formDate(t), "Thursday, February 5, 2004");
  EXPECT_EQ(formTime(t), "01:07 p");
  EXPECT_EQ(formTime(EncodeDate(2004, 2, 5)), "12:00 a");
  EXPECT_EQ(day(-1.25), 29);
  EXPECT_EQ(hour(-1.25), 6);
}

TEST(NwtoolsDates, TimeTextStepsAQuarterHourOnATwelveHourClock) {
  struct Case { const char* text; int direction; const char* expected; };
  const Case cases[] = {
      {"9:30", 1, "09:45"},  {"09:45", 1, "10:00"}, {"12:50", 1, "01:00"}, {"11:50", 1, "12:00"},
      {"23:50", 1, "01:00"}, {"14:00", 1, "12:15"}, {"9:3", 5, "09:45"},   {"00:10", 0, "12:00"},
      {"10:00", 0, "09:45"}, {"10:20", -3, "10:05"}, {"10:15", 0, "10:00"}, {"00:00", 0, "12:45"},
  };
  for (const auto& c : cases) EXPECT_EQ(timeTextInc(c.text, c.direction), c.expected) << c.text << " " << c.direction;
  for (const char* bad : {"", "abc", "25:00", "9:75", "12"}) EXPECT_EQ(timeTextInc(bad, 1), bad) << bad;
}

TEST(NwtoolsDates, DateTextStepsOneDay) {
  struct Case { const char* text; int direction; const char* expected; };
  const Case cases[] = {{"12/31/1999", 1, "1/1/2000"}, {"1/1/2000", 0, "12/31/1999"}, {"3/1/2000", -1, "2/29/2000"},
                        {"2/28/1900", 1, "3/1/1900"},  {"01/09/1999", 7, "1/10/1999"}};
  for (const auto& c : cases) EXPECT_EQ(datetextInc(c.text, c.direction), c.expected) << c.text;
  for (const char* bad : {"", "hello", "2/30/2000", "1/1/2000 junk", "12/31/9999"})
    EXPECT_EQ(datetextInc(bad, 1), bad) << bad;
  EXPECT_EQ(datetextInc("1/1/0001", 0), "1/1/0001");  // past the calendar's ends
}

// --- message boxes -----------------------------------------------------------------------

class NwtoolsMessages : public ::testing::Test {
protected:
  void SetUp() override {
    platform::setDialogService(dialogs);
    platform::setCursorService(cursor);
    cursor->current = platform::crHourGlass;  // as during a long operation
  }
  void TearDown() override {
    platform::setDialogService(nullptr);
    platform::setCursorService(nullptr);
  }
  // Every dialog was shown with the default cursor, and the hour-glass came back after each.
  void expectCursorRestored(std::size_t count) {
    std::vector<int> expected;
    for (std::size_t i = 0; i < count; ++i) expected.insert(expected.end(), {platform::crDefault, platform::crHourGlass});
    EXPECT_EQ(cursor->history, expected);
    for (const auto& shown : dialogs->shown) EXPECT_EQ(shown.cursorWhileShown, platform::crDefault);
  }
  std::shared_ptr<platform::RecordingDialogs> dialogs = std::make_shared<platform::RecordingDialogs>();
  std::shared_ptr<platform::RecordingCursor> cursor = std::make_shared<platform::RecordingCursor>();
};

TEST_F(NwtoolsMessages, OkAndAlertBoxesBreakLinesAtSemicolons) {
  okBox("Line one;Line two;;After a blank line");
  alertBox("Cannot attach;server is down");
  ASSERT_EQ(dialogs->shown.size(), 2u);
  EXPECT_EQ(dialogs->shown[0].text, "Line one\nLine two\n\nAfter a blank line");
  EXPECT_EQ(dialogs->shown[0].type, platform::DialogType::Information);
  EXPECT_EQ(dialogs->shown[0].caption, "Information");
  EXPECT_EQ(dialogs->shown[0].buttons, unsigned(platform::mbOK));
  EXPECT_EQ(dialogs->shown[1].text, "Cannot attach\nserver is down");
  EXPECT_EQ(dialogs->shown[1].type, platform::DialogType::Error);
  EXPECT_EQ(dialogs->shown[1].buttons, unsigned(platform::mbCancel));  // Cancel alone
  expectCursorRestored(2);
}

TEST_F(NwtoolsMessages, ConfirmationsReturnTheAnswer) {
  dialogs->answers = {platform::mrYes, platform::mrNo, platform::mrCancel, 6, 7, 6, 7, 2};
  EXPECT_TRUE(yesNoBox("Delete;the user?"));
  EXPECT_FALSE(yesNoBox("Delete?"));
  EXPECT_FALSE(yesNoBox("Delete?"));
  EXPECT_TRUE(noYesBox("Purge;all files?"));
  EXPECT_FALSE(noYesBox("Purge?"));
  EXPECT_EQ(YNCBox("Save?"), 6);
  EXPECT_EQ(YNCBox("Save?"), 7);
  EXPECT_EQ(YNCBox("Save?"), 2);
  ASSERT_EQ(dialogs->shown.size(), 8u);
  const auto& yesNo = dialogs->shown[0];
  EXPECT_EQ(yesNo.text, "Delete\nthe user?");
  EXPECT_EQ(yesNo.type, platform::DialogType::Confirmation);
  EXPECT_EQ(yesNo.buttons, unsigned(platform::mbYes | platform::mbNo));
  const auto& noYes = dialogs->shown[3];
  EXPECT_TRUE(noYes.isMessageBox);
  EXPECT_EQ(noYes.caption, "Confirm");
  EXPECT_EQ(noYes.buttons, 0x124u);
  EXPECT_EQ(noYes.text, "Purge\nall files?");
  EXPECT_EQ(dialogs->shown[5].buttons, unsigned(platform::mbYes | platform::mbNo | platform::mbCancel));
  expectCursorRestored(8);
}

namespace {
class FailingDialogs : public platform::DialogService {
public:
  int messageDlg(const std::string&, platform::DialogType, unsigned, int) override { throw std::runtime_error("no display"); }
  int messageBox(const std::string&, const std::string&, unsigned) override { throw std::runtime_error("no display"); }
};
} // namespace

TEST_F(NwtoolsMessages, CursorIsRestoredWhenTheDialogFails) {
  platform::setDialogService(std::make_shared<FailingDialogs>());
  EXPECT_THROW(okBox("x"), std::runtime_error);
  EXPECT_THROW(noYesBox("x"), std::runtime_error);
  expectCursorRestored(2);
}

// --- files -------------------------------------------------------------------------------

TEST(NwtoolsFiles, CanOpenAndSize) {
  nwtest::TempDir dir;
  const std::string path = inFolder(dir, "data.bin");
  std::ofstream(path, std::ios::binary) << std::string(12345, 'z');
  const int handlesBefore = openHandleCount();
  EXPECT_TRUE(canOpen(path));
  EXPECT_FALSE(canOpen(inFolder(dir, "missing")));
  EXPECT_FALSE(canOpen("SYS:PUBLIC\\DATA.BIN"));  // no redirector
  EXPECT_EQ(sizeofFile(path), 12345);
  EXPECT_EQ(sizeofFile(inFolder(dir, "missing")), 0);
  EXPECT_EQ(sizeofFile("G:\\DATA.BIN"), 0);
  EXPECT_EQ(openHandleCount(), handlesBefore);  // every handle closed again
}

TEST(NwtoolsFiles, FUniqueCreatesANewEmptyFile) {
  nwtest::TempDir dir;
  const std::string name = fUnique(dir.path().string());
  const std::string prefix = dir.path().string() + "/";
  ASSERT_EQ(name.rfind(prefix, 0), 0u) << name;
  const std::string base = name.substr(prefix.size());
  EXPECT_LE(base.size(), 8u);
  EXPECT_EQ(base.find_first_not_of("0123456789"), std::string::npos) << base;
  EXPECT_EQ(base.back(), '1');
  EXPECT_TRUE(fs::is_regular_file(name));
  EXPECT_EQ(fs::file_size(name), 0u);
  EXPECT_EQ(fUnique(prefix).rfind(prefix, 0), 0u);  // no doubled separator
}

TEST(NwtoolsFiles, FUniqueNeverReusesAFileThatExists) {
  nwtest::TempDir dir;
  std::set<std::string> names;
  // Calls in quick succession see the same tick count and must move on to a free name.
  for (int i = 0; i < 15; ++i) {
    const std::string name = fUnique(dir.path().string());
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(names.insert(name).second) << name;
    std::ofstream(name, std::ios::binary) << "owner " << i;
  }
  for (const auto& name : names) EXPECT_EQ(readFile(name).rfind("owner ", 0), 0u) << name;  // none truncated
}

TEST(NwtoolsFiles, FUniqueGivesNothingWhenNoFileCanBeCreated) {
  nwtest::TempDir dir;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fUnique(inFolder(dir, "no/such/folder")), "");
  EXPECT_EQ(fUnique("SYS:TEMP"), "");  // no redirector
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));  // no retrying for these
}

namespace {
std::string tempRoot;
bool tempRedirector(const char* path, char* localPath, std::size_t size) {
  std::string p = path;
  if (p.rfind("TMP:\\", 0) != 0 || tempRoot.size() + p.size() >= size) return false;
  p = tempRoot + "/" + p.substr(5);
  std::memcpy(localPath, p.c_str(), p.size() + 1);
  return true;
}
} // namespace

TEST(NwtoolsFiles, FUniqueInANetWareFolder) {
  nwtest::TempDir dir;
  tempRoot = dir.path().string();
  platform::setRedirector(tempRedirector);
  const std::string name = fUnique("tmp:");
  platform::setRedirector(nullptr);
  ASSERT_EQ(name.rfind("TMP:\\", 0), 0u) << name;
  EXPECT_TRUE(fs::is_regular_file(dir.path() / name.substr(5)));
}
