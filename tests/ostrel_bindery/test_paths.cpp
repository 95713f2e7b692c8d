// NetWare paths, the drive table, file copy and open files.
#include "bindery_fixture.h"

#include <platform/dialogs.h>
#include <platform/files.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

using namespace binderytest;
using ostrel::lasterror;
namespace fs = std::filesystem;

extern char** environ;

namespace {

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const std::string& content) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

NWCONN_HANDLE handleOf(const std::string& server) {
  for (const auto& s : nwsim::stations())
    if (s.workstation == nwsim::currentWorkstation() && s.server == server) return s.handle;
  return 0;
}

/// Installs a recording cursor for the scope.
struct CursorRecorder {
  std::shared_ptr<platform::RecordingCursor> cursor = std::make_shared<platform::RecordingCursor>();
  std::shared_ptr<platform::CursorService> previous = platform::setCursorService(cursor);
  ~CursorRecorder() { platform::setCursorService(previous); }
};

} // namespace

class PathTest : public BinderyTest {
protected:
  fs::path volume(const std::string& server, const std::string& name) const {
    return netDir() / "volumes" / server / name;
  }
};

// ---- Paths -----------------------------------------------------------------------------

TEST_F(PathTest, ParseAVolumeOnlyPath) {
  ostrel::TNWPathInfo info;
  ASSERT_TRUE(ostrel::parseNetwarePath(0, "sys:", info)) << unitError();
  EXPECT_EQ(info.connHandle, ostrel::getPrimaryServerID());
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_EQ(info.volName, "SYS:");
  EXPECT_EQ(info.volNumber, 0);
  EXPECT_EQ(info.path, "\\");
  EXPECT_EQ(info.fullPath, "SYS:");
}

TEST_F(PathTest, ParseAPathOnAnotherServer) {
  ostrel::TNWPathInfo info;
  ASSERT_TRUE(ostrel::parseNetwarePath(0, "fs2/sys:public", info)) << unitError();
  EXPECT_EQ(info.connHandle, handleOf("FS2"));
  EXPECT_EQ(info.serverName, "FS2");
  EXPECT_EQ(info.path, "PUBLIC\\");
  EXPECT_EQ(info.fullPath, "SYS:PUBLIC");
  ASSERT_TRUE(ostrel::parseNetwarePath(0, "DATA:shared\\report.txt", info)) << unitError();
  EXPECT_EQ(info.volName, "DATA:");
  EXPECT_EQ(info.volNumber, 1);
  EXPECT_EQ(info.path, "SHARED\\REPORT.TXT\\");
}

TEST_F(PathTest, PathsThatLeaveTheVolumeAreRefused) {
  const std::vector<std::string> escapes = {"SYS:..\\..\\etc", "SYS:PUBLIC\\..\\..\\..\\etc\\passwd", "SYS:.\\PUBLIC",
                                            "/etc/passwd", "NOVOL:PUBLIC", "FS1/SYS:PUBLIC\\\\..\\X"};
  for (const auto& path : escapes) {
    ostrel::TNWPathInfo info;
    EXPECT_FALSE(ostrel::parseNetwarePath(0, path, info)) << path;
    ostrel::TNWParsedPath parsed;
    EXPECT_FALSE(ostrel::getPathInfo(path, parsed)) << path;
    EXPECT_FALSE(ostrel::map('H', path)) << path;
    EXPECT_TRUE(ostrel::getOpenFileUsers(0, path)->Empty()) << path;
  }
  ostrel::TNWMapInfo map;
  EXPECT_FALSE(ostrel::getMapInfo('H', map)) << "nothing was mapped";
}

TEST_F(PathTest, VolumeLookupsThatFailLeaveZeroAndAnEmptyName) {
  ostrel::TNWPathInfo info;
  info.volNumber = 77;
  nwsim::injectFault("NWGetVolumeNumber", NWE_VOLUME_DOES_NOT_EXIST);
  nwsim::injectFault("NWGetVolumeName", NWE_VOLUME_DOES_NOT_EXIST);
  ASSERT_TRUE(ostrel::parseNetwarePath(0, "DATA:SHARED", info));
  EXPECT_EQ(info.volNumber, 0);
  EXPECT_EQ(info.volName, ":");
  EXPECT_EQ(info.path, "SHARED\\");
}

TEST_F(PathTest, PathInfoSplitsServerVolumeAndDirectory) {
  ostrel::TNWParsedPath parsed;
  ASSERT_TRUE(ostrel::getPathInfo("fs1/data:shared\\report.txt", parsed)) << unitError();
  EXPECT_EQ(parsed.connHandle, ostrel::getPrimaryServerID());
  EXPECT_EQ(parsed.serverName, "FS1");
  EXPECT_EQ(parsed.volName, "DATA");
  EXPECT_EQ(parsed.dirPath, "SHARED\\REPORT.TXT");
  parsed.serverName = "stale";
  unit->resetLastError();
  EXPECT_FALSE(ostrel::getPathInfo("/tmp/local", parsed));
  EXPECT_EQ(parsed.serverName, "") << "cleared before the call";
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_INVALID_PATH));
}

