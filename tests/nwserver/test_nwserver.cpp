// Unit Nwserver: conversions, connections, login and logout, server state, statistics,
// modules and console commands, against the simulated servers.
#include "server_fixture.h"

#include <rtl/datetime.h>

#include <filesystem>
#include <set>
#include <utility>
#include <vector>

using namespace servertest;
namespace fs = std::filesystem;

namespace {

std::int32_t packed(int year, int month, int day, int hour, int minute, int second) {
  const std::uint32_t date = static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day);
  const std::uint32_t time = static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
  return static_cast<std::int32_t>(date << 16 | time);
}

rtl::TDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return rtl::EncodeDate(year, month, day) + rtl::EncodeTime(hour, minute, second, 0);
}

} // namespace

// ---- Conversions -----------------------------------------------------------------------

TEST_F(ServerTest, PackedDatesWithInvalidPartsFallBack) {
  const std::vector<std::pair<std::int32_t, rtl::TDateTime>> table = {
      {packed(1998, 9, 15, 10, 30, 44), at(1998, 9, 15, 10, 30, 44)},
      {packed(1998, 9, 31, 10, 30, 44), at(1980, 1, 1, 10, 30, 44)},  // 31 in a 30-day month
      {packed(2000, 2, 29, 23, 59, 58), at(2000, 2, 29, 23, 59, 58)},
      {packed(1999, 2, 29, 1, 2, 4), at(1980, 1, 1, 1, 2, 4)},
      {packed(1998, 13, 1, 8, 0, 0), at(1980, 1, 1, 8, 0, 0)},
      {packed(1998, 9, 15, 24, 0, 0), at(1998, 9, 15)},  // hour 24: the date with time 0
      {packed(1998, 9, 15, 10, 60, 0), at(1998, 9, 15)},
      {packed(1998, 9, 0, 10, 0, 0), at(1980, 1, 1, 10, 0, 0)},
  };
  for (const auto& [value, expected] : table)
    EXPECT_DOUBLE_EQ(nwserver::nwDateTimeToTDateTime(value), expected) << std::hex << value;
}

TEST_F(ServerTest, TicksAsElapsedTime) {
  const std::vector<std::pair<std::int32_t, std::string>> table = {
      {0, "0:00:00:00"},         {18, "0:00:00:00"},        {65543, "0:00:59:59"},
      {65544, "0:01:00:00"},     {1573040, "1:00:00:00"},   {1573039, "0:23:59:59"},
      {-1, "2730:08:40:22"},  // more than 2^31 ticks: counted unsigned, never negative
  };
  for (const auto& [ticks, text] : table) EXPECT_EQ(nwserver::ticksToTimeString(ticks), text) << ticks;
}

// ---- Connections -----------------------------------------------------------------------

TEST_F(ServerTest, ServerHandlesByName) {
  EXPECT_EQ(nwserver::getServerHandle("nds1"), handleOf("NDS1"));
  EXPECT_EQ(nwserver::getServerHandle("FS1"), ostrel::getPrimaryServerID());
  EXPECT_EQ(nwserver::getServerHandle("NOSUCH"), 0u);
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_SERVER_NOT_FOUND));
  const std::size_t before = myStations();
  const NWCONN_HANDLE fs2 = nwserver::getServerHandle("FS2");
  ASSERT_NE(fs2, 0u) << "opened when there is none";
  EXPECT_EQ(myStations(), before + 1);
  EXPECT_TRUE(nwserver::closeConnection(fs2));
  EXPECT_EQ(myStations(), before);
  EXPECT_FALSE(nwserver::closeConnection(fs2));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_INVALID_CONNECTION));
}

TEST_F(ServerTest, AttachAndOpenByName) {
  EXPECT_EQ(nwserver::attach("nds1"), handleOf("NDS1"));
  nwserver::TNWServer().resetLastError();
  EXPECT_EQ(nwserver::attach("NOSUCH"), 0u);
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_SERVER_NOT_FOUND));
  const NWCONN_HANDLE tree = nwserver::openConnByName("TESTTREE", true, false);
  EXPECT_EQ(tree, handleOf("NDS1")) << "the tree's directory server";
  EXPECT_EQ(nwserver::openConnByName("TESTTREE", false, true), 0u) << "not a server name";
}

