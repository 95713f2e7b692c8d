// Directory login, passwords, intruder detection, trees and directory servers.
#include "directory_fixture.h"

#include <nwserver/nwserver.h>
#include <rtl/datetime.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

class DirectoryLogin : public Directory {
protected:
  static bool connectedTo(const std::string& server) {
    for (const auto& st : nwsim::stations())
      if (st.workstation == "WS-TEST" && st.server == server) return true;
    return false;
  }
  // Everything the network keeps on disk, the write-ahead log included.
  std::string storeBytes() const {
    std::string all;
    for (const char* file : {"network.db", "network.db-wal"}) {
      std::ifstream in(net->dir() / file, std::ios::binary);
      all.append(std::istreambuf_iterator<char>(in), {});
    }
    return all;
  }
};

// The test network with its tree renamed "TEST_TREE": advertised as "TEST_TREE___...".
class DirectoryTreeWithUnderscore : public Directory {
protected:
  std::string seed() const override {
    static nwtest::TempDir dir;
    const auto path = dir.path() / "blank-tree.json";
    std::ifstream in(nwtest::fixtureDir() / "small.json");
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    for (std::size_t at; (at = s.find("\"TESTTREE\"")) != std::string::npos;) s.replace(at, 10, "\"TEST_TREE\"");
    std::ofstream(path) << s;
    return path.string();
  }
};

} // namespace

// ---- Login and passwords -------------------------------------------------------------------

