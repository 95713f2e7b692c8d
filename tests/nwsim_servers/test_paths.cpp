// NetWare paths, volumes, the drive table and the redirector's refusal to leave a volume.
#include "servers_test.h"

#include <platform/files.h>

#include <unistd.h>

#include <fstream>

namespace {

using nwtest::ServersTest;

class Paths : public ServersTest {
protected:
  NWCCODE parse(const char* path, std::string& result, NWCONN_HANDLE& conn) {
    char buffer[128];
    std::memset(buffer, 0x55, sizeof buffer);
    nuint8 dh = 9;
    const NWCCODE rc = CALLS(NWParseNetWarePath)(path, &conn, &dh, buffer);
    if (rc == NWE_OK) {
      EXPECT_EQ(dh, 0);
      EXPECT_NE(std::memchr(buffer, 0, sizeof buffer), nullptr);
      result = buffer;
    }
    return rc;
  }
};

struct ParseCase {
  const char* path;
  NWCCODE code;
  const char* result;
};

TEST_F(Paths, ParseNetWarePathsOfEveryForm) {
  const ParseCase cases[] = {
      {"FS1/SYS:PUBLIC\\MAP.EXE", NWE_OK, "SYS:PUBLIC\\MAP.EXE"},
      {"fs1/sys:public/map.exe", NWE_OK, "SYS:PUBLIC\\MAP.EXE"},
      {"FS1\\DATA:SHARED", NWE_OK, "DATA:SHARED"},
      {"SYS:", NWE_OK, "SYS:"},
      {"SYS:\\PUBLIC\\", NWE_OK, "SYS:PUBLIC"},
      {"SYS:NEW\\FILE.TXT", NWE_OK, "SYS:NEW\\FILE.TXT"},  // need not exist
      {"FS2/SYS:LOGIN", NWE_OK, "SYS:LOGIN"},
      {"NOVOL:X", NWE_VOLUME_DOES_NOT_EXIST, nullptr},
      {"FS9/SYS:X", NWE_SERVER_NOT_FOUND, nullptr},
      {"PUBLIC\\MAP.EXE", NWE_INVALID_PATH, nullptr},      // no volume, no handle
      {"SYS:..\\X", NWE_INVALID_PATH, nullptr},
      {"SYS:PUBLIC\\..\\..\\X", NWE_INVALID_PATH, nullptr},
      {"SYS:PUBLIC/./MAP.EXE", NWE_INVALID_PATH, nullptr},
      {"SYS:C:\\ETC", NWE_INVALID_PATH, nullptr},
      {"FS1/SYS:/../../etc/passwd", NWE_INVALID_PATH, nullptr},
      {"SYS:PUBLIC\\*.EXE", NWE_INVALID_PATH, nullptr},
      {"G:\\PUBLIC", NWE_INVALID_DRIVE, nullptr},          // not mapped
      {"C:\\AUTOEXEC.BAT", NWE_INVALID_PATH, nullptr},     // the workstation's own disk
  };
  for (const auto& c : cases) {
    NWCONN_HANDLE conn = 0;
    std::string result;
    EXPECT_EQ(parse(c.path, result, conn), c.code) << c.path;
    if (c.result) {
      EXPECT_EQ(result, c.result) << c.path;
    }
  }
}

TEST_F(Paths, ParseTakesTheConnectionOfTheNamedServer) {
  NWCONN_HANDLE fs2 = 0;
  ASSERT_EQ(CALLS(NWGetConnectionHandle)("FS2", 0, &fs2, nullptr), NWE_OK);
  NWCONN_HANDLE conn = 0;
  std::string result;
  ASSERT_EQ(parse("FS2/SYS:PUBLIC", result, conn), NWE_OK);
  EXPECT_EQ(conn, fs2);
  conn = fs2;
  ASSERT_EQ(parse("DATA:SHARED", result, conn), NWE_VOLUME_DOES_NOT_EXIST) << "FS2 has no DATA";
  conn = 0;
  ASSERT_EQ(parse("DATA:SHARED", result, conn), NWE_OK) << "0: the primary connection (FS1)";
  EXPECT_EQ(conn, primary());
}

TEST_F(Paths, ParseRefusesAResultLongerThanItsBuffer) {
  std::string path = "SYS:";
  while (path.size() < 140) path += "ABCDEFGH\\";
  NWCONN_HANDLE conn = 0;
  std::string result;
  EXPECT_EQ(parse(path.c_str(), result, conn), NWE_INVALID_PATH);
}

TEST_F(Paths, ParsePathSplitsServerVolumeAndDirectory) {
  char server[256], volume[256], dir[256];
  NWCONN_HANDLE conn = 0;
  ASSERT_EQ(CALLS(NWParsePath)("FS1/SYS:HOME\\JSMITH", server, &conn, volume, dir), NWE_OK);
  EXPECT_STREQ(server, "FS1");
  EXPECT_STREQ(volume, "SYS");
  EXPECT_STREQ(dir, "HOME\\JSMITH");
  EXPECT_EQ(conn, primary());
  EXPECT_EQ(CALLS(NWParsePath)("/tmp/local", server, &conn, volume, dir), NWE_INVALID_PATH);
  EXPECT_STREQ(server, "");
  EXPECT_EQ(conn, 0u);
}

TEST_F(Paths, VolumesByNameAndNumber) {
  NWCONN_HANDLE h = primary();
  nuint16 number = 99;
  ASSERT_EQ(CALLS(NWGetVolumeNumber)(h, "data", &number), NWE_OK);
  EXPECT_EQ(number, 1);
  ASSERT_EQ(CALLS(NWGetVolumeNumber)(h, "SYS:", &number), NWE_OK);
  EXPECT_EQ(number, 0);
  char name[16];
  ASSERT_EQ(CALLS(NWGetVolumeName)(h, 1, name), NWE_OK);
  EXPECT_STREQ(name, "DATA");
  EXPECT_EQ(CALLS(NWGetVolumeName)(h, 7, name), NWE_VOLUME_DOES_NOT_EXIST);
  EXPECT_EQ(CALLS(NWGetVolumeNumber)(h, "VOL1", &number), NWE_VOLUME_DOES_NOT_EXIST);
}

TEST_F(Paths, DriveTableOfAWorkstation) {
  nuint16 first = 0;
  ASSERT_EQ(CALLS(NWGetFirstDrive)(&first), NWE_OK);
  EXPECT_EQ(first, 6);

  auto status = [](nuint16 drive, NWCONN_HANDLE* conn = nullptr, std::string* root = nullptr, std::string* full = nullptr) {
    nuint16 st = 0xFFFF;
    NWCONN_HANDLE c = 0;
    char r[256], rel[256], f[256];
    EXPECT_EQ(CALLS(NWGetDriveStatus)(drive, 0, &st, &c, r, rel, f), NWE_OK);
    if (conn) *conn = c;
    if (root) *root = r;
    if (full) *full = f;
    return st;
  };
  EXPECT_EQ(status(1), NW_DRIVE_LOCAL_REMOVABLE);
  EXPECT_EQ(status(3), NW_DRIVE_LOCAL);
  EXPECT_EQ(status(4), NW_DRIVE_CDROM);
  EXPECT_EQ(status(7), NW_DRIVE_FREE);

  NWCONN_HANDLE h = primary();
  ASSERT_EQ(CALLS(NWSetDriveBase)(7, h, 0, "SYS:HOME\\JSMITH", 0), NWE_OK);
  NWCONN_HANDLE conn = 0;
  std::string root, full;
  EXPECT_EQ(status(7, &conn, &root, &full), NW_DRIVE_NETWORK);
  EXPECT_EQ(conn, h);
  EXPECT_EQ(root, "SYS:HOME\\JSMITH");
  EXPECT_EQ(full, "FS1/SYS:HOME\\JSMITH");

  // Paths on the drive resolve below its base.
  NWCONN_HANDLE c = 0;
  char result[256];
  nuint8 dh = 0;
  ASSERT_EQ(CALLS(NWParseNetWarePath)("G:\\NOTES.TXT", &c, &dh, result), NWE_OK);
  EXPECT_STREQ(result, "SYS:HOME\\JSMITH\\NOTES.TXT");
  EXPECT_EQ(CALLS(NWParseNetWarePath)("G:\\..\\MJONES", &c, &dh, result), NWE_INVALID_PATH);

  EXPECT_EQ(CALLS(NWSetDriveBase)(3, h, 0, "SYS:", 0), NWE_INVALID_DRIVE) << "C: is local";
  EXPECT_EQ(CALLS(NWSetDriveBase)(27, h, 0, "SYS:", 0), NWE_INVALID_DRIVE);
  EXPECT_EQ(CALLS(NWSetDriveBase)(8, h, 0, "SYS:NO\\SUCH", 0), NWE_INVALID_PATH) << "the directory must exist";
  EXPECT_EQ(CALLS(NWGetDriveStatus)(0, 0, nullptr, nullptr, nullptr, nullptr, nullptr), NWE_INVALID_DRIVE);

  // Another workstation has a table of its own; this one's is kept for its next program.
  nwsim::useWorkstation("WS-SALES");
  EXPECT_EQ(status(7), NW_DRIVE_FREE);
  nwsim::useWorkstation("WS-TEST");
  EXPECT_EQ(status(7), NW_DRIVE_NETWORK);
  ASSERT_EQ(CALLS(NWDeleteDriveBase)(7, 0), NWE_OK);
  EXPECT_EQ(status(7), NW_DRIVE_FREE);
  EXPECT_EQ(CALLS(NWDeleteDriveBase)(7, 0), NWE_INVALID_DRIVE);
}

TEST_F(Paths, FirstNetworkDriveComesFromNetCfg) {
  {
    std::ofstream cfg(net->dir() / "net.cfg", std::ios::app);
    cfg << "NetWare DOS Requester\n    FIRST NETWORK DRIVE = H\n";
  }
  nuint16 first = 0;
  ASSERT_EQ(CALLS(NWGetFirstDrive)(&first), NWE_OK);
  EXPECT_EQ(first, 8);
}

TEST_F(Paths, RedirectorOpensFilesOnVolumesThroughThePlatform) {
  primary();  // the client is loaded
  const int fd = platform::lopen("FS1/SYS:HOME\\JSMITH\\NOTES.TXT", platform::OF_READ);
  ASSERT_GT(fd, 0);
  char text[64] = {};
  EXPECT_EQ(platform::lread(fd, text, sizeof text - 1), 21);
  EXPECT_STREQ(text, "Call the printer man.");
  platform::lclose(fd);

  const int out = platform::lcreat("data:shared\\new.txt");
  ASSERT_GT(out, 0);
  EXPECT_EQ(platform::lwrite(out, "abc", 3), 3);
  platform::lclose(out);
  EXPECT_TRUE(std::filesystem::exists(volume("FS1", "DATA") / "SHARED" / "NEW.TXT")) << "names are upper case";

  ASSERT_EQ(CALLS(NWSetDriveBase)(7, primary(), 0, "DATA:SHARED", 0), NWE_OK);
  EXPECT_TRUE(platform::fileExists("G:\\REPORT.TXT"));
  EXPECT_FALSE(platform::fileExists("H:\\REPORT.TXT")) << "H: is not mapped";
  EXPECT_EQ(platform::resolvePath("SYS:..\\..\\network.db"), "");
}

TEST_F(Paths, SymbolicLinksMayNotLeadOutOfAVolume) {
  primary();
  nwtest::TempDir outside;
  { std::ofstream(outside.path() / "SECRET.TXT") << "outside"; }
  const auto home = volume("FS1", "SYS") / "HOME" / "JSMITH";
  ASSERT_EQ(::symlink(outside.path().c_str(), (home / "OUT").c_str()), 0);
  ASSERT_EQ(::symlink((outside.path() / "SECRET.TXT").c_str(), (home / "LINK.TXT").c_str()), 0);
  ASSERT_EQ(::symlink("../../PUBLIC", (home / "PUB").c_str()), 0);
  ASSERT_EQ(::symlink("../../../..", (home / "UP").c_str()), 0);
  EXPECT_EQ(platform::lopen("SYS:HOME\\JSMITH\\OUT\\SECRET.TXT", platform::OF_READ), platform::HFILE_ERROR);
  EXPECT_EQ(platform::lopen("SYS:HOME\\JSMITH\\LINK.TXT", platform::OF_READ), platform::HFILE_ERROR);
  EXPECT_EQ(platform::lcreat("SYS:HOME\\JSMITH\\UP\\network.db"), platform::HFILE_ERROR);
  EXPECT_EQ(platform::resolvePath("SYS:HOME\\JSMITH\\OUT"), "");
  // A link that stays inside the volume is followed.
  const std::string inside = platform::resolvePath("SYS:HOME\\JSMITH\\PUB\\MAP.EXE");
  EXPECT_EQ(inside, (std::filesystem::canonical(volume("FS1", "SYS")) / "PUBLIC" / "MAP.EXE").string());
}

TEST_F(Paths, DismountedVolumesDoNotResolve) {
  NWCONN_HANDLE h = primary();
  ASSERT_EQ(CALLS(NWSMDismountVolumeByName)(h, "DATA"), NWE_OK);
  EXPECT_EQ(platform::lopen("DATA:SHARED\\REPORT.TXT", platform::OF_READ), platform::HFILE_ERROR);
  nuint16 number = 0;
  EXPECT_EQ(CALLS(NWGetVolumeNumber)(h, "DATA", &number), NWE_VOLUME_DOES_NOT_EXIST);
  nuint32 mounted = 0;
  ASSERT_EQ(CALLS(NWSMMountVolume)(h, "DATA", &mounted), NWE_OK);
  EXPECT_EQ(mounted, 1u);
  const int fd = platform::lopen("DATA:SHARED\\REPORT.TXT", platform::OF_READ);
  EXPECT_GT(fd, 0);
  platform::lclose(fd);
  EXPECT_EQ(CALLS(NWSMMountVolume)(h, "VOL9", &mounted), NWE_VOLUME_DOES_NOT_EXIST);
}

} // namespace

