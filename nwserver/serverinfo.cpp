// Server information: conversions of server values, user, server, cache and file-system
// statistics, and the serial number.
#include "nwserver/client.h"

#include <ostrel/counters.h>

#include <cstdio>

namespace nwserver {

using detail::client;
using detail::state;

namespace {

constexpr std::size_t kNameBuffer = 48;
constexpr double kTicksPerSecond = 18.20648;

/// A connection opened for one question, closed again at the end of the scope.
class TemporaryConnection {
public:
  explicit TemporaryConnection(const std::string& server) : conn_(detail::openTemporary(server, opened_)) {}
  ~TemporaryConnection() {
    if (opened_) detail::closeTemporary(conn_);
  }
  TemporaryConnection(const TemporaryConnection&) = delete;
  TemporaryConnection& operator=(const TemporaryConnection&) = delete;
  NWCONN_HANDLE get() const { return conn_; }

private:
  bool opened_ = false;
  NWCONN_HANDLE conn_;
};

} // namespace

rtl::TDateTime nwDateTimeToTDateTime(std::int32_t packed) {
  rtl::TDateTime result = rtl::EncodeDate(1980, 1, 1);
  if (!client.NWUnpackDateTime.bind()) return result;
  NW_DATE date{1, 1, 1980};
  NW_TIME time{0, 0, 12};
  client.NWUnpackDateTime(static_cast<nuint32>(packed), &date, &time);
  rtl::TDateTime day = 0;
  if (date.year >= 1980 && date.year < 2112 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
      date.day <= rtl::DaysInMonth(date.year, date.month) && rtl::TryEncodeDate(date.year, date.month, date.day, day))
    result = day;
  rtl::TDateTime clock = 0;
  if (time.hours < 24 && time.minutes < 60 && time.seconds < 60 &&
      rtl::TryEncodeTime(time.hours, time.minutes, time.seconds, 0, clock))
    result += clock;
  return result;
}

std::string ticksToTimeString(std::int32_t ticks) {
  // Unsigned: a server up for more than 2^31 ticks must not read as a negative time.
  const auto s = static_cast<std::uint64_t>(static_cast<std::uint32_t>(ticks) / kTicksPerSecond);
  const auto days = static_cast<std::uint16_t>(s / 86400);
  const unsigned seconds = static_cast<unsigned>(s % 60);
  const unsigned minutes = static_cast<unsigned>((s / 60) % 60);
  const unsigned hours = static_cast<unsigned>((s / 3600) % 24);
  char text[32];
  std::snprintf(text, sizeof text, "%u:%02u:%02u:%02u", static_cast<unsigned>(days), hours, minutes, seconds);
  return text;
}

std::uint32_t getServerSerial(const std::string& serverName) {
  if (!client.NWGetNetworkSerialNumber.bind() || !client.NWLongSwap.bind()) return 0;
  TemporaryConnection conn(serverName);
  if (conn.get() == 0) return 0;
  nuint32 serial = 0;
  nuint16 application = 0;
  if (client.NWGetNetworkSerialNumber(conn.get(), &serial, &application) != 0) return 0;
  return client.NWLongSwap(serial);
}

bool getUserStats(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnStats& stats) {
  if (!client.NWGetUserInfo.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char name[kNameBuffer] = {};
  NWFSE_USER_INFO record{};
  if (client.NWGetUserInfo.unrecorded(conn, connNumber, name, &record) != 0) return false;
  const USER_INFO& user = record.userInfo;
  const nuint8* login = user.loginTime;
  // A login time the calendar cannot hold reads as 0.
  rtl::TDateTime date = 0, time = 0;
  stats.loginTime = rtl::TryEncodeDate(login[0] + 1900, login[1], login[2], date) &&
                            rtl::TryEncodeTime(login[3], login[4], login[5], 0, time)
                        ? date + time
                        : 0;
  stats.bytesRead = ostrel::sixByteCounterLow32(user.totalBytesRead);
  stats.bytesWritten = ostrel::sixByteCounterLow32(user.totalBytesWritten);
  stats.totalRequests = user.totalRequests;
  stats.recordLocks = user.recordLockCount;
  stats.fileLocks = user.fileLockCount;
  if (user.expirationTime > 0) stats.expirationTime = rtl::Now() + user.expirationTime * 18.6;
  return true;
}

bool getServerStats(NWCONN_HANDLE conn, TNWServerInfo& info) {
  if (!client.NWGetFileServerInfo.bind() || !client.NWGetFileServerInformation.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  char name[kNameBuffer] = {};
  nuint8 major = 0, minor = 0, revision = 0, sft = 0, tts = 0;
  nuint16 maxConns = 0, peak = 0, inUse = 0, volumes = 0;
  if (client.NWGetFileServerInformation.unrecorded(conn, name, &major, &minor, &revision, &maxConns, &peak, &inUse,
                                                   &volumes, &sft, &tts) != 0)
    return false;
  NWFSE_FILE_SERVER_INFO extended{};
  bool result = true, haveExtended = false;
  if (major >= 4) {
    haveExtended = client.NWGetFileServerInfo.unrecorded(conn, &extended) == 0;
    result = haveExtended;
  }
  info.serverName = rtl::bufferToString(name, kNameBuffer);
  info.version = std::to_string(major) + "." + std::to_string(minor);
  info.maxConnections = maxConns;
  info.peakConnections = peak;
  info.connectionsInUse = inUse;
  info.volumeCount = volumes;
  info.sftLevel = sft;
  info.ttsLevel = tts;
  info.reserved1 = 0;
  info.reserved2 = 0;
  info.reserved3 = 0;
  info.serverTime = haveExtended ? extended.serverTimeAndVConsoleInfo.currentServerTime : 0;
  info.utilization = haveExtended ? static_cast<std::uint8_t>(extended.fileServInfo.serverUtilization & 0xFF) : 0;
  info.packetsServiced = haveExtended ? extended.fileServCounters.totalPacketsServiced : 0;
  info.packetsRouted = haveExtended ? extended.fileServCounters.totalPacketsRouted : 0;
  return result;
}

bool getServerInformation(NWCONN_HANDLE conn, NWFSE_FILE_SERVER_INFO& info) {
  if (!client.NWGetFileServerInfo.bind()) return false;
  return client.NWGetFileServerInfo(ostrel::primaryIfZero(conn), &info) == 0;
}

bool getCacheInfo(NWCONN_HANDLE conn, TNWMemCacheInfo& info) {
  // Looked up anew on every call.
  client.NWGetCacheInfo.reset();
  if (!client.NWGetCacheInfo.bind()) return false;
  NWFSE_CACHE_INFO cache{};
  if (client.NWGetCacheInfo(ostrel::primaryIfZero(conn), &cache) != 0) return false;
  info.serverTime = cache.serverTimeAndVConsoleInfo.currentServerTime;
  info.cacheCounter4 = cache.cacheCounters[4];
  info.cacheCounter18 = cache.cacheCounters[18];
  info.cacheCounter21 = cache.cacheCounters[21];
  info.trendCounter1 = cache.trendCounters[1];
  info.trendCounter3 = cache.trendCounters[3];
  info.cacheSetting5 = cache.cacheSettings[5];
  info.cacheSetting6 = cache.cacheSettings[6];
  info.cacheSetting7 = cache.cacheSettings[7];
  info.cacheSetting8 = cache.cacheSettings[8];
  info.cacheSetting0 = cache.cacheSettings[0];
  info.cacheSetting1 = cache.cacheSettings[1];
  info.trendCounter9 = cache.trendCounters[9];
  info.memCounter0 = cache.memCounters[0];
  info.memCounter1 = cache.memCounters[1];
  return true;
}

bool getFileSysStats(NWCONN_HANDLE conn, FILESYS_STATS& stats) {
  if (!client.NWGetFileSystemStats.bind()) return false;
  return client.NWGetFileSystemStats(ostrel::primaryIfZero(conn), &stats) == 0;
}

bool getDiskCacheStats(NWCONN_HANDLE conn, DSK_CACHE_STATS& stats) {
  if (!client.NWGetDiskCacheStats.bind()) return false;
  return client.NWGetDiskCacheStats(ostrel::primaryIfZero(conn), &stats) == 0;
}

} // namespace nwserver
