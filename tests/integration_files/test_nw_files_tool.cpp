// The nw commands for volumes, directory listings, attributes, limits, restrictions and
// deleted files, run as a user runs them, against a fresh network for each test.
#include "fixtures/netfixture.h"

#include <nwsim/nwsim.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using nwtest::contains;

namespace {

class NwFilesTool : public ::testing::Test {
protected:
  void SetUp() override { nwsim::createNetwork(net(), FILES_SEED); }
  nwtest::CommandResult nw(const std::string& args, const std::string& ws = "WS-TEST") {
    return nwtest::runCommand("env NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/full NWSIM_NETWORK=" +
                              net().string() + " NWSIM_WORKSTATION=" + ws + " " + NW_TOOL + " " + args + " < /dev/null");
  }
  fs::path net() const { return dir.path() / "net"; }
  nwtest::TempDir dir;
};

} // namespace

TEST_F(NwFilesTool, EveryCommandHasHelp) {
  for (const char* command : {"volinfo", "ndir", "flag", "limit", "restrict", "salvage", "purge"}) {
    auto r = nw(std::string(command) + " --help");
    EXPECT_EQ(r.status, 0) << command << ": " << r.out;
    EXPECT_TRUE(contains(r.out, std::string("usage: nw ") + command)) << r.out;
  }
}

TEST_F(NwFilesTool, VolumesAndListings) {
  auto r = nw("volinfo");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "SYS                 65536")) << r.out;
  EXPECT_TRUE(contains(r.out, "DATA                32768")) << r.out;
  EXPECT_NE(nw("volinfo NOSUCH").status, 0);

  r = nw("ndir 'SYS:PUBLIC' --sort size --attributes");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_LT(r.out.find("MAP.EXE"), r.out.find("NDIR.EXE")) << r.out;
  EXPECT_TRUE(contains(r.out, "4 files, 26 bytes")) << r.out;
  r = nw("ndir 'DATA:SHARED\\*.XLS'");
  EXPECT_TRUE(contains(r.out, "BUDGET.XLS")) << r.out;
  EXPECT_TRUE(contains(r.out, "JSMITH")) << r.out;
  EXPECT_NE(nw("ndir SYS:PUBLIC --sort colour").status, 0);
}

TEST_F(NwFilesTool, AttributesLimitsAndRestrictions) {
  auto r = nw("flag 'SYS:PUBLIC\\MAP.EXE' Ro H");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "[Ro H]")) << r.out;
  EXPECT_TRUE(contains(nw("flag 'SYS:PUBLIC\\MAP.EXE' Rw").out, "[Rw H]"));
  // Files take NetWare's whole set, transactional and purge among them.
  r = nw("flag 'SYS:PUBLIC\\MAP.EXE' T P Di");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "[Rw H T P Di]")) << r.out;
  EXPECT_TRUE(contains(nw("flag 'SYS:PUBLIC\\MAP.EXE' N").out, "[Rw]"));
  EXPECT_NE(nw("flag SYS:PUBLIC T").status, 0);  // not on directories
  EXPECT_NE(nw("flag 'SYS:PUBLIC\\MAP.EXE' Q").status, 0);
  EXPECT_TRUE(contains(nw("flag SYS:PUBLIC P Di").out, "[Rw P Di]  <DIR>"));

  EXPECT_TRUE(contains(nw("limit DATA:SHARED 800").out, "space limit 800 KB"));
  EXPECT_TRUE(contains(nw("limit DATA:SHARED none").out, "no space limit"));
  EXPECT_TRUE(contains(nw("restrict jsmith data").out, "JSMITH on DATA: restricted to 1024 KB, 4 KB in use"));
  EXPECT_TRUE(contains(nw("restrict guest data 100").out, "restricted to 100 KB"));
  EXPECT_TRUE(contains(nw("restrict guest data none").out, "no restriction"));
  r = nw("restrict guest data 100", "WS-SALES");  // JSMITH is no console operator
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(contains(r.out, "89C6")) << r.out;
}

