// Trimming, cutting, searching, replacing and padding text, and the integer helpers.
#include "nwtools/nwtools.h"

#include "rtl/sysutils.h"

namespace nwtools {

namespace {
// Trailing codes 0 to 2 are the padding of fixed-width client buffers.
bool isTrailingBlank(char c) { return c == ' ' || (c >= 0 && c <= 2); }
} // namespace

std::string lTrim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string rTrim(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && isTrailingBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string allTrim(const std::string& text) { return lTrim(rTrim(text)); }

std::string leftString(const std::string& text, int count) {
  if (count <= 0) return {};
  return text.substr(0, static_cast<std::size_t>(count));
}

std::string rightString(const std::string& text, int count) {
  if (count <= 0) return {};
  const auto n = static_cast<std::size_t>(count);
  return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string space(std::uint16_t count) { return std::string(count, ' '); }

std::string setPath(const std::string& path) {
  std::string result = rtl::UpperCase(allTrim(path));
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string iif(bool condition, const std::string& ifTrue, const std::string& ifFalse) {
  return condition ? ifTrue : ifFalse;
}

int charCount(const std::string& text, char c) {
  const char wanted = rtl::UpCase(c);
  int count = 0;
  for (char ch : text)
    if (rtl::UpCase(ch) == wanted) ++count;
  return count;
}

int rat(char c, const std::string& text) {
  const auto pos = text.rfind(c);
  return pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
}

std::string strExtract(const std::string& text, char delimiter, int field) {
  std::string result = allTrim(text);
  if (field <= 1) {
    const auto pos = text.find(delimiter);
    if (pos != std::string::npos) result = allTrim(text.substr(0, pos));
    return result;
  }
  if (field > charCount(text, delimiter) + 1) return {};
  // The field count ignores case while the delimiter is found exactly, so the walk may run
  // out of delimiters early; it then keeps what is left.
  for (int i = 1; i < field; ++i) {
    const auto pos = result.find(delimiter);
    if (pos != std::string::npos) result = result.substr(pos + 1);
    result = allTrim(result);
    if (result.find(delimiter) == std::string::npos) break;
  }
  const auto pos = result.find(delimiter);
  return pos == std::string::npos ? allTrim(result) : allTrim(result.substr(0, pos));
}

std::unique_ptr<rtl::TStringList> delim2StrList(const std::string& text) {
  auto list = std::make_unique<rtl::TStringList>();
  if (text.find(',') == std::string::npos) {
    list->Add(text);
    return list;
  }
  // One pass over the text; each field comes out as strExtract(text, ',', i) would give it.
  std::size_t start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    if (comma == std::string::npos) {
      list->Add(allTrim(text.substr(start)));
      break;
    }
    list->Add(allTrim(text.substr(start, comma - start)));
    start = comma + 1;
  }
  return list;
}

namespace {
// The position of the first occurrence of upperFind (already upper-cased) in text at or
// after from, letters compared without regard to case; npos when there is none.
std::size_t findText(const std::string& text, const std::string& upperFind, std::size_t from) {
  if (upperFind.empty() || text.size() < upperFind.size()) return std::string::npos;
  for (std::size_t i = from; i + upperFind.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < upperFind.size() && rtl::UpCase(text[i + k]) == upperFind[k]) ++k;
    if (k == upperFind.size()) return i;
  }
  return std::string::npos;
}
} // namespace

std::string strTran(const std::string& text, const std::string& find, const std::string& replacement) {
  if (find.empty()) return text;
  const std::string upperFind = rtl::UpperCase(find);
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (auto pos = findText(text, upperFind, 0); pos != std::string::npos; pos = findText(text, upperFind, from)) {
    result.append(text, from, pos - from);
    result += replacement;
    from = pos + find.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

int minLong(int a, int b) { return a < b ? a : b; }
int maxLong(int a, int b) { return a > b ? a : b; }
bool between(int value, int low, int high) { return low <= value && value <= high; }

int power(int base, int exponent) {
  // Squaring gives the same wrapped product as repeated multiplication, without running
  // two billion rounds for a large exponent.
  std::uint32_t result = static_cast<std::uint32_t>(base);
  if (exponent < 2) return base;
  std::uint32_t factor = static_cast<std::uint32_t>(base);
  std::uint32_t remaining = static_cast<std::uint32_t>(exponent) - 1;
  while (remaining > 0) {
    if (remaining & 1u) result *= factor;
    factor *= factor;
    remaining >>= 1;
  }
  return static_cast<int>(result);
}

int NWHexToLong(const std::uint8_t* bytes, int high) {
  if (!bytes || high <= 0) return 0;
  std::uint32_t result = 0;
  for (int i = 1; i <= high; ++i) result += bytes[i] * static_cast<std::uint32_t>(power(256, i));
  return static_cast<int>(result);
}

std::string padL(const std::string& text, int width, char fill) {
  const std::string t = allTrim(text);
  if (static_cast<long long>(t.size()) < width) return std::string(static_cast<std::size_t>(width) - t.size(), fill) + t;
  return rightString(t, width);
}

std::string padR(const std::string& text, int width, char fill) {
  const std::string t = allTrim(text);
  if (static_cast<long long>(t.size()) < width) return t + std::string(static_cast<std::size_t>(width) - t.size(), fill);
  return leftString(t, width);
}

std::string padC(const std::string& text, int width, char fill) {
  const std::string t = allTrim(text);
  if (static_cast<long long>(t.size()) >= width) return leftString(t, width);
  // Fill characters go alternately before and after, the first one before.
  const std::size_t missing = static_cast<std::size_t>(width) - t.size();
  const std::size_t before = (missing + 1) / 2;
  return std::string(before, fill) + t + std::string(missing - before, fill);
}

std::string proper(const std::string& text) {
  std::string result = rtl::LowerCase(text);
  for (std::size_t i = 0; i < result.size(); ++i)
    if (i == 0 || result[i - 1] == ' ') result[i] = rtl::UpCase(result[i]);
  return result;
}

bool strEmpty(const std::string& text) { return !allTrim(text).empty(); }

std::string strReplace(const std::string& text, const std::string& find, const std::string& replacement) {
  const auto pos = findText(text, rtl::UpperCase(find), 0);
  if (pos == std::string::npos) return text;
  return text.substr(0, pos) + replacement + text.substr(pos + find.size());
}

std::string fromXChar(const std::string& text, char c, std::uint8_t n) {
  if (charCount(text, c) < n) return {};
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == c) ++count;
    if (count == n) return text.substr(i + 1, 255);
  }
  return text;
}

std::string aSub(const char* chars, int high, std::uint16_t start, std::uint16_t count) {
  if (!chars || high < 0 || count == 0 || start > high) return {};
  const int available = high - start + 1;
  const int n = count < available ? count : available;
  return std::string(chars + start, static_cast<std::size_t>(n));
}

bool stringListPos(const rtl::TStringList& list, const std::string& text, std::uint16_t& position) {
  const std::string upper = rtl::UpperCase(text);
  for (int i = 0; i < list.Count(); ++i) {
    if (findText(list[i], upper, 0) != std::string::npos) {
      position = static_cast<std::uint16_t>(i);
      return true;
    }
  }
  return false;
}

} // namespace nwtools
