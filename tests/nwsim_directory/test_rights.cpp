// Rights and their inheritance, group membership kept in step, security equivalence, stream
// values, and contexts and buffers that do not leak.
#include "dsclient.h"

#include <unistd.h>

using dstest::Buffer;
using dstest::Context;

namespace {

class DirectoryRights : public nwtest::NetworkTest {};

nuint32 rights(NWDSContextHandle c, const char* subject, const char* object, const char* attr) {
  nuint32 r = 0xDEAD;
  EXPECT_EQ(NET(NWDSGetEffectiveRights)(c, subject, object, attr, &r), 0) << subject << " " << object << " " << attr;
  return r;
}

} // namespace

TEST_F(DirectoryRights, EffectiveRightsAndInheritance) {
  Context c;
  c.setName("O=TESTORG");
  struct Row {
    const char* subject;
    const char* object;
    const char* attr;
    nuint32 expected;
    const char* why;
  };
  const Row rows[] = {
      {"ADMIN", "[Root]", "[Entry Rights]", DS_ENTRY_MASK, "explicit Supervisor"},
      {"ADMIN", "JSMITH.SALES", "[Entry Rights]", DS_ENTRY_MASK, "inherited from [Root]"},
      {"ADMIN", "JSMITH.SALES", "Surname", DS_ATTR_MASK, "Supervisor entry rights give every attribute right"},
      {"ADMIN", "MJONES.ACCOUNTING", "[Entry Rights]", DS_ENTRY_BROWSE, "the filter on ACCOUNTING lets only Browse pass"},
      {"JSMITH.SALES", "SALES", "[Entry Rights]", DS_ENTRY_BROWSE | DS_ENTRY_ADD, "through its group"},
      {"JSMITH.SALES", "Q1.SALES", "[All Attributes Rights]", DS_ATTR_COMPARE | DS_ATTR_READ | DS_ATTR_WRITE, "group rights inherited"},
      {"JSMITH.SALES", "ADMIN", "[All Attributes Rights]", DS_ATTR_COMPARE | DS_ATTR_READ, "[Root] as trustee: anyone authenticated"},
      {"[Public]", "ADMIN", "[All Attributes Rights]", 0, "[Public] is not authenticated"},
      {"[Public]", "JSMITH.SALES", "[Entry Rights]", DS_ENTRY_BROWSE, "[Public] browses everything"},
      {"MJONES.ACCOUNTING", "MJONES.ACCOUNTING", "Login Script", DS_ATTR_COMPARE | DS_ATTR_READ | DS_ATTR_WRITE, "an entry for one attribute adds to all-attribute rights"},
      {"MJONES.ACCOUNTING", "MJONES.ACCOUNTING", "Surname", DS_ATTR_COMPARE | DS_ATTR_READ, "... and to that attribute only"},
      {"MJONES.ACCOUNTING", "SALES", "[Entry Rights]", DS_ENTRY_BROWSE, "security equivalence is not transitive through groups"},
      {"ADMIN", "[Root]", "[SMS Rights]", DS_SMS_MASK, "Supervisor gives every SMS right"},
  };
  for (const Row& r : rows) EXPECT_EQ(rights(c, r.subject, r.object, r.attr), r.expected) << r.why;
  nuint32 r = 0;
  EXPECT_EQ(NET(NWDSGetEffectiveRights)(c, "NOBODY", "ADMIN", "[Entry Rights]", &r), NWDSE_NO_SUCH_ENTRY);
  EXPECT_EQ(NET(NWDSGetEffectiveRights)(c, "ADMIN", "ADMIN", "No Such Attribute", &r), NWDSE_NO_SUCH_ATTRIBUTE);
}

