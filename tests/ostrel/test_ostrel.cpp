// Unit Ostrel against the full client: binding, the call frame, the error model, and the
// connection and server operations.
#include "ostrel_support.h"

#include <ostrel/client.h>
#include <ostrel/counters.h>

#include <functional>

using namespace ostreltest;
using ostrel::lasterror;

namespace {
// The client pads tree names with "_" to 32 characters; the unit turns them into blanks.
const std::string kTree = "TESTTREE" + std::string(24, ' ');

template <typename Clock, typename Call>
bool isLocalClock(Clock clock, Call call) {
  const double before = clock(), value = call(), after = clock();
  return before <= value && value <= after;
}
} // namespace

// ---- Binding and the primary connection ----------------------------------------------

TEST_F(OstrelTest, ConstructionLoadsTheClientAndRemembersThePrimaryConnection) {
  ostrel::setAutoNDS(true);
  nwsim::resetCallCounts();
  ostrel::TOstrel again;
  EXPECT_TRUE(ostrel::hNWCalls() && ostrel::hNWClx());
  EXPECT_EQ(again.getLastError(), "0000");
  EXPECT_FALSE(ostrel::isNDS()) << "construction resets the unit state";
  EXPECT_EQ(nwsim::callCount("NWCallsInit"), 1u);
  EXPECT_EQ(nwsim::callCount("NWCCOpenConnByRef"), 1u);
  EXPECT_EQ(nwsim::callCount("NWGetPrimaryConnectionID"), 0u);
  EXPECT_EQ(ostrel::getOstrelVersion(), "4.50 - 15 Sept 1998");

  // The remembered connection is used without asking the client, for 0 as well, even when
  // it is no longer this workstation's.
  nwsim::resetCallCounts();
  const NWCONN_HANDLE primary = ostrel::getPrimaryServerID();
  EXPECT_EQ(primary, handleOf("FS1"));
  EXPECT_TRUE(ostrel::nwInit());
  EXPECT_EQ(ostrel::getConnectID(0), 3);
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(ostrel::getPrimaryServerID(), primary);
  EXPECT_EQ(nwsim::callCount("NWCCGetPrimConnRef"), 0u);
}

TEST_F(OstrelTest, WithoutARememberedConnectionEveryLookupAsksTheClient) {
  const auto stations = nwsim::stations().size();
  nwsim::injectFault("NWCallsInit", NWE_FAILURE);
  ostrel::TOstrel again;
  EXPECT_EQ(lasterror(), 0) << "a failed initialisation is not recorded";
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getPrimaryServerID(), handleOf("FS1"));
  EXPECT_EQ(ostrel::getPrimaryServerID(), handleOf("FS1"));
  EXPECT_EQ(nwsim::callCount("NWCCOpenConnByRef"), 2u);
  EXPECT_EQ(nwsim::stations().size(), stations) << "opening by reference allocates nothing";

  struct Case { const char* fault; std::int32_t code, expected; std::uint64_t opens; };
  for (const Case& c : {Case{"NWCCGetPrimConnRef", NWE_NO_PRIMARY_CONNECTION, -1, 0},
                        Case{"NWCCOpenConnByRef", NWE_INVALID_CONNECTION, NWE_INVALID_CONNECTION, 1}}) {
    SCOPED_TRACE(c.fault);
    nwsim::resetCallCounts();
    nwsim::injectFault(c.fault, c.code, 2);
    EXPECT_EQ(ostrel::getPrimaryServerID(), 0u);
    EXPECT_EQ(lasterror(), c.expected) << unitError();
    EXPECT_EQ(nwsim::callCount("NWCCOpenConnByRef"), c.opens);
    EXPECT_EQ(nwsim::callCount("NWGetPrimaryConnectionID"), 0u);
    EXPECT_FALSE(ostrel::nwInit());
  }
}

TEST_F(OstrelTest, LongSwapReversesBytesThroughTheClient) {
  struct Case { std::int32_t in, out; };
  const Case cases[] = {{0x12345678, 0x78563412}, {0, 0}, {-1, -1}, {1, 0x01000000},
                        {static_cast<std::int32_t>(0x8000000F), 0x0F000080}};
  nwsim::resetCallCounts();
  for (const Case& c : cases) EXPECT_EQ(ostrel::longSwap(c.in), c.out) << std::hex << c.in;
  EXPECT_EQ(nwsim::callCount("NWLongSwap"), std::size(cases));
  EXPECT_EQ(lasterror(), 0);
}

// ---- The call frame ------------------------------------------------------------------

namespace {
platform::ModuleHandle laterModule = nullptr;
platform::ModuleHandle moduleLoadedLater() { return laterModule; }
} // namespace

