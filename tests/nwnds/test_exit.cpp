// Programs end cleanly: unit objects that outlive main free their context after the client's
// own state may be gone.
#include "fixtures/netfixture.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

class ProgramExit : public nwtest::NetworkTest {};

} // namespace

TEST_F(ProgramExit, AProgramWhoseUnitsOutliveMainExitsWithStatusZero) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("NWSIM_", 0) != 0) env.emplace_back(*e);
  env.push_back("NWSIM_NETWORK=" + net->dir().string());
  env.push_back("NWSIM_WORKSTATION=WS-TEST");
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string prog = NWNDS_EXIT_PROBE, container = "O=TESTORG";
  char* argv[] = {prog.data(), container.data(), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, prog.c_str(), nullptr, nullptr, argv, envp.data()), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
