// Bindery objects: names, IDs and types, listings, set membership, passwords and full names.
#include "ostrel/client.h"
#include "ostrel/directory_fallback.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <array>

namespace ostrel {

using detail::client;
using detail::state;

namespace {

constexpr std::size_t kNameBuffer = 48;
constexpr std::size_t kSegment = NW_SEGMENT_SIZE;
constexpr nuint16 kUser = 0x0100;
constexpr nuint16 kGroup = 0x0200;
// Segment numbers are one byte on the wire.
constexpr int kLastSegment = 255;
// Far more objects than a bindery holds; a scan that reaches it is not advancing.
constexpr int kScanLimit = 1 << 24;

// Print servers come before file servers, so a name used for both reads as a print server.
constexpr std::array<nuint16, 14> kTypeOrder = {0x0100, 0x0200, 0x0300, 0x0700, 0x0400, 0x0500, 0x0600,
                                                0x0800, 0x0900, 0x0A00, 0x0B00, 0x2100, 0x2600, 0x2700};

/// A name in its 48-byte client buffer; false when it does not fit, since a cut name could
/// address another object.
bool toNameBuffer(char (&buffer)[kNameBuffer], const std::string& name) {
  if (name.size() >= kNameBuffer) return false;
  rtl::copyToBuffer(buffer, kNameBuffer, name);
  return true;
}

/// An entry of a set property in client form: its four bytes read lowest address first
/// into the least significant byte (the hexadecimal text of the bytes, byte-reversed).
std::int32_t setEntry(const nuint8* entry) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(entry[0]) | static_cast<std::uint32_t>(entry[1]) << 8 |
                                   static_cast<std::uint32_t>(entry[2]) << 16 |
                                   static_cast<std::uint32_t>(entry[3]) << 24);
}

/// Reads the set property segment by segment and hands each entry (empty slots included)
/// to `entry`, which returns false to stop. Stops at the first failed read (not recorded),
/// after the last segment the client announces, and after segment 255.
template <typename Entry>
void walkSet(NWCONN_HANDLE conn, const std::string& object, nuint16 type, const char* property, Entry entry) {
  char name[kNameBuffer] = {};
  if (!toNameBuffer(name, object)) return;
  for (int segment = 1; segment <= kLastSegment; ++segment) {
    nuint8 data[kSegment] = {};
    nuint8 more = 0, flags = 0;
    if (client.NWReadPropertyValue.unrecorded(conn, name, type, property, static_cast<nuint8>(segment), data, &more,
                                              &flags) != 0)
      return;
    for (std::size_t offset = 0; offset < kSegment; offset += 4)
      if (!entry(setEntry(data + offset))) return;
    if (more == 0) return;
  }
}

} // namespace

std::string getObjName(NWCONN_HANDLE conn, std::int32_t objectID) {
  if (!client.NWGetObjectName.bind()) return {};
  conn = primaryIfZero(conn);
  char name[kNameBuffer] = {};
  nuint16 type = 0;
  client.NWGetObjectName(conn, static_cast<nuint32>(objectID), name, &type);
  std::string result = rtl::bufferToString(name, kNameBuffer);
  if (result.empty() && isNDS()) return detail::directoryObjectName(conn, objectID);
  return result;
}

std::uint32_t getObjNumber(NWCONN_HANDLE& conn, const std::string& name, std::uint16_t type) {
  if (!client.NWGetObjectID.bind()) return 0;
  conn = primaryIfZero(conn);
  char buffer[kNameBuffer] = {};
  nuint32 id = 0;
  const nint32 code = toNameBuffer(buffer, rtl::UpperCase(name))
                          ? client.NWGetObjectID.unrecorded(conn, buffer, type, &id)
                          : static_cast<nint32>(NWE_INVALID_NAME);
  if (code != 0 && isNDS()) return detail::directoryObjectNumber(name);
  if (!state.record(code)) return 0;
  return id;
}

std::string getObjID(NWCONN_HANDLE conn, const std::string& name, std::uint16_t type) {
  if (isNDS()) {
    // The directory answers "" as well as "0" for a name it does not know.
    std::string id = detail::directoryObjectID(conn, name);
    if (!id.empty() && id != "0") return id;
  }
  if (!client.NWGetObjectID.bind()) return "0";
  conn = primaryIfZero(conn);
  char buffer[kNameBuffer] = {};
  nuint32 id = 0;
  if (!toNameBuffer(buffer, rtl::UpperCase(name)) || client.NWGetObjectID.unrecorded(conn, buffer, type, &id) != 0)
    return "0";
  std::string text = rtl::IntToHex(static_cast<std::uint32_t>(longSwap(static_cast<std::int32_t>(id))), 8);
  const std::size_t first = text.find_first_not_of('0');
  return first == std::string::npos ? "0" : text.substr(first);
}

std::uint16_t getObjType(NWCONN_HANDLE conn, const std::string& name) {
  conn = primaryIfZero(conn);
  for (nuint16 type : kTypeOrder)
    if (getObjNumber(conn, name, type) != 0) return type;
  return 0;
}

bool nwPassCheck(NWCONN_HANDLE conn, const std::string& name, const std::string& password) {
  if (!client.NWVerifyObjectPassword.bind()) return false;
  const std::string object = rtl::UpperCase(nwtools::allTrim(name));
  char nameBuffer[kNameBuffer] = {};
  char passwordBuffer[kNameBuffer] = {};
  if (!toNameBuffer(nameBuffer, object) || !toNameBuffer(passwordBuffer, rtl::UpperCase(nwtools::allTrim(password))))
    return false;
  // The trimmed name: blanks around it must not hide the object's type.
  const std::uint16_t type = getObjType(conn, object);
  conn = primaryIfZero(conn);
  return client.NWVerifyObjectPassword(conn, nameBuffer, type, passwordBuffer) == 0;
}

