// Networks: seeds, creation, opening, workstation configuration.
#include "client.h"
#include "fixtures/netfixture.h"
#include "json.h"
#include "password_hash.h"

#include <nwclient/directory.h>
#include <nwclient/nwclient.h>
#include <nwsim/completion_codes.h>

#include <sqlite3.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

using nwtest::TempDir;

namespace {

std::string seedError(const std::string& text) {
  TempDir tmp;
  try {
    nwsim::createNetworkFromText(tmp.path() / "net", text, "test.json");
  } catch (const nwsim::SimError& e) {
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "net")) << "a failed creation left a folder behind";
    return e.what();
  }
  return "(no error)";
}

const char* kMinimal = R"({ "servers": [ { "name": "FS1" } ] })";

} // namespace

TEST(JsonReader, ParsesValuesAndRemembersLines) {
  auto v = nwsim::json::Value::parse("{\n \"a\": [1, 2.5, \"x\\u00e9\"],\n \"b\": {\"c\": true, \"d\": null}\n}");
  ASSERT_TRUE(v.isObject());
  const auto& a = v.find("a")->asArray("a");
  EXPECT_EQ(a[0].asInteger("n"), 1);
  EXPECT_DOUBLE_EQ(a[1].asNumber("n"), 2.5);
  EXPECT_EQ(a[2].asString("s"), "x\xc3\xa9");
  EXPECT_EQ(v.find("a")->line(), 2);
  EXPECT_EQ(v.find("b")->find("c")->line(), 3);
  EXPECT_TRUE(v.find("b")->find("d")->isNull());
  EXPECT_EQ(v.find("missing"), nullptr);
}

TEST(JsonReader, RejectsMalformedText) {
  for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "\"unterminated", "{\"a\":1,\"a\":2}", "01x", "[1] 2", "tru"}) {
    EXPECT_THROW(nwsim::json::Value::parse(bad), nwsim::json::ParseError) << bad;
  }
  try {
    nwsim::json::Value::parse("{\n\n  \"a\": ?\n}");
    FAIL();
  } catch (const nwsim::json::ParseError& e) {
    EXPECT_EQ(e.line(), 3);
  }
}

TEST(Seeds, ErrorsNameTheFileAndLine) {
  struct Case { const char* text; const char* expect; };
  const Case cases[] = {
      {"{ \"servers\": [\n  { \"name\": \"FS1\",\n    \"kind\": \"mainframe\" } ] }", "test.json:3: a server's kind"},
      {"{ \"servers\": [ { \"name\": \"FS1\" },\n { \"name\": \"fs1\" } ] }", "test.json:2: server FS1 appears twice"},
      {"{ \"servers\": [ { \"name\": \"FS1\", \"objects\": [\n { \"name\": \"X\", \"type\": \"toaster\" } ] } ] }", "test.json:2: unknown object type"},
      {"{ \"servers\": [ { \"name\": \"FS1\", \"objects\": [\n { \"name\": \"G\", \"type\": \"group\",\n \"members\": [\"NOBODY\"] } ] } ] }", "test.json:3: member NOBODY"},
      {"{ \"servers\": [ { \"name\": \"FS1\" } ],\n \"workstations\": [ { \"name\": \"W\", \"connections\": [\n { \"server\": \"FS9\" } ] } ] }", "test.json:3: server FS9"},
      {"{ \"servers\": [ { \"name\": \"FS1\", \"maxConnections\": 2 } ],\n \"workstations\": [ { \"name\": \"W\", \"connections\": [\n { \"server\": \"FS1\", \"station\": 3 } ] } ] }", "test.json:3: station 3 is outside 1..2"},
      {"{ \"servers\": [ { \"name\": \"FS1\" } ],\n \"workstations\": [ { \"name\": \"W\", \"connections\": [\n { \"server\": \"FS1\",\n \"login\": \"GHOST\" } ] } ] }", "test.json:4: GHOST is not an object"},
      {"{ \"servers\": [ { \"name\": \"FS1\",\n \"clock\": \"1998-02-31 10:00:00\" } ] }", "test.json:2: a clock"},
      {"{ \"servers\": [] }", "test.json:1: a network needs at least one server"},
      {"{ \"servers\": [ { \"name\": \"FS1\" } ], \n\n \"netcfg\": { \"preferredServer\": \"FS7\" } }", "test.json:3: preferred server FS7"},
      {"{ \"servers\": [ { \"name\": \"FS1\" }\n\n ", "test.json:3: unexpected end"},
  };
  for (const auto& c : cases) {
    std::string err = seedError(c.text);
    EXPECT_NE(err.find(c.expect), std::string::npos) << "got: " << err;
  }
}

