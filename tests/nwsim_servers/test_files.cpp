// Files opened through the platform are the station's open files, seen from any program;
// NetWare handles of them, and copies on the server.
#include "servers_test.h"

#include <platform/files.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

extern char** environ;

namespace {

using nwtest::ServersTest;

// Another program holding a file open on workstation `ws`; killed at the end of the scope.
class Holder {
public:
  Holder(const std::filesystem::path& net, const std::string& ws, const std::string& path) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("NWSIM_", 0) != 0) env.emplace_back(*e);
    env.push_back("NWSIM_NETWORK=" + net.string());
    env.push_back("NWSIM_WORKSTATION=" + ws);
    std::vector<char*> envp;
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string prog = NWSIM_HOLDER, arg = path;
    char* argv[] = {prog.data(), arg.data(), nullptr};
    if (posix_spawn(&pid_, prog.c_str(), &fa, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(fds[1]);
    out_ = ::fdopen(fds[0], "r");
    char line[128] = {};
    if (out_ && std::fgets(line, sizeof line, out_)) ready_ = line;
  }
  ~Holder() {
    kill();
    if (out_) std::fclose(out_);
  }
  bool ready() const { return ready_.rfind("ready", 0) == 0; }
  const std::string& line() const { return ready_; }
  void kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
  std::string ready_;
};

class Files : public ServersTest {
protected:
  struct Open {
    std::string name;
    int access;
  };
  // The files station `station` of FS1 has open, as "DIR:PATH\\NAME" through the directory
  // handle of each record.
  std::vector<Open> openFiles(NWCONN_HANDLE h, nuint16 station, NWCCODE* end = nullptr) {
    std::vector<Open> out;
    nint32 iter = 0;
    OPEN_FILE_CONN_CTRL ctrl{};
    OPEN_FILE_CONN rec{};
    NWCCODE rc;
    while ((rc = CALLS(NWScanOpenFilesByConn2)(h, station, &iter, &ctrl, &rec)) == NWE_OK && out.size() < 100) {
      char dir[256];
      nuint32 dt = 0, owner = 0;
      nuint8 rights = 0;
      EXPECT_EQ(CALLS(NWIntScanDirectoryInformation2)(h, static_cast<nuint8>(rec.dirEntry & 0xFF), rec.fileName, nullptr,
                                                      dir, &dt, &owner, &rights, 0),
                NWE_OK);
      EXPECT_EQ(rec.nameLength, std::strlen(rec.fileName));
      out.push_back({std::string(dir) + "\\" + rec.fileName, rec.accessControl});
    }
    if (end) *end = rc;
    return out;
  }
  // The stations that have a file open; an empty list when nobody has.
  std::vector<nuint16> users(const char* path, nuint16* connCount = nullptr) {
    std::vector<nuint16> out;
    NWCONN_HANDLE h = primary();
    char result[256];
    nuint8 dh = 0;
    EXPECT_EQ(CALLS(NWParseNetWarePath)(path, &h, &dh, result), NWE_OK);
    nint32 iter = 0;
    CONN_USING_FILE one{};
    CONNS_USING_FILE sum{};
    while (CALLS(NWScanConnectionsUsingFile)(h, 0, result, &iter, &one, &sum) == NWE_OK && out.size() < 50) {
      if (connCount) *connCount = sum.connCount;
      if (sum.connCount == 0) break;
      out.push_back(one.connNumber);
    }
    return out;
  }
};

TEST_F(Files, FilesOpenedThroughThePlatformAreTheStationsOpenFiles) {
  NWCONN_HANDLE h = primary();
  const int a = platform::lopen("SYS:HOME\\JSMITH\\NOTES.TXT", platform::OF_READ);
  const int b = platform::lcreat("FS1/DATA:SHARED\\OUT.TXT");
  const int local = platform::lcreat((volume("FS1", "DATA") / "LOCAL.TXT").string());
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  ASSERT_GT(local, 0);
  NWCCODE end = 0;
  auto files = openFiles(h, 3, &end);
  EXPECT_EQ(end, NWE_NO_MORE_ENTRIES);
  ASSERT_EQ(files.size(), 2u) << "a file opened by its local path is not a NetWare open";
  EXPECT_EQ(files[0].name, "SYS:HOME\\JSMITH\\NOTES.TXT");
  EXPECT_EQ(files[0].access, 1);
  EXPECT_EQ(files[1].name, "DATA:SHARED\\OUT.TXT");
  EXPECT_EQ(files[1].access, 3);

  platform::lclose(a);
  files = openFiles(h, 3);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "DATA:SHARED\\OUT.TXT");
  platform::lclose(b);
  platform::lclose(local);
  EXPECT_TRUE(openFiles(h, 3, &end).empty());
  EXPECT_EQ(end, NWE_NO_MORE_ENTRIES);
}

TEST_F(Files, AnotherStationsFilesNeedConsoleRights) {
  EXPECT_EQ(CALLS(NWScanOpenFilesByConn2)(as("WS-SALES"), 3, nullptr, nullptr, nullptr), NWE_INVALID_PARAMETER);
  nint32 iter = 0;
  OPEN_FILE_CONN_CTRL ctrl{};
  OPEN_FILE_CONN rec{};
  EXPECT_EQ(CALLS(NWScanOpenFilesByConn2)(as("WS-SALES"), 3, &iter, &ctrl, &rec), NWE_NO_CONSOLE_RIGHTS);
  EXPECT_EQ(CALLS(NWScanOpenFilesByConn2)(as("WS-ACCT"), 3, &iter, &ctrl, &rec), NWE_NO_MORE_ENTRIES);
  EXPECT_EQ(CALLS(NWScanOpenFilesByConn2)(as("WS-ACCT"), 99, &iter, &ctrl, &rec), NWE_BAD_STATION_NUMBER);
}