TEST(CallFrame, ErrorCodesAndCountersConvert) {
  struct Code { std::int32_t code; const char* text; };
  for (const Code& c : {Code{0, "0000"}, Code{255, "00FF"}, Code{0xFFFF, "FFFF"}, Code{-1, "FFFFFFFF"},
                        Code{0x8805, "8805"}, Code{0x12345, "12345"}})
    EXPECT_EQ(ostrel::formatLastError(c.code), c.text);

  // Six-byte counters, lowest byte first, keep their low 32 bits.
  struct Counter { std::uint8_t bytes[6]; std::uint32_t value; };
  const Counter counters[] = {{{0x40, 0x42, 0x0F, 0, 0, 0}, 1000000u},
                              {{0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}, 0x456789ABu},
                              {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFFu}};
  for (const Counter& c : counters) EXPECT_EQ(ostrel::sixByteCounterLow32(c.bytes), c.value);
}

TEST_F(OstrelTest, EntriesBindOnceRecordCodesAndNeverClearTheErrorCode) {
  ostrel::UnitState state;
  ostrel::ClientFunction<decltype(::NWGetFileServerName)> entry{"NWGetFileServerName", &moduleLoadedLater, &state};
  EXPECT_FALSE(entry.bind()) << "library not there yet";
  laterModule = ostrel::hNWCalls();
  ASSERT_TRUE(entry.bind()) << "a missing entry is looked up again";
  laterModule = nullptr;
  EXPECT_TRUE(entry.bind()) << "a found entry stays cached";

  char name[48] = {};
  nwsim::injectFault("NWGetFileServerName", NWE_SERVER_DOWN);
  entry(ostrel::getPrimaryServerID(), name);
  EXPECT_EQ(state.lasterror, NWE_SERVER_DOWN);
  EXPECT_EQ(entry(ostrel::getPrimaryServerID(), name), 0);
  EXPECT_EQ(state.lastCode, 0);
  EXPECT_EQ(state.lasterror, NWE_SERVER_DOWN) << "a success keeps the last failure";
  nwsim::injectFault("NWGetFileServerName", NWE_FAILURE);
  EXPECT_EQ(entry.unrecorded(ostrel::getPrimaryServerID(), name), NWE_FAILURE);
  EXPECT_EQ(state.lastCode, 0);

  // The unit's own table survives construction; only the generation in use was bound.
  ostrel::getServerName(0);
  const auto bound = ostrel::detail::client.NWCCGetConnInfo.address();
  ostrel::TOstrel again;
  EXPECT_EQ(ostrel::detail::client.NWCCGetConnInfo.address(), bound);
  EXPECT_FALSE(ostrel::detail::client.NWGetFileServerName.bound());
}

// ---- Stations, names, clocks ---------------------------------------------------------

TEST_F(OstrelTest, StationsAndNamesComeFromConnectionServices) {
  struct Case { const char* server; std::uint16_t station; const char* who; };
  nwsim::resetCallCounts();
  for (const Case& c : {Case{"FS1", 3, "SUPERVISOR"}, Case{"FS2", 1, ""}, Case{"NDS1", 2, "ADMIN"}}) {
    SCOPED_TRACE(c.server);
    EXPECT_EQ(ostrel::getConnectID(handleOf(c.server)), c.station);
    EXPECT_EQ(ostrel::getServerName(handleOf(c.server)), c.server);
    EXPECT_EQ(ostrel::whoAmI(handleOf(c.server)), c.who);
  }
  EXPECT_EQ(nwsim::callCount("NWGetConnectionNumber") + nwsim::callCount("NWGetFileServerName"), 0u);
  EXPECT_EQ(lasterror(), 0) << unitError();
  EXPECT_EQ(ostrel::maxConns(), 50);
  become("WS-SALES");
  EXPECT_EQ(ostrel::whoAmI(0), "JSMITH");
}

TEST_F(OstrelTest, ServerClockSplitsIntoDateAndTime) {
  const NWCONN_HANDLE fs2 = handleOf("FS2");
  EXPECT_EQ(ostrel::getServerDate(fs2), rtl::EncodeDate(1998, 9, 15));
  EXPECT_DOUBLE_EQ(ostrel::getServerTime(fs2), rtl::EncodeTime(10, 30, 45, 0));
}

