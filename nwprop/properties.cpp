// Bindery properties: item and set values, the property list, security, login restrictions
// and account balances.
#include "nwprop/client.h"
#include "nwprop/names.h"

#include <nwtools/bytedates.h>

#include <algorithm>
#include <cstring>

namespace nwprop {

using detail::binderyName;
using detail::client;
using detail::kNameBuffer;
using detail::kSegment;
using detail::state;
using detail::toNameBuffer;
using detail::toNameBuffers;
using nwtools::getByteDate;
using nwtools::putByteDate;

namespace {

constexpr std::uint16_t kUser = 0x0100;
// Segment numbers are one byte on the wire.
constexpr int kLastSegment = 255;

/// Reads a property segment by segment and hands each 128-byte segment to `segment`. A
/// failed read is recorded only while `nothingYet()` holds; the walk also ends after the last
/// segment the client announces and after segment 255.
template <typename Segment, typename NothingYet>
void walkSegments(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                  const std::string& propertyName, Segment segment, NothingYet nothingYet) {
  if (!client.NWReadPropertyValue.bind()) return;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {}, property[kNameBuffer] = {};
  if (!toNameBuffers(object, objectName, property, rtl::UpperCase(propertyName))) return;
  for (int number = 1; number <= kLastSegment; ++number) {
    nuint8 data[kSegment] = {};
    nuint8 more = 0, flags = 0;
    const NWCCODE code = client.NWReadPropertyValue.unrecorded(conn, object, objectType, property,
                                                               static_cast<nuint8>(number), data, &more, &flags);
    if (code != 0) {
      if (nothingYet()) state.record(code);
      return;
    }
    segment(data);
    if (more == 0) return;
  }
}

void putHighFirst16(std::uint8_t* out, std::uint16_t v) {
  out[0] = static_cast<std::uint8_t>(v >> 8);
  out[1] = static_cast<std::uint8_t>(v);
}
std::uint16_t getHighFirst16(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] << 8 | in[1]); }
void putLowFirst32(std::uint8_t* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t getLowFirst32(const std::uint8_t* in) {
  return std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16 | std::uint32_t(in[3]) << 24;
}

/// Security changes of an object or one of its properties: false without a call when the
/// object's type cannot be found.
template <typename Entry, typename... Property>
bool changeSecurity(Entry& entry, NWCONN_HANDLE conn, const std::string& objectName, std::uint8_t security,
                    const Property&... property) {
  if (!entry.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string object = binderyName(objectName);
  char o[kNameBuffer] = {}, p[kNameBuffer] = {};
  if (!toNameBuffer(o, object) || !toNameBuffer(p, binderyName((std::string() + ... + property)))) return false;
  const std::uint16_t type = ostrel::getObjType(conn, object);
  if (type < kUser) return false;
  if constexpr (sizeof...(Property) == 0) return entry(conn, o, type, security) == 0;
  else return entry(conn, o, type, p, security) == 0;
}

} // namespace

bool writeItemProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                       const std::string& value, const std::string& propertyName) {
  if (!client.NWWritePropertyValue.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {}, property[kNameBuffer] = {};
  if (!toNameBuffers(object, binderyName(objectName), property, binderyName(propertyName))) return false;
  char segment[kSegment] = {};
  rtl::copyToBuffer(segment, kSegment, nwtools::allTrim(value));
  return client.NWWritePropertyValue(conn, object, objectType, property, 1, reinterpret_cast<nuint8*>(segment), 0) ==
         0;
}

std::string readItemProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                             const std::string& propertyName) {
  if (!client.NWReadPropertyValue.bind()) return {};
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {}, property[kNameBuffer] = {};
  if (!toNameBuffers(object, objectName, property, rtl::UpperCase(propertyName))) return {};
  char segment[kSegment] = {};
  nuint8 more = 0, flags = 0;
  if (client.NWReadPropertyValue(conn, object, objectType, property, 1, reinterpret_cast<nuint8*>(segment), &more,
                                 &flags) != 0)
    return {};
  return rtl::bufferToString(segment, kSegment);
}

