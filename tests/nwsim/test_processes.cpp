// Several programs and workstations on one network at once.
#include "fixtures/netfixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

extern char** environ;

namespace {

struct Child {
  pid_t pid = -1;
  FILE* out = nullptr;
};

// Starts the probe as workstation `ws` on the test's network, its output readable.
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
  std::string prog = NWSIM_PROBE, act = action;
  char* argv[] = {prog.data(), act.data(), nullptr};
  Child c;
  if (posix_spawn(&c.pid, prog.c_str(), &fa, nullptr, argv, envp.data()) != 0) c.pid = -1;
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
