#include "nwserver/client.h"

namespace nwserver {

namespace detail {
constinit ostrel::UnitState state;
constinit Client client;
} // namespace detail

std::int32_t lasterror() { return detail::state.lasterror; }

} // namespace nwserver
