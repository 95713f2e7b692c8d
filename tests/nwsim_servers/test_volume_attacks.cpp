// A volume's root holds against a program that attacks it: links swapped in while a copy runs,
// links to files outside, paths that carry a NUL, copies that fail half-way.
#include "servers_test.h"

#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>
#include <platform/files.h>

#include <nwclient/paths.h>
#include <nwclient/volumes.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

namespace fs = std::filesystem;
using nwtest::ServersTest;

std::size_t entriesBelow(const fs::path& dir) {
  std::size_t n = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    ++n;
  return n;
}

class VolumeAttacks : public ServersTest {
protected:
  // The workstation the test acts from: WS-TEST is SUPERVISOR, WS-SALES is JSMITH, who has
  // the read and file scan rights in SYS:PUBLIC and SYS:LOGIN and no rights elsewhere.
  virtual std::string workstation() const { return "WS-TEST"; }
  void SetUp() override {
    ServersTest::SetUp();
    nwsim::useWorkstation(workstation());
    unit_ = std::make_unique<ostrel::TOstrel>();
    primary();
  }
  bool onDisk(const std::string& volumeName, const std::string& path) const {
    return fs::exists(volume("FS1", volumeName) / path);
  }
  void TearDown() override {
    unit_.reset();
    ServersTest::TearDown();
  }
  std::unique_ptr<ostrel::TOstrel> unit_;
};

// A folder of the volume is swapped for a link to a folder outside, and back, as fast as the
// machine can, while copies and creations write into it.
TEST_F(VolumeAttacks, ALinkSwappedInDuringACopyNeverLetsItWriteOutside) {
  nwtest::TempDir outside;
  const fs::path pub = volume("FS1", "SYS") / "PUBLIC";
  fs::create_directory(pub / "D_DIR");
  ASSERT_EQ(::symlink(outside.path().c_str(), (pub / "D_LNK").c_str()), 0);
  std::atomic<bool> stop{false};
  std::thread swapper([&] {
    const std::string drop = (pub / "DROP").string(), dir = (pub / "D_DIR").string(), lnk = (pub / "D_LNK").string();
    while (!stop) {
      std::rename(dir.c_str(), drop.c_str());
      std::rename(drop.c_str(), dir.c_str());
      std::rename(lnk.c_str(), drop.c_str());
      std::rename(drop.c_str(), lnk.c_str());
    }
  });
  constexpr int kTries = 1500;
  int copied = 0, created = 0;
  for (int i = 0; i < kTries; ++i) {
    const std::string n = std::to_string(i);
    if (ostrel::nCopy("SYS:PUBLIC\\MAP.EXE", "SYS:PUBLIC\\DROP\\C" + n + ".EXE")) ++copied;
    const int fd = platform::lcreat("SYS:PUBLIC\\DROP\\N" + n + ".TXT");
    if (fd != platform::HFILE_ERROR) {
      ++created;
      platform::lwrite(fd, "x", 1);
      platform::lclose(fd);
    }
  }
  stop = true;
  swapper.join();
  const std::size_t escaped = entriesBelow(outside.path());
  std::printf("race: %d tries of a copy and a creation each, %d copies and %d creations succeeded, %zu files outside\n",
              kTries, copied, created, escaped);
  EXPECT_EQ(escaped, 0u);
  EXPECT_GT(copied + created, 0) << "the folder was there for some of the tries";
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> copyTemporaries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().rfind(NW_COPY_TEMPORARY_PREFIX, 0) == 0) names.push_back(e.path().filename());
  return names;
}

// A copy is written beside its destination and renamed over it when complete: at any moment
// of the copy, which is what a kill would leave, the destination is whole, old or new.
TEST_F(VolumeAttacks, ACopyInProgressLeavesTheDestinationWhole) {
  nwtest::TempDir local;
  const std::string big(300000, 'n');
  std::ofstream(local.path() / "BIG.DAT", std::ios::binary) << big;
  const fs::path pub = volume("FS1", "SYS") / "PUBLIC";
  std::ofstream(pub / "OLD.DAT", std::ios::binary) << "the old contents";
  int looked = 0;
  std::string seenMidway;
  ostrel::setCopyProgress([&](std::int64_t done, std::int64_t total) {
    if (done == 0 || done >= total || looked++ != 40) return;
    seenMidway = readAll(pub / "OLD.DAT");
    EXPECT_EQ(copyTemporaries(pub).size(), 1u) << "the copy writes a temporary beside the destination";
    // A listing in the meantime shows no half-written file.
    for (const auto& name : nwtest::names(*nwserver::getVolFileList("SYS:PUBLIC\\*.*")))
      EXPECT_NE(name.rfind(NW_COPY_TEMPORARY_PREFIX, 0), 0u) << name;
  });
  EXPECT_TRUE(ostrel::nCopy((local.path() / "BIG.DAT").string(), "SYS:PUBLIC\\OLD.DAT")) << unit_->getLastError();
  ostrel::setCopyProgress({});
  EXPECT_EQ(seenMidway, "the old contents");
  EXPECT_EQ(readAll(pub / "OLD.DAT"), big);
  EXPECT_TRUE(copyTemporaries(pub).empty());
  // The destination kept its place in the listing, under its own name.
  const auto names = nwtest::names(*nwserver::getVolFileList("SYS:PUBLIC\\OLD.DAT"));
  EXPECT_EQ(names, std::vector<std::string>{"OLD.DAT"});
}

