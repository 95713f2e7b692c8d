// Volumes: names and numbers, statistics, block and extended information, and what objects
// use and may use of a volume.
#include "nwserver/client.h"

#include <algorithm>
#include <cstring>

namespace nwserver {

using detail::client;

namespace {

constexpr std::size_t kVolumeNameBuffer = 48;
constexpr std::uint32_t kBlockBytes = 4096;
constexpr std::uint16_t kUserType = 0x0100;

// Bytes from 4 KB blocks, in wrapping 32-bit arithmetic as the client's values are 32-bit.
std::int32_t blocksToBytes(nuint32 blocks) { return static_cast<std::int32_t>(blocks * kBlockBytes); }

// The connection, the volume's number and the user's ID for a restriction change; false when
// the user or the volume is unknown.
bool restrictionTarget(NWCONN_HANDLE& conn, const std::string& volumeName, const std::string& userName,
                       std::int32_t& volNumber, std::uint32_t& objectID) {
  conn = ostrel::primaryIfZero(conn);
  objectID = ostrel::getObjNumber(conn, userName, kUserType);
  return objectID != 0 && getVolNum(conn, volumeName, volNumber);
}

} // namespace

std::unique_ptr<rtl::TStringList> getVolumes(NWCONN_HANDLE conn) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWGetVolumeName.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  for (int number = 0; number < 256; ++number) {
    char name[kVolumeNameBuffer] = {};
    if (client.NWGetVolumeName.unrecorded(conn, static_cast<nuint8>(number), name) != 0) break;
    const std::string text = rtl::bufferToString(name, sizeof name);
    if (!text.empty()) list->AddObject(text, number);
  }
  return list;
}

bool getVolNum(NWCONN_HANDLE conn, const std::string& volumeName, std::int32_t& volNumber) {
  if (!client.NWGetVolumeNumber.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char name[kVolumeNameBuffer] = {};
  rtl::copyToBuffer(name, sizeof name, rtl::UpperCase(volumeName));
  nuint16 number = 0;
  if (client.NWGetVolumeNumber(conn, name, &number) != 0) return false;
  volNumber = number;
  return true;
}

bool volInfo(NWCONN_HANDLE conn, const std::string& volumeName, VOL_STATS& stats) {
  if (!client.NWGetVolumeNumber.bind() || !client.NWGetVolumeStats.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char name[kVolumeNameBuffer] = {};
  rtl::copyToBuffer(name, sizeof name, volumeName);
  nuint16 number = 0;
  if (client.NWGetVolumeNumber(conn, name, &number) != 0) return false;
  if (client.NWGetVolumeStats(conn, static_cast<nuint8>(number), &stats) == 0) return true;
  // The older call, looked up anew each time.
  client.NWGetVolumeInfoWithNumber.reset();
  if (!client.NWGetVolumeInfoWithNumber.bind()) return false;
  // Zeroed, so that a failed call leaves an empty name rather than stray bytes.
  char returned[kVolumeNameBuffer] = {};
  nuint16 total = 0, sectors = 0, available = 0, slots = 0, freeSlots = 0, removable = 0;
  const NWCCODE rc = client.NWGetVolumeInfoWithNumber(conn, number, returned, &total, &sectors, &available, &slots,
                                                      &freeSlots, &removable);
  stats.totalBlocks = total;
  stats.sectorsPerBlock = sectors;
  stats.availableBlocks = available;
  stats.totalDirectorySlots = slots;
  stats.availableDirectorySlots = freeSlots;
  stats.isRemovable = static_cast<nuint8>(removable);
  stats.volumeNumber = static_cast<nuint8>(number);
  rtl::copyToBuffer(stats.volumeName, sizeof stats.volumeName, rtl::bufferToString(returned, sizeof returned));
  return rc == 0;
}

bool getVolExtendedInfo(NWCONN_HANDLE conn, const std::string& volumeName, TNWVolExtendedInfo& info) {
  if (!client.NWGetExtendedVolumeInfo.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  std::int32_t number = 0;
  if (!getVolNum(conn, volumeName, number)) return false;
  std::memset(&info, 0, sizeof info);
  return client.NWGetExtendedVolumeInfo(conn, static_cast<nuint16>(number), &info) == 0;
}

bool getVolBlockInfo(NWCONN_HANDLE conn, std::uint8_t volNumber, DIR_SPACE_INFO& info) {
  if (!client.NWGetDirSpaceInfo.bind()) return false;
  return client.NWGetDirSpaceInfo(ostrel::primaryIfZero(conn), 0, volNumber, &info) == 0;
}

bool getDiskUtilization(NWCONN_HANDLE conn, const std::string& userName, std::uint8_t volNumber,
                        TNWDiskUsageStats& stats) {
  if (!client.NWGetDiskUtilization.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::uint32_t id = ostrel::getObjNumber(conn, userName, kUserType);
  nuint16 dirs = 0, files = 0, blocks = 0;
  if (client.NWGetDiskUtilization(conn, id, volNumber, &dirs, &files, &blocks) != 0) return false;
  stats.usedDirectories = dirs;
  stats.usedFiles = files;
  stats.usedBlocks = blocks;
  return true;
}

bool getObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& objectName,
                            std::int32_t& restriction, std::int32_t& inUse) {
  if (!client.NWGetObjDiskRestrictions.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  std::int32_t number = 0;
  // An unknown volume must not read as volume 0.
  if (!getVolNum(conn, volumeName, number)) return false;
  const std::uint16_t type = ostrel::getObjType(conn, objectName);
  const std::uint32_t id = ostrel::getObjNumber(conn, objectName, type);
  if (id == 0) return false;
  nuint32 limit = 0, used = 0;
  if (client.NWGetObjDiskRestrictions(conn, static_cast<nuint8>(number), id, &limit, &used) != 0) return false;
  inUse = blocksToBytes(used);
  restriction = limit == NW_NO_RESTRICTION ? -1 : blocksToBytes(limit);
  return true;
}

bool setObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& userName,
                            std::int32_t limit) {
  if (!client.NWSetObjectVolSpaceLimit.bind()) return false;
  std::int32_t number = 0;
  std::uint32_t id = 0;
  if (!restrictionTarget(conn, volumeName, userName, number, id)) return false;
  return client.NWSetObjectVolSpaceLimit(conn, static_cast<nuint16>(number), id,
                                         static_cast<nuint32>(limit / static_cast<std::int32_t>(kBlockBytes))) == 0;
}

bool removeObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& userName) {
  if (!client.NWRemoveObjectDiskRestrictions.bind()) return false;
  std::int32_t number = 0;
  std::uint32_t id = 0;
  if (!restrictionTarget(conn, volumeName, userName, number, id)) return false;
  return client.NWRemoveObjectDiskRestrictions(conn, static_cast<nuint8>(number), id) == 0;
}

} // namespace nwserver
