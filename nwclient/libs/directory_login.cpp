// Directory login and passwords, authenticated connections, trees and directory servers.
#include "directory_call.h"

#include <directory_login.h>
#include <stations.h>

#include <algorithm>
#include <set>

using nwsim::DirectoryLogin;
using nwsim::DirectoryName;
using nwsim::DirectoryTree;
using nwsim::DsContext;
namespace dc = nwsim::dircall;
namespace m = nwsim::marshal;

namespace {

// The trees that directory servers of the network serve, in name order.
std::vector<std::string> trees(nwsim::Session& s) {
  std::set<std::string> out;
  s.db().prepare("SELECT DISTINCT tree FROM servers WHERE kind='directory' AND up=1").each([&](nwsim::Stmt& q) {
    out.insert(DirectoryName::key(q.text(0)));
  });
  return {out.begin(), out.end()};
}

bool matches(const std::string& filter, const std::string& name) {
  // "*" alone or a prefix followed by "*"; anything else is compared whole.
  std::string f = DirectoryName::key(filter);
  if (f.empty() || f == "*") return true;
  if (f.back() == '*') return name.compare(0, f.size() - 1, f, 0, f.size() - 1) == 0;
  return name == f;
}

NWCCODE authenticate(nwsim::Session& s, NWCONN_HANDLE conn) {
  nwsim::Connection c;
  nwsim::Server sv;
  if (NWCCODE rc = s.use(conn, c, sv)) return rc;
  DirectoryTree tree(s);
  if (!tree.exists() || !sv.isDirectory()) return NWDSE_NO_SERVER_FOUND;
  std::optional<std::int64_t> me;
  tree.db().prepare("SELECT object_id FROM ds_logins WHERE workstation=?").with(s.workstation()).first([&](nwsim::Stmt& q) {
    me = q.int64(0);
  });
  if (!me) return NWDSE_NOT_LOGGED_IN;
  s.db().prepare("UPDATE connections SET auth_state=2 WHERE id=?").with(static_cast<std::int64_t>(conn)).run();
  return 0;
}

// A connection of this workstation to a directory server; the code is 0 or why not.
NWCCODE directoryConnection(nwsim::Session& s, NWCONN_HANDLE conn, nwsim::Connection& c) {
  nwsim::Server sv;
  if (NWCCODE rc = s.use(conn, c, sv)) return rc;
  return sv.isDirectory() ? 0 : NWDSE_NO_SERVER_FOUND;
}

} // namespace

extern "C" {

NWCCODE NWDSLogin(NWDSContextHandle context, nuint32 optionsFlag, const char* objectName, const char* password,
                  nuint32 validityPeriod) {
  NWSIM_SERVE({
    (void)optionsFlag;
    (void)validityPeriod;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!password) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    if (NWCCODE rc = DirectoryLogin(tree).check(id, m::getString(password, 256), nwsim::localNow())) return rc;
    tree.db().prepare("INSERT OR REPLACE INTO ds_logins(workstation, object_id) VALUES(?,?)").with(s.workstation(), id).run();
    return 0;
  });
}

NWCCODE NWDSLogout(NWDSContextHandle context) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    s.db().prepare("DELETE FROM ds_logins WHERE workstation=?").with(s.workstation()).run();
    if (s.db().changes() == 0) return NWDSE_NOT_LOGGED_IN;
    s.db().prepare("UPDATE connections SET auth_state=0 WHERE workstation=? AND auth_state=2").with(s.workstation()).run();
    return 0;
  });
}

NWCCODE NWDSVerifyObjectPassword(NWDSContextHandle context, nuint32 optionsFlag, const char* objectName, const char* password) {
  NWSIM_SERVE_READ({
    (void)optionsFlag;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!password) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    return DirectoryLogin(tree).passwordMatches(id, m::getString(password, 256)) ? 0 : NWDSE_FAILED_AUTHENTICATION;
  });
}

NWCCODE NWDSChangeObjectPassword(NWDSContextHandle context, nuint32 optionsFlag, const char* objectName,
                                 const char* oldPassword, const char* newPassword) {
  NWSIM_SERVE({
    (void)optionsFlag;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!oldPassword || !newPassword) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    DirectoryLogin login(tree);
    if (!login.passwordMatches(id, m::getString(oldPassword, 256))) return NWDSE_FAILED_AUTHENTICATION;
    login.setPassword(id, m::getString(newPassword, 256));
    return 0;
  });
}

