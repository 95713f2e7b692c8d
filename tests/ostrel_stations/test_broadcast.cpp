// Unit Ostrel: broadcast modes, stored messages, messages to stations and users, the console
// log, and the shell error mode. WS-TEST is SUPERVISOR on FS1 station 3, WS-SALES JSMITH on
// station 5, WS-ACCT MJONES on station 7.
#include "ostrel/ostrel_support.h"

using namespace ostreltest;
using ostrel::lasterror;

namespace {

/// Runs nw as another program of a workstation of this test's network.
/// A new workstation logs in as `login` (net.cfg's login name otherwise).
nwtest::CommandResult nwAs(const std::string& workstation, const std::string& args, const std::string& login = "") {
  return nwtest::runCommand("env -u NWSIM_PREFERRED_SERVER -u NWSIM_LOGIN_NAME NWCLIENT_PATH=" +
                            std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" +
                            nwsim::currentNetworkDir().string() + " NWSIM_WORKSTATION=" + workstation +
                            (login.empty() ? "" : " NWSIM_LOGIN_NAME=" + login) + " " + NW_TOOL + " " + args);
}

class BroadcastTest : public OstrelTest {
protected:
  /// Every message waiting for this workstation's primary station, oldest first.
  std::vector<std::string> readAll() {
    std::vector<std::string> out;
    for (std::string m = ostrel::getBroadcastMessage(0); !m.empty(); m = ostrel::getBroadcastMessage(0))
      out.push_back(m);
    return out;
  }
};

} // namespace

