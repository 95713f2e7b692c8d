// Contexts, names in all their forms, object IDs, locale tables.
#include "dsclient.h"

using dstest::Context;

namespace {

class DirectoryNames : public nwtest::NetworkTest {};

std::string canon(NWDSContextHandle ctx, const char* name, NWCCODE* rc = nullptr) {
  char out[NWDS_MAX_DN_BYTES] = "?";
  NWCCODE r = NET(NWDSCanonicalizeName)(ctx, name, out);
  if (rc) *rc = r;
  return r ? std::string("error ") + std::to_string(r) : std::string(out);
}

} // namespace

TEST_F(DirectoryNames, NewContextDefaultsAndKeys) {
  Context c;
  ASSERT_GT(c.h, 0);
  nuint32 flags = 0;
  ASSERT_EQ(NET(NWDSGetContext)(c, DCK_FLAGS, &flags), 0);
  EXPECT_EQ(flags, 0x13u);
  char name[NWDS_MAX_DN_BYTES];
  ASSERT_EQ(NET(NWDSGetContext)(c, DCK_NAME_CONTEXT, name), 0);
  EXPECT_STREQ(name, "[Root]");
  EXPECT_EQ(NET(NWDSGetContext)(c, 2, &flags), NWDSE_BAD_KEY);
  EXPECT_EQ(NET(NWDSGetContext)(c.h + 1000, DCK_FLAGS, &flags), NWDSE_BAD_CONTEXT);

  // A typeless name context is stored typed; the typeless flag decides what comes back.
  c.setName("SALES.TESTORG");
  ASSERT_EQ(NET(NWDSGetContext)(c, DCK_NAME_CONTEXT, name), 0);
  EXPECT_STREQ(name, "OU=SALES.O=TESTORG");
  c.setFlags(0x13 | DCV_TYPELESS_NAMES);
  ASSERT_EQ(NET(NWDSGetContext)(c, DCK_NAME_CONTEXT, name), 0);
  EXPECT_STREQ(name, "SALES.TESTORG");
  EXPECT_EQ(NET(NWDSSetContext)(c, DCK_NAME_CONTEXT, "OU=NOWHERE.O=TESTORG"), NWDSE_NO_SUCH_ENTRY);
  ASSERT_EQ(NET(NWDSGetContext)(c, DCK_NAME_CONTEXT, name), 0);
  EXPECT_STREQ(name, "SALES.TESTORG") << "a refused name context leaves the old one";

  // Connection key: only connections of this workstation.
  NWCONN_HANDLE bad = 4242;
  EXPECT_EQ(NET(NWDSSetContext)(c, DCK_CONNECTION, &bad), NWE_INVALID_CONNECTION);
}

TEST_F(DirectoryNames, DuplicateCopiesAndFreeReleases) {
  std::size_t before = nwsim::openDirectoryContexts();
  {
    Context c;
    c.setName("O=TESTORG");
    c.setFlags(0x17);
    NWDSContextHandle d = NET(NWDSDuplicateContext)(c);
    ASSERT_GT(d, 0);
    EXPECT_NE(d, c.h);
    char name[NWDS_MAX_DN_BYTES];
    nuint32 flags = 0;
    ASSERT_EQ(NET(NWDSGetContext)(d, DCK_NAME_CONTEXT, name), 0);
    ASSERT_EQ(NET(NWDSGetContext)(d, DCK_FLAGS, &flags), 0);
    EXPECT_STREQ(name, "TESTORG");
    EXPECT_EQ(flags, 0x17u);
    NWDSContextHandle e = 0;
    ASSERT_EQ(NET(NWDSDuplicateContextHandle)(d, &e), 0);
    EXPECT_EQ(nwsim::openDirectoryContexts(), before + 3);
    EXPECT_EQ(NET(NWDSFreeContext)(d), 0);
    EXPECT_EQ(NET(NWDSFreeContext)(d), NWDSE_BAD_CONTEXT) << "a freed handle is gone";
    EXPECT_EQ(NET(NWDSDuplicateContext)(d), 0);
    EXPECT_EQ(NET(NWDSFreeContext)(e), 0);
  }
  EXPECT_EQ(nwsim::openDirectoryContexts(), before);
}

