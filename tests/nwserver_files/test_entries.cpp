// Unit Nwserver: directory listings, entry information, trustees, attributes and space limits.
#include "files_fixture.h"

#include <nwclient/nwclient.h>
#include <rtl/datetime.h>

#include <bindery.h>

#include <ctime>

using namespace filestest;
using servertest::unitError;

namespace {

std::int64_t seconds(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return timegm(&tm);
}

rtl::TDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return rtl::EncodeDate(year, month, day) + rtl::EncodeTime(hour, minute, second, 0);
}

} // namespace

TEST_F(FilesTest, ListingsTakeThePatternAndTheKindOfEntry) {
  EXPECT_EQ(nwtest::names(*nwserver::getVolFileList("sys:public\\*.exe")),
            (std::vector<std::string>{"LOGIN.EXE", "MAP.EXE", "NDIR.EXE"}));
  EXPECT_EQ(nwtest::names(*nwserver::getVolDirList("SYS:*.*")),
            (std::vector<std::string>{"LOGIN", "PUBLIC", "SYSTEM"}));
  EXPECT_EQ(nwtest::names(*nwserver::getVolFileList("SYS:PUBLIC\\M?P.*")), (std::vector<std::string>{"MAP.EXE"}));
  EXPECT_TRUE(nwserver::getVolFileList("SYS:NOSUCH\\*.*")->Empty());
  EXPECT_TRUE(nwserver::getVolDirList("SYS:PUBLIC\\*.*")->Empty());
  EXPECT_EQ(lasterror(), 0) << "scans do not record their end";

  // Hidden and system files are listed; the entry scan of getFileInfoOld skips them.
  nwserver::TNWFileFlags hidden;
  hidden.hidden = true;
  ASSERT_TRUE(nwserver::setFileFlags(0, "SYS:PUBLIC\\MAP.EXE", hidden)) << unitError();
  EXPECT_EQ(nwserver::getVolFileList("SYS:PUBLIC\\*.EXE")->Count(), 3);
  nwserver::TNWFileInfo info;
  EXPECT_FALSE(nwserver::getFileInfoOld("SYS:PUBLIC\\MAP.EXE", info));
  EXPECT_TRUE(nwserver::getFileInfoOld("SYS:PUBLIC\\LOGIN.EXE", info));
}

TEST_F(FilesTest, ListingsSeeChangesAndCutLongNamesToTheirField) {
  EXPECT_EQ(nwserver::getVolFileList("DATA:SHARED\\*.*")->Count(), 1);
  std::ofstream(volume("FS1", "DATA") / "SHARED" / "AVERYLONGFILENAME.TEXT") << "x";
  EXPECT_EQ(nwtest::names(*nwserver::getVolFileList("DATA:SHARED\\*.*")),
            (std::vector<std::string>{"AVERYLONGFIL", "BUDGET.XLS"}));
  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getFileInfo("DATA:SHARED\\AVERY*", info)) << unitError();
  EXPECT_EQ(info.name, "AVERYLONGFIL");
  EXPECT_EQ(info.nameLength, 22);
}

