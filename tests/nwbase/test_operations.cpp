// The operations of TNWBase: passwords, membership, names, lists, messages, login and
// logout, and the network provider with its dialogs.
#include "base_fixture.h"

#include <nwbase/network_provider.h>
#include <nwserver/nwserver.h>
#include <platform/network.h>

#include <QSignalSpy>

using namespace nwbase;

namespace {

std::vector<std::string> texts(const rtl::TStringList& list) { return nwtest::names(list); }

// A provider that does not take the record form of a connection.
class OldProvider : public platform::NetworkProvider {
public:
  std::vector<std::string> calls;
  std::uint32_t addConnection2(const platform::NetResource& r, const std::string& password, const std::string& user,
                               std::uint32_t flags) override {
    calls.push_back("record " + r.localName + " " + r.remoteName + " " + password + " " + user + " " +
                    std::to_string(flags) + " type " + std::to_string(r.type));
    return platform::ERROR_BAD_DEVICE;
  }
  std::uint32_t addConnection(const std::string& remote, const std::string& password, const std::string& local) override {
    calls.push_back("plain " + local + " " + remote + " " + password);
    return platform::NO_ERROR;
  }
  std::uint32_t cancelConnection2(const std::string& name, std::uint32_t flags, bool force) override {
    calls.push_back("cancel " + name + " " + std::to_string(flags) + (force ? " force" : ""));
    return platform::NO_ERROR;
  }
  std::uint32_t getUser(std::string& user) override {
    user = std::string(200, 'U');
    return platform::NO_ERROR;
  }
  std::vector<platform::NetConnection> connections(std::uint32_t) override { return {}; }
};

class Operations : public BaseTest {
protected:
  void TearDown() override {
    platform::setNetworkProvider(nullptr);
    BaseTest::TearDown();
  }
};

} // namespace

TEST_F(Operations, PasswordsAreCheckedAndChangedOnTheBinderyOrInTheDirectory) {
  TNWBase& b = make();
  EXPECT_TRUE(b.checkPassword("netware"));
  EXPECT_FALSE(b.checkPassword("wrong"));
  EXPECT_TRUE(b.changePassword("netware", "better"));
  EXPECT_TRUE(b.checkPassword("better"));
  EXPECT_FALSE(b.checkPassword("netware"));
  owned.reset();
  TNWBase& d = makeOn("WS-DIR");
  EXPECT_TRUE(d.checkPassword("secret"));
  EXPECT_FALSE(d.checkPassword("netware"));
}

TEST_F(Operations, MembershipOnTheBinderyAndInTheDirectoryIgnoringCase) {
  TNWBase& b = make();
  b._setLoginID("JSMITH");
  EXPECT_TRUE(b.isGroupMember("SALES"));
  EXPECT_FALSE(b._getLoginID().isEmpty());
  b._setLoginID("GUEST");
  EXPECT_FALSE(b.isGroupMember("SALES"));
  EXPECT_TRUE(b.isGroupMember("EVERYONE"));
  owned.reset();

  TNWBase& d = makeOn("WS-DIR");
  d._setLoginID("CN=JSMITH.OU=SALES.O=TESTORG");
  const std::string abbreviated = nwnds::ndsAbbreviateName("CN=SALESGRP.OU=SALES.O=TESTORG");
  ASSERT_FALSE(abbreviated.empty());
  EXPECT_TRUE(d.isGroupMember(QString::fromStdString(abbreviated).toUpper()));
  EXPECT_TRUE(d.isGroupMember(QString::fromStdString(abbreviated).toLower()));
  EXPECT_FALSE(d.isGroupMember("CN=NOSUCH.O=TESTORG"));
  owned.reset();
  EXPECT_EQ(nwsim::openDirectoryContexts(), 0u);  // every working context was freed
}

TEST_F(Operations, NamesAreExpandedAndAbbreviatedByTheDirectory) {
  TNWBase& d = makeOn("WS-DIR");
  d._setContextName("O=TESTORG");
  EXPECT_EQ(d.expandName("CN=ADMIN"), "CN=ADMIN.O=TESTORG");
  EXPECT_EQ(d.abbreviateName("CN=ADMIN.O=TESTORG"), QString::fromStdString(nwnds::ndsAbbreviateName("CN=ADMIN.O=TESTORG")));
}

