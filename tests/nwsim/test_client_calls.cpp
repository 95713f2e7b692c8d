// The client functions of connections and servers, called directly, and the machinery
// around them: fault injection, call counters, export lists of the profiles.
#include "client.h"
#include "fixtures/netfixture.h"

#include <dlfcn.h>

#include <cstring>

namespace {

class ClientCalls : public nwtest::NetworkTest {
protected:
  NWCONN_HANDLE primary() {
    NWCONN_HANDLE h = 0;
    EXPECT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK);
    return h;
  }
  NWCONN_HANDLE connectionTo(const char* server) {
    nuint32 it = 0;
    NWCONN_REF ref;
    while (CLX(NWCCScanConnRefs)(&it, &ref) == NWE_OK) {
      NWCCConnInfo ci;
      if (CLX(NWCCGetAllConnRefInfo)(ref, 1, &ci) == NWE_OK && std::strcmp(ci.serverName, server) == 0) {
        NWCONN_HANDLE h = 0;
        EXPECT_EQ(CLX(NWCCOpenConnByRef)(ref, 1, 0, &h), NWE_OK);
        return h;
      }
    }
    ADD_FAILURE() << "no connection to " << server;
    return 0;
  }
};

} // namespace

TEST_F(ClientCalls, PrimaryConnectionAndItsReference) {
  NWCONN_REF ref = 0;
  ASSERT_EQ(CLX(NWCCGetPrimConnRef)(&ref), NWE_OK);
  NWCONN_HANDLE a = 0, b = 0;
  ASSERT_EQ(CLX(NWCCOpenConnByRef)(ref, 1, 0, &a), NWE_OK);
  ASSERT_EQ(CLX(NWCCOpenConnByRef)(ref, 1, 0, &b), NWE_OK);
  EXPECT_EQ(a, b) << "opening a reference twice gives the same handle";
  EXPECT_EQ(a, primary());
  EXPECT_EQ(CLX(NWCCOpenConnByRef)(9999, 1, 0, &a), NWE_INVALID_CONNECTION);
}

TEST_F(ClientCalls, StationsAndWhoIsOnThem) {
  NWCONN_HANDLE fs1 = primary();
  nuint16 me = 0;
  ASSERT_EQ(CALLS(NWGetConnectionNumber)(fs1, &me), NWE_OK);
  EXPECT_EQ(me, 3);
  struct Row { nuint16 station; const char* name; nuint16 type; nuint32 id; int year, month, day, hour, minute, second; };
  const Row rows[] = {
      {3, "SUPERVISOR", 0x0100, 0x00000001, 126, 12, 1, 8, 15, 30},
      {5, "JSMITH", 0x0100, 0x1A000010, 126, 12, 2, 9, 0, 0},
      {7, "MJONES", 0x0100, 0x1A000011, 126, 12, 3, 13, 45, 10},
      {9, "", 0, 0, 0, 0, 0, 0, 0, 0},  // free station
  };
  for (const Row& r : rows) {
    char name[48];
    std::memset(name, 'x', sizeof name);
    nuint16 type = 0xFFFF;
    nuint32 id = 0xFFFFFFFF;
    nuint8 t[7];
    ASSERT_EQ(CALLS(NWGetConnectionInformation)(fs1, r.station, name, &type, &id, t), NWE_OK) << r.station;
    EXPECT_STREQ(name, r.name);
    EXPECT_EQ(type, r.type);
    EXPECT_EQ(id, __builtin_bswap32(r.id)) << "IDs come high byte first";
    EXPECT_EQ(t[0], r.year);
    EXPECT_EQ(t[1], r.month);
    EXPECT_EQ(t[2], r.day);
    EXPECT_EQ(t[3], r.hour);
    EXPECT_EQ(t[4], r.minute);
    EXPECT_EQ(t[5], r.second);
  }
  char name[48];
  nuint16 type;
  nuint32 id;
  nuint8 t[7];
  EXPECT_EQ(CALLS(NWGetConnectionInformation)(fs1, 0, name, &type, &id, t), NWE_BAD_STATION_NUMBER);
  EXPECT_EQ(CALLS(NWGetConnectionInformation)(fs1, 251, name, &type, &id, t), NWE_BAD_STATION_NUMBER);
  EXPECT_EQ(CALLS(NWGetConnectionInformation)(4242, 3, name, &type, &id, t), NWE_INVALID_CONNECTION);
}

TEST_F(ClientCalls, ObjectConnectionNumbersCompareNamesExactlyAndRespectTheMaximum) {
  NWCONN_HANDLE fs1 = primary();
  nuint16 list[4] = {0, 0, 0, 0xBEEF};
  nuint16 n = 0;
  ASSERT_EQ(CALLS(NWGetObjectConnectionNumbers)(fs1, "JSMITH", 0x0100, &n, list, 3), NWE_OK);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(list[0], 5);
  ASSERT_EQ(CALLS(NWGetObjectConnectionNumbers)(fs1, "jsmith", 0x0100, &n, list, 3), NWE_OK);
  EXPECT_EQ(n, 0);
  // Log SUPERVISOR in from two more workstations, then ask for at most 2 of its 3 stations.
  nwsim::useWorkstation("WS-X1");
  primary();
  nwsim::useWorkstation("WS-X2");
  primary();
  nwsim::useWorkstation("WS-TEST");
  ASSERT_EQ(CALLS(NWGetObjectConnectionNumbers)(fs1, "SUPERVISOR", 0x0100, &n, list, 2), NWE_OK);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(list[3], 0xBEEF) << "nothing written past the maximum";
}