TEST_F(FilesTest, FileInformationTakesTheLastMatchAndItsKeptDetails) {
  nwsim::FileEntries entries(store());
  nwsim::EntryInfo e;
  e.ownerId = 0x1A000010;    // JSMITH
  e.updaterId = 0x1A000012;  // GUEST
  e.archiverId = 0x00000001;
  e.created = seconds(1998, 9, 15, 10, 30, 44);
  e.updated = seconds(1999, 1, 2, 3, 4, 6);
  e.archived = seconds(2000, 2, 29, 23, 59, 58);
  e.accessed = seconds(2001, 9, 1, 14, 0, 0);
  e.inheritedMask = 0x0B;
  e.attributes = 0x21;
  entries.put(1, 0, "PUBLIC\\NDIR.EXE", e);

  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getFileInfo("SYS:PUBLIC\\*.EXE", info)) << unitError();
  EXPECT_EQ(info.name, "NDIR.EXE");
  EXPECT_EQ(info.fileSize, 12u);
  EXPECT_EQ(info.ownerName, "JSMITH");
  EXPECT_EQ(info.modifierName, "GUEST");
  EXPECT_EQ(info.archiverName, "SUPERVISOR");
  EXPECT_DOUBLE_EQ(info.creationTime, at(1998, 9, 15, 10, 30, 44));
  EXPECT_DOUBLE_EQ(info.updateTime, at(1999, 1, 2, 3, 4, 6));
  EXPECT_DOUBLE_EQ(info.modifyTime, info.updateTime);
  EXPECT_DOUBLE_EQ(info.archiveTime, at(2000, 2, 29, 23, 59, 58));
  EXPECT_DOUBLE_EQ(info.lastAccessDate, at(2001, 9, 1));  // the date only
  EXPECT_EQ(info.attributes, 0x21u);
  EXPECT_TRUE(info.rightRead && info.rightWrite && info.rightCreate && info.rightAll && info.rightNormal);
  EXPECT_FALSE(info.rightOpen || info.rightDelete || info.rightSupervisor || info.rightFileScan);

  // The older entry scan reads the rights from its own place and the name by substring.
  nwserver::TNWFileInfo old;
  ASSERT_TRUE(nwserver::getFileInfoOld("sys:public\\ndir.exe", old)) << unitError();
  EXPECT_EQ(old.name, "NDIR.EXE");
  EXPECT_TRUE(old.rightRead && old.rightCreate);
  EXPECT_FALSE(nwserver::getFileInfo("SYS:PUBLIC\\NONE.*", info));
  EXPECT_FALSE(nwserver::getFileInfo("NOVOL:X\\Y", info));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(FilesTest, DirectoryInformationBySubstringWithFlagsAndLimit) {
  nwserver::TNWAllFileFlags flags;
  flags.renameInhibit = flags.deleteInhibit = flags.immediatePurge = flags.cantCompress = flags.attrBit9 = true;
  flags.directory = flags.compressed = true;  // never written
  ASSERT_TRUE(nwserver::setDirFlags("SYS:PUBLIC", flags, nwserver::nameSpaceDOS)) << unitError();
  ASSERT_TRUE(nwserver::setDirSpaceLimit("SYS:PUBLIC", 4096)) << unitError();

  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getDirectoryInfo("sys:pub", info)) << unitError();
  EXPECT_EQ(info.name, "PUBLIC");
  EXPECT_EQ(info.attributes, 0x10u | 0x20000u | 0x40000u | 0x10000u | 0x20000000u | 0x200u);
  EXPECT_TRUE(info.attributeFlags.directory && info.attributeFlags.renameInhibit && info.attributeFlags.deleteInhibit);
  EXPECT_TRUE(info.attributeFlags.immediatePurge && info.attributeFlags.cantCompress && info.attributeFlags.attrBit9);
  EXPECT_FALSE(info.attributeFlags.system || info.attributeFlags.compressed || info.attributeFlags.readOnly);
  EXPECT_EQ(info.maxSpace, 1024);  // 4096 KB in 4 KB blocks
  EXPECT_TRUE(info.rightSupervisor && info.rightAll);

  // normal clears every attribute but the directory's own.
  nwserver::TNWAllFileFlags normal;
  normal.normal = normal.readOnly = true;
  ASSERT_TRUE(nwserver::setDirFlags("SYS:PUBLIC", normal, nwserver::nameSpaceDOS));
  ASSERT_TRUE(nwserver::getDirectoryInfo("SYS:PUBLIC", info));
  EXPECT_EQ(info.attributes, 0x10u);
  EXPECT_FALSE(nwserver::getDirectoryInfo("SYS:NOSUCH", info));
  // A hidden directory is not among those the scan returns.
  nwserver::TNWAllFileFlags hidden;
  hidden.hidden = true;
  ASSERT_TRUE(nwserver::setDirFlags("SYS:PUBLIC", hidden, nwserver::nameSpaceDOS));
  EXPECT_FALSE(nwserver::getDirectoryInfo("SYS:PUBLIC", info));
}

TEST_F(FilesTest, LongVolumePathsStayInsideTheEntryRecord) {
  // A path far longer than the 12-byte name area of the record.
  std::string path = "DATA:";
  std::string dir;
  for (int i = 0; i < 9; ++i) dir += (i ? "\\" : "") + std::string("LEVEL") + std::to_string(i) + "XYZ";
  std::filesystem::path local = volume("FS1", "DATA");
  for (int i = 0; i < 9; ++i) local /= "LEVEL" + std::to_string(i) + "XYZ";
  std::filesystem::create_directories(local);
  nwserver::TNWAllFileFlags flags;
  flags.renameInhibit = true;
  ASSERT_TRUE(nwserver::setDirFlags(path + dir, flags, nwserver::nameSpaceOS2)) << unitError();
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, dir).attributes, 0x20000u);
}

