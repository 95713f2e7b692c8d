// The nw commands for bindery objects, drives, copies, open files, logins and the server
// console, run as a user runs them, against a fresh network for each test.
#include "fixtures/netfixture.h"

#include <nwsim/nwsim.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Result = nwtest::CommandResult;

Result run(const std::string& command) { return nwtest::runCommand(command); }

using nwtest::contains;

std::size_t lines(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class NwServerTool : public ::testing::Test {
protected:
  void SetUp() override {
    nwsim::createNetwork(dir.path() / "net", SERVER_SEED);
    nwsim::useNetwork(dir.path() / "net", "WS-TEST");
  }
  void TearDown() override { nwsim::useNetwork(dir.path() / "closed"); }

  /// Runs nw as workstation `ws`, with `input` on its standard input (not a terminal).
  Result nw(const std::string& args, const std::string& ws = "WS-TEST", const std::string& input = "") {
    const std::string env = "env -u NWSIM_PREFERRED_SERVER -u NWSIM_LOGIN_NAME NWCLIENT_PATH=" +
                            std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" + net().string() +
                            " NWSIM_WORKSTATION=" + ws;
    const fs::path in = dir.path() / "stdin.txt";
    std::ofstream(in) << input;
    return run(env + " " + NW_TOOL + " " + args + " < " + in.string());
  }
  fs::path net() const { return dir.path() / "net"; }
  fs::path volume(const std::string& server, const std::string& name) const {
    return net() / "volumes" / server / name;
  }
  nwtest::TempDir dir;
};

} // namespace

TEST_F(NwServerTool, EveryCommandHasHelp) {
  for (const char* command : {"slist", "nlist", "fullname", "members", "map", "ncopy", "openfiles", "fileusers",
                              "attach", "login", "logout", "server"}) {
    Result r = nw(std::string(command) + " --help");
    EXPECT_EQ(r.status, 0) << command << ": " << r.out;
    EXPECT_TRUE(contains(r.out, std::string("usage: nw ") + command)) << r.out;
  }
}

TEST_F(NwServerTool, BinderyObjects) {
  Result r = nw("nlist user");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "JSMITH")) << r.out;
  EXPECT_TRUE(contains(r.out, "1A000010")) << r.out;
  EXPECT_TRUE(contains(r.out, "A total of 3 USER objects was found on server FS1.")) << r.out;

  r = nw("nlist group");
  EXPECT_TRUE(contains(r.out, "STAFF")) << r.out;
  EXPECT_TRUE(contains(r.out, "02000001")) << r.out;

  r = nw("nlist wizard");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1u) << r.out;

  r = nw("fullname jsmith");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "John Smith\n");

  r = nw("members staff");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "JSMITH\nGUEST\n");
  r = nw("members NOGROUP");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1u) << r.out;

  r = nw("slist");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "FS1")) << r.out;
  EXPECT_TRUE(contains(r.out, "Default")) << r.out;
  // Every server that advertises, attached or not, as SLIST lists them.
  for (const char* server : {"FS1", "FS2", "NDS1"}) EXPECT_TRUE(contains(r.out, server)) << server << ": " << r.out;
  EXPECT_TRUE(contains(r.out, "Total of 3 file servers found")) << r.out;
}

TEST_F(NwServerTool, DriveMappingsLastBetweenPrograms) {
  Result r = nw("map G: sys:public");
  EXPECT_EQ(r.status, 0) << r.out;
  r = nw("map");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "G:  FS1//SYS:PUBLIC")) << r.out;
  EXPECT_TRUE(contains(r.out, "F:  [Free Net Device]")) << r.out;
  EXPECT_EQ(lines(r.out), 26u);

  EXPECT_EQ(nw("map del g:").status, 0);
  r = nw("map del G:");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1u) << r.out;

  for (const char* bad : {"map 1: SYS:PUBLIC", "map *: SYS:PUBLIC", "map G: 'SYS:..\\..\\etc'", "map G: /etc"}) {
    r = nw(bad);
    EXPECT_NE(r.status, 0) << bad << ": " << r.out;
    EXPECT_EQ(lines(r.out), 1u) << r.out;
  }
}