TEST_F(DirectoryNames, CanonicalizeResolvesAgainstTheNameContext) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  struct Row { const char* in; const char* out; };
  const Row rows[] = {
      {"JSMITH", "CN=JSMITH.OU=SALES.O=TESTORG"},
      {"jsmith", "CN=JSMITH.OU=SALES.O=TESTORG"},
      {"CN=JSMITH", "CN=JSMITH.OU=SALES.O=TESTORG"},
      {".JSMITH.SALES.TESTORG", "CN=JSMITH.OU=SALES.O=TESTORG"},
      {"MJONES.ACCOUNTING.", "CN=MJONES.OU=ACCOUNTING.O=TESTORG"},
      {"ADMIN..", "CN=ADMIN"},  // two levels up from SALES.TESTORG is [Root]
      {"ADMIN.", "CN=ADMIN.O=TESTORG"},
      {"[Root]", "[Root]"},
      {"NEWUSER", "CN=NEWUSER.OU=SALES.O=TESTORG"},  // need not exist
      {".CN=X.OU=NEW.O=TESTORG", "CN=X.OU=NEW.O=TESTORG"},
      // An organization cannot lie below SALES: a name that ends in one is complete.
      {"CN=MJONES.OU=ACCOUNTING.O=TESTORG", "CN=MJONES.OU=ACCOUNTING.O=TESTORG"},
      {"O=TESTORG", "O=TESTORG"},
      // Dots alone go up from the name context.
      {".", "O=TESTORG"},
      {"..", "[Root]"},
  };
  for (const Row& r : rows) EXPECT_EQ(canon(c, r.in), r.out) << r.in;
  NWCCODE rc = 0;
  canon(c, "A...", &rc);
  EXPECT_EQ(rc, NWDSE_ILLEGAL_DS_NAME) << "going up past [Root]";
  canon(c, "...", &rc);
  EXPECT_EQ(rc, NWDSE_ILLEGAL_DS_NAME) << "going up past [Root]";
  canon(c, "XX=FOO", &rc);
  EXPECT_EQ(rc, NWDSE_ILLEGAL_DS_NAME);
  canon(c, "C=USA", &rc);
  EXPECT_EQ(rc, NWDSE_ILLEGAL_DS_NAME) << "a country has two letters";
  std::string longName(300, 'A');
  canon(c, longName.c_str(), &rc);
  EXPECT_EQ(rc, NWDSE_INVALID_DS_NAME) << "longer than a name buffer: refused, not cut";

  c.setFlags(0x13 | DCV_TYPELESS_NAMES);
  EXPECT_EQ(canon(c, "JSMITH"), "JSMITH.SALES.TESTORG");
}

TEST_F(DirectoryNames, AbbreviateRemoveTypesPartitionRoot) {
  Context c;
  c.setName("O=TESTORG");
  char out[NWDS_MAX_DN_BYTES];
  ASSERT_EQ(NET(NWDSAbbreviateName)(c, "CN=JSMITH.OU=SALES.O=TESTORG", out), 0);
  EXPECT_STREQ(out, "CN=JSMITH.OU=SALES");
  ASSERT_EQ(NET(NWDSAbbreviateName)(c, "CN=ADMIN", out), 0);
  EXPECT_STREQ(out, "CN=ADMIN") << "a name outside the context stays complete";
  c.setFlags(0x17);
  ASSERT_EQ(NET(NWDSAbbreviateName)(c, "CN=JSMITH.OU=SALES.O=TESTORG", out), 0);
  EXPECT_STREQ(out, "JSMITH.SALES");

  ASSERT_EQ(NET(NWDSRemoveAllTypes)(c, "CN=J\\.SMITH.OU=SALES.O=TESTORG", out), 0);
  EXPECT_STREQ(out, "J\\.SMITH.SALES.TESTORG");
  ASSERT_EQ(NET(NWDSRemoveAllTypes)(c, ".CN=A.OU=B..", out), NWDSE_ILLEGAL_DS_NAME);

  c.setFlags(0x13);
  ASSERT_EQ(NET(NWDSGetPartitionRoot)(c, "CN=JSMITH.OU=SALES", out), 0);
  EXPECT_STREQ(out, "O=TESTORG");
  ASSERT_EQ(NET(NWDSGetPartitionRoot)(c, "[Root]", out), 0);
  EXPECT_STREQ(out, "[Root]");
  EXPECT_EQ(NET(NWDSGetPartitionRoot)(c, "CN=NOBODY", out), NWDSE_NO_SUCH_ENTRY);
}

TEST_F(DirectoryNames, ObjectIdsBothWays) {
  Context c;
  nuint32 id = 0;
  ASSERT_EQ(NET(NWDSMapNameToID)(c, 0, "CN=JSMITH.OU=SALES.O=TESTORG", &id), 0);
  EXPECT_EQ(id, 0x1000005Au) << "IDs travel high byte first";
  char name[NWDS_MAX_DN_BYTES];
  ASSERT_EQ(NET(NWDSMapIDToName)(c, 0, id, name), 0);
  EXPECT_STREQ(name, "CN=JSMITH.OU=SALES.O=TESTORG");
  EXPECT_EQ(NET(NWDSMapIDToName)(c, 0, 0x78563412u, name), NWDSE_NO_SUCH_ENTRY);
  EXPECT_EQ(NET(NWDSMapNameToID)(c, 4242, "CN=JSMITH.OU=SALES.O=TESTORG", &id), NWE_INVALID_CONNECTION);
  NWCONN_HANDLE conn = 0;
  ASSERT_EQ(NET(NWDSAuditGetObjectID)(c, "CN=ADMIN.O=TESTORG", &conn, &id), 0);
  EXPECT_EQ(id, 0x3100003Cu);
  EXPECT_NE(conn, 0u);
  ASSERT_EQ(NET(NWDSResolveName)(c, "CN=ADMIN.O=TESTORG", &conn, &id), 0);
  NWCCConnInfo info;
  ASSERT_EQ(CLX(NWCCGetAllConnInfo)(conn, 1, &info), 0);
  EXPECT_STREQ(info.serverName, "NDS1") << "resolved to a connection to a server of the tree";
}