NWCCODE NWDSAuthenticateConn(NWDSContextHandle context, NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    return authenticate(s, conn);
  });
}

NWCCODE NWDSAuthenticate(NWCONN_HANDLE conn, nuint32 optionsFlag, void* sessionKey) {
  NWSIM_SERVE({
    (void)optionsFlag;
    (void)sessionKey;
    return authenticate(s, conn);
  });
}

nint32 NWDSCanDSAuthenticate(NWDSContextHandle context) {
  static nwsim::CallCounter counter{__func__};
  nint32 answer = 0;
  NWCCODE rc = nwsim::serve(counter, [&](nwsim::Session& s) -> NWCCODE {
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    DirectoryTree tree(s);
    answer = tree.exists() && tree.caller() ? 1 : 0;
    return 0;
  });
  return rc ? rc : answer;
}

nuint16 NWIsDSServer(NWCONN_HANDLE conn, char* treeName) {
  static nwsim::CallCounter counter{__func__};
  std::string tree;
  NWCCODE rc = nwsim::serve(counter, [&](nwsim::Session& s) -> NWCCODE {
    nwsim::Connection c;
    nwsim::Server sv;
    if (NWCCODE r = s.use(conn, c, sv)) return r;
    if (!sv.isDirectory()) return NWDSE_NO_SERVER_FOUND;
    tree = sv.tree.substr(0, NWDS_MAX_TREE_NAME_CHARS);
    tree.resize(NWDS_MAX_TREE_NAME_CHARS, '_');
    return 0;
  });
  if (treeName) m::putString(treeName, NWDS_MAX_TREE_NAME_BYTES, rc ? std::string() : tree);
  return rc ? 0 : 1;
}

NWCCODE NWGetPreferredDSServer(NWCONN_HANDLE* conn) {
  NWSIM_SERVE_READ({
    if (!conn) return NWE_INVALID_PARAMETER;
    std::string preferred;
    s.db().prepare("SELECT preferred_tree FROM workstations WHERE name=?").with(s.workstation()).first([&](nwsim::Stmt& q) {
      preferred = DirectoryName::key(q.text(0));
    });
    for (const nwsim::Connection& c : s.connections()) {
      nwsim::Server sv = s.server(c.serverId);
      if (sv.isDirectory() && sv.up && (preferred.empty() || DirectoryName::key(sv.tree) == preferred)) {
        *conn = c.id;
        return NWE_OK;
      }
    }
    return NWE_SERVER_NOT_FOUND;
  });
}

NWCCODE NWSetPreferredDSTree(nuint16 length, const char* treeName) {
  NWSIM_SERVE({
    if (!treeName) return NWE_INVALID_PARAMETER;
    std::string name = m::getString(treeName, length);
    if (name.size() > NWDS_MAX_TREE_NAME_CHARS) return NWE_INVALID_PARAMETER;
    s.db().prepare("UPDATE workstations SET preferred_tree=? WHERE name=?").with(DirectoryName::key(name), s.workstation()).run();
    return NWE_OK;
  });
}

NWCCODE NWDSGetDSVerInfo(NWCONN_HANDLE conn, nuint32* dsVersion, nuint32* rootMostEntryDepth, char* sapName, nuint32* flags,
                         char* treeName) {
  NWSIM_SERVE_READ({
    nwsim::Connection c;
    nwsim::Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    if (!sv.isDirectory()) return NWDSE_NO_SERVER_FOUND;
    if (dsVersion) *dsVersion = static_cast<nuint32>(sv.verMajor * 100 + sv.verMinor);
    if (rootMostEntryDepth) *rootMostEntryDepth = 0;
    if (sapName) m::putString(sapName, 49, sv.name);
    if (flags) *flags = 0;
    if (treeName) m::putString(treeName, NWDS_MAX_TREE_NAME_BYTES, sv.tree);
    return 0;
  });
}

NWCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn, const char* scanFilter, nint32* scanIndex,
                                  char* treeName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!scanIndex || !treeName) return NWDSE_NULL_POINTER;
    nwsim::Connection c;
    nwsim::Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    std::string filter = m::getString(scanFilter, NWDS_MAX_TREE_NAME_BYTES);
    auto all = trees(s);
    std::size_t start = *scanIndex < 0 ? 0 : static_cast<std::size_t>(*scanIndex);
    for (std::size_t i = start; i < all.size(); ++i)
      if (matches(filter, all[i])) {
        m::putString(treeName, NWDS_MAX_TREE_NAME_BYTES, all[i]);
        *scanIndex = static_cast<nint32>(i + 1);
        return 0;
      }
    return NWE_NO_MORE_ENTRIES;
  });
}

NWCCODE NWDSReturnBlockOfAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn, const char* scanFilter,
                                        const char* lastBlocksString, const char* endBoundString, nuint32 reserved,
                                        char** arrayOfNames, nuint32 maxTreeNames, nuint32* numberOfTrees,
                                        nuint32* totalUniqueTrees) {
  NWSIM_SERVE_READ({
    (void)reserved;
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!numberOfTrees || !totalUniqueTrees || (maxTreeNames && !arrayOfNames)) return NWDSE_NULL_POINTER;
    nwsim::Connection c;
    nwsim::Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    std::string filter = m::getString(scanFilter, NWDS_MAX_TREE_NAME_BYTES);
    std::string after = DirectoryName::key(m::getString(lastBlocksString, NWDS_MAX_TREE_NAME_BYTES));
    std::string bound = DirectoryName::key(m::getString(endBoundString, NWDS_MAX_TREE_NAME_BYTES));
    nuint32 total = 0, written = 0;
    for (const std::string& t : trees(s)) {
      if (!matches(filter, t)) continue;
      ++total;
      if ((!after.empty() && t <= after) || (!bound.empty() && t > bound)) continue;
      if (written < maxTreeNames) {
        if (!arrayOfNames[written]) return NWDSE_NULL_POINTER;
        m::putString(arrayOfNames[written], NWDS_MAX_TREE_NAME_BYTES, t);
        ++written;
      }
    }
    *numberOfTrees = written;
    *totalUniqueTrees = total;
    return 0;
  });
}

NWCCODE NWDSOpenConnToNDSServer(NWDSContextHandle context, const char* serverName, NWCONN_HANDLE* conn) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!serverName || !conn) return NWDSE_NULL_POINTER;
    std::string name;
    if (!dc::inName(serverName, name)) return NWDSE_INVALID_DS_NAME;
    auto sv = s.serverByName(DirectoryName::key(name));
    if (!sv || !sv->isDirectory()) return NWDSE_NO_SERVER_FOUND;
    nwsim::Stations stations(s);
    if (auto open = stations.ofWorkstation(sv->id)) {
      if (!sv->up) return NWE_SERVER_DOWN;
      *conn = open->id;
      return 0;
    }
    std::uint32_t id = 0;
    if (NWCCODE rc = stations.open(*sv, false, true, id)) return rc;
    *conn = id;
    return 0;
  });
}

NWCCODE NWDSLockConnection(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    nwsim::Connection c;
    if (NWCCODE rc = directoryConnection(s, conn, c)) return rc;
    s.db().prepare("UPDATE connections SET ds_locked=1 WHERE id=?").with(static_cast<std::int64_t>(c.id)).run();
    return 0;
  });
}

NWCCODE NWDSUnlockConnection(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    auto c = s.connection(conn);
    if (!c) return NWE_INVALID_CONNECTION;
    s.db().prepare("UPDATE workstations SET monitored_conn=0 WHERE name=? AND monitored_conn=?")
        .with(s.workstation(), static_cast<std::int64_t>(c->id)).run();
    // Released by the directory client: it goes unless it is the primary connection or a
    // login of its own holds it.
    if (c->id == s.primaryConnection() || c->objectId != 0) {
      s.db().prepare("UPDATE connections SET ds_locked=0 WHERE id=?").with(static_cast<std::int64_t>(c->id)).run();
      return 0;
    }
    nwsim::Stations(s).close(c->id);
    return 0;
  });
}

NWCCODE NWDSSetMonitoredConnection(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    nwsim::Connection c;
    if (NWCCODE rc = directoryConnection(s, conn, c)) return rc;
    s.db().prepare("UPDATE workstations SET monitored_conn=? WHERE name=?")
        .with(static_cast<std::int64_t>(c.id), s.workstation()).run();
    return 0;
  });
}

NWCCODE NWCCLicenseConn(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    nwsim::Connection c;
    nwsim::Server sv;
    if (NWCCODE rc = s.use(conn, c, sv)) return rc;
    s.db().prepare("UPDATE connections SET licensed=1 WHERE id=?").with(static_cast<std::int64_t>(c.id)).run();
    return 0;
  });
}

} // extern "C"