TEST_F(ClientCalls, ServerNamesClocksAndInformationRecords) {
  NWCONN_HANDLE fs2 = connectionTo("FS2");
  nuint8 dt[7];
  ASSERT_EQ(CALLS(NWGetFileServerDateAndTime)(fs2, dt), NWE_OK);
  const nuint8 frozen[7] = {98, 9, 15, 10, 30, 45, 2};  // a Tuesday
  EXPECT_EQ(std::memcmp(dt, frozen, 7), 0);

  NWCONN_HANDLE nds = connectionTo("NDS1");
  NWCCConnInfo ci;
  ASSERT_EQ(CLX(NWCCGetAllConnInfo)(nds, 1, &ci), NWE_OK);
  EXPECT_STREQ(ci.treeName, "TESTTREE________________________");
  EXPECT_EQ(ci.connNum, 2u);
  EXPECT_EQ(ci.serverVersion.major, 4u);
  EXPECT_EQ(ci.serverVersion.minor, 11u);
  EXPECT_EQ(CLX(NWCCGetAllConnInfo)(nds, 2, &ci), NWE_INFO_TYPE_UNKNOWN);

  // The tree connection of WS-SALES knows no server name.
  nwsim::useWorkstation("WS-SALES");
  NWCONN_HANDLE tree = connectionTo("");
  ASSERT_EQ(CLX(NWCCGetAllConnInfo)(tree, 1, &ci), NWE_OK);
  EXPECT_STREQ(ci.serverName, "");
  EXPECT_STREQ(ci.treeName, "TESTTREE________________________");
}

TEST_F(ClientCalls, ConnInfoChecksTheCallersBufferLength) {
  NWCONN_HANDLE fs1 = primary();
  char name[64];
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(CLX(NWCCGetConnInfo)(fs1, NWCC_INFO_SERVER_NAME, 47, name), NWE_BUFFER_TOO_SMALL);
  EXPECT_EQ(name[0], 'x') << "nothing written on failure";
  ASSERT_EQ(CLX(NWCCGetConnInfo)(fs1, NWCC_INFO_SERVER_NAME, 48, name), NWE_OK);
  EXPECT_STREQ(name, "FS1");
  EXPECT_EQ(name[48], 'x') << "nothing written past 48 bytes";
  nuint32 number = 0;
  EXPECT_EQ(CLX(NWCCGetConnInfo)(fs1, NWCC_INFO_CONN_NUMBER, 2, &number), NWE_BUFFER_TOO_SMALL);
  ASSERT_EQ(CLX(NWCCGetConnInfo)(fs1, NWCC_INFO_CONN_NUMBER, 4, &number), NWE_OK);
  EXPECT_EQ(number, 3u);
  nuint16 mode = 7;
  ASSERT_EQ(CLX(NWCCGetConnInfo)(fs1, NWCC_INFO_BCAST_STATE, 2, &mode), NWE_OK);
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(CLX(NWCCGetConnInfo)(fs1, 99, 64, name), NWE_INFO_TYPE_UNKNOWN);
}

TEST_F(ClientCalls, ConnectionStatusFillsOnlyTheGivenLength) {
  NWCONN_HANDLE fs1 = primary();
  std::uint8_t buf[300];
  std::memset(buf, 0xAB, sizeof buf);
  ASSERT_EQ(CALLS(NWGetConnectionStatus)(fs1, buf, 30), NWE_OK);
  EXPECT_EQ(buf[30], 0xAB);
  ASSERT_EQ(CALLS(NWGetConnectionStatus)(fs1, buf, 256), NWE_OK);
  EXPECT_EQ(buf[256], 0xAB);
  nuint32 number;
  std::memcpy(&number, buf, 4);
  EXPECT_EQ(number, 3u);
  EXPECT_STREQ(reinterpret_cast<char*>(buf + NW_CONN_STATUS_SERVER_NAME), "FS1");
}

