// Bindery objects: creation with the standard properties of each type, deletion, renaming,
// passwords, group membership, object information and names that do not fit.
#include "prop_fixture.h"

using namespace proptest;
using nwprop::lasterror;

TEST_F(PropTest, CreatingAUserMakesItsPropertiesPasswordAndEveryoneMembership) {
  ASSERT_TRUE(nwprop::createObject(0, "kbauer", 0x0100, "Karl Bauer", "tiger", true, 0x01, 0x30)) << unitError();
  EXPECT_EQ(names(*nwprop::getPropertyList(0, "KBAUER", "*")),
            (std::vector<std::string>{"GROUPS_I'M_IN", "IDENTIFICATION", "LOGIN_CONTROL", "MISC_LOGIN_INFO",
                                      "SECURITY_EQUALS"}));
  EXPECT_EQ(nwprop::readItemProperty(0, "KBAUER", 0x0100, "identification"), "Karl Bauer");
  EXPECT_TRUE(ostrel::nwPassCheck(0, "KBAUER", "tiger"));
  EXPECT_TRUE(ostrel::isMember(0, "KBAUER", "EVERYONE"));
  EXPECT_TRUE(has(names(*nwprop::readObjNamesFromSet(0, "EVERYONE", 0x0200, "GROUP_MEMBERS")), "KBAUER"));

  bool props = false;
  std::uint8_t read = 0, write = 0;
  ASSERT_TRUE(nwprop::getObjectInfo(0, "kbauer", props, read, write)) << unitError();
  EXPECT_TRUE(props);
  EXPECT_EQ(read, 1);
  EXPECT_EQ(write, 0x30);
}

TEST_F(PropTest, CreatingEachKindOfObject) {
  EXPECT_TRUE(nwprop::createObject(0, "ADMINS", 0x0200, "Administrators", "", true, 0, 0x30)) << unitError();
  EXPECT_EQ(nwprop::readItemProperty(0, "ADMINS", 0x0200, "IDENTIFICATION"), "Administrators");
  EXPECT_TRUE(nwprop::createObject(0, "LASER2", 0x0300, "", "", true, 0x01, 0x30)) << unitError();
  EXPECT_EQ(names(*nwprop::getPropertyList(0, "LASER2", "Q_*")),
            (std::vector<std::string>{"Q_DIRECTORY", "Q_OPERATORS", "Q_SERVERS", "Q_USERS"}));
  EXPECT_TRUE(nwprop::createObject(0, "PSERV", 0x0700, "Print Server", "", true, 0x01, 0x30)) << unitError();
  EXPECT_EQ(names(*nwprop::getPropertyList(0, "PSERV", "PS_*")), (std::vector<std::string>{"PS_OPERATORS", "PS_USERS"}));

  // Another type: the object exists, the result is false.
  EXPECT_FALSE(nwprop::createObject(0, "ARCHIVE", 0x0800, "", "", true, 0x01, 0x30));
  NWCONN_HANDLE conn = 0;
  EXPECT_NE(ostrel::getObjNumber(conn, "ARCHIVE", 0x0800), 0u);
  // A second object of the same name and type is refused.
  EXPECT_FALSE(nwprop::createObject(0, "ADMINS", 0x0200, "", "", true, 0, 0x30));
}

TEST_F(PropTest, GroupMembershipChangesAllThreeSets) {
  ASSERT_TRUE(nwprop::addUserToGroup(0, "sales", "mjones")) << unitError();
  EXPECT_TRUE(ostrel::isMember(0, "MJONES", "SALES"));
  EXPECT_TRUE(has(names(*nwprop::readObjNamesFromSet(0, "MJONES", 0x0100, "SECURITY_EQUALS")), "SALES"));
  EXPECT_TRUE(has(names(*nwprop::readObjNamesFromSet(0, "SALES", 0x0200, "GROUP_MEMBERS")), "MJONES"));
  EXPECT_FALSE(nwprop::addUserToGroup(0, "SALES", "MJONES")) << "already a member";

  ASSERT_TRUE(nwprop::deleteUserFromGroup(0, "SALES", "MJONES")) << unitError();
  EXPECT_FALSE(has(names(*nwprop::readObjNamesFromSet(0, "MJONES", 0x0100, "GROUPS_I'M_IN")), "SALES"));
  EXPECT_FALSE(has(names(*nwprop::readObjNamesFromSet(0, "MJONES", 0x0100, "SECURITY_EQUALS")), "SALES"));
  EXPECT_FALSE(has(names(*nwprop::readObjNamesFromSet(0, "SALES", 0x0200, "GROUP_MEMBERS")), "MJONES"));
  // Unknown names make no call.
  nwsim::resetCallCounts();
  EXPECT_FALSE(nwprop::addObjectToSet(0, "SALES", "GROUP_MEMBERS", "NOBODY"));
  EXPECT_EQ(nwsim::callCount("NWAddObjectToSet"), 0u);
}

