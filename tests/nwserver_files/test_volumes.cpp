// Unit Nwserver: volumes, their statistics, and what objects use and may use of them.
#include "files_fixture.h"

#include <nwclient/nwclient.h>

#include <chrono>
#include <cstring>
#include <thread>

using namespace filestest;
using servertest::unitError;

namespace {

constexpr std::uint32_t kBlock = 4096;

} // namespace

TEST_F(FilesTest, VolumesByNameAndNumber) {
  auto list = nwserver::getVolumes(0);
  EXPECT_EQ(nwtest::names(*list), (std::vector<std::string>{"SYS", "DATA"}));
  EXPECT_EQ(nwtest::objects(*list), (std::vector<std::intptr_t>{0, 1}));

  std::int32_t number = -1;
  EXPECT_TRUE(nwserver::getVolNum(0, "data", number)) << unitError();
  EXPECT_EQ(number, 1);
  EXPECT_FALSE(nwserver::getVolNum(0, "NOSUCH", number));
  EXPECT_EQ(lasterror(), NWE_VOLUME_DOES_NOT_EXIST);
}

TEST_F(FilesTest, StatisticsFollowTheFilesOnDisk) {
  VOL_STATS before{};
  ASSERT_TRUE(nwserver::volInfo(0, "SYS", before)) << unitError();
  EXPECT_EQ(before.totalBlocks, 64 * 1024 / 4);  // the seed's 64 MB
  EXPECT_EQ(before.sectorsPerBlock, 8);
  EXPECT_STREQ(before.volumeName, "SYS");

  // 10000 bytes take three blocks and one directory slot.
  ASSERT_EQ(writeThroughClient("SYS:PUBLIC\\BIG.DAT", 10000), 10000);
  VOL_STATS after{};
  ASSERT_TRUE(nwserver::volInfo(0, "SYS", after));
  EXPECT_EQ(before.availableBlocks - after.availableBlocks, 3);
  EXPECT_EQ(before.availableDirectorySlots - after.availableDirectorySlots, 1);

  // Deleted files are purgeable, not free.
  DIR_SPACE_INFO space{};
  ASSERT_TRUE(nwserver::getVolBlockInfo(0, 1, space)) << unitError();
  EXPECT_EQ(space.totalBlocks, 32u * 1024 / 4);
  EXPECT_EQ(space.purgeableBlocks, 5u);  // five deleted files of one block each on DATA
  EXPECT_EQ(std::string(space.volName, space.volLen), "DATA");

  nwserver::TNWVolExtendedInfo ext{};
  ASSERT_TRUE(nwserver::getVolExtendedInfo(0, "DATA", ext)) << unitError();
  EXPECT_EQ(ext.volSizeInClusters, 32u * 1024 / 4);
  EXPECT_EQ(ext.numLimboDataStreams, 5u);
  EXPECT_FALSE(nwserver::getVolExtendedInfo(0, "NOSUCH", ext));
}

TEST_F(FilesTest, VolumeInformationFallsBackToTheOlderCall) {
  nwsim::injectFault("NWGetVolumeStats", NWE_FAILURE);
  VOL_STATS stats{};
  ASSERT_TRUE(nwserver::volInfo(0, "DATA", stats)) << unitError();
  EXPECT_EQ(stats.volumeNumber, 1);
  EXPECT_EQ(stats.totalBlocks, 32 * 1024 / 4);
  EXPECT_STREQ(stats.volumeName, "DATA");
  EXPECT_EQ(lasterror(), NWE_FAILURE);  // the statistics call's failure

  // When the older call fails too, the name is empty rather than stray bytes.
  nwsim::injectFault("NWGetVolumeStats", NWE_FAILURE);
  nwsim::injectFault("NWGetVolumeInfoWithNumber", NWE_VOLUME_DOES_NOT_EXIST);
  std::memset(&stats, 'Z', sizeof stats);
  EXPECT_FALSE(nwserver::volInfo(0, "DATA", stats));
  EXPECT_STREQ(stats.volumeName, "");
  EXPECT_EQ(lasterror(), NWE_VOLUME_DOES_NOT_EXIST);
}

