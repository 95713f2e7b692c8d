// Bindery objects: create, delete, rename, passwords, security, set members and groups.
#include "nwprop/client.h"
#include "nwprop/names.h"

namespace nwprop {

using detail::binderyName;
using detail::client;
using detail::kNameBuffer;
using detail::toNameBuffer;
using detail::toNameBuffers;

namespace {

constexpr std::uint16_t kUser = 0x0100;
constexpr std::uint16_t kGroup = 0x0200;
constexpr std::uint16_t kPrintQueue = 0x0300;
constexpr std::uint16_t kPrintServer = 0x0700;

struct StandardProperty {
  const char* name;
  std::uint8_t flags;
  std::uint8_t security;
};

// A set change: both types looked up by name and both at least 0x0100, else no call.
template <typename Entry>
bool changeSet(Entry& entry, NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
               const std::string& memberName) {
  if (!entry.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string object = binderyName(objectName), member = binderyName(memberName);
  char o[kNameBuffer] = {}, p[kNameBuffer] = {}, m[kNameBuffer] = {};
  if (!toNameBuffers(o, object, m, member) || !toNameBuffer(p, binderyName(propertyName))) return false;
  const std::uint16_t type = ostrel::getObjType(conn, object);
  const std::uint16_t memberType = ostrel::getObjType(conn, member);
  if (type < kUser || memberType < kUser) return false;
  return entry(conn, o, type, p, m, memberType) == 0;
}

// The three sets a group membership lives in, in the order they change.
template <typename Change>
bool changeGroup(NWCONN_HANDLE conn, const std::string& group, const std::string& user, Change change) {
  return change(conn, user, "GROUPS_I'M_IN", group) && change(conn, user, "SECURITY_EQUALS", group) &&
         change(conn, group, "GROUP_MEMBERS", user);
}

} // namespace

bool createObject(NWCONN_HANDLE conn, const std::string& name, std::uint16_t objectType, const std::string& fullName,
                  const std::string& password, bool isStatic, std::uint8_t readSecurity, std::uint8_t writeSecurity) {
  if (!client.NWCreateObject.bind() || !client.NWCreateProperty.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char buffer[kNameBuffer] = {};
  if (!toNameBuffer(buffer, name)) return false;
  // The object's own call records nothing: only the calls made through other operations do.
  if (client.NWCreateObject.unrecorded(conn, buffer, objectType, isStatic ? 0 : 1, readSecurity | writeSecurity) != 0)
    return false;

  static constexpr StandardProperty user[] = {{"IDENTIFICATION", 0, 0x20}, {"GROUPS_I'M_IN", 2, 0x31},
                                              {"SECURITY_EQUALS", 2, 0x32}, {"LOGIN_CONTROL", 0, 0x32},
                                              {"MISC_LOGIN_INFO", 0, 0x32}};
  static constexpr StandardProperty group[] = {{"IDENTIFICATION", 0, 0x20}, {"GROUP_MEMBERS", 2, 0x31}};
  static constexpr StandardProperty queue[] = {
      {"Q_USERS", 2, 0x31}, {"Q_SERVERS", 2, 0x31}, {"Q_OPERATORS", 2, 0x31}, {"Q_DIRECTORY", 0, 0x31}};
  static constexpr StandardProperty printServer[] = {
      {"IDENTIFICATION", 0, 0x20}, {"PS_OPERATORS", 2, 0x30}, {"PS_USERS", 2, 0x30}, {"LOGIN_CONTROL", 0, 0x32}};
  const StandardProperty* first = nullptr;
  std::size_t count = 0;
  switch (objectType) {
    case kUser: first = user; count = std::size(user); break;
    case kGroup: first = group; count = std::size(group); break;
    case kPrintQueue: first = queue; count = std::size(queue); break;
    case kPrintServer: first = printServer; count = std::size(printServer); break;
    default: return false;
  }
  const std::string object = binderyName(name);
  char objectBuffer[kNameBuffer] = {};
  toNameBuffer(objectBuffer, object);
  for (std::size_t i = 0; i < count; ++i) {
    const bool made = client.NWCreateProperty.unrecorded(conn, objectBuffer, objectType, first[i].name, first[i].flags,
                                                         first[i].security) == 0;
    // Only the first property decides the result.
    if (i == 0 && !made) return false;
    if (i == 0 && std::string(first[i].name) == "IDENTIFICATION") {
      writeItemProperty(conn, object, objectType, fullName, "IDENTIFICATION");
      if (objectType == kUser) changeNWPassword(conn, object, password, "");
    }
  }
  if (objectType == kUser) addUserToGroup(conn, "EVERYONE", object);
  return true;
}

bool deleteObject(NWCONN_HANDLE conn, const std::string& name) {
  if (!client.NWDeleteObject.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string object = binderyName(name);
  char buffer[kNameBuffer] = {};
  if (!toNameBuffer(buffer, object)) return false;
  return client.NWDeleteObject(conn, buffer, ostrel::getObjType(conn, object)) == 0;
}

bool renameObject(NWCONN_HANDLE conn, const std::string& oldName, const std::string& newName, std::uint16_t objectType) {
  if (!client.NWRenameObject.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char from[kNameBuffer] = {}, to[kNameBuffer] = {};
  if (!toNameBuffers(from, binderyName(oldName), to, binderyName(newName))) return false;
  return client.NWRenameObject(conn, from, to, objectType) == 0;
}

bool changeNWPassword(NWCONN_HANDLE conn, const std::string& objectName, const std::string& newPassword,
                      const std::string& oldPassword) {
  if (!client.NWChangeObjectPassword.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string object = binderyName(objectName);
  char name[kNameBuffer] = {}, oldBuffer[kNameBuffer] = {}, newBuffer[kNameBuffer] = {};
  if (!toNameBuffer(name, object)) return false;
  // Passwords are cut, as every operation that sets or checks one cuts them alike.
  rtl::copyToBuffer(oldBuffer, kNameBuffer, binderyName(oldPassword));
  rtl::copyToBuffer(newBuffer, kNameBuffer, binderyName(newPassword));
  return client.NWChangeObjectPassword(conn, name, ostrel::getObjType(conn, object), oldBuffer, newBuffer) == 0;
}

bool addObjectToSet(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                    const std::string& memberName) {
  return changeSet(client.NWAddObjectToSet, conn, objectName, propertyName, memberName);
}

bool deleteObjectFromSet(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                         const std::string& memberName) {
  return changeSet(client.NWDeleteObjectFromSet, conn, objectName, propertyName, memberName);
}

bool addUserToGroup(NWCONN_HANDLE conn, const std::string& group, const std::string& user) {
  return changeGroup(conn, group, user, addObjectToSet);
}

bool deleteUserFromGroup(NWCONN_HANDLE conn, const std::string& group, const std::string& user) {
  return changeGroup(conn, group, user, deleteObjectFromSet);
}

bool getObjectInfo(NWCONN_HANDLE conn, const std::string& name, bool& hasProperties, std::uint8_t& readSecurity,
                   std::uint8_t& writeSecurity) {
  if (!client.NWScanObject.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string object = binderyName(name);
  char buffer[kNameBuffer] = {}, found[kNameBuffer] = {};
  if (!toNameBuffer(buffer, object)) return false;
  nuint32 id = 0xFFFFFFFFu;
  nuint16 type = 0;
  nuint8 properties = 0, flags = 0, security = 0;
  if (client.NWScanObject(conn, buffer, ostrel::getObjType(conn, object), &id, found, &type, &properties, &flags,
                          &security) != 0)
    return false;
  hasProperties = properties > 0;
  readSecurity = (security & 0x04) ? 4 : (security & 0x03);
  writeSecurity = (security & 0x40) ? 0x40 : (security & 0x30);
  return true;
}

} // namespace nwprop