TEST_F(ServerTest, ServerHandleFromPath) {
  EXPECT_EQ(nwserver::getServerHandleFromPath("nds1/sys:public"), handleOf("NDS1"));
  EXPECT_EQ(nwserver::getServerHandleFromPath("SYS:PUBLIC"), ostrel::getPrimaryServerID());
  EXPECT_EQ(nwserver::getServerHandleFromPath("/etc/passwd"), 0u);
  EXPECT_EQ(nwserver::getServerHandleFromPath("SYS:..\\..\\etc"), 0u);
  EXPECT_EQ(lasterror(), 0) << "path failures are not recorded";
}

TEST_F(ServerTest, SerialNumbersLeaveNoConnectionBehind) {
  const std::size_t before = myStations();
  const std::uint32_t serial = nwserver::getServerSerial("FS2");
  EXPECT_NE(serial, 0u) << unitError();
  EXPECT_EQ(myStations(), before);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(nwserver::getServerSerial("fs2"), serial) << i;
  EXPECT_EQ(myStations(), before);
  // A connection the workstation had stays.
  EXPECT_NE(nwserver::getServerSerial("NDS1"), 0u);
  EXPECT_NE(handleOf("NDS1"), 0u);
  EXPECT_EQ(nwserver::getServerSerial("NOSUCH"), 0u);
}

TEST_F(ServerTest, LoginAttachesWhenNeededAndFailedLoginsLeaveNothing) {
  const std::size_t before = myStations();
  EXPECT_FALSE(nwserver::NWLogin("FS2", "MJONES", "wrong", 0));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_PASSWORD));
  EXPECT_EQ(myStations(), before) << "the connection made for the login is closed";

  ASSERT_TRUE(nwserver::NWLogin("fs2", "mjones", "password", 0)) << unitError();
  EXPECT_EQ(myStations(), before + 1);
  bool loggedIn = false;
  for (const auto& s : nwsim::stations())
    loggedIn |= s.workstation == "WS-TEST" && s.server == "FS2" && s.objectName == "MJONES" && s.objectType == 0x0100;
  EXPECT_TRUE(loggedIn);

  // Again on the same connection: already logged in counts as success, no new attach.
  nwsim::resetCallCounts();
  EXPECT_TRUE(nwserver::NWLogin("FS2", "MJONES", "PASSWORD", 0x0100));
  EXPECT_EQ(nwsim::callCount("NWAttachToFileServer"), 0u);
  EXPECT_EQ(myStations(), before + 1);

  // A failed login on a connection the workstation had keeps it.
  EXPECT_FALSE(nwserver::NWLogin("NDS1", "ADMIN", "bad", 0));
  EXPECT_NE(handleOf("NDS1"), 0u);
}

TEST_F(ServerTest, LogoutLogsOutAndDetaches) {
  const NWCONN_HANDLE nds = handleOf("NDS1");
  ASSERT_NE(nds, 0u);
  EXPECT_TRUE(nwserver::NWLogout(nds)) << unitError();
  EXPECT_EQ(handleOf("NDS1"), 0u);
  EXPECT_FALSE(nwserver::NWLogout(nds));
  EXPECT_NE(lasterror(), 0);
}

TEST_F(ServerTest, ClearingAnotherStation) {
  auto stationFive = [] {
    for (const auto& s : nwsim::stations())
      if (s.server == "FS1" && s.connNumber == 5) return true;
    return false;
  };
  ASSERT_TRUE(stationFive());
  EXPECT_TRUE(nwserver::clearConnection(0, 5)) << unitError();
  EXPECT_FALSE(stationFive());
  EXPECT_FALSE(nwserver::clearConnection(0, 5));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_STATION_NUMBER));
}

// ---- Server state ----------------------------------------------------------------------

