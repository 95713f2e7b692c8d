#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>

namespace nwprop::detail {

using ostrel::hNWCalls;

struct Client {
  // Bindery objects and properties.
  NW_ENTRY(NWCreateObject, hNWCalls, state)
  NW_ENTRY(NWDeleteObject, hNWCalls, state)
  NW_ENTRY(NWRenameObject, hNWCalls, state)
  NW_ENTRY(NWChangeObjectPassword, hNWCalls, state)
  NW_ENTRY(NWChangeObjectSecurity, hNWCalls, state)
  NW_ENTRY(NWCreateProperty, hNWCalls, state)
  NW_ENTRY(NWDeleteProperty, hNWCalls, state)
  NW_ENTRY(NWChangePropertySecurity, hNWCalls, state)
  NW_ENTRY(NWReadPropertyValue, hNWCalls, state)
  NW_ENTRY(NWWritePropertyValue, hNWCalls, state)
  NW_ENTRY(NWAddObjectToSet, hNWCalls, state)
  NW_ENTRY(NWDeleteObjectFromSet, hNWCalls, state)
  NW_ENTRY(NWScanObject, hNWCalls, state)
  NW_ENTRY(NWScanProperty, hNWCalls, state)
  NW_ENTRY(NWGetAccountStatus, hNWCalls, state)
  // Trustees and effective rights.
  NW_ENTRY(NWScanObjectTrusteePaths, hNWCalls, state)
  NW_ENTRY(NWParseNetWarePath, hNWCalls, state)
  NW_ENTRY(NWGetEffectiveRights, hNWCalls, state)
  NW_ENTRY(NWAddTrustee, hNWCalls, state)
  NW_ENTRY(NWAddTrusteeToDirectory, hNWCalls, state)
  NW_ENTRY(NWDeleteTrusteeFromDirectory, hNWCalls, state)
  NW_ENTRY(NWGetBinderyAccessLevel, hNWCalls, state)
};
extern Client client;

} // namespace nwprop::detail
