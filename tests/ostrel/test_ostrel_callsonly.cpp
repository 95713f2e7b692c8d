// Unit Ostrel with only the calls library installed: construction stops before initialising
// the client, but the calls-library functions still answer.
#include "ostrel_support.h"

using namespace ostreltest;
using ostrel::lasterror;

TEST_F(OstrelTest, ConstructionStopsAtTheMissingConnectionLibrary) {
  nwsim::resetCallCounts();
  ostrel::TOstrel again;
  EXPECT_NE(ostrel::hNWCalls(), nullptr);
  EXPECT_EQ(ostrel::hNWClx(), nullptr);
  EXPECT_EQ(again.getLastError(), "FFFF");
  EXPECT_FALSE(ostrel::nwInit());
  EXPECT_EQ(nwsim::callCount("NWCallsInit") + nwsim::callCount("NWGetPrimaryConnectionID"), 0u);
}

TEST_F(OstrelTest, CallsLibraryFunctionsStillAnswer) {
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getConnectID(0), 3) << unitError();
  EXPECT_EQ(ostrel::getServerName(0), "FS1") << unitError();
  EXPECT_EQ(ostrel::whoAmI(0), "SUPERVISOR") << unitError();
  EXPECT_EQ(nwsim::callCount("NWGetPrimaryConnectionID"), 3u) << "nothing remembered: asked each time";
  ostrel::TNWConnectInfo info;
  ASSERT_TRUE(ostrel::getConnectInfo(0, 3, info)) << unitError();
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_EQ(info.treeName, "");
  EXPECT_EQ(names(*ostrel::getConnectedServerList()), (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
  EXPECT_EQ(lasterror(), 0xFFFF) << "successes never clear the error code";
}
