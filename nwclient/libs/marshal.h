#pragma once
// Helpers the client entry points share to fill the caller's buffers: never more than the
// buffer holds, strings always zero-terminated.
#include "simulator.h"

#include <cstring>
#include <ctime>
#include <string>

namespace nwsim::marshal {

/// Copies at most size-1 characters and a terminating zero.
inline void putString(char* buffer, std::size_t size, const std::string& s) {
  if (!buffer || size == 0) return;
  std::size_t n = s.size() < size - 1 ? s.size() : size - 1;
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
}

/// Reads a caller's zero-terminated string, at most `size` bytes of it.
inline std::string getString(const char* s, std::size_t size) {
  if (!s) return {};
  std::size_t n = 0;
  while (n < size && s[n]) ++n;
  return std::string(s, n);
}

/// The seven date bytes the server reports: year-1900, month, day, hour, minute, second,
/// day of week (0 = Sunday).
void putDateTime(std::uint8_t* out, LocalSeconds t);

/// A packed NetWare date and time: the date (year-1980, month, day) in the high 16 bits, the
/// time (hours, minutes, seconds/2) in the low 16 bits; a year before 1980 counts as 1980.
inline nuint32 packedDateTime(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  const unsigned year = tm.tm_year + 1900 < 1980 ? 0 : static_cast<unsigned>(tm.tm_year + 1900 - 1980);
  const nuint32 date = (year << 9) | (static_cast<unsigned>(tm.tm_mon + 1) << 5) | static_cast<unsigned>(tm.tm_mday);
  const nuint32 time = (static_cast<unsigned>(tm.tm_hour) << 11) | (static_cast<unsigned>(tm.tm_min) << 5) |
                       static_cast<unsigned>(tm.tm_sec / 2);
  return (date << 16) | time;
}

/// Object IDs travel high byte first inside the 32-bit value, as NetWare sends them.
inline std::uint32_t wireId(std::uint32_t displayId) { return __builtin_bswap32(displayId); }

/// The six-byte counters of the usage record, lowest byte first.
inline void putCounter48(std::uint8_t* out, std::uint64_t v) {
  for (int i = 0; i < 6; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace nwsim::marshal
