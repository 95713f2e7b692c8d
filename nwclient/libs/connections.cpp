// Client functions for connections and servers: the primary connection, station numbers,
// who is logged in where, server names and clocks, connection information records.
#include "marshal.h"

#include <nwclient/nwclient.h>

#include <algorithm>
#include <cstring>
#include <ctime>

using nwsim::Connection;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace nwsim::marshal {
void putDateTime(std::uint8_t* out, LocalSeconds t) {
  std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  gmtime_r(&tt, &tm);
  out[0] = static_cast<std::uint8_t>(tm.tm_year);
  out[1] = static_cast<std::uint8_t>(tm.tm_mon + 1);
  out[2] = static_cast<std::uint8_t>(tm.tm_mday);
  out[3] = static_cast<std::uint8_t>(tm.tm_hour);
  out[4] = static_cast<std::uint8_t>(tm.tm_min);
  out[5] = static_cast<std::uint8_t>(tm.tm_sec);
  out[6] = static_cast<std::uint8_t>(tm.tm_wday);
}
} // namespace nwsim::marshal

namespace {

// The number of connections this client can hold at once.
constexpr std::uint16_t kClientConnections = 50;

// Who is on a station of a server: nullopt for a station number outside the server's range,
// an empty connection (id 0) for a free station.
struct StationView {
  Connection conn;
  std::optional<nwsim::BinderyObject> object;
};

NWCCODE station(Session& s, const Server& server, nuint16 number, StationView& view) {
  if (number == 0 || number > server.maxConns) return NWE_BAD_STATION_NUMBER;
  view = StationView{};
  if (auto c = s.stationOn(server.id, number)) {
    view.conn = *c;
    if (c->objectId) view.object = s.object(server.id, c->objectId);
  }
  return NWE_OK;
}

// A station in use on the server of `conn`, asked about over that connection.
NWCCODE stationInUse(Session& s, NWCONN_HANDLE conn, nuint16 number, Server& server, StationView& view) {
  Connection c;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  if (NWCCODE rc = station(s, server, number, view)) return rc;
  return view.conn.id ? NWE_OK : NWE_BAD_STATION_NUMBER;
}

std::string treeNamePadded(const Server& server) {
  if (server.tree.empty()) return {};
  std::string t = server.tree.substr(0, 32);
  t.resize(32, '_');
  return t;
}

void fillConnInfo(Session& s, const Connection& c, NWCCConnInfo* info) {
  Server server = s.server(c.serverId);
  std::memset(info, 0, sizeof *info);
  info->authenticationState = static_cast<nuint32>(c.authState);
  info->connRef = c.id;
  m::putString(info->treeName, sizeof info->treeName, treeNamePadded(server));
  info->connNum = static_cast<nuint32>(c.connNumber);
  info->userID = c.objectId ? m::wireId(c.objectId) : 0;
  // A connection opened to a tree by name does not know its server's name.
  m::putString(info->serverName, sizeof info->serverName, c.treeConn ? std::string() : server.name);
  info->NCPVersion = 3;
  info->nameFormatType = c.treeConn ? 8 : 2;
  info->maxPacketSize = 1024;
  info->licenseState = c.licensed ? 1 : 0;
  info->transportType = 1;
  info->serverVersion = NWCCVersion{static_cast<nuint32>(server.verMajor), static_cast<nuint32>(server.verMinor),
                                    static_cast<nuint32>(server.verRevision)};
}

} // namespace

