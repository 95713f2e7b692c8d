// Bindery objects: names, IDs and types, listings, set membership, passwords, privileges,
// full names, and the directory fallbacks.
#include "bindery_fixture.h"

#include <nwnds/nwnds.h>
#include <rtl/sysutils.h>

#include <utility>

using namespace binderytest;
using ostrel::lasterror;
using Names = std::vector<std::string>;

namespace {
constexpr std::uint32_t kJsmith = clientForm(0x1A000010);
constexpr std::uint32_t kGuest = clientForm(0x00001234);
constexpr std::int32_t kNoSuchObject = NWE_NO_SUCH_OBJECT;
} // namespace

// ---- Names, numbers, IDs and types ---------------------------------------------------------

TEST_F(BinderyTest, ObjectNameOfAnID) {
  EXPECT_EQ(ostrel::getObjName(0, static_cast<std::int32_t>(kJsmith)), "JSMITH") << unitError();
  unit->resetLastError();
  EXPECT_EQ(ostrel::getObjName(0, 0x55555555), "");
  EXPECT_EQ(lasterror(), kNoSuchObject);
}

TEST_F(BinderyTest, ObjectNumberUpperCasesAndWritesThePrimaryConnectionBack) {
  NWCONN_HANDLE conn = 0;
  EXPECT_EQ(ostrel::getObjNumber(conn, "jsmith", 0x0100), kJsmith) << unitError();
  EXPECT_EQ(conn, ostrel::getPrimaryServerID());
  EXPECT_EQ(ostrel::getObjNumber(conn, "JSMITH", 0x0200), 0u) << "wrong type";
  EXPECT_EQ(lasterror(), kNoSuchObject);
}

TEST_F(BinderyTest, DisplayedIDIsByteReversedWithoutLeadingZeros) {
  EXPECT_EQ(ostrel::getObjID(0, "jsmith", 0x0100), "1A000010");
  EXPECT_EQ(ostrel::getObjID(0, "GUEST", 0x0100), "1234") << "at most four digits below 0x10000";
  EXPECT_EQ(ostrel::getObjID(0, "SUPERVISOR", 0x0100), "1");
  unit->resetLastError();
  EXPECT_EQ(ostrel::getObjID(0, "NOBODY", 0x0100), "0");
  EXPECT_EQ(lasterror(), 0) << "the failed lookup is not recorded";
}

TEST_F(BinderyTest, ObjectTypeTriesTheTypesInOrder) {
  const std::vector<std::pair<std::string, std::uint16_t>> table = {
      {"JSMITH", 0x0100}, {"sales", 0x0200}, {"PRINTQ", 0x0300}, {"FS1", 0x0400},
      {"PS1", 0x0700},  // both print server and file server: print servers are tried first
      {"TEAM", 0x0100}, {"NOBODY", 0}};
  for (const auto& [name, type] : table) EXPECT_EQ(ostrel::getObjType(0, name), type) << name;
  EXPECT_EQ(lasterror(), kNoSuchObject) << "each failed lookup is recorded";
}

TEST_F(BinderyTest, NamesTooLongForTheClientBufferAreRefusedNotCut) {
  const std::string longName = "JSMITH" + std::string(60, 'X');
  NWCONN_HANDLE conn = 0;
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getObjNumber(conn, longName, 0x0100), 0u);
  EXPECT_FALSE(ostrel::isMember(0, longName, "SALES"));
  EXPECT_FALSE(ostrel::nwPassCheck(0, longName, "SWORDFISH"));
  EXPECT_EQ(nwsim::callCount("NWGetObjectID"), 0u);
  EXPECT_EQ(nwsim::callCount("NWIsObjectInSet"), 0u);
  EXPECT_EQ(nwsim::callCount("NWVerifyObjectPassword"), 0u);
}

// ---- Passwords and privileges --------------------------------------------------------------