TEST_F(Operations, EachListKindListsItsObjectsAndNoneIsEverMissing) {
  TNWBase& b = make();
  auto users = b.getObjectList(nwlUser);
  EXPECT_EQ(texts(*users), (std::vector<std::string>{"SUPERVISOR", "JSMITH", "MJONES", "GUEST"}));
  for (const auto& user : *users) EXPECT_NE(user.object, 0) << user.text;  // the object IDs
  EXPECT_EQ(texts(*b.getObjectList(nwlGroup)), (std::vector<std::string>{"EVERYONE", "SALES"}));
  EXPECT_EQ(texts(*b.getObjectList(nwlPrintQ)), (std::vector<std::string>{"LASER_Q"}));
  // Every server that advertises on the network.
  EXPECT_EQ(texts(*b.getObjectList(nwlFileServer)), (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
  auto stations = b.getObjectList(nwlUserList);
  EXPECT_EQ(texts(*stations), (std::vector<std::string>{"SUPERVISOR", "JSMITH", "MJONES", "JSMITH"}));
  EXPECT_EQ(stations->Objects(0), 3);
  auto servers = texts(*b.getObjectList(nwlConnectedFileServer));
  EXPECT_NE(std::find(servers.begin(), servers.end(), "FS2"), servers.end());
  for (TNWObjListType kind : {nwlNone, nwlPrintServer, nwlArchiveServer, nwlJobQueue, nwlAdministration,
                              nwlNASSNAServer, nwlRemoteBridge, nwlTCPIPGateway, nwlNDSTree, nwlNDSObjList}) {
    auto list = b.getObjectList(kind);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 0) << kind;
  }
}

TEST_F(Operations, TheDirectoryListsTreesAndTheObjectsOfTheContext) {
  TNWBase& d = makeOn("WS-DIR");
  EXPECT_EQ(texts(*d.getObjectList(nwlNDSTree)), (std::vector<std::string>{"TESTTREE"}));
  d._setContextName("O=TESTORG");
  auto objects = texts(*d.getObjectList(nwlNDSObjList));
  EXPECT_NE(std::find(objects.begin(), objects.end(), "OU=SALES"), objects.end());
  EXPECT_NE(std::find(objects.begin(), objects.end(), "CN=ADMIN"), objects.end());
}

TEST_F(Operations, TheJobListOfAQueue) {
  TNWBase& b = make();
  auto jobs = b.getQJobList("LASER_Q");
  EXPECT_EQ(jobs->Count(), 2);
  EXPECT_EQ(b.getQJobList("NOSUCH")->Count(), 0);
}

TEST_F(Operations, AMessageGoesToEveryStationOfTheLoginName) {
  TNWBase& b = make();
  EXPECT_TRUE(b.send("Coffee is ready"));
  EXPECT_EQ(ostrel::getBroadcastMessage(b._getServerHandle()), "Coffee is ready");
  b._setLoginID("GUEST");
  EXPECT_FALSE(b.send("Nobody hears"));
}

TEST_F(Operations, LoginUsesTheLoginNameAndChangesNothingElse) {
  QWidget form;
  auto* probe = new Probe(&form);
  TNWBase& b = make(&form);
  b._setLoginID("MJONES");
  probe->userChanges = 0;
  EXPECT_FALSE(b.login("FS2", "wrong"));
  EXPECT_TRUE(b.login("FS2", "mary"));
  NWCONN_HANDLE fs2 = nwserver::getServerHandle("FS2");
  EXPECT_EQ(ostrel::whoAmI(fs2), "MJONES");
  EXPECT_EQ(b._getServerName(), "FS1");
  EXPECT_EQ(b._getLoginID(), "MJONES");
  EXPECT_EQ(probe->userChanges + probe->serverChanges, 0);
}

TEST_F(Operations, LoginAsAnObjectOfNoKnownTypeRaisesOnlyWithoutSilentExceptions) {
  TNWBase& b = make();
  b._setLoginID("NOBODY");
  b.setSilentExceptions(false);
  EXPECT_THROW(b.login("FS1", "x"), TNWObjError);
  b.setSilentExceptions(true);
  EXPECT_FALSE(b.login("FS1", "x"));
}

TEST_F(Operations, LogoutOfAHandleClosesOnlyThatConnectionAndZeroLeavesTheDirectory) {
  TNWBase& b = make();
  const NWCONN_HANDLE fs2 = nwserver::getServerHandle("FS2");
  ASSERT_NE(fs2, 0u);
  EXPECT_TRUE(b.logout(fs2));
  EXPECT_EQ(ostrel::getServerName(fs2), "LOCAL");
  EXPECT_EQ(b._getServerName(), "FS1");
  EXPECT_EQ(ostrel::whoAmI(0), "SUPERVISOR");
  owned.reset();

  TNWBase& d = makeOn("WS-DIR");
  ASSERT_TRUE(d.login("", "secret"));  // through the directory; the server name is not used
  nwsim::resetCallCounts();
  EXPECT_TRUE(d.logout(0));
  EXPECT_FALSE(d.logout(0));  // no longer logged in to the directory
  EXPECT_EQ(nwsim::callCount("NWDSLogout"), 2u);
}

TEST_F(Operations, DrivesAreMappedAndRemovedThroughTheNetworkProvider) {
  TNWBase& b = make();
  EXPECT_EQ(b.winNetGetUserName(), "SUPERVISOR");
  EXPECT_TRUE(b.winMapDrive('G', "FS1/SYS:PUBLIC", "", "", false));
  ostrel::TNWMapInfo info;
  ASSERT_TRUE(ostrel::getMapInfo('G', info));
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_FALSE(b.winMapDrive('G', "FS1/SYS:LOGIN", "", "", false));  // taken
  EXPECT_TRUE(b.winMapDrive('H', "\\\\FS1\\SYS\\LOGIN", "", "", true));
  ASSERT_TRUE(ostrel::getMapInfo('H', info));
  EXPECT_NE(info.path.find("LOGIN"), std::string::npos);
  EXPECT_TRUE(b.winMapDelete('G', false));
  EXPECT_FALSE(ostrel::getMapInfo('G', info));
  EXPECT_FALSE(b.winMapDelete('G', true));
  EXPECT_FALSE(b.winMapDrive('J', "FS1/NOSUCH:", "", "", false));
}

TEST_F(Operations, MappingWithCredentialsLogsInFirst) {
  TNWBase& b = make();
  // Refused, and the older call then checks the password as the network user's: refused too.
  EXPECT_FALSE(b.winMapDrive('K', "FS2/SYS:PUBLIC", "MJONES", "wrong", false));
  EXPECT_TRUE(b.winMapDrive('K', "FS2/SYS:PUBLIC", "MJONES", "mary", false));
  EXPECT_EQ(ostrel::whoAmI(nwserver::getServerHandle("FS2")), "MJONES");
}

TEST_F(Operations, AProviderThatRefusesTheRecordGetsThePlainCallWithTheSamePassword) {
  auto provider = std::make_shared<OldProvider>();
  platform::setNetworkProvider(provider);
  TNWBase& b = make();
  EXPECT_TRUE(b.winMapDrive('g', "FS1/SYS:PUBLIC", "JSMITH", "secret", false));
  ASSERT_EQ(provider->calls.size(), 2u);
  EXPECT_EQ(provider->calls[0], "record g: FS1/SYS:PUBLIC secret JSMITH 0 type 1");
  EXPECT_EQ(provider->calls[1], "plain g: FS1/SYS:PUBLIC secret");
  EXPECT_TRUE(b.winMapDelete('g', true));
  EXPECT_EQ(provider->calls[2], "cancel g: 1 force");
  // A user name longer than the buffer comes back empty rather than cut.
  EXPECT_EQ(b.winNetGetUserName(), "");
}

TEST_F(Operations, TheConnectDialogsGoThroughTheDialogServiceAndCancelGivesFalse) {
  QWidget form;
  TNWBase& b = make(&form);
  EXPECT_FALSE(b.winOpenNetConnectDialog(&form));
  ASSERT_EQ(dialogs->netDialogs.size(), 1u);
  EXPECT_TRUE(dialogs->netDialogs[0].connect);
  EXPECT_EQ(dialogs->netDialogs[0].owner, &form);

  dialogs->netAnswers.push_back({true, "H:", "FS1/SYS:PUBLIC"});
  EXPECT_TRUE(b.winOpenNetConnectDialog(&form));
  ostrel::TNWMapInfo info;
  EXPECT_TRUE(ostrel::getMapInfo('H', info));

  dialogs->netAnswers.push_back({true, "H:", ""});
  EXPECT_TRUE(b.winCloseNetConnectDialog(&form));
  const auto& offered = dialogs->netDialogs.back().offered;
  EXPECT_NE(std::find_if(offered.begin(), offered.end(), [](const auto& c) { return c.first == "H:"; }), offered.end());
  EXPECT_FALSE(ostrel::getMapInfo('H', info));

  EXPECT_FALSE(b.winCloseNetPrintDialog(&form));
  EXPECT_EQ(dialogs->netDialogs.back().kind, platform::NetResourceKind::Print);
}

TEST_F(Operations, PrinterPortsAreCapturesOfTheProvider) {
  make();
  platform::NetResource port;
  port.type = platform::RESOURCETYPE_PRINT;
  port.localName = "LPT2:";
  port.remoteName = "\\\\FS1\\LASER_Q";
  EXPECT_EQ(platform::wnetAddConnection2(port, "", "", 0), platform::NO_ERROR);
  auto connections = platform::networkProvider()->connections(platform::RESOURCETYPE_PRINT);
  ASSERT_EQ(connections.size(), 1u);
  EXPECT_EQ(connections[0].localName, "LPT2:");
  EXPECT_EQ(connections[0].remoteName, "FS1/LASER_Q");
  EXPECT_EQ(platform::wnetCancelConnection2("LPT2:", 0, false), platform::NO_ERROR);
  EXPECT_EQ(platform::wnetCancelConnection2("LPT2:", 0, false), platform::ERROR_NOT_CONNECTED);
}

TEST_F(Operations, UncNamesBecomeNetwarePaths) {
  EXPECT_EQ(ClientNetworkProvider::netwarePath("\\\\FS1\\SYS\\PUBLIC\\UTIL"), "FS1/SYS:PUBLIC\\UTIL");
  EXPECT_EQ(ClientNetworkProvider::netwarePath("\\\\FS1\\SYS"), "FS1/SYS");
  EXPECT_EQ(ClientNetworkProvider::netwarePath("FS1/SYS:PUBLIC"), "FS1/SYS:PUBLIC");
}
