// The bindery: scans, lookups, property values, membership, passwords and privileges.
#include "servers_test.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using nwtest::ServersTest;

class Bindery : public ServersTest {
protected:
  std::vector<std::string> scan(const char* pattern, nuint16 type) {
    std::vector<std::string> names;
    nuint32 id = 0xFFFFFFFFu;
    char name[48];
    nuint16 t = 0;
    nuint8 props = 0, flags = 0, security = 0;
    NWCONN_HANDLE h = primary();
    NWCCODE rc;
    while ((rc = CALLS(NWScanObject)(h, pattern, type, &id, name, &t, &props, &flags, &security)) == NWE_OK) {
      names.push_back(name);
      if (names.size() > 200000) break;
    }
    EXPECT_EQ(rc, NWE_NO_SUCH_OBJECT);
    return names;
  }
};

TEST_F(Bindery, ScanListsObjectsOfATypeInIdOrder) {
  EXPECT_EQ(scan("*", 0x0100), (std::vector<std::string>{"SUPERVISOR", "JSMITH", "MJONES", "GUEST"}));
  EXPECT_EQ(scan("*", 0x0200), (std::vector<std::string>{"EVERYONE", "SALES"}));
  // Seven seeded objects, and the two other servers the network advertises.
  EXPECT_EQ(scan("*", NW_OT_WILD).size(), 9u);
  EXPECT_EQ(scan("*", 0x0400), (std::vector<std::string>{"FS1", "FS2", "NDS1"}));
}

TEST_F(Bindery, ScanMatchesWildcardsWithoutRegardToCase) {
  EXPECT_EQ(scan("m*", 0x0100), (std::vector<std::string>{"MJONES"}));
  EXPECT_EQ(scan("?SMITH", 0x0100), (std::vector<std::string>{"JSMITH"}));
  EXPECT_EQ(scan("*S*", NW_OT_WILD), (std::vector<std::string>{"SUPERVISOR", "FS1", "SALES", "JSMITH", "MJONES", "GUEST", "FS2", "NDS1"}));
  EXPECT_EQ(scan("GUEST", 0x0100), (std::vector<std::string>{"GUEST"}));
  EXPECT_TRUE(scan("NOBODY*", 0x0100).empty());
}

TEST_F(Bindery, ScanReturnsTheIdInClientFormAndFillsEveryOutput) {
  nuint32 id = 0xFFFFFFFFu;
  char name[48];
  std::memset(name, 'x', sizeof name);
  nuint16 type = 0;
  nuint8 props = 0, flags = 9, security = 0;
  ASSERT_EQ(CALLS(NWScanObject)(primary(), "JSMITH", 0x0100, &id, name, &type, &props, &flags, &security), NWE_OK);
  EXPECT_EQ(id, 0x1000001Au);  // display 1A000010, bytes reversed
  EXPECT_STREQ(name, "JSMITH");
  EXPECT_EQ(type, 0x0100);
  EXPECT_EQ(props, 0xFF);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(security, 0x31);
}

TEST_F(Bindery, ScanWalksThousandsOfGeneratedUsers) {
  nwsim::addGeneratedUsers("FS1", 2000, "GEN");
  EXPECT_EQ(scan("GEN*", 0x0100).size(), 2000u);
  EXPECT_EQ(scan("*", 0x0100).size(), 2004u);
  EXPECT_THROW(nwsim::addGeneratedUsers("FS1", 1, "GEN"), nwsim::SimError) << "names exist";
  EXPECT_THROW(nwsim::addGeneratedUsers("NOSUCH", 1), nwsim::SimError);
  EXPECT_THROW(nwsim::addGeneratedUsers("FS1", 1, "A/B"), nwsim::SimError) << "a name with a separator";
}

