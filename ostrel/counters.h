#pragma once
// The client reports byte counts of a station as six-byte counters stored lowest byte first.
// The library's statistics records hold 32 bits, so every unit folds them the same way here.
#include <cstdint>

namespace ostrel {

/// The low 32 bits of a six-byte counter stored lowest byte first.
inline std::uint32_t sixByteCounterLow32(const std::uint8_t (&counter)[6]) {
  return static_cast<std::uint32_t>(counter[0]) | static_cast<std::uint32_t>(counter[1]) << 8 |
         static_cast<std::uint32_t>(counter[2]) << 16 | static_cast<std::uint32_t>(counter[3]) << 24;
}

} // namespace ostrel