TEST_F(DirectoryRights, WritesNeedRights) {
  Context c;
  c.setName("O=TESTORG");
  // WS-SALES is logged in to no directory server: it acts as [Public].
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(dstest::modify(c, "JSMITH.SALES", DS_ADD_VALUE, "Title", NWDS_SYN_CI_STRING, {"Boss"}), NWDSE_NO_ACCESS);
  std::vector<std::string> v;
  EXPECT_EQ(dstest::readStrings(c, "JSMITH.SALES", "Full Name", v), NWDSE_NO_ACCESS);
  EXPECT_EQ(NET(NWDSRemoveObject)(c, "Q1.SALES"), NWDSE_NO_ACCESS);
  nwsim::useWorkstation("WS-TEST");
  // ADMIN's Supervisor right stops at the ACCOUNTING filter.
  EXPECT_EQ(dstest::modify(c, "MJONES.ACCOUNTING", DS_ADD_VALUE, "Title", NWDS_SYN_CI_STRING, {"Clerk"}), NWDSE_NO_ACCESS);
  EXPECT_EQ(dstest::modify(c, "JSMITH.SALES", DS_ADD_VALUE, "Title", NWDS_SYN_CI_STRING, {"Boss"}), 0);
}

TEST_F(DirectoryRights, MembershipIsKeptInStep) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  // Adding the member on the group side adds the group to the member.
  ASSERT_EQ(dstest::modify(c, "SALESGRP", DS_ADD_VALUE, "Member", NWDS_SYN_DIST_NAME, {"ADMIN."}), 0);
  std::vector<std::string> v;
  ASSERT_EQ(dstest::readStrings(c, "ADMIN.", "Group Membership", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"CN=SALESGRP.OU=SALES.O=TESTORG"});
  // The second half of a two-step update finds its work done.
  EXPECT_EQ(dstest::modify(c, "ADMIN.", DS_ADD_VALUE, "Group Membership", NWDS_SYN_DIST_NAME, {"SALESGRP"}), 0);
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "SALESGRP", "Member", v), 0);
  EXPECT_EQ(v, (std::vector<std::string>{"CN=JSMITH.OU=SALES.O=TESTORG", "CN=ADMIN.O=TESTORG"}));
  // Removing on the member side removes on the group side.
  ASSERT_EQ(dstest::modify(c, "JSMITH", DS_REMOVE_VALUE, "Group Membership", NWDS_SYN_DIST_NAME, {"SALESGRP"}), 0);
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "SALESGRP", "Member", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"CN=ADMIN.O=TESTORG"});
  EXPECT_EQ(rights(c, "JSMITH", "SALES.", "[Entry Rights]"), nuint32(DS_ENTRY_BROWSE)) << "no longer through the group";

  // Security equivalence and its mirror.
  ASSERT_EQ(NET(NWDSAddSecurityEquiv)(c, "ADMIN.", "JSMITH"), 0);
  EXPECT_EQ(NET(NWDSAddSecurityEquiv)(c, "ADMIN.", "JSMITH"), NWDSE_DUPLICATE_VALUE);
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Equivalent To Me", v), 0);
  EXPECT_EQ(v, (std::vector<std::string>{"CN=MJONES.OU=ACCOUNTING.O=TESTORG", "CN=ADMIN.O=TESTORG"}));
  ASSERT_EQ(NET(NWDSRemSecurityEquiv)(c, "ADMIN.", "JSMITH"), 0);
  EXPECT_EQ(NET(NWDSRemSecurityEquiv)(c, "ADMIN.", "JSMITH"), NWDSE_NO_SUCH_VALUE);
  v.clear();
  ASSERT_EQ(dstest::readStrings(c, "JSMITH", "Equivalent To Me", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"CN=MJONES.OU=ACCOUNTING.O=TESTORG"});
}

