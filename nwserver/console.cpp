// Server console operations: logins on and off, down, clock, modules, command files,
// volumes and settings.
#include "nwserver/client.h"

#include <algorithm>
#include <unordered_set>

namespace nwserver {

using detail::client;
using detail::state;
using detail::toBuffer;

namespace {

constexpr std::size_t kNameBuffer = 48;
constexpr std::size_t kVolumeBuffer = 16;
constexpr std::size_t kModuleBuffer = 128;
constexpr std::size_t kTextBuffer = 128;

/// The text a module or command-file path is sent as: the client's volume form when the
/// path parses on the connection, otherwise `fallback`.
std::string serverPath(NWCONN_HANDLE conn, const std::string& path, const std::string& fallback) {
  ostrel::TNWPathInfo info;
  return ostrel::parseNetwarePath(conn, path, info) ? info.fullPath : fallback;
}

} // namespace

bool serverLoginOK(NWCONN_HANDLE conn) {
  if (!client.NWGetFileServerLoginStatus.bind()) return false;
  nuint8 enabled = 0;
  return client.NWGetFileServerLoginStatus(ostrel::primaryIfZero(conn), &enabled) == 0 && enabled != 0;
}

bool disableLogins(NWCONN_HANDLE conn) {
  if (!client.NWDisableFileServerLogin.bind()) return false;
  return client.NWDisableFileServerLogin.unrecorded(ostrel::primaryIfZero(conn)) == 0;
}

bool enableLogins(NWCONN_HANDLE conn) {
  if (!client.NWEnableFileServerLogin.bind()) return false;
  return client.NWEnableFileServerLogin.unrecorded(ostrel::primaryIfZero(conn)) == 0;
}

bool downServer(NWCONN_HANDLE conn) {
  if (!client.NWDownFileServer.bind()) return false;
  return client.NWDownFileServer.unrecorded(ostrel::primaryIfZero(conn), 0) == 0;
}

bool setServerDateTime(NWCONN_HANDLE conn, rtl::TDateTime dateTime) {
  if (!client.NWSetFileServerDateAndTime.bind()) return false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  rtl::DecodeDate(dateTime, year, month, day);
  rtl::DecodeTime(dateTime, hour, minute, second, msec);
  // Only years above 1900 are reduced: 1900 itself goes out as its low byte (108).
  if (year > 1900) year -= 1900;
  return client.NWSetFileServerDateAndTime(ostrel::primaryIfZero(conn), static_cast<nuint8>(year),
                                           static_cast<nuint8>(month), static_cast<nuint8>(day),
                                           static_cast<nuint8>(hour), static_cast<nuint8>(minute),
                                           static_cast<nuint8>(second)) == 0;
}

std::unique_ptr<rtl::TStringList> getNLMList(NWCONN_HANDLE conn) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWGetNLMLoadedList.bind() || !client.NWGetNLMInfo.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  std::unordered_set<nuint32> seen;
  nuint32 start = 0;
  while (true) {
    NWFSE_NLM_LOADED_LIST batch{};
    const nint32 code = client.NWGetNLMLoadedList.unrecorded(conn, start, &batch);
    if (code != 0) {
      if (list->Empty()) state.record(code);
      break;
    }
    const nuint32 count = std::min<nuint32>(batch.NLMsInList, NW_NLM_LIST_MAX);
    bool progress = false;
    for (nuint32 i = 0; i < count; ++i) {
      const nuint32 number = batch.NLMNumbers[i];
      if (!seen.insert(number).second) continue;
      progress = true;
      TNWNLMInfo info;
      if (getNLMInfo(conn, static_cast<std::int32_t>(number), info))
        list->AddObject(info.fileName, static_cast<std::intptr_t>(number));
    }
    // A short batch is the last; a batch of known numbers would repeat forever.
    if (count < NW_NLM_LIST_MAX || !progress) break;
    const nuint32 last = batch.NLMNumbers[count - 1];
    if (last == 0xFFFFFFFFu) break;
    start = last + 1;
  }
  return list;
}

std::int32_t getNLMID(NWCONN_HANDLE conn, const std::string& fileName) {
  const auto list = getNLMList(conn);
  const int index = list->IndexOf(rtl::UpperCase(fileName));
  return index < 0 ? 0 : static_cast<std::int32_t>(list->Objects(index));
}

