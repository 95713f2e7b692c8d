// TNWBase on a machine without the NetWare client: everything reads its soft value.
#include "base_fixture.h"

using namespace nwbase;

TEST_F(BaseTest, WithoutTheClientEveryPropertyReadsItsSoftValue) {
  QWidget form;
  auto* probe = new Probe(&form);
  TNWBase& b = make(&form);
  EXPECT_FALSE(b.netAvailable());
  EXPECT_FALSE(b._getIsNDS());
  EXPECT_EQ(b._getServerName(), "LOCAL");
  EXPECT_EQ(b._getServerVersion(), "0.0");
  EXPECT_EQ(b._getVersion(), "1.45 / 4.50 - 15 Sept 1998");
  EXPECT_EQ(b._getLoginID(), "");
  EXPECT_EQ(b._getServerHandle(), 0u);
  EXPECT_EQ(b._getNDSPreferredTree(), "");
  EXPECT_EQ(b._getObjType(), nwObjTypeUser);
  EXPECT_EQ(b._getObjectID(), "0");
  EXPECT_EQ(b._getConnectID(), 0);
  EXPECT_FALSE(b._getIsManager());
  const QString ostrelCode = b._getLastError()->Ostrel;
  EXPECT_TRUE(ostrelCode == "FFFF" || ostrelCode == "FFFFFFFF") << ostrelCode.toStdString();
  EXPECT_EQ(b._getLastError()->NWNDS, "FFFF");
  // The local date and time, as the server cannot tell.
  EXPECT_LE(std::abs(b._getServerDate().secsTo(QDateTime::currentDateTime())), 5);
  for (int kind = nwlNone; kind <= nwlNDSObjList; ++kind) {
    auto list = b.getObjectList(static_cast<TNWObjListType>(kind));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 0) << kind;
  }
  EXPECT_FALSE(b.checkPassword("x"));
  EXPECT_FALSE(b.login("FS1", "x"));
  EXPECT_FALSE(b.logout(0));
  EXPECT_FALSE(b.send("x"));
  EXPECT_FALSE(b.winMapDrive('G', "FS1/SYS:", "", "", false));
  EXPECT_EQ(b.winNetGetUserName(), "");
  // A server name cannot be found: silently notified, nothing raised.
  EXPECT_NO_THROW(b._setServerName("FS1"));
  EXPECT_EQ(probe->serverChanges, 1);
  EXPECT_EQ(b._getServerName(), "LOCAL");
  EXPECT_NO_THROW(b._setContextName("O=TESTORG"));
  EXPECT_EQ(b._getContextHandle(), 0);
}
