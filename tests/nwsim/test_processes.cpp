// Several programs and workstations on one network at once.
#include "client.h"
#include "fixtures/netfixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace {

struct Child {
  pid_t pid = -1;
  FILE* out = nullptr;
};

// Starts the probe as workstation `ws` on the test's network, its output readable; `action`
// is the probe's arguments, separated by blanks.
Child start(const std::filesystem::path& net, const std::string& ws, const std::string& action) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
  posix_spawn_file_actions_addclose(&fa, fds[0]);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.rfind("NWSIM_", 0) != 0) env.push_back(v);
  }
  env.push_back("NWSIM_NETWORK=" + net.string());
  env.push_back("NWSIM_WORKSTATION=" + ws);
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> args{NWSIM_PROBE};
  std::istringstream words(action);
  for (std::string w; words >> w;) args.push_back(w);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string prog = args[0];
  Child c;
  if (posix_spawn(&c.pid, prog.c_str(), &fa, nullptr, argv.data(), envp.data()) != 0) c.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  ::close(fds[1]);
  c.out = ::fdopen(fds[0], "r");
  return c;
}

std::string readAll(Child& c) {
  std::string text;
  char buf[256];
  while (std::fgets(buf, sizeof buf, c.out)) text += buf;
  std::fclose(c.out);
  int status = 0;
  ::waitpid(c.pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
  return text;
}

std::string run(const std::filesystem::path& net, const std::string& ws, const std::string& action) {
  Child c = start(net, ws, action);
  return readAll(c);
}

class Processes : public nwtest::NetworkTest {};

// The handle of WS-TEST's connection to station 3 of FS1, its primary one.
NWCONN_HANDLE primary() {
  NWCONN_HANDLE h = 0;
  EXPECT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK);
  return h;
}

} // namespace

TEST_F(Processes, TwoWorkstationsAtOnceSeeEachOther) {
  // Both set themselves up at the same moment: two writers on one store.
  Child a = start(net->dir(), "WS-ALPHA", "primary");
  Child b = start(net->dir(), "WS-BETA", "primary");
  std::string pa = readAll(a), pb = readAll(b);
  EXPECT_NE(pa, pb) << "two workstations have two stations";
  std::string seenByAlpha = run(net->dir(), "WS-ALPHA", "stations");
  std::string seenByBeta = run(net->dir(), "WS-BETA", "stations");
  EXPECT_EQ(seenByAlpha, seenByBeta);
  // Both are logged in as SUPERVISOR (net.cfg), on stations of their own, beside WS-TEST's 3.
  int supervisors = 0;
  std::istringstream lines(seenByAlpha);
  for (std::string line; std::getline(lines, line);)
    if (line.find("SUPERVISOR") != std::string::npos) ++supervisors;
  EXPECT_EQ(supervisors, 3) << seenByAlpha;
}

TEST_F(Processes, ProgramsOnOneWorkstationShareItsConnections) {
  std::string first = run(net->dir(), "WS-SHARED", "primary");
  std::string second = run(net->dir(), "WS-SHARED", "primary");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first.rfind("FS1 ", 0), 0u) << first;
}

TEST_F(Processes, AKilledProgramLosesNothingCommitted) {
  Child c = start(net->dir(), "WS-DOOMED", "hang");
  char line[64] = {};
  ASSERT_NE(std::fgets(line, sizeof line, c.out), nullptr);
  EXPECT_STREQ(line, "ready\n");
  ::kill(c.pid, SIGKILL);
  int status = 0;
  ::waitpid(c.pid, &status, 0);
  std::fclose(c.out);
  bool found = false;
  for (auto& st : nwsim::stations())
    if (st.workstation == "WS-DOOMED") found = st.objectName == "SUPERVISOR";
  EXPECT_TRUE(found) << "the station the killed program made is still there";
  // And the store still works for everyone else.
  EXPECT_NE(run(net->dir(), "WS-DOOMED", "primary").find("FS1"), std::string::npos);
}

// This process keeps the rows of its connections and servers between calls; what another
// program changes in the store must be seen by the very next call all the same.
TEST_F(Processes, KeptRowsGiveWayToAnotherProgramsChanges) {
  const NWCONN_HANDLE h = primary();
  nuint16 station = 0;
  ASSERT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_OK);
  EXPECT_EQ(station, 3);

  run(net->dir(), "WS-OTHER", "fault NWGetConnectionNumber");
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(h, &station), 0x8801) << "a fault armed by another program";
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_OK) << "and taken once";

  run(net->dir(), "WS-OTHER", "clear 3");
  EXPECT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_INVALID_CONNECTION) << "a station cleared by another program";
  char name[48] = {};
  EXPECT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_INVALID_CONNECTION);
}

TEST_F(Processes, AServerAnotherProgramBroughtDownIsDownAtOnce) {
  const NWCONN_HANDLE h = primary();
  char name[48] = {};
  ASSERT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_OK);
  EXPECT_STREQ(name, "FS1");
  run(net->dir(), "WS-OTHER", "down");
  EXPECT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_SERVER_DOWN);
}

// Requests are counted in the program and written now and then; one that ends has written
// all of its own, so another program sees them.
TEST_F(Processes, TheRequestsOfAProgramThatEndedAreCounted) {
  const NWCONN_HANDLE h = primary();
  const std::string out = run(net->dir(), "WS-OTHER", "count 25");
  const int station = std::atoi(out.c_str());
  ASSERT_GT(station, 0) << out;
  CONN_USE usage{};
  ASSERT_EQ(CALLS(NWGetConnectionUsageStats)(h, static_cast<nuint16>(station), &usage), NWE_OK);
  // Its own look-up of the primary connection and of the station's information come first.
  EXPECT_GE(usage.totalRequestPackets, 25u);
  EXPECT_LE(usage.totalRequestPackets, 30u);
}
