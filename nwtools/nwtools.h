#pragma once
// Unit Nwtools: the text, date, message-box and small file helpers every other unit uses,
// and general functions for applications. All are stateless free functions. Character
// positions count from 1, 0 meaning "not found". Case mapping is ASCII-only (a-z).
// Dates are rtl::TDateTime values and are formatted in the runtime's fixed US-English locale.
#include "rtl/datetime.h"
#include "rtl/tstringlist.h"

#include <cstdint>
#include <memory>
#include <string>

namespace nwtools {

/// The unit object; it has no operations of its own.
class TNWTools {};

// --- Trimming and cutting ------------------------------------------------------------------

/// The text without its leading spaces (code 32 only).
std::string lTrim(const std::string& text);
/// The text without its trailing spaces and codes 0, 1 and 2, so a name read from a
/// zero-padded buffer comes back clean; a text of nothing else gives "".
std::string rTrim(const std::string& text);
/// lTrim of rTrim.
std::string allTrim(const std::string& text);
/// The first count characters ("" for count <= 0, the whole text when count >= length).
std::string leftString(const std::string& text, int count);
/// The last count characters ("" for count <= 0, the whole text when count >= length).
std::string rightString(const std::string& text, int count);
/// count spaces.
std::string space(std::uint16_t count);
/// The path trimmed, upper-cased and ending in one backslash; "\" for an empty path.
std::string setPath(const std::string& path);
std::string iif(bool condition, const std::string& ifTrue, const std::string& ifFalse);

// --- Searching and counting ----------------------------------------------------------------

/// How often c occurs in text, the letters a-z compared without regard to case.
int charCount(const std::string& text, char c);
/// The position of the last c in text (exact), 0 when there is none.
int rat(char c, const std::string& text);
/// Field number `field` (from 1; 0 and below give the first) of text split at delimiter,
/// trimmed; "" past the last field.
std::string strExtract(const std::string& text, char delimiter, int field);
/// The comma-separated fields of text, each trimmed; text without a comma gives one item,
/// the text itself untrimmed. The caller owns the list.
std::unique_ptr<rtl::TStringList> delim2StrList(const std::string& text);
/// text with every occurrence of find (letters compared without regard to case) replaced by
/// replacement; an empty find leaves the text unchanged.
std::string strTran(const std::string& text, const std::string& find, const std::string& replacement);

// --- Numbers -------------------------------------------------------------------------------

int minLong(int a, int b);
int maxLong(int a, int b);
/// low <= value <= high.
bool between(int value, int low, int high);
/// base raised to exponent in wrapping 32-bit arithmetic; any exponent below 2 gives base
/// itself (so power(x, 0) == x, as the library has always had it).
int power(int base, int exponent);
/// Folds bytes[1..high] into 32 bits, byte i weighted 256^i (wrapping): byte 0 is left
/// out and 256^4 and above wrap to 0. 0 when high <= 0.
int NWHexToLong(const std::uint8_t* bytes, int high);

// --- Dates ---------------------------------------------------------------------------------

/// A date and time as NetWare's seconds since 1 January 1970 (local time, no zone), fractions
/// of a second dropped; dates outside the 32-bit range give its nearest end.
int delphiDateToNWDate(rtl::TDateTime t);
/// NetWare's seconds since 1 January 1970 as a date and time.
rtl::TDateTime NWDateToDelphiDate(int seconds);
/// The number of the last day (28..31) of the month t lies in.
int lastDay(rtl::TDateTime t);

/// t in the long date format ("dddd, mmmm d, yyyy").
std::string formDate(rtl::TDateTime t);
/// t as "hh:mm a/p".
std::string formTime(rtl::TDateTime t);
int day(rtl::TDateTime t);
int month(rtl::TDateTime t);
int year(rtl::TDateTime t);
/// The hour on the 24-hour clock.
int hour(rtl::TDateTime t);
int minute(rtl::TDateTime t);
int second(rtl::TDateTime t);
/// A time text "hh:mm" stepped by a quarter hour, back for direction < 1, forward otherwise,
/// on a 12-hour clock ("11:50" forward gives "12:00", "12:50" forward "01:00"). Text that
/// is not a time comes back unchanged.
std::string timeTextInc(const std::string& text, int direction);
/// A date text "m/d/yyyy" stepped by one day, back for direction <= 0, forward otherwise,
/// as "m/d/yyyy" without leading zeros. Text that is not a date comes back unchanged.
std::string datetextInc(const std::string& text, int direction);

// --- Text (padding and the rest) -------------------------------------------------------------

/// The trimmed text filled on the left to width, or its last width characters.
std::string padL(const std::string& text, int width, char fill);
/// The trimmed text filled on the right to width, or its first width characters.
std::string padR(const std::string& text, int width, char fill);
/// The trimmed text centred in width (an odd surplus going left), or its first width characters.
std::string padC(const std::string& text, int width, char fill);
/// Lower case with the first character and every character after a space upper-cased.
std::string proper(const std::string& text);
/// True when the text holds something other than blanks: despite the name, true for a
/// non-empty text, as the library has always had it.
bool strEmpty(const std::string& text);
/// text with the first occurrence of find (letters compared without regard to case) replaced.
std::string strReplace(const std::string& text, const std::string& find, const std::string& replacement);
/// The text after the n-th c (at most 255 characters); "" when c occurs fewer than n times.
std::string fromXChar(const std::string& text, char c, std::uint8_t n);
/// count characters of chars[0..high] from index start; only characters within the array.
std::string aSub(const char* chars, int high, std::uint16_t start, std::uint16_t count);
/// True when an item of list contains text (without regard to case); position is then the
/// index of the first such item, and untouched otherwise.
bool stringListPos(const rtl::TStringList& list, const std::string& text, std::uint16_t& position);

// --- Messages --------------------------------------------------------------------------------
// A ";" in a message breaks the line. Each dialog is shown with the default cursor, and the
// cursor in force before is restored afterwards.

/// An information dialog with an OK button.
void okBox(const std::string& text);
/// An error dialog with a single Cancel button.
void alertBox(const std::string& text);
/// A confirmation dialog with Yes and No; true for Yes.
bool yesNoBox(const std::string& text);
/// A message box "Confirm" with Yes and No, No being the default; true for Yes.
bool noYesBox(const std::string& text);
/// A confirmation dialog with Yes, No and Cancel; the modal result (6, 7 or 2).
int YNCBox(const std::string& text);

// --- Files -----------------------------------------------------------------------------------

/// True when the file can be opened for reading with sharing allowed.
bool canOpen(const std::string& fileName);
/// The size of a file in bytes; 0 when it does not exist or cannot be opened for reading.
std::int64_t sizeofFile(const std::string& fileName);
/// Creates a new empty file of a unique name (digits of the tick count followed by "1") in
/// folder and returns its full path; "" when no file could be created. The file is created
/// exclusively, so a file that exists is never reused or truncated.
std::string fUnique(const std::string& folder);

} // namespace nwtools
