// Open files: the files a station has open, and the stations that have a file open.
#include "ostrel/client.h"

#include <nwtools/nwtools.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <algorithm>

namespace ostrel {

using detail::client;

namespace {

constexpr std::size_t kPathBuffer = 256;
constexpr std::size_t kNameBuffer = 48;
// Far more entries than a server reports; a scan that reaches it is not advancing.
constexpr int kScanLimit = 1 << 20;

std::string openFileName(const OPEN_FILE_CONN& file) {
  const std::size_t length = std::min<std::size_t>(file.nameLength, sizeof file.fileName - 1);
  return rtl::bufferToString(file.fileName, length == 0 ? sizeof file.fileName : length);
}

} // namespace

std::unique_ptr<rtl::TStringList> getConnOpenFiles(NWCONN_HANDLE conn, std::uint16_t connNumber) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWScanOpenFilesByConn2.bind() || !client.NWIntScanDirectoryInformation2.bind()) return list;
  conn = primaryIfZero(conn);
  nint32 iteration = 0;
  for (int scanned = 0; scanned < kScanLimit; ++scanned) {
    const nint32 previous = iteration;
    OPEN_FILE_CONN_CTRL control{};
    OPEN_FILE_CONN file{};
    if (client.NWScanOpenFilesByConn2(conn, connNumber, &iteration, &control, &file) != 0) break;
    if (scanned > 0 && iteration == previous) break;  // no progress: the same file again
    const std::string name = openFileName(file);
    nuint8 sequence[4] = {};
    char directory[kPathBuffer] = {};
    nuint32 dateTime = 0, owner = 0;
    nuint8 rights = 0;
    const bool found =
        client.NWIntScanDirectoryInformation2.unrecorded(conn, static_cast<nuint8>(file.dirEntry & 0xFF), name.c_str(),
                                                         sequence, directory, &dateTime, &owner, &rights, 0) == 0;
    list->AddObject(found ? rtl::bufferToString(directory, kPathBuffer) + "\\" + name : name, file.lockType);
  }
  return list;
}

std::unique_ptr<rtl::TStringList> getOpenFileUsers(NWCONN_HANDLE conn, const std::string& path) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWParseNetWarePath.bind() || !client.NWScanConnectionsUsingFile.bind() ||
      !client.NWGetConnectionInformation.bind())
    return list;
  std::string text = rtl::UpperCase(nwtools::allTrim(path));
  if (rtl::ExtractFileName(path).size() > 12) {
    const std::string shortPath = platform::getShortPathName(path);
    if (!shortPath.empty()) text = shortPath;
  }
  if (text.size() >= kPathBuffer) return list;
  char pathBuffer[kPathBuffer] = {};
  rtl::copyToBuffer(pathBuffer, kPathBuffer, text);

  conn = primaryIfZero(conn);
  nuint8 dirHandle = 0;
  char result[kPathBuffer] = {};
  if (client.NWParseNetWarePath.unrecorded(pathBuffer, &conn, &dirHandle, result) != 0) return list;

  nint32 iteration = 0;
  for (int scanned = 0; scanned < kScanLimit; ++scanned) {
    const nint32 previous = iteration;
    CONN_USING_FILE station{};
    CONNS_USING_FILE summary{};
    if (client.NWScanConnectionsUsingFile(conn, 0, result, &iteration, &station, &summary) != 0) break;
    if (summary.connCount == 0) {
      list->AddObject("[0]  None", 0);
      break;
    }
    if (scanned > 0 && iteration == previous) break;  // no progress: the same station again
    char name[kNameBuffer] = {};
    nuint16 type = 0x0100;
    nuint32 id = 0;
    nuint8 loginTime[7] = {};
    if (client.NWGetConnectionInformation.unrecorded(conn, station.connNumber, name, &type, &id, loginTime) != 0)
      list->AddObject("[0]  Unknown", 0);
    else
      list->AddObject("[" + std::to_string(station.connNumber) + "]   " + rtl::bufferToString(name, kNameBuffer),
                      static_cast<std::intptr_t>(id));
  }
  return list;
}

} // namespace ostrel
