// The attribute catalogue, syntaxes and object kinds: constant data, no client involved.
#include <nwnds/nwnds.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

using namespace nwnds;

namespace {

std::string attrName(int ordinal) {
  std::string name = "left over";
  _ndsGetAttrName(static_cast<TNWDSAttrType>(ordinal), name);
  return name;
}

Object_Info_T infoWithClass(const char* baseClass) {
  Object_Info_T info{};
  std::strncpy(info.baseClass, baseClass, sizeof info.baseClass - 1);
  return info;
}

} // namespace

TEST(Catalogue, EnumerationsHaveTheirPublishedSizesAndOrdinals) {
  static_assert(sizeof(TNWDSSynTypes) == 1 && sizeof(TNWDSObjType) == 1 && sizeof(TNWDSAttrType) == 1 &&
                sizeof(TNWDSAttrAction) == 1);
  EXPECT_EQ(SYNTAX_COUNT, 28);
  EXPECT_EQ(SYN_OBJECT_ACL, NWDS_SYN_OBJECT_ACL);
  EXPECT_EQ(SYN_INTERVAL, NWDS_SYN_INTERVAL);
  EXPECT_EQ(dsoQueueJob, 29);
  EXPECT_EQ(dsoUser, 24);
  EXPECT_EQ(dsoGroup, 8);
  EXPECT_EQ(dsaVolume, 142);
  EXPECT_EQ(daPostmaster, 99);
  EXPECT_EQ(dsaaRemoveAttr, 3);
}

struct AttrRow {
  TNWDSAttrType attr;
  const char* name;
  TNWDSSynTypes syntax;
};

class CatalogueRows : public ::testing::TestWithParam<AttrRow> {};

TEST_P(CatalogueRows, NameAndSyntaxAreTheDirectorysOwn) {
  const AttrRow& row = GetParam();
  EXPECT_EQ(attrName(row.attr), row.name);
  EXPECT_EQ(_ndsGetSynType(row.attr), row.syntax);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CatalogueRows,
    ::testing::Values(AttrRow{dsaAccountBalance, "Account Balance", SYN_COUNTER},
                      AttrRow{dsaACL, "ACL", SYN_OBJECT_ACL},
                      AttrRow{dsaCountry, "C", SYN_CI_STRING}, AttrRow{dsaLocality, "L", SYN_CI_STRING},
                      AttrRow{dsaState, "S", SYN_CI_STRING}, AttrRow{dsaStreetAddress, "SA", SYN_CI_STRING},
                      AttrRow{dsaCommonName, "CN", SYN_CI_STRING}, AttrRow{dsaOrganization, "O", SYN_CI_STRING},
                      AttrRow{dsaOrganizationalUnit, "OU", SYN_CI_STRING},
                      AttrRow{dsaClassName, "Object Class", SYN_CI_STRING},
                      AttrRow{dsaObjectClass, "Object Class", SYN_CLASS_NAME},
                      AttrRow{dsaDSRevision, "Revision", SYN_INTEGER}, AttrRow{dsaRevision, "Revision", SYN_COUNTER},
                      AttrRow{dsaEmailAddress, "EMail Address", SYN_EMAIL_ADDRESS},
                      AttrRow{dsaGroupID, "GID", SYN_INTEGER}, AttrRow{dsaUserID, "UID", SYN_INTEGER},
                      AttrRow{dsaLoginScript, "Login Script", SYN_STREAM},
                      AttrRow{dsaHomeDirectory, "Home Directory", SYN_PATH},
                      AttrRow{dsaLastLoginTime, "Last Login Time", SYN_TIME},
                      AttrRow{dsaLastReferencedTime, "Last Referenced Time", SYN_TIMESTAMP},
                      AttrRow{dsaNetworkAddressRestriction, "Network Access Restriction", SYN_NET_ADDRESS},
                      AttrRow{dsaNotify, "Notify", SYN_TYPED_NAME},
                      AttrRow{daPostmaster, "Postmaster", SYN_DIST_NAME},
                      AttrRow{dsaReplica, "Replica", SYN_REPLICA_POINTER},
                      AttrRow{dsaPostalAddress, "Postal Address", SYN_PO_ADDRESS},
                      AttrRow{dsaServerHolds, "Server Holds", SYN_HOLD},
                      AttrRow{dsaBackLink, "Back Link", SYN_BACK_LINK},
                      AttrRow{dsaFacsimileTelephoneNumber, "Facsimile Telephone Number", SYN_FAX_NUMBER},
                      AttrRow{dsaTelephoneNumber, "Telephone Number", SYN_TEL_NUMBER},
                      AttrRow{dsaBinderyType, "Bindery Type", SYN_NU_STRING},
                      AttrRow{dsaSerialNumber, "Serial Number", SYN_PR_STRING},
                      AttrRow{dsaIntruderLockoutResetInterval, "Intruder Lockout Reset Interval", SYN_INTERVAL},
                      AttrRow{dsaGroupMembership, "Group Membership", SYN_DIST_NAME},
                      AttrRow{dsaMember, "Member", SYN_DIST_NAME}, AttrRow{dsaSurname, "Surname", SYN_CI_STRING},
                      AttrRow{dsaUnknown, "Unknown", SYN_UNKNOWN},
                      AttrRow{dsaUnknownBaseClass, "Unknown Base Class", SYN_CI_STRING},
                      AttrRow{dsaVolume, "Volume", SYN_DIST_NAME}));

