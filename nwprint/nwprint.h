#pragma once
// Unit Nwprint: print queues and capture.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror().
#include <ostrel/callframe.h>

#include <cstdint>

namespace nwprint {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object: reads and clears the unit error code.
class TNWPrint : public ostrel::UnitObject<detail::state> {};

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

} // namespace nwprint
