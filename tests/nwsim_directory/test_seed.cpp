// The "directory" part of a seed: what it builds, and the mistakes it reports.
#include "dsclient.h"

namespace {

std::string seedWith(const std::string& directory, const std::string& tree = "TREE") {
  return R"({ "servers": [ { "name": "DS1", "kind": "directory", "tree": ")" + tree +
         R"(", "objects": [ { "name": "ADMIN", "type": "user", "id": "3C000001" } ] } ],
  "workstations": [ { "name": "WS", "connections": [ { "server": "DS1", "login": "ADMIN", "primary": true } ] } ],
  "directory": )" + directory + "}";
}

std::string errorOf(const std::string& text) {
  nwtest::TempDir tmp;
  try {
    nwsim::createNetworkFromText(tmp.path() / "net", text, "test.json");
  } catch (const nwsim::SimError& e) {
    return e.what();
  }
  return "";
}

const char* const kOrg = R"({ "name": "O=ORG", "class": "Organization", "objects": [ )";

} // namespace

TEST(DirectorySeed, MistakesAreReportedWithTheirLine) {
  struct Row {
    std::string directory;
    std::string tree;
    const char* expected;
  };
  const Row rows[] = {
      {R"({ "tree": "OTHER" })", "TREE", "serves tree TREE, not OTHER"},
      {R"({ "tree": "TWO WORDS" })", "TREE", "one word"},
      {R"({ "tree": "TREE", "objects": [ { "name": "O=ORG", "class": "Gizmo" } ] })", "TREE", "unknown class \"Gizmo\""},
      {R"({ "tree": "TREE", "objects": [ { "name": "CN=ORG", "class": "Organization" } ] })", "TREE", "is named with O="},
      {R"({ "tree": "TREE", "objects": [ { "name": "CN=U", "class": "User", "attributes": { "Surname": "U" } } ] })", "TREE",
       "cannot be placed in a Tree Root"},
      {std::string(R"({ "tree": "TREE", "objects": [ )") + kOrg + R"({ "name": "CN=U", "class": "User" } ] } ] })", "TREE",
       "lacks a mandatory attribute"},
      {std::string(R"({ "tree": "TREE", "objects": [ )") + kOrg +
           R"({ "name": "CN=U", "class": "User", "attributes": { "Surname": "U", "Shoe Size": 4 } } ] } ] })",
       "TREE", "unknown attribute \"Shoe Size\""},
      {std::string(R"({ "tree": "TREE", "objects": [ )") + kOrg +
           R"({ "name": "CN=G", "class": "Group", "attributes": { "Member": ["CN=NOBODY.O=ORG"] } } ] } ] })",
       "TREE", "names no object"},
      {std::string(R"({ "tree": "TREE", "objects": [ )") + kOrg +
           R"({ "name": "CN=U", "class": "User", "attributes": { "Surname": "U", "Given Name": ["A", "B"] } } ] } ] })",
       "TREE", "are refused (directory code -612)"},
      {std::string(R"({ "tree": "TREE", "acl": [ { "subject": "[Public]", "attribute": "[Entry Rights]", "rights": "BXZ" } ] })"),
       "TREE", "unknown right \"X\""},
  };
  for (const Row& r : rows) {
    std::string e = errorOf(seedWith(r.directory, r.tree));
    EXPECT_NE(e.find(r.expected), std::string::npos) << "expected \"" << r.expected << "\", got \"" << e << "\"";
    EXPECT_NE(e.find("test.json:"), std::string::npos) << e;
  }
}

TEST(DirectorySeed, ABinderyLoginOnTheDirectoryServerActsAsTheUserOfThatName) {
  nwtest::TempDir tmp;
  nwsim::createNetworkFromText(tmp.path() / "net",
                               seedWith(std::string(R"({ "tree": "TREE", "objects": [ )") + kOrg +
                                        R"({ "name": "CN=ADMIN", "class": "User", "id": "3C000001", "attributes": { "Surname": "A" } } ] } ] })"),
                               "test.json");
  nwsim::useNetwork(tmp.path() / "net", "WS");
  {
    dstest::Context c;
    char me[NWDS_MAX_DN_BYTES];
    ASSERT_EQ(NET(NWDSWhoAmI)(c, me), 0);
    EXPECT_STREQ(me, "CN=ADMIN.O=ORG");
    // No trustee entries at all: even ADMIN may not write.
    EXPECT_EQ(dstest::modify(c, "CN=ADMIN.O=ORG", DS_ADD_VALUE, "Title", NWDS_SYN_CI_STRING, {"Boss"}), NWDSE_NO_ACCESS);
    // Without canonicalisation a relative name is taken as complete.
    c.setName("O=ORG");
    nuint32 id = 0;
    EXPECT_EQ(NET(NWDSMapNameToID)(c, 0, "ADMIN", &id), 0);
    c.setFlags(DCV_DEREF_ALIASES | DCV_XLATE_STRINGS);
    EXPECT_EQ(NET(NWDSMapNameToID)(c, 0, "ADMIN", &id), NWDSE_NO_SUCH_ENTRY);
    EXPECT_EQ(NET(NWDSMapNameToID)(c, 0, "ADMIN.ORG", &id), 0);
  }
  nwsim::useNetwork(tmp.path() / "closed");
}

TEST(DirectorySeed, ANetworkWithoutADirectory) {
  nwtest::TempDir tmp;
  nwsim::createNetworkFromText(tmp.path() / "net",
                               R"({ "servers": [ { "name": "FS", "kind": "bindery" } ], "workstations": [ { "name": "WS" } ] })",
                               "plain.json");
  nwsim::useNetwork(tmp.path() / "net", "WS");
  {
    dstest::Context c;
    ASSERT_GT(c.h, 0);
    EXPECT_EQ(NET(NWDSSetContext)(c, DCK_NAME_CONTEXT, "[Root]"), 0);
    char name[NWDS_MAX_DN_BYTES];
    EXPECT_EQ(NET(NWDSCanonicalizeName)(c, "JSMITH", name), NWDSE_NO_SUCH_ENTRY);
    std::vector<std::string> names;
    EXPECT_EQ(dstest::list(c, "[Root]", names), NWDSE_NO_SUCH_ENTRY);
  }
  nwsim::useNetwork(tmp.path() / "closed");
}
