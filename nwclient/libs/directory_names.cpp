// Directory names: canonical, abbreviated and typeless forms, partition roots, object IDs,
// and who the workstation is in the directory.
#include "directory_call.h"

using nwsim::DirectoryName;
using nwsim::DirectoryTree;
using nwsim::DsContext;
using nwsim::Rdn;
namespace dc = nwsim::dircall;
namespace m = nwsim::marshal;

namespace {

// The connection a name call goes over: the one given, else the context's, else the
// primary; any connection of the workstation reaches the tree.
NWCCODE useConnection(nwsim::Session& s, const DsContext& c, NWCONN_HANDLE given, NWCONN_HANDLE& out) {
  out = given ? given : c.conn ? c.conn : s.primaryConnection();
  if (!out) return NWE_NO_PRIMARY_CONNECTION;
  return s.connection(out) ? 0 : NWE_INVALID_CONNECTION;
}

// The NCP Server object of a server.
std::optional<std::int64_t> serverObject(DirectoryTree& tree, const std::string& serverName) {
  std::optional<std::int64_t> id;
  tree.db().prepare("SELECT id FROM ds_objects WHERE rdn_key=? AND class='NCP Server' COLLATE NOCASE ORDER BY id LIMIT 1")
      .with(DirectoryName::key(serverName)).first([&](nwsim::Stmt& q) { id = q.int64(0); });
  return id;
}

NWCCODE serverOf(nwsim::Session& s, const DsContext& c, NWCONN_HANDLE conn, DirectoryTree& tree, std::int64_t& id) {
  NWCONN_HANDLE h;
  if (NWCCODE rc = useConnection(s, c, conn, h)) return rc;
  auto cn = s.connection(h);
  nwsim::Server sv = s.server(cn->serverId);
  if (!sv.isDirectory()) return NWDSE_NO_SUCH_ENTRY;
  auto o = serverObject(tree, sv.name);
  if (!o) return NWDSE_NO_SUCH_ENTRY;
  id = *o;
  return 0;
}

} // namespace

extern "C" {

NWCCODE NWDSCanonicalizeName(NWDSContextHandle context, const char* objectName, char* canonName) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!objectName || !canonName) return NWDSE_NULL_POINTER;
    std::string n;
    if (!dc::inName(objectName, n)) return NWDSE_INVALID_DS_NAME;
    DirectoryTree tree(s);
    DsContext rc = *c;
    rc.flags |= DCV_CANONICALIZE_NAMES;
    auto r = tree.resolve(rc, n, false);
    if (r.code) return r.code;
    std::string out = DirectoryName::format(r.rdns, c->typeless());
    if (out.size() > NWDS_MAX_DN_CHARS) return NWDSE_DN_TOO_LONG;
    dc::putName(canonName, out);
    return 0;
  });
}

NWCCODE NWDSAbbreviateName(NWDSContextHandle context, const char* inName, char* abbrevName) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!inName || !abbrevName) return NWDSE_NULL_POINTER;
    std::string n;
    if (!dc::inName(inName, n)) return NWDSE_INVALID_DS_NAME;
    DirectoryTree tree(s);
    // The name to abbreviate is complete.
    DsContext complete = *c;
    complete.nameContext.clear();
    auto r = tree.resolve(complete, n, false);
    if (r.code) return r.code;
    std::vector<Rdn> rdns = r.rdns;
    const auto& nc = c->nameContext;
    if (!nc.empty() && rdns.size() > nc.size()) {
      bool below = true;
      for (std::size_t i = 0; i < nc.size(); ++i) {
        const Rdn& a = rdns[rdns.size() - nc.size() + i];
        if (a.type != nc[i].type || DirectoryName::key(a.value) != DirectoryName::key(nc[i].value)) below = false;
      }
      if (below) rdns.resize(rdns.size() - nc.size());
    }
    dc::putName(abbrevName, DirectoryName::format(rdns, c->typeless()));
    return 0;
  });
}

