// Directory login and passwords, authentication of connections, trees and directory servers.
#include "nwnds/client.h"

#include <nwserver/nwserver.h>
#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>

namespace nwnds {

using detail::client;
using detail::fits;
using detail::kDirNameBuf;
using detail::ScanGuard;
using detail::state;
using detail::unit;
using detail::WorkingContext;

namespace {

constexpr std::size_t kLoginPasswordBuf = 48;
constexpr std::size_t kChangePasswordBuf = 128;
constexpr std::size_t kBlockTreeNameBuf = NWDS_MAX_TREE_NAME_BYTES;
constexpr std::size_t kBlockNames = 25;
constexpr nuint32 kBlockNamesAsked = 24;
constexpr nuint16 kTreeAdvertisement = 0x7802;

// A password goes to the client cut to its buffer: every password operation cuts alike, so a
// password set through one is found by the others.
template <std::size_t N>
void putPassword(char (&buffer)[N], const std::string& password) {
  rtl::copyToBuffer(buffer, N, password);
}

// A tree name without the "_" that pads it.
std::string withoutPadding(std::string name) {
  while (!name.empty() && name.back() == '_') name.pop_back();
  return name;
}

// Closes a connection through the directory client; false when it cannot.
bool closeConnection(NWCONN_HANDLE conn, bool recorded) {
  auto& c = client;
  if (c.NWCCCloseConn.bind()) return (recorded ? c.NWCCCloseConn(conn) : c.NWCCCloseConn.unrecorded(conn)) == 0;
  if (c.NWDSUnlockConnection.bind())
    return (recorded ? c.NWDSUnlockConnection(conn) : c.NWDSUnlockConnection.unrecorded(conn)) == 0;
  return false;
}

// True when the workstation already has a connection to the server, so that a handle
// obtained next is not one this library opened.
bool hasConnection(const std::string& serverName) {
  if (!client.NWGetConnectionHandle.bind()) return true;  // cannot tell: never close it
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, serverName);
  NWCONN_HANDLE existing = 0;
  return client.NWGetConnectionHandle.unrecorded(name, 0, &existing, nullptr) == 0 && existing != 0;
}

// The directory client's answer for a server: its (padded) tree name, or nothing for a
// server that is no directory server. The answer is stored as the last result.
std::optional<std::string> directoryTree(NWCONN_HANDLE conn) {
  if (!client.NWIsDSServer.bind()) return std::nullopt;
  char tree[kDirNameBuf] = {};
  const nuint16 answer = client.NWIsDSServer(ostrel::primaryIfZero(conn), tree);
  state.lastCode = answer;
  if (answer == 0) return std::nullopt;
  return rtl::bufferToString(tree, sizeof tree);
}

} // namespace

// ---- Identity, login and passwords ---------------------------------------------------------

bool ndsLogin(const std::string& contextName, const std::string& userName, const std::string& password) {
  if (!client.NWDSLogin.bind()) return false;
  const std::string user = nwtools::allTrim(userName);
  if (!fits(user, kDirNameBuf)) return false;
  if (!contextName.empty()) ndsSetContext(contextName);
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, user);
  char secret[kLoginPasswordBuf] = {};
  putPassword(secret, nwtools::allTrim(password));
  return client.NWDSLogin(unit.internal, 0, name, secret, 0) == 0;
}

bool ndsLogout() {
  if (!client.NWDSLogout.bind()) return false;
  return client.NWDSLogout(unit.internal) == 0;
}