TEST(Seeds, SampleSeedMakesACompanyNetwork) {
  TempDir tmp;
  auto dir = tmp.path() / "acme";
  nwsim::createNetwork(dir);
  nwsim::useNetwork(dir, "WS-NEW");
  auto servers = nwsim::servers();
  ASSERT_GE(servers.size(), 3u);
  int bindery = 0, directory = 0;
  for (auto& s : servers) (s.kind == "directory" ? directory : bindery)++;
  EXPECT_GE(bindery, 2);
  EXPECT_GE(directory, 1);
  auto stations = nwsim::stations();
  std::set<std::string> others;
  for (auto& st : stations)
    if (!st.objectName.empty()) others.insert(st.workstation);
  EXPECT_GE(others.size(), 3u) << "stations logged in from other workstations";
  nwsim::useNetwork(tmp.path() / "none");
}

TEST(Networks, CreateRefusesAFolderInUse) {
  TempDir tmp;
  nwsim::createNetworkFromText(tmp.path() / "n", kMinimal, "m");
  EXPECT_THROW(nwsim::createNetworkFromText(tmp.path() / "n", kMinimal, "m"), nwsim::SimError);
  std::filesystem::create_directories(tmp.path() / "busy");
  std::ofstream(tmp.path() / "busy" / "file") << "x";
  EXPECT_THROW(nwsim::createNetworkFromText(tmp.path() / "busy", kMinimal, "m"), nwsim::SimError);
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / "busy" / "file"));
  // An empty folder may be named as the target.
  std::filesystem::create_directories(tmp.path() / "empty");
  EXPECT_NO_THROW(nwsim::createNetworkFromText(tmp.path() / "empty", kMinimal, "m"));
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / "empty" / "network.db"));
}

TEST(Networks, CreateSweepsTheBuildFoldersOfKilledCreates) {
  TempDir tmp;
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  namespace fs = std::filesystem;
  const fs::path stale = tmp.path() / (".nwsim-n-" + std::to_string(gone) + "-77");
  const fs::path running = tmp.path() / (".nwsim-n-" + std::to_string(::getpid()) + "-78");
  const fs::path other = tmp.path() / (".nwsim-m-" + std::to_string(gone) + "-79");
  for (const auto& d : {stale, running, other}) {
    fs::create_directories(d / "volumes");
    std::ofstream(d / "network.db") << "half made";
  }
  nwsim::createNetworkFromText(tmp.path() / "n", kMinimal, "m");
  EXPECT_TRUE(fs::exists(tmp.path() / "n" / "network.db"));
  EXPECT_FALSE(fs::exists(stale)) << "left by a create that was killed";
  EXPECT_TRUE(fs::exists(running)) << "a create still running keeps its folder";
  EXPECT_TRUE(fs::exists(other)) << "another target's folder is not this create's to sweep";
}

TEST(Networks, OpeningFailuresAreClearAndCallsFailSoftly) {
  TempDir tmp;
  auto getPrimary = CALLS(NWGetPrimaryConnectionID);
  ASSERT_NE(getPrimary, nullptr);
  NWCONN_HANDLE h = 0;

  nwsim::useNetwork(tmp.path() / "missing");
  EXPECT_EQ(getPrimary(&h), NWE_NETWORK_UNAVAILABLE);
  EXPECT_NE(nwsim::lastOpenError().find("no network at"), std::string::npos) << nwsim::lastOpenError();

  std::filesystem::create_directories(tmp.path() / "notanetwork");
  nwsim::useNetwork(tmp.path() / "notanetwork");
  EXPECT_THROW(nwsim::openNetwork(), nwsim::SimError);
  EXPECT_NE(nwsim::lastOpenError().find("no network.db"), std::string::npos);

  if (geteuid() != 0) {  // root may write anywhere
    nwsim::createNetworkFromText(tmp.path() / "ro", kMinimal, "m");
    ::chmod((tmp.path() / "ro").c_str(), 0555);
    nwsim::useNetwork(tmp.path() / "ro");
    EXPECT_EQ(getPrimary(&h), NWE_NETWORK_UNAVAILABLE);
    EXPECT_NE(nwsim::lastOpenError().find("read-only"), std::string::npos);
    ::chmod((tmp.path() / "ro").c_str(), 0755);
  }

  // A store that is not a database.
  std::filesystem::create_directories(tmp.path() / "corrupt");
  std::ofstream(tmp.path() / "corrupt" / "network.db") << "this is not a database, just text padding it out";
  nwsim::useNetwork(tmp.path() / "corrupt");
  EXPECT_EQ(getPrimary(&h), NWE_NETWORK_UNAVAILABLE);
  EXPECT_NE(nwsim::lastOpenError().find("cannot open the network"), std::string::npos) << nwsim::lastOpenError();
  nwsim::useNetwork(tmp.path() / "gone");
}