NWCCODE NWDSRemoveAllTypes(NWDSContextHandle context, const char* name, char* strippedName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!name || !strippedName) return NWDSE_NULL_POINTER;
    std::string n;
    if (!dc::inName(name, n)) return NWDSE_INVALID_DS_NAME;
    auto p = DirectoryName::parse(n);
    if (!p) return NWDSE_ILLEGAL_DS_NAME;
    std::string out = p->root ? "[Root]" : (p->absolute ? "." : "") + DirectoryName::format(p->rdns, true);
    if (!p->root && p->rdns.empty()) out.clear();
    out += std::string(static_cast<std::size_t>(p->up), '.');
    dc::putName(strippedName, out);
    return 0;
  });
}

NWCCODE NWDSGetPartitionRoot(NWDSContextHandle context, const char* objectName, char* partitionRoot) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!partitionRoot) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    std::int64_t root = tree.rootId();
    for (const nwsim::DsObject& o : tree.path(id))
      if (o.partitionRoot) {
        root = o.id;
        break;
      }
    dc::putName(partitionRoot, tree.nameOf(root, *c));
    return 0;
  });
}

NWCCODE NWDSGetBinderyContext(NWDSContextHandle context, NWCONN_HANDLE conn, char* binderyEmulationContext) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!binderyEmulationContext) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = serverOf(s, *c, conn, tree, id)) return rc;
    dc::putName(binderyEmulationContext, tree.nameOf(tree.object(id)->parent, *c));
    return 0;
  });
}

NWCCODE NWDSGetServerDN(NWDSContextHandle context, NWCONN_HANDLE conn, char* serverDN) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!serverDN) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = serverOf(s, *c, conn, tree, id)) return rc;
    dc::putName(serverDN, tree.nameOf(id, *c));
    return 0;
  });
}

NWCCODE NWDSWhoAmI(NWDSContextHandle context, char* objectName) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!objectName) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NOT_LOGGED_IN;
    auto me = tree.caller();
    if (!me) return NWDSE_NOT_LOGGED_IN;
    dc::putName(objectName, tree.nameOf(*me, *c));
    return 0;
  });
}

NWCCODE NWDSMapNameToID(NWDSContextHandle context, NWCONN_HANDLE conn, const char* objectName, nuint32* objectID) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!objectID) return NWDSE_NULL_POINTER;
    NWCONN_HANDLE h;
    if (NWCCODE rc = useConnection(s, *c, conn, h)) return rc;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    *objectID = m::wireId(static_cast<std::uint32_t>(id));
    return 0;
  });
}

NWCCODE NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, nuint32 objectID, char* objectName) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!objectName) return NWDSE_NULL_POINTER;
    NWCONN_HANDLE h;
    if (NWCCODE rc = useConnection(s, *c, conn, h)) return rc;
    DirectoryTree tree(s);
    std::int64_t id = m::wireId(objectID);
    if (!tree.exists() || !tree.object(id)) return NWDSE_NO_SUCH_ENTRY;
    dc::putName(objectName, tree.nameOf(id, *c));
    return 0;
  });
}

NWCCODE NWDSAuditGetObjectID(NWDSContextHandle context, const char* objectName, NWCONN_HANDLE* conn, nuint32* objectID) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!conn || !objectID) return NWDSE_NULL_POINTER;
    NWCONN_HANDLE h;
    if (NWCCODE rc = useConnection(s, *c, 0, h)) return rc;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    *conn = h;
    *objectID = m::wireId(static_cast<std::uint32_t>(id));
    return 0;
  });
}

NWCCODE NWDSResolveName(NWDSContextHandle context, const char* objectName, NWCONN_HANDLE* conn, nuint32* objectID) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!conn || !objectID) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    // Prefer a connection to a directory server of the tree.
    NWCONN_HANDLE h = 0;
    for (const nwsim::Connection& cn : s.connections()) {
      nwsim::Server sv = s.server(cn.serverId);
      if (sv.isDirectory() && DirectoryName::key(sv.tree) == DirectoryName::key(tree.treeName())) {
        h = cn.id;
        break;
      }
    }
    if (!h && useConnection(s, *c, 0, h)) return NWDSE_NO_SERVER_FOUND;
    *conn = h;
    *objectID = m::wireId(static_cast<std::uint32_t>(id));
    return 0;
  });
}

} // extern "C"