TEST_F(ClientCalls, ConnectionListAndScanFollowTheOrderConnectionsWereMade) {
  nuint16 list[4] = {0, 0, 0, 0};
  nuint16 n = 0;
  ASSERT_EQ(CALLS(NWGetConnectionList)(0, list, 2, &n), NWE_OK);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(list[2], 0);
  ASSERT_EQ(CALLS(NWGetConnectionList)(0, list, 4, &n), NWE_OK);
  EXPECT_EQ(n, 3);
  std::vector<std::string> names;
  nuint32 it = 0;
  NWCONN_REF ref;
  NWCCODE rc;
  while ((rc = CLX(NWCCScanConnRefs)(&it, &ref)) == NWE_OK) {
    NWCCConnInfo ci;
    ASSERT_EQ(CLX(NWCCGetAllConnRefInfo)(ref, 1, &ci), NWE_OK);
    names.push_back(ci.serverName);
  }
  EXPECT_EQ(rc, NWE_NO_MORE_ENTRIES);
  EXPECT_EQ(names, (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
}

TEST_F(ClientCalls, UsageCountersMoveWithRequests) {
  NWCONN_HANDLE fs1 = primary();
  CONN_USE a, b;
  ASSERT_EQ(CALLS(NWGetConnectionUsageStats)(fs1, 3, &a), NWE_OK);
  std::uint64_t readA = 0;
  for (int i = 5; i >= 0; --i) readA = (readA << 8) | a.bytesRead[i];
  EXPECT_GE(readA, 1000000u) << "six-byte counters are stored lowest byte first";
  ASSERT_EQ(CALLS(NWGetConnectionUsageStats)(fs1, 3, &b), NWE_OK);
  EXPECT_GT(b.totalRequestPackets, a.totalRequestPackets);
  EXPECT_EQ(CALLS(NWGetConnectionUsageStats)(fs1, 9, &b), NWE_BAD_STATION_NUMBER) << "a free station has no usage";
  NW_INET_ADDR addr;
  ASSERT_EQ(CALLS(NWGetInetAddr)(fs1, 5, &addr), NWE_OK);
  const nuint8 net[4] = {0x00, 0x00, 0xC9, 0xA1};
  const nuint8 node[6] = {0x00, 0x00, 0x1B, 0x00, 0x00, 0x02};  // WS-SALES
  EXPECT_EQ(std::memcmp(addr.networkAddr, net, 4), 0);
  EXPECT_EQ(std::memcmp(addr.netNodeAddr, node, 6), 0);
}

TEST_F(ClientCalls, InjectedFaultsFailTheNamedFunctionOnly) {
  NWCONN_HANDLE fs1 = primary();
  char name[48];
  nwsim::injectFault("NWGetFileServerName", NWE_FAILURE, 2);
  EXPECT_EQ(CALLS(NWGetFileServerName)(fs1, name), NWE_FAILURE);
  nuint16 station;
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(fs1, &station), NWE_OK);
  EXPECT_EQ(CALLS(NWGetFileServerName)(fs1, name), NWE_FAILURE);
  EXPECT_EQ(CALLS(NWGetFileServerName)(fs1, name), NWE_OK) << "the fault was for two calls";

  nwsim::injectFault("NWGetConnectionNumber", NWE_SERVER_DOWN, -1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CALLS(NWGetConnectionNumber)(fs1, &station), NWE_SERVER_DOWN);
  nwsim::clearFaults();
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(fs1, &station), NWE_OK);
}

TEST_F(ClientCalls, CallCountersCountEveryCallPerFunction) {
  nwsim::resetCallCounts();
  auto swap = CALLS(NWLongSwap);
  EXPECT_EQ(swap(0x12345678), 0x78563412);
  EXPECT_EQ(swap(-1), -1);
  EXPECT_EQ(nwsim::callCount("NWLongSwap"), 2u);
  EXPECT_EQ(nwsim::callCount("NWCallsInit"), 0u);
  nuint16 max = 0;
  EXPECT_EQ(CALLS(NWGetMaximumConnections)(&max), NWE_OK);
  EXPECT_GT(max, 0);
  EXPECT_EQ(nwsim::callCount("NWGetMaximumConnections"), 1u);
}

TEST(Profiles, EachLibraryExportsExactlyItsFunctions) {
  auto load = [](const char* profile, const char* lib) -> void* {
    std::string path = std::string(NWCLIENT_PROFILE_ROOT) + "/" + profile + "/" + lib;
    return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  };
  void* fullCalls = load("full", "libcalwin32.so");
  void* fullClx = load("full", "libclxwin32.so");
  void* legacyCalls = load("legacy", "libcalwin32.so");
  void* legacyClx = load("legacy", "libclxwin32.so");
  ASSERT_TRUE(fullCalls && fullClx && legacyCalls && legacyClx);
  EXPECT_NE(::dlsym(fullCalls, "NWGetConnectionNumber"), nullptr);
  EXPECT_EQ(::dlsym(fullCalls, "NWCCGetConnInfo"), nullptr) << "connection services live in CLXWIN32";
  EXPECT_NE(::dlsym(fullClx, "NWCCGetConnInfo"), nullptr);
  EXPECT_EQ(::dlsym(fullClx, "NWGetConnectionNumber"), nullptr);
  EXPECT_EQ(::dlsym(legacyClx, "NWCCGetConnInfo"), nullptr) << "the older client has no NWCC functions";
  EXPECT_NE(::dlsym(legacyCalls, "NWGetPrimaryConnectionID"), nullptr);
  EXPECT_EQ(load("callsonly", "libclxwin32.so"), nullptr);
  EXPECT_NE(load("callsonly", "libcalwin32.so"), nullptr);
}