TEST(Networks, PasswordsAreYescryptHashesAndAnOlderNetworkIsNamedAsSuch) {
  TempDir tmp;
  const char* seed = R"({ "servers": [ { "name": "FS1", "objects": [
    { "name": "SUPERVISOR", "type": "user", "id": "00000001", "password": "Secret" } ] } ] })";
  nwsim::createNetworkFromText(tmp.path() / "n", seed, "m");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((tmp.path() / "n" / "network.db").c_str(), &db), SQLITE_OK);
  std::string stored;
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(db, "SELECT password_hash FROM bindery_objects WHERE name='SUPERVISOR'", -1, &q, nullptr);
  if (sqlite3_step(q) == SQLITE_ROW) stored = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
  sqlite3_finalize(q);
  EXPECT_EQ(stored.rfind("$y$", 0), 0u) << stored;
  EXPECT_TRUE(nwsim::verifyPassword(stored, "secret")) << "case is ignored, as NetWare does";
  EXPECT_FALSE(nwsim::verifyPassword(stored, "Secret!"));
  EXPECT_NE(nwsim::hashPassword("Secret"), stored) << "every hash has its own salt";
  // The salted SHA-256 form ("salt:hash") that earlier versions kept.
  EXPECT_FALSE(nwsim::verifyPassword("0123456789abcdef0123456789abcdef:00ff", "Secret"));
  nwsim::useNetwork(tmp.path() / "n");
  EXPECT_NO_THROW(nwsim::openNetwork());
  nwsim::useNetwork(tmp.path() / "elsewhere");
  sqlite3_exec(db, "UPDATE bindery_objects SET password_hash='0123456789abcdef0123456789abcdef:00ff'", nullptr, nullptr,
               nullptr);
  sqlite3_close(db);
  nwsim::useNetwork(tmp.path() / "n");
  try {
    nwsim::openNetwork();
    ADD_FAILURE() << "an older network opened";
  } catch (const nwsim::SimError& e) {
    EXPECT_NE(std::string(e.what()).find("made by an older version"), std::string::npos) << e.what();
  }
  nwsim::useNetwork(tmp.path() / "closed");
}

TEST(CompletionCodes, EveryCodeTheClientNamesHasItsMeaning) {
  EXPECT_EQ(nwsim::describeCode(NWE_BAD_PASSWORD), "wrong password, code 89FA");
  EXPECT_EQ(nwsim::describeCode(NWE_NO_SUCH_OBJECT), "no such object, code 89FC");
  EXPECT_EQ(nwsim::describeCode(NWDSE_NO_SUCH_ENTRY), "no such entry, code -601");
  EXPECT_EQ(nwsim::describeCode(NWDSE_FAILED_AUTHENTICATION), "wrong password, code -669");
  EXPECT_EQ(nwsim::describeCode(0x1234), "code 1234") << "a code the client never returns has no meaning";
  EXPECT_EQ(nwsim::codeMeaning(0), "");
  // Every code the client's headers name, read from them, so that a new one cannot go
  // without its meaning.
  const std::regex entry(R"(^\s*(NW(DS)?E_[A-Z0-9_]+)\s*=\s*(-?(0x[0-9A-Fa-f]+|[0-9]+)))");
  int named = 0;
  for (const auto& header : std::filesystem::directory_iterator(RUDODOR4_FIXTURE_DIR "/../../nwclient/include/nwclient")) {
    std::ifstream in(header.path());
    for (std::string line; std::getline(in, line);) {
      std::smatch m;
      if (!std::regex_search(line, m, entry) || m[1] == "NWE_OK") continue;
      ++named;
      const auto code = static_cast<std::int32_t>(std::stol(m[3], nullptr, 0));
      EXPECT_NE(nwsim::codeMeaning(code), "") << m[1] << " in " << header.path().filename();
    }
  }
  EXPECT_GT(named, 150);
}