extern "C" {

NWCCODE NWCallsInit(void*, void*) {
  NWSIM_SERVE_READ({ return NWE_OK; });
}

NWCCODE NWGetPrimaryConnectionID(NWCONN_HANDLE* conn) {
  NWSIM_SERVE_READ({
    if (!conn) return NWE_INVALID_PARAMETER;
    std::uint32_t id = s.primaryConnection();
    if (!id) return NWE_NO_PRIMARY_CONNECTION;
    *conn = id;
    return NWE_OK;
  });
}

nint32 NWLongSwap(nint32 value) {
  static nwsim::CallCounter counter{__func__};
  counter.add();
  return static_cast<nint32>(__builtin_bswap32(static_cast<std::uint32_t>(value)));
}

NWCCODE NWGetConnectionNumber(NWCONN_HANDLE conn, nuint16* connNumber) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    if (connNumber) *connNumber = static_cast<nuint16>(c.connNumber);
    return NWE_OK;
  });
}

NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, nuint16 connNumber, char* objectName48,
                                   nuint16* objectType, nuint32* objectID, nuint8* loginTime7) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv, 16, 72)) return rc;
    StationView v;
    if (NWCCODE rc = station(s, sv, connNumber, v)) return rc;
    // A free station, or one nobody is logged in on, reports an empty name and zero time.
    m::putString(objectName48, 48, v.object ? v.object->name : std::string());
    if (objectType) *objectType = v.object ? v.object->type : 0;
    if (objectID) *objectID = v.object ? m::wireId(v.object->id) : 0;
    if (loginTime7) {
      std::memset(loginTime7, 0, 7);
      if (v.object && v.conn.loginTime) m::putDateTime(loginTime7, *v.conn.loginTime);
    }
    return NWE_OK;
  });
}

NWCCODE NWGetFileServerName(NWCONN_HANDLE conn, char* serverName48) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    m::putString(serverName48, 48, sv.name);
    return NWE_OK;
  });
}

NWCCODE NWGetFileServerDateAndTime(NWCONN_HANDLE conn, nuint8* dateTime7) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    if (!dateTime7) return NWE_INVALID_PARAMETER;
    m::putDateTime(dateTime7, sv.clock());
    return NWE_OK;
  });
}

NWCCODE NWGetMaximumConnections(nuint16* maxConns) {
  NWSIM_SERVE_READ({
    if (!maxConns) return NWE_INVALID_PARAMETER;
    *maxConns = kClientConnections;
    return NWE_OK;
  });
}

NWCCODE NWGetConnectionUsageStats(NWCONN_HANDLE conn, nuint16 connNumber, CONN_USE* usage) {
  NWSIM_SERVE_READ({
    Server sv;
    StationView v;
    if (NWCCODE rc = stationInUse(s, conn, connNumber, sv, v)) return rc;
    if (!usage) return NWE_INVALID_PARAMETER;
    std::memset(usage, 0, sizeof *usage);
    usage->systemElapsedTime = static_cast<nuint32>(v.conn.requests * 3);
    m::putCounter48(usage->bytesRead, v.conn.bytesRead);
    m::putCounter48(usage->bytesWritten, v.conn.bytesWritten);
    usage->totalRequestPackets = static_cast<nuint32>(v.conn.requests);
    return NWE_OK;
  });
}

NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, nuint16 connNumber, NW_INET_ADDR* addr) {
  NWSIM_SERVE_READ({
    Server sv;
    StationView v;
    if (NWCCODE rc = stationInUse(s, conn, connNumber, sv, v)) return rc;
    if (!addr) return NWE_INVALID_PARAMETER;
    std::memset(addr, 0, sizeof *addr);
    for (int i = 0; i < 4; ++i) addr->networkAddr[i] = static_cast<nuint8>(sv.netNumber >> (24 - 8 * i));
    s.db().prepare("SELECT node FROM workstations WHERE name=?").with(v.conn.workstation).first([&](nwsim::Stmt& q) {
      auto node = q.blob(0);
      std::copy_n(node.begin(), std::min<std::size_t>(6, node.size()), addr->netNodeAddr);
    });
    addr->socket = 0x4003;
    addr->connType = 2;
    return NWE_OK;
  });
}

