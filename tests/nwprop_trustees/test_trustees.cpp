// Unit Nwprop: trustee lists, granting and revoking, the rights of an object on a path,
// effective rights through groups, equivalences and inherited rights masks, and bindery
// access levels. The seed gives FS1/SYS trustees and masks (see trustees.json).
#include "ostrel/ostrel_support.h"
#include "nwsim/client.h"

#include <nwprop/nwprop.h>
#include <simulator.h>
#include <trustees.h>

#include <filesystem>

using namespace ostreltest;

namespace {

std::string propError() { return "nwprop getLastError = " + nwprop::TNWProp().getLastError(); }

class TrusteesTest : public OstrelTest {
protected:
  std::string seed() const override { return TRUSTEES_SEED; }
  void SetUp() override {
    OstrelTest::SetUp();
    nwprop::TNWProp().resetLastError();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwprop] " << propError() << "\n";
    OstrelTest::TearDown();
  }
  /// A directory made on disk below FS1's volume SYS.
  void makeDirectory(const std::string& path) {
    std::filesystem::create_directories(net->dir() / "volumes" / "FS1" / "SYS" / path);
  }
};

nwprop::TNWRights rightsOf(const std::string& letters) {
  nwprop::TNWRights r;
  for (char c : letters) {
    switch (c) {
      case 'S': r.supervisor = true; break;
      case 'R': r.read = true; break;
      case 'O': r.open = true; break;
      case 'W': r.write = true; break;
      case 'C': r.create = true; break;
      case 'E': r.erase = true; break;
      case 'M': r.modify = true; break;
      case 'F': r.fileScan = true; break;
      case 'A': r.accessControl = true; break;
    }
  }
  return r;
}

/// The rights as letters in the order R O W C E M F A (supervisor left out).
std::string lettersOf(const nwprop::TNWRights& r) {
  std::string s;
  if (r.read) s += 'R';
  if (r.open) s += 'O';
  if (r.write) s += 'W';
  if (r.create) s += 'C';
  if (r.erase) s += 'E';
  if (r.modify) s += 'M';
  if (r.fileScan) s += 'F';
  if (r.accessControl) s += 'A';
  return s;
}

std::string effective(const std::string& path) {
  nwprop::TNWRights r;
  if (!nwprop::getEffectiveRights(0, path, r)) return "(failed)";
  return lettersOf(r);
}

std::vector<std::string> trustees(const std::string& object) { return names(*nwprop::getTrusteeList(0, object)); }

} // namespace

// ---- Trustee lists ----------------------------------------------------------------------

TEST_F(TrusteesTest, ListsShowEveryAssignmentOfAUserOrGroupWithItsRightsField) {
  EXPECT_EQ(trustees("JSMITH"), (std::vector<std::string>{"FS1/SYS:HOME\\JSMITH    [SRWCEMFA]",
                                                          "FS1/SYS:HOME\\JSMITH OLD    [-R------]",
                                                          "FS1/SYS:MAIL\\1A000010    [-RWCE-F-]"}));
  // The root of a volume, and open, which has no letter.
  EXPECT_EQ(trustees("EVERYONE"),
            (std::vector<std::string>{"FS1/SYS:    [------F-]", "FS1/SYS:PUBLIC    [-R----F-]"}));
  EXPECT_TRUE(trustees("FS1").empty()) << "a file server is neither user nor group";
  EXPECT_TRUE(trustees("NOBODY").empty());
  EXPECT_TRUE(trustees("SUPERVISOR").empty());
}

