#include "nwtools/bytedates.h"

namespace nwtools {

void putByteDate(std::uint8_t* out, rtl::TDateTime t, bool withTime) {
  int year, month, day, hour, minute, second, msec;
  rtl::DecodeDate(t, year, month, day);
  out[0] = static_cast<std::uint8_t>(static_cast<unsigned>(year - 1900) & 0xFF);
  out[1] = static_cast<std::uint8_t>(month);
  out[2] = static_cast<std::uint8_t>(day);
  if (!withTime) return;
  rtl::DecodeTime(t, hour, minute, second, msec);
  out[3] = static_cast<std::uint8_t>(hour);
  out[4] = static_cast<std::uint8_t>(minute);
  out[5] = static_cast<std::uint8_t>(second);
}

bool getByteDate(const std::uint8_t* in, bool withTime, rtl::TDateTime& out) {
  rtl::TDateTime date = 0, time = 0;
  if (!rtl::TryEncodeDate(1900 + in[0], in[1], in[2], date)) return false;
  if (withTime && !rtl::TryEncodeTime(in[3], in[4], in[5], 0, time)) return false;
  out = date + time;
  return true;
}

} // namespace nwtools