TEST_F(BinderyTest, PasswordsAreCheckedTrimmedAndInUpperCase) {
  EXPECT_TRUE(ostrel::nwPassCheck(0, "JSMITH", "swordfish")) << unitError();
  EXPECT_TRUE(ostrel::nwPassCheck(0, "jsmith", " SwordFish ")) << unitError();
  // Blanks around the name must not hide its type.
  EXPECT_TRUE(ostrel::nwPassCheck(0, "  JSMITH  ", "SWORDFISH")) << unitError();
  unit->resetLastError();
  EXPECT_FALSE(ostrel::nwPassCheck(0, "JSMITH", "swordfis"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_PASSWORD));
}

TEST_F(BinderyTest, ConsoleOperatorAndManager) {
  EXPECT_TRUE(ostrel::isConsoleOperator(0)) << unitError();
  EXPECT_TRUE(ostrel::isNWManager(0)) << unitError();
  become("WS-SALES");  // JSMITH is a console operator, not a manager
  EXPECT_TRUE(ostrel::isConsoleOperator(0)) << unitError();
  EXPECT_FALSE(ostrel::isNWManager(0));
  become("WS-GUEST");
  unit->resetLastError();
  EXPECT_FALSE(ostrel::isConsoleOperator(0));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_CONSOLE_RIGHTS));
}

// ---- Listings ----------------------------------------------------------------------------

TEST_F(BinderyTest, BinderyListInIDOrderWithClientFormIDs) {
  auto users = ostrel::getBinderyList(0, 0x0100);
  EXPECT_EQ(names(*users), (Names{"SUPERVISOR", "GUEST", "JSMITH", "MJONES", "TEAM"}));
  const auto ids = objects(*users);
  ASSERT_EQ(ids.size(), 5u);
  EXPECT_EQ(static_cast<std::uint32_t>(ids[1]), kGuest);
  EXPECT_EQ(static_cast<std::uint32_t>(ids[2]), kJsmith);
  EXPECT_EQ(lasterror(), 0) << "the code that ends the scan is not recorded";
  EXPECT_EQ(names(*ostrel::getBinderyList(0, 0x0200)), (Names{"EVERYONE", "SALES", "TEAM"}));
  EXPECT_TRUE(ostrel::getBinderyList(0, 0x0B00)->Empty());
}

