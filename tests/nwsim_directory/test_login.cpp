// Directory logins in the simulated client: intruder detection and login restrictions as the
// sample seed switches them on, tree advertisements, and the directory's connection calls.
#include "dsclient.h"

#include <nwsim/nwsim.h>

#define CAL(fn) CLIENT_FN("CALWIN32.DLL", fn)

namespace {

class SampleDirectory : public nwtest::NetworkTest {
protected:
  std::string seed() const override { return (nwtest::fixtureDir() / "../../nwclient/seed/sample.json").string(); }
};

class DirectoryConnections : public nwtest::NetworkTest {
protected:
  static bool connectedTo(const std::string& server) {
    for (const auto& st : nwsim::stations())
      if (st.workstation == "WS-TEST" && st.server == server) return true;
    return false;
  }
  static NWCONN_HANDLE open(const char* server) {
    NWCONN_HANDLE conn = 0;
    EXPECT_EQ(CLIENT_FN("CLXWIN32.DLL", NWCCOpenConnByName)(0, server, NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED,
                                                            NWCC_TRAN_TYPE_WILD, &conn),
              0);
    return conn;
  }
};

const char* const kJSmith = ".CN=JSMITH.OU=SALES.O=ACME";

} // namespace

TEST_F(SampleDirectory, IntruderDetectionOfTheSeedLocksAfterFiveWrongPasswords) {
  dstest::Context c;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(NET(NWDSLogin)(c, 0, kJSmith, "guess", 0), NWDSE_FAILED_AUTHENTICATION) << i;
  EXPECT_EQ(NET(NWDSLogin)(c, 0, kJSmith, "JSMITH", 0), NWDSE_INTRUDER_LOCKOUT) << "locked: the password no longer helps";
  EXPECT_EQ(NET(NWDSLogin)(c, 0, ".CN=MJONES.OU=ACCOUNTING.O=ACME", "mjones", 0), 0) << "other objects are not locked";
  EXPECT_EQ(NET(NWDSVerifyObjectPassword)(c, 0, kJSmith, "jsmith"), 0) << "verifying is no login";
}

TEST_F(SampleDirectory, ADisabledAccountCannotLogIn) {
  dstest::Context c;
  EXPECT_EQ(NET(NWDSLogin)(c, 0, ".CN=GUEST.O=ACME", "", 0), NWDSE_ACCOUNT_DISABLED);
  EXPECT_EQ(NET(NWDSLogin)(c, 0, ".CN=ADMIN.O=ACME", "wrong", 0), NWDSE_FAILED_AUTHENTICATION);
}

TEST_F(SampleDirectory, DirectoryServersAdvertiseTheirTreePadded) {
  NWCONN_HANDLE primary = 0;
  ASSERT_EQ(CAL(NWGetPrimaryConnectionID)(&primary), 0);
  nuint32 id = 0xFFFFFFFFu;
  char name[48] = {};
  nuint16 type = 0;
  ASSERT_EQ(CAL(NWScanObject)(primary, "*", 0x7802, &id, name, &type, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(std::string(name), "ACME" + std::string(28, '_'));
  EXPECT_EQ(type, 0x7802);
  EXPECT_EQ(CAL(NWScanObject)(primary, "*", 0x7802, &id, name, nullptr, nullptr, nullptr, nullptr), NWE_NO_SUCH_OBJECT)
      << "one directory server, one advertisement";
  id = 0xFFFFFFFFu;
  EXPECT_EQ(CAL(NWScanObject)(primary, "OTHER*", 0x7802, &id, name, nullptr, nullptr, nullptr, nullptr),
            NWE_NO_SUCH_OBJECT);
}

TEST_F(DirectoryConnections, LockMonitorLicenseAndUnlock) {
  dstest::Context c;
  NWCONN_HANDLE nds = 0;
  ASSERT_EQ(NET(NWDSOpenConnToNDSServer)(c, "NDS1", &nds), 0);
  EXPECT_EQ(NET(NWDSOpenConnToNDSServer)(c, "FS1", &nds), NWDSE_NO_SERVER_FOUND) << "a bindery server";
  EXPECT_EQ(NET(NWDSLockConnection)(nds), 0);
  EXPECT_EQ(NET(NWDSSetMonitoredConnection)(nds), 0);
  EXPECT_EQ(NET(NWCCLicenseConn)(nds), 0);
  const NWCONN_HANDLE fs2 = open("FS2");
  EXPECT_EQ(NET(NWDSLockConnection)(fs2), NWDSE_NO_SERVER_FOUND);
  EXPECT_EQ(NET(NWDSSetMonitoredConnection)(fs2), NWDSE_NO_SERVER_FOUND);
  EXPECT_EQ(NET(NWDSUnlockConnection)(fs2), 0) << "FS2 carries no login of its own";
  EXPECT_FALSE(connectedTo("FS2"));
  EXPECT_EQ(NET(NWDSUnlockConnection)(fs2), NWE_INVALID_CONNECTION);
  EXPECT_EQ(NET(NWDSUnlockConnection)(open("FS1")), 0);
  EXPECT_TRUE(connectedTo("FS1")) << "the primary connection stays";
}
