// The nw and nwsim programs, run as a user runs them, against a fresh network.
#include "fixtures/netfixture.h"

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

using Result = nwtest::CommandResult;

// Runs a command line through the shell with the given environment prefix.
Result run(const std::string& env, const std::string& command) { return nwtest::runCommand(env + " " + command); }

class NwTool : public nwtest::NetworkTest {
protected:
  std::string env(const std::string& profile = "full", const std::string& ws = "WS-TEST") {
    return "env -u NWSIM_PREFERRED_SERVER -u NWSIM_LOGIN_NAME NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/" +
           profile + " NWSIM_NETWORK=" + net->dir().string() + " NWSIM_WORKSTATION=" + ws;
  }
  std::string nw(const std::string& args) { return std::string(NW_TOOL) + " " + args; }
};

using nwtest::contains;

} // namespace

TEST_F(NwTool, WhoamiShowsTheLoginOfThePrimaryConnection) {
  Result r = run(env(), nw("whoami"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "You are user SUPERVISOR attached to server FS1, connection 3.")) << r.out;
  EXPECT_TRUE(contains(r.out, "Login time:      Tuesday, December 1, 2026 8:15 am")) << r.out;
  EXPECT_TRUE(contains(r.out, "Network address: 0000C9A1:00001B000001")) << r.out;
}

TEST_F(NwTool, WhoamiOnADirectoryServerShowsTheTree) {
  Result r = run(env("full", "WS-NDS") + " NWSIM_PREFERRED_SERVER=NDS1 NWSIM_LOGIN_NAME=ADMIN", nw("whoami"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "You are user ADMIN attached to server NDS1, connection 1.")) << r.out;
  EXPECT_TRUE(contains(r.out, "Directory tree:  TESTTREE")) << r.out;
}

TEST_F(NwTool, WhoamiOfAStationNobodyIsLoggedInOn) {
  Result r = run(env("full", "WS-ANON") + " NWSIM_LOGIN_NAME=NOBODY", nw("whoami"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "Attached to server FS1, connection 1, not logged in.")) << r.out;
}

TEST_F(NwTool, ServersListsConnectionsInOrder) {
  Result r = run(env(), nw("servers"));
  EXPECT_EQ(r.status, 0) << r.out;
  auto fs1 = r.out.find("FS1"), fs2 = r.out.find("FS2"), nds = r.out.find("NDS1");
  ASSERT_NE(fs1, std::string::npos);
  EXPECT_LT(fs1, fs2);
  EXPECT_LT(fs2, nds);
  EXPECT_TRUE(contains(r.out, "FS1                               3  primary")) << r.out;
  EXPECT_TRUE(contains(r.out, "FS2                               1")) << r.out;
}

TEST_F(NwTool, TimeShowsTheServersClock) {
  // WS-ACCT's primary server is FS1; FS2's frozen clock is reached through --network on a
  // workstation whose preferred server is FS2.
  std::string e = env("full", "WS-CLOCK") + " NWSIM_PREFERRED_SERVER=FS2";
  Result r = run(e, nw("time"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "Current server (FS2) time is Tuesday, September 15, 1998  10:30:45 am.")) << r.out;
}

TEST_F(NwTool, WithoutAClientItSaysSoAndFails) {
  Result r = run(env("none"), nw("whoami"));
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "nw: the NetWare client is not available")) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << "one line: " << r.out;
}

TEST_F(NwTool, AMissingNetworkIsAClearOneLineError) {
  Result r = run(env(), nw("--network /nonexistent/net whoami"));
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "nw: no network at /nonexistent/net")) << r.out;
}

TEST_F(NwTool, HelpAndUsageErrors) {
  for (const char* cmd : {"whoami", "servers", "time", "version"}) {
    Result r = run(env(), nw(std::string(cmd) + " --help"));
    EXPECT_EQ(r.status, 0) << cmd;
    EXPECT_TRUE(contains(r.out, std::string("usage: nw ") + cmd)) << r.out;
  }
  Result r = run(env(), nw("frobnicate"));
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "unknown command 'frobnicate'")) << r.out;
  r = run(env(), nw("whoami extra"));
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "unexpected argument 'extra'")) << r.out;
  r = run(env(), nw("version"));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(contains(r.out, "4.50 - 15 Sept 1998")) << r.out;
}

// Every command, as nw --help lists them.
std::vector<std::string> commandNames(const std::string& help) {
  std::vector<std::string> names;
  std::istringstream in(help.substr(help.find("commands:")));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line) && line.rfind("  ", 0) == 0) names.push_back(line.substr(2, line.find(' ', 2) - 2));
  return names;
}

