// Client functions of trustees and effective rights on volume entries, and the caller's
// bindery access level.
#include "marshal.h"

#include <bindery.h>
#include <effective_rights.h>
#include <file_entries.h>
#include <redirector.h>
#include <trustees.h>

#include <nwclient/nwclient.h>

#include <filesystem>

using nwsim::Connection;
using nwsim::Location;
using nwsim::Redirector;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

// An existing directory or file of the caller's volumes.
NWCCODE existingEntry(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, Location& at) {
  if (!path) return NWE_INVALID_PARAMETER;
  Redirector r(s);
  if (NWCCODE rc = r.locate(m::getString(path, NW_PATH_SIZE), conn, dirHandle, at)) return rc;
  std::filesystem::path local;
  if (NWCCODE rc = r.localPath(at, local)) return rc;
  std::error_code ec;
  return std::filesystem::exists(local, ec) ? NWCCODE(NWE_OK) : NWCCODE(NWE_INVALID_PATH);
}

std::uint16_t callerRights(Session& s, const Location& at) {
  return nwsim::EffectiveRights(s.db(), at.server.id).of(at.conn.objectId, at.volume.number, at.path());
}

// The entry and the object of a trustee change the caller may make.
NWCCODE changeable(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID,
                   Location& at, std::uint32_t& object) {
  if (NWCCODE rc = existingEntry(s, conn, dirHandle, path, at)) return rc;
  object = m::wireId(objectID);
  if (!nwsim::Bindery(s.db(), at.server.id).byId(object)) return NWE_NO_SUCH_OBJECT;
  if (!(callerRights(s, at) & nwsim::NWR_ACCESS_CONTROL)) return NWE_NO_SET_PRIVILEGE;
  return NWE_OK;
}

NWCCODE addTrustee(Session& s, NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID,
                   nuint16 rights) {
  Location at;
  std::uint32_t object = 0;
  if (NWCCODE rc = changeable(s, conn, dirHandle, path, objectID, at, object)) return rc;
  nwsim::Trustees(s.db()).set(at.server.id, at.volume.number, at.path(), object,
                              static_cast<std::uint16_t>(rights & nwsim::NWR_ALL));
  return NWE_OK;
}

} // namespace

extern "C" {

NWCCODE NWScanObjectTrusteePaths(NWCONN_HANDLE conn, nuint32 objectID, nuint16 volNumber, nuint16* sequence,
                                 nuint16* rights, char* path256) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!sequence) return NWE_INVALID_PARAMETER;
    auto volume = Redirector(s).volumes().byNumber(server.id, volNumber);
    if (!volume || !volume->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
    const std::uint32_t object = m::wireId(objectID);
    if (!nwsim::Bindery(s.db(), server.id).byId(object)) return NWE_NO_SUCH_OBJECT;
    std::vector<nwsim::Trustee> paths;
    for (auto& t : nwsim::Trustees(s.db()).ofObject(server.id, object))
      if (t.volume == volNumber) paths.push_back(std::move(t));
    const std::size_t next = *sequence == NW_TRUSTEE_SCAN_START ? 0 : std::size_t{*sequence} + 1;
    if (next >= paths.size()) return NWE_NO_MORE_ENTRIES;
    *sequence = static_cast<nuint16>(next);
    if (rights) *rights = paths[next].rights;
    m::putString(path256, 256, volume->name + ":" + paths[next].path);
    return NWE_OK;
  });
}

NWCCODE NWGetEffectiveRights(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint16* rights) {
  NWSIM_SERVE_READ({
    Location at;
    if (NWCCODE rc = existingEntry(s, conn, dirHandle, path, at)) return rc;
    if (!rights) return NWE_INVALID_PARAMETER;
    *rights = callerRights(s, at);
    return NWE_OK;
  });
}

NWCCODE NWAddTrustee(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID, nuint16 rightsMask) {
  NWSIM_SERVE({ return addTrustee(s, conn, dirHandle, path, objectID, rightsMask); });
}

NWCCODE NWAddTrusteeToDirectory(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID,
                                nuint8 rightsMask) {
  NWSIM_SERVE({ return addTrustee(s, conn, dirHandle, path, objectID, rightsMask); });
}

NWCCODE NWDeleteTrusteeFromDirectory(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID) {
  NWSIM_SERVE({
    Location at;
    std::uint32_t object = 0;
    if (NWCCODE rc = changeable(s, conn, dirHandle, path, objectID, at, object)) return rc;
    if (!nwsim::Trustees(s.db()).remove(at.server.id, at.volume.number, at.path(), object))
      return NWE_TRUSTEE_NOT_FOUND;
    return NWE_OK;
  });
}

NWCCODE NWGetBinderyAccessLevel(NWCONN_HANDLE conn, nuint8* accessLevel, nuint32* objectID) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    nuint8 level = 0x00;
    if (c.objectId) level = nwsim::Bindery(s.db(), server.id).isSupervisor(c.objectId) ? 0x33 : 0x11;
    if (accessLevel) *accessLevel = level;
    if (objectID) *objectID = c.objectId ? m::wireId(c.objectId) : 0;
    return NWE_OK;
  });
}

} // extern "C"