TEST_F(OstrelTest, ClientFailuresGiveSoftValues) {
  struct Case { const char* fault; std::int32_t code; std::function<bool()> soft; std::int32_t recorded; };
  ostrel::TNWConnectionStats stats{7, 8, 9};
  ostrel::TNWConnectInfo info;
  const Case cases[] = {
      {"NWCCGetConnInfo", NWE_INVALID_CONNECTION, [] { return ostrel::getConnectID(0) == 0; }, NWE_INVALID_CONNECTION},
      {"NWCCGetConnInfo", NWE_SERVER_DOWN, [] { return ostrel::getServerName(0) == "LOCAL"; }, NWE_SERVER_DOWN},
      {"NWGetConnectionInformation", NWE_BAD_STATION_NUMBER, [] { return ostrel::whoAmI(0).empty(); }, 0x89FD},
      {"NWGetFileServerDateAndTime", NWE_SERVER_DOWN,
       [] { return isLocalClock(rtl::Date, [] { return ostrel::getServerDate(0); }); }, NWE_SERVER_DOWN},
      {"NWGetFileServerDateAndTime", NWE_FAILURE,
       [] { return isLocalClock(rtl::Time, [] { return ostrel::getServerTime(0); }); }, NWE_FAILURE},
      {"NWGetMaximumConnections", NWE_FAILURE, [] { return ostrel::maxConns() == 0; }, 0},
      {"NWGetConnectionUsageStats", NWE_BAD_STATION_NUMBER,
       [&] { return !ostrel::getConnUsageStats(0, 3, stats) && stats.bytesRead == 7 && stats.requestPackets == 9; },
       NWE_BAD_STATION_NUMBER},
      {"NWGetObjectConnectionNumbers", NWE_NO_SUCH_OBJECT, [] { return !ostrel::isLoggedIn(0, "SUPERVISOR"); },
       NWE_NO_SUCH_OBJECT},
      {"NWGetInetAddr", NWE_BAD_STATION_NUMBER, [&] { return !ostrel::getConnectInfo(0, 3, info); }, 0x89FD},
      {"NWCCGetAllConnInfo", NWE_INVALID_CONNECTION, [&] { return !ostrel::getConnectInfo(0, 3, info); }, 0x8801},
      {"NWGetConnectionInformation", NWE_FAILURE, [&] { return !ostrel::getConnectInfo(0, 3, info); }, NWE_FAILURE},
      {"NWCCScanConnRefs", NWE_REQUESTER_FAILURE, [] { return ostrel::getConnectedServerList()->Empty(); },
       NWE_REQUESTER_FAILURE},
      {"NWCCGetAllConnRefInfo", NWE_INVALID_CONNECTION,  // one server skipped; the scan's end code wins
       [] { return names(*ostrel::getConnectedServerList()) == std::vector<std::string>{"FS2", "NDS1"}; },
       NWE_NO_MORE_ENTRIES},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    unit->resetLastError();
    nwsim::injectFault(c.fault, c.code);
    EXPECT_TRUE(c.soft());
    EXPECT_EQ(lasterror(), c.recorded) << unitError();
  }
  EXPECT_TRUE(info.userName.empty()) << "a failed request leaves the record alone";
  EXPECT_EQ(nwsim::callCount("NWGetConnectionNumber") + nwsim::callCount("NWGetFileServerName") +
                nwsim::callCount("NWGetConnectionStatus") + nwsim::callCount("NWGetConnectionList"),
            0u) << "older functions are never tried when the newer ones exist";
}

TEST_F(OstrelTest, IsLoggedInSendsTheNameAsGiven) {
  struct Case { const char* server; std::string name; bool loggedIn; };
  const Case cases[] = {{"FS1", "SUPERVISOR", true}, {"FS1", "JSMITH", true},  {"FS1", "GUEST", false},
                        {"FS1", "supervisor", false}, {"FS2", "MJONES", true}, {"FS2", "SUPERVISOR", false},
                        {"FS1", std::string(300, 'A'), false}};
  for (const Case& c : cases) EXPECT_EQ(ostrel::isLoggedIn(handleOf(c.server), c.name), c.loggedIn) << c.name;
  EXPECT_EQ(lasterror(), 0) << unitError();
}

TEST_F(OstrelTest, UsageStatsFoldTheWholeCounters) {
  ostrel::TNWConnectionStats stats;
  ASSERT_TRUE(ostrel::getConnUsageStats(0, 3, stats)) << unitError();
  // The counters grow a little with each request; the first byte alone (0x40) is far off.
  EXPECT_GE(stats.bytesRead, 1000000u);
  EXPECT_LT(stats.bytesRead, 1100000u);
  EXPECT_GE(stats.bytesWritten, 250000u);
  EXPECT_LT(stats.bytesWritten, 350000u);
  EXPECT_GE(stats.requestPackets, 4321u);
  EXPECT_LT(stats.requestPackets, 5321u);
}

// ---- Connection information ----------------------------------------------------------