TEST(Catalogue, EveryAttributeIsNamedAndOnlyTheTwoKnownPairsShareAName) {
  std::map<std::string, int> seen;
  for (int i = 0; i < kAttrTypeCount; ++i) {
    const std::string name = attrName(i);
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_LT(name.size(), 34u) << name << ": must fit the attribute-name buffer";
    EXPECT_LT(_ndsGetSynType(static_cast<TNWDSAttrType>(i)), SYNTAX_COUNT) << i;
    ++seen[name];
  }
  for (const auto& [name, count] : seen)
    EXPECT_EQ(count, name == "Object Class" || name == "Revision" ? 2 : 1) << name;
}

TEST(Catalogue, OrdinalsOutsideTheCatalogueGiveNoNameAndInteger) {
  for (int ordinal : {143, 200, 255}) {
    EXPECT_EQ(attrName(ordinal), "") << ordinal;
    EXPECT_EQ(_ndsGetSynType(static_cast<TNWDSAttrType>(ordinal)), SYN_INTEGER) << ordinal;
  }
}

struct ClassRow {
  const char* baseClass;
  TNWDSObjType kind;
};

class ClassLookup : public ::testing::TestWithParam<ClassRow> {};

TEST_P(ClassLookup, BaseClassNameGivesItsKind) {
  EXPECT_EQ(_ndsClassToObjType(infoWithClass(GetParam().baseClass)), GetParam().kind) << GetParam().baseClass;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClassLookup,
    ::testing::Values(ClassRow{"User", dsoUser}, ClassRow{"USER", dsoUser}, ClassRow{"user", dsoUser},
                      ClassRow{"organizational unit", dsoOrganizationalUnit},
                      ClassRow{"Organizational Role", dsoOrganizationalRole},
                      ClassRow{"Organization", dsoOrganization}, ClassRow{"Country", dsoCountry},
                      ClassRow{"Locality", dsoLocality}, ClassRow{"Group", dsoGroup}, ClassRow{"Queue", dsoQueue},
                      ClassRow{"Printer", dsoPrinter}, ClassRow{"Print Server", dsoPrintServer},
                      ClassRow{"Volume", dsoVolume}, ClassRow{"Profile", dsoProfile}, ClassRow{"Top", dsoTop},
                      ClassRow{"NCP Server", dsoNcpServer}, ClassRow{"ncp server", dsoNcpServer},
                      ClassRow{"Server", dsoServer}, ClassRow{"Messaging Server", dsoMessagingServer},
                      ClassRow{"Message Routing Group", dsoMessageRoutingGroup},
                      ClassRow{"List", dsoList}, ClassRow{"External Entity", dsoExternalEntity},
                      ClassRow{"Directory Map", dsoDirectoryMap}, ClassRow{"Computer", dsoComputer},
                      ClassRow{"Bindery Queue", dsoBinderyQueue}, ClassRow{"Bindery Object", dsoBinderyObject},
                      ClassRow{"Alias", dsoAlias}, ClassRow{"AFP Server", dsoAFPServer},
                      ClassRow{"Template", dsoUnknown}, ClassRow{"", dsoUnknown},
                      ClassRow{"User ", dsoUnknown}, ClassRow{"Tree", dsoUnknown}));

TEST(Catalogue, ClassNameWithoutItsZeroIsReadOnlyWithinTheRecord) {
  Object_Info_T info{};
  std::memset(info.baseClass, 'A', sizeof info.baseClass);  // no zero anywhere
  EXPECT_EQ(_ndsClassToObjType(info), dsoUnknown);
}

TEST(Catalogue, KindsAreCreatedAsTheirClassOrAsUser) {
  EXPECT_EQ(objTypeCreateClass(dsoOrganizationalUnit), "Organizational Unit");
  EXPECT_EQ(objTypeCreateClass(dsoAFPServer), "AFP Server");
  EXPECT_EQ(objTypeCreateClass(dsoGroup), "Group");
  for (TNWDSObjType kind : {dsoServer, dsoTree, dsoFile, dsoDirectory, dsoQueueJob, dsoUser})
    EXPECT_EQ(objTypeCreateClass(kind), "User") << int(kind);
  EXPECT_EQ(objTypeCreateClass(dsoVolume), "");
  EXPECT_EQ(objTypeCreateClass(static_cast<TNWDSObjType>(77)), "");
}

