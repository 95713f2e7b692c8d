// Connections to servers: by name, by path, attach, close, login and logout.
#include "nwserver/client.h"

#include <rtl/sysutils.h>

namespace nwserver {

using detail::client;
using detail::state;
using detail::toBuffer;

namespace {

constexpr std::size_t kNameBuffer = 48;
constexpr std::size_t kLoginBuffer = 128;
constexpr std::size_t kPathBuffer = 256;
constexpr nint32 kAlreadyAttached = NWE_ALREADY_ATTACHED;

/// True when the workstation already has a connection to the server, so that a handle
/// obtained next is not one this library opened.
bool hasConnection(const char* serverName) {
  if (!client.NWGetConnectionHandle.bind()) return true;  // cannot tell: never close it
  NWCONN_HANDLE existing = 0;
  return client.NWGetConnectionHandle.unrecorded(serverName, 0, &existing, nullptr) == 0 && existing != 0;
}

} // namespace

namespace detail {

void closeTemporary(NWCONN_HANDLE conn) {
  if (conn == 0 || conn == ostrel::getPrimaryServerID()) return;
  if (client.NWCCCloseConn.bind())
    client.NWCCCloseConn.unrecorded(conn);
  else if (client.NWDetachFromFileServer.bind())
    client.NWDetachFromFileServer.unrecorded(conn);
}

NWCONN_HANDLE openTemporary(const std::string& serverName, bool& opened) {
  char name[kNameBuffer] = {};
  opened = false;
  if (!toBuffer(name, rtl::UpperCase(serverName))) return 0;
  const bool existed = hasConnection(name);
  const NWCONN_HANDLE conn = getServerHandle(serverName);
  opened = conn != 0 && !existed;
  return conn;
}

} // namespace detail

NWCONN_HANDLE getServerHandle(const std::string& serverName) {
  char name[kNameBuffer] = {};
  if (!toBuffer(name, rtl::UpperCase(serverName))) return 0;
  NWCONN_HANDLE conn = 0;
  nint32 code = 0;
  if (client.NWCCOpenConnByName.bind())
    code = client.NWCCOpenConnByName.unrecorded(0, name, NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED,
                                                NWCC_TRAN_TYPE_WILD, &conn);
  if ((!client.NWCCOpenConnByName.bound() || code != 0 || conn == 0) && client.NWGetConnectionHandle.bind()) {
    conn = 0;
    code = client.NWGetConnectionHandle.unrecorded(name, 0, &conn, nullptr);
  }
  state.lastCode = code;
  if (code != 0) {
    state.record(code);
    return 0;
  }
  return conn;
}

NWCONN_HANDLE attach(const std::string& serverName) {
  char name[kNameBuffer] = {};
  if (!toBuffer(name, rtl::UpperCase(serverName))) return 0;
  NWCONN_HANDLE conn = 0;
  nint32 code;
  if (client.NWCCOpenConnByName.bind())
    code = client.NWCCOpenConnByName.unrecorded(0, name, NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED,
                                                NWCC_TRAN_TYPE_WILD, &conn);
  else if (client.NWAttachToFileServer.bind())
    code = client.NWAttachToFileServer.unrecorded(name, 0, &conn);
  else
    return 0;
  state.lastCode = code;
  if (conn == 0 && code != 0 && code != kAlreadyAttached) state.lasterror = code;
  return conn;
}

NWCONN_HANDLE openConnByName(const std::string& name, bool tree, bool licensed) {
  if (!client.NWCCOpenConnByName.bind()) return 0;
  char buffer[kNameBuffer] = {};
  if (!toBuffer(buffer, name)) return 0;
  NWCONN_HANDLE conn = 0;
  if (client.NWCCOpenConnByName(0, buffer, tree ? NWCC_NAME_FORMAT_NDS_TREE : NWCC_NAME_FORMAT_BIND,
                                licensed ? NWCC_OPEN_LICENSED : NWCC_OPEN_UNLICENSED, NWCC_TRAN_TYPE_WILD,
                                &conn) != 0)
    return 0;
  return conn;
}

NWCONN_HANDLE getServerHandleFromPath(const std::string& path) {
  if (!client.NWParseNetWarePath.bind()) return 0;
  char buffer[kPathBuffer] = {};
  if (!toBuffer(buffer, rtl::UpperCase(path))) return 0;
  // A path without a server ("SYS:...") is taken on the primary connection.
  NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  nuint8 dirHandle = 0;
  char result[kPathBuffer] = {};
  if (client.NWParseNetWarePath.unrecorded(buffer, &conn, &dirHandle, result) != 0) return 0;
  return conn;
}

bool closeConnection(NWCONN_HANDLE conn) {
  if (!client.NWCCCloseConn.bind()) return false;
  return client.NWCCCloseConn(ostrel::primaryIfZero(conn)) == 0;
}

bool clearConnection(NWCONN_HANDLE conn, std::uint16_t connNumber) {
  if (!client.NWClearConnectionNumber.bind()) return false;
  return client.NWClearConnectionNumber(ostrel::primaryIfZero(conn), connNumber) == 0;
}

bool NWLogin(const std::string& serverName, const std::string& userName, const std::string& password,
             std::uint16_t objectType) {
  if (!client.NWAttachToFileServer.bind() || !client.NWLoginToFileServer.bind()) return false;
  if (objectType == 0) objectType = 0x0100;
  char server[kLoginBuffer] = {}, user[kLoginBuffer] = {}, secret[kLoginBuffer] = {};
  if (!toBuffer(server, rtl::UpperCase(serverName)) || !toBuffer(user, rtl::UpperCase(userName)) ||
      !toBuffer(secret, rtl::UpperCase(password)))
    return false;
  state.lastCode = 0;
  bool opened = false;
  NWCONN_HANDLE conn = detail::openTemporary(serverName, opened);
  if (conn == 0) {
    const nint32 code = client.NWAttachToFileServer.unrecorded(server, 0, &conn);
    state.lastCode = code;
    if (code != 0 && code != kAlreadyAttached) return false;
    opened = code == 0;
  }
  const nint32 code = client.NWLoginToFileServer.unrecorded(conn, user, objectType, secret);
  state.lastCode = code;
  if (code == 0 || code == kAlreadyAttached) return true;
  state.record(code);
  // A connection made only for this login is not left behind.
  if (opened) detail::closeTemporary(conn);
  return false;
}

bool NWLogout(NWCONN_HANDLE conn) {
  if (!client.NWLogoutFromFileServer.bind() || !client.NWDetachFromFileServer.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  return client.NWLogoutFromFileServer(conn) == 0 && client.NWDetachFromFileServer(conn) == 0;
}

} // namespace nwserver