TEST_F(TrusteesTest, WrittenRightsBecomeTheMaskTheListShows) {
  makeDirectory("PROJECTS");
  struct Case { std::string rights, field; } cases[] = {
      {"A", "S------A"},           // access control alone
      {"S", "S----M-A"},           // supervisor is sent as modify and access control
      {"RWCEMFA", "SRWCEMFA"},
      {"RF", "-R----F-"},
      {"O", "--------"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(nwprop::modifyTrusteeRights(0, "GUEST", " sys: ", "projects", rightsOf(c.rights))) << propError();
    EXPECT_EQ(trustees("GUEST"), (std::vector<std::string>{"FS1/SYS:HOME\\JS    [-R----F-]",
                                                           "FS1/SYS:PROJECTS    [" + c.field + "]"}))
        << c.rights;
  }
  // A file takes a trustee as well; the user is always looked up as a user.
  ASSERT_TRUE(nwprop::addTrusteeToFile(0, "sys:public\\map.exe", "mjones", rightsOf("RW"))) << propError();
  EXPECT_EQ(trustees("MJONES").front(), "FS1/SYS:HOME\\MJONES    [--------]");
  EXPECT_EQ(trustees("MJONES").back(), "FS1/SYS:PUBLIC\\MAP.EXE    [-RW-----]");
  EXPECT_FALSE(nwprop::addTrusteeToFile(0, "SYS:PUBLIC", "EVERYONE", rightsOf("R"))) << "a group is no user";
  EXPECT_EQ(nwprop::lasterror(), NWE_NO_SUCH_OBJECT);
}

TEST_F(TrusteesTest, FailuresOfTheWritesAreRecorded) {
  EXPECT_FALSE(nwprop::addTrusteeToFile(0, "SYS:NO\\SUCH", "JSMITH", rightsOf("R")));
  EXPECT_EQ(nwprop::lasterror(), NWE_INVALID_PATH);
  EXPECT_FALSE(nwprop::addTrusteeToFile(0, "NOVOL:X", "JSMITH", rightsOf("R")));
  EXPECT_EQ(nwprop::lasterror(), NWE_VOLUME_DOES_NOT_EXIST);
  EXPECT_FALSE(nwprop::modifyTrusteeRights(0, "JSMITH", "SYS:", std::string(300, 'A'), rightsOf("R")))
      << "a path too long for its buffer is refused, never cut";
  nwsim::injectFault("NWAddTrusteeToDirectory", NWE_FAILURE);
  EXPECT_FALSE(nwprop::modifyTrusteeRights(0, "JSMITH", "SYS:", "PUBLIC", rightsOf("R")));
  EXPECT_EQ(nwprop::lasterror(), NWE_FAILURE);
  EXPECT_EQ(trustees("JSMITH").size(), 3u);
}

// ---- Removing ----------------------------------------------------------------------------

TEST_F(TrusteesTest, RemovingALineOfTheListRemovesThatAssignmentOnly) {
  // The line's path holds a blank; its first word names another directory of JSMITH's.
  ASSERT_TRUE(nwprop::deleteTrusteeRight(0, "JSMITH", "", "FS1/SYS:HOME\\JSMITH OLD    [-R------]")) << propError();
  EXPECT_EQ(trustees("JSMITH"), (std::vector<std::string>{"FS1/SYS:HOME\\JSMITH    [SRWCEMFA]",
                                                          "FS1/SYS:MAIL\\1A000010    [-RWCE-F-]"}));
  // A path and a prefix; another object's assignment at the path stays.
  ASSERT_TRUE(nwprop::deleteTrusteeRight(0, "sales", " sys:", "home")) << propError();
  EXPECT_TRUE(trustees("SALES").empty());
  EXPECT_FALSE(nwprop::deleteTrusteeRight(0, "SALES", "SYS:", "HOME"));
  EXPECT_EQ(nwprop::lasterror(), NWE_TRUSTEE_NOT_FOUND);
  EXPECT_EQ(trustees("JSMITH").size(), 2u);
}

TEST_F(TrusteesTest, OnlyTheSupervisorOrAccessControlMayGrantOrRevoke) {
  become("WS-SALES");  // JSMITH: access control at HOME\JSMITH only
  EXPECT_FALSE(nwprop::addTrusteeToFile(0, "SYS:PUBLIC", "GUEST", rightsOf("RF")));
  EXPECT_EQ(nwprop::lasterror(), NWE_NO_SET_PRIVILEGE);
  EXPECT_FALSE(nwprop::deleteTrusteeRight(0, "EVERYONE", "", "SYS:PUBLIC"));
  EXPECT_EQ(nwprop::lasterror(), NWE_NO_SET_PRIVILEGE);
  EXPECT_TRUE(nwprop::addTrusteeToFile(0, "SYS:HOME\\JSMITH\\NOTES.TXT", "MJONES", rightsOf("R"))) << propError();
  EXPECT_TRUE(nwprop::deleteTrusteeRight(0, "MJONES", "SYS:HOME\\JSMITH\\", "NOTES.TXT")) << propError();
  become("WS-TEST");
  EXPECT_EQ(trustees("EVERYONE").size(), 2u);
  EXPECT_EQ(trustees("MJONES").size(), 1u);
}

// ---- Rights of an object on a path -----------------------------------------------------------

TEST_F(TrusteesTest, ObjectRightsComeFromThePathOrADirectoryAboveByWholeComponents) {
  nwprop::TNWRights r;
  ASSERT_TRUE(nwprop::getObjectDirRights(0, "JSMITH", "SYS:HOME\\JSMITH\\NOTES.TXT", r));
  EXPECT_TRUE(r.supervisor) << "read back from access control";
  EXPECT_EQ(lettersOf(r), "RWCEMFA");
  ASSERT_TRUE(nwprop::getObjectDirRights(0, "EVERYONE", "FS1/SYS:LOGIN", r));
  EXPECT_EQ(lettersOf(r), "F") << "the volume's root is above every path";

  // GUEST is a trustee of HOME\JS, which is no directory above HOME\JSMITH.
  nwprop::TNWRights untouched = rightsOf("W");
  EXPECT_FALSE(nwprop::getObjectDirRights(0, "GUEST", "SYS:HOME\\JSMITH", untouched));
  EXPECT_EQ(lettersOf(untouched), "W");
  EXPECT_FALSE(nwprop::getObjectDirRights(0, "JSMITH", "SYS:PUBLIC", untouched));
  EXPECT_FALSE(nwprop::getObjectDirRights(0, "JSMITH", "NOVOL:PUBLIC", untouched));
  EXPECT_EQ(nwprop::lasterror(), 0) << "nothing is recorded";
}

// ---- Effective rights ------------------------------------------------------------------------

TEST_F(TrusteesTest, EffectiveRightsFollowGroupsEquivalencesAndInheritedMasks) {
  struct Case { std::string workstation, path, rights; } cases[] = {
      // SUPERVISOR has every right everywhere.
      {"WS-TEST", "SYS:HOME\\MJONES\\PRIVATE", "ROWCEMFA"},
      {"WS-TEST", "FS1/DATA:SHARED\\REPORT.TXT", "ROWCEMFA"},
      // JSMITH: EVERYONE's root F, then PUBLIC's own assignment.
      {"WS-SALES", "SYS:", "F"},
      {"WS-SALES", "SYS:LOGIN\\LOGIN.EXE", "F"},
      {"WS-SALES", "SYS:PUBLIC\\MAP.EXE", "ROF"},
      {"WS-SALES", "SYS:SYSTEM", "F"},
      // Group SALES at HOME, his own assignment below it, inherited by his files.
      {"WS-SALES", "SYS:HOME", "RWCEF"},
      {"WS-SALES", "SYS:HOME\\JSMITH\\NOTES.TXT", "RWCEMFA"},
      // An empty mask lets nothing through.
      {"WS-SALES", "SYS:HOME\\MJONES", ""},
      {"WS-SALES", "DATA:SHARED", ""},
      // MJONES: equivalent to SALES; supervisory at her home, never masked below it.
      {"WS-ACCT", "SYS:HOME", "RWCEF"},
      {"WS-ACCT", "SYS:HOME\\MJONES\\PRIVATE\\PLAN.TXT", "ROWCEMFA"},
      {"WS-ACCT", "SYS:PUBLIC", "ROF"},
  };
  for (const auto& c : cases) {
    become(c.workstation);
    EXPECT_EQ(effective(c.path), c.rights) << c.workstation << " " << c.path;
  }
}

TEST_F(TrusteesTest, EveryEntryPointGivesTheSameEffectiveRights) {
  become("WS-SALES");
  ASSERT_TRUE(ostrel::map('G', "SYS:HOME"));
  EXPECT_EQ(effective("G:\\JSMITH"), "RWCEMFA");
  EXPECT_EQ(effective("FS1/SYS:HOME\\JSMITH"), "RWCEMFA");
  EXPECT_EQ(effective("sys:home\\jsmith"), "RWCEMFA");
  // The rights byte of a directory handle says the same: R W C E M F A.
  NWCONN_HANDLE conn = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&conn), NWE_OK);
  nuint8 handle = 0, rights = 0;
  ASSERT_EQ(CALLS(NWAllocTemporaryDirectoryHandle)(conn, 0, "SYS:HOME\\JSMITH", &handle, &rights), NWE_OK);
  EXPECT_EQ(rights, 0x01 | 0x02 | 0x08 | 0x10 | 0x20 | 0x40 | 0x80);
  EXPECT_EQ(CALLS(NWDeallocateDirectoryHandle)(conn, handle), NWE_OK);

  // A change shows at once through each of them: his own assignment shrinks to RF, and
  // what SALES passes down from HOME stays.
  become("WS-TEST");
  ASSERT_TRUE(nwprop::modifyTrusteeRights(0, "JSMITH", "SYS:", "HOME\\JSMITH", rightsOf("RF")));
  become("WS-SALES");
  EXPECT_EQ(effective("G:\\JSMITH\\NOTES.TXT"), "RWCEF");
  EXPECT_EQ(effective("SYS:HOME\\JSMITH"), "RWCEF");
}

