#pragma once
// String helpers of the runtime that the units share. Case mapping is ASCII-only (a-z and
// A-Z), so results never depend on the machine's locale.
#include <cstdint>
#include <string>

namespace rtl {

std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
char UpCase(char c);
/// Case-insensitive comparison of a-z/A-Z; <0, 0, >0 like strcmp.
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);
/// Upper-case hexadecimal with at least `digits` digits; negative values as 32-bit
/// two's complement (IntToHex(-1, 4) == "FFFFFFFF").
std::string IntToHex(std::int64_t value, int digits);
std::string IntToStr(std::int64_t value);
/// Throws EConvertError on text that is not a decimal integer (blanks around are allowed).
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int def);
/// The file-name part of a path: everything after the last "\\", "/" or ":".
std::string ExtractFileName(const std::string& path);
/// Copies at most size-1 bytes of s into a buffer of size bytes and zero-terminates it.
void copyToBuffer(char* buffer, std::size_t size, const std::string& s);
/// The text of a zero-terminated string in a buffer of size bytes, never read past it.
std::string bufferToString(const char* buffer, std::size_t size);

} // namespace rtl
