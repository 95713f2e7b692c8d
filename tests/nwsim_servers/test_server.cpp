// Server control: connections, login and logout, logins off, down servers, the clock,
// statistics, modules, command files and parameters.
#include "servers_test.h"

#include <platform/files.h>

#include <chrono>
#include <set>
#include <thread>

namespace {

using nwtest::ServersTest;

class Server : public ServersTest {
protected:
  std::set<int> stations(const char* server) {
    std::set<int> out;
    for (const auto& st : nwsim::stations())
      if (st.server == server) out.insert(st.connNumber);
    return out;
  }
  void writeSystemFile(const std::string& name, const std::string& text) {
    const int fd = platform::lcreat("FS1/SYS:SYSTEM\\" + name);
    ASSERT_GT(fd, 0) << name;
    EXPECT_EQ(platform::lwrite(fd, text.data(), static_cast<long>(text.size())), static_cast<long>(text.size()));
    platform::lclose(fd);
  }
  std::vector<nuint32> loadedNumbers(NWCONN_HANDLE h) {
    std::vector<nuint32> all;
    nuint32 start = 0;
    for (int pass = 0; pass < 100; ++pass) {
      NWFSE_NLM_LOADED_LIST list{};
      EXPECT_EQ(CALLS(NWGetNLMLoadedList)(h, start, &list), NWE_OK);
      EXPECT_LE(list.NLMsInList, 128u);
      for (nuint32 i = 0; i < list.NLMsInList && i < 128; ++i) all.push_back(list.NLMNumbers[i]);
      if (list.NLMsInList < 128) break;
      start = list.NLMNumbers[127] + 1;
    }
    return all;
  }
};

TEST_F(Server, OpenConnByNameMakesOneStationPerWorkstationAndServer) {
  NWCONN_HANDLE fs2 = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("fs2", 0, &fs2, nullptr), NWE_OK);
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(CLX(NWCCOpenConnByName)(0, "FS2", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, 0, &h), NWE_OK);
  EXPECT_EQ(h, fs2) << "the workstation's connection is reused";

  nwsim::useWorkstation("WS-SALES");
  const auto before = stations("FS2");
  ASSERT_EQ(CLX(NWCCOpenConnByName)(0, "FS2", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, 0, &h), NWE_OK);
  auto after = stations("FS2");
  EXPECT_EQ(after.size(), before.size() + 1) << "a new station";
  EXPECT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_OK);
  EXPECT_EQ(fs2, h);
  NWCONN_HANDLE again = 0;
  EXPECT_EQ(CALLS(NWAttachToFileServer)("FS2", 0, &again), NWE_ALREADY_ATTACHED);
  EXPECT_EQ(again, h);

  ASSERT_EQ(CALLS(NWCCCloseConn)(h), NWE_OK);
  EXPECT_EQ(stations("FS2"), before) << "closing frees the station";
  EXPECT_EQ(CALLS(NWCCCloseConn)(h), NWE_INVALID_CONNECTION);
  EXPECT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_INVALID_CONNECTION);
  EXPECT_EQ(CALLS(NWAttachToFileServer)("FS2", 0, &again), NWE_OK);
  EXPECT_EQ(CALLS(NWDetachFromFileServer)(again), NWE_OK);

  EXPECT_EQ(CLX(NWCCOpenConnByName)(0, "NOSERVER", 2, 1, 0, &h), NWE_SERVER_NOT_FOUND);
  EXPECT_EQ(CLX(NWCCOpenConnByName)(0, "TESTTREE", NWCC_NAME_FORMAT_NDS_TREE, NWCC_OPEN_UNLICENSED, 0, &h), NWE_OK)
      << "WS-SALES has a tree connection to NDS1 already";
  EXPECT_EQ(CLX(NWCCOpenConnByName)(0, "FS2", 5, 1, 0, &h), NWE_INVALID_PARAMETER);
}

