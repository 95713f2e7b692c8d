// nw cx, attr, rights, groups, equiv and schema, run as a user runs them against a fresh
// network, as workstation WS-TEST (logged in to the tree TESTTREE as ADMIN).
#include "nw_fixture.h"

#include <sys/wait.h>

#include <cstdio>
#include <string>

TEST_F(NwDirectory, CxShowsSetsAndKeepsTheContextForTheWorkstation) {
  Result r = nw("cx");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "[Root]\n");
  r = nw("cx SALES.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "OU=SALES.O=TESTORG\n");
  r = nw("cx");
  EXPECT_EQ(r.out, "OU=SALES.O=TESTORG\n") << "kept between runs";
  r = nw("attr JSMITH Surname");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "Smith")) << "names are relative to the kept context: " << r.out;
  r = nw("cx", "full", "WS-SALES");
  EXPECT_EQ(r.out, "[Root]\n") << "another workstation has its own context";
  r = nw("cx .ACCOUNTING.TESTORG");
  EXPECT_EQ(r.out, "OU=ACCOUNTING.O=TESTORG\n") << r.out;
}

TEST_F(NwDirectory, NamesAreRelativeToTheContextAsCxTakesThem) {
  struct Step { const char* cx; const char* context; };
  for (const Step& step : {Step{"O=TESTORG", "O=TESTORG"}, Step{"OU=SALES", "OU=SALES.O=TESTORG"},
                           Step{".", "O=TESTORG"}, Step{"SALES", "OU=SALES.O=TESTORG"}, Step{"..", "[Root]"},
                           Step{".OU=SALES.O=TESTORG", "OU=SALES.O=TESTORG"}, Step{"ACCOUNTING.", "OU=ACCOUNTING.O=TESTORG"},
                           Step{"OU=SALES.O=TESTORG", "OU=SALES.O=TESTORG"}}) {
    Result r = nw(std::string("cx ") + step.cx);
    EXPECT_EQ(r.status, 0) << step.cx << ": " << r.out;
    EXPECT_EQ(r.out, std::string(step.context) + "\n") << step.cx;
  }
  for (const char* wrong : {"JSMITH", "...", "OU=NOWHERE"}) {
    Result r = nw(std::string("cx ") + wrong);
    EXPECT_EQ(r.status, 1) << wrong << ": " << r.out;
    EXPECT_TRUE(contains(r.out, std::string("cannot set the context to '") + wrong + "'")) << r.out;
  }
  EXPECT_TRUE(contains(nw("cx JSMITH").out, "CN=JSMITH.OU=SALES.O=TESTORG is no container"));
  EXPECT_EQ(nw("cx").out, "OU=SALES.O=TESTORG\n") << "a refused name leaves the context";

  ASSERT_EQ(nw("cx .").status, 0);
  Result r = nw("nlist user --context OU=SALES");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "CN=JSMITH")) << r.out;
  EXPECT_EQ(nw("nlist user --context OU=NOWHERE").status, 1);
  ASSERT_EQ(nw("cx OU=ACCOUNTING").status, 0);
  r = nw("attr CN=JSMITH.OU=SALES.O=TESTORG Surname");
  EXPECT_EQ(r.status, 0) << "a name that ends in an organization is complete: " << r.out;
  EXPECT_TRUE(contains(r.out, "Smith")) << r.out;
  r = nw("attr JSMITH.SALES. Surname");
  EXPECT_EQ(r.status, 0) << "a trailing dot goes up from the context: " << r.out;
  EXPECT_TRUE(contains(r.out, "Smith")) << r.out;
}

TEST_F(NwDirectory, DirectoryFailuresAreToldInWordsWithTheirCode) {
  Result r = nw("groups .CN=NEWBIE.O=TESTORG");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "(no such entry, code -601)")) << r.out;
  r = nw("cx ...");
  EXPECT_TRUE(contains(r.out, "(illegal directory name, code -610)")) << r.out;
  r = nw("attr .CN=JSMITH.OU=SALES.O=TESTORG", "full", "WS-SALES");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "code -")) << "a station not logged in to the tree: " << r.out;
}

TEST_F(NwDirectory, CxOfAnUnknownContextFailsAndKeepsTheOldOne) {
  Result r = nw("cx OU=NOWHERE.O=TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1) << r.out;
  EXPECT_TRUE(contains(r.out, "nw: cannot set the context to 'OU=NOWHERE.O=TESTORG'")) << r.out;
  EXPECT_EQ(nw("cx").out, "[Root]\n");
}

TEST_F(NwDirectory, AttrListsTheObjectsValuesTyped) {
  Result r = nw("attr CN=JSMITH.OU=SALES.O=TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* line : {"Surname                        SYN_CI_STRING      Smith",
                           "Telephone Number               SYN_TEL_NUMBER     555-0101",
                           "Telephone Number               SYN_TEL_NUMBER     555-0102",
                           "Home Directory                 SYN_PATH           CN=NDS1_SYS.O=TESTORG:HOME\\JSMITH",
                           "EMail Address                  SYN_EMAIL_ADDRESS  jsmith@testorg.example",
                           "Group Membership               SYN_DIST_NAME      CN=SALESGRP.OU=SALES.O=TESTORG"})
    EXPECT_TRUE(contains(r.out, line)) << line << "\n" << r.out;
  r = nw("attr JSMITH.SALES.TESTORG \"full name\"");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "Full Name                      SYN_CI_STRING      John Smith\n");
}