TEST_F(PropTest, RenameAndDeleteLeaveNoTrace) {
  ASSERT_TRUE(nwprop::renameObject(0, "guest", "visitor", 0x0100)) << unitError();
  EXPECT_EQ(ostrel::getObjType(0, "GUEST"), 0);
  EXPECT_TRUE(ostrel::isMember(0, "VISITOR", "EVERYONE"));
  EXPECT_FALSE(nwprop::renameObject(0, "VISITOR", "JSMITH", 0x0100)) << "the name is taken";
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_OBJECT_ALREADY_EXISTS));

  ASSERT_TRUE(nwprop::deleteObject(0, " visitor ")) << unitError();
  EXPECT_EQ(ostrel::getObjType(0, "VISITOR"), 0);
  EXPECT_FALSE(has(names(*nwprop::readObjNamesFromSet(0, "EVERYONE", 0x0200, "GROUP_MEMBERS")), "VISITOR"));
  EXPECT_FALSE(nwprop::deleteObject(0, "VISITOR"));
}

TEST_F(PropTest, PasswordsChangeOnlyWithTheOldOneForAPlainUser) {
  become("WS-SALES");
  EXPECT_FALSE(nwprop::changeNWPassword(0, "JSMITH", "newpass", "wrong"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_PASSWORD));
  ASSERT_TRUE(nwprop::changeNWPassword(0, "jsmith", "newpass", "secret")) << unitError();
  EXPECT_TRUE(ostrel::nwPassCheck(0, "JSMITH", "NEWPASS"));
  EXPECT_FALSE(ostrel::nwPassCheck(0, "JSMITH", "secret"));
}

TEST_F(PropTest, APlainUserCannotAdministerObjects) {
  become("WS-SALES");
  EXPECT_FALSE(nwprop::createObject(0, "INTRUDER", 0x0100, "", "", true, 0, 0x30));
  EXPECT_EQ(ostrel::getObjType(0, "INTRUDER"), 0);
  EXPECT_FALSE(nwprop::deleteObject(0, "MJONES"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_OBJECT_DELETE_PRIVILEGE));
  EXPECT_FALSE(nwprop::renameObject(0, "MJONES", "MARY", 0x0100));
  EXPECT_FALSE(nwprop::addUserToGroup(0, "SALES", "MJONES"));
  EXPECT_FALSE(nwprop::changeObjectSecurity(0, "MJONES", 0, 0));
  EXPECT_FALSE(nwprop::changeNWPassword(0, "MJONES", "x", "y"));
}

TEST_F(PropTest, NamesLongerThanTheirBufferAreRefusedWithoutACall) {
  // Cut to 47 characters, each of these would name the object of the first 47.
  const std::string base(47, 'A');
  ASSERT_TRUE(nwprop::createObject(0, base, 0x0100, "", "", true, 0, 0x30)) << unitError();
  const std::string longName = base + "B";
  nwsim::resetCallCounts();
  EXPECT_FALSE(nwprop::deleteObject(0, longName));
  EXPECT_FALSE(nwprop::renameObject(0, longName, "OTHER", 0x0100));
  EXPECT_FALSE(nwprop::renameObject(0, "JSMITH", longName, 0x0100));
  EXPECT_FALSE(nwprop::deleteProperty(0, longName, "IDENTIFICATION"));
  EXPECT_FALSE(nwprop::writeItemProperty(0, longName, 0x0100, "x", "IDENTIFICATION"));
  EXPECT_FALSE(nwprop::addObjectToSet(0, "EVERYONE", "GROUP_MEMBERS", longName));
  EXPECT_FALSE(nwprop::changeObjectSecurity(0, longName, 0, 0));
  EXPECT_FALSE(nwprop::changeNWPassword(0, longName, "a", ""));
  for (const char* fn : {"NWDeleteObject", "NWRenameObject", "NWDeleteProperty", "NWWritePropertyValue",
                         "NWAddObjectToSet", "NWChangeObjectSecurity", "NWChangeObjectPassword"})
    EXPECT_EQ(nwsim::callCount(fn), 0u) << fn;
  EXPECT_NE(ostrel::getObjType(0, base), 0) << "the object of the cut name is still there";
}

TEST_F(PropTest, ObjectSecurityIsDecodedFromItsNibbles) {
  ASSERT_TRUE(nwprop::changeObjectSecurity(0, "MJONES", 0x01, 0x30)) << unitError();
  bool props = false;
  std::uint8_t read = 9, write = 9;
  ASSERT_TRUE(nwprop::getObjectInfo(0, "MJONES", props, read, write));
  EXPECT_EQ(read, 1);
  EXPECT_EQ(write, 0x30);
  ASSERT_TRUE(nwprop::changeObjectSecurity(0, "MJONES", 0x04, 0x40)) << unitError();
  ASSERT_TRUE(nwprop::getObjectInfo(0, "MJONES", props, read, write));
  EXPECT_EQ(read, 4);
  EXPECT_EQ(write, 0x40);
  EXPECT_FALSE(nwprop::changeObjectSecurity(0, "NOBODY", 0, 0));
  EXPECT_FALSE(nwprop::getObjectInfo(0, "NOBODY", props, read, write));
}
