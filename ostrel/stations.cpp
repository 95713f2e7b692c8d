// Preferred server and station lists: switching the primary server, the file servers it
// knows, the stations a user is logged in on and who is on each station of a server.
#include "ostrel/client.h"

#include <nwserver/nwserver.h>
#include <rtl/sysutils.h>

namespace ostrel {

using detail::client;
using detail::state;
using detail::unit;

namespace {

constexpr std::size_t kNameBuffer = 48;
constexpr nuint16 kUserType = 0x0100;
constexpr nuint16 kServerType = 0x0400;
constexpr nuint16 kStationQueryMax = 49;
constexpr const char* kNotLoggedIn = "Not Logged In";

/// Whether the server behind the connection is a directory server, as far as the directory
/// library (when loaded) can tell.
bool isDirectoryServer(NWCONN_HANDLE conn) {
  return client.NWIsDSServer.bind() && client.NWIsDSServer(conn, nullptr) != 0;
}

} // namespace

std::unique_ptr<rtl::TStringList> sList() { return getBinderyList(getPrimaryServerID(), kServerType); }

bool setPreferredServer(const std::string& serverName, NWCONN_HANDLE& handle) {
  // A name cut to fit would name another server.
  if (serverName.size() >= kNameBuffer) return false;
  char name[kNameBuffer] = {};
  rtl::copyToBuffer(name, kNameBuffer, serverName);
  if (client.NWCCSetPrefServerName.bind()) {
    if (client.NWCCSetPrefServerName(name) != 0) return false;
  } else {
    if (!client.NWGetConnectionHandle.bind() || !client.NWSetPrimaryConnectionID.bind()) return false;
    NWCONN_HANDLE found = 0;
    if (client.NWGetConnectionHandle(name, 0, &found, nullptr) != 0) return false;
    if (client.NWSetPrimaryConnectionID(found) != 0) return false;
  }
  handle = nwserver::getServerHandle(serverName);
  if (handle) unit.nds = isDirectoryServer(handle);
  // Also 0: the next operation on connection 0 asks the client again.
  unit.primary = handle;
  return true;
}

bool getUserConnList(NWCONN_HANDLE conn, const std::string& objectName, std::int32_t& count,
                     std::array<std::uint16_t, 50>& list) {
  conn = primaryIfZero(conn);
  list.fill(0);
  char name[kNameBuffer] = {};
  rtl::copyToBuffer(name, kNameBuffer, objectName);
  // Lookups of names not in the bindery are no failures of this operation.
  const std::int32_t saved = state.lasterror;
  nuint16 type = getObjType(conn, objectName);
  if (type < kUserType) type = kUserType;
  nuint16 found = 0;
  if (client.NWGetConnListFromObject.bind()) {
    const nuint32 id = getObjNumber(conn, objectName, type);
    client.NWGetConnListFromObject.unrecorded(conn, id, 1, &found, list.data());
  }
  if (found < 1 && client.NWGetObjectConnectionNumbers.bind())
    client.NWGetObjectConnectionNumbers.unrecorded(conn, name, type, &found, list.data(), kStationQueryMax);
  state.lasterror = saved;
  count = std::min<std::int32_t>(found, static_cast<std::int32_t>(list.size()));
  return count > 0;
}

std::unique_ptr<rtl::TStringList> getUserList(NWCONN_HANDLE conn, bool all) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWGetConnectionInformation.bind()) return list;
  conn = primaryIfZero(conn);
  nwserver::TNWServerInfo info;
  const int stations = nwserver::getServerStats(conn, info) ? info.maxConnections : 0;
  for (int station = 1; station <= stations; ++station) {
    // Fresh for every station, so that one the client writes nothing for stays empty.
    char name[kNameBuffer] = {};
    nuint16 type = 0;
    nuint32 id = 0;
    NW_LOGIN_TIME login{};
    if (client.NWGetConnectionInformation.unrecorded(conn, static_cast<nuint16>(station), name, &type, &id,
                                                     &login.year) != 0)
      continue;
    if (!all && id == 0) continue;
    const std::string text = rtl::bufferToString(name, kNameBuffer);
    list->AddObject(text.empty() ? kNotLoggedIn : text, station);
  }
  return list;
}

} // namespace ostrel