TEST_F(DirectoryRights, StreamsAreFilesOnTheStoredValue) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  nint32 fd = -1;
  ASSERT_EQ(NET(NWDSOpenStream)(c, "JSMITH", "Login Script", DS_READ_STREAM, &fd), 0);
  char text[256] = {};
  ssize_t n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  ASSERT_GT(n, 0);
  EXPECT_STREQ(text, "MAP F:=NDS1_SYS:\nWRITE \"Good day, John\"\n");

  // A shorter script written and truncated leaves no tail of the old one.
  ASSERT_EQ(NET(NWDSOpenStream)(c, "JSMITH", "Login Script", DS_READ_WRITE_STREAM, &fd), 0);
  const char script[] = "WRITE \"Hi\"\n";
  ASSERT_EQ(::write(fd, script, sizeof script - 1), ssize_t(sizeof script - 1));
  ASSERT_EQ(::ftruncate(fd, sizeof script - 1), 0);
  ::close(fd);
  ASSERT_EQ(NET(NWDSOpenStream)(c, "JSMITH", "Login Script", DS_READ_STREAM, &fd), 0);
  std::memset(text, 0, sizeof text);
  n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  EXPECT_STREQ(text, script);

  // A new value is made on opening for writing; a missing one cannot be read.
  EXPECT_EQ(NET(NWDSOpenStream)(c, "ADMIN.", "Login Script", DS_READ_STREAM, &fd), NWDSE_NO_SUCH_ATTRIBUTE);
  ASSERT_EQ(NET(NWDSOpenStream)(c, "ADMIN.", "Login Script", DS_WRITE_STREAM, &fd), 0);
  ASSERT_EQ(::write(fd, "X", 1), 1);
  ::close(fd);
  ASSERT_EQ(NET(NWDSOpenStream)(c, "ADMIN.", "Login Script", DS_READ_STREAM, &fd), 0);
  EXPECT_EQ(::read(fd, text, sizeof text), 1);
  ::close(fd);
  EXPECT_EQ(NET(NWDSOpenStream)(c, "JSMITH", "Surname", DS_READ_STREAM, &fd), NWDSE_SYNTAX_VIOLATION);
  EXPECT_EQ(NET(NWDSOpenStream)(c, "SALESGRP", "Login Script", DS_WRITE_STREAM, &fd), NWDSE_ILLEGAL_ATTRIBUTE);
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(NET(NWDSOpenStream)(c, "JSMITH", "Login Script", DS_WRITE_STREAM, &fd), NWDSE_NO_ACCESS);
}

TEST_F(DirectoryRights, NoGrowthOverManyOperations) {
  std::size_t contexts = nwsim::openDirectoryContexts(), buffers = nwsim::openDirectoryBuffers();
  for (int i = 0; i < 1500; ++i) {
    Context c;
    NWDSContextHandle d = NET(NWDSDuplicateContext)(c);
    ASSERT_GT(d, 0);
    std::vector<std::string> v;
    ASSERT_EQ(dstest::readStrings(d, "CN=JSMITH.OU=SALES.O=TESTORG", "Surname", v), 0);
    ASSERT_EQ(NET(NWDSFreeContext)(d), 0);
  }
  EXPECT_EQ(nwsim::openDirectoryContexts(), contexts);
  EXPECT_EQ(nwsim::openDirectoryBuffers(), buffers);
  EXPECT_EQ(nwsim::callCount("NWDSAllocBuf"), 3000u);
  EXPECT_EQ(nwsim::callCount("NWDSFreeBuf"), 3000u);
}

TEST_F(DirectoryRights, InjectedFaultsReachTheCaller) {
  Context c;
  nwsim::injectFault("NWDSRead", NWDSE_NO_SUCH_ENTRY, 1);
  std::vector<std::string> v;
  EXPECT_EQ(dstest::readStrings(c, "CN=ADMIN.O=TESTORG", "Surname", v), NWDSE_NO_SUCH_ENTRY);
  EXPECT_EQ(dstest::readStrings(c, "CN=ADMIN.O=TESTORG", "Surname", v), 0);
  EXPECT_EQ(v, std::vector<std::string>{"Administrator"});
  nwsim::injectFault("NWDSCreateContext", NWDSE_CONTEXT_CREATION, 1);
  EXPECT_EQ(NET(NWDSCreateContext)(), 0) << "a failed creation gives no handle";
}