TEST_F(OstrelTest, ConnectInfoDescribesTheStation) {
  ostrel::TNWConnectInfo info;
  ASSERT_TRUE(ostrel::getConnectInfo(0, 3, info)) << unitError();
  EXPECT_EQ(info.connHandle, handleOf("FS1"));
  EXPECT_EQ(info.connNumber, 3);
  EXPECT_EQ(info.userName, "SUPERVISOR");
  EXPECT_EQ(info.objectType, 0x0100);
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_EQ(info.netAddress, "0000C9A1" "00001B000001") << "server's network, workstation's node";
  EXPECT_DOUBLE_EQ(info.loginTime, rtl::EncodeDate(2026, 12, 1) + rtl::EncodeTime(8, 15, 30, 0));

  ASSERT_TRUE(ostrel::getConnectInfo(handleOf("NDS1"), 2, info)) << unitError();
  EXPECT_EQ(info.serverName, "NDS1");
  EXPECT_EQ(info.treeName, kTree) << "padding becomes blanks and is kept";

  // Nobody is logged in on FS2's station 1: its login date is all zeros.
  info.userName = "kept";
  bool result = true;
  EXPECT_NO_THROW(result = ostrel::getConnectInfo(handleOf("FS2"), 1, info));
  EXPECT_FALSE(result);
  EXPECT_EQ(info.userName, "kept");
  EXPECT_EQ(lasterror(), 0) << unitError();
}

TEST_F(OstrelTest, TreeConnectionTakesTheTreeNameAsServerName) {
  become("WS-SALES");
  ostrel::TNWCCConnInfo record{};
  ASSERT_TRUE(ostrel::getAllConnectInfo(handleOf("NDS1"), record)) << unitError();
  EXPECT_STREQ(record.serverName, "");
  ostrel::TNWConnectInfo info;
  EXPECT_FALSE(ostrel::getConnectInfo(handleOf("NDS1"), 6, info)) << "nobody logged in on it yet";

  const std::string tree = R"("station": 6, "treeConnection": true)";
  VariantNetwork variant({{tree, tree + R"(, "login": "ADMIN", "loginTime": "2026-12-02 09:05:00")"}}, "WS-SALES");
  unit = std::make_unique<ostrel::TOstrel>();
  ASSERT_TRUE(ostrel::getConnectInfo(handleOf("NDS1"), 6, info)) << unitError();
  EXPECT_EQ(info.userName, "ADMIN");
  EXPECT_EQ(info.treeName, kTree);
  EXPECT_EQ(info.serverName, kTree);
}

TEST_F(OstrelTest, AllConnectInfoByHandleAndByReferenceLeavesZeroAlone) {
  ostrel::TNWCCConnInfo byHandle{}, byRef{};
  ASSERT_TRUE(ostrel::getAllConnectInfo(handleOf("NDS1"), byHandle)) << unitError();
  EXPECT_EQ(std::string(byHandle.treeName), "TESTTREE" + std::string(24, '_'));
  ASSERT_TRUE(ostrel::getAllConnectRefInfo(byHandle.connRef, byRef)) << unitError();
  EXPECT_EQ(byRef.connNum, 2u);
  EXPECT_STREQ(byRef.serverName, "NDS1");

  // 0 is passed on as it is, and names no connection.
  EXPECT_FALSE(ostrel::getAllConnectInfo(0, byHandle));
  EXPECT_EQ(lasterror(), NWE_INVALID_CONNECTION);
  unit->resetLastError();
  EXPECT_FALSE(ostrel::getAllConnectRefInfo(0, byRef));
  EXPECT_EQ(lasterror(), NWE_INVALID_CONNECTION);
}

// ---- Connected servers ---------------------------------------------------------------

TEST_F(OstrelTest, ServerListFollowsTheConnectionOrder) {
  const auto list = ostrel::getConnectedServerList();
  EXPECT_EQ(names(*list), (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
  EXPECT_EQ(objects(*list), (std::vector<std::intptr_t>{3, 1, 2}));
  EXPECT_EQ(unit->getLastError(), "8805") << "the end of the scan stays in the error code";

  // A client that answers "success" without moving on is not followed further.
  nwsim::injectFault("NWCCScanConnRefs", NWE_OK, -1);
  nwsim::resetCallCounts();
  EXPECT_TRUE(ostrel::getConnectedServerList()->Empty());
  EXPECT_EQ(nwsim::callCount("NWCCScanConnRefs"), 2u);
}

TEST_F(OstrelTest, NamesAtTheirLongestArriveWhole) {
  const std::string server(47, 'S'), tree = "T" + std::string(30, 'R') + "E";
  VariantNetwork variant({{"NDS1", server}, {"TESTTREE", tree}}, "WS-TEST");
  unit = std::make_unique<ostrel::TOstrel>();
  ostrel::TNWConnectInfo info;
  ASSERT_TRUE(ostrel::getConnectInfo(handleOf(server), 2, info)) << unitError();
  EXPECT_EQ(info.serverName, server);
  EXPECT_EQ(info.treeName, tree);
  EXPECT_EQ(ostrel::getServerName(handleOf(server)), server);
  EXPECT_EQ(names(*ostrel::getConnectedServerList()), (std::vector<std::string>{"FS1", "FS2", server}));
}