TEST_F(ServerTest, LoginsOffAndOn) {
  EXPECT_TRUE(nwserver::serverLoginOK(0));
  EXPECT_TRUE(nwserver::disableLogins(0));
  EXPECT_FALSE(nwserver::serverLoginOK(0));
  EXPECT_FALSE(nwserver::NWLogin("FS1", "GUEST", "", 0)) << "logins are off";
  EXPECT_TRUE(nwserver::enableLogins(0));
  EXPECT_TRUE(nwserver::serverLoginOK(0));

  become("WS-GUEST");
  nwserver::TNWServer().resetLastError();
  EXPECT_FALSE(nwserver::disableLogins(0));
  EXPECT_FALSE(nwserver::downServer(0));
  EXPECT_EQ(lasterror(), 0) << "neither records its code";
}

TEST_F(ServerTest, SettingTheClock) {
  ASSERT_TRUE(nwserver::setServerDateTime(0, at(2001, 2, 3, 4, 5, 6))) << unitError();
  EXPECT_DOUBLE_EQ(ostrel::getServerDate(0), at(2001, 2, 3));
  // Only years above 1900 are reduced: 1900 goes out as its low byte, 108, read as 2008.
  ASSERT_TRUE(nwserver::setServerDateTime(0, at(1900, 5, 6, 7, 8, 9))) << unitError();
  EXPECT_DOUBLE_EQ(ostrel::getServerDate(0), at(2008, 5, 6));
  become("WS-GUEST");
  EXPECT_FALSE(nwserver::setServerDateTime(0, at(2001, 2, 3)));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_CONSOLE_RIGHTS));
}

TEST_F(ServerTest, DownServer) {
  ASSERT_TRUE(nwserver::downServer(0));
  nwserver::TNWServerInfo info;
  EXPECT_FALSE(nwserver::getServerStats(0, info));
  EXPECT_FALSE(nwserver::serverLoginOK(0));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_SERVER_DOWN));
}

// ---- Statistics ------------------------------------------------------------------------

TEST_F(ServerTest, UserStatistics) {
  nwserver::TNWConnStats stats;
  stats.expirationTime = 123.5;
  ASSERT_TRUE(nwserver::getUserStats(0, 3, stats)) << unitError();
  EXPECT_DOUBLE_EQ(stats.loginTime, at(2026, 12, 1, 8, 15, 30));
  EXPECT_GE(stats.bytesRead, 1000000u);
  EXPECT_GE(stats.bytesWritten, 250000u);
  EXPECT_GE(stats.totalRequests, 4321u);
  EXPECT_DOUBLE_EQ(stats.expirationTime, 123.5) << "no expiration: left as the caller set it";

  nwserver::TNWConnStats other;
  other.bytesRead = 7;
  nwserver::TNWServer().resetLastError();
  EXPECT_FALSE(nwserver::getUserStats(0, 200, other));
  EXPECT_EQ(other.bytesRead, 7u);
  EXPECT_EQ(lasterror(), 0) << "never recorded";
}

TEST_F(ServerTest, ServerSummaryOfVersion3And4) {
  nwserver::TNWServerInfo fs1;
  ASSERT_TRUE(nwserver::getServerStats(0, fs1));
  EXPECT_EQ(fs1.serverName, "FS1");
  EXPECT_EQ(fs1.version, "3.12");
  EXPECT_EQ(fs1.maxConnections, 250);
  EXPECT_EQ(fs1.volumeCount, 2);
  EXPECT_GE(fs1.connectionsInUse, 3);
  EXPECT_EQ(fs1.utilization, 0);
  EXPECT_EQ(fs1.serverTime, 0u);
  EXPECT_EQ(fs1.packetsServiced, 0u);
  EXPECT_EQ(fs1.packetsRouted, 0u);

  nwserver::TNWServerInfo nds;
  ASSERT_TRUE(nwserver::getServerStats(handleOf("NDS1"), nds));
  EXPECT_EQ(nds.version, "4.11");
  EXPECT_GT(nds.packetsServiced, 0u);
  EXPECT_LE(nds.utilization, 100);

  // The extended record failing: false, yet the basic information is filled.
  nwserver::TNWServerInfo partial;
  partial.packetsServiced = 99;
  nwsim::injectFault("NWGetFileServerInfo", NWE_FAILURE);
  EXPECT_FALSE(nwserver::getServerStats(handleOf("NDS1"), partial));
  EXPECT_EQ(partial.serverName, "NDS1");
  EXPECT_EQ(partial.packetsServiced, 0u);
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(ServerTest, CacheAndFileSystemStatistics) {
  nwserver::TNWMemCacheInfo cache;
  ASSERT_TRUE(nwserver::getCacheInfo(0, cache)) << unitError();
  EXPECT_GT(cache.cacheSetting0, 0u) << "the cache block size";
  EXPECT_GE(cache.memCounter0, cache.memCounter1 > 0 ? 1u : 0u);
  nwsim::injectFault("NWGetCacheInfo", NWE_FAILURE);
  EXPECT_FALSE(nwserver::getCacheInfo(0, cache));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_FAILURE));

  FILESYS_STATS fs{};
  ASSERT_TRUE(nwserver::getFileSysStats(0, fs));
  EXPECT_GT(fs.systemElapsedTime, 0u);
  DSK_CACHE_STATS disk{};
  ASSERT_TRUE(nwserver::getDiskCacheStats(0, disk));
  EXPECT_GT(disk.cacheBufferSize, 0);
  NWFSE_FILE_SERVER_INFO raw{};
  ASSERT_TRUE(nwserver::getServerInformation(handleOf("NDS1"), raw));
  EXPECT_GT(raw.fileServCounters.totalPacketsServiced, 0u);
}