TEST_F(NwServerTool, CopyFiles) {
  const fs::path local = dir.path() / "note.txt";
  std::ofstream(local) << "a note\n";
  Result r = nw("ncopy " + local.string() + " 'SYS:PUBLIC\\NOTE.TXT'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(readFile(volume("FS1", "SYS") / "PUBLIC" / "NOTE.TXT"), "a note\n");

  r = nw("ncopy 'SYS:PUBLIC\\NOTE.TXT' 'DATA:SHARED\\NOTE.TXT'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(readFile(volume("FS1", "DATA") / "SHARED" / "NOTE.TXT"), "a note\n");

  r = nw("ncopy 'FS1/SYS:PUBLIC\\NOTE.TXT' 'sys:public\\note.txt'");
  EXPECT_NE(r.status, 0) << "a file copied onto itself";
  EXPECT_EQ(readFile(volume("FS1", "SYS") / "PUBLIC" / "NOTE.TXT"), "a note\n");
  r = nw("ncopy 'SYS:PUBLIC\\MISSING.TXT' " + (dir.path() / "x").string());
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1u) << r.out;
}

TEST_F(NwServerTool, ACopyRefusedByASpaceLimitSaysWhyAndLeavesNothing) {
  const fs::path big = dir.path() / "big.dat";
  std::ofstream(big, std::ios::binary) << std::string(3 << 20, 'x');
  fs::create_directory(volume("FS1", "SYS") / "PUBLIC" / "TIGHT");
  ASSERT_EQ(nw("limit 'SYS:PUBLIC\\TIGHT' 1000").status, 0);
  Result r = nw("ncopy " + big.string() + " 'SYS:PUBLIC\\TIGHT\\BIG.DAT'");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "a space limit or disk restriction leaves no room for it")) << r.out;
  EXPECT_EQ(lines(r.out), 1u) << r.out;
  EXPECT_TRUE(fs::is_empty(volume("FS1", "SYS") / "PUBLIC" / "TIGHT")) << "no partial file, no temporary";
}

TEST_F(NwServerTool, ALongCopyShowsItsProgressOnATerminal) {
  const fs::path big = dir.path() / "big.dat";
  std::ofstream(big, std::ios::binary) << std::string(2 << 20, 'x');
  // script(1) gives the copy a terminal; without one nothing but the result is printed.
  const std::string copy = "ncopy " + big.string() + " 'SYS:PUBLIC\\BIG.DAT'";
  Result r = run("script -qec \"env NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" +
                 net().string() + " NWSIM_WORKSTATION=WS-TEST " + NW_TOOL + " " + copy + "\" /dev/null");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "50% of 2048 KB copied")) << r.out;
  EXPECT_TRUE(contains(r.out, "100% of 2048 KB copied")) << r.out;
  r = nw(copy);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_FALSE(contains(r.out, "% of")) << r.out;
}