TEST(Networks, DefaultNetworkIsMadeFromTheSampleOnFirstUse) {
  TempDir tmp;
  ::setenv("XDG_DATA_HOME", tmp.path().c_str(), 1);
  ::unsetenv("NWSIM_NETWORK");
  nwsim::useNetwork({}, "WS-DEFAULT");  // no folder chosen: the per-user default
  EXPECT_EQ(nwsim::currentNetworkDir(), tmp.path() / "nwsim" / "default");
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK) << nwsim::lastOpenError();
  EXPECT_TRUE(std::filesystem::exists(tmp.path() / "nwsim" / "default" / "network.db"));
  char name[48];
  ASSERT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_OK);
  EXPECT_STREQ(name, "ACME-FS1");
  ::unsetenv("XDG_DATA_HOME");
  nwsim::useNetwork(tmp.path() / "gone");
}

class Workstations : public nwtest::NetworkTest {};

TEST_F(Workstations, NewWorkstationAttachesToThePreferredServerAndLogsIn) {
  nwsim::useWorkstation("WS-FRESH");
  auto getPrimary = CALLS(NWGetPrimaryConnectionID);
  auto info = CLX(NWCCGetAllConnInfo);
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(getPrimary(&h), NWE_OK);
  NWCCConnInfo ci;
  ASSERT_EQ(info(h, 1, &ci), NWE_OK);
  EXPECT_STREQ(ci.serverName, "FS1");
  EXPECT_EQ(ci.userID, __builtin_bswap32(0x00000001u)) << "logged in as SUPERVISOR from net.cfg";
  bool listed = false;
  for (auto& st : nwsim::stations())
    if (st.workstation == "WS-FRESH") {
      listed = true;
      EXPECT_EQ(st.server, "FS1");
      EXPECT_EQ(st.connNumber, 1) << "the lowest free station";
      EXPECT_EQ(st.objectName, "SUPERVISOR");
    }
  EXPECT_TRUE(listed);
}

TEST_F(Workstations, EnvironmentOverridesNetCfg) {
  ::setenv("NWSIM_PREFERRED_SERVER", "FS2", 1);
  ::setenv("NWSIM_LOGIN_NAME", "mjones", 1);
  nwsim::useWorkstation("WS-ENV");
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK);
  ::unsetenv("NWSIM_PREFERRED_SERVER");
  ::unsetenv("NWSIM_LOGIN_NAME");
  char name[48];
  ASSERT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_OK);
  EXPECT_STREQ(name, "FS2");
  nuint16 station = 0;
  ASSERT_EQ(CALLS(NWGetConnectionNumber)(h, &station), NWE_OK);
  char user[48];
  nuint16 type;
  nuint32 id;
  nuint8 t[7];
  ASSERT_EQ(CALLS(NWGetConnectionInformation)(h, station, user, &type, &id, t), NWE_OK);
  EXPECT_STREQ(user, "MJONES");
}

TEST_F(Workstations, NetCfgIsReadWithSectionsAndQuotes) {
  std::ofstream(net->dir() / "net.cfg") << "; comment\nNetWare DOS Requester\n   PREFERRED SERVER = fs2\n"
                                          "   NAME CONTEXT = \"OU=X.O=Y\"\nOther Section\n   PREFERRED SERVER = FS1\n"
                                          "Workstation\n\tLOGIN NAME = guest\n";
  nwsim::useWorkstation("WS-CFG");
  NWCONN_HANDLE h = 0;
  ASSERT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK);
  char name[48];
  ASSERT_EQ(CALLS(NWGetFileServerName)(h, name), NWE_OK);
  EXPECT_STREQ(name, "FS2") << "settings of other sections are ignored";
  NWCCConnInfo ci;
  ASSERT_EQ(CLX(NWCCGetAllConnInfo)(h, 1, &ci), NWE_OK);
  EXPECT_EQ(ci.userID, 0u) << "GUEST is no object of FS2: attached but not logged in";

  std::ofstream(net->dir() / "net.cfg") << "NetWare DOS Requester\n   PREFERRED SERVER\n";
  nwsim::useWorkstation("WS-BADCFG");
  EXPECT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_NETWORK_UNAVAILABLE);
  EXPECT_NE(nwsim::lastOpenError().find("net.cfg:2: expected KEY = VALUE"), std::string::npos) << nwsim::lastOpenError();
}