TEST_F(Server, LoginChecksThePasswordAndSetsTheStation) {
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &h, nullptr), NWE_OK);  // nobody logged in
  EXPECT_EQ(CALLS(NWLoginToFileServer)(h, "MJONES", 0x0100, "wrong"), NWE_BAD_PASSWORD);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(h, "NOBODY", 0x0100, ""), NWE_NO_SUCH_OBJECT);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(h, "MJONES", 0x0100, ""), NWE_OK) << "MJONES has no password on FS2";
  char name[48] = {};
  nuint16 type = 0;
  nuint32 id = 0;
  nuint8 t[7] = {};
  nuint16 station = 0;
  ASSERT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_OK);
  ASSERT_EQ(CALLS(NWGetConnectionInformation)(h, station, name, &type, &id, t), NWE_OK);
  EXPECT_STREQ(name, "MJONES");
  EXPECT_EQ(t[0], 98) << "FS2's clock is fixed at 1998";
  EXPECT_EQ(CALLS(NWLoginToFileServer)(h, "MJONES", 0x0100, ""), NWE_ALREADY_ATTACHED);
  ASSERT_EQ(CALLS(NWLogoutFromFileServer)(h), NWE_OK);
  ASSERT_EQ(CALLS(NWGetConnectionInformation)(h, station, name, &type, &id, t), NWE_OK);
  EXPECT_STREQ(name, "");
}

TEST_F(Server, LoginsDisabledRefuseEveryoneButSupervisor) {
  NWCONN_HANDLE h = primary();
  nuint8 enabled = 0;
  ASSERT_EQ(CALLS(NWGetFileServerLoginStatus)(h, &enabled), NWE_OK);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(CALLS(NWDisableFileServerLogin)(as("WS-SALES")), NWE_NO_CONSOLE_RIGHTS);
  ASSERT_EQ(CALLS(NWDisableFileServerLogin)(as("WS-TEST")), NWE_OK);
  ASSERT_EQ(CALLS(NWGetFileServerLoginStatus)(h, &enabled), NWE_OK);
  EXPECT_EQ(enabled, 0);

  // A new workstation is attached to FS1 and logged in as SUPERVISOR (net.cfg).
  NWCONN_HANDLE fresh = as("WS-NEW");
  ASSERT_EQ(CALLS(NWLogoutFromFileServer)(fresh), NWE_OK);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(fresh, "JSMITH", 0x0100, "secret"), NWE_LOGIN_DISABLED);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(fresh, "SUPERVISOR", 0x0100, "wrong"), NWE_BAD_PASSWORD);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(fresh, "SUPERVISOR", 0x0100, "NETWARE"), NWE_OK);
  ASSERT_EQ(CALLS(NWEnableFileServerLogin)(fresh), NWE_OK);
  ASSERT_EQ(CALLS(NWLogoutFromFileServer)(fresh), NWE_OK);
  EXPECT_EQ(CALLS(NWLoginToFileServer)(fresh, "JSMITH", 0x0100, "secret"), NWE_OK);
}

TEST_F(Server, ADownServerRefusesRequests) {
  EXPECT_EQ(CALLS(NWDownFileServer)(as("WS-SALES"), 1), NWE_NO_CONSOLE_RIGHTS);
  // A file another station has open holds the server up unless forced.
  as("WS-SALES");
  const int held = platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READ);
  ASSERT_GT(held, 0);
  NWCONN_HANDLE h = as("WS-TEST");
  EXPECT_EQ(CALLS(NWDownFileServer)(h, 0), NWE_FAILURE);
  nuint16 station = 0;
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_OK) << "still up";
  ASSERT_EQ(CALLS(NWDownFileServer)(h, 1), NWE_OK);
  platform::lclose(held);
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_SERVER_DOWN);
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(h), NWE_SERVER_DOWN);
  EXPECT_EQ(platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READ), platform::HFILE_ERROR);
  NWCONN_HANDLE other = 0;
  nwsim::useWorkstation("WS-NEW");
  EXPECT_EQ(CLX(NWCCOpenConnByName)(0, "FS1", 2, 1, 0, &other), NWE_SERVER_DOWN);
}