TEST_F(NwServerTool, OpenFilesOfAnotherWorkstation) {
  const fs::path signals = dir.path() / "signals";
  fs::create_directories(signals);
  const std::string helper = std::string(HOLD_FILE) + " " + net().string() + " WS-SALES 'SYS:PUBLIC\\README.TXT' " +
                             signals.string() + " &";
  ASSERT_EQ(std::system(("NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/full " + helper).c_str()), 0);
  for (int i = 0; i < 200 && !fs::exists(signals / "ready"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(fs::exists(signals / "ready"));

  Result r = nw("openfiles 5");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "SYS:PUBLIC\\README.TXT")) << r.out;
  r = nw("fileusers 'SYS:PUBLIC\\README.TXT'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "[5]   JSMITH\n");

  std::ofstream(signals / "stop") << "\n";
  for (int i = 0; i < 100; ++i) {
    r = nw("fileusers 'SYS:PUBLIC\\README.TXT'");
    if (r.out == "[0]  None\n") break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(r.out, "[0]  None\n");
  EXPECT_NE(nw("openfiles x").status, 0);
}

TEST_F(NwServerTool, LoginReadsThePasswordFromStandardInput) {
  Result r = nw("login FS2 MJONES", "WS-TEST", "wrong\n");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(lines(r.out), 1u) << r.out;
  r = nw("login fs2 mjones", "WS-TEST", "password\n");
  EXPECT_EQ(r.status, 0) << r.out;
  bool loggedIn = false;
  for (const auto& s : nwsim::stations())
    loggedIn |= s.workstation == "WS-TEST" && s.server == "FS2" && s.objectName == "MJONES";
  EXPECT_TRUE(loggedIn);
  EXPECT_EQ(nw("logout FS2").status, 0);
  EXPECT_NE(nw("logout FS2").status, 0);
  EXPECT_EQ(nw("attach FS2").status, 0);
  EXPECT_NE(nw("attach NOSUCH").status, 0);
}

TEST_F(NwServerTool, FailuresAreToldInWordsWithTheCodeTheServerGave) {
  struct Case { const char* ws; const char* args; const char* input; const char* told; };
  const Case cases[] = {
      {"WS-TEST", "login FS2 MJONES", "wrong\n", "(wrong password, code 89FA)"},
      {"WS-TEST", "attach NOSUCH", "", "no such server, code 8847"},
      {"WS-TEST", "pq jobs NOQ", "", "no print queue NOQ on server FS1 (no such object, code 89FC)"},
      {"WS-TEST", "members NOGROUP", "", "(no such object, code 89FC)"},
      {"WS-SALES", "ncopy SYS:SYSTEM\\NONE.TXT SYS:PUBLIC\\X.TXT", "", "(no such file)"},
  };
  for (const Case& c : cases) {
    Result r = nw(c.args, c.ws, c.input);
    EXPECT_EQ(r.status, 1) << c.args << ": " << r.out;
    EXPECT_TRUE(contains(r.out, c.told)) << c.args << ": " << r.out;
    EXPECT_FALSE(contains(r.out, "0000")) << c.args << ": " << r.out;
  }
}

TEST_F(NwServerTool, AfterLoggingOutOfEveryServerTheWorkstationCanLogInAgain) {
  for (const char* server : {"NDS1", "FS1"}) EXPECT_EQ(nw(std::string("logout ") + server).status, 0) << server;
  int left = 0;
  for (const auto& s : nwsim::stations()) left += s.workstation == "WS-TEST";
  EXPECT_EQ(left, 0) << "logout detaches";
  // The next program finds the workstation attached again, as the requester attaches to a
  // server when it has none, but nobody is logged in.
  Result r = nw("whoami");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "not logged in.")) << r.out;
  r = nw("slist");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "FS1")) << r.out;
  r = nw("login FS1 SUPERVISOR", "WS-TEST", "SECRET\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(nw("whoami").out, "You are user SUPERVISOR attached to server FS1")) << nw("whoami").out;
  EXPECT_EQ(nw("attach FS2").status, 0);
}

TEST_F(NwServerTool, ServerConsole) {
  Result r = nw("server info");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "NetWare version:      3.12")) << r.out;
  r = nw("server nlms");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "MONITOR.NLM")) << r.out;
  EXPECT_TRUE(contains(r.out, "1994-06-06")) << r.out;

  std::ofstream(volume("FS1", "SYS") / "SYSTEM" / "EXTRA.NLM") << "module";
  EXPECT_EQ(nw("server load 'SYS:SYSTEM\\EXTRA.NLM'").status, 0);
  EXPECT_TRUE(contains(nw("server nlms").out, "EXTRA.NLM"));
  EXPECT_EQ(nw("server unload extra.nlm").status, 0);
  EXPECT_NE(nw("server unload extra.nlm").status, 0);

  EXPECT_EQ(nw("server dismount data").status, 0);
  EXPECT_NE(nw("map G: DATA:SHARED").status, 0);
  r = nw("server mount DATA");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(nw("map G: DATA:SHARED").status, 0);
  EXPECT_NE(nw("server mount NOVOL").status, 0);

  EXPECT_EQ(nw("server set \"CACHE BUFFER SIZE\" 8192").status, 0);
  EXPECT_NE(nw("server set \"NO SUCH\" 1").status, 0);

  r = nw("server time \"2001-02-03 04:05:06\"");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "2001-02-03 04:05:")) << r.out;
  EXPECT_NE(nw("server time tomorrow").status, 0);

  EXPECT_EQ(nw("server logins off").status, 0);
  EXPECT_TRUE(contains(nw("server logins").out, "disabled"));
  EXPECT_NE(nw("login FS1 JSMITH", "WS-NEW", "swordfish\n").status, 0) << "logins are off";
  EXPECT_EQ(nw("server logins on").status, 0);

  r = nw("server logins off", "WS-GUEST");
  EXPECT_NE(r.status, 0) << "GUEST is no console operator";
  EXPECT_EQ(lines(r.out), 1u) << r.out;
  EXPECT_NE(nw("server frobnicate").status, 0);

  EXPECT_EQ(nw("server --server FS1 down").status, 0);
  EXPECT_NE(nw("server info").status, 0);
}
