// Unit Ostrel against an older client without the connection-services functions: every
// operation takes its calls-library fallback.
#include "ostrel_support.h"

#include <cstring>

using namespace ostreltest;
using ostrel::lasterror;

TEST_F(OstrelTest, PrimaryConnectionComesFromTheCallsLibrary) {
  nwsim::resetCallCounts();
  ostrel::TOstrel again;
  EXPECT_TRUE(ostrel::hNWCalls() && ostrel::hNWClx());
  EXPECT_EQ(lasterror(), 0) << unitError();
  EXPECT_EQ(nwsim::callCount("NWCallsInit"), 1u);
  EXPECT_EQ(nwsim::callCount("NWGetPrimaryConnectionID"), 1u);
  EXPECT_TRUE(ostrel::nwInit());

  nwsim::injectFault("NWCallsInit", NWE_FAILURE);
  ostrel::TOstrel uninitialised;
  nwsim::injectFault("NWGetPrimaryConnectionID", NWE_NO_PRIMARY_CONNECTION);
  EXPECT_EQ(ostrel::getPrimaryServerID(), 0u);
  EXPECT_EQ(lasterror(), NWE_NO_PRIMARY_CONNECTION);
  EXPECT_EQ(ostrel::getPrimaryServerID(), handleOf("FS1"));
}

TEST_F(OstrelTest, OlderFunctionsAnswerAndRecordTheirFailures) {
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getConnectID(handleOf("NDS1")), 2) << unitError();
  EXPECT_EQ(ostrel::getServerName(handleOf("FS2")), "FS2") << unitError();
  EXPECT_EQ(ostrel::whoAmI(0), "SUPERVISOR") << unitError();
  EXPECT_EQ(nwsim::callCount("NWGetConnectionNumber"), 2u);
  EXPECT_EQ(nwsim::callCount("NWGetFileServerName"), 1u);

  nwsim::injectFault("NWGetConnectionNumber", NWE_INVALID_CONNECTION);
  EXPECT_EQ(ostrel::getConnectID(0), 0);
  EXPECT_EQ(lasterror(), NWE_INVALID_CONNECTION);
  nwsim::injectFault("NWGetFileServerName", NWE_SERVER_DOWN);
  EXPECT_EQ(ostrel::getServerName(0), "LOCAL");
  EXPECT_EQ(lasterror(), NWE_SERVER_DOWN);

  // Operations that exist only in connection services fail without a code.
  unit->resetLastError();
  ostrel::TNWCCConnInfo record{};
  EXPECT_FALSE(ostrel::getAllConnectRefInfo(1, record));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(OstrelTest, ConnectionStatusFillsOnlyNumberAndServerName) {
  ostrel::TNWCCConnInfo record{};
  std::strcpy(record.treeName, "KEPT");
  ASSERT_TRUE(ostrel::getAllConnectInfo(handleOf("NDS1"), record)) << unitError();
  EXPECT_EQ(record.connNum, 2u);
  EXPECT_STREQ(record.serverName, "NDS1");
  EXPECT_STREQ(record.treeName, "KEPT");

  ostrel::TNWConnectInfo info;
  ASSERT_TRUE(ostrel::getConnectInfo(handleOf("NDS1"), 2, info)) << unitError();
  EXPECT_EQ(info.userName, "ADMIN");
  EXPECT_EQ(info.serverName, "NDS1");
  EXPECT_EQ(info.treeName, "") << "the working record starts zeroed";

  nwsim::injectFault("NWGetConnectionStatus", NWE_FAILURE);
  EXPECT_FALSE(ostrel::getConnectInfo(0, 3, info));
  EXPECT_EQ(lasterror(), NWE_FAILURE);
}

TEST_F(OstrelTest, ServerListComesFromTheConnectionList) {
  nwsim::resetCallCounts();
  const auto list = ostrel::getConnectedServerList();
  EXPECT_EQ(names(*list), (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
  EXPECT_EQ(objects(*list), (std::vector<std::intptr_t>{handleOf("FS1"), handleOf("FS2"), handleOf("NDS1")}));
  EXPECT_EQ(nwsim::callCount("NWGetFileServerName"), 3u);
  EXPECT_EQ(lasterror(), 0) << unitError();

  nwsim::injectFault("NWGetConnectionList", NWE_FAILURE);
  EXPECT_TRUE(ostrel::getConnectedServerList()->Empty());
  EXPECT_EQ(lasterror(), 0) << "a failed connection list is not recorded";
}

TEST_F(OstrelTest, LongestServerNameSurvivesTheStatusBuffer) {
  const std::string server(47, 'S');
  VariantNetwork variant({{"NDS1", server}}, "WS-TEST");
  unit = std::make_unique<ostrel::TOstrel>();
  ostrel::TNWConnectInfo info;
  ASSERT_TRUE(ostrel::getConnectInfo(handleOf(server), 2, info)) << unitError();
  EXPECT_EQ(info.serverName, server);
  EXPECT_EQ(names(*ostrel::getConnectedServerList()), (std::vector<std::string>{"FS1", "FS2", server}));
}
