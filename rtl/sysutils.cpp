#include "rtl/sysutils.h"

#include "rtl/exceptions.h"

#include <cstring>
#include <limits>

namespace rtl {

char UpCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

namespace {
char LowCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (auto& c : r) c = UpCase(c);
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (auto& c : r) c = LowCase(c);
  return r;
}

int CompareText(const std::string& a, const std::string& b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    // Compare as unsigned bytes so that characters above 127 sort after ASCII.
    const auto ca = static_cast<unsigned char>(UpCase(a[i]));
    const auto cb = static_cast<unsigned char>(UpCase(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string IntToHex(std::int64_t value, int digits) {
  // Negative values are shown as their 32-bit two's complement, as the framework does.
  std::uint64_t v = value < 0 ? static_cast<std::uint32_t>(value) : static_cast<std::uint64_t>(value);
  static const char hex[] = "0123456789ABCDEF";
  std::string r;
  do {
    r.insert(r.begin(), hex[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (digits > 0 && static_cast<int>(r.size()) < digits) r.insert(0, static_cast<std::size_t>(digits) - r.size(), '0');
  return r;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

namespace {
bool tryStrToInt(const std::string& s, int& result) {
  std::size_t i = 0, end = s.size();
  while (i < end && isBlank(s[i])) ++i;
  while (end > i && isBlank(s[end - 1])) --end;
  if (i == end) return false;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') {
    negative = s[i] == '-';
    ++i;
  }
  if (i == end) return false;
  std::int64_t v = 0;
  for (; i < end; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  result = static_cast<int>(v);
  return true;
}
} // namespace

int StrToInt(const std::string& s) {
  int v = 0;
  if (!tryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const std::string& s, int def) {
  int v = 0;
  return tryStrToInt(s, v) ? v : def;
}

std::string ExtractFileName(const std::string& path) {
  const auto pos = path.find_last_of("\\/:");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

void copyToBuffer(char* buffer, std::size_t size, const std::string& s) {
  if (!buffer || size == 0) return;
  const std::size_t n = s.size() < size - 1 ? s.size() : size - 1;
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
}

std::string bufferToString(const char* buffer, std::size_t size) {
  if (!buffer) return {};
  const void* zero = std::memchr(buffer, 0, size);
  const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer) : size;
  return std::string(buffer, n);
}

} // namespace rtl