TEST_F(BinderyTest, BinderyListOfAFailingScanIsWhatWasFound) {
  nwsim::injectFault("NWScanObject", NWE_FAILURE, 1);
  EXPECT_TRUE(ostrel::getBinderyList(0, 0x0100)->Empty());
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(BinderyTest, MemberListLeavesTheCallerOutUnlessAsked) {
  EXPECT_EQ(names(*ostrel::getMemberList(0, "EVERYONE", true)), (Names{"SUPERVISOR", "JSMITH", "MJONES", "GUEST"}));
  EXPECT_EQ(names(*ostrel::getMemberList(0, "EVERYONE", false)), (Names{"JSMITH", "MJONES", "GUEST"}));
  // The empty slots of the segment are looked up too, and their failure stays recorded.
  EXPECT_EQ(lasterror(), kNoSuchObject);
}

TEST_F(BinderyTest, SegmentWalksStopAtTheLastSegmentTheClientAnnounces) {
  nwsim::resetCallCounts();
  EXPECT_EQ(names(*ostrel::getMemberList(0, "SALES", true)), (Names{"JSMITH"}));
  EXPECT_EQ(nwsim::callCount("NWReadPropertyValue"), 1u) << "one segment, no read past it";
  nwsim::resetCallCounts();
  EXPECT_EQ(names(*ostrel::getMyGroups(0, "JSMITH")), (Names{"EVERYONE", "SALES", "TEAM"}));
  EXPECT_EQ(nwsim::callCount("NWReadPropertyValue"), 1u);
  nwsim::resetCallCounts();
  EXPECT_FALSE(ostrel::secureEquiv(0, "MJONES", "SALES"));
  EXPECT_EQ(nwsim::callCount("NWReadPropertyValue"), 1u);
}

TEST_F(BinderyTest, MemberListOfAnUnknownGroupIsEmpty) {
  EXPECT_TRUE(ostrel::getMemberList(0, "NOGROUP", true)->Empty());
  EXPECT_TRUE(ostrel::getMyGroups(0, "NOBODY")->Empty());
}

// ---- Equivalence and membership ----------------------------------------------------------

TEST_F(BinderyTest, SecurityEquivalence) {
  nwsim::resetCallCounts();
  EXPECT_TRUE(ostrel::secureEquiv(0, "jsmith", "JSMITH"));
  EXPECT_EQ(nwsim::callCount("NWReadPropertyValue"), 0u) << "equal names need no read";
  EXPECT_TRUE(ostrel::secureEquiv(0, "JSMITH", "sales")) << unitError();
  EXPECT_FALSE(ostrel::secureEquiv(0, "JSMITH", "SUPERVISOR"));
  EXPECT_FALSE(ostrel::secureEquiv(0, "NOBODY", "SALES"));
}

TEST_F(BinderyTest, MembershipRecordsNothing) {
  EXPECT_TRUE(ostrel::isMember(0, "jsmith", "sales"));
  unit->resetLastError();
  EXPECT_FALSE(ostrel::isMember(0, "MJONES", "SALES"));
  EXPECT_FALSE(ostrel::isMember(0, "MJONES", "NOGROUP"));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(BinderyTest, IsInListChecksEachTrimmedItem) {
  const std::vector<std::pair<std::string, bool>> asSupervisor = {
      {" guest ,  supervisor , MJONES", true}, {"SALES", false}, {"EVERYONE", true}, {"JSMITH,", false}, {"", false}};
  for (const auto& [list, expected] : asSupervisor) EXPECT_EQ(ostrel::isInList(0, list), expected) << list;
  become("WS-SALES");
  EXPECT_TRUE(ostrel::isInList(0, "MJONES, SALES,"));
  EXPECT_TRUE(ostrel::isInList(0, "jsmith"));
  EXPECT_FALSE(ostrel::isInList(0, "MJONES,GUEST,PRINTQ"));
}

TEST_F(BinderyTest, IsInListAlsoTriesAUserTypedItemAsAGroup) {
  // TEAM is a user and a group; JSMITH is a member of the group.
  become("WS-SALES");
  EXPECT_TRUE(ostrel::isInList(0, "team"));
  become("WS-GUEST");
  EXPECT_FALSE(ostrel::isInList(0, "team"));
}

// ---- Full names --------------------------------------------------------------------------

TEST_F(BinderyTest, FullNameFromTheIdentificationProperty) {
  EXPECT_EQ(ostrel::fullName(0, " jsmith "), "John Smith");
  EXPECT_EQ(ostrel::fullName(0, "MJONES"), "Mary Jones");
  EXPECT_EQ(ostrel::fullName(0, " guest "), "GUEST") << "no IDENTIFICATION";
  EXPECT_EQ(ostrel::fullName(0, "nobody"), "NOBODY");
}

// ---- Directory fallbacks -----------------------------------------------------------------

class DirectoryFallback : public BinderyTest {
protected:
  void SetUp() override {
    BinderyTest::SetUp();
    directory = std::make_unique<nwnds::TNWNDS>();
  }
  void TearDown() override {
    directory.reset();
    BinderyTest::TearDown();
  }
  std::unique_ptr<nwnds::TNWNDS> directory;
};

TEST_F(DirectoryFallback, OffTheDirectoryIsNeverAsked) {
  ostrel::setAutoNDS(false);
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getObjName(0, 0x55555555), "");
  NWCONN_HANDLE conn = 0;
  EXPECT_EQ(ostrel::getObjNumber(conn, "NOBODY", 0x0100), 0u);
  EXPECT_EQ(ostrel::getObjID(0, "NOBODY", 0x0100), "0");
  EXPECT_EQ(ostrel::fullName(0, "nobody"), "NOBODY");
  EXPECT_TRUE(ostrel::getMyGroups(0, "NOBODY")->Empty());
  EXPECT_EQ(nwsim::callCount("NWDSMapIDToName"), 0u);
  EXPECT_EQ(nwsim::callCount("NWDSAuditGetObjectID"), 0u);
  EXPECT_EQ(nwsim::callCount("NWDSMapNameToID"), 0u);
  EXPECT_EQ(nwsim::callCount("NWDSRead"), 0u);
}

TEST_F(DirectoryFallback, OnTheDirectoryIsAskedAndBinderyAnswersStillCome) {
  ostrel::setAutoNDS(true);
  nwsim::resetCallCounts();
  // A bindery-only name: the directory does not know it, the bindery answers.
  EXPECT_EQ(ostrel::getObjID(0, "JSMITH", 0x0100), "1A000010");
  EXPECT_EQ(nwsim::callCount("NWDSMapNameToID"), 1u);
  EXPECT_EQ(ostrel::getObjName(0, static_cast<std::int32_t>(kJsmith)), "JSMITH");
  EXPECT_EQ(nwsim::callCount("NWDSMapIDToName"), 0u) << "a bindery name needs no directory";
  EXPECT_EQ(ostrel::getObjName(0, 0x55555555), "");
  EXPECT_EQ(nwsim::callCount("NWDSMapIDToName"), 1u);

  // The bindery miss goes to the directory and is not recorded by the bindery lookup.
  unit->resetLastError();
  NWCONN_HANDLE conn = 0;
  EXPECT_EQ(ostrel::getObjNumber(conn, "NOBODY", 0x0100), 0u);
  EXPECT_EQ(nwsim::callCount("NWDSAuditGetObjectID"), 1u);
  EXPECT_EQ(conn, ostrel::getPrimaryServerID()) << "the caller's connection is not the directory's";
  EXPECT_NE(lasterror(), kNoSuchObject);

  EXPECT_EQ(ostrel::fullName(0, " jsmith "), "John Smith") << "bindery full name when the directory has none";
}

TEST_F(DirectoryFallback, OnGroupsComeFromTheDirectoryOnly) {
  ostrel::setAutoNDS(true);
  nwsim::resetCallCounts();
  auto groups = ostrel::getMyGroups(0, "JSMITH");
  EXPECT_EQ(nwsim::callCount("NWReadPropertyValue"), 0u) << "the bindery is not read";
  EXPECT_GE(nwsim::callCount("NWDSRead"), 1u);
}

TEST_F(DirectoryFallback, OnNamesTheDirectoryKnowsAreAnsweredByIt) {
  const std::string user = "CN=DUSER.O=TESTORG";
  ostrel::setAutoNDS(true);
  EXPECT_EQ(ostrel::fullName(0, user), "Directory User");
  EXPECT_EQ(ostrel::getObjID(0, user, 0x0100), "5A000010");
  NWCONN_HANDLE conn = 0;
  EXPECT_NE(ostrel::getObjNumber(conn, user, 0x0100), 0u);
  EXPECT_EQ(ostrel::getObjType(0, user), 0x0100) << "any name the directory knows reads as a user";
  auto groups = names(*ostrel::getMyGroups(0, user));
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_NE(groups[0].find("DGROUP"), std::string::npos) << groups[0];

  ostrel::setAutoNDS(false);
  EXPECT_EQ(ostrel::fullName(0, user), rtl::UpperCase(user));
  EXPECT_EQ(ostrel::getObjID(0, user, 0x0100), "0");
  EXPECT_EQ(ostrel::getObjType(0, user), 0);
  EXPECT_TRUE(ostrel::getMyGroups(0, user)->Empty());
}
