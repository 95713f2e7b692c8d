#include "ostrel/client.h"

namespace ostrel {

namespace detail {
constinit UnitState state;
constinit Unit unit;
constinit Client client;
} // namespace detail

using detail::client;
using detail::state;
using detail::unit;

TOstrel::TOstrel() {
  unit = detail::Unit{};
  state.lasterror = 0;

  // The libraries are never freed; loading again only raises the system's load count.
  unit.calls = platform::loadLibrary("CALWIN32.DLL");
  if (!unit.calls) {
    state.lasterror = 0xFFFF;
    return;
  }
  unit.clx = platform::loadLibrary("CLXWIN32.DLL");
  if (!unit.clx) {
    state.lasterror = 0xFFFF;
    return;
  }
  if (client.NWCallsInit.bind()) {
    // Both parameters are reserved; a failed initialisation is not an error of the unit.
    std::uint32_t scratch = 0;
    if (client.NWCallsInit.unrecorded(&scratch, &scratch) == 0) unit.primary = getPrimaryServerID();
  }
}

platform::ModuleHandle hNWCalls() { return unit.calls; }
platform::ModuleHandle hNWClx() { return unit.clx; }
bool isNDS() { return unit.nds; }
std::int32_t lasterror() { return state.lasterror; }

bool nwInit() { return unit.calls && unit.clx && getPrimaryServerID() != 0; }

void setAutoNDS(bool on) { unit.nds = on; }

std::string getOstrelVersion() { return "4.50 - 15 Sept 1998"; }

NWCONN_HANDLE getPrimaryServerID() {
  if (unit.primary) return unit.primary;
  state.lastCode = -1;
  NWCONN_HANDLE conn = 0;
  if (client.NWCCGetPrimConnRef.bind()) {
    // Only the open's code counts: without a reference the -1 stays.
    NWCONN_REF ref = 0;
    if (client.NWCCGetPrimConnRef.unrecorded(&ref) == 0 && client.NWCCOpenConnByRef.bind())
      client.NWCCOpenConnByRef(ref, NWCC_OPEN_LICENSED, 0, &conn);
  } else if (client.NWGetPrimaryConnectionID.bind()) {
    client.NWGetPrimaryConnectionID(&conn);
  }
  if (state.lastCode == 0) return conn;
  state.lasterror = state.lastCode;
  return 0;
}

std::int32_t longSwap(std::int32_t value) {
  if (!client.NWLongSwap.bind()) return 0;
  return client.NWLongSwap(value);
}

} // namespace ostrel