NWCCODE NWGetConnectionStatus(NWCONN_HANDLE conn, void* buffer, nuint16 bufferLength) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    if (!buffer) return NWE_INVALID_PARAMETER;
    // The status image: station number, object ID and type, authentication state, the
    // station's address, server name (at 24), object name (at 72), login time (at 120).
    std::uint8_t image[NW_CONN_STATUS_SIZE] = {};
    std::uint32_t number = static_cast<std::uint32_t>(c.connNumber);
    std::memcpy(image + NW_CONN_STATUS_CONN_NUMBER, &number, 4);
    std::uint32_t id = c.objectId ? m::wireId(c.objectId) : 0;
    std::memcpy(image + 4, &id, 4);
    auto object = c.objectId ? s.object(sv.id, c.objectId) : std::nullopt;
    std::uint16_t type = object ? object->type : 0;
    std::memcpy(image + 8, &type, 2);
    std::uint16_t auth = static_cast<std::uint16_t>(c.authState);
    std::memcpy(image + 10, &auth, 2);
    for (int i = 0; i < 4; ++i) image[12 + i] = static_cast<std::uint8_t>(sv.netNumber >> (24 - 8 * i));
    m::putString(reinterpret_cast<char*>(image + NW_CONN_STATUS_SERVER_NAME), 48, sv.name);
    if (object) m::putString(reinterpret_cast<char*>(image + 72), 48, object->name);
    if (object && c.loginTime) m::putDateTime(image + 120, *c.loginTime);
    std::memcpy(buffer, image, std::min<std::size_t>(bufferLength, sizeof image));
    return NWE_OK;
  });
}

NWCCODE NWGetConnectionList(nuint16 mode, nuint16* connList, nuint16 maxConns, nuint16* numConns) {
  NWSIM_SERVE_READ({
    if (!numConns || (!connList && maxConns)) return NWE_INVALID_PARAMETER;
    nuint16 n = 0;
    for (const Connection& c : s.connections()) {
      if (n >= maxConns) break;
      connList[n++] = static_cast<nuint16>(c.id);
    }
    *numConns = n;
    return NWE_OK;
  });
}

NWCCODE NWGetObjectConnectionNumbers(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                                     nuint16* numConns, nuint16* connList, nuint16 maxConns) {
  NWSIM_SERVE_READ({
    Connection c;
    Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    if (!numConns || (!connList && maxConns)) return NWE_INVALID_PARAMETER;
    std::string name = m::getString(objectName, 48);
    nuint16 n = 0;
    s.db().prepare(
          "SELECT c.conn_number FROM connections c JOIN bindery_objects o "
          "ON o.server_id = c.server_id AND o.object_id = c.object_id "
          "WHERE c.server_id=? AND o.name=? AND o.type=? ORDER BY c.conn_number")
        .with(sv.id, name, objectType)
        .each([&](nwsim::Stmt& q) {
          if (n < maxConns) connList[n++] = static_cast<nuint16>(q.integer(0));
        });
    *numConns = n;
    return NWE_OK;
  });
}

// ---- connection services -------------------------------------------------------------

NWCCODE NWCCGetPrimConnRef(NWCONN_REF* connRef) {
  NWSIM_SERVE_READ({
    if (!connRef) return NWE_INVALID_PARAMETER;
    std::uint32_t id = s.primaryConnection();
    if (!id) return NWE_NO_PRIMARY_CONNECTION;
    *connRef = id;
    return NWE_OK;
  });
}

// Opening by reference hands out the connection's one handle: opening twice allocates
// nothing new, so callers that never close lose nothing.
NWCCODE NWCCOpenConnByRef(NWCONN_REF connRef, nuint32 openState, nuint32, NWCONN_HANDLE* conn) {
  NWSIM_SERVE({
    if (!conn) return NWE_INVALID_PARAMETER;
    auto c = s.connection(connRef);
    if (!c) return NWE_INVALID_CONNECTION;
    if (openState == NWCC_OPEN_LICENSED && !c->licensed)
      s.db().prepare("UPDATE connections SET licensed=1 WHERE id=?").with(static_cast<std::int64_t>(c->id)).run();
    *conn = c->id;
    return NWE_OK;
  });
}

