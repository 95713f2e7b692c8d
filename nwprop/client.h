#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>

namespace nwprop::detail {

struct Client {
  // Bindery objects and properties.
  NW_ENTRY(NWCreateObject, ostrel::hNWCalls, state)
  NW_ENTRY(NWDeleteObject, ostrel::hNWCalls, state)
  NW_ENTRY(NWRenameObject, ostrel::hNWCalls, state)
  NW_ENTRY(NWChangeObjectPassword, ostrel::hNWCalls, state)
  NW_ENTRY(NWChangeObjectSecurity, ostrel::hNWCalls, state)
  NW_ENTRY(NWCreateProperty, ostrel::hNWCalls, state)
  NW_ENTRY(NWDeleteProperty, ostrel::hNWCalls, state)
  NW_ENTRY(NWChangePropertySecurity, ostrel::hNWCalls, state)
  NW_ENTRY(NWReadPropertyValue, ostrel::hNWCalls, state)
  NW_ENTRY(NWWritePropertyValue, ostrel::hNWCalls, state)
  NW_ENTRY(NWAddObjectToSet, ostrel::hNWCalls, state)
  NW_ENTRY(NWDeleteObjectFromSet, ostrel::hNWCalls, state)
  NW_ENTRY(NWScanObject, ostrel::hNWCalls, state)
  NW_ENTRY(NWScanProperty, ostrel::hNWCalls, state)
  NW_ENTRY(NWGetAccountStatus, ostrel::hNWCalls, state)
};
extern Client client;

} // namespace nwprop::detail