namespace {

TEST(ServerSeeds, SampleNetworkHasVolumesModulesAndLoginScripts) {
  nwtest::TempDir tmp;
  nwsim::createNetwork(tmp.path() / "acme");
  const auto sys = tmp.path() / "acme" / "volumes" / "ACME-FS1" / "SYS";
  EXPECT_TRUE(std::filesystem::is_regular_file(sys / "PUBLIC" / "NET$LOG.DAT"));
  EXPECT_TRUE(std::filesystem::is_regular_file(sys / "MAIL" / "1A000010" / "LOGIN"));
  EXPECT_TRUE(std::filesystem::is_regular_file(sys / "SYSTEM" / "MONITOR.NLM"));
  EXPECT_TRUE(std::filesystem::is_directory(tmp.path() / "acme" / "volumes" / "ACME-FS2" / "DATA"));
}

struct BadSeed {
  const char* serverPart;
  const char* message;
};

// Names of a seed become folders of the network: one that would climb out is refused before
// anything is written, here or anywhere beside the network's folder.
TEST(ServerSeeds, NamesThatWouldLeaveTheNetworkFolderAreRefused) {
  const char* const badServers[] = {"../../ESCAPED", "A/B", "FS 1", "FS.1", "X", "A\\\\B", "TAB\\u0009"};
  for (const char* name : badServers) {
    nwtest::TempDir tmp;
    const auto top = tmp.path() / "a" / "b";
    std::filesystem::create_directories(top);
    const std::string seed = std::string(R"({ "servers": [
      { "name": ")") + name + R"(", "volumes": [ { "name": "SYS", "files": [ "X.TXT" ] } ] } ] })";
    try {
      nwsim::createNetworkFromText(top / "net", seed, "escape.json");
      ADD_FAILURE() << "accepted server " << name;
    } catch (const nwsim::SimError& e) {
      EXPECT_NE(std::string(e.what()).find("escape.json:2:"), std::string::npos) << e.what();
    }
    // Nothing anywhere in the scratch folder but the two empty levels.
    std::size_t entries = 0;
    for (auto it = std::filesystem::recursive_directory_iterator(tmp.path()); it != std::filesystem::recursive_directory_iterator(); ++it)
      ++entries;
    EXPECT_EQ(entries, 2u) << name;
  }
}

