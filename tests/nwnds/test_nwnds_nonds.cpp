// A client without directory services: the unit loads nothing, records 0xFFFF once, and
// every operation fails softly without touching the rest of the client.
#include "fixtures/netfixture.h"

#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>

#include <gtest/gtest.h>

using namespace nwnds;

namespace {

class NoDirectory : public nwtest::NetworkTest {
protected:
  void SetUp() override {
    NetworkTest::SetUp();
    ostrelUnit = std::make_unique<ostrel::TOstrel>();
    unit = std::make_unique<TNWNDS>();
  }
  void TearDown() override {
    unit.reset();
    ostrelUnit.reset();
    NetworkTest::TearDown();
  }
  std::unique_ptr<ostrel::TOstrel> ostrelUnit;
  std::unique_ptr<TNWNDS> unit;
};

} // namespace

TEST_F(NoDirectory, ConstructionRecordsFFFFAndLoadsNothing) {
  EXPECT_EQ(lasterror(), 0xFFFF);
  EXPECT_EQ(unit->getLastError(), "FFFF");
  EXPECT_EQ(hNWNet(), nullptr);
  EXPECT_EQ(hNWLoc(), nullptr);
  EXPECT_EQ(getInternalContextHandle(), 0);
  EXPECT_NE(ostrel::hNWCalls(), nullptr) << "the calls library is still there";
}