TEST_F(Server, SettingTheClockNeedsConsoleRightsAndKeepsItRunning) {
  EXPECT_EQ(CALLS(NWSetFileServerDateAndTime)(as("WS-SALES"), 101, 2, 3, 4, 5, 6), NWE_NO_CONSOLE_RIGHTS);
  NWCONN_HANDLE h = as("WS-ACCT");
  ASSERT_EQ(CALLS(NWSetFileServerDateAndTime)(h, 101, 2, 3, 4, 5, 6), NWE_OK);
  nuint8 t[7] = {};
  ASSERT_EQ(CALLS(NWGetFileServerDateAndTime)(h, t), NWE_OK);
  EXPECT_EQ(t[0], 101);
  EXPECT_EQ(t[1], 2);
  EXPECT_EQ(t[2], 3);
  EXPECT_EQ(t[3], 4);
  EXPECT_EQ(t[4], 5);
  EXPECT_LE(t[5] - 6, 2) << "the clock goes on from the time set";
  EXPECT_EQ(CALLS(NWSetFileServerDateAndTime)(h, 101, 2, 30, 4, 5, 6), NWE_INVALID_PARAMETER) << "30 February";
  EXPECT_EQ(CALLS(NWSetFileServerDateAndTime)(h, 101, 13, 1, 4, 5, 6), NWE_INVALID_PARAMETER);
  EXPECT_EQ(CALLS(NWSetFileServerDateAndTime)(h, 101, 1, 1, 24, 0, 0), NWE_INVALID_PARAMETER);
}

TEST_F(Server, StatisticsMoveWithTheServersWork) {
  NWCONN_HANDLE h = primary();
  NWFSE_FILE_SERVER_INFO a{}, b{};
  ASSERT_EQ(CALLS(NWGetFileServerInfo)(h, &a), NWE_OK);
  for (int i = 0; i < 50; ++i) {
    nuint16 n = 0;
    CALLS(NWGetConnectionNumber)(h, &n);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  ASSERT_EQ(CALLS(NWGetFileServerInfo)(h, &b), NWE_OK);
  EXPECT_GE(b.fileServCounters.totalPacketsServiced, a.fileServCounters.totalPacketsServiced + 51);
  EXPECT_GT(b.fileServInfo.serverUtilization, 1u) << "about 200 requests a second";
  EXPECT_LE(b.fileServInfo.serverUtilization, 100u);
  EXPECT_GE(b.serverTimeAndVConsoleInfo.currentServerTime, a.serverTimeAndVConsoleInfo.currentServerTime);
  // The library reads these bytes itself.
  const auto* raw = reinterpret_cast<const nuint8*>(&b);
  nuint32 serviced = 0;
  std::memcpy(&serviced, raw + 140, 4);
  EXPECT_EQ(serviced, b.fileServCounters.totalPacketsServiced);
  EXPECT_EQ(raw[24], b.fileServInfo.serverUtilization);

  char name[48];
  nuint8 major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
  nuint16 maxConns = 0, peak = 0, inUse = 0, vols = 0;
  ASSERT_EQ(CALLS(NWGetFileServerInformation)(h, name, &major, &minor, &rev, &maxConns, &peak, &inUse, &vols, &sft, &tts), NWE_OK);
  EXPECT_STREQ(name, "FS1");
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 12);
  EXPECT_EQ(maxConns, 250);
  EXPECT_EQ(inUse, 3) << "WS-TEST, WS-SALES, WS-ACCT";
  EXPECT_EQ(vols, 2);
  // A new workstation comes with a station of its own; it gives it up and opens another.
  NWCONN_HANDLE extra = as("WS-NEW");
  ASSERT_EQ(CALLS(NWCCCloseConn)(extra), NWE_OK);
  ASSERT_EQ(CLX(NWCCOpenConnByName)(0, "FS1", 2, 1, 0, &extra), NWE_OK);
  ASSERT_EQ(CALLS(NWCCCloseConn)(extra), NWE_OK);
  nwsim::useWorkstation("WS-TEST");
  ASSERT_EQ(CALLS(NWGetFileServerInformation)(h, nullptr, nullptr, nullptr, nullptr, nullptr, &peak, &inUse, nullptr, nullptr, nullptr), NWE_OK);
  EXPECT_EQ(inUse, 3);
  EXPECT_EQ(peak, 4) << "the peak remembers the station that came and went";

  FILESYS_STATS fs1{}, fs2{};
  ASSERT_EQ(CALLS(NWGetFileSystemStats)(h, &fs1), NWE_OK);
  const int fd = platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READ);
  ASSERT_EQ(CALLS(NWGetFileSystemStats)(h, &fs2), NWE_OK);
  EXPECT_EQ(fs2.currOpenFiles, fs1.currOpenFiles + 1);
  EXPECT_EQ(fs2.totalFilesOpened, fs1.totalFilesOpened + 1);
  platform::lclose(fd);

  NWFSE_CACHE_INFO cache{};
  ASSERT_EQ(CALLS(NWGetCacheInfo)(h, &cache), NWE_OK);
  EXPECT_EQ(cache.cacheSettings[0], 4096u);
  ASSERT_EQ(CALLS(NWSMSetDynamicCmdIntValue)(h, "Cache Buffer Size", 8192), NWE_OK);
  ASSERT_EQ(CALLS(NWGetCacheInfo)(h, &cache), NWE_OK);
  EXPECT_EQ(cache.cacheSettings[0], 8192u);
  DSK_CACHE_STATS disk{};
  ASSERT_EQ(CALLS(NWGetDiskCacheStats)(h, &disk), NWE_OK);
  EXPECT_EQ(disk.cacheBufferSize, 8192);
  EXPECT_GT(disk.cacheGetRequests, 0u);
}