TEST_F(NwDirectory, AttrSetWritesByTheAttributesSyntax) {
  EXPECT_EQ(nw("attr set JSMITH.SALES.TESTORG Title \"Sales Manager\"").status, 0);
  EXPECT_TRUE(contains(nw("attr JSMITH.SALES.TESTORG Title").out, "Sales Manager"));
  Result r = nw("attr set JSMITH.SALES.TESTORG \"Login Grace Limit\" 4");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(nw("attr JSMITH.SALES.TESTORG \"Login Grace Limit\"").out, "SYN_INTEGER        4"));
  r = nw("attr set JSMITH.SALES.TESTORG \"Login Disabled\" yes");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(nw("attr JSMITH.SALES.TESTORG \"Login Disabled\"").out, "SYN_BOOLEAN        Yes"));
  r = nw("attr set JSMITH.SALES.TESTORG \"Login Expiration Time\" \"2027-03-14 15:09:26\"");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(nw("attr JSMITH.SALES.TESTORG \"Login Expiration Time\"").out, "2027-03-14 15:09:26"));
}

TEST_F(NwDirectory, AttrErrorsAreOneLine) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {{"attr NOBODY.TESTORG", "nw: cannot read the attributes of NOBODY.TESTORG"},
               {"attr JSMITH.SALES.TESTORG Nonsense", "nw: unknown attribute 'Nonsense'"},
               {"attr JSMITH.SALES.TESTORG Title", "nw: JSMITH.SALES.TESTORG has no value of Title"},
               {"attr set JSMITH.SALES.TESTORG \"Login Grace Limit\" many", "nw: 'many' is not a whole number"},
               {"attr set JSMITH.SALES.TESTORG \"Login Disabled\" perhaps", "nw: 'perhaps' is not yes or no"},
               {"attr set NOBODY.TESTORG Title x", "nw: cannot set Title of NOBODY.TESTORG"},
               {"attr", "nw: missing object name"}};
  for (const auto& c : cases) {
    Result r = nw(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_EQ(lines(r.out), 1) << c.args << "\n" << r.out;
    EXPECT_TRUE(contains(r.out, c.message)) << c.args << "\n" << r.out;
  }
}

TEST_F(NwDirectory, RightsShowsEffectiveRightsAsText) {
  Result r = nw("rights SALES.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "Effective rights of CN=ADMIN.O=TESTORG to SALES.TESTORG:")) << r.out;
  EXPECT_TRUE(contains(r.out, "[Entry Rights]             [BADRS ]")) << r.out;
  r = nw("rights SALES.TESTORG --as JSMITH.SALES.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "[Entry Rights]             [BA--- ]")) << r.out;
  EXPECT_TRUE(contains(r.out, "[All Attributes Rights]    [CRW-- ]")) << r.out;
  r = nw("rights TESTORG \"[SMS Rights]\" --as [Public]");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "[SMS Rights]               [------]")) << r.out;
  r = nw("rights NOBODY.TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1) << r.out;
}

TEST_F(NwDirectory, GroupsAndEquivalences) {
  Result r = nw("groups JSMITH.SALES.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "Groups of JSMITH.SALES.TESTORG:\n  CN=SALESGRP.OU=SALES.O=TESTORG\n");
  r = nw("groups ADMIN.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "(none)")) << r.out;
  r = nw("equiv MJONES.ACCOUNTING.TESTORG");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "Security equivalences of MJONES.ACCOUNTING.TESTORG:\n  CN=JSMITH.OU=SALES.O=TESTORG\n");
  r = nw("groups NOBODY.TESTORG");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1) << r.out;
}

TEST_F(NwDirectory, SchemaListsAttributeDefinitions) {
  Result r = nw("schema");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "Surname                            SYN_CI_STRING\n")) << r.out;
  EXPECT_TRUE(contains(r.out, "Home Directory                     SYN_PATH\n")) << r.out;
  EXPECT_GT(lines(r.out), 20);
  r = nw("schema \"Organizational Unit\"");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "created as \"Organizational Unit\"")) << r.out;
  r = nw("schema Template");
  EXPECT_NE(r.status, 0);
}

TEST_F(NwDirectory, EveryCommandHasHelp) {
  for (const char* cmd : {"cx", "attr", "rights", "groups", "equiv", "schema"}) {
    Result r = nw(std::string(cmd) + " --help");
    EXPECT_EQ(r.status, 0) << cmd;
    EXPECT_TRUE(contains(r.out, std::string("usage: nw ") + cmd)) << r.out;
  }
}

TEST_F(NwDirectory, WithoutDirectoryServicesCommandsFailInOneLine) {
  Result r = nw("cx", "nonds");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1) << r.out;
  EXPECT_TRUE(contains(r.out, "nw: directory services are not available")) << r.out;
}
