#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>

namespace nwprop::detail {

struct Client {};
extern Client client;

} // namespace nwprop::detail
