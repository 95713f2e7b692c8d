#pragma once
// NetWare byte dates, as bindery properties and queue jobs carry them: year (counted from
// 1900, modulo 256), month, day and, with the time, hour, minute and second.
#include <rtl/datetime.h>

#include <cstdint>

namespace nwtools {

/// Writes three bytes (six with `withTime`) for the date and time.
void putByteDate(std::uint8_t* out, rtl::TDateTime t, bool withTime);
/// The date and time of the bytes; false when they do not form a valid date and time.
bool getByteDate(const std::uint8_t* in, bool withTime, rtl::TDateTime& out);

} // namespace nwtools