TEST_F(Bindery, IdsAndNamesTranslateBothWays) {
  NWCONN_HANDLE h = primary();
  nuint32 id = 0;
  ASSERT_EQ(CALLS(NWGetObjectID)(h, "mjones", 0x0100, &id), NWE_OK);
  EXPECT_EQ(id, 0x1100001Au);
  char name[48] = "junk";
  nuint16 type = 0;
  ASSERT_EQ(CALLS(NWGetObjectName)(h, id, name, &type), NWE_OK);
  EXPECT_STREQ(name, "MJONES");
  EXPECT_EQ(type, 0x0100);

  EXPECT_EQ(CALLS(NWGetObjectID)(h, "MJONES", 0x0200, &id), NWE_NO_SUCH_OBJECT) << "the type is part of the key";
  EXPECT_EQ(CALLS(NWGetObjectID)(h, "M*", 0x0100, &id), NWE_WILDCARD_NOT_ALLOWED);
  EXPECT_EQ(CALLS(NWGetObjectName)(h, 0x12345678u, name, &type), NWE_NO_SUCH_OBJECT);
  EXPECT_STREQ(name, "") << "a failed lookup leaves an empty name";
  const std::string tooLong(60, 'A');
  EXPECT_EQ(CALLS(NWGetObjectID)(h, tooLong.c_str(), 0x0100, &id), NWE_INVALID_NAME);
}

TEST_F(Bindery, PropertyValuesComeInSegmentsWithTheMoreFlag) {
  NWCONN_HANDLE h = primary();
  nuint8 seg[128];
  nuint8 more = 7, flags = 7;
  ASSERT_EQ(CALLS(NWReadPropertyValue)(h, "JSMITH", 0x0100, "IDENTIFICATION", 1, seg, &more, &flags), NWE_OK);
  EXPECT_STREQ(reinterpret_cast<char*>(seg), "John Smith");
  EXPECT_EQ(more, 0);
  EXPECT_EQ(flags, NW_BF_ITEM);
  EXPECT_EQ(CALLS(NWReadPropertyValue)(h, "JSMITH", 0x0100, "IDENTIFICATION", 2, seg, &more, &flags), NWE_NO_SUCH_SEGMENT);
  EXPECT_EQ(CALLS(NWReadPropertyValue)(h, "JSMITH", 0x0100, "IDENTIFICATION", 0, seg, &more, &flags), NWE_NO_SUCH_SEGMENT);
  EXPECT_EQ(CALLS(NWReadPropertyValue)(h, "GUEST", 0x0100, "IDENTIFICATION", 1, seg, &more, &flags), NWE_NO_SUCH_PROPERTY);
  EXPECT_EQ(CALLS(NWReadPropertyValue)(h, "NOBODY", 0x0100, "IDENTIFICATION", 1, seg, &more, &flags), NWE_NO_SUCH_OBJECT);

  ASSERT_EQ(CALLS(NWReadPropertyValue)(h, "SALES", 0x0200, "GROUP_MEMBERS", 1, seg, &more, &flags), NWE_OK);
  EXPECT_EQ(flags, NW_BF_SET);
  const nuint8 jsmith[4] = {0x1A, 0x00, 0x00, 0x10};
  EXPECT_EQ(std::memcmp(seg, jsmith, 4), 0) << "set entries are IDs high byte first";
  EXPECT_EQ(std::count(seg + 4, seg + 128, 0), 124) << "empty slots are zero";
}

TEST_F(Bindery, MembershipOfSets) {
  NWCONN_HANDLE h = primary();
  EXPECT_EQ(CALLS(NWIsObjectInSet)(h, "SALES", 0x0200, "GROUP_MEMBERS", "JSMITH", 0x0100), NWE_OK);
  EXPECT_EQ(CALLS(NWIsObjectInSet)(h, "SALES", 0x0200, "GROUP_MEMBERS", "MJONES", 0x0100), NWE_NO_SUCH_MEMBER);
  EXPECT_EQ(CALLS(NWIsObjectInSet)(h, "SALES", 0x0200, "GROUP_MEMBERS", "NOBODY", 0x0100), NWE_NO_SUCH_OBJECT);
  EXPECT_EQ(CALLS(NWIsObjectInSet)(h, "SALES", 0x0200, "NO_SUCH_SET", "JSMITH", 0x0100), NWE_NO_SUCH_PROPERTY);
  EXPECT_EQ(CALLS(NWIsObjectInSet)(h, "JSMITH", 0x0100, "GROUPS_I'M_IN", "EVERYONE", 0x0200), NWE_OK);
}