TEST_F(VolumeAttacks, ACopyRefusedForSpaceLeavesNoFileAndSaysWhy) {
  nwtest::TempDir local;
  std::ofstream(local.path() / "BIG.DAT", std::ios::binary) << std::string(600000, 'b');
  const fs::path pub = volume("FS1", "SYS") / "PUBLIC";
  std::ofstream(pub / "KEPT.DAT", std::ios::binary) << "kept";
  fs::create_directory(pub / "TIGHT");
  ASSERT_TRUE(nwserver::setDirSpaceLimit("SYS:PUBLIC\\TIGHT", 200)) << nwserver::lasterror();
  unit_->resetLastError();
  EXPECT_FALSE(ostrel::nCopy((local.path() / "BIG.DAT").string(), "SYS:PUBLIC\\TIGHT\\NEW.DAT"));
  EXPECT_EQ(ostrel::lasterror(), NWE_INSUFFICIENT_SPACE);
  EXPECT_FALSE(fs::exists(pub / "TIGHT" / "NEW.DAT"));
  EXPECT_TRUE(copyTemporaries(pub / "TIGHT").empty());
  EXPECT_TRUE(nwserver::getDeletedFileList(0, "SYS:PUBLIC\\TIGHT")->Empty()) << "a temporary is no deleted file";
  // Over an existing file, the file stays as it was.
  fs::copy_file(pub / "KEPT.DAT", pub / "TIGHT" / "KEPT.DAT");
  EXPECT_FALSE(ostrel::nCopy((local.path() / "BIG.DAT").string(), "SYS:PUBLIC\\TIGHT\\KEPT.DAT"));
  EXPECT_EQ(readAll(pub / "TIGHT" / "KEPT.DAT"), "kept");
  EXPECT_TRUE(copyTemporaries(pub / "TIGHT").empty());
}

TEST_F(VolumeAttacks, TheTemporaryOfAKilledCopyIsNotListedAndIsSwept) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const fs::path pub = volume("FS1", "SYS") / "PUBLIC";
  const std::string stale = NW_COPY_TEMPORARY_PREFIX + std::to_string(gone) + ".1";
  const std::string live = NW_COPY_TEMPORARY_PREFIX + std::to_string(::getpid()) + ".999";
  std::ofstream(pub / stale) << "cut";
  std::ofstream(pub / live) << "in progress";
  for (const auto& name : nwtest::names(*nwserver::getVolFileList("SYS:PUBLIC\\*.*")))
    EXPECT_NE(name.rfind(NW_COPY_TEMPORARY_PREFIX, 0), 0u) << name;
  EXPECT_FALSE(fs::exists(pub / stale)) << "the killed copy's leftover is swept";
  EXPECT_TRUE(fs::exists(pub / live)) << "a copy still running keeps its file";
}

class FileRights : public VolumeAttacks {
protected:
  std::string workstation() const override { return "WS-SALES"; }
};

TEST_F(FileRights, OpeningAFileNeedsTheRightsForWhatTheOpenDoes) {
  errno = 0;
  EXPECT_EQ(platform::lopen("SYS:SYSTEM\\AUTOEXEC.NCF", platform::OF_READ), platform::HFILE_ERROR) << "no read right";
  EXPECT_EQ(errno, EACCES);
  const int fd = platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READ);
  EXPECT_GT(fd, 0) << "read right in PUBLIC";
  platform::lclose(fd);
  EXPECT_EQ(platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_WRITE), platform::HFILE_ERROR) << "no write right";
  EXPECT_EQ(platform::lopen("SYS:PUBLIC\\MAP.EXE", platform::OF_READWRITE), platform::HFILE_ERROR);
  EXPECT_EQ(platform::lcreat("SYS:PUBLIC\\NET$LOG.DAT"), platform::HFILE_ERROR) << "emptying a file is writing it";
  EXPECT_EQ(fs::file_size(volume("FS1", "SYS") / "PUBLIC" / "NET$LOG.DAT"), 35u);
  EXPECT_EQ(platform::lcreat("SYS:SYSTEM\\NEW.TXT"), platform::HFILE_ERROR) << "no create right";
  EXPECT_EQ(platform::lcreat("SYS:PUBLIC\\NEW.TXT"), platform::HFILE_ERROR);
  EXPECT_FALSE(onDisk("SYS", "SYSTEM/NEW.TXT"));
  EXPECT_FALSE(onDisk("SYS", "PUBLIC/NEW.TXT"));
}

