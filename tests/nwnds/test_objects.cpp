// Directory objects as wholes: creating, removing, moving, listing and searching.
#include "directory_fixture.h"

#include <algorithm>
#include <set>

namespace {

class DirectoryObjects : public Directory {};

TNWDSObjectInfo userInfo(const std::string& context, const std::string& commonName) {
  TNWDSObjectInfo info;
  info.ObjType = dsoUser;
  info.Context = context;
  info.CommonName = commonName;
  info.Surname = "Brown";
  info.GivenName = "Bob";
  info.FullName = "Bob Brown";
  info.Password = "Hidden1";
  return info;
}

std::multiset<std::string> asSet(const rtl::TStringList& list) {
  auto v = nwtest::names(list);
  return {v.begin(), v.end()};
}

} // namespace

// ---- Creating ------------------------------------------------------------------------------

TEST_F(DirectoryObjects, CreatingAUserTakesTheCommonNameAndSetsAFirstPassword) {
  TNWDSObjectInfo info = userInfo(kSales, "BBROWN");
  ASSERT_TRUE(ndsCreateObject(info)) << unitError();
  EXPECT_EQ(info.ObjName, "BBROWN") << "the empty object name is filled in the caller's record";
  EXPECT_EQ(ndsGetObjType(kSales, "BBROWN"), dsoUser);
  std::string surname;
  EXPECT_TRUE(ndsGetStringAttr(kSales, "BBROWN", dsaSurname, surname));
  EXPECT_EQ(surname, "Brown");
  EXPECT_TRUE(ndsPassCheck(kSales, "BBROWN", "hidden1")) << "the first password is set (upper-cased)";
  EXPECT_FALSE(ndsPassCheck(kSales, "BBROWN", "other"));

  TNWDSObjectInfo same = userInfo(kSales, "BBROWN");
  EXPECT_FALSE(ndsCreateObject(same));
  EXPECT_EQ(lasterror(), NWDSE_ENTRY_ALREADY_EXISTS);
}

TEST_F(DirectoryObjects, CreatingFollowsTheKindTableAndTheContainmentRules) {
  TNWDSObjectInfo unit;
  unit.ObjType = dsoOrganizationalUnit;
  unit.Context = kOrg;
  unit.ObjName = "OU=MARKETING";
  unit.OrganizationalUnit = "MARKETING";
  ASSERT_TRUE(ndsCreateObject(unit)) << unitError();
  EXPECT_EQ(unit.CommonName, "OU=MARKETING") << "the common name is taken from the object name";
  EXPECT_EQ(ndsGetObjType(kOrg, "OU=MARKETING"), dsoOrganizationalUnit);

  TNWDSObjectInfo group;
  group.ObjType = dsoGroup;
  group.Context = "OU=MARKETING.O=TESTORG";
  group.CommonName = "ADS";
  ASSERT_TRUE(ndsCreateObject(group)) << unitError();
  EXPECT_EQ(ndsGetObjType("OU=MARKETING.O=TESTORG", "ADS"), dsoGroup);

  // A unit cannot live below a user.
  TNWDSObjectInfo misplaced = unit;
  misplaced.Context = kJSmith;
  misplaced.ObjName = "OU=INSIDE";
  misplaced.OrganizationalUnit = "INSIDE";
  EXPECT_FALSE(ndsCreateObject(misplaced));
  EXPECT_EQ(lasterror(), NWDSE_ILLEGAL_CONTAINMENT);

  // Kinds created as users get no key pair; kinds without a class are never sent.
  const auto keyPairs = calls("NWDSGenerateObjectKeyPair");
  TNWDSObjectInfo tree = userInfo(kSales, "TREEISH");
  tree.ObjType = dsoTree;
  EXPECT_TRUE(ndsCreateObject(tree)) << unitError();
  EXPECT_EQ(ndsGetObjType(kSales, "TREEISH"), dsoUser);
  EXPECT_EQ(calls("NWDSGenerateObjectKeyPair"), keyPairs);
  const auto adds = calls("NWDSAddObject");
  TNWDSObjectInfo volume = userInfo(kSales, "VOL");
  volume.ObjType = dsoVolume;
  EXPECT_FALSE(ndsCreateObject(volume));
  EXPECT_EQ(calls("NWDSAddObject"), adds);
}

TEST_F(DirectoryObjects, ACreateThatTheClientRefusesIsFalse) {
  nwsim::injectFault("NWDSAddObject", NWDSE_NO_ACCESS);
  TNWDSObjectInfo info = userInfo(kSales, "REFUSED");
  EXPECT_FALSE(ndsCreateObject(info));
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
  EXPECT_EQ(ndsGetObjType(kSales, "REFUSED"), dsoUnknown);
}

// ---- Removing and moving -------------------------------------------------------------------