TEST_F(NwTool, UnknownOptionsAndExtraArgumentsAreRefusedWithStatus2) {
  const std::vector<std::string> names = commandNames(run(env(), nw("--help")).out);
  ASSERT_GT(names.size(), 40u);
  for (const std::string& name : names) {
    Result r = run(env(), nw(name + " --bogus"));
    EXPECT_EQ(r.status, 2) << name << ": " << r.out;
    // Commands that read passwords do not repeat the word, which may be one.
    EXPECT_TRUE(contains(r.out, "nw: unknown option")) << name << ": " << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << name << ": " << r.out;
  }
  for (const char* line : {"whoami --bogus", "ndir SYS: --bogus", "nlist user --json", "nlist user extra",
                           "whoami extra", "ndir SYS: SYS:PUBLIC SYS:SYSTEM", "frobnicate", "attach"}) {
    Result r = run(env(), nw(line));
    EXPECT_EQ(r.status, 2) << line << ": " << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << line << ": " << r.out;
  }
  // A failure that is not the command line's fault keeps status 1.
  Result r = run(env(), nw("attach NOSUCHSERVER"));
  EXPECT_EQ(r.status, 1) << r.out;
}

TEST_F(NwTool, APasswordTypedAsAnArgumentIsNeverShownAgain) {
  for (const char* line : {"login FS1 SUPERVISOR Hunter2pw", "user passwd BOB Hunter2pw", "user add BOB Hunter2pw",
                           "passwd .CN=ADMIN.O=ACME Hunter2pw", "login FS1 SUPERVISOR --Hunter2pw",
                           "create user BOB --surname B Hunter2pw"}) {
    Result r = run("echo x |", env() + " " + nw(line));
    EXPECT_EQ(r.status, 2) << line << ": " << r.out;
    EXPECT_FALSE(contains(r.out, "Hunter2pw")) << line << ": " << r.out;
  }
}

TEST_F(NwTool, AnInterruptedPasswordPromptLeavesEchoOn) {
  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  std::vector<std::string> envText = {"NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/full",
                                      "NWSIM_NETWORK=" + net->dir().string(), "NWSIM_WORKSTATION=WS-TEST"};
  std::vector<char*> envp;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // The program's controlling terminal is the pseudo-terminal, so ^C on it is SIGINT.
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    for (int fd = 0; fd < 3; ++fd) ::dup2(slave, fd);
    ::close(master);
    ::execle(NW_TOOL, "nw", "login", "FS1", "SUPERVISOR", static_cast<char*>(nullptr), envp.data());
    ::_exit(127);
  }
  std::string seen;
  while (!contains(seen, "password: ")) {
    pollfd p{master, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 60000), 1) << "no prompt: " << seen;
    char buf[256];
    const ssize_t n = ::read(master, buf, sizeof buf);
    ASSERT_GT(n, 0) << seen;
    seen.append(buf, static_cast<std::size_t>(n));
  }
  termios during{};
  ASSERT_EQ(::tcgetattr(slave, &during), 0);
  EXPECT_EQ(during.c_lflag & ECHO, 0u) << "the prompt reads without echo";
  ASSERT_EQ(::write(master, "\x03", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  termios after{};
  ASSERT_EQ(::tcgetattr(slave, &after), 0);
  EXPECT_NE(after.c_lflag & ECHO, 0u) << "echo is back on after the interrupted prompt";
  ::close(master);
  ::close(slave);
}

TEST_F(NwTool, NwsimFaultOfAFunctionNoClientExportsIsRefused) {
  Result r = run(env(), std::string(NWSIM_TOOL) + " fault NWGetFileServerDateAndTme 89FF");
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "no client library exports a function named 'NWGetFileServerDateAndTme'")) << r.out;
  EXPECT_THROW(nwsim::injectFault("NWGetFileServerDateAndTme", 0x89FF), nwsim::SimError);
  // A real name still takes: the next time call fails.
  r = run(env(), std::string(NWSIM_TOOL) + " fault NWGetFileServerDateAndTime 89FF");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "The next call of NWGetFileServerDateAndTime will fail: failure, or no such file, code 89FF."))
      << r.out;
  r = run(env(), nw("time"));
  EXPECT_NE(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "(failure, or no such file, code 89FF)")) << r.out;
}

TEST_F(NwTool, NwsimCreatesAndShowsNetworks) {
  nwtest::TempDir tmp;
  std::string dir = (tmp.path() / "n").string();
  Result r = run("", std::string(NWSIM_TOOL) + " create " + dir);
  EXPECT_EQ(r.status, 0) << r.out;
  r = run("", std::string(NWSIM_TOOL) + " --network " + dir + " show");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "ACME-FS1")) << r.out;
  EXPECT_TRUE(contains(r.out, "WS-SALES1")) << r.out;
  r = run("", std::string(NWSIM_TOOL) + " create " + dir);
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "already holds a network")) << r.out;
  std::string bad = (tmp.path() / "bad.json").string();
  std::FILE* f = std::fopen(bad.c_str(), "w");
  std::fputs("{\n \"servers\": [\n  { \"name\": 12 }\n ]\n}\n", f);
  std::fclose(f);
  r = run("", std::string(NWSIM_TOOL) + " create " + (tmp.path() / "m").string() + " --seed " + bad);
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, bad + ":3:")) << r.out;
}