// ---- Modules ---------------------------------------------------------------------------

TEST_F(ServerTest, ModuleListAndInformation) {
  auto list = nwserver::getNLMList(0);
  ASSERT_GE(list->Count(), 2) << unitError();
  std::set<std::intptr_t> numbers;
  for (const auto& item : *list) EXPECT_TRUE(numbers.insert(item.object).second) << item.text;
  const std::int32_t monitor = nwserver::getNLMID(0, "monitor.nlm");
  ASSERT_NE(monitor, 0);
  EXPECT_EQ(nwserver::getNLMID(0, "NOSUCH.NLM"), 0);

  nwserver::TNWNLMInfo info;
  ASSERT_TRUE(nwserver::getNLMInfo(0, monitor, info)) << unitError();
  EXPECT_EQ(info.fileName, "MONITOR.NLM");
  EXPECT_EQ(info.name, "NetWare Console Monitor");
  EXPECT_EQ(info.version, "1.75.2");
  EXPECT_EQ(info.noticeText, "(C) Copyright 1994 Novell");
  EXPECT_DOUBLE_EQ(info.date, at(1994, 6, 6));
  EXPECT_EQ(info.nlmNumber, monitor);

  nwserver::TNWServer().resetLastError();
  EXPECT_FALSE(nwserver::getNLMInfo(0, 9999, info));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NLM_NOT_LOADED));
}

TEST_F(ServerTest, ModuleListsPastOneBatch) {
  std::string modules = "\"nlms\": [ ";
  for (int i = 0; i < 300; ++i) modules += (i ? ", \"M" : "\"M") + std::to_string(i) + ".NLM\"";
  modules += " ],";
  useSeed(seedText({{"\"nlms\": [", modules + " \"unused\": ["}}));
  nwsim::resetCallCounts();
  auto list = nwserver::getNLMList(0);
  EXPECT_EQ(list->Count(), 300) << unitError();
  std::set<std::intptr_t> numbers;
  for (const auto& item : *list) numbers.insert(item.object);
  EXPECT_EQ(numbers.size(), 300u) << "no module twice";
  EXPECT_EQ(nwsim::callCount("NWGetNLMLoadedList"), 3u);
  EXPECT_NE(nwserver::getNLMID(0, "m299.nlm"), 0);
}

TEST_F(ServerTest, ModuleListFailuresAreRecordedOnlyWhenNothingWasListed) {
  nwsim::injectFault("NWGetNLMLoadedList", NWE_NO_CONSOLE_RIGHTS);
  EXPECT_TRUE(nwserver::getNLMList(0)->Empty());
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_CONSOLE_RIGHTS));
}