TEST_F(FilesTest, TrusteesWithTheirRights) {
  nwsim::Trustees trustees(store());
  trustees.set(1, 1, "SHARED", 0x1A000010, 0x0B);   // JSMITH: read, write, create
  trustees.set(1, 1, "SHARED", 0x1A000012, 0x40);   // GUEST: file scan
  trustees.set(1, 1, "SHARED", 0x02000001, 0x1FF);  // STAFF: all
  trustees.set(1, 1, "SHARED", 0x0BADBAD0, 0xFF);   // an object that no longer exists
  auto list = nwserver::getDirTrustees(0, "DATA:SHARED");
  EXPECT_EQ(nwtest::names(*list),
            (std::vector<std::string>{"STAFF  [SFRWCDMA]", "JSMITH  [--RWC---]", "GUEST  [-F------]"}));
  EXPECT_EQ(lasterror(), NWE_NO_MORE_ENTRIES) << "the end of the scan is recorded";

  // More than one record's worth.
  nwsim::Bindery bindery(store(), 1);
  for (int i = 0; i < 25; ++i)
    trustees.set(1, 1, "EMPTY", bindery.addObject("USER" + std::to_string(i), 0x0100), 0x80 | 0x20);
  auto many = nwserver::getDirTrustees(0, "DATA:EMPTY");
  ASSERT_EQ(many->Count(), 25);
  EXPECT_EQ((*many)[0].substr((*many)[0].find("  ")), "  [------MA]");
  EXPECT_TRUE(nwserver::getDirTrustees(0, "DATA:NOSUCH")->Empty());
}

TEST_F(FilesTest, FileFlagsReadAndWrittenAsTheDosByte) {
  nwserver::TNWFileFlags flags;
  flags.readOnly = flags.archive = flags.shareable = true;
  flags.normal = flags.directory = true;  // ignored / never set on a file
  ASSERT_TRUE(nwserver::setFileFlags(0, "data:shared\\budget.xls", flags)) << unitError();
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS").attributes, 0xA1u);

  nwserver::TNWFileFlags read;
  read.normal = true;
  ASSERT_TRUE(nwserver::getFileFlags(0, "DATA:SHARED\\BUDGET.XLS", read)) << unitError();
  EXPECT_FALSE(read.normal || read.hidden || read.directory || read.executeOnly);
  EXPECT_TRUE(read.readOnly && read.archive && read.shareable);

  // Extended flags set or clear only the bits given; the extended byte stays.
  auto e = nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS");
  e.attributes |= 0x1000;  // transactional
  nwsim::FileEntries(store()).put(1, 1, "SHARED\\BUDGET.XLS", e);
  nwserver::TNWExtFileFlags ext;
  ext.readOnly = ext.extra1 = ext.extra4 = true;
  ASSERT_TRUE(nwserver::setExtendedFileFlags("DATA:SHARED\\BUDGET.XLS", ext, true)) << unitError();
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS").attributes, 0x10A0u);
  ext = {};
  ext.hidden = true;
  ASSERT_TRUE(nwserver::setExtendedFileFlags("DATA:SHARED\\BUDGET.XLS", ext, false));
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS").attributes, 0x10A2u);

  EXPECT_FALSE(nwserver::getFileFlags(0, "DATA:SHARED\\NONE.XLS", read));
  EXPECT_EQ(lasterror(), NWE_FILE_NOT_FOUND);
  EXPECT_FALSE(nwserver::setExtendedFileFlags("DATA:SHARED\\NONE.XLS", ext, false));
}