TEST_F(DirectoryObjects, RemovingTakesLeavesAndEmptyContainersOnly) {
  TNWDSObjectInfo unit;
  unit.ObjType = dsoOrganizationalUnit;
  unit.Context = kOrg;
  unit.ObjName = "OU=TEMP";
  unit.OrganizationalUnit = "TEMP";
  ASSERT_TRUE(ndsCreateObject(unit)) << unitError();
  TNWDSObjectInfo user = userInfo("OU=TEMP.O=TESTORG", "TEMPUSER");
  ASSERT_TRUE(ndsCreateObject(user)) << unitError();

  EXPECT_FALSE(ndsRemoveObject(kOrg, "OU=SALES"));
  EXPECT_EQ(lasterror(), NWDSE_ENTRY_IS_NOT_LEAF);
  EXPECT_FALSE(ndsRemoveObject(kOrg, "OU=TEMP"));
  EXPECT_TRUE(ndsRemoveObject(kSales, "P1")) << unitError();
  EXPECT_EQ(ndsGetObjType(kSales, "P1"), dsoUnknown);
  EXPECT_TRUE(ndsRemoveObject("", ".CN=TEMPUSER.OU=TEMP.O=TESTORG")) << "a complete name";
  EXPECT_TRUE(ndsRemoveObject(kOrg, "OU=TEMP")) << "an emptied container goes";
  EXPECT_FALSE(ndsRemoveObject(kOrg, "OU=TEMP"));
  EXPECT_EQ(lasterror(), NWDSE_NO_SUCH_ENTRY);
  EXPECT_FALSE(ndsRemoveObject("OU=ACCOUNTING.O=TESTORG", "MJONES")) << "the container masks the rights";
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
}

TEST_F(DirectoryObjects, MovingAnObjectByItsCompleteNameKeepsItsOwnName) {
  ASSERT_TRUE(ndsMoveObject(kOrg, "." + kJSmith, "." + kOrg)) << unitError();
  EXPECT_EQ(ndsGetObjType(kOrg, "JSMITH"), dsoUser);
  EXPECT_EQ(ndsGetObjType(kSales, "JSMITH"), dsoUnknown);
  // Names relative to the context, too.
  EXPECT_TRUE(ndsMoveObject(kOrg, "CN=JSMITH", "OU=SALES")) << unitError();
  EXPECT_EQ(ndsGetObjType(kSales, "JSMITH"), dsoUser);

  EXPECT_FALSE(ndsMoveObject(kSales, "." + kOrg, "." + kSales)) << "never into its own subtree";
  EXPECT_EQ(lasterror(), NWDSE_ILLEGAL_CONTAINMENT);
  EXPECT_FALSE(ndsMoveObject(kOrg, "CN=JSMITH.OU=SALES", "OU=ACCOUNTING"));
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
  const auto before = calls("NWDSMoveObject");
  EXPECT_FALSE(ndsMoveObject(kOrg, "CN=" + std::string(125, 'A'), "OU=SALES")) << "a name beyond 127 characters";
  EXPECT_EQ(calls("NWDSMoveObject"), before);
}

// ---- Listing -------------------------------------------------------------------------------

TEST_F(DirectoryObjects, ListingGivesEachObjectWithItsKind) {
  auto list = ndsList(kOrg, "OU=SALES");
  std::map<std::string, std::intptr_t> kinds;
  for (int i = 0; i < list->Count(); ++i) kinds[list->Strings(i)] = list->Objects(i);
  EXPECT_EQ(kinds.size(), 4u);
  EXPECT_EQ(kinds["CN=JSMITH"], dsoUser);
  EXPECT_EQ(kinds["CN=SALESGRP"], dsoGroup);
  EXPECT_EQ(kinds["CN=Q1"], dsoQueue);
  EXPECT_EQ(kinds["CN=P1"], dsoPrinter);
  EXPECT_EQ(ndsGetContextName(), kOrg) << "a context name re-points the internal context";
  auto context = ndsList(kSales, "");
  EXPECT_EQ(asSet(*context), asSet(*list)) << "an empty object name lists the context itself";
}

