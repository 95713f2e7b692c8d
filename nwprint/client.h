#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprint/nwprint.h>
#include <ostrel/ostrel.h>

namespace nwprint::detail {

struct Client {};
extern Client client;

} // namespace nwprint::detail