TEST_F(ServerTest, LoadAndUnloadModules) {
  const fs::path system = netDir() / "volumes" / "FS1" / "SYS" / "SYSTEM";
  std::ofstream(system / "EXTRA.NLM") << "module";
  ASSERT_TRUE(nwserver::nlmLoad(0, "sys:system\\extra.nlm", "ignored")) << unitError();
  EXPECT_NE(nwserver::getNLMID(0, "EXTRA.NLM"), 0);
  EXPECT_FALSE(nwserver::nlmLoad(0, "SYS:SYSTEM\\EXTRA.NLM"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NLM_ALREADY_LOADED));
  ASSERT_TRUE(nwserver::nlmUnload(0, "FS1/SYS:SYSTEM\\extra.nlm")) << unitError();
  EXPECT_EQ(nwserver::getNLMID(0, "EXTRA.NLM"), 0);
  EXPECT_FALSE(nwserver::nlmUnload(0, "EXTRA"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NLM_NOT_LOADED));
  EXPECT_FALSE(nwserver::nlmLoad(0, "SYS:SYSTEM\\MISSING.NLM"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NLM_FILE_NOT_FOUND));
}

TEST_F(ServerTest, VolumesAndCommandFiles) {
  ostrel::TNWPathInfo path;
  ASSERT_TRUE(nwserver::dismountVolume(0, "data")) << unitError();
  EXPECT_FALSE(ostrel::parseNetwarePath(0, "DATA:SHARED", path));
  EXPECT_EQ(nwserver::mountVolume(0, "data"), 1u) << unitError();
  EXPECT_TRUE(ostrel::parseNetwarePath(0, "DATA:SHARED", path));
  nwserver::TNWServer().resetLastError();
  EXPECT_EQ(nwserver::mountVolume(0, "SYS"), 0u) << "volume 0";
  EXPECT_EQ(lasterror(), 0);
  EXPECT_EQ(nwserver::mountVolume(0, "NOVOL"), 0u);
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_VOLUME_DOES_NOT_EXIST));
  EXPECT_FALSE(nwserver::mountVolume(0, "AVOLUMENAMETOOLONG")) << "refused, not cut";

  std::ofstream(netDir() / "volumes" / "FS1" / "SYS" / "SYSTEM" / "OFF.NCF") << "# take DATA off\nDISMOUNT DATA\n";
  ASSERT_TRUE(nwserver::serverExecNCFFile(0, "SYS:SYSTEM\\OFF.NCF")) << unitError();
  EXPECT_FALSE(ostrel::parseNetwarePath(0, "DATA:SHARED", path));
  std::ofstream(netDir() / "volumes" / "FS1" / "SYS" / "SYSTEM" / "BAD.NCF") << "FROBNICATE\n";
  EXPECT_FALSE(nwserver::serverExecNCFFile(0, "SYS:SYSTEM\\BAD.NCF"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_UNKNOWN_COMMAND));
}

TEST_F(ServerTest, ServerParameters) {
  EXPECT_TRUE(nwserver::serverSetIntegerValue(0, "CACHE BUFFER SIZE", 8192)) << unitError();
  EXPECT_TRUE(nwserver::serverSetStringValue(0, "TIME ZONE", "pst8pdt")) << unitError();
  EXPECT_FALSE(nwserver::serverSetIntegerValue(0, "NO SUCH PARAMETER", 1));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_SUCH_PARAMETER));
  EXPECT_FALSE(nwserver::serverSetStringValue(0, "CACHE BUFFER SIZE", "big"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_PARAMETER_VALUE));
}

// ---- Dates the calendar cannot hold ----------------------------------------------------

TEST_F(ServerTest, ImpossibleDatesReadAsZeroAndTheRestIsFilled) {
  useSeed(seedText({{"\"date\": \"1994-06-06\"", "\"date\": \"1994-02-30\""}}));
  nwserver::TNWNLMInfo info;
  const std::int32_t monitor = nwserver::getNLMID(0, "MONITOR.NLM");
  ASSERT_NE(monitor, 0) << "the list goes on past the bad date";
  ASSERT_TRUE(nwserver::getNLMInfo(0, monitor, info));
  EXPECT_EQ(info.date, 0.0);
  EXPECT_EQ(info.version, "1.75.2");
  EXPECT_EQ(info.name, "NetWare Console Monitor");
}