TEST_F(DirectoryObjects, ALargeContainerComesInBlocksWithEveryObjectOnce) {
  nwsim::addGeneratedDirectoryUsers(kSales, 600, "GEN");
  const auto before = calls("NWDSList");
  auto list = ndsList("", kSales);
  EXPECT_GT(calls("NWDSList") - before, 1u) << "600 objects do not fit one result buffer";
  const auto found = asSet(*list);
  EXPECT_EQ(list->Count(), 604);
  EXPECT_EQ(found.size(), 604u);
  for (const char* name : {"CN=GEN000001", "CN=GEN000300", "CN=GEN000600", "CN=JSMITH"})
    EXPECT_EQ(found.count(name), 1u) << name;
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(DirectoryObjects, AFailedListEndsWithWhatItHadAndTheCode) {
  nwsim::injectFault("NWDSList", NWDSE_NO_ACCESS);
  EXPECT_EQ(ndsList("", kSales)->Count(), 0);
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
  EXPECT_EQ(ndsGetObjType(kSales, "NOBODY"), dsoUnknown);
}

// ---- Searching -----------------------------------------------------------------------------

TEST_F(DirectoryObjects, SearchFindsEveryCommonNameBelowTheContextOnce) {
  const std::multiset<std::string> expected{"ADMIN", "NDS1", "NDS1_SYS", "JSMITH", "SALESGRP", "Q1", "P1", "MJONES"};
  EXPECT_EQ(asSet(*ndsSearch(kOrg, "")), expected) << unitError();
  EXPECT_EQ(asSet(*ndsSearch(kOrg, "Surname=Smith")), expected) << "the second argument is not used";
  EXPECT_EQ(asSet(*ndsSearch(kSales, "")), (std::multiset<std::string>{"JSMITH", "SALESGRP", "Q1", "P1"}));
}

TEST_F(DirectoryObjects, SearchResultsSpanningBlocksComeOnce) {
  nwsim::addGeneratedDirectoryUsers("OU=ACCOUNTING.O=TESTORG", 700, "ACC");
  const auto before = calls("NWDSSearch");
  auto all = ndsSearch(kOrg, "");
  EXPECT_GT(calls("NWDSSearch") - before, 1u);
  EXPECT_EQ(all->Count(), 708);
  EXPECT_EQ(asSet(*all).count("ACC000700"), 1u);
  auto some = ndsSearchFilter(kOrg, "CN=ACC0001*");
  EXPECT_EQ(some->Count(), 100) << "ACC000100 to ACC000199";
}

TEST_F(DirectoryObjects, SearchFilterTextsCombineRelations) {
  using Names = std::multiset<std::string>;
  EXPECT_EQ(asSet(*ndsSearchFilter(kOrg, "Surname=Sm*&Object Class=User")), (Names{kJSmith}))
      << unitError();
  EXPECT_EQ(asSet(*ndsSearchFilter(kOrg, "surname")),
            (Names{kAdmin, kJSmith, kMJones}))
      << "a bare attribute asks for presence";
  EXPECT_EQ(asSet(*ndsSearchFilter(kOrg, "(Surname=jones | Surname=smith) & !Given Name")),
            (Names{kMJones}));
  EXPECT_EQ(asSet(*ndsSearchFilter(kSales, "Object Class=Queue|Object Class=Printer")), (Names{"CN=Q1." + kSales, "CN=P1." + kSales}));
  EXPECT_EQ(asSet(*ndsSearchFilter(kOrg, "Full Name=Mary\\ Jones")), (Names{kMJones}));
  EXPECT_EQ(ndsSearchFilter(kOrg, "Surname=Nobody*")->Count(), 0);
}

TEST_F(DirectoryObjects, MalformedFilterTextsAreNotSearched) {
  const auto before = calls("NWDSSearch");
  for (const char* text : {"", "Surname=", "=Smith", "Surname=Smith&", "(Surname=Smith", "Surname=Smith)", "!", "a|b|"})
    EXPECT_EQ(ndsSearchFilter(kOrg, text)->Count(), 0) << text;
  EXPECT_EQ(calls("NWDSSearch"), before);
  EXPECT_EQ(ndsSearchFilter(kOrg, "Surname=Smith(")->Count(), 0);
}

TEST_F(DirectoryObjects, AFilterThatCannotBeBuiltEndsTheSearchAndFreesTheCursor) {
  nwsim::injectFault("NWDSAddFilterToken", NWDSE_TOO_MANY_TOKENS);
  const auto before = calls("NWDSSearch");
  EXPECT_EQ(ndsSearch(kOrg, "")->Count(), 0);
  EXPECT_EQ(lasterror(), NWDSE_TOO_MANY_TOKENS);
  EXPECT_EQ(calls("NWDSSearch"), before) << "no search without the whole filter";
  // The fixture checks that the cursor and the three buffers were released.
  nwsim::injectFault("NWDSSearch", NWDSE_NO_ACCESS);
  EXPECT_EQ(ndsSearchFilter(kOrg, "CN=*")->Count(), 0);
  EXPECT_EQ(lasterror(), NWDSE_NO_ACCESS);
}

// ---- A client that stops advancing ---------------------------------------------------------

TEST_F(DirectoryObjects, ScansEndWhenTheClientSucceedsWithoutAdvancing) {
  // Every call "succeeds" and leaves the iteration handle and the buffers as they were. The
  // tree scans would otherwise run until the client fails, which it then never does.
  for (const char* fn : {"NWDSList", "NWDSSearch", "NWScanObject", "NWDSScanForAvailableTrees",
                         "NWDSReturnBlockOfAvailableTrees"})
    nwsim::injectFault(fn, 0, -1);
  EXPECT_TRUE(ndsList(kOrg, "")->Empty());
  EXPECT_TRUE(ndsSearch(kOrg, "")->Empty());
  EXPECT_TRUE(ndsSearchFilter(kOrg, "CN=*")->Empty());
  EXPECT_TRUE(ndsGetTreeList()->Empty());
  EXPECT_TRUE(ndsGetTreeListOld()->Empty());
  EXPECT_TRUE(ndsGetTreeListEx("*")->Empty());
  EXPECT_LE(calls("NWDSList") + calls("NWDSSearch") + calls("NWScanObject"), 8u) << "each scan ended at once";
  nwsim::clearFaults();
}