TEST_F(Server, UserInformationOfAStation) {
  char name[48];
  NWFSE_USER_INFO info{};
  ASSERT_EQ(CALLS(NWGetUserInfo)(primary(), 5, name, &info), NWE_OK);
  EXPECT_STREQ(name, "JSMITH");
  EXPECT_EQ(info.userInfo.connNum, 5u);
  EXPECT_EQ(info.userInfo.loginTime[0], 126);
  EXPECT_EQ(info.userInfo.loginTime[1], 12);
  EXPECT_EQ(info.userInfo.loginTime[2], 2);
  EXPECT_EQ(CALLS(NWGetUserInfo)(primary(), 4, name, &info), NWE_BAD_STATION_NUMBER);
  EXPECT_EQ(CALLS(NWGetUserInfo)(as("WS-SALES"), 3, name, &info), NWE_NO_CONSOLE_RIGHTS);
  EXPECT_EQ(CALLS(NWGetUserInfo)(as("WS-SALES"), 5, name, &info), NWE_OK) << "its own station";
}

TEST_F(Server, ClearingAStationIsForConsoleOperators) {
  EXPECT_EQ(CALLS(NWClearConnectionNumber)(as("WS-SALES"), 7), NWE_NO_CONSOLE_RIGHTS);
  ASSERT_EQ(CALLS(NWClearConnectionNumber)(as("WS-TEST"), 7), NWE_OK);
  EXPECT_EQ(stations("FS1"), (std::set<int>{3, 5}));
  EXPECT_EQ(CALLS(NWClearConnectionNumber)(primary(), 7), NWE_BAD_STATION_NUMBER);
  nuint16 count = 0, list[50];
  ASSERT_EQ(CALLS(NWGetConnListFromObject)(primary(), 0x1000001Au, 1, &count, list), NWE_OK);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(list[0], 5);
}

