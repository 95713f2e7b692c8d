// Unit Ostrel's bindery, path, drive and open-file operations without any client library:
// every one returns its soft value; a local copy still works.
#include "bindery_fixture.h"

#include <fstream>
#include <iterator>

using namespace binderytest;

TEST_F(BinderyTest, EveryOperationReturnsItsSoftValue) {
  NWCONN_HANDLE conn = 0;
  EXPECT_EQ(ostrel::getObjName(0, 1), "");
  EXPECT_EQ(ostrel::getObjNumber(conn, "JSMITH", 0x0100), 0u);
  EXPECT_EQ(ostrel::getObjID(0, "JSMITH", 0x0100), "0");
  EXPECT_EQ(ostrel::getObjType(0, "JSMITH"), 0);
  EXPECT_FALSE(ostrel::nwPassCheck(0, "JSMITH", "SWORDFISH"));
  EXPECT_FALSE(ostrel::isConsoleOperator(0));
  EXPECT_FALSE(ostrel::isNWManager(0));
  EXPECT_TRUE(ostrel::getBinderyList(0, 0x0100)->Empty());
  EXPECT_TRUE(ostrel::getMemberList(0, "EVERYONE", true)->Empty());
  EXPECT_TRUE(ostrel::getMyGroups(0, "JSMITH")->Empty());
  EXPECT_FALSE(ostrel::secureEquiv(0, "JSMITH", "SALES"));
  EXPECT_FALSE(ostrel::isMember(0, "JSMITH", "SALES"));
  EXPECT_FALSE(ostrel::isInList(0, "JSMITH,SALES"));
  EXPECT_EQ(ostrel::fullName(0, " jsmith "), "JSMITH");

  ostrel::TNWPathInfo info;
  EXPECT_FALSE(ostrel::parseNetwarePath(0, "SYS:PUBLIC", info));
  ostrel::TNWParsedPath parsed;
  EXPECT_FALSE(ostrel::getPathInfo("SYS:PUBLIC", parsed));
  EXPECT_FALSE(ostrel::map('G', "SYS:PUBLIC"));
  EXPECT_FALSE(ostrel::mapDelete("G"));
  EXPECT_EQ(ostrel::getFirstNetDrive(), '\0');
  EXPECT_EQ(ostrel::getNextNetDrive(), '\0');
  ostrel::TNWMapInfo map;
  EXPECT_FALSE(ostrel::getMapInfo('G', map));
  EXPECT_TRUE(ostrel::mapShow()->Empty());
  EXPECT_EQ(ostrel::convertLocalFileHandle(5), 0);
  EXPECT_FALSE(ostrel::_nwCopy("SYS:A", "SYS:B"));
  EXPECT_TRUE(ostrel::getConnOpenFiles(0, 3)->Empty());
  EXPECT_TRUE(ostrel::getOpenFileUsers(0, "SYS:PUBLIC\\README.TXT")->Empty());
}

TEST_F(BinderyTest, LocalCopiesNeedNoClient) {
  const auto src = dir.path() / "a.txt", dst = dir.path() / "b.txt";
  std::ofstream(src) << "local";
  ASSERT_TRUE(ostrel::nCopy(src.string(), dst.string()));
  std::ifstream in(dst);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "local");
  EXPECT_FALSE(ostrel::nCopy(src.string(), src.string()));
}
