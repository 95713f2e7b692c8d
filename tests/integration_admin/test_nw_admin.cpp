// The administration and printing commands of nw, run as a user runs them, against a fresh
// network made from the print tests' seed.
#include "fixtures/netfixture.h"

#include <fstream>

namespace {

using nwtest::contains;
using Result = nwtest::CommandResult;

class NwAdmin : public ::testing::Test {
protected:
  void SetUp() override { nwsim::createNetwork(dir.path() / "net", PRINT_SEED); }
  Result run(const std::string& args, const std::string& ws = "WS-TEST", const std::string& input = "") {
    std::string line = "env NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" +
                       (dir.path() / "net").string() + " NWSIM_WORKSTATION=" + ws + " " + NW_TOOL + " " + args;
    if (!input.empty()) line = "printf '" + input + "' | " + line;
    return nwtest::runCommand(line);
  }
  nwtest::TempDir dir;
};

TEST_F(NwAdmin, UsersAreAddedChangedAndRemovedWithoutShowingPasswords) {
  Result r = run("user add kbauer2 --fullname 'Karl Bauer'", "WS-TEST", "tiger\\n");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(contains(r.out, "tiger")) << r.out;
  r = run("user info KBAUER2");
  EXPECT_TRUE(contains(r.out, "Full name:  Karl Bauer")) << r.out;
  EXPECT_TRUE(contains(r.out, "  EVERYONE")) << r.out;
  r = run("user passwd KBAUER2", "WS-TEST", "tiger\\nlion\\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(contains(r.out, "lion")) << r.out;
  EXPECT_EQ(run("group add TEMPS").status, 0);
  EXPECT_EQ(run("group addmember TEMPS KBAUER2").status, 0);
  EXPECT_TRUE(contains(run("prop read TEMPS GROUP_MEMBERS --set").out, "KBAUER2"));
  EXPECT_EQ(run("user rename KBAUER2 KARL").status, 0);
  EXPECT_EQ(run("user del KARL").status, 0);
  EXPECT_NE(run("user info KARL").status, 0);

  r = run("user add intruder", "WS-SALES", "x\\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(contains(r.out, "needs a supervisor or manager")) << r.out;
}

TEST_F(NwAdmin, PropertiesAndLoginRestrictions) {
  EXPECT_EQ(run("prop write JSMITH NOTE 'call back' --create").status, 0);
  EXPECT_TRUE(contains(run("prop read JSMITH note").out, "call back"));
  EXPECT_TRUE(contains(run("prop list JSMITH").out, "  NOTE"));
  Result r = run("logincontrol JSMITH --expires 2027-03-01 --max-connections 2 --disable");
  ASSERT_EQ(r.status, 0) << r.out;
  r = run("logincontrol JSMITH");
  EXPECT_TRUE(contains(r.out, "Account expires:     2027-03-01")) << r.out;
  EXPECT_TRUE(contains(r.out, "Account disabled:    yes")) << r.out;
  EXPECT_TRUE(contains(r.out, "Max. connections:    2")) << r.out;
  EXPECT_NE(run("logincontrol JSMITH --expires 2027-02-30").status, 0);
}

TEST_F(NwAdmin, QueuesCaptureAndPrinting) {
  Result r = run("pq list");
  EXPECT_TRUE(contains(r.out, "LASER")) << r.out;
  r = run("pq jobs LASER");
  EXPECT_TRUE(contains(r.out, "MJONES[7]        Paused    Letters")) << r.out;

  const auto file = dir.path() / "memo.txt";
  std::ofstream(file) << "memo";
  r = run("nprint " + file.string() + " --queue LASER --copies 2 --banner MEMO");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(run("pq jobs LASER").out, "5    SUPERVISOR[3]    Waiting")) << run("pq jobs LASER").out;
  EXPECT_EQ(run("pq hold LASER 5").status, 0);
  EXPECT_TRUE(contains(run("pq jobs LASER").out, "SUPERVISOR[3]    Paused")) << run("pq jobs LASER").out;
  EXPECT_EQ(run("pq move LASER 5 1").status, 0);
  EXPECT_EQ(run("pq del LASER 5").status, 0);
  EXPECT_NE(run("nprint " + (dir.path() / "none.txt").string() + " --queue LASER").status, 0);

  ASSERT_EQ(run("capture --queue LASER --lpt 2 --banner HELLO --copies 3").status, 0);
  r = run("capture");
  EXPECT_TRUE(contains(r.out, "LPT2: captured to LASER, copies 3, banner HELLO")) << r.out;
  EXPECT_FALSE(contains(run("capture", "WS-SALES").out, "LPT2")) << "captures belong to the workstation";
  EXPECT_EQ(run("endcap --lpt 2").status, 0);
  EXPECT_EQ(run("capture").out, "");
}

} // namespace
