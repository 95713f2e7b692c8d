#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>

namespace nwprop::detail {

using ostrel::hNWCalls;

struct Client {
  // Trustees and effective rights.
  NW_ENTRY(NWScanObjectTrusteePaths, hNWCalls, state)
  NW_ENTRY(NWParseNetWarePath, hNWCalls, state)
  NW_ENTRY(NWGetEffectiveRights, hNWCalls, state)
  NW_ENTRY(NWAddTrustee, hNWCalls, state)
  NW_ENTRY(NWAddTrusteeToDirectory, hNWCalls, state)
  NW_ENTRY(NWDeleteTrusteeFromDirectory, hNWCalls, state)
  NW_ENTRY(NWGetBinderyAccessLevel, hNWCalls, state)
  NW_ENTRY(NWScanObject, hNWCalls, state)
};
extern Client client;

} // namespace nwprop::detail