bool createProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                    const std::string& propertyName, std::uint8_t setFlag, bool isStatic, std::uint8_t readSecurity,
                    std::uint8_t writeSecurity) {
  if (!client.NWCreateProperty.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {}, property[kNameBuffer] = {};
  if (!toNameBuffers(object, binderyName(objectName), property, binderyName(propertyName))) return false;
  const auto flags = static_cast<nuint8>((isStatic ? 0 : 1) | setFlag);
  return client.NWCreateProperty(conn, object, objectType, property, flags, readSecurity | writeSecurity) == 0;
}

bool deleteProperty(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName) {
  if (!client.NWDeleteProperty.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::string name = binderyName(objectName);
  char object[kNameBuffer] = {}, property[kNameBuffer] = {};
  if (!toNameBuffers(object, name, property, binderyName(propertyName))) return false;
  return client.NWDeleteProperty(conn, object, ostrel::getObjType(conn, name), property) == 0;
}

bool changeObjectSecurity(NWCONN_HANDLE conn, const std::string& name, std::uint8_t readSecurity,
                          std::uint8_t writeSecurity) {
  return changeSecurity(client.NWChangeObjectSecurity, conn, name, static_cast<std::uint8_t>(readSecurity | writeSecurity));
}

bool changePropertySecurity(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                            std::uint8_t readSecurity, std::uint8_t writeSecurity) {
  return changeSecurity(client.NWChangePropertySecurity, conn, objectName,
                        static_cast<std::uint8_t>(readSecurity | writeSecurity), propertyName);
}

std::unique_ptr<rtl::TStringList> getPropertyList(NWCONN_HANDLE conn, const std::string& objectName,
                                                  const std::string& pattern) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWScanProperty.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  const std::string name = binderyName(objectName);
  char object[kNameBuffer] = {}, search[kNameBuffer] = {};
  if (!toNameBuffers(object, name, search, binderyName(pattern))) return list;
  // The type is looked up once for the whole scan.
  const std::uint16_t type = ostrel::getObjType(conn, name);
  nint32 handle = -1;
  for (;;) {
    char property[kNameBuffer] = {};
    nuint8 flags = 0, security = 0, values = 0, more = 0;
    const nint32 before = handle;
    if (client.NWScanProperty.unrecorded(conn, object, type, search, &handle, property, &flags, &security, &values,
                                         &more) != 0)
      break;
    list->Add(rtl::bufferToString(property, kNameBuffer));
    // A client that does not advance would keep answering the same property.
    if (more == 0 || handle == before) break;
  }
  list->Sort();
  return list;
}

std::unique_ptr<rtl::TStringList> readSetProperty(NWCONN_HANDLE conn, const std::string& objectName,
                                                  std::uint16_t objectType, const std::string& propertyName) {
  auto list = std::make_unique<rtl::TStringList>();
  walkSegments(
      conn, objectName, objectType, propertyName,
      [&](const nuint8* data) {
        std::string text = rtl::bufferToString(reinterpret_cast<const char*>(data), kSegment);
        if (!text.empty()) list->Add(text);
      },
      [&] { return list->Empty(); });
  return list;
}

std::unique_ptr<rtl::TStringList> readObjNamesFromSet(NWCONN_HANDLE conn, const std::string& objectName,
                                                      std::uint16_t objectType, const std::string& propertyName) {
  auto list = std::make_unique<rtl::TStringList>();
  conn = ostrel::primaryIfZero(conn);
  walkSegments(
      conn, objectName, objectType, propertyName,
      [&](const nuint8* data) {
        for (std::size_t i = 0; i < kSegment; i += 4) {
          // Stored most significant byte first; the client takes the bytes reversed.
          const auto stored = static_cast<std::int32_t>(std::uint32_t(data[i]) << 24 | std::uint32_t(data[i + 1]) << 16 |
                                                        std::uint32_t(data[i + 2]) << 8 | data[i + 3]);
          if (stored == 0) continue;
          std::string member = ostrel::getObjName(conn, ostrel::longSwap(stored));
          if (!member.empty()) list->Add(member);
        }
      },
      [&] { return list->Empty(); });
  return list;
}

bool setLoginControl(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                     const TNWLoginControl& control) {
  if (!client.NWWritePropertyValue.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {};
  if (!toNameBuffer(object, binderyName(objectName))) return false;
  // Start from the stored value, so that what the record does not carry (the login time map
  // among it) survives; a new value starts with every hour allowed and zeros.
  nuint8 value[kSegment] = {};
  nuint8 more = 0, flags = 0;
  if (!client.NWReadPropertyValue.bind() ||
      client.NWReadPropertyValue.unrecorded(conn, object, objectType, "LOGIN_CONTROL", 1, value, &more, &flags) != 0) {
    std::memset(value, 0, sizeof value);
    std::memset(value + 14, 0xFF, 42);
  }
  std::memset(value, 0, 14);
  if (control.accountExpires > 0) putByteDate(value, control.accountExpires, false);
  value[3] = control.accountDisabled ? 1 : 0;
  if (control.passwordExpires > 0) putByteDate(value + 4, control.passwordExpires, false);
  value[7] = control.graceLogins;
  putHighFirst16(value + 8, control.passwordInterval);
  value[10] = control.graceReset;
  value[11] = control.minPasswordLength;
  putHighFirst16(value + 12, control.maxConnections);
  std::memset(value + 56, 0, 6);
  if (control.lastLogin > 0) putByteDate(value + 56, control.lastLogin, true);
  value[62] = control.restrictions;
  putLowFirst32(value + 64, control.maxDiskBlocks);
  putHighFirst16(value + 68, control.badLoginCount);
  putLowFirst32(value + 72, control.auxLong);
  return client.NWWritePropertyValue(conn, object, objectType, "LOGIN_CONTROL", 1, value, 0) == 0;
}

bool getLoginControl(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                     TNWLoginControl& control) {
  if (!client.NWReadPropertyValue.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {};
  if (!toNameBuffer(object, rtl::UpperCase(objectName))) return false;
  nuint8 value[kSegment] = {};
  nuint8 more = 0, flags = 0;
  if (client.NWReadPropertyValue(conn, object, objectType, "LOGIN_CONTROL", 1, value, &more, &flags) != 0) return false;
  if (value[0] != 0 && !getByteDate(value, false, control.accountExpires)) return false;
  if (value[4] != 0 && !getByteDate(value + 4, false, control.passwordExpires)) return false;
  if (value[56] != 0 && !getByteDate(value + 56, true, control.lastLogin)) return false;
  control.accountDisabled = value[3] == 1;
  control.graceLogins = value[7];
  control.passwordInterval = getHighFirst16(value + 8);
  control.graceReset = value[10];
  control.minPasswordLength = value[11];
  control.maxConnections = getHighFirst16(value + 12);
  control.restrictions = value[62];
  control.maxDiskBlocks = getLowFirst32(value + 64);
  control.badLoginCount = getHighFirst16(value + 68);
  control.auxLong = getLowFirst32(value + 72);
  return true;
}

bool getAccountStatus(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                      TNWAccountStatus& status) {
  if (!client.NWGetAccountStatus.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char object[kNameBuffer] = {};
  if (!toNameBuffer(object, objectName)) return false;
  nuint8 holds[180] = {};
  nint32 balance = 0, limit = 0;
  if (client.NWGetAccountStatus(conn, objectType, object, &balance, &limit, holds) != 0) return false;
  status.balance = balance;
  status.limit = limit;
  return true;
}

} // namespace nwprop
