// TNWBase on an older client (no connection services) and on a client without the
// directory libraries: the same answers through the older calls, no directory.
#include "base_fixture.h"

using namespace nwbase;

TEST_F(BaseTest, TheClientOfThisProfileServesTheBaseComponent) {
  TNWBase& b = make();
  EXPECT_TRUE(b.netAvailable());
  EXPECT_EQ(b._getServerName(), "FS1");
  EXPECT_EQ(b._getLoginID(), "SUPERVISOR");
  EXPECT_EQ(b._getServerVersion(), "3.12");
  b._setServerName("FS2");
  EXPECT_EQ(b._getServerName(), "FS2");
  EXPECT_EQ(QString::fromStdString(ostrel::getServerName(b._getServerHandle())), "FS2");
  b._setServerName("FS1");
  EXPECT_EQ(nwtest::names(*b.getObjectList(nwlGroup)), (std::vector<std::string>{"EVERYONE", "SALES"}));
  auto servers = nwtest::names(*b.getObjectList(nwlConnectedFileServer));
  EXPECT_NE(std::find(servers.begin(), servers.end(), "FS2"), servers.end());
  EXPECT_TRUE(b.checkPassword("netware"));
}

TEST_F(BaseTest, TheDirectoryIsThereOnlyWhenItsLibrariesAre) {
  TNWBase& b = makeOn("WS-DIR");
  EXPECT_EQ(b._getIsNDS(), RUDODOR4_PROFILE_HAS_DIRECTORY);
  if (!RUDODOR4_PROFILE_HAS_DIRECTORY) {
    EXPECT_EQ(b.getObjectList(nwlNDSTree)->Count(), 0);
    EXPECT_EQ(b._getLastError()->NWNDS, "FFFF");
    EXPECT_EQ(b._getLoginID(), "ADMIN");  // the bindery name on the directory server
  } else {
    EXPECT_EQ(b._getLoginID(), "CN=ADMIN.O=TESTORG");
  }
}