// ---- Drives ----------------------------------------------------------------------------

TEST_F(PathTest, MapShowAndDelete) {
  EXPECT_EQ(ostrel::getFirstNetDrive(), 'F');
  EXPECT_EQ(ostrel::getNextNetDrive(), 'F');
  ASSERT_TRUE(ostrel::map('g', "sys:public")) << unitError();
  ASSERT_TRUE(ostrel::map('F', "FS2/SYS:PUBLIC")) << unitError();
  EXPECT_EQ(ostrel::getNextNetDrive(), 'H');

  ostrel::TNWMapInfo info;
  ASSERT_TRUE(ostrel::getMapInfo('g', info)) << unitError();
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_EQ(info.path, "FS1/SYS:PUBLIC");
  EXPECT_GE(info.status, 0x2000);
  EXPECT_EQ(info.connHandle, ostrel::getPrimaryServerID());

  auto table = names(*ostrel::mapShow());
  ASSERT_EQ(table.size(), 26u);
  EXPECT_EQ(table[0], "A:  [Local Device]");
  EXPECT_EQ(table[3], "D:  [CD-ROM Drive]");
  EXPECT_EQ(table[5], "F:  FS2//SYS:PUBLIC");
  EXPECT_EQ(table[6], "G:  FS1//SYS:PUBLIC");
  EXPECT_EQ(table[7], "H:  [Free Net Device]");

  // Files on the drive reach the volume.
  EXPECT_TRUE(platform::fileExists("G:\\README.TXT"));
  EXPECT_TRUE(ostrel::mapDelete("g:"));
  EXPECT_FALSE(platform::fileExists("G:\\README.TXT"));
  unit->resetLastError();
  EXPECT_FALSE(ostrel::mapDelete("G"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_INVALID_DRIVE));
  EXPECT_FALSE(ostrel::mapDelete(""));
}

TEST_F(PathTest, RemappingReplacesTheMapping) {
  ASSERT_TRUE(ostrel::map('G', "SYS:PUBLIC"));
  ASSERT_TRUE(ostrel::map('G', "DATA:SHARED"));
  ostrel::TNWMapInfo info;
  ASSERT_TRUE(ostrel::getMapInfo('G', info));
  EXPECT_EQ(info.path, "FS1/DATA:SHARED");
}

TEST_F(PathTest, DriveLettersOutsideAToZNeverReachTheClient) {
  nwsim::resetCallCounts();
  for (char letter : {'\0', '*', '1', '[', '@', '`', '{', static_cast<char>(0xC7)}) {
    EXPECT_FALSE(ostrel::map(letter, "SYS:PUBLIC")) << int(letter);
    EXPECT_FALSE(ostrel::mapDelete(std::string(1, letter))) << int(letter);
    ostrel::TNWMapInfo info;
    EXPECT_FALSE(ostrel::getMapInfo(letter, info)) << int(letter);
  }
  EXPECT_EQ(nwsim::callCount("NWParseNetWarePath"), 0u);
  EXPECT_EQ(nwsim::callCount("NWSetDriveBase"), 0u);
  EXPECT_EQ(nwsim::callCount("NWDeleteDriveBase"), 0u);
  EXPECT_EQ(nwsim::callCount("NWGetDriveStatus"), 0u);
}