bool getNLMInfo(NWCONN_HANDLE conn, std::int32_t nlmNumber, TNWNLMInfo& info) {
  if (!client.NWGetNLMInfo.bind()) return false;
  char fileName[kTextBuffer] = {}, name[kTextBuffer] = {}, notice[kTextBuffer] = {};
  NWFSE_NLM_INFO record{};
  if (client.NWGetNLMInfo(ostrel::primaryIfZero(conn), static_cast<nuint32>(nlmNumber), fileName, name, notice,
                          &record) != 0)
    return false;
  const NLM_INFO& nlm = record.NLMInfo;
  info.fileName = rtl::bufferToString(fileName, kTextBuffer);
  info.name = rtl::bufferToString(name, kTextBuffer);
  info.noticeText = rtl::bufferToString(notice, kTextBuffer);
  info.version = std::to_string(nlm.majorVersion) + "." + std::to_string(nlm.minorVersion) + "." +
                 std::to_string(nlm.revision);
  // A date the calendar cannot hold reads as 0.
  rtl::TDateTime date = 0;
  const bool inRange = nlm.year <= 9999 && nlm.month <= 12 && nlm.day <= 31;
  info.date = inRange && rtl::TryEncodeDate(static_cast<int>(nlm.year), static_cast<int>(nlm.month),
                                            static_cast<int>(nlm.day), date)
                  ? date
                  : 0;
  info.nlmNumber = nlmNumber;
  info.flags = nlm.flags;
  info.nlmType = nlm.type;
  info.parentID = nlm.parentID;
  info.allocAvailableBytes = nlm.allocAvailableBytes;
  info.allocFreeCount = nlm.allocFreeCount;
  info.messageLanguage = nlm.messageLanguage;
  info.referencedPublics = nlm.numberOfReferencedPublics;
  return true;
}

bool nlmLoad(NWCONN_HANDLE conn, const std::string& path, const std::string& /*reserved*/) {
  if (!client.NWSMLoadNLM.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char buffer[kModuleBuffer] = {};
  if (!toBuffer(buffer, serverPath(conn, path, rtl::UpperCase(path)))) return false;
  return client.NWSMLoadNLM(conn, buffer) == 0;
}

bool nlmUnload(NWCONN_HANDLE conn, const std::string& module) {
  if (!client.NWSMUnloadNLM.bind()) return false;
  const std::size_t separator = module.find_last_of("\\/:");
  const std::string name = rtl::UpperCase(separator == std::string::npos ? module : module.substr(separator + 1));
  char buffer[kModuleBuffer] = {};
  if (!toBuffer(buffer, name)) return false;
  return client.NWSMUnloadNLM(ostrel::primaryIfZero(conn), buffer) == 0;
}

bool serverExecNCFFile(NWCONN_HANDLE conn, const std::string& path) {
  if (!client.NWSMExecuteNCFFile.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char buffer[kModuleBuffer] = {};
  if (!toBuffer(buffer, serverPath(conn, path, path))) return false;
  return client.NWSMExecuteNCFFile(conn, buffer) == 0;
}

std::uint32_t mountVolume(NWCONN_HANDLE conn, const std::string& volume) {
  if (!client.NWSMMountVolume.bind()) return 0;
  char buffer[kVolumeBuffer] = {};
  if (!toBuffer(buffer, rtl::UpperCase(volume))) return 0;
  nuint32 number = 0;
  if (client.NWSMMountVolume(ostrel::primaryIfZero(conn), buffer, &number) != 0) return 0;
  return number;
}

bool dismountVolume(NWCONN_HANDLE conn, const std::string& volume) {
  if (!client.NWSMDismountVolumeByName.bind()) return false;
  char buffer[kVolumeBuffer] = {};
  if (!toBuffer(buffer, rtl::UpperCase(volume))) return false;
  return client.NWSMDismountVolumeByName(ostrel::primaryIfZero(conn), buffer) == 0;
}

bool serverSetStringValue(NWCONN_HANDLE conn, const std::string& name, const std::string& value) {
  if (!client.NWSMSetDynamicCmdStrValue.bind()) return false;
  char nameBuffer[kNameBuffer] = {}, valueBuffer[kNameBuffer] = {};
  if (!toBuffer(nameBuffer, name) || !toBuffer(valueBuffer, rtl::UpperCase(value))) return false;
  return client.NWSMSetDynamicCmdStrValue(ostrel::primaryIfZero(conn), nameBuffer, valueBuffer) == 0;
}

bool serverSetIntegerValue(NWCONN_HANDLE conn, const std::string& name, std::int32_t value) {
  if (!client.NWSMSetDynamicCmdIntValue.bind()) return false;
  char nameBuffer[kNameBuffer] = {};
  if (!toBuffer(nameBuffer, name)) return false;
  return client.NWSMSetDynamicCmdIntValue(ostrel::primaryIfZero(conn), nameBuffer, static_cast<nuint32>(value)) == 0;
}

} // namespace nwserver
