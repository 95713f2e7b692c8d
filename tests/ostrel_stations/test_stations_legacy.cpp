// Unit Ostrel with an older client: without the connection services the preferred server is
// set through the calls library, and the broadcast mode cannot be read.
#include "ostrel/ostrel_support.h"

using namespace ostreltest;
using ostrel::lasterror;

TEST_F(OstrelTest, PreferredServerFallsBackToTheCallsLibrary) {
  NWCONN_HANDLE h = 0;
  nwsim::resetCallCounts();
  ASSERT_TRUE(ostrel::setPreferredServer("FS2", h)) << unitError();
  EXPECT_EQ(h, handleOf("FS2"));
  EXPECT_EQ(nwsim::callCount("NWSetPrimaryConnectionID"), 1u);
  EXPECT_EQ(ostrel::getServerName(0), "FS2");

  // Here a server the workstation is not attached to cannot be preferred.
  EXPECT_FALSE(ostrel::setPreferredServer("NOWHERE", h));
  EXPECT_EQ(lasterror(), NWE_SERVER_NOT_FOUND);
  nwsim::injectFault("NWSetPrimaryConnectionID", NWE_INVALID_CONNECTION);
  EXPECT_FALSE(ostrel::setPreferredServer("FS1", h));
  EXPECT_EQ(lasterror(), NWE_INVALID_CONNECTION);
}

TEST_F(OstrelTest, BroadcastModeNeedsTheConnectionServices) {
  ASSERT_TRUE(ostrel::castOff(0));
  EXPECT_EQ(ostrel::getBroadcastMode(0), 0);
  EXPECT_EQ(lasterror(), 0);
}