TEST_F(PathTest, LocalDriveInfoIsRefusedAndLeavesEverythingAlone) {
  ostrel::TNWMapInfo info;
  info.serverName = "untouched";
  unit->resetLastError();
  EXPECT_FALSE(ostrel::getMapInfo('C', info));
  EXPECT_EQ(info.serverName, "untouched");
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(PathTest, WithoutAFirstNetworkDrive) {
  nwsim::injectFault("NWGetFirstDrive", NWE_FAILURE, 3);
  EXPECT_EQ(ostrel::getFirstNetDrive(), '\0');
  nwsim::resetCallCounts();
  EXPECT_EQ(ostrel::getNextNetDrive(), '\0');
  EXPECT_EQ(nwsim::callCount("NWGetDriveStatus"), 0u) << "no drive numbers below 1";
  // Every drive is labelled by its status: free drives read [Unknown].
  auto table = names(*ostrel::mapShow());
  ASSERT_EQ(table.size(), 26u);
  EXPECT_EQ(table[2], "C:  [Local Device]");
  EXPECT_EQ(table[7], "H:  [Unknown]");
}

TEST_F(PathTest, NoFreeDriveAfterTheFirstNetworkDrive) {
  for (char letter = 'F'; letter <= 'Z'; ++letter) ASSERT_TRUE(ostrel::map(letter, "SYS:PUBLIC")) << letter;
  EXPECT_EQ(ostrel::getNextNetDrive(), '\0');
}

// ---- Copy ------------------------------------------------------------------------------

TEST_F(PathTest, LocalCopyKeepsTheDateAndTheReadOnlySource) {
  CursorRecorder recorder;
  const fs::path src = dir.path() / "src.bin", dst = dir.path() / "out" / "dst.bin";
  std::string content(5000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  writeFile(src, content);
  fs::create_directories(dst.parent_path());
  const auto date = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(src, date);
  fs::permissions(src, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  ASSERT_TRUE(ostrel::nCopy(src.string(), dst.string()));
  EXPECT_EQ(readFile(dst), content);
  EXPECT_EQ(fs::last_write_time(dst), date);
  EXPECT_EQ(fs::status(src).permissions() & fs::perms::owner_write, fs::perms::none) << "still read-only";
  EXPECT_EQ(recorder.cursor->history, (std::vector<int>{platform::crHourGlass, platform::crDefault}));
}

TEST_F(PathTest, CopyOfAMissingSourceLeavesTheCursor) {
  CursorRecorder recorder;
  EXPECT_FALSE(ostrel::nCopy((dir.path() / "missing").string(), (dir.path() / "x").string()));
  EXPECT_EQ(recorder.cursor->current, platform::crDefault);
  EXPECT_FALSE(fs::exists(dir.path() / "x"));
}

TEST_F(PathTest, CopyingAFileOntoItselfDestroysNothing) {
  const fs::path src = dir.path() / "self.txt";
  writeFile(src, "precious");
  const std::string other = (dir.path() / "." / "self.txt").string();
  EXPECT_FALSE(ostrel::nCopy(src.string(), src.string()));
  EXPECT_FALSE(ostrel::nCopy(src.string(), other));
  EXPECT_EQ(readFile(src), "precious");

  const fs::path readme = volume("FS1", "SYS") / "PUBLIC" / "README.TXT";
  ASSERT_TRUE(fs::exists(readme));
  EXPECT_FALSE(ostrel::nCopy("FS1/SYS:PUBLIC\\README.TXT", "sys:public\\readme.txt"));
  EXPECT_FALSE(ostrel::_nwCopy("SYS:PUBLIC\\README.TXT", "FS1/SYS:PUBLIC\\README.TXT"));
  ASSERT_TRUE(ostrel::map('G', "SYS:PUBLIC"));
  EXPECT_FALSE(ostrel::nCopy("G:\\README.TXT", "SYS:PUBLIC\\README.TXT"));
  EXPECT_FALSE(ostrel::nCopy("G:\\README.TXT", readme.string()));
  EXPECT_EQ(readFile(readme), "hello, world\n");
}

TEST_F(PathTest, CopyBetweenVolumesRunsOnTheServer) {
  nwsim::resetCallCounts();
  ASSERT_TRUE(ostrel::nCopy("DATA:SHARED\\REPORT.TXT", "SYS:PUBLIC\\REPORT.TXT")) << unitError();
  EXPECT_EQ(nwsim::callCount("NWFileServerFileCopy"), 1u);
  EXPECT_EQ(readFile(volume("FS1", "SYS") / "PUBLIC" / "REPORT.TXT"), "quarterly figures\n");
}

TEST_F(PathTest, CopyToALocalFileGoesThroughTheWorkstation) {
  const fs::path dst = dir.path() / "report.txt";
  ASSERT_TRUE(ostrel::nCopy("FS1/DATA:SHARED\\REPORT.TXT", dst.string())) << unitError();
  EXPECT_EQ(readFile(dst), "quarterly figures\n");
  EXPECT_EQ(fs::last_write_time(dst), fs::last_write_time(volume("FS1", "DATA") / "SHARED" / "REPORT.TXT"));
}

TEST_F(PathTest, AFailedServerCopyFallsBackToTheWorkstation) {
  nwsim::injectFault("NWFileServerFileCopy", NWE_FAILURE);
  ASSERT_TRUE(ostrel::nCopy("DATA:SHARED\\REPORT.TXT", "SYS:PUBLIC\\R2.TXT"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_FAILURE)) << "the server's refusal is recorded";
  EXPECT_EQ(readFile(volume("FS1", "SYS") / "PUBLIC" / "R2.TXT"), "quarterly figures\n");
}

TEST_F(PathTest, ATruncatedCopyIsAFailureAndLeavesTheDestinationAsItWas) {
  const fs::path src = dir.path() / "big.bin", dst = dir.path() / "big.copy";
  writeFile(src, std::string(24 << 20, 'x'));
  writeFile(dst, "the copy before");

  // A disk that fills up after 16 MB: writes beyond it come back short.
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 16 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool copied = ostrel::nCopy(src.string(), dst.string());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(copied);
  EXPECT_EQ(readFile(dst), "the copy before");
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir.path())) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"big.bin", "big.copy", "net"})) << "the temporary is gone";
}