TEST_F(DirectoryNames, WhoAmIServerAndBinderyContext) {
  Context c;
  char name[NWDS_MAX_DN_BYTES];
  ASSERT_EQ(NET(NWDSWhoAmI)(c, name), 0);
  EXPECT_STREQ(name, "CN=ADMIN.O=TESTORG") << "the workstation's login on the directory server";
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(NET(NWDSWhoAmI)(c, name), NWDSE_NOT_LOGGED_IN);
  nwsim::useWorkstation("WS-TEST");

  NWCONN_HANDLE nds = 0;
  nuint32 id = 0;
  ASSERT_EQ(NET(NWDSResolveName)(c, "CN=ADMIN.O=TESTORG", &nds, &id), 0);
  ASSERT_EQ(NET(NWDSGetServerDN)(c, nds, name), 0);
  EXPECT_STREQ(name, "CN=NDS1.O=TESTORG");
  ASSERT_EQ(NET(NWDSGetBinderyContext)(c, nds, name), 0);
  EXPECT_STREQ(name, "O=TESTORG");
  NWCONN_HANDLE primary = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&primary), 0);
  EXPECT_EQ(NET(NWDSGetServerDN)(c, primary, name), NWDSE_NO_SUCH_ENTRY) << "FS1 is a bindery server";
}

TEST_F(DirectoryNames, LocaleAndUnicodeTables) {
  NWLCONV l;
  std::memset(&l, 0xAB, sizeof l);
  ASSERT_EQ(LOC(NWLlocaleconv)(&l), &l);
  const unsigned char* raw = reinterpret_cast<const unsigned char*>(&l);
  nint32 cp, country;
  std::memcpy(&cp, raw + 56, 4);
  std::memcpy(&country, raw + 60, 4);
  EXPECT_EQ(cp, 437);
  EXPECT_EQ(country, 1);
  EXPECT_EQ(LOC(NWLlocaleconv)(nullptr), nullptr);
  EXPECT_EQ(LOC(NWInitUnicodeTables)(1, 437), 0);
  EXPECT_EQ(LOC(NWInitUnicodeTables)(1, 9999), NWDSE_UNICODE_FILE_NOT_FOUND);
  EXPECT_EQ(LOC(NWFreeUnicodeTables)(), 0);
  EXPECT_EQ(LOC(NWFreeUnicodeTables)(), NWDSE_UNICODE_FILE_NOT_FOUND) << "nothing left to free";
  EXPECT_EQ(nwsim::callCount("NWInitUnicodeTables"), 2u);
}

TEST(DirectorySample, TheAcmeNetworkHasItsTree) {
  nwtest::TempDir tmp;
  nwsim::createNetwork(tmp.path() / "acme");
  nwsim::useNetwork(tmp.path() / "acme", "WS-DEV1");
  {
    Context c;
    c.setName("O=ACME");
    std::vector<std::string> names;
    ASSERT_EQ(dstest::list(c, "SALES", names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"CN=JSMITH", "CN=KWHITE", "CN=LASER1", "CN=PBROWN", "CN=SALES"}));
    std::vector<std::string> v;
    // WS-DEV1 is attached to ACME-NDS1 without a login: [Public] browses but reads nothing.
    EXPECT_EQ(dstest::readStrings(c, "JSMITH.SALES", "Full Name", v), NWDSE_NO_ACCESS);
    nwsim::useWorkstation("WS-SALES1");
    char me[NWDS_MAX_DN_BYTES];
    EXPECT_EQ(NET(NWDSWhoAmI)(c, me), NWDSE_NOT_LOGGED_IN) << "a bindery login is no directory login";
    nuint32 r = 0;
    ASSERT_EQ(NET(NWDSGetEffectiveRights)(c, "TGREEN.DEV", "RKING.DEV", "[Entry Rights]", &r), 0);
    EXPECT_EQ(r, nuint32(DS_ENTRY_MASK)) << "DEVELOPMENT is Supervisor of OU=DEV";
    ASSERT_EQ(NET(NWDSGetEffectiveRights)(c, "ADMIN", "MJONES.ACCOUNTING", "[Entry Rights]", &r), 0);
    EXPECT_EQ(r, nuint32(DS_ENTRY_BROWSE | DS_ENTRY_ADD | DS_ENTRY_DELETE | DS_ENTRY_RENAME)) << "the filter takes Supervisor";
    ASSERT_EQ(NET(NWDSGetPartitionRoot)(c, "MJONES.ACCOUNTING", me), 0);
    EXPECT_STREQ(me, "OU=ACCOUNTING.O=ACME");
    nuint32 id = 0;
    ASSERT_EQ(NET(NWDSMapNameToID)(c, 0, "ADMIN", &id), 0);
    EXPECT_EQ(id, 0x0100003Cu);
  }
  nwsim::useNetwork(tmp.path() / "closed");
}