TEST(Catalogue, SyntaxNames) {
  EXPECT_EQ(synTypeName(SYN_CI_STRING), "SYN_CI_STRING");
  EXPECT_EQ(synTypeName(SYN_INTERVAL), "SYN_INTERVAL");
  EXPECT_EQ(synTypeName(static_cast<TNWDSSynTypes>(40)), "");
}

TEST(Catalogue, ValueFormsOfTheSyntaxes) {
  int text = 0, integer = 0;
  for (int s = 0; s <= SYNTAX_COUNT; ++s) {
    text += isTextSyntax(static_cast<TNWDSSynTypes>(s));
    integer += isIntegerSyntax(static_cast<TNWDSSynTypes>(s));
  }
  EXPECT_EQ(text, 7);
  EXPECT_EQ(integer, 3);
  EXPECT_TRUE(isTextSyntax(SYN_DIST_NAME) && isTextSyntax(SYN_TEL_NUMBER) && isTextSyntax(SYN_CLASS_NAME));
  EXPECT_FALSE(isTextSyntax(SYN_OCTET_STRING) || isTextSyntax(SYN_FAX_NUMBER) || isTextSyntax(SYN_EMAIL_ADDRESS));
  EXPECT_TRUE(isIntegerSyntax(SYN_COUNTER) && isIntegerSyntax(SYN_INTERVAL));
  EXPECT_FALSE(isIntegerSyntax(SYN_TIME) || isIntegerSyntax(SYN_BOOLEAN));
}

// Rights text conversion is pure as well.
struct DecodeRow {
  const char* protectedAttr;
  std::uint32_t bits;
  const char* text;
};

class RightsText : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(RightsText, DecodesToSixCharacters) {
  const DecodeRow& row = GetParam();
  std::string attr = row.protectedAttr;
  TNWDSObjectACL acl{attr.data(), nullptr, row.bits};
  EXPECT_EQ(decodeACLRights(acl), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RightsText,
    ::testing::Values(DecodeRow{"[Entry Rights]", 0x1F, "BADRS "}, DecodeRow{"[Entry Rights]", 0, "----- "},
                      DecodeRow{"[Entry Rights]", 0xFF, "BADRS "}, DecodeRow{"[Entry Rights]", 0x0A, "-A-R- "},
                      DecodeRow{"[All Attributes Rights]", 0x2F, "CRWAS "},
                      DecodeRow{"[All Attributes Rights]", 0x10, "----- "},
                      DecodeRow{"Surname", 0x06, "-RW-- "}, DecodeRow{"[SMS Rights]", 0x3F, "SBRCDA"},
                      DecodeRow{"[SMS Rights]", 0, "------"}, DecodeRow{"[SMS Rights]", 0x21, "S----A"},
                      DecodeRow{"[entry rights]", 0x01, "C---- "}));

TEST(RightsText, EncodeTakesLettersAnywhereAndReplacesThePrivileges) {
  std::string entry = "[Entry Rights]";
  TNWDSObjectACL acl{entry.data(), nullptr, 0xFFFF};
  encodeACLRights(acl, "-a-r");
  EXPECT_EQ(acl.Privileges, 0x0Au);
  encodeACLRights(acl, "BBBB");
  EXPECT_EQ(acl.Privileges, 0x01u);
  encodeACLRights(acl, "xyz- ");
  EXPECT_EQ(acl.Privileges, 0u);
  std::string sms = "[SMS Rights]";
  acl.ProtectedAttrName = sms.data();
  encodeACLRights(acl, "adcrbs");
  EXPECT_EQ(acl.Privileges, 0x3Fu);
  std::string attr = "[All Attributes Rights]";
  acl.ProtectedAttrName = attr.data();
  encodeACLRights(acl, "SWB");  // B is no attribute right
  EXPECT_EQ(acl.Privileges, 0x24u);
}

TEST(RightsText, EncodeThenDecodeGivesTheCanonicalText) {
  const struct {
    const char* attr;
    const char* in;
    const char* out;
  } rows[] = {{"[Entry Rights]", "srdab", "BADRS "}, {"[Entry Rights]", "WRC", "---R- "},
              {"[SMS Rights]", "a-d-s", "S---DA"}, {"Title", "wcq", "C-W-- "}};
  for (const auto& row : rows) {
    std::string attr = row.attr;
    TNWDSObjectACL acl{attr.data(), nullptr, 0};
    encodeACLRights(acl, row.in);
    EXPECT_EQ(decodeACLRights(acl), row.out) << row.attr << " " << row.in;
  }
}
