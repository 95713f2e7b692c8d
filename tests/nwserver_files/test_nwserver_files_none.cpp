// Unit Nwserver's volume, file and salvage operations without any client library: every one
// fails softly, with false or an empty list.
#include "nwserver/server_fixture.h"

using namespace servertest;

TEST_F(ServerTest, EveryOperationFailsSoftlyWithoutAClient) {
  std::int32_t number = 0, restriction = 0, inUse = 0;
  VOL_STATS stats{};
  nwserver::TNWVolExtendedInfo ext{};
  DIR_SPACE_INFO space{};
  nwserver::TNWDiskUsageStats usage;
  nwserver::TNWFileInfo info;
  nwserver::TNWFileFlags flags;
  nwserver::TNWDeletedFileInfo deleted;
  EXPECT_TRUE(nwserver::getVolumes(0)->Empty());
  EXPECT_FALSE(nwserver::getVolNum(0, "SYS", number));
  EXPECT_FALSE(nwserver::volInfo(0, "SYS", stats));
  EXPECT_FALSE(nwserver::getVolExtendedInfo(0, "SYS", ext));
  EXPECT_FALSE(nwserver::getVolBlockInfo(0, 0, space));
  EXPECT_FALSE(nwserver::getDiskUtilization(0, "GUEST", 0, usage));
  EXPECT_TRUE(nwserver::getVolFileList("SYS:PUBLIC\\*.*")->Empty());
  EXPECT_TRUE(nwserver::getVolDirList("SYS:*.*")->Empty());
  EXPECT_FALSE(nwserver::getFileInfo("SYS:PUBLIC\\README.TXT", info));
  EXPECT_FALSE(nwserver::getFileInfoOld("SYS:PUBLIC\\README.TXT", info));
  EXPECT_FALSE(nwserver::getDirectoryInfo("SYS:PUBLIC", info));
  EXPECT_TRUE(nwserver::getDirTrustees(0, "SYS:PUBLIC")->Empty());
  EXPECT_FALSE(nwserver::getFileFlags(0, "SYS:PUBLIC\\README.TXT", flags));
  EXPECT_FALSE(nwserver::setFileFlags(0, "SYS:PUBLIC\\README.TXT", flags));
  EXPECT_FALSE(nwserver::setExtendedFileFlags("SYS:PUBLIC\\README.TXT", {}, false));
  EXPECT_FALSE(nwserver::setDirFlags("SYS:PUBLIC", {}, nwserver::nameSpaceDOS));
  EXPECT_FALSE(nwserver::setDirSpaceLimit("SYS:PUBLIC", 400));
  EXPECT_FALSE(nwserver::getObjDiskRestrictions(0, "SYS", "GUEST", restriction, inUse));
  EXPECT_FALSE(nwserver::setObjDiskRestrictions(0, "SYS", "GUEST", 4096));
  EXPECT_FALSE(nwserver::removeObjDiskRestrictions(0, "SYS", "GUEST"));
  EXPECT_TRUE(nwserver::getDeletedFileList(0, "SYS:PUBLIC")->Empty());
  EXPECT_FALSE(nwserver::getDeletedFileInfo("SYS:PUBLIC\\OLD.TXT", deleted));
  EXPECT_FALSE(nwserver::salvage(0, "SYS:PUBLIC\\OLD.TXT", "NEW.TXT"));
  EXPECT_FALSE(nwserver::purgeFile(0, "SYS:PUBLIC\\OLD.TXT"));
  EXPECT_FALSE(nwserver::purgeSingleFile({}));
  EXPECT_FALSE(nwserver::purgeAllFiles(0, "SYS:PUBLIC"));
}