TEST(ServerSeeds, MistakesAreReportedWithTheirLine) {
  const BadSeed cases[] = {
      {R"("volumes": [ { "name": "S" } ])", "the volume name \"S\" must have 2 to 15 characters"},
      {R"("volumes": [ { "name": "../../ESC" } ])", "may hold only letters, digits"},
      {R"("operators": [ "A/B" ])", "may not hold '/'"},
      {R"("nlms": [ ".." ])", "no separators"},
      {R"("volumes": [ { "name": "SYS", "files": [ "..\\X" ] } ])", "is not a path on a volume"},
      {R"("settings": { "NO SUCH": 1 })", "unknown server parameter"},
      {R"("settings": { "CACHE BUFFER SIZE": 5 })", "out of its range"},
      {R"("operators": [ "NOBODY" ])", "NOBODY is not an object of FS1"},
      {R"("nlms": [ "A.NLM", "A.NLM" ])", "listed twice"},
  };
  for (const auto& c : cases) {
    nwtest::TempDir tmp;
    const std::string seed = std::string(R"({ "servers": [ { "name": "FS1",
      "objects": [ { "name": "SUPERVISOR", "type": "user", "id": "00000001" } ],
      )") + c.serverPart + " } ] }";
    try {
      nwsim::createNetworkFromText(tmp.path() / "net", seed, "bad.json");
      ADD_FAILURE() << "accepted: " << c.serverPart;
    } catch (const nwsim::SimError& e) {
      EXPECT_NE(std::string(e.what()).find("bad.json:"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "net")) << "nothing is left behind";
  }
}

} // namespace