TEST_F(TrusteesTest, ADeletedObjectLeavesNoAssignmentBehind) {
  nwsim::Network network(net->dir());
  std::int64_t server = 0;
  network.store().prepare("SELECT id FROM servers WHERE name='FS1'").with().first([&](nwsim::Stmt& q) {
    server = q.int64(0);
  });
  auto assignments = [&] { return nwsim::Trustees(network.store()).at(server, 0, "PUBLIC").size(); };
  const auto before = assignments();
  ASSERT_TRUE(nwprop::createObject(0, "TEMPUSER", 0x0100, "Temporary", "", true, 0x31, 0x31)) << propError();
  ASSERT_TRUE(nwprop::addTrusteeToFile(0, "SYS:PUBLIC", "TEMPUSER", rightsOf("RF"))) << propError();
  EXPECT_EQ(assignments(), before + 1);
  ASSERT_TRUE(nwprop::deleteObject(0, "TEMPUSER")) << propError();
  EXPECT_EQ(assignments(), before);
}

TEST_F(TrusteesTest, EffectiveRightsFailQuietlyAndLeaveTheRecord) {
  nwprop::TNWRights r = rightsOf("SW");
  EXPECT_FALSE(nwprop::getEffectiveRights(0, "SYS:NO\\SUCH\\DIR", r));
  EXPECT_FALSE(nwprop::getEffectiveRights(0, "C:\\LOCAL", r));
  nwsim::injectFault("NWGetEffectiveRights", NWE_FAILURE);
  EXPECT_FALSE(nwprop::getEffectiveRights(0, "SYS:PUBLIC", r));
  EXPECT_EQ(lettersOf(r), "W");
  EXPECT_EQ(nwprop::lasterror(), 0);
  // The supervisor field is not written on success either.
  ASSERT_TRUE(nwprop::getEffectiveRights(0, "SYS:PUBLIC", r));
  EXPECT_TRUE(r.supervisor);
}

