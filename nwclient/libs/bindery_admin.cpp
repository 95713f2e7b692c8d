// Client functions of bindery administration: objects, properties, set members, passwords,
// security levels and account balances, each checked against the caller's security level.
#include "bindery_call.h"

#include <bindery_admin.h>

#include <cstring>

using nwsim::Bindery;
using nwsim::BinderyAdmin;
using nwsim::Connection;
using nwsim::Server;
using nwsim::Session;
using nwsim::bindcall::name;
using nwsim::bindcall::object;
namespace m = nwsim::marshal;

namespace {

// The object of a call with the administration it goes through, as the caller's level.
struct Target {
  Connection c;
  Server server;
  Bindery::Object o;
  std::optional<BinderyAdmin> admin;

  NWCCODE open(Session& s, NWCONN_HANDLE conn, const char* objectName, nuint16 type) {
    if (NWCCODE rc = object(s, conn, objectName, type, c, server, o)) return rc;
    admin.emplace(s.db(), server.id, c.objectId);
    return NWE_OK;
  }
};

// An object and one of its properties by name.
NWCCODE propertyTarget(Session& s, NWCONN_HANDLE conn, const char* objectName, nuint16 type,
                       const char* propertyName, Target& t, std::string& property) {
  if (NWCCODE rc = t.open(s, conn, objectName, type)) return rc;
  return name(propertyName, property);
}

// A set change: the holder, its property and the member.
template <typename Change>
NWCCODE setChange(Session& s, NWCONN_HANDLE conn, const char* objectName, nuint16 type, const char* propertyName,
                  const char* memberName, nuint16 memberType, Change change) {
  Target t;
  std::string property;
  if (NWCCODE rc = propertyTarget(s, conn, objectName, type, propertyName, t, property)) return rc;
  Server server;
  Bindery::Object member;
  if (NWCCODE rc = object(s, conn, memberName, memberType, server, member)) return rc;
  return change(*t.admin, t.o, property, member.id);
}

std::int32_t highFirst(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                                   std::uint32_t(p[2]) << 8 | p[3]);
}

} // namespace

extern "C" {

NWCCODE NWCreateObject(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, nuint8 objectFlags,
                       nuint8 objectSecurity) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    std::string n;
    if (NWCCODE rc = name(objectName, n)) return rc;
    return BinderyAdmin(s.db(), server.id, c.objectId).createObject(n, objectType, objectFlags, objectSecurity);
  });
}

NWCCODE NWDeleteObject(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType) {
  NWSIM_SERVE({
    Target t;
    if (NWCCODE rc = t.open(s, conn, objectName, objectType)) return rc;
    return t.admin->deleteObject(t.o);
  });
}

NWCCODE NWRenameObject(NWCONN_HANDLE conn, const char* oldName, const char* newName, nuint16 objectType) {
  NWSIM_SERVE({
    Target t;
    if (NWCCODE rc = t.open(s, conn, oldName, objectType)) return rc;
    std::string n;
    if (NWCCODE rc = name(newName, n)) return rc;
    return t.admin->renameObject(t.o, n);
  });
}

NWCCODE NWChangeObjectPassword(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                               const char* oldPassword, const char* newPassword) {
  NWSIM_SERVE({
    Target t;
    if (NWCCODE rc = t.open(s, conn, objectName, objectType)) return rc;
    if (!oldPassword || !newPassword) return NWE_INVALID_PARAMETER;
    return t.admin->changePassword(t.o, m::getString(oldPassword, 128), m::getString(newPassword, 128));
  });
}

NWCCODE NWChangeObjectSecurity(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, nuint8 newSecurity) {
  NWSIM_SERVE({
    Target t;
    if (NWCCODE rc = t.open(s, conn, objectName, objectType)) return rc;
    return t.admin->changeObjectSecurity(t.o, newSecurity);
  });
}

NWCCODE NWCreateProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* propertyName,
                         nuint8 propertyFlags, nuint8 propertySecurity) {
  NWSIM_SERVE({
    Target t;
    std::string property;
    if (NWCCODE rc = propertyTarget(s, conn, objectName, objectType, propertyName, t, property)) return rc;
    if (property.size() > 15) return NWE_INVALID_NAME;
    return t.admin->createProperty(t.o, property, propertyFlags, propertySecurity);
  });
}

NWCCODE NWDeleteProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* propertyName) {
  NWSIM_SERVE({
    Target t;
    std::string property;
    if (NWCCODE rc = propertyTarget(s, conn, objectName, objectType, propertyName, t, property)) return rc;
    return t.admin->deleteProperty(t.o, property);
  });
}