TEST_F(Files, OpenFilesOfAnotherProgramAreSeenAndReleasedWhenItIsKilled) {
  EXPECT_TRUE(users("SYS:PUBLIC\\MAP.EXE").empty());
  nuint16 count = 99;
  users("SYS:PUBLIC\\MAP.EXE", &count);
  EXPECT_EQ(count, 0) << "nobody: one reply with no stations";

  Holder sales(net->dir(), "WS-SALES", "FS1/SYS:PUBLIC\\MAP.EXE");
  ASSERT_TRUE(sales.ready()) << sales.line();
  Holder acct(net->dir(), "WS-ACCT", "SYS:PUBLIC\\MAP.EXE");
  ASSERT_TRUE(acct.ready()) << acct.line();
  EXPECT_EQ(users("SYS:PUBLIC\\MAP.EXE", &count), (std::vector<nuint16>{5, 7}));
  EXPECT_EQ(count, 2);
  auto files = openFiles(primary(), 5);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "SYS:PUBLIC\\MAP.EXE");

  sales.kill();
  EXPECT_EQ(users("SYS:PUBLIC\\MAP.EXE"), (std::vector<nuint16>{7}));
  EXPECT_TRUE(openFiles(primary(), 5).empty());
  acct.kill();
  EXPECT_TRUE(users("SYS:PUBLIC\\MAP.EXE").empty());

  NWCONN_HANDLE h = primary();
  nint32 iter = 0;
  CONN_USING_FILE one{};
  CONNS_USING_FILE sum{};
  EXPECT_EQ(CALLS(NWScanConnectionsUsingFile)(h, 0, "SYS:PUBLIC\\NOFILE.EXE", &iter, &one, &sum), NWE_FILE_NOT_FOUND);
}

TEST_F(Files, ConvertFileHandleGivesTheNetWareHandle) {
  NWCONN_HANDLE h = primary();
  const int fd = platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READ);
  ASSERT_GT(fd, 0);
  nuint8 nw[4] = {};
  NWCONN_HANDLE conn = 0;
  ASSERT_EQ(CALLS(NWConvertFileHandle)(static_cast<nuint32>(fd), 2, nw, &conn), NWE_OK);
  EXPECT_EQ(conn, h);
  EXPECT_NE(nw[0] | nw[1] | nw[2] | nw[3], 0);
  platform::lclose(fd);
  EXPECT_EQ(CALLS(NWConvertFileHandle)(static_cast<nuint32>(fd), 2, nw, &conn), NWE_INVALID_FILE_HANDLE);
  EXPECT_EQ(CALLS(NWConvertFileHandle)(0, 2, nw, &conn), NWE_INVALID_FILE_HANDLE);
}

TEST_F(Files, ServerCopyBetweenTwoOpenFiles) {
  primary();
  nwsim::createVolumeFile("FS1", "DATA", "BIG\\SOURCE.BIN", 300000);
  const int src = platform::lopen("DATA:BIG\\SOURCE.BIN", platform::OF_READ);
  const int dst = platform::lcreat("SYS:HOME\\JSMITH\\COPY.BIN");
  ASSERT_GT(src, 0);
  ASSERT_GT(dst, 0);
  nuint32 copied = 0;
  ASSERT_EQ(CALLS(NWFileServerFileCopy)(src, dst, 0, 0, 300000, &copied), NWE_OK);
  EXPECT_EQ(copied, 300000u);
  EXPECT_EQ(CALLS(NWFileServerFileCopy)(src, dst, 299990, 0, 100, &copied), NWE_OK);
  EXPECT_EQ(copied, 10u) << "the end of the source ends the copy";
  EXPECT_EQ(CALLS(NWFileServerFileCopy)(src, src, 0, 0, 10, &copied), NWE_INVALID_PARAMETER);
  EXPECT_EQ(CALLS(NWFileServerFileCopy)(src, 12345, 0, 0, 10, &copied), NWE_INVALID_FILE_HANDLE);
  platform::lclose(src);
  platform::lclose(dst);
  std::ifstream a(volume("FS1", "DATA") / "BIG" / "SOURCE.BIN", std::ios::binary);
  std::ifstream b(volume("FS1", "SYS") / "HOME" / "JSMITH" / "COPY.BIN", std::ios::binary);
  std::string ta((std::istreambuf_iterator<char>(a)), {}), tb((std::istreambuf_iterator<char>(b)), {});
  ASSERT_EQ(tb.size(), 300000u);
  EXPECT_EQ(tb.substr(10), ta.substr(10));
  EXPECT_EQ(tb.substr(0, 10), ta.substr(299990, 10));

  // Files on two servers cannot be copied on one of them.
  NWCONN_HANDLE fs2 = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_OK);
  ASSERT_EQ(CALLS(NWLoginToFileServer)(fs2, "SUPERVISOR", 0x0100, ""), NWE_OK) << "writing on FS2 needs a login";
  const int other = platform::lcreat("FS2/SYS:SYSTEM\\X.BIN");
  const int again = platform::lopen("DATA:BIG\\SOURCE.BIN", platform::OF_READ);
  ASSERT_GT(other, 0);
  EXPECT_EQ(CALLS(NWFileServerFileCopy)(again, other, 0, 0, 10, &copied), NWE_NOT_SAME_CONNECTION);
  platform::lclose(other);
  platform::lclose(again);
}

} // namespace