// ---- Bindery access levels -------------------------------------------------------------------

TEST_F(TrusteesTest, AccessComparisonSplitsLevelsIntoReadAndWrite) {
  bool read = false, write = false;
  nwprop::compareObjectAccessRights(0, " guest ", read, write);  // supervisor 0x33, object 0x31
  EXPECT_TRUE(read && write);
  become("WS-SALES");  // a user logged in: 0x11
  nwprop::compareObjectAccessRights(0, "GUEST", read, write);
  EXPECT_TRUE(read);
  EXPECT_FALSE(write) << "0x10 is below 0x30";
  read = write = false;
  nwprop::compareObjectAccessRights(0, "NOBODY", read, write);
  EXPECT_TRUE(read && write) << "an object that cannot be scanned has level 0";
  nwsim::injectFault("NWGetBinderyAccessLevel", NWE_FAILURE);
  read = write = false;
  nwprop::compareObjectAccessRights(0, "GUEST", read, write);
  EXPECT_FALSE(read || write) << "outputs untouched";
  EXPECT_EQ(nwprop::lasterror(), 0);
}

// ---- The nw commands -------------------------------------------------------------------------

TEST_F(TrusteesTest, NwGrantsListsShowsAndRevokesTrustees) {
  const std::string env = "env -u NWSIM_PREFERRED_SERVER -u NWSIM_LOGIN_NAME NWCLIENT_PATH=" +
                          std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" + net->dir().string() + " ";
  auto nw = [&](const std::string& ws, const std::string& args) {
    return nwtest::runCommand(env + "NWSIM_WORKSTATION=" + ws + " " + NW_TOOL + " " + args);
  };
  auto r = nw("WS-TEST", "grant rwf SYS:PUBLIC guest");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "GUEST is a trustee of FS1/SYS:PUBLIC with [RW----F-].\n");
  r = nw("WS-TEST", "tlist SYS:PUBLIC");
  EXPECT_TRUE(nwtest::contains(r.out, "EVERYONE")) << r.out;
  EXPECT_TRUE(nwtest::contains(r.out, "GUEST")) << r.out;
  EXPECT_TRUE(nwtest::contains(r.out, "(user)  [-RW---F-]")) << r.out;
  r = nw("WS-SALES", "rights SYS:HOME\\\\JSMITH");
  EXPECT_EQ(r.out, "Your effective rights to SYS:HOME\\JSMITH are [RW-CEMFA].\n");
  r = nw("WS-SALES", "rights SYS:PUBLIC GUEST");
  EXPECT_EQ(r.out, "Trustee rights of GUEST to SYS:PUBLIC are [RW----F-].\n");
  r = nw("WS-SALES", "revoke SYS:PUBLIC GUEST");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(nwtest::contains(r.out, "898C")) << r.out;
  r = nw("WS-TEST", "revoke SYS:PUBLIC GUEST");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(nwtest::contains(nw("WS-TEST", "tlist SYS:PUBLIC").out, "GUEST"));
}
