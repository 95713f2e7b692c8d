// Unit Nwserver on an older client without the connection-services ("NWCC") functions:
// connections come from the calls library's own functions.
#include "server_fixture.h"

using namespace servertest;

TEST_F(ServerTest, ServerHandleFallsBackToTheExistingConnection) {
  nwsim::resetCallCounts();
  EXPECT_EQ(nwserver::getServerHandle("nds1"), handleOf("NDS1"));
  EXPECT_EQ(nwsim::callCount("NWGetConnectionHandle"), 1u);
  const std::size_t before = myStations();
  EXPECT_EQ(nwserver::getServerHandle("FS2"), 0u) << "no connection is opened";
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_INVALID_CONNECTION));
  EXPECT_EQ(myStations(), before);
}

TEST_F(ServerTest, AttachUsesTheCallsLibrary) {
  const std::size_t before = myStations();
  const NWCONN_HANDLE fs2 = nwserver::attach("fs2");
  EXPECT_NE(fs2, 0u);
  EXPECT_EQ(myStations(), before + 1);
  EXPECT_EQ(nwsim::callCount("NWAttachToFileServer"), 1u);
  nwserver::TNWServer().resetLastError();
  EXPECT_EQ(nwserver::attach("FS2"), fs2) << "already attached";
  EXPECT_EQ(lasterror(), 0) << "already attached is not recorded";
  EXPECT_FALSE(nwserver::closeConnection(fs2)) << "no NWCCCloseConn in this client";
  EXPECT_EQ(nwserver::openConnByName("FS2", false, true), 0u);
}

TEST_F(ServerTest, FailedLoginClosesTheConnectionItMade) {
  const std::size_t before = myStations();
  EXPECT_FALSE(nwserver::NWLogin("FS2", "MJONES", "wrong", 0));
  EXPECT_EQ(myStations(), before);
  EXPECT_TRUE(nwserver::NWLogin("FS2", "MJONES", "password", 0)) << unitError();
  EXPECT_EQ(myStations(), before + 1);
}

TEST_F(ServerTest, SerialNumbersOnlyOfAttachedServers) {
  EXPECT_NE(nwserver::getServerSerial("NDS1"), 0u);
  EXPECT_NE(handleOf("NDS1"), 0u);
  EXPECT_EQ(nwserver::getServerSerial("FS2"), 0u);
}
