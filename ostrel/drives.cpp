// The workstation's drive table: mapping and unmapping drive letters, and reading it back.
#include "ostrel/client.h"

#include <rtl/sysutils.h>

#include <optional>

namespace ostrel {

using detail::client;

namespace {

constexpr std::size_t kPathBuffer = 256;
constexpr int kLastDrive = 26;
constexpr nuint16 kNetworkDrive = NW_DRIVE_NETWORK;

/// The client's number of a drive letter (A = 1 ... Z = 26), either case; nothing for any
/// other character, which must never reach the client as a drive.
std::optional<nuint16> driveNumber(char letter) {
  const char upper = rtl::UpCase(letter);
  if (upper < 'A' || upper > 'Z') return std::nullopt;
  return static_cast<nuint16>(upper - 0x40);
}

char driveLetter(int number) { return static_cast<char>(number + 0x40); }

/// One drive's status; false when the client refuses the drive (not recorded).
struct DriveStatus {
  nuint16 status = 0;
  NWCONN_HANDLE conn = 0;
  char rootPath[kPathBuffer] = {};
  char relativePath[kPathBuffer] = {};
  char fullPath[kPathBuffer] = {};
};

} // namespace

bool map(char letter, const std::string& path) {
  const auto drive = driveNumber(letter);
  if (!drive) return false;
  if (!client.NWParseNetWarePath.bind() || !client.NWSetDriveBase.bind()) return false;
  if (path.size() >= kPathBuffer) return false;
  char pathBuffer[kPathBuffer] = {};
  rtl::copyToBuffer(pathBuffer, kPathBuffer, rtl::UpperCase(path));
  // A path without a server is taken on the primary connection.
  NWCONN_HANDLE conn = getPrimaryServerID();
  nuint8 dirHandle = 0;
  char result[kPathBuffer] = {};
  if (client.NWParseNetWarePath.unrecorded(pathBuffer, &conn, &dirHandle, result) != 0) return false;
  mapDelete(std::string(1, letter));
  return client.NWSetDriveBase.unrecorded(*drive, conn, dirHandle, result, 0) == 0;
}

bool mapDelete(const std::string& drive) {
  if (drive.empty()) return false;
  const auto number = driveNumber(drive[0]);
  if (!number) return false;
  if (!client.NWDeleteDriveBase.bind()) return false;
  return client.NWDeleteDriveBase(*number, 0) == 0;
}

char getFirstNetDrive() {
  if (!client.NWGetFirstDrive.bind()) return '\0';
  nuint16 drive = 0;
  if (client.NWGetFirstDrive.unrecorded(&drive) != 0) return '\0';
  return driveLetter(drive);
}

char getNextNetDrive() {
  if (!client.NWGetDriveStatus.bind()) return '\0';
  // Unsigned 8 bits: a failed getFirstNetDrive gives 192, beyond the last drive.
  const auto first = static_cast<std::uint8_t>(getFirstNetDrive() - 0x40);
  if (first > kLastDrive) return '\0';
  for (int d = first < 1 ? 1 : first; d <= kLastDrive; ++d) {
    DriveStatus s;
    if (client.NWGetDriveStatus.unrecorded(static_cast<nuint16>(d), 0, &s.status, &s.conn, s.rootPath, s.relativePath,
                                           s.fullPath) == 0 &&
        s.status == 0)
      return driveLetter(d);
  }
  return '\0';
}

bool getMapInfo(char letter, TNWMapInfo& info) {
  const auto drive = driveNumber(letter);
  if (!drive) return false;
  if (!client.NWGetDriveStatus.bind()) return false;
  DriveStatus s;
  if (client.NWGetDriveStatus(*drive, 0, &s.status, &s.conn, s.rootPath, s.relativePath, s.fullPath) != 0) return false;
  if (s.status < kNetworkDrive) return false;
  info.connHandle = s.conn;
  info.serverName = getServerName(s.conn).substr(0, TNWMapInfo::kServerNameMax);
  info.path = rtl::bufferToString(s.fullPath, kPathBuffer).substr(0, TNWMapInfo::kPathMax);
  info.status = s.status;
  return true;
}

std::unique_ptr<rtl::TStringList> mapShow() {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWGetDriveStatus.bind()) return list;
  const auto first = static_cast<std::uint8_t>(getFirstNetDrive() - 0x40);
  try {
    for (int d = 1; d <= kLastDrive; ++d) {
      DriveStatus s;
      if (client.NWGetDriveStatus.unrecorded(static_cast<nuint16>(d), 0, &s.status, &s.conn, s.rootPath,
                                             s.relativePath, s.fullPath) != 0)
        continue;
      const std::string letter(1, driveLetter(d));
      if (d < first || s.status != 0) {
        if (s.status & NW_DRIVE_CDROM)
          list->Add(letter + ":  [CD-ROM Drive]");
        else if (s.status & (NW_DRIVE_LOCAL_REMOVABLE | NW_DRIVE_LOCAL))
          list->Add(letter + ":  [Local Device]");
        else if (s.status & NW_DRIVE_NETWORK)
          list->Add(letter + ":  " + getServerName(s.conn) + "//" + rtl::bufferToString(s.rootPath, kPathBuffer));
        else
          list->Add(letter + ":  [Unknown]");
      } else {
        list->Add(letter + ":  [Free Net Device]");
      }
    }
  } catch (const rtl::Exception&) {
  }
  return list;
}

std::uint16_t convertLocalFileHandle(std::uint16_t localHandle) {
  if (!client.NWConvertFileHandle.bind()) return 0;
  nuint8 handle[4] = {};
  NWCONN_HANDLE conn = 0;
  client.NWConvertFileHandle(localHandle, 2, handle, &conn);
  // The first 16 bits of the buffer, as the client wrote them (0 when it did not).
  return static_cast<std::uint16_t>(handle[0] | handle[1] << 8);
}

} // namespace ostrel