TEST_F(NwFilesTool, FlagWithWildcardsTakesEveryMatch) {
  nwtest::CommandResult r = nw("flag 'SYS:PUBLIC\\*.EXE'");
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* name : {"LOGIN.EXE", "MAP.EXE", "NDIR.EXE"}) EXPECT_TRUE(contains(r.out, name)) << r.out;
  EXPECT_FALSE(contains(r.out, "README.TXT")) << r.out;
  r = nw("flag 'SYS:PUBLIC\\*.EXE' Ro S");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
  for (const char* name : {"LOGIN.EXE", "MAP.EXE", "NDIR.EXE"})
    EXPECT_TRUE(contains(nw(std::string("flag 'SYS:PUBLIC\\") + name + "'").out, "[Ro S]")) << name;
  EXPECT_TRUE(contains(nw("flag 'SYS:PUBLIC\\README.TXT'").out, "[Rw]")) << "no match, no change";
  // Directories and files each take NetWare's own letters; one entry that does not take
  // them leaves every entry as it was.
  r = nw("flag 'SYS:*' Ro");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "directories take H Sy P Ri Di and N; nothing changed")) << r.out;
  EXPECT_TRUE(contains(nw("flag SYS:PUBLIC").out, "[Rw]  <DIR>"));
  EXPECT_TRUE(contains(nw("flag SYS:PUBLIC P Ri").out, "[Rw P Ri]  <DIR>"));
  r = nw("flag 'SYS:PUBLIC\\*.XYZ'");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "no file or directory matches SYS:PUBLIC\\*.XYZ")) << r.out;
}

TEST_F(NwFilesTool, MissingThingsAreNotEmptyThings) {
  for (const char* path : {"FS9/SYS:", "NOVOL:", "SYS:NOPE", "'SYS:NOPE\\*.*'", "'SYS:PUBLIC\\NOPE.TXT'"}) {
    auto r = nw(std::string("ndir ") + path);
    EXPECT_EQ(r.status, 1) << path << ": " << r.out;
    EXPECT_FALSE(contains(r.out, "0 files")) << path << ": " << r.out;
    EXPECT_TRUE(contains(r.out, "nw: no ")) << path << ": " << r.out;
  }
  // An empty directory, and a pattern that matches nothing, are empty.
  auto r = nw("ndir DATA:EMPTY");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "0 files, 0 bytes")) << r.out;
  r = nw("ndir 'DATA:SHARED\\*.ZIP'");
  EXPECT_EQ(r.status, 0) << r.out;
  r = nw("fullname NOBODY");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "no object NOBODY on server FS1")) << r.out;
  EXPECT_EQ(nw("fullname SUPERVISOR").status, 0);
}

TEST_F(NwFilesTool, SalvageAndPurge) {
  auto r = nw("salvage DATA:SHARED");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "deleted 2026-11-28 09:00 by JSMITH")) << r.out;
  EXPECT_TRUE(contains(r.out, "5 deleted files")) << r.out;

  r = nw("salvage 'DATA:SHARED\\NOTES.TXT' --as n2.txt");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(contains(r.out, "DATA:SHARED\\NOTES.TXT salvaged as DATA:SHARED\\N2.TXT")) << r.out;
  // A deleted file comes back into its own directory; a path for the new name is refused.
  r = nw("salvage 'DATA:SHARED\\LIST.DAT' --as 'SYS:PUBLIC\\LIST.DAT'");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(contains(r.out, "--as takes a file name, not a path")) << r.out;
  EXPECT_FALSE(fs::exists(net() / "volumes" / "FS1" / "SYS" / "PUBLIC" / "LIST.DAT"));
  EXPECT_FALSE(fs::exists(net() / "volumes" / "FS1" / "DATA" / "SHARED" / "LIST.DAT"));
  // Neither a deleted file nor a directory: nothing to list.
  r = nw("salvage 'DATA:SHARED\\NOPE.TXT'");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(contains(r.out, "no deleted file or directory DATA:SHARED\\NOPE.TXT")) << r.out;
  EXPECT_TRUE(fs::exists(net() / "volumes" / "FS1" / "DATA" / "SHARED" / "N2.TXT"));
  std::ofstream(net() / "volumes" / "FS1" / "DATA" / "SHARED" / "PLAN.DOC") << "live";
  EXPECT_NE(nw("salvage 'DATA:SHARED\\PLAN.DOC'").status, 0);  // a live file is never replaced
  EXPECT_NE(nw("salvage 'DATA:SHARED\\NOPE.TXT' --as X.TXT").status, 0);

  EXPECT_TRUE(contains(nw("purge 'DATA:SHARED\\PLAN.DOC'").out, "purged"));
  EXPECT_NE(nw("purge DATA:SHARED").status, 0);  // a directory needs --all
  EXPECT_TRUE(contains(nw("purge DATA:SHARED --all").out, "3 deleted files purged from DATA:SHARED"));
  EXPECT_TRUE(contains(nw("salvage DATA:SHARED").out, "0 deleted files"));
  EXPECT_TRUE(contains(nw("purge DATA:SHARED --all").out, "No deleted files"));
}
