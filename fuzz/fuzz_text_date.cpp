// The text and date helpers, held to what they promise: fields split off and joined again
// give the text back, trimming twice trims nothing more, cutting and padding keep lengths,
// NetWare seconds survive the trip through a date, and a day stepped on and back is the day.
#include "fuzz_check.h"

#include <nwtools/nwtools.h>
#include <rtl/datetime.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> splitAt(const std::string& text, char c) {
  std::vector<std::string> parts(1);
  for (char ch : text) {
    if (ch == c) parts.emplace_back();
    else parts.back() += ch;
  }
  return parts;
}

void text(const std::string& t) {
  const std::string trimmed = nwtools::allTrim(t);
  FUZZ_REQUIRE(nwtools::allTrim(trimmed) == trimmed);
  FUZZ_REQUIRE(nwtools::lTrim(trimmed) == trimmed && nwtools::rTrim(trimmed) == trimmed);

  // Fields: each trimmed part comes back from strExtract, and nothing after the last.
  std::vector<std::string> parts = splitAt(t, ',');
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    parts[i] = nwtools::allTrim(parts[i]);
    joined += (i ? "," : "") + parts[i];
  }
  for (std::size_t i = 0; i < parts.size(); ++i)
    FUZZ_REQUIRE(nwtools::strExtract(joined, ',', static_cast<int>(i + 1)) == parts[i]);
  FUZZ_REQUIRE(nwtools::strExtract(joined, ',', static_cast<int>(parts.size() + 1)).empty());
  if (parts.size() > 1) {
    const auto list = nwtools::delim2StrList(joined);
    FUZZ_REQUIRE(list->Count() == static_cast<int>(parts.size()));
    for (std::size_t i = 0; i < parts.size(); ++i) FUZZ_REQUIRE((*list)[static_cast<int>(i)] == parts[i]);
  }

  // Cutting at any point and putting the two ends together gives the text.
  const int length = static_cast<int>(t.size());
  for (int k = 0; k <= length; k += 1 + length / 8)
    FUZZ_REQUIRE(nwtools::leftString(t, k) + nwtools::rightString(t, length - k) == t);
  for (int width : {0, 1, 7, length, length + 5})
    for (auto pad : {nwtools::padL, nwtools::padR, nwtools::padC})
      FUZZ_REQUIRE(static_cast<int>(pad(t, width, '.').size()) == width);

  // The rest only must not fail, whatever the text.
  (void)nwtools::setPath(t);
  (void)nwtools::proper(t);
  (void)nwtools::strTran(t, t.substr(0, t.size() / 3), "x");
  (void)nwtools::timeTextInc(t, 1);
  (void)nwtools::datetextInc(t, -1);
  (void)nwtools::fromXChar(t, ',', 2);
}

void dates(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return;
  std::int32_t seconds;
  std::memcpy(&seconds, data, sizeof seconds);
  FUZZ_REQUIRE(nwtools::delphiDateToNWDate(nwtools::NWDateToDelphiDate(seconds)) == seconds);

  // A valid day, stepped forward and back, as "m/d/yyyy" without leading zeros; years of
  // one or two digits are read as this century's, as short years are.
  const int y = 100 + (data[4] | data[5] << 8) % 9899, m = 1 + data[6] % 12;
  rtl::TDateTime first = 0;
  if (!rtl::TryEncodeDate(y, m, 1, first)) return;
  const int d = 1 + data[7] % nwtools::lastDay(first);
  const std::string day = std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
  const std::string next = nwtools::datetextInc(day, 1);
  FUZZ_REQUIRE(next != day);
  FUZZ_REQUIRE(nwtools::datetextInc(next, -1) == day);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  text(std::string(reinterpret_cast<const char*>(data), size));
  dates(data, size);
  return 0;
}
