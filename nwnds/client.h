#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved on first use from the unit's own directory-services and locale libraries.
#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>

namespace nwnds::detail {

struct Client {};
extern Client client;

} // namespace nwnds::detail