bool isConsoleOperator(NWCONN_HANDLE conn) {
  if (!client.NWCheckConsolePrivileges.bind()) return false;
  return client.NWCheckConsolePrivileges(primaryIfZero(conn)) == 0;
}

bool isNWManager(NWCONN_HANDLE conn) {
  if (!client.NWIsManager.bind()) return false;
  return client.NWIsManager(primaryIfZero(conn)) == 0;
}

std::unique_ptr<rtl::TStringList> getBinderyList(NWCONN_HANDLE conn, std::uint16_t type) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWScanObject.bind()) return list;
  conn = primaryIfZero(conn);
  nuint32 id = 0xFFFFFFFFu;
  for (int scanned = 0; scanned < kScanLimit; ++scanned) {
    const nuint32 previous = id;
    char name[kNameBuffer] = {};
    nuint16 objectType = 0;
    nuint8 hasProperties = 0, flags = 0, security = 0;
    if (client.NWScanObject.unrecorded(conn, "*", type, &id, name, &objectType, &hasProperties, &flags, &security) != 0)
      break;
    if (id == previous) break;  // no progress: the same object again
    try {
      list->AddObject(rtl::bufferToString(name, kNameBuffer), static_cast<std::intptr_t>(id));
    } catch (const rtl::Exception&) {
      break;
    }
  }
  return list;
}

std::unique_ptr<rtl::TStringList> getMemberList(NWCONN_HANDLE conn, const std::string& group, bool includeSelf) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWReadPropertyValue.bind()) return list;
  conn = primaryIfZero(conn);
  const std::string self = whoAmI(conn);
  walkSet(conn, group, kGroup, "GROUP_MEMBERS", [&](std::int32_t id) {
    const std::string member = getObjName(conn, id);
    if (!member.empty() && (includeSelf || member != self)) list->Add(member);
    return true;
  });
  return list;
}

std::unique_ptr<rtl::TStringList> getMyGroups(NWCONN_HANDLE conn, const std::string& name) {
  if (isNDS()) return detail::directoryGroups(name);
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWReadPropertyValue.bind()) return list;
  conn = primaryIfZero(conn);
  walkSet(conn, name, kUser, "GROUPS_I'M_IN", [&](std::int32_t id) {
    const std::string group = getObjName(conn, id);
    if (!group.empty()) list->Add(group);
    return true;
  });
  return list;
}

bool secureEquiv(NWCONN_HANDLE conn, const std::string& name, const std::string& other) {
  if (!client.NWReadPropertyValue.bind()) return false;
  const std::string object = rtl::UpperCase(name);
  const std::string target = rtl::UpperCase(other);
  conn = primaryIfZero(conn);
  if (object == target) return true;
  bool found = false;
  walkSet(conn, object, kUser, "SECURITY_EQUALS", [&](std::int32_t id) {
    const std::string equal = getObjName(conn, id);
    found = !equal.empty() && equal == target;
    return !found;
  });
  return found;
}

bool isMember(NWCONN_HANDLE conn, const std::string& member, const std::string& group) {
  if (!client.NWIsObjectInSet.bind()) return false;
  char groupBuffer[kNameBuffer] = {};
  char memberBuffer[kNameBuffer] = {};
  if (!toNameBuffer(groupBuffer, rtl::UpperCase(group)) || !toNameBuffer(memberBuffer, rtl::UpperCase(member)))
    return false;
  conn = primaryIfZero(conn);
  return client.NWIsObjectInSet.unrecorded(conn, groupBuffer, kGroup, "GROUP_MEMBERS", memberBuffer, kUser) == 0;
}

bool isInList(NWCONN_HANDLE conn, const std::string& list) {
  conn = primaryIfZero(conn);
  std::string self;
  bool selfKnown = false;
  auto me = [&]() -> const std::string& {
    if (!selfKnown) self = whoAmI(conn), selfKnown = true;
    return self;
  };
  // One pass over the text; a trailing comma gives an empty last item.
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = list.find(',', start);
    const std::string item =
        rtl::UpperCase(nwtools::allTrim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    const std::uint16_t type = getObjType(conn, item);
    // A user item is also tried as a group: with directory fallback a group the directory
    // knows reads as a user.
    if (type == kUser && (item == me() || isMember(conn, me(), item))) return true;
    if (type == kGroup && isMember(conn, me(), item)) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

std::string fullName(NWCONN_HANDLE conn, const std::string& name) {
  if (isNDS()) {
    std::string text;
    if (detail::directoryFullName(name, text)) return text;
  }
  const std::string result = rtl::UpperCase(nwtools::allTrim(name));
  if (!client.NWReadPropertyValue.bind()) return result;
  conn = primaryIfZero(conn);
  char object[kNameBuffer] = {};
  if (!toNameBuffer(object, result)) return result;
  const std::uint16_t type = getObjType(conn, result);
  nuint8 data[kSegment] = {};
  nuint8 more = 0, flags = 0;
  if (client.NWReadPropertyValue.unrecorded(conn, object, type, "IDENTIFICATION", 1, data, &more, &flags) != 0)
    return result;
  return rtl::bufferToString(reinterpret_cast<const char*>(data), kSegment);
}

} // namespace ostrel