TEST_F(Server, ModulesListInBatchesOf128WithTheNextStart) {
  NWCONN_HANDLE h = primary();
  EXPECT_EQ(loadedNumbers(h).size(), 3u);
  std::string ncf;
  for (int i = 0; i < 140; ++i) {
    char file[16];
    std::snprintf(file, sizeof file, "M%03d.NLM", i);
    writeSystemFile(file, "Module " + std::to_string(i) + "\n");
    ncf += std::string("LOAD ") + file + "\r\n";
  }
  writeSystemFile("MANY.NCF", ncf);
  ASSERT_EQ(CALLS(NWSMExecuteNCFFile)(h, "SYS:SYSTEM\\MANY.NCF"), NWE_OK);
  auto numbers = loadedNumbers(h);
  ASSERT_EQ(numbers.size(), 143u);
  EXPECT_EQ(std::set<nuint32>(numbers.begin(), numbers.end()).size(), 143u) << "no number twice";

  char file[128], desc[128], notice[128];
  NWFSE_NLM_INFO info{};
  ASSERT_EQ(CALLS(NWGetNLMInfo)(h, numbers.back(), file, desc, notice, &info), NWE_OK);
  EXPECT_STREQ(file, "M139.NLM");
  EXPECT_STREQ(desc, "Module 139");
  ASSERT_EQ(CALLS(NWGetNLMInfo)(h, numbers[1], file, desc, notice, &info), NWE_OK);
  EXPECT_STREQ(file, "MONITOR.NLM");
  EXPECT_STREQ(notice, "(C) Copyright 1983-1994 Novell, Inc.");
  EXPECT_EQ(info.NLMInfo.majorVersion, 1u);
  EXPECT_EQ(info.NLMInfo.minorVersion, 75u);
  EXPECT_EQ(info.NLMInfo.year, 1994u);
  EXPECT_EQ(CALLS(NWGetNLMInfo)(h, 9999, file, desc, notice, &info), NWE_NLM_NOT_LOADED);
}

TEST_F(Server, LoadAndUnloadModules) {
  NWCONN_HANDLE h = primary();
  EXPECT_EQ(CALLS(NWSMLoadNLM)(h, "NOSUCH"), NWE_NLM_FILE_NOT_FOUND) << "no file in SYS:SYSTEM";
  EXPECT_EQ(CALLS(NWSMLoadNLM)(h, "MONITOR"), NWE_NLM_ALREADY_LOADED);
  writeSystemFile("REMOTE.NLM", "NetWare Remote Console\n");
  EXPECT_EQ(CALLS(NWSMLoadNLM)(as("WS-SALES"), "REMOTE"), NWE_NO_CONSOLE_RIGHTS);
  h = as("WS-TEST");
  ASSERT_EQ(CALLS(NWSMLoadNLM)(h, "remote"), NWE_OK);
  EXPECT_EQ(CALLS(NWSMLoadNLM)(h, "SYS:SYSTEM\\REMOTE.NLM"), NWE_NLM_ALREADY_LOADED);
  EXPECT_EQ(loadedNumbers(h).size(), 4u);
  ASSERT_EQ(CALLS(NWSMUnloadNLM)(h, "REMOTE"), NWE_OK);
  EXPECT_EQ(CALLS(NWSMUnloadNLM)(h, "REMOTE.NLM"), NWE_NLM_NOT_LOADED);
  ASSERT_EQ(CALLS(NWSMUnloadNLM)(h, "streams.nlm"), NWE_OK);
  EXPECT_EQ(loadedNumbers(h).size(), 2u);
}