TEST_F(Bindery, PasswordsAreCheckedWithoutRegardToCase) {
  NWCONN_HANDLE h = primary();
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "JSMITH", 0x0100, "secret"), NWE_OK);
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "JSMITH", 0x0100, "SECRET"), NWE_OK);
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "JSMITH", 0x0100, "secret2"), NWE_BAD_PASSWORD);
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "JSMITH", 0x0100, ""), NWE_BAD_PASSWORD);
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "GUEST", 0x0100, ""), NWE_OK) << "no password: only the empty one";
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "GUEST", 0x0100, "x"), NWE_BAD_PASSWORD);
  EXPECT_EQ(CALLS(NWVerifyObjectPassword)(h, "NOBODY", 0x0100, "x"), NWE_NO_SUCH_OBJECT);
}

TEST_F(Bindery, PasswordsAreStoredOnlyAsSaltedHashes) {
  primary();  // the store is open and in use
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((net->dir() / "network.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::vector<std::string> hashes;
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(db, "SELECT password_hash FROM bindery_objects WHERE password_hash IS NOT NULL ORDER BY name", -1, &q, nullptr);
  while (sqlite3_step(q) == SQLITE_ROW) hashes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(q, 0)));
  sqlite3_finalize(q);
  // Nowhere else in the bindery either, in any case.
  int clear = -1;
  sqlite3_prepare_v2(db,
                     "SELECT (SELECT COUNT(*) FROM bindery_objects WHERE instr(upper(name || flags || security), 'SECRET'))"
                     " + (SELECT COUNT(*) FROM bindery_properties WHERE instr(upper(name), 'SECRET'))"
                     " + (SELECT COUNT(*) FROM bindery_values WHERE instr(upper(CAST(data AS TEXT)), 'SECRET'))",
                     -1, &q, nullptr);
  if (sqlite3_step(q) == SQLITE_ROW) clear = sqlite3_column_int(q, 0);
  sqlite3_finalize(q);
  sqlite3_close(db);
  EXPECT_EQ(clear, 0);
  ASSERT_EQ(hashes.size(), 3u);  // JSMITH, MJONES, SUPERVISOR on FS1
  for (const auto& h : hashes) {
    EXPECT_EQ(h.rfind("$y$", 0), 0u) << "a yescrypt hash: " << h;
    EXPECT_EQ(h.find("secret"), std::string::npos);
  }
}

TEST_F(Bindery, ConsoleOperatorsAndManagers) {
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(primary()), NWE_OK) << "SUPERVISOR";
  EXPECT_EQ(CALLS(NWIsManager)(primary()), NWE_OK);
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(as("WS-ACCT")), NWE_OK) << "MJONES is in OPERATORS";
  EXPECT_EQ(CALLS(NWIsManager)(as("WS-ACCT")), NWE_NO_CONSOLE_RIGHTS);
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(as("WS-SALES")), NWE_NO_CONSOLE_RIGHTS) << "JSMITH";
  EXPECT_EQ(CALLS(NWIsManager)(as("WS-SALES")), NWE_NO_CONSOLE_RIGHTS);
  nwsim::useWorkstation("WS-TEST");
  NWCONN_HANDLE fs2 = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_OK);
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(fs2), NWE_NO_CONSOLE_RIGHTS) << "nobody is logged in there";
  EXPECT_EQ(CALLS(NWCheckConsolePrivileges)(999), NWE_INVALID_CONNECTION);
}

} // namespace