TEST_F(FilesTest, RestrictionsInBytesWithMinusOneForNone) {
  std::int32_t restriction = 0, inUse = 0;
  ASSERT_TRUE(nwserver::getObjDiskRestrictions(0, "DATA", "jsmith", restriction, inUse)) << unitError();
  EXPECT_EQ(restriction, 1024 * 1024);
  EXPECT_EQ(inUse, static_cast<std::int32_t>(kBlock));  // BUDGET.XLS

  ASSERT_TRUE(nwserver::getObjDiskRestrictions(0, "DATA", "GUEST", restriction, inUse));
  EXPECT_EQ(restriction, -1);
  EXPECT_EQ(inUse, 0);

  // Limits go in whole blocks, rounded toward zero.
  ASSERT_TRUE(nwserver::setObjDiskRestrictions(0, "DATA", "GUEST", 10000)) << unitError();
  ASSERT_TRUE(nwserver::getObjDiskRestrictions(0, "DATA", "GUEST", restriction, inUse));
  EXPECT_EQ(restriction, 8192);
  ASSERT_TRUE(nwserver::removeObjDiskRestrictions(0, "DATA", "GUEST")) << unitError();
  ASSERT_TRUE(nwserver::getObjDiskRestrictions(0, "DATA", "GUEST", restriction, inUse));
  EXPECT_EQ(restriction, -1);

  EXPECT_FALSE(nwserver::getObjDiskRestrictions(0, "DATA", "NOBODY", restriction, inUse));
  EXPECT_FALSE(nwserver::getObjDiskRestrictions(0, "NOVOL", "GUEST", restriction, inUse));
  EXPECT_FALSE(nwserver::setObjDiskRestrictions(0, "DATA", "NOBODY", 4096));
}

TEST_F(FilesTest, OnlyConsoleOperatorsRestrictOthers) {
  become("WS-SALES");  // JSMITH
  EXPECT_FALSE(nwserver::setObjDiskRestrictions(0, "DATA", "GUEST", 8192));
  EXPECT_EQ(lasterror(), NWE_NO_CONSOLE_RIGHTS);
}

TEST_F(FilesTest, WritesRespectTheOwnersRestriction) {
  // New files belong to the station's user.
  ASSERT_TRUE(nwserver::setObjDiskRestrictions(0, "DATA", "SUPERVISOR", 16384));
  ASSERT_EQ(writeThroughClient("DATA:SHARED\\MINE.DAT", 12000), 12000);
  // Long enough for the directory's listing to be kept between calls.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getFileInfo("DATA:SHARED\\MINE.DAT", info));
  EXPECT_EQ(info.ownerName, "SUPERVISOR");

  nwserver::TNWDiskUsageStats usage;
  ASSERT_TRUE(nwserver::getDiskUtilization(0, "SUPERVISOR", 1, usage)) << unitError();
  EXPECT_EQ(usage.usedFiles, 1u);
  EXPECT_EQ(usage.usedBlocks, 3u);

  // One more block fits, two do not; the file keeps what it had.
  EXPECT_EQ(writeThroughClient("DATA:SHARED\\MINE.DAT", 8000, true), -1);
  EXPECT_EQ(std::filesystem::file_size(volume("FS1", "DATA") / "SHARED" / "MINE.DAT"), 12000u);
  EXPECT_EQ(writeThroughClient("DATA:SHARED\\MINE.DAT", 4000, true), 4000);
  ASSERT_TRUE(nwserver::getFileInfo("DATA:SHARED\\MINE.DAT", info));
  EXPECT_EQ(info.fileSize, 16000u);  // the size of now, not of when the directory was listed
}

TEST_F(FilesTest, SeedsNameKnownObjectsAndWellFormedValues) {
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"\"restrictions\": { \"JSMITH\": 1024 }", "\"restrictions\": { \"NOBODY\": 1024 }"},
      {"\"owners\": { \"SHARED\\\\BUDGET.XLS\": \"JSMITH\" }", "\"owners\": { \"SHARED\\\\..\\\\X\": \"JSMITH\" }"},
      {"\"at\": \"2026-11-28 09:00:00\"", "\"at\": \"yesterday\""},
      {"\"size\": 32", "\"size\": 0"},
      {"\"by\": \"GUEST\"", "\"by\": \"NOBODY\""},
  };
  for (const auto& edit : broken) {
    const std::string seed = servertest::seedText({edit});
    ASSERT_NE(seed, servertest::seedText()) << edit.first;
    EXPECT_THROW(useSeed(seed), std::exception) << edit.second;
  }
  useSeed(servertest::seedText());
}