TEST_F(Server, CommandFilesRunConsoleCommands) {
  NWCONN_HANDLE h = primary();
  writeSystemFile("REMOTE.NLM", "NetWare Remote Console\n");
  writeSystemFile("SETUP.NCF",
                  "# server setup\r\n"
                  "REM nothing\r\n"
                  "\r\n"
                  "LOAD REMOTE SECRETPW\r\n"
                  "UNLOAD CLIB\r\n"
                  "DISMOUNT DATA\r\n"
                  "SET TIME ZONE = est5edt\r\n"
                  "SET MAXIMUM SERVICE PROCESSES = 40\r\n");
  ASSERT_EQ(CALLS(NWSMExecuteNCFFile)(h, "SETUP"), NWE_OK);
  EXPECT_EQ(loadedNumbers(h).size(), 3u);  // REMOTE in, CLIB out
  nuint16 number = 0;
  EXPECT_EQ(CALLS(NWGetVolumeNumber)(h, "DATA", &number), NWE_VOLUME_DOES_NOT_EXIST);

  writeSystemFile("BAD.NCF", "MOUNT ALL\r\nFROBNICATE\r\nSET NO SUCH THING = 1\r\nSET MAXIMUM SERVICE PROCESSES = 1000\r\n");
  EXPECT_EQ(CALLS(NWSMExecuteNCFFile)(h, "SYS:SYSTEM\\BAD.NCF"), NWE_UNKNOWN_COMMAND) << "the first failing line";
  EXPECT_EQ(CALLS(NWGetVolumeNumber)(h, "DATA", &number), NWE_OK) << "the lines before and after a failure run";
  EXPECT_EQ(CALLS(NWSMExecuteNCFFile)(h, "NOFILE"), NWE_NLM_FILE_NOT_FOUND);
  EXPECT_EQ(CALLS(NWSMExecuteNCFFile)(as("WS-SALES"), "SETUP"), NWE_NO_CONSOLE_RIGHTS);
}

TEST_F(Server, ParametersAreCheckedByKindAndRange) {
  NWCONN_HANDLE h = primary();
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdStrValue)(h, "TIME ZONE", "PST8PDT"), NWE_OK);
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdStrValue)(h, "CACHE BUFFER SIZE", "8192"), NWE_BAD_PARAMETER_VALUE);
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdIntValue)(h, "TIME ZONE", 5), NWE_BAD_PARAMETER_VALUE);
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdIntValue)(h, "CACHE BUFFER SIZE", 100), NWE_BAD_PARAMETER_VALUE);
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdIntValue)(h, "NO SUCH PARAMETER", 1), NWE_NO_SUCH_PARAMETER);
  EXPECT_EQ(CALLS(NWSMSetDynamicCmdIntValue)(as("WS-SALES"), "CACHE BUFFER SIZE", 8192), NWE_NO_CONSOLE_RIGHTS);
}

TEST_F(Server, SerialNumbersAndPackedDates) {
  nuint32 serial = 0;
  nuint16 app = 0;
  ASSERT_EQ(CALLS(NWGetNetworkSerialNumber)(primary(), &serial, &app), NWE_OK);
  EXPECT_NE(serial, 0u);
  NW_DATE d{};
  NW_TIME t{};
  // 2001-02-03 04:05:06
  const nuint32 packed = ((21u << 9 | 2u << 5 | 3u) << 16) | (4u << 11 | 5u << 5 | 3u);
  ASSERT_EQ(CALLS(NWUnpackDateTime)(packed, &d, &t), NWE_OK);
  EXPECT_EQ(d.year, 2001);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 3);
  EXPECT_EQ(t.hours, 4);
  EXPECT_EQ(t.minutes, 5);
  EXPECT_EQ(t.seconds, 6);
}

TEST_F(Server, PrimaryConnectionCanBeChosen) {
  NWCONN_HANDLE fs2 = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_OK);
  ASSERT_EQ(CALLS(NWSetPrimaryConnectionID)(fs2), NWE_OK);
  EXPECT_EQ(primary(), fs2);
  EXPECT_EQ(CALLS(NWSetPrimaryConnectionID)(4711), NWE_INVALID_CONNECTION);
}

} // namespace