TEST_F(DirectoryLogin, LoginComparesPasswordsWithoutRegardToCase) {
  ASSERT_TRUE(ndsLogin(kSales, "  JSMITH ", " JsPass ")) << unitError();
  EXPECT_EQ(ndsGetContextName(), kSales);
  EXPECT_EQ(ndsWhoAmI(), "CN=JSMITH.OU=SALES.O=TESTORG");
  EXPECT_TRUE(ndsCanAuthenticate(""));
  EXPECT_TRUE(ndsLogout()) << unitError();
  EXPECT_FALSE(ndsLogout());
  EXPECT_EQ(lasterror(), NWDSE_NOT_LOGGED_IN);
  EXPECT_FALSE(ndsLogin("", "JSMITH", "wrong"));
  EXPECT_EQ(lasterror(), NWDSE_FAILED_AUTHENTICATION);
  EXPECT_FALSE(ndsLogin("", "NOBODY", "x"));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(DirectoryLogin, ChangedPasswordsWorkForLoginAndAreNeverStoredInClear) {
  ASSERT_TRUE(ndsChangePassword(kSales, "JSMITH", "Zebra42", "jspass")) << unitError();
  EXPECT_TRUE(ndsPassCheck(kSales, "JSMITH", "zebra42"));
  EXPECT_FALSE(ndsPassCheck(kSales, "JSMITH", "jspass"));
  EXPECT_TRUE(ndsLogin(kSales, "JSMITH", "Zebra42")) << "the login's own case finds the upper-cased password";
  EXPECT_FALSE(ndsChangePassword(kSales, "JSMITH", "other", "not-the-old-one"));
  EXPECT_EQ(lasterror(), NWDSE_FAILED_AUTHENTICATION);

  // An empty old password sets a first password through the key pair.
  ndsLogout();
  ASSERT_TRUE(ndsLogin(kOrg, "ADMIN", "secret")) << unitError();
  const auto keyPairs = calls("NWDSGenerateObjectKeyPair");
  ASSERT_TRUE(ndsChangePassword(kSales, "JSMITH", "Quokka77", "")) << unitError();
  EXPECT_EQ(calls("NWDSGenerateObjectKeyPair"), keyPairs + 1);
  EXPECT_TRUE(ndsPassCheck(kSales, "JSMITH", "QUOKKA77"));

  const std::string store = storeBytes();
  ASSERT_FALSE(store.empty());
  for (const char* clear : {"ZEBRA42", "Zebra42", "QUOKKA77", "JSPASS", "jspass"})
    EXPECT_EQ(store.find(clear), std::string::npos) << clear << " is in the store";
}

TEST_F(DirectoryLogin, IntruderDetectionLocksAnObjectAfterTheLimit) {
  ASSERT_TRUE(ndsLogin(kOrg, "ADMIN", "secret")) << unitError();
  ASSERT_TRUE(ndsCreateBooleanAttr(kOrg, "OU=SALES", dsaDetectIntruder, true)) << unitError();
  ASSERT_TRUE(ndsCreateIntegerAttr(kOrg, "OU=SALES", dsaLoginIntruderLimit, 3)) << unitError();
  ndsLogout();

  EXPECT_EQ(nwtest::names(*ndsSearchFilter(kOrg, "Login Intruder Limit=3")), std::vector<std::string>{kSales})
      << "numbers are found by their text";
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(ndsLogin(kSales, "JSMITH", "guess"));
  EXPECT_FALSE(ndsLogin(kSales, "JSMITH", "jspass")) << "locked: the right password no longer helps";
  EXPECT_EQ(lasterror(), NWDSE_INTRUDER_LOCKOUT);
  bool locked = false;
  EXPECT_TRUE(ndsGetBooleanAttr(kSales, "JSMITH", dsaLockedByIntruder, locked));
  EXPECT_TRUE(locked);

  // The organization itself does not detect intruders: failures there lock nobody.
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(ndsLogin(kOrg, "ADMIN", "guess"));
  EXPECT_TRUE(ndsLogin(kOrg, "ADMIN", "secret")) << unitError();
}

TEST_F(DirectoryLogin, LoginRestrictionsRefuseADisabledAccount) {
  ASSERT_TRUE(ndsCreateBooleanAttr(kSales, "JSMITH", dsaLoginDisabled, true)) << unitError();
  EXPECT_FALSE(ndsLogin(kSales, "JSMITH", "jspass"));
  EXPECT_EQ(lasterror(), NWDSE_ACCOUNT_DISABLED);
  EXPECT_TRUE(ndsModifyBooleanAttr(kSales, "JSMITH", dsaLoginDisabled, false)) << unitError();
  EXPECT_TRUE(ndsLogin(kSales, "JSMITH", "jspass")) << unitError();
  ndsLogout();
  ASSERT_TRUE(ndsCreateDateTimeAttr(kSales, "JSMITH", dsaLoginExpirationTime, rtl::EncodeDate(2001, 1, 1)))
      << unitError();
  EXPECT_FALSE(ndsLogin(kSales, "JSMITH", "jspass")) << "the account has expired";
  EXPECT_EQ(lasterror(), NWDSE_ACCOUNT_DISABLED);
}

// ---- Trees ---------------------------------------------------------------------------------

TEST_F(DirectoryLogin, TreeListsNameEachTreeOnce) {
  ASSERT_TRUE(ndsSetContext(kSales));
  auto advertised = ndsGetTreeList();
  EXPECT_EQ(nwtest::names(*advertised), std::vector<std::string>{"TESTTREE"});
  EXPECT_NE(advertised->Objects(0), 0);
  EXPECT_EQ(lasterror(), NWE_NO_SUCH_OBJECT) << "the scan ends with the client's final code";

  auto scanned = ndsGetTreeListOld();
  EXPECT_EQ(nwtest::names(*scanned), std::vector<std::string>{"TESTTREE"});
  EXPECT_EQ(nwtest::objects(*scanned), std::vector<std::intptr_t>{dsoTree});
  EXPECT_EQ(ndsGetContextName(), kSales) << "the scan leaves the internal context alone";

  EXPECT_EQ(nwtest::names(*ndsGetTreeListEx("*")), std::vector<std::string>{"TESTTREE"});
  EXPECT_EQ(nwtest::names(*ndsGetTreeListEx("TEST*")), std::vector<std::string>{"TESTTREE"});
  EXPECT_TRUE(ndsGetTreeListEx("OTHER*")->Empty());
}

TEST_F(DirectoryTreeWithUnderscore, TreeNamesKeepWhatFollowsAnUnderscore) {
  const NWCONN_HANDLE nds1 = nwserver::getServerHandle("NDS1");
  ASSERT_NE(nds1, 0u);
  EXPECT_EQ(ndsGetServerTreeName(nds1), "TEST_TREE");
  EXPECT_EQ(nwtest::names(*ndsGetTreeList()), std::vector<std::string>{"TEST_TREE"})
      << "the list names the tree as the server does";
}

// ---- Servers and connections ---------------------------------------------------------------

TEST_F(DirectoryLogin, DirectoryServersAreToldFromBinderyServers) {
  const NWCONN_HANDLE nds1 = nwserver::getServerHandle("NDS1");
  const NWCONN_HANDLE fs1 = nwserver::getServerHandle("FS1");
  EXPECT_TRUE(ndsisDSServer(nds1)) << unitError();
  EXPECT_EQ(ndsGetServerTreeName(nds1), "TESTTREE");
  EXPECT_EQ(ndsGetDSBuildLevel(nds1), "411");
  EXPECT_FALSE(ndsisDSServer(fs1));
  EXPECT_EQ(lasterror(), -1);
  EXPECT_EQ(ndsGetServerTreeName(0), "") << "the primary connection is FS1";
  EXPECT_EQ(lasterror(), 0);

  EXPECT_TRUE(ndsSetPreferredTreeName("TESTTREE")) << unitError();
  EXPECT_EQ(ndsGetPreferredDSServer(), nds1);
  EXPECT_EQ(ndsConnectToServer("nds1"), nds1);
  EXPECT_EQ(ndsConnectToServer("FS1"), 0u);
}

TEST_F(DirectoryLogin, AttachAuthenticatesAndAFailedAttachLeavesNothingOpen) {
  ASSERT_TRUE(ndsLogin(kOrg, "ADMIN", "secret")) << unitError();
  const NWCONN_HANDLE nds1 = ndsAttach("nds1");
  EXPECT_NE(nds1, 0u) << unitError();
  EXPECT_EQ(ndsAuthenticateObject(kSales, "JSMITH"), nds1) << unitError();

  // FS2 is no directory server: the attach fails, and the connection it made goes again.
  ASSERT_TRUE(nwserver::closeConnection(nwserver::getServerHandle("FS2")));
  ASSERT_FALSE(connectedTo("FS2"));
  EXPECT_EQ(ndsAttach("FS2"), 0u);
  EXPECT_NE(lasterror(), 0);
  EXPECT_FALSE(connectedTo("FS2")) << "a failed attach left its connection open";
  // A connection that was there before stays.
  ASSERT_NE(nwserver::getServerHandle("FS2"), 0u);
  EXPECT_EQ(ndsAttach("FS2"), 0u);
  EXPECT_TRUE(connectedTo("FS2"));

  const auto authentications = calls("NWDSAuthenticateConn");
  EXPECT_EQ(ndsAttach("NOSUCHSERVER"), 0u);
  EXPECT_EQ(calls("NWDSAuthenticateConn"), authentications) << "nothing reached the directory client";

  const NWCONN_HANDLE opened = ndsConnectToServer("NDS1");
  EXPECT_TRUE(ndsDetach(opened)) << unitError();
  EXPECT_FALSE(connectedTo("NDS1"));
  EXPECT_FALSE(ndsDetach(opened));
}

TEST_F(DirectoryLogin, AuthenticationNeedsADirectoryLogin) {
  ndsLogout();
  EXPECT_FALSE(ndsAuthenticateServerConn(nwserver::getServerHandle("NDS1")));
  EXPECT_EQ(lasterror(), NWDSE_NOT_LOGGED_IN);
  EXPECT_EQ(ndsAuthenticateObject(kSales, "JSMITH"), 0u);
}
