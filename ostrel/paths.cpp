// NetWare paths taken apart: by the client's path parsing, and into server, volume and
// directory.
#include "ostrel/client.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

namespace ostrel {

using detail::client;

namespace {

constexpr std::size_t kPathBuffer = 256;
constexpr std::size_t kVolumeBuffer = NW_VOLUME_NAME_SIZE;

std::string cut(const std::string& text, std::size_t capacity) { return text.substr(0, capacity); }

} // namespace

bool parseNetwarePath(NWCONN_HANDLE conn, const std::string& path, TNWPathInfo& info) {
  if (!client.NWParseNetWarePath.bind() || !client.NWGetVolumeNumber.bind() || !client.NWGetVolumeName.bind())
    return false;
  conn = primaryIfZero(conn);
  // A path cut to fit would name another file.
  if (path.size() >= kPathBuffer) return false;
  char pathBuffer[kPathBuffer] = {};
  rtl::copyToBuffer(pathBuffer, kPathBuffer, rtl::UpperCase(path));
  char result[kPathBuffer] = {};
  nuint8 dirHandle = 0;
  if (client.NWParseNetWarePath.unrecorded(pathBuffer, &conn, &dirHandle, result) != 0) return false;
  const std::string fullPath = rtl::bufferToString(result, kPathBuffer);

  // Neither volume call is checked: a failure leaves volume 0 and an empty name.
  const std::string volume = cut(nwtools::strExtract(fullPath, ':', 1), kVolumeBuffer - 1);
  nuint16 volNumber = 0;
  client.NWGetVolumeNumber(conn, volume.c_str(), &volNumber);
  char volName[kVolumeBuffer] = {};
  client.NWGetVolumeName(conn, static_cast<nuint16>(volNumber & 0xFF), volName);

  info.connHandle = conn;
  info.serverName = getServerName(conn);
  info.volNumber = volNumber;
  info.volName = rtl::bufferToString(volName, kVolumeBuffer) + ":";
  info.dirHandle = dirHandle;
  info.fullPath = fullPath;
  info.path = nwtools::setPath(nwtools::strExtract(fullPath, ':', 2));
  return true;
}

bool getPathInfo(const std::string& path, TNWParsedPath& parsed) {
  if (!client.NWParsePath.bind()) return false;
  parsed = TNWParsedPath{};
  if (path.size() >= kPathBuffer) return false;
  char pathBuffer[kPathBuffer] = {};
  rtl::copyToBuffer(pathBuffer, kPathBuffer, rtl::UpperCase(path));
  char server[kPathBuffer] = {}, volume[kPathBuffer] = {}, directory[kPathBuffer] = {};
  NWCONN_HANDLE conn = 0;
  if (client.NWParsePath(pathBuffer, server, &conn, volume, directory) != 0) return false;
  parsed.connHandle = conn;
  parsed.serverName = cut(rtl::bufferToString(server, kPathBuffer), TNWParsedPath::kServerNameMax);
  parsed.volName = cut(rtl::bufferToString(volume, kPathBuffer), TNWParsedPath::kVolNameMax);
  parsed.dirPath = cut(rtl::bufferToString(directory, kPathBuffer), TNWParsedPath::kDirPathMax);
  return true;
}

} // namespace ostrel
