#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>

namespace nwserver::detail {

struct Client {};
extern Client client;

} // namespace nwserver::detail
