#include "nwbase/unit_objects.h"

namespace nwbase::detail {
namespace {

UnitObjects objects;
int shares = 0;

} // namespace

UnitObjects& acquireUnitObjects() {
  if (shares++ == 0) {
    objects.ostrel = std::make_unique<ostrel::TOstrel>();
    objects.nwnds = std::make_unique<nwnds::TNWNDS>();
    objects.nwserver = std::make_unique<nwserver::TNWServer>();
    objects.nwprint = std::make_unique<nwprint::TNWPrint>();
    objects.nwprop = std::make_unique<nwprop::TNWProp>();
    objects.directoryOpen = false;
  }
  return objects;
}

void releaseUnitObjects() {
  if (shares == 0 || --shares > 0) return;
  if (objects.directoryOpen) nwnds::ndsClose();
  objects.directoryOpen = false;
  objects.nwnds.reset();
  objects.ostrel.reset();
  objects.nwserver.reset();
  objects.nwprint.reset();
  objects.nwprop.reset();
}

int unitObjectShares() { return shares; }

nwserver::TNWServerInfo& serverRecord() {
  static auto* record = new nwserver::TNWServerInfo;  // outlives a late unload of the package
  return *record;
}

void releaseServerRecord() {
  nwserver::TNWServerInfo& r = serverRecord();
  std::string().swap(r.serverName);
  std::string().swap(r.version);
}

} // namespace nwbase::detail
