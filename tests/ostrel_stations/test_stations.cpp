// Unit Ostrel: the preferred server and the station lists of a server.
#include "ostrel/ostrel_support.h"

#include <nwnds/nwnds.h>

using namespace ostreltest;
using ostrel::lasterror;

namespace {
using StationTest = OstrelTest;
}

TEST_F(StationTest, SListListsTheFileServersOfThePrimaryServersBindery) {
  // Each server's bindery holds every server that advertises on the network.
  const std::vector<std::string> all{"FS1", "FS2", "NDS1"};
  EXPECT_EQ(names(*ostrel::sList()), all);
  NWCONN_HANDLE h = 0;
  ASSERT_TRUE(ostrel::setPreferredServer("FS2", h));
  // In the bindery's order: the server itself first, then those it learned.
  EXPECT_EQ(names(*ostrel::sList()), (std::vector<std::string>{"FS2", "FS1", "NDS1"}));
}

TEST_F(StationTest, PreferringAServerMakesItsConnectionThePrimaryOneForEveryProgram) {
  nwnds::TNWNDS directory;  // loads the directory library, which tells directory servers apart
  NWCONN_HANDLE h = 0;
  ASSERT_TRUE(ostrel::setPreferredServer("FS2", h)) << unitError();
  EXPECT_EQ(h, handleOf("FS2"));
  EXPECT_EQ(ostrel::getPrimaryServerID(), h);
  EXPECT_EQ(ostrel::getServerName(0), "FS2");
  EXPECT_FALSE(ostrel::isNDS());
  // The workstation keeps it: a program started later finds FS2 primary.
  unit = std::make_unique<ostrel::TOstrel>();
  EXPECT_EQ(ostrel::getPrimaryServerID(), handleOf("FS2"));

  ASSERT_TRUE(ostrel::setPreferredServer("nds1", h)) << "the client ignores case";
  EXPECT_EQ(h, handleOf("NDS1"));
  EXPECT_TRUE(ostrel::isNDS());
  EXPECT_EQ(ostrel::getConnectID(0), 2);
}

TEST_F(StationTest, PreferringAnUnknownServerEmptiesTheRememberedConnection) {
  ostrel::setAutoNDS(true);
  NWCONN_HANDLE h = 1234;
  ASSERT_TRUE(ostrel::setPreferredServer("NOWHERE", h));
  EXPECT_EQ(h, 0u);
  EXPECT_TRUE(ostrel::isNDS()) << "left as it was";
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getPrimaryServerID(), handleOf("FS1")) << "the client is asked again";
  EXPECT_EQ(nwsim::callCount("NWCCGetPrimConnRef"), 1u);

  EXPECT_FALSE(ostrel::setPreferredServer(std::string(48, 'A'), h)) << "a name too long is not cut";
  nwsim::injectFault("NWCCSetPrefServerName", NWE_FAILURE);
  EXPECT_FALSE(ostrel::setPreferredServer("FS2", h));
  EXPECT_EQ(lasterror(), NWE_FAILURE);
  EXPECT_EQ(ostrel::getServerName(0), "FS1");
}

TEST_F(StationTest, UserConnectionListsComeFromEitherClientQuery) {
  std::int32_t count = -1;
  std::array<std::uint16_t, 50> list;
  list.fill(0xEEEE);
  ASSERT_TRUE(ostrel::getUserConnList(0, "MJONES", count, list));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(list[0], 7);
  EXPECT_EQ(list[1], 0) << "the rest of the list is cleared";

  nwsim::injectFault("NWGetConnListFromObject", NWE_FAILURE);
  nwsim::resetCallCounts();
  ASSERT_TRUE(ostrel::getUserConnList(handleOf("FS2"), "MJONES", count, list));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(list[0], 4);
  EXPECT_EQ(nwsim::callCount("NWGetObjectConnectionNumbers"), 1u) << "the older query answers";

  EXPECT_FALSE(ostrel::getUserConnList(0, "GUEST", count, list));
  EXPECT_EQ(count, 0);
  nwsim::resetCallCounts();
  EXPECT_FALSE(ostrel::getUserConnList(0, "NOBODY", count, list));
  EXPECT_EQ(nwsim::callCount("NWGetObjectConnectionNumbers"), 1u);
  EXPECT_EQ(lasterror(), 0) << "nothing is recorded";
}

TEST_F(StationTest, UserListsNameEachStationWithItsNumber) {
  auto logged = ostrel::getUserList(0, false);
  EXPECT_EQ(names(*logged), (std::vector<std::string>{"SUPERVISOR", "JSMITH", "MJONES"}));
  EXPECT_EQ(objects(*logged), (std::vector<std::intptr_t>{3, 5, 7}));

  auto all = ostrel::getUserList(handleOf("FS2"), true);
  ASSERT_EQ(all->Count(), 100) << "every station of FS2";
  EXPECT_EQ(names(*all)[0], "Not Logged In") << "WS-TEST is attached without a login";
  EXPECT_EQ(names(*all)[3], "MJONES");
  EXPECT_EQ(objects(*all)[3], 4);
  EXPECT_EQ(names(*ostrel::getUserList(handleOf("FS2"), false)), std::vector<std::string>{"MJONES"});

  nwsim::injectFault("NWGetFileServerInformation", NWE_FAILURE);
  EXPECT_TRUE(ostrel::getUserList(0, true)->Empty()) << "no statistics, no stations";
  nwsim::injectFault("NWGetConnectionInformation", NWE_FAILURE, 5);  // stations 1 to 5
  EXPECT_EQ(names(*ostrel::getUserList(0, false)), std::vector<std::string>{"MJONES"});
  EXPECT_EQ(lasterror(), 0) << "failed stations are skipped, not recorded";
}
