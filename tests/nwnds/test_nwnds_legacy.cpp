// The directory unit on an older client without the "NWCC..." calls: attaching locks and
// monitors the connection instead of licensing it, and detaching unlocks it.
#include "directory_fixture.h"

#include <nwserver/nwserver.h>

namespace {

class LegacyDirectory : public Directory {
protected:
  static bool connectedTo(const std::string& server) {
    for (const auto& st : nwsim::stations())
      if (st.workstation == "WS-TEST" && st.server == server) return true;
    return false;
  }
};

} // namespace

TEST_F(LegacyDirectory, AttachLocksAndMonitorsTheConnection) {
  EXPECT_NE(ndsAttach("NDS1"), 0u) << unitError();
  EXPECT_EQ(calls("NWDSSetMonitoredConnection"), 1u);
  EXPECT_EQ(calls("NWDSLockConnection"), 1u);

  ASSERT_TRUE(ndsDetach(nwserver::getServerHandle("FS2")));
  ASSERT_FALSE(connectedTo("FS2"));
  EXPECT_EQ(ndsAttach("FS2"), 0u);
  EXPECT_EQ(lasterror(), NWDSE_NO_SERVER_FOUND);
  EXPECT_FALSE(connectedTo("FS2")) << "the connection the failed attach made was released";
}

TEST_F(LegacyDirectory, DetachUnlocksTheConnection) {
  const NWCONN_HANDLE fs2 = nwserver::getServerHandle("FS2");
  ASSERT_NE(fs2, 0u);
  EXPECT_TRUE(ndsDetach(fs2)) << unitError();
  EXPECT_EQ(calls("NWDSUnlockConnection"), 1u);
  EXPECT_FALSE(connectedTo("FS2"));
  EXPECT_FALSE(ndsDetach(fs2));
  EXPECT_EQ(lasterror(), NWE_INVALID_CONNECTION);
}