TEST_F(BroadcastTest, AMessageToAStationArrivesInItsMailboxOnly) {
  EXPECT_TRUE(ostrel::broadcastToConn(0, 5, "first")) << unitError();
  EXPECT_TRUE(ostrel::broadcastToConn(0, 5, "second"));
  EXPECT_TRUE(readAll().empty()) << "the sender's own station got nothing";
  become("WS-SALES");
  EXPECT_EQ(readAll(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(ostrel::getBroadcastMessage(0), "") << "an empty mailbox gives an empty message";
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(BroadcastTest, RefusingStationsAndFailedCallsAreToldApart) {
  become("WS-SALES");
  ASSERT_TRUE(ostrel::castOff(0));
  EXPECT_EQ(ostrel::getBroadcastMode(0), 2);
  become("WS-TEST");
  EXPECT_FALSE(ostrel::broadcastToConn(0, 5, "refused"));
  EXPECT_FALSE(ostrel::broadcastToConn(0, 9, "no such station"));
  EXPECT_EQ(lasterror(), 0) << "a station's refusal is not recorded";
  nwsim::injectFault("NWSendBroadcastMessage", NWE_FAILURE);
  EXPECT_FALSE(ostrel::broadcastToConn(0, 7, "failed call"));
  EXPECT_EQ(lasterror(), NWE_FAILURE);

  // Server-only mode refuses stations too; stored mode takes them.
  become("WS-SALES");
  ASSERT_TRUE(ostrel::setBroadcastMode(0, 1));
  EXPECT_EQ(ostrel::getBroadcastMode(0), 1);
  EXPECT_FALSE(ostrel::setBroadcastMode(0, 4));
  EXPECT_EQ(lasterror(), NWE_INVALID_PARAMETER);
  become("WS-TEST");
  EXPECT_FALSE(ostrel::broadcastToConn(0, 5, "server only"));
  become("WS-SALES");
  ASSERT_TRUE(ostrel::setBroadcastMode(0, 3));
  ASSERT_TRUE(ostrel::castOn(0));
  EXPECT_EQ(ostrel::getBroadcastMode(0), 0);
}

TEST_F(BroadcastTest, AFullMailboxRefusesFurtherMessages) {
  for (int i = 0; i < NW_MAILBOX_SIZE; ++i) ASSERT_TRUE(ostrel::broadcastToConn(0, 7, "m" + std::to_string(i)));
  EXPECT_FALSE(ostrel::broadcastToConn(0, 7, "one too many"));
  become("WS-ACCT");
  EXPECT_EQ(readAll().size(), static_cast<std::size_t>(NW_MAILBOX_SIZE));
}

TEST_F(BroadcastTest, LineMessagesReachEveryStationOfTheUser) {
  // MJONES gets a second station on FS1 from a new workstation that refuses messages.
  ASSERT_EQ(nwAs("WS-TWO", "castoff", "MJONES").status, 0);
  std::int32_t count = 0;
  std::array<std::uint16_t, 50> stations{};
  ASSERT_TRUE(ostrel::getUserConnList(0, "MJONES", count, stations));
  ASSERT_EQ(count, 2);
  EXPECT_TRUE(ostrel::sendLineMessage(0, "mjones", std::string(200, 'x'))) << "one of two stations accepted it";
  become("WS-ACCT");
  EXPECT_EQ(readAll(), std::vector<std::string>{std::string(127, 'x')}) << "cut to 127 characters";

  become("WS-TEST");
  EXPECT_FALSE(ostrel::sendLineMessage(0, "GUEST", "not logged in"));
  EXPECT_FALSE(ostrel::sendLineMessage(0, "NOBODY", "no such user"));
  nwsim::injectFault("NWSendBroadcastMessage", NWE_FAILURE);
  EXPECT_FALSE(ostrel::sendLineMessage(0, "MJONES", "the call fails")) << "nothing was sent";
  EXPECT_EQ(lasterror(), 0) << "sendLineMessage records nothing";
  become("WS-ACCT");
  EXPECT_TRUE(readAll().empty());
}

TEST_F(BroadcastTest, MessagesTravelBetweenProgramsOfTwoWorkstations) {
  auto sent = nwAs("WS-SALES", "send \"lunch at one\" SUPERVISOR");
  ASSERT_EQ(sent.status, 0) << sent.out;
  EXPECT_EQ(readAll(), std::vector<std::string>{"From JSMITH[5]: lunch at one"});

  ASSERT_TRUE(ostrel::sendLineMessage(0, "JSMITH", "reply"));
  auto read = nwAs("WS-SALES", "messages");
  EXPECT_EQ(read.out, "reply\n");
  EXPECT_EQ(nwAs("WS-SALES", "messages").out, "No messages.\n") << "reading takes the message";

  ASSERT_EQ(nwAs("WS-SALES", "castoff").status, 0);
  EXPECT_FALSE(ostrel::sendLineMessage(0, "JSMITH", "refused"));
}

TEST_F(BroadcastTest, ConsoleMessagesGoToTheServersLog) {
  ASSERT_TRUE(ostrel::broadcastToConsole(0, "Backup starts at noon"));
  ASSERT_TRUE(ostrel::broadcastToConsole(handleOf("FS2"), std::string(300, 'y')));
  const auto fs1 = nwsim::consoleMessages("FS1");
  ASSERT_EQ(fs1.size(), 1u);
  EXPECT_TRUE(nwtest::contains(fs1[0], "station 3: Backup starts at noon")) << fs1[0];
  auto shown = nwAs("WS-ACCT", "server console");
  EXPECT_TRUE(nwtest::contains(shown.out, "station 3: Backup starts at noon")) << shown.out;
  const auto fs2 = nwsim::consoleMessages("FS2");
  ASSERT_EQ(fs2.size(), 1u);
  EXPECT_TRUE(nwtest::contains(fs2[0], "station 1: " + std::string(127, 'y') )) << fs2[0];
  EXPECT_EQ(fs2[0].size(), fs1[0].size() - std::string("Backup starts at noon").size() + 127);
  nwsim::injectFault("NWBroadcastToConsole", NWE_SERVER_DOWN);
  EXPECT_FALSE(ostrel::broadcastToConsole(0, "down"));
  EXPECT_EQ(lasterror(), NWE_SERVER_DOWN);
}

TEST_F(BroadcastTest, ShellErrorModeReturnsTheModeInForceBefore) {
  EXPECT_EQ(ostrel::setShellErrorMode(1), 0);
  EXPECT_EQ(ostrel::setShellErrorMode(1), 1) << "setting it twice returns it the second time";
  EXPECT_EQ(ostrel::setShellErrorMode(2), 1);
  EXPECT_EQ(ostrel::setShellErrorMode(9), 0);
  EXPECT_EQ(lasterror(), NWE_INVALID_PARAMETER);
  EXPECT_EQ(ostrel::setShellErrorMode(0), 2);
}