TEST_F(FilesTest, AFilesWholeAttributeWordIsWrittenThroughItsEntry) {
  // Transactional, purge and the three inhibit bits, beyond the byte-wide calls' reach.
  ASSERT_TRUE(nwserver::setFileAttributes("DATA:SHARED\\BUDGET.XLS", 0x1000 | 0x10000 | 0xE0000 | 0x01 | 0x10))
      << unitError();
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS").attributes, 0xF1001u)
      << "the directory bit is never set on a file";
  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getFileInfo("DATA:SHARED\\BUDGET.XLS", info));
  EXPECT_EQ(info.attributes, 0xF1001u) << "and reads back so";
  ASSERT_TRUE(nwserver::setFileAttributes("DATA:SHARED\\BUDGET.XLS", 0));
  EXPECT_EQ(nwsim::FileEntries(store()).get(1, 1, "SHARED\\BUDGET.XLS").attributes, 0u);
  // One file, named as it is: no pattern, nothing missing.
  EXPECT_FALSE(nwserver::setFileAttributes("DATA:SHARED\\*.XLS", 0x1000));
  EXPECT_EQ(lasterror(), NWE_INVALID_PATH);
  EXPECT_FALSE(nwserver::setFileAttributes("DATA:SHARED\\NONE.XLS", 0x1000));
  EXPECT_EQ(lasterror(), NWE_FILE_NOT_FOUND);
  EXPECT_FALSE(nwserver::setFileAttributes("DATA:SHARED\\", 0x1000)) << "no file name";
}

TEST_F(FilesTest, SpaceLimitsStopWritesBelowTheDirectory) {
  // The seed gives EMPTY 400 KB: 100 blocks.
  ASSERT_TRUE(nwserver::setDirSpaceLimit("DATA:EMPTY", 16)) << unitError();
  nwserver::TNWFileInfo info;
  ASSERT_TRUE(nwserver::getDirectoryInfo("DATA:EMPTY", info));
  EXPECT_EQ(info.maxSpace, 4);
  std::filesystem::create_directories(volume("FS1", "DATA") / "EMPTY" / "SUB");
  EXPECT_EQ(writeThroughClient("DATA:EMPTY\\SUB\\A.DAT", 8192), 8192);
  EXPECT_EQ(writeThroughClient("DATA:EMPTY\\B.DAT", 12288), -1);
  EXPECT_EQ(writeThroughClient("DATA:EMPTY\\B.DAT", 8192), 8192);
  // A copy the server makes is held to the same limit.
  std::ofstream(volume("FS1", "SYS") / "PUBLIC" / "BIG.DAT") << std::string(12288, 'b');
  EXPECT_FALSE(ostrel::nCopy("FS1/SYS:PUBLIC\\BIG.DAT", "FS1/DATA:EMPTY\\COPY.DAT"));
  EXPECT_EQ(nwsim::callCount("NWFileServerFileCopy"), 1u);
  // Without the limit the same write goes through.
  ASSERT_TRUE(nwserver::setDirSpaceLimit("DATA:EMPTY", 0));
  EXPECT_EQ(writeThroughClient("DATA:EMPTY\\C.DAT", 12288), 12288);
  EXPECT_TRUE(ostrel::nCopy("FS1/SYS:PUBLIC\\BIG.DAT", "FS1/DATA:EMPTY\\COPY.DAT"));
}

TEST_F(FilesTest, TemporaryHandlesAreReleasedAndFailuresRecordNothing) {
  for (int i = 0; i < 300; ++i) ASSERT_EQ(nwserver::getVolFileList("SYS:PUBLIC\\*.EXE")->Count(), 3) << i;
  EXPECT_EQ(nwsim::callCount("NWAllocTemporaryDirectoryHandle"), nwsim::callCount("NWDeallocateDirectoryHandle"));

  nwsim::injectFault("NWAllocTemporaryDirectoryHandle", NWE_NO_MORE_DIR_HANDLES);
  EXPECT_TRUE(nwserver::getVolFileList("SYS:PUBLIC\\*.EXE")->Empty());
  nwsim::injectFault("NWParseNetWarePath", NWE_INVALID_PATH);
  nwserver::TNWFileInfo info;
  EXPECT_FALSE(nwserver::getDirectoryInfo("SYS:PUBLIC", info));
  EXPECT_EQ(lasterror(), 0);

  nwsim::injectFault("NWSetDirSpaceLimit", NWE_NO_CONSOLE_RIGHTS);
  EXPECT_FALSE(nwserver::setDirSpaceLimit("DATA:EMPTY", 64));
  EXPECT_EQ(lasterror(), NWE_NO_CONSOLE_RIGHTS);
}
