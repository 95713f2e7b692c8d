// Client functions of broadcast messages, the console log, the client's error mode and the
// preferred server.
#include "marshal.h"

#include <bindery.h>
#include <broadcasts.h>
#include <stations.h>

#include <nwclient/nwclient.h>

#include <atomic>

using nwsim::Broadcasts;
using nwsim::Connection;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

// How this program's client reports its own errors.
std::atomic<nuint8> errorMode{0};

NWCCODE setMode(Session& s, NWCONN_HANDLE conn, nuint16 mode) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  if (mode > NW_BCAST_STORED) return NWE_INVALID_PARAMETER;
  Broadcasts(s).setMode(mode);
  return NWE_OK;
}

} // namespace

extern "C" {

NWCCODE NWSetBroadcastMode(NWCONN_HANDLE conn, nuint16 mode) {
  NWSIM_SERVE({ return setMode(s, conn, mode); });
}

NWCCODE NWEnableBroadcasts(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return setMode(s, conn, NW_BCAST_ALL); });
}

NWCCODE NWDisableBroadcasts(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return setMode(s, conn, NW_BCAST_NONE); });
}

NWCCODE NWGetBroadcastMessage(NWCONN_HANDLE conn, char* message256) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!message256) return NWE_INVALID_PARAMETER;
    m::putString(message256, 256, Broadcasts(s).take(c.id).value_or(std::string()));
    return NWE_OK;
  });
}

NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const char* message, nuint16 count, const nuint16* connList,
                               nuint8* resultList) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!message || count == 0 || !connList || !resultList) return NWE_INVALID_PARAMETER;
    const std::string text = m::getString(message, NW_MESSAGE_SIZE);
    Broadcasts b(s);
    for (nuint16 i = 0; i < count; ++i) resultList[i] = b.deliver(server, connList[i], text);
    return NWE_OK;
  });
}

NWCCODE NWBroadcastToConsole(NWCONN_HANDLE conn, const char* message) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!message) return NWE_INVALID_PARAMETER;
    Broadcasts(s).toConsole(server, c.connNumber, m::getString(message, NW_MESSAGE_SIZE));
    return NWE_OK;
  });
}

NWCCODE NWSetNetWareErrorMode(nuint8 mode, nuint8* previousMode) {
  static nwsim::CallCounter counter{__func__};
  counter.add();
  if (mode > 2) return NWE_INVALID_PARAMETER;
  const nuint8 previous = errorMode.exchange(mode);
  if (previousMode) *previousMode = previous;
  return NWE_OK;
}

NWCCODE NWCCSetPrefServerName(const char* serverName) {
  NWSIM_SERVE({
    if (!serverName) return NWE_INVALID_PARAMETER;
    const std::string name = nwsim::Bindery::upper(m::getString(serverName, 48));
    if (name.empty() || name.size() > 47) return NWE_INVALID_PARAMETER;
    s.db().prepare("UPDATE workstations SET preferred_server=? WHERE name=?").with(name, s.workstation()).run();
    if (auto server = s.serverByName(name))
      if (auto c = nwsim::Stations(s).ofWorkstation(server->id))
        s.db().prepare("UPDATE workstations SET primary_conn=? WHERE name=?")
            .with(static_cast<std::int64_t>(c->id), s.workstation()).run();
    return NWE_OK;
  });
}

} // extern "C"