bool ndsPassCheck(const std::string& contextName, const std::string& objectName, const std::string& password) {
  if (!client.NWDSVerifyObjectPassword.bind() || !fits(objectName, kDirNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  char secret[kLoginPasswordBuf] = {};
  putPassword(secret, rtl::UpperCase(password));
  return client.NWDSVerifyObjectPassword(working.get(), 0, name, secret) == 0;
}

bool ndsChangePassword(const std::string& contextName, const std::string& objectName,
                       const std::string& newPassword, const std::string& oldPassword) {
  auto& c = client;
  if (!fits(objectName, kDirNameBuf)) return false;
  const bool first = oldPassword.empty();
  if (first ? !c.NWDSGenerateObjectKeyPair.bind() : !c.NWDSChangeObjectPassword.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  char fresh[kChangePasswordBuf] = {}, old[kChangePasswordBuf] = {};
  putPassword(fresh, rtl::UpperCase(newPassword));
  putPassword(old, rtl::UpperCase(oldPassword));
  if (first) return c.NWDSGenerateObjectKeyPair(working.get(), name, fresh, 0) == 0;
  return c.NWDSChangeObjectPassword(working.get(), 0, name, old, fresh) == 0;
}

bool ndsAuthenticateServerConn(NWCONN_HANDLE conn) {
  if (!client.NWDSAuthenticateConn.bind()) return false;
  return client.NWDSAuthenticateConn(unit.internal, ostrel::primaryIfZero(conn)) == 0;
}

NWCONN_HANDLE ndsAuthenticateObject(const std::string& contextName, const std::string& objectName) {
  auto& c = client;
  if (!c.NWDSResolveName.bind() || !fits(objectName, kDirNameBuf)) return 0;
  WorkingContext working(contextName);
  if (!working) return 0;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  NWCONN_HANDLE conn = 0;
  nuint32 id = 0;
  if (c.NWDSResolveName(working.get(), name, &conn, &id) != 0) return 0;
  // Looked up anew: the newer call when the client has it, else the older one.
  c.NWDSAuthenticateConn.reset();
  c.NWDSAuthenticate.reset();
  NWCCODE code;
  if (c.NWDSAuthenticateConn.bind()) code = c.NWDSAuthenticateConn(working.get(), conn);
  else if (c.NWDSAuthenticate.bind()) code = c.NWDSAuthenticate(conn, 0, nullptr);
  else return 0;
  return code == 0 ? conn : 0;
}

bool ndsCanAuthenticate(const std::string& contextName) {
  if (!client.NWDSCanDSAuthenticate.bind()) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  const nint32 answer = client.NWDSCanDSAuthenticate(working.get());
  state.lastCode = answer;
  if (answer == 1) return true;
  state.lasterror = answer;
  return false;
}

// ---- Trees ---------------------------------------------------------------------------------

std::unique_ptr<rtl::TStringList> ndsGetTreeList() {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWScanObject.bind()) return list;
  const NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  nuint32 id = 0xFFFFFFFFu;
  char pattern[] = "*";
  std::set<std::string> seen;
  ScanGuard guard;
  do {
    char name[kDirNameBuf] = {};
    if (client.NWScanObject(conn, pattern, kTreeAdvertisement, &id, name, nullptr, nullptr, nullptr, nullptr) != 0)
      break;
    // The advertisement pads the name with "_"; only the padding goes, since a "_" inside
    // stands for a blank of the name.
    const std::string tree = withoutPadding(rtl::bufferToString(name, sizeof name).substr(0, 33));
    if (!tree.empty() && seen.insert(tree).second) list->AddObject(tree, static_cast<std::intptr_t>(id));
  } while (guard.more(static_cast<nint32>(id)));
  return list;
}

std::unique_ptr<rtl::TStringList> ndsGetTreeListOld() {
  auto& c = client;
  if (!c.NWDSScanForAvailableTrees.bind()) return ndsList("[Root]", "");
  auto list = std::make_unique<rtl::TStringList>();
  WorkingContext working("");
  if (!working || !c.NWDSSetContext.bind()) return list;
  // The scan runs from the root; the internal context is left where it is.
  char root[] = "[Root]";
  c.NWDSSetContext.unrecorded(working.get(), DCK_NAME_CONTEXT, root);
  const NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  char filter[] = "*";
  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  std::set<std::string> seen;
  ScanGuard guard;
  do {
    char tree[kDirNameBuf] = {};
    const NWCCODE code = c.NWDSScanForAvailableTrees.unrecorded(working.get(), conn, filter, &iteration, tree);
    state.lastCode = code;
    if (code != 0) {
      if (list->Empty()) state.lasterror = code;
      break;
    }
    // A name the client did not fill in is no tree.
    const std::string name = rtl::bufferToString(tree, sizeof tree);
    if (!name.empty() && seen.insert(name).second) list->AddObject(name, static_cast<std::intptr_t>(dsoTree));
  } while (guard.more(iteration));
  return list;
}

std::unique_ptr<rtl::TStringList> ndsGetTreeListEx(const std::string& scanFilter) {
  auto& c = client;
  auto list = std::make_unique<rtl::TStringList>();
  if (!c.NWDSReturnBlockOfAvailableTrees.bind() || !fits(scanFilter, kBlockTreeNameBuf)) return list;
  char filter[kBlockTreeNameBuf] = {};
  rtl::copyToBuffer(filter, sizeof filter, scanFilter);
  char lastBlock[kBlockTreeNameBuf] = {};
  std::array<std::array<char, kBlockTreeNameBuf>, kBlockNames> names{};
  std::array<char*, kBlockNames> slots{};
  for (std::size_t i = 0; i < kBlockNames; ++i) slots[i] = names[i].data();
  const NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  WorkingContext working("");
  if (!working) return list;
  std::set<std::string> seen;
  for (long pass = 0; pass < detail::kMaxScanPasses; ++pass) {
    for (auto& n : names) n.fill(0);
    nuint32 count = 0, total = 0;
    const NWCCODE code = c.NWDSReturnBlockOfAvailableTrees.unrecorded(
        working.get(), conn, filter, lastBlock, nullptr, 100, slots.data(), kBlockNamesAsked, &count, &total);
    state.lastCode = code;
    if (code != 0) {
      if (list->Empty()) state.lasterror = code;
      break;
    }
    // Only the names the client reports are read; the next block starts after the last.
    const std::size_t got = std::min<std::size_t>(count, kBlockNames);
    std::string last;
    for (std::size_t i = 0; i < got; ++i) {
      last = rtl::bufferToString(names[i].data(), kBlockTreeNameBuf);
      if (!last.empty() && seen.insert(last).second) list->Add(last);
    }
    const bool progressed = !last.empty() && last != rtl::bufferToString(lastBlock, sizeof lastBlock);
    if (got < kBlockNamesAsked || !progressed || seen.size() >= total) break;
    rtl::copyToBuffer(lastBlock, sizeof lastBlock, last);
  }
  return list;
}

// ---- Servers and connections ---------------------------------------------------------------

NWCONN_HANDLE ndsConnectToServer(const std::string& serverName) {
  if (!client.NWDSOpenConnToNDSServer.bind()) return 0;
  const std::string upper = rtl::UpperCase(serverName);
  if (!fits(upper, kDirNameBuf)) return 0;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, upper);
  NWCONN_HANDLE conn = 0;
  return client.NWDSOpenConnToNDSServer(unit.internal, name, &conn) == 0 ? conn : 0;
}

NWCONN_HANDLE ndsAttach(const std::string& serverName) {
  auto& c = client;
  const std::string upper = rtl::UpperCase(serverName);
  const bool existed = hasConnection(upper);
  const NWCONN_HANDLE conn = nwserver::attach(upper);
  if (conn == 0) return 0;
  NWCCODE code;
  if (c.NWCCLicenseConn.bind()) {
    code = ndsAuthenticateServerConn(conn) ? c.NWCCLicenseConn.unrecorded(conn) : state.lastCode;
  } else if (c.NWDSLockConnection.bind() && c.NWDSSetMonitoredConnection.bind()) {
    code = c.NWDSSetMonitoredConnection.unrecorded(conn);
    if (code == 0) code = c.NWDSLockConnection.unrecorded(conn);
  } else {
    if (!existed) closeConnection(conn, false);
    return 0;
  }
  if (code != 0) {
    state.record(code);
    // A connection this call opened is not left behind by a failed attach.
    if (!existed) closeConnection(conn, false);
    return 0;
  }
  state.lastCode = 0;
  return conn;
}

bool ndsDetach(NWCONN_HANDLE conn) { return closeConnection(conn, true); }

bool ndsisDSServer(NWCONN_HANDLE conn) {
  auto tree = directoryTree(conn);
  if (!tree) {
    state.lasterror = -1;
    return false;
  }
  return !tree->empty();
}

std::string ndsGetServerTreeName(NWCONN_HANDLE conn) {
  auto tree = directoryTree(conn);
  if (!tree) {
    state.lasterror = 0;
    return {};
  }
  return withoutPadding(*tree);
}

NWCONN_HANDLE ndsGetPreferredDSServer() {
  client.NWGetPreferredDSServer.reset();
  if (!client.NWGetPreferredDSServer.bind()) return 0;
  NWCONN_HANDLE conn = 0;
  return client.NWGetPreferredDSServer(&conn) == 0 ? conn : 0;
}

bool ndsSetPreferredTreeName(const std::string& treeName) {
  if (!client.NWSetPreferredDSTree.bind() || !fits(treeName, kDirNameBuf)) return false;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, treeName);
  return client.NWSetPreferredDSTree(static_cast<nuint16>(treeName.size()), name) == 0;
}

std::string ndsGetDSBuildLevel(NWCONN_HANDLE conn) {
  if (!client.NWDSGetDSVerInfo.bind()) return {};
  nuint32 version = 0;
  if (client.NWDSGetDSVerInfo(ostrel::primaryIfZero(conn), &version, nullptr, nullptr, nullptr, nullptr) != 0)
    return {};
  return std::to_string(version);
}

} // namespace nwnds
