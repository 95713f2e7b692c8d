#pragma once
// The unit objects of the function units that every TNWBase of the process shares. The
// first base component to be constructed creates them (which loads the client); each
// further one takes a share; the last one to go closes directory services, when they were
// opened, and frees them. The error codes they report are the units' own, so they read the
// same whichever instance asks.
#include <framework/rudodor4_export.h>
#include <nwnds/nwnds.h>
#include <nwprint/nwprint.h>
#include <nwprop/nwprop.h>
#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>

#include <memory>

namespace nwbase::detail {

struct UnitObjects {
  std::unique_ptr<ostrel::TOstrel> ostrel;
  std::unique_ptr<nwnds::TNWNDS> nwnds;
  std::unique_ptr<nwserver::TNWServer> nwserver;
  std::unique_ptr<nwprint::TNWPrint> nwprint;
  std::unique_ptr<nwprop::TNWProp> nwprop;
  /// A share opened directory services (ndsInit succeeded).
  bool directoryOpen = false;
};

/// Takes a share; the first creates the objects: TOstrel, TNWNDS, TNWServer, TNWPrint,
/// TNWProp, in this order.
UnitObjects& acquireUnitObjects();
/// Gives a share back; the last closes directory services and frees the objects (TNWNDS,
/// TOstrel, TNWServer, TNWPrint, TNWProp).
void releaseUnitObjects();
/// How many shares are out.
RUDODOR4_EXPORT int unitObjectShares();

/// The unit's server information record, which ServerVersion fills.
RUDODOR4_EXPORT nwserver::TNWServerInfo& serverRecord();
/// Releases the record's strings (the unit's finalisation).
RUDODOR4_EXPORT void releaseServerRecord();

} // namespace nwbase::detail