NWCCODE NWChangePropertySecurity(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                                 const char* propertyName, nuint8 newSecurity) {
  NWSIM_SERVE({
    Target t;
    std::string property;
    if (NWCCODE rc = propertyTarget(s, conn, objectName, objectType, propertyName, t, property)) return rc;
    return t.admin->changePropertySecurity(t.o, property, newSecurity);
  });
}

NWCCODE NWWritePropertyValue(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                             const char* propertyName, nuint8 segment, const nuint8* segmentData128,
                             nuint8 moreSegments) {
  NWSIM_SERVE({
    Target t;
    std::string property;
    if (NWCCODE rc = propertyTarget(s, conn, objectName, objectType, propertyName, t, property)) return rc;
    if (!segmentData128) return NWE_INVALID_PARAMETER;
    std::vector<std::uint8_t> data(segmentData128, segmentData128 + NW_SEGMENT_SIZE);
    return t.admin->writeSegment(t.o, property, segment, data, moreSegments != 0);
  });
}

NWCCODE NWAddObjectToSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* propertyName,
                         const char* memberName, nuint16 memberType) {
  NWSIM_SERVE({
    return setChange(s, conn, objectName, objectType, propertyName, memberName, memberType,
                     [](BinderyAdmin& a, const Bindery::Object& o, const std::string& p, std::uint32_t member) {
                       return a.addMember(o, p, member);
                     });
  });
}

NWCCODE NWDeleteObjectFromSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                              const char* propertyName, const char* memberName, nuint16 memberType) {
  NWSIM_SERVE({
    return setChange(s, conn, objectName, objectType, propertyName, memberName, memberType,
                     [](BinderyAdmin& a, const Bindery::Object& o, const std::string& p, std::uint32_t member) {
                       return a.removeMember(o, p, member);
                     });
  });
}

NWCCODE NWScanProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* searchPropertyName,
                       nint32* iterationHandle, char* propertyName16, nuint8* propertyFlags, nuint8* propertySecurity,
                       nuint8* valuesAvailable, nuint8* moreFlag) {
  NWSIM_SERVE_READ({
    Target t;
    std::string pattern;
    if (NWCCODE rc = propertyTarget(s, conn, objectName, objectType, searchPropertyName, t, pattern)) return rc;
    if (!iterationHandle) return NWE_INVALID_PARAMETER;
    // The handle is the index, in name order, of the property returned last.
    const auto all = t.admin->properties(t.o.id);
    auto visible = [&](std::size_t i) {
      return Bindery::matches(pattern, all[i].name) && t.admin->mayRead(t.o.id, all[i].security);
    };
    std::size_t i = *iterationHandle < 0 ? 0 : static_cast<std::size_t>(*iterationHandle) + 1;
    while (i < all.size() && !visible(i)) ++i;
    if (i >= all.size()) return NWE_NO_SUCH_PROPERTY;
    std::size_t next = i + 1;
    while (next < all.size() && !visible(next)) ++next;
    *iterationHandle = static_cast<nint32>(i);
    m::putString(propertyName16, 16, all[i].name);
    if (propertyFlags) *propertyFlags = static_cast<nuint8>(all[i].flags);
    if (propertySecurity) *propertySecurity = static_cast<nuint8>(all[i].security);
    if (valuesAvailable) {
      bool more = false;
      *valuesAvailable = t.admin->bindery().segment(t.o.id, all[i].name, 1, more) ? 0xFF : 0;
    }
    if (moreFlag) *moreFlag = next < all.size() ? 0xFF : 0;
    return NWE_OK;
  });
}

NWCCODE NWGetAccountStatus(NWCONN_HANDLE conn, nuint16 objectType, const char* objectName, nint32* balance,
                           nint32* limit, void* holds180) {
  NWSIM_SERVE_READ({
    Target t;
    if (NWCCODE rc = t.open(s, conn, objectName, objectType)) return rc;
    if (holds180) std::memset(holds180, 0, 180);
    BinderyAdmin::Property p;
    if (NWCCODE rc = t.admin->readable(t.o, "ACCOUNT_BALANCE", p))
      return rc == NWE_NO_SUCH_PROPERTY ? NWCCODE(NWE_NO_ACCOUNT_BALANCE) : rc;
    bool more = false;
    auto data = t.admin->bindery().segment(t.o.id, p.name, 1, more);
    if (!data) return NWE_NO_ACCOUNT_BALANCE;
    if (balance) *balance = highFirst(data->data());
    if (limit) *limit = highFirst(data->data() + 4);
    return NWE_OK;
  });
}

} // extern "C"