TEST_F(FileRights, FilesWithoutRightsCannotBeListedOrCopiedOff) {
  nwtest::TempDir local;
  EXPECT_FALSE(ostrel::nCopy("SYS:SYSTEM\\AUTOEXEC.NCF", (local.path() / "STOLEN.NCF").string()));
  EXPECT_FALSE(fs::exists(local.path() / "STOLEN.NCF"));
  EXPECT_EQ(nwserver::getVolFileList("SYS:SYSTEM\\*.*")->Count(), 0) << "no file scan right";
  nwserver::TNWFileInfo info;
  EXPECT_FALSE(nwserver::getFileInfo("SYS:SYSTEM\\AUTOEXEC.NCF", info));
  EXPECT_EQ(nwserver::getVolFileList("SYS:PUBLIC\\*.*")->Count(), 4) << "file scan right in PUBLIC";
  EXPECT_TRUE(ostrel::nCopy("SYS:PUBLIC\\NET$LOG.DAT", (local.path() / "NET$LOG.DAT").string()));
}

TEST_F(VolumeAttacks, TheSupervisorListsAndOpensEverything) {
  EXPECT_GE(nwserver::getVolFileList("SYS:SYSTEM\\*.*")->Count(), 1);
  const int fd = platform::lopen("SYS:SYSTEM\\AUTOEXEC.NCF", platform::OF_READWRITE);
  EXPECT_GT(fd, 0);
  platform::lclose(fd);
}

// Links to files and folders outside are not listed and give nothing away; a link that stays
// inside is listed as what it leads to.
TEST_F(VolumeAttacks, ListingsNeverLookThroughALinkThatLeavesTheVolume) {
  nwtest::TempDir outside;
  { std::ofstream(outside.path() / "SECRET.TXT") << std::string(12345, 's'); }
  const fs::path pub = volume("FS1", "SYS") / "PUBLIC";
  ASSERT_EQ(::symlink((outside.path() / "SECRET.TXT").c_str(), (pub / "LEAK.TXT").c_str()), 0);
  ASSERT_EQ(::symlink(outside.path().c_str(), (pub / "OUTDIR").c_str()), 0);
  ASSERT_EQ(::symlink("MAP.EXE", (pub / "INSIDE.EXE").c_str()), 0);
  const auto files = nwtest::names(*nwserver::getVolFileList("SYS:PUBLIC\\*.*"));
  EXPECT_EQ(std::count(files.begin(), files.end(), "LEAK.TXT"), 0) << "a link to a file outside";
  EXPECT_EQ(std::count(files.begin(), files.end(), "INSIDE.EXE"), 1) << "a link inside";
  const auto dirs = nwtest::names(*nwserver::getVolDirList("SYS:PUBLIC\\*.*"));
  EXPECT_EQ(std::count(dirs.begin(), dirs.end(), "OUTDIR"), 0);
  nwserver::TNWFileInfo info;
  EXPECT_FALSE(nwserver::getFileInfo("SYS:PUBLIC\\LEAK.TXT", info));
  EXPECT_NE(info.fileSize, 12345u);
  EXPECT_EQ(nwserver::getVolFileList("SYS:PUBLIC\\OUTDIR\\*.*")->Count(), 0);
}

// Text that carries a NUL would act on the part before it; it names no file at all.
TEST_F(VolumeAttacks, APathWithANulInsideIsRefused) {
  const char nulText[] = "SYS:PUBLIC\\NUL1.TXT\0..\\..\\ESC1.TXT";
  const std::string nul(nulText, sizeof nulText - 1);
  EXPECT_EQ(platform::lcreat(nul), platform::HFILE_ERROR);
  EXPECT_EQ(platform::fileCreateExclusive(nul), platform::HFILE_ERROR);
  EXPECT_FALSE(onDisk("SYS", "PUBLIC/NUL1.TXT"));
  const char mapText[] = "SYS:PUBLIC\\MAP.EXE\0X";
  const std::string map(mapText, sizeof mapText - 1);
  EXPECT_EQ(platform::lopen(map, platform::OF_READ), platform::HFILE_ERROR);
  EXPECT_FALSE(platform::fileExists(map));
  EXPECT_FALSE(platform::deleteFile(map));
  EXPECT_TRUE(onDisk("SYS", "PUBLIC/MAP.EXE"));
  EXPECT_EQ(platform::resolvePath(map), "");
  EXPECT_FALSE(ostrel::nCopy("SYS:PUBLIC\\MAP.EXE", nul));
  EXPECT_FALSE(onDisk("SYS", "PUBLIC/NUL1.TXT"));
}

} // namespace