TEST_F(DirectoryRights, LoginPasswordsAndTrees) {
  Context c;
  c.setName("OU=SALES.O=TESTORG");
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(NET(NWDSCanDSAuthenticate)(c), 0);
  EXPECT_EQ(NET(NWDSLogin)(c, 0, "JSMITH", "wrong", 0), NWDSE_FAILED_AUTHENTICATION);
  ASSERT_EQ(NET(NWDSLogin)(c, 0, "JSMITH", "JsPass", 0), 0) << "passwords compare without regard to case";
  EXPECT_EQ(NET(NWDSCanDSAuthenticate)(c), 1);
  char me[NWDS_MAX_DN_BYTES];
  ASSERT_EQ(NET(NWDSWhoAmI)(c, me), 0);
  EXPECT_STREQ(me, "CN=JSMITH.OU=SALES.O=TESTORG");
  // Now the group's rights count: JSMITH may write in SALES.
  EXPECT_EQ(dstest::modify(c, "Q1", DS_ADD_VALUE, "Description", NWDS_SYN_CI_STRING, {"Laser queue"}), 0);

  EXPECT_EQ(NET(NWDSVerifyObjectPassword)(c, 0, "JSMITH", "JSPASS"), 0);
  EXPECT_EQ(NET(NWDSChangeObjectPassword)(c, 0, "JSMITH", "NOPE", "NEW"), NWDSE_FAILED_AUTHENTICATION);
  ASSERT_EQ(NET(NWDSChangeObjectPassword)(c, 0, "JSMITH", "JSPASS", "NEWPASS"), 0);
  EXPECT_EQ(NET(NWDSVerifyObjectPassword)(c, 0, "JSMITH", "newpass"), 0);
  EXPECT_EQ(NET(NWDSGenerateObjectKeyPair)(c, "ADMIN.", "X", 0), NWDSE_NO_ACCESS) << "JSMITH may not set ADMIN's password";

  ASSERT_EQ(NET(NWDSLogout)(c), 0);
  EXPECT_EQ(NET(NWDSLogout)(c), NWDSE_NOT_LOGGED_IN);
  EXPECT_EQ(NET(NWDSWhoAmI)(c, me), NWDSE_NOT_LOGGED_IN);

  // Trees and directory servers.
  NWCONN_HANDLE primary = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&primary), 0);
  char tree[NWDS_MAX_TREE_NAME_BYTES];
  EXPECT_EQ(NET(NWIsDSServer)(primary, tree), 0) << "FS1 is a bindery server";
  EXPECT_STREQ(tree, "");
  NWCONN_HANDLE nds = 0;
  ASSERT_EQ(NET(NWGetPreferredDSServer)(&nds), 0);
  EXPECT_EQ(NET(NWIsDSServer)(nds, tree), 1);
  EXPECT_STREQ(tree, "TESTTREE________________________");
  nuint32 version = 0;
  ASSERT_EQ(NET(NWDSGetDSVerInfo)(nds, &version, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(version, 411u);
  nint32 index = -1;
  ASSERT_EQ(NET(NWDSScanForAvailableTrees)(c, primary, "*", &index, tree), 0);
  EXPECT_STREQ(tree, "TESTTREE");
  EXPECT_EQ(NET(NWDSScanForAvailableTrees)(c, primary, "*", &index, tree), NWE_NO_MORE_ENTRIES);
  char slots[3][NWDS_MAX_TREE_NAME_BYTES] = {};
  char* array[3] = {slots[0], slots[1], slots[2]};
  nuint32 count = 9, total = 9;
  ASSERT_EQ(NET(NWDSReturnBlockOfAvailableTrees)(c, primary, "*", "", nullptr, 100, array, 3, &count, &total), 0);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(total, 1u);
  EXPECT_STREQ(slots[0], "TESTTREE");
  ASSERT_EQ(NET(NWDSReturnBlockOfAvailableTrees)(c, primary, "*", "TESTTREE", nullptr, 100, array, 3, &count, &total), 0);
  EXPECT_EQ(count, 0u) << "the next block after the last name is empty";
}
