// Client functions of the bindery: objects by name, ID and pattern, property values,
// membership, passwords and the caller's privileges.
#include "bindery_call.h"

#include <bindery_admin.h>

#include <nwclient/nwclient.h>

#include <cstring>

using nwsim::Bindery;
using nwsim::Connection;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

using nwsim::bindcall::kNameSize;
using nwsim::bindcall::name;
using nwsim::bindcall::object;

namespace {

// Every directory server that is up advertises its tree under this type, as the tree name
// with blanks written as "_" and padded with "_" to 32 characters; the advertisement's ID is
// the server's. Advertisements are dynamic: they are seen from any server.
constexpr nuint16 kTreeAdvertisement = 0x7802;
constexpr std::size_t kTreeNameChars = 32;

std::optional<std::pair<std::uint32_t, std::string>> nextTreeAdvertisement(Session& s, const std::string& pattern,
                                                                          std::optional<std::uint32_t> after) {
  std::optional<std::pair<std::uint32_t, std::string>> found;
  s.db().prepare("SELECT id, tree FROM servers WHERE kind='directory' AND up=1 AND id>? ORDER BY id")
      .with(after ? static_cast<std::int64_t>(*after) : std::int64_t{0})
      .each([&](nwsim::Stmt& q) {
        if (found) return;
        std::string name = Bindery::upper(q.text(1)).substr(0, kTreeNameChars);
        for (char& ch : name)
          if (ch == ' ') ch = '_';
        name.resize(kTreeNameChars, '_');
        if (Bindery::matches(pattern, name)) found = {static_cast<std::uint32_t>(q.int64(0)), name};
      });
  return found;
}

} // namespace

extern "C" {

NWCCODE NWScanObject(NWCONN_HANDLE conn, const char* searchName, nuint16 objectType, nuint32* objectID,
                     char* objectName48, nuint16* rObjectType, nuint8* hasProperties, nuint8* objectFlags,
                     nuint8* security) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    std::string pattern;
    if (NWCCODE rc = name(searchName, pattern)) return rc;
    if (!objectID) return NWE_INVALID_PARAMETER;
    std::optional<std::uint32_t> after;
    if (*objectID != 0xFFFFFFFFu) after = m::wireId(*objectID);
    if (objectType == kTreeAdvertisement) {
      auto ad = nextTreeAdvertisement(s, pattern, after);
      if (!ad) return NWE_NO_SUCH_OBJECT;
      *objectID = m::wireId(ad->first);
      m::putString(objectName48, kNameSize, ad->second);
      if (rObjectType) *rObjectType = kTreeAdvertisement;
      if (hasProperties) *hasProperties = 0;
      if (objectFlags) *objectFlags = 1;  // dynamic
      if (security) *security = 0;
      return NWE_OK;
    }
    Bindery b(s.db(), server.id);
    auto o = b.next(pattern, objectType, after);
    if (!o) return NWE_NO_SUCH_OBJECT;
    *objectID = m::wireId(o->id);
    m::putString(objectName48, kNameSize, o->name);
    if (rObjectType) *rObjectType = o->type;
    if (hasProperties) *hasProperties = b.hasProperties(o->id) ? 0xFF : 0;
    if (objectFlags) *objectFlags = static_cast<nuint8>(o->flags);
    if (security) *security = static_cast<nuint8>(o->security);
    return NWE_OK;
  });
}

NWCCODE NWGetObjectID(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, nuint32* objectID) {
  NWSIM_SERVE_READ({
    Server server;
    Bindery::Object o;
    if (NWCCODE rc = object(s, conn, objectName, objectType, server, o)) return rc;
    if (objectID) *objectID = m::wireId(o.id);
    return NWE_OK;
  });
}

NWCCODE NWGetObjectName(NWCONN_HANDLE conn, nuint32 objectID, char* objectName48, nuint16* objectType) {
  NWSIM_SERVE_READ({
    m::putString(objectName48, kNameSize, {});
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    auto o = Bindery(s.db(), server.id).byId(m::wireId(objectID));
    if (!o) return NWE_NO_SUCH_OBJECT;
    m::putString(objectName48, kNameSize, o->name);
    if (objectType) *objectType = o->type;
    return NWE_OK;
  });
}

NWCCODE NWReadPropertyValue(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* propertyName,
                            nuint8 segment, nuint8* segmentData128, nuint8* moreSegments, nuint8* propertyFlags) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    Bindery::Object o;
    if (NWCCODE rc = object(s, conn, objectName, objectType, c, server, o)) return rc;
    std::string property;
    if (NWCCODE rc = name(propertyName, property)) return rc;
    nwsim::BinderyAdmin admin(s.db(), server.id, c.objectId);
    nwsim::BinderyAdmin::Property p;
    if (NWCCODE rc = admin.readable(o, property, p)) return rc;
    const auto flags = std::optional<int>(p.flags);
    bool more = false;
    auto data = segment ? admin.bindery().segment(o.id, property, segment, more) : std::nullopt;
    if (!data) return NWE_NO_SUCH_SEGMENT;
    if (segmentData128) std::memcpy(segmentData128, data->data(), NW_SEGMENT_SIZE);
    if (moreSegments) *moreSegments = more ? 0xFF : 0;
    if (propertyFlags) *propertyFlags = static_cast<nuint8>(*flags);
    return NWE_OK;
  });
}

NWCCODE NWIsObjectInSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* propertyName,
                        const char* memberName, nuint16 memberType) {
  NWSIM_SERVE_READ({
    Server server;
    Bindery::Object o, member;
    if (NWCCODE rc = object(s, conn, objectName, objectType, server, o)) return rc;
    if (NWCCODE rc = object(s, conn, memberName, memberType, server, member)) return rc;
    std::string property;
    if (NWCCODE rc = name(propertyName, property)) return rc;
    Bindery b(s.db(), server.id);
    if (!b.propertyFlags(o.id, property)) return NWE_NO_SUCH_PROPERTY;
    return b.inSet(o.id, property, member.id) ? NWCCODE(NWE_OK) : NWCCODE(NWE_NO_SUCH_MEMBER);
  });
}

NWCCODE NWVerifyObjectPassword(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* password) {
  NWSIM_SERVE_READ({
    Server server;
    Bindery::Object o;
    if (NWCCODE rc = object(s, conn, objectName, objectType, server, o)) return rc;
    if (!password) return NWE_INVALID_PARAMETER;
    return Bindery(s.db(), server.id).checkPassword(o.id, m::getString(password, 128)) ? NWE_OK : NWE_BAD_PASSWORD;
  });
}

NWCCODE NWCheckConsolePrivileges(NWCONN_HANDLE conn) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    return Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name) ? NWE_OK : NWE_NO_CONSOLE_RIGHTS;
  });
}

NWCCODE NWIsManager(NWCONN_HANDLE conn) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    return Bindery(s.db(), server.id).isManager(c.objectId) ? NWE_OK : NWE_NO_CONSOLE_RIGHTS;
  });
}

} // extern "C"