TEST_F(NoDirectory, EveryOperationFailsSoftlyAndKeepsFFFF) {
  int handle = 0;
  NWCONN_HANDLE conn = 7;
  std::string text = "kept";
  bool flag = true;
  std::int32_t number = 42;
  rtl::TDateTime when = 1.5;
  TNWDSPathInfo path;
  path.Path = "kept";
  rtl::TList values;
  std::unique_ptr<rtl::THandleStream> stream;
  TNWDSEntryRights entry;
  TNWDSAttrRights attrRights;
  TNWDSSMSRights sms;
  char raw[64] = {};

  EXPECT_FALSE(ndsInit());
  EXPECT_FALSE(ndsClose());
  EXPECT_EQ(ndsGetContextHandle(), 0);
  EXPECT_FALSE(ndsFreeContext(5));
  EXPECT_EQ(ndsCopyContext(5), 0);
  EXPECT_FALSE(resetOstrelContext());
  EXPECT_FALSE(ndsSetContext("O=TEST"));
  EXPECT_FALSE(ndsSetContextName(handle, "O=TEST"));
  EXPECT_EQ(ndsGetContextName(), "");
  EXPECT_FALSE(ndsSetContextFlags(4));
  EXPECT_FALSE(ndsSetUserContextFlags(handle, 4));
  EXPECT_FALSE(ndsReplaceContextFlags(4));
  EXPECT_EQ(ndsGetContextFlags(), 0);
  EXPECT_FALSE(ndsSetReplicaServer(0));
  EXPECT_EQ(ndsGetRootName("ADMIN"), "");
  EXPECT_EQ(ndsExpandName("ADMIN"), "");
  EXPECT_EQ(ndsAbbreviateName("ADMIN"), "");
  EXPECT_EQ(ndsGetTypelessName("CN=ADMIN"), "");
  EXPECT_EQ(ndsGetBinderyContextName(0), "");
  EXPECT_EQ(ndsGetServerDN(0), "");
  EXPECT_EQ(ndsWhoAmI(), "");
  EXPECT_EQ(ndsGetObjID(0, "ADMIN"), "");
  EXPECT_EQ(ndsGetObjNumber(conn, "ADMIN"), 0u);
  EXPECT_EQ(conn, 0u);
  EXPECT_EQ(ndsGetObjName(0, 1), "");
  EXPECT_FALSE(ndsGetObjAttr(1, "ADMIN", dsaSurname, raw, sizeof raw));
  EXPECT_FALSE(ndsGetStringAttr("", "ADMIN", dsaSurname, text));
  EXPECT_FALSE(ndsGetPathAttr("", "ADMIN", dsaHomeDirectory, path));
  EXPECT_FALSE(ndsGetBooleanAttr("", "ADMIN", dsaLoginDisabled, flag));
  EXPECT_FALSE(ndsGetIntegerAttr("", "ADMIN", dsaLoginGraceLimit, number));
  EXPECT_FALSE(ndsGetDateTimeAttr("", "ADMIN", dsaLoginTime, when));
  EXPECT_FALSE(ndsGetMultiAttr("", "ADMIN", dsaGroupMembership, values));
  EXPECT_FALSE(ndsCreateStringAttr("O=TEST", "ADMIN", dsaTitle, "x"));
  EXPECT_FALSE(ndsModifyStringAttr("", "ADMIN", dsaTitle, "x"));
  EXPECT_FALSE(ndsCreateIntegerAttr("", "ADMIN", dsaLoginGraceLimit, 1));
  EXPECT_FALSE(ndsModifyBooleanAttr("", "ADMIN", dsaLoginDisabled, true));
  EXPECT_FALSE(ndsModifyDateTimeAttr("", "ADMIN", dsaLoginExpirationTime, 40000.0));
  EXPECT_FALSE(ndsModifyPathAttr("", "ADMIN", dsaHomeDirectory, path));
  EXPECT_FALSE(ndsRemoveObjAttr("", "ADMIN", dsaTitle));
  EXPECT_FALSE(ndsReadAttr("", "ADMIN", "Surname", SYN_CI_STRING, raw, sizeof raw));
  EXPECT_FALSE(ndsWriteAttr("", "ADMIN", "Surname", SYN_CI_STRING, "x"));
  EXPECT_FALSE(ndsAddObjAttrEx("", "ADMIN", "Surname", SYN_CI_STRING, "x"));
  EXPECT_EQ(ndsReadOctetAttr("", "ADMIN", "Description"), "");
  EXPECT_FALSE(ndsWriteOctetAttr("", "ADMIN", "Description", "x"));
  EXPECT_FALSE(ndsOpenAttrStream("", "ADMIN", dsaLoginScript, stream));
  EXPECT_EQ(stream, nullptr);
  EXPECT_FALSE(ndsDefineClass("", "Thing", TNWDSClassDef{}));
  EXPECT_FALSE(ndsDefineAttr("", "Thing", TNWDSAttrDef{}));
  EXPECT_FALSE(ndsRemoveAttr("", "Thing"));
  EXPECT_EQ(ndsGetObjAttrList("", "")->Count(), 0);
  EXPECT_FALSE(ndsGetEntryRights("ADMIN", "[Root]", entry));
  EXPECT_FALSE(ndsGetAttrRights("ADMIN", "[Root]", attrRights));
  EXPECT_FALSE(ndsGetSMSRights("ADMIN", "[Root]", sms));
  EXPECT_FALSE(ndsWriteObjectACL("", "ADMIN", "[Entry Rights]", "B"));
  EXPECT_FALSE(ndsAddSecurityEquals("", "ADMIN", "EVERYONE"));
  EXPECT_FALSE(ndsRemoveSecurityEquals("", "ADMIN", "EVERYONE"));
  EXPECT_FALSE(ndsAddObjToGroup("ADMIN", "EVERYONE"));
  EXPECT_FALSE(ndsRemoveObjFromGroup("ADMIN", "EVERYONE"));
  EXPECT_EQ(ndsGetMyGroups("", "ADMIN")->Count(), 0);
  EXPECT_EQ(ndsGetGroupMembers("", "EVERYONE")->Count(), 0);

  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(flag);
  EXPECT_EQ(number, 42);
  EXPECT_EQ(when, 1.5);
  EXPECT_EQ(path.Path, "kept");
  EXPECT_EQ(values.Count(), 0);
  EXPECT_EQ(lasterror(), 0xFFFF) << "nothing reached the client";
  EXPECT_EQ(nwsim::openDirectoryContexts(), 0u);
}

TEST_F(NoDirectory, ResetClearsTheCodeAndDestructionIsHarmless) {
  unit->resetLastError();
  EXPECT_EQ(unit->getLastError(), "0000");
  unit.reset();
  unit = std::make_unique<TNWNDS>();
  EXPECT_EQ(lasterror(), 0xFFFF);
}