// ---- Open files ------------------------------------------------------------------------

/// Another program on workstation WS-SALES (JSMITH, station 5 of FS1) holding a file open.
class OtherProgram {
public:
  OtherProgram(const fs::path& network, const std::string& path, const fs::path& signals) : signals_(signals) {
    fs::create_directories(signals);
    std::vector<std::string> args = {HOLD_FILE, network.string(), "WS-SALES", path, signals.string()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, HOLD_FILE, nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
  }
  bool ready() {
    for (int i = 0; i < 200 && pid_; ++i) {
      if (fs::exists(signals_ / "ready")) return true;
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) return pid_ = 0, false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  void stop() {
    if (!pid_) return;
    std::ofstream(signals_ / "stop") << "\n";
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
  }
  ~OtherProgram() { stop(); }

private:
  fs::path signals_;
  pid_t pid_ = 0;
};

TEST_F(PathTest, OpenFilesOfAnotherProgramAreSeenAndReleased) {
  OtherProgram other(netDir(), "FS1/DATA:SHARED\\REPORT.TXT", dir.path() / "signals");
  ASSERT_TRUE(other.ready());

  auto files = ostrel::getConnOpenFiles(0, 5);
  ASSERT_EQ(files->Count(), 1) << unitError();
  EXPECT_EQ((*files)[0], "DATA:SHARED\\REPORT.TXT");
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_MORE_ENTRIES)) << "the end of the scan is recorded";

  auto users = ostrel::getOpenFileUsers(0, "data:shared\\report.txt");
  ASSERT_EQ(names(*users), (std::vector<std::string>{"[5]   JSMITH"}));
  EXPECT_EQ(static_cast<std::uint32_t>(objects(*users)[0]), clientForm(0x1A000010));

  other.stop();
  EXPECT_TRUE(ostrel::getConnOpenFiles(0, 5)->Empty());
  EXPECT_EQ(names(*ostrel::getOpenFileUsers(0, "DATA:SHARED\\REPORT.TXT")), (std::vector<std::string>{"[0]  None"}));
}

TEST_F(PathTest, OpenFilesOfThisProgramAndTheirHandles) {
  const int handle = platform::lopen("SYS:PUBLIC\\README.TXT", platform::OF_READ);
  ASSERT_GE(handle, 1);
  auto users = names(*ostrel::getOpenFileUsers(0, "SYS:PUBLIC\\README.TXT"));
  EXPECT_EQ(users, (std::vector<std::string>{"[3]   SUPERVISOR"}));
  EXPECT_NE(ostrel::convertLocalFileHandle(static_cast<std::uint16_t>(handle)), 0);
  platform::lclose(handle);
  unit->resetLastError();
  EXPECT_EQ(ostrel::convertLocalFileHandle(static_cast<std::uint16_t>(handle)), 0);
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_INVALID_FILE_HANDLE));
}

TEST_F(PathTest, OpenFileScansRecordTheirFailures) {
  nwsim::injectFault("NWScanOpenFilesByConn2", NWE_BAD_STATION_NUMBER);
  EXPECT_TRUE(ostrel::getConnOpenFiles(0, 5)->Empty());
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_BAD_STATION_NUMBER));
  unit->resetLastError();
  EXPECT_TRUE(ostrel::getOpenFileUsers(0, "SYS:NOSUCH\\FILE.TXT")->Empty());
  EXPECT_NE(lasterror(), 0);
}

TEST_F(PathTest, CopiesCloseEveryFileTheyOpen) {
  auto openDescriptors = [] {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
  };
  const fs::path src = dir.path() / "src.txt";
  writeFile(src, "content");
  const std::size_t before = openDescriptors();
  EXPECT_TRUE(ostrel::nCopy(src.string(), (dir.path() / "ok.txt").string()));
  EXPECT_FALSE(ostrel::nCopy(src.string(), (dir.path() / "no" / "such" / "dir.txt").string()));
  EXPECT_TRUE(ostrel::nCopy("DATA:SHARED\\REPORT.TXT", "SYS:PUBLIC\\R.TXT"));
  EXPECT_FALSE(ostrel::_nwCopy("DATA:SHARED\\REPORT.TXT", "SYS:NOSUCHDIR\\R.TXT"));
  nwsim::injectFault("NWFileServerFileCopy", NWE_FAILURE);
  EXPECT_FALSE(ostrel::_nwCopy("DATA:SHARED\\REPORT.TXT", "SYS:PUBLIC\\R3.TXT"));
  EXPECT_EQ(openDescriptors(), before);
}