NWCCODE NWCCGetConnInfo(NWCONN_HANDLE conn, nuint32 infoType, nuint32 bufferLength, void* buffer) {
  NWSIM_SERVE_READ({
    auto c = s.connection(conn);
    if (!c) return NWE_INVALID_CONNECTION;
    if (!buffer) return NWE_INVALID_PARAMETER;
    NWCCConnInfo info;
    fillConnInfo(s, *c, &info);
    auto put = [&](const void* value, std::size_t size) -> NWCCODE {
      if (bufferLength < size) return NWE_BUFFER_TOO_SMALL;
      std::memcpy(buffer, value, size);
      return NWE_OK;
    };
    switch (infoType) {
      case NWCC_INFO_AUTHENT_STATE: return put(&info.authenticationState, 4);
      case NWCC_INFO_BCAST_STATE: {
        nuint16 mode = 0;
        s.db().prepare("SELECT broadcast_mode FROM workstations WHERE name=?").with(s.workstation())
            .first([&](nwsim::Stmt& q) { mode = static_cast<nuint16>(q.integer(0)); });
        return put(&mode, 2);
      }
      case NWCC_INFO_CONN_REF: return put(&info.connRef, 4);
      case NWCC_INFO_TREE_NAME: return put(info.treeName, sizeof info.treeName);
      case NWCC_INFO_CONN_NUMBER: return put(&info.connNum, 4);
      case NWCC_INFO_USER_ID: return put(&info.userID, 4);
      case NWCC_INFO_SERVER_NAME: {
        char name[48];
        m::putString(name, sizeof name, info.serverName);
        return put(name, sizeof name);
      }
      case NWCC_INFO_VERSION: return put(&info.serverVersion, sizeof info.serverVersion);
      default: return NWE_INFO_TYPE_UNKNOWN;
    }
  });
}

NWCCODE NWCCGetAllConnInfo(NWCONN_HANDLE conn, nuint32 infoLevel, NWCCConnInfo* info) {
  NWSIM_SERVE_READ({
    if (infoLevel != NWCC_INFO_VERSION_1) return NWE_INFO_TYPE_UNKNOWN;
    if (!info) return NWE_INVALID_PARAMETER;
    auto c = s.connection(conn);
    if (!c) return NWE_INVALID_CONNECTION;
    fillConnInfo(s, *c, info);
    return NWE_OK;
  });
}

NWCCODE NWCCGetAllConnRefInfo(NWCONN_REF connRef, nuint32 infoLevel, NWCCConnInfo* info) {
  NWSIM_SERVE_READ({
    if (infoLevel != NWCC_INFO_VERSION_1) return NWE_INFO_TYPE_UNKNOWN;
    if (!info) return NWE_INVALID_PARAMETER;
    auto c = s.connection(connRef);
    if (!c) return NWE_INVALID_CONNECTION;
    fillConnInfo(s, *c, info);
    return NWE_OK;
  });
}

NWCCODE NWCCScanConnRefs(nuint32* scanIterator, NWCONN_REF* connRef) {
  NWSIM_SERVE_READ({
    if (!scanIterator || !connRef) return NWE_INVALID_PARAMETER;
    std::optional<std::uint32_t> next;
    s.db().prepare("SELECT id FROM connections WHERE workstation=? AND id>? ORDER BY id LIMIT 1")
        .with(s.workstation(), static_cast<std::int64_t>(*scanIterator))
        .first([&](nwsim::Stmt& q) { next = static_cast<std::uint32_t>(q.int64(0)); });
    if (!next) return NWE_NO_MORE_ENTRIES;
    *scanIterator = *next;
    *connRef = *next;
    return NWE_OK;
  });
}

} // extern "C"
