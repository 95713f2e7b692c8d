// Unit Nwserver: deleted files kept for salvage, recovered and purged.
#include "files_fixture.h"

#include <nwclient/nwclient.h>
#include <platform/dialogs.h>
#include <rtl/datetime.h>

#include <cmath>

using namespace filestest;
using servertest::unitError;

namespace {

std::vector<std::string> deletedIn(const std::string& dir) { return nwtest::names(*nwserver::getDeletedFileList(0, dir)); }

} // namespace

TEST_F(FilesTest, DeletingThroughTheClientKeepsTheFileForSalvage) {
  EXPECT_EQ(deletedIn("DATA:SHARED"), (std::vector<std::string>{"MEMO.TXT", "MEMO.TXT", "NOTES.TXT", "PLAN.DOC", "LIST.DAT"}));
  EXPECT_EQ(deletedIn("sys:public"), (std::vector<std::string>{"OLD.EXE"}));
  EXPECT_TRUE(nwserver::getDeletedFileList(0, "DATA:EMPTY")->Empty());

  ASSERT_TRUE(platform::deleteFile("DATA:SHARED\\BUDGET.XLS"));
  EXPECT_FALSE(std::filesystem::exists(volume("FS1", "DATA") / "SHARED" / "BUDGET.XLS"));
  EXPECT_FALSE(nwserver::getFileInfo("DATA:SHARED\\BUDGET.XLS", *std::make_unique<nwserver::TNWFileInfo>()));
  auto list = nwserver::getDeletedFileList(0, "DATA:SHARED");
  ASSERT_EQ(list->Count(), 6);
  const nwserver::TNWDelFileInfo& r = list->record(5);
  EXPECT_STREQ(r.fileName, "BUDGET.XLS");
  EXPECT_EQ(r.volNumber, 1u);
  EXPECT_EQ(r.connection, ostrel::getPrimaryServerID());

  nwserver::TNWDeletedFileInfo info;
  ASSERT_TRUE(nwserver::getDeletedFileInfo("DATA:SHARED\\BUDGET.XLS", info));
  EXPECT_EQ(info.name, "BUDGET.XLS");
  EXPECT_EQ(info.fileSize, 14u);
  EXPECT_EQ(info.ownerName, "JSMITH");
  EXPECT_EQ(info.deletorName, "SUPERVISOR");
  EXPECT_NEAR(info.deletedTime, rtl::Now(), 1.0 / 24 * 25);  // the server's clock, whatever its offset
  EXPECT_TRUE(info.rightAll && info.rightSupervisor);
  EXPECT_DOUBLE_EQ(info.lastAccessDate, std::floor(info.lastAccessDate));  // a date without time
  EXPECT_GT(info.lastAccessDate, rtl::EncodeDate(2020, 1, 1));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(FilesTest, DeletedFileInformationFromTheSeed) {
  nwserver::TNWDeletedFileInfo info;
  ASSERT_TRUE(nwserver::getDeletedFileInfo("DATA:SHARED\\MEMO", info));
  EXPECT_EQ(info.name, "MEMO.TXT");
  EXPECT_EQ(info.deletorName, "JSMITH");  // the first version the scan returns
  EXPECT_DOUBLE_EQ(info.deletedTime, rtl::EncodeDate(2026, 11, 28) + rtl::EncodeTime(9, 0, 0, 0));
  EXPECT_EQ(info.fileSize, 10u);
  // Names on the server are upper case, and the match is case-sensitive.
  EXPECT_FALSE(nwserver::getDeletedFileInfo("DATA:SHARED\\memo", info));
  EXPECT_FALSE(nwserver::getDeletedFileInfo("DATA:SHARED\\NOSUCH", info));
  EXPECT_EQ(platform::cursor().cursor(), platform::crDefault);
}

TEST_F(FilesTest, SalvageRecoversTheFirstMatchAndNeverOverwrites) {
  // The live file keeps its place: a salvage onto its name fails and changes nothing.
  std::ofstream(volume("FS1", "DATA") / "SHARED" / "MEMO.TXT") << "live memo";
  EXPECT_FALSE(nwserver::salvage(0, "DATA:SHARED\\MEMO.TXT", "MEMO.TXT"));
  EXPECT_EQ(readFile(volume("FS1", "DATA") / "SHARED" / "MEMO.TXT"), "live memo");
  EXPECT_EQ(nwserver::getDeletedFileList(0, "DATA:SHARED")->Count(), 5);

  // "MEMO" is contained in both versions; the first one comes back, under the new name.
  ASSERT_TRUE(nwserver::salvage(0, "DATA:SHARED\\MEMO", "X:\\OLDMEMO.TXT"));
  EXPECT_EQ(readFile(volume("FS1", "DATA") / "SHARED" / "OLDMEMO.TXT"), "first memo");
  EXPECT_EQ(deletedIn("DATA:SHARED"), (std::vector<std::string>{"MEMO.TXT", "NOTES.TXT", "PLAN.DOC", "LIST.DAT"}));

  // What the volume knew comes back with the file.
  ASSERT_TRUE(platform::deleteFile("DATA:SHARED\\BUDGET.XLS"));
  ASSERT_TRUE(nwserver::salvage(0, "DATA:SHARED\\BUDGET.XLS", ""));
  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getFileInfo("DATA:SHARED\\BUDGET.XLS", info));
  EXPECT_EQ(info.ownerName, "JSMITH");
  EXPECT_EQ(readFile(volume("FS1", "DATA") / "SHARED" / "BUDGET.XLS"), "budget figures");

  EXPECT_FALSE(nwserver::salvage(0, "DATA:SHARED\\notes", "N.TXT"));
  EXPECT_FALSE(nwserver::salvage(0, "DATA:SHARED\\NONE.TXT", "N.TXT"));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(FilesTest, ProtectedFilesStayAndImmediatePurgeKeepsNothing) {
  nwserver::TNWFileFlags ro;
  ro.readOnly = true;
  ASSERT_TRUE(nwserver::setFileFlags(0, "DATA:SHARED\\BUDGET.XLS", ro));
  EXPECT_FALSE(platform::deleteFile("DATA:SHARED\\BUDGET.XLS"));
  EXPECT_TRUE(std::filesystem::exists(volume("FS1", "DATA") / "SHARED" / "BUDGET.XLS"));

  nwserver::TNWAllFileFlags purge;
  purge.immediatePurge = true;
  ASSERT_TRUE(nwserver::setDirFlags("SYS:PUBLIC", purge, nwserver::nameSpaceDOS));
  ASSERT_TRUE(platform::deleteFile("SYS:PUBLIC\\MAP.EXE"));
  EXPECT_FALSE(std::filesystem::exists(volume("FS1", "SYS") / "PUBLIC" / "MAP.EXE"));
  EXPECT_EQ(deletedIn("SYS:PUBLIC"), (std::vector<std::string>{"OLD.EXE"}));
  EXPECT_FALSE(platform::deleteFile("SYS:PUBLIC"));  // directories are not files
}

TEST_F(FilesTest, PurgeFileComparesTheWholeNameAndTouchesNoLiveFile) {
  const std::size_t kept = filesIn(salvageArea("FS1", "DATA"));
  std::ofstream(volume("FS1", "DATA") / "SHARED" / "NOTES.TXT") << "live notes";
  EXPECT_FALSE(nwserver::purgeFile(0, "DATA:SHARED\\NOTES"));
  ASSERT_TRUE(nwserver::purgeFile(0, "data:shared\\notes.txt")) << unitError();
  EXPECT_EQ(filesIn(salvageArea("FS1", "DATA")), kept - 1);
  EXPECT_EQ(readFile(volume("FS1", "DATA") / "SHARED" / "NOTES.TXT"), "live notes");
  EXPECT_EQ(deletedIn("DATA:SHARED"), (std::vector<std::string>{"MEMO.TXT", "MEMO.TXT", "PLAN.DOC", "LIST.DAT"}));
  EXPECT_EQ(platform::cursor().cursor(), platform::crDefault);
}

TEST_F(FilesTest, PurgesGoToTheConnectionOfTheListing) {
  // FS2's deleted file, asked for on the primary connection (FS1).
  ASSERT_TRUE(nwserver::purgeFile(0, "FS2/SYS:PUBLIC\\FS2OLD.TXT")) << unitError();
  EXPECT_TRUE(nwserver::getDeletedFileList(0, "FS2/SYS:PUBLIC")->Empty());
  EXPECT_EQ(deletedIn("SYS:PUBLIC"), (std::vector<std::string>{"OLD.EXE"}));
}

TEST_F(FilesTest, StaleHandlesNeverReachAnotherDirectory) {
  auto shared = nwserver::getDeletedFileList(0, "DATA:SHARED");
  auto pub = nwserver::getDeletedFileList(0, "SYS:PUBLIC");
  const nwserver::TNWDelFileInfo& plan = shared->record(3);
  ASSERT_STREQ(plan.fileName, "PLAN.DOC");
  // Both listings used the same handle number, since the first was released.
  EXPECT_EQ(plan.dirHandle, pub->record(0).dirHandle);

  ASSERT_TRUE(nwserver::purgeSingleFile(plan)) << unitError();
  EXPECT_EQ(deletedIn("DATA:SHARED"), (std::vector<std::string>{"MEMO.TXT", "MEMO.TXT", "NOTES.TXT", "LIST.DAT"}));
  EXPECT_EQ(deletedIn("SYS:PUBLIC"), (std::vector<std::string>{"OLD.EXE"}));
  // Purged already: the record no longer names a file.
  EXPECT_FALSE(nwserver::purgeSingleFile(plan));
  EXPECT_EQ(lasterror(), NWE_FILE_NOT_FOUND);
}

TEST_F(FilesTest, PurgeAllFilesReportsWhetherAnyWent) {
  EXPECT_FALSE(nwserver::purgeAllFiles(0, "DATA:EMPTY"));
  EXPECT_EQ(lasterror(), 0);

  nwsim::injectFault("NWPurgeDeletedFile", NWE_NO_CONSOLE_RIGHTS);
  EXPECT_FALSE(nwserver::purgeAllFiles(0, "DATA:SHARED"));
  EXPECT_EQ(lasterror(), NWE_NO_CONSOLE_RIGHTS);
  EXPECT_EQ(deletedIn("DATA:SHARED").size(), 5u);

  // The third of five cannot be removed from the salvage area: the first two go, the rest stay.
  nwserver::TNWServer().resetLastError();
  const auto third = nwserver::getDeletedFileList(0, "DATA:SHARED")->record(2).iterHandle;
  const auto blocker = salvageArea("FS1", "DATA") / std::to_string(third);
  std::filesystem::remove(blocker);
  std::filesystem::create_directories(blocker / "busy");
  EXPECT_TRUE(nwserver::purgeAllFiles(0, "data:shared"));
  EXPECT_EQ(lasterror(), 0);
  EXPECT_EQ(deletedIn("DATA:SHARED"), (std::vector<std::string>{"NOTES.TXT", "PLAN.DOC", "LIST.DAT"}));

  std::filesystem::remove_all(blocker);
  EXPECT_TRUE(nwserver::purgeAllFiles(0, "DATA:SHARED"));
  EXPECT_TRUE(deletedIn("DATA:SHARED").empty());
  EXPECT_EQ(filesIn(salvageArea("FS1", "DATA")), 0u);
}

TEST_F(FilesTest, TheDeletingStationsUserIsTheDeletor) {
  become("WS-SALES");  // JSMITH
  ASSERT_TRUE(platform::deleteFile("DATA:SHARED\\BUDGET.XLS"));
  nwserver::TNWDeletedFileInfo info;
  ASSERT_TRUE(nwserver::getDeletedFileInfo("DATA:SHARED\\BUDGET.XLS", info));
  EXPECT_EQ(info.deletorName, "JSMITH");
  // The file still counts for nobody's restriction once it is deleted.
  std::int32_t restriction = 0, inUse = -1;
  ASSERT_TRUE(nwserver::getObjDiskRestrictions(0, "DATA", "JSMITH", restriction, inUse));
  EXPECT_EQ(inUse, 0);
}

TEST_F(FilesTest, DeletingSalvagingPurgingAndChangingNeedTheirRights) {
  become("WS-SALES");  // JSMITH: read, write, create, erase and file scan in DATA:SHARED only
  EXPECT_FALSE(platform::deleteFile("SYS:PUBLIC\\README.TXT")) << "no erase right";
  EXPECT_TRUE(std::filesystem::exists(volume("FS1", "SYS") / "PUBLIC" / "README.TXT"));
  EXPECT_FALSE(nwserver::salvage(0, "SYS:PUBLIC\\OLD.EXE", "OLD.EXE")) << "no create right";
  EXPECT_FALSE(nwserver::purgeFile(0, "SYS:PUBLIC\\OLD.EXE"));
  EXPECT_EQ(lasterror(), NWE_NO_DELETE_PRIVILEGE);
  EXPECT_EQ(deletedIn("SYS:PUBLIC"), (std::vector<std::string>{"OLD.EXE"}));

  // Without the modify right no attribute, and without supervisory rights no limit, changes.
  nwserver::TNWFileFlags flags;
  flags.readOnly = true;
  EXPECT_FALSE(nwserver::setFileFlags(0, "DATA:SHARED\\BUDGET.XLS", flags));
  EXPECT_EQ(lasterror(), NWE_NO_SET_PRIVILEGE);
  EXPECT_FALSE(nwserver::setDirSpaceLimit("DATA:SHARED", 4096));
  EXPECT_EQ(lasterror(), NWE_NO_SET_PRIVILEGE);

  // What his rights in DATA:SHARED allow goes through.
  EXPECT_TRUE(nwserver::salvage(0, "DATA:SHARED\\NOTES.TXT", "NOTES.TXT"));
  EXPECT_TRUE(std::filesystem::exists(volume("FS1", "DATA") / "SHARED" / "NOTES.TXT"));
  EXPECT_TRUE(platform::deleteFile("DATA:SHARED\\NOTES.TXT"));
  EXPECT_TRUE(nwserver::purgeFile(0, "DATA:SHARED\\NOTES.TXT")) << unitError();
}
