// What a server keeps about volume entries: keys, defaults, and moves and removals of whole
// subtrees that never touch a sibling whose name merely starts the same.
#include "servers_test.h"

#include <file_entries.h>
#include <simulator.h>
#include <trustees.h>

namespace {

using nwsim::EntryInfo;
using nwsim::FileEntries;
using nwsim::Trustees;

class FileEntriesTest : public nwtest::ServersTest {
protected:
  void SetUp() override {
    ServersTest::SetUp();
    network = std::make_unique<nwsim::Network>(net->dir());
  }
  std::unique_ptr<nwsim::Network> network;
  static constexpr std::int64_t server = 1;
};

TEST(FileEntryKeys, AreUpperCaseWithSingleBackslashes) {
  EXPECT_EQ(FileEntries::key("public/Win\\\\x.exe"), "PUBLIC\\WIN\\X.EXE");
  EXPECT_EQ(FileEntries::key("\\"), "");
  EXPECT_EQ(FileEntries::key("/home/jsmith/"), "HOME\\JSMITH");
  EXPECT_EQ(FileEntries::parentKey("HOME\\JSMITH"), "HOME");
  EXPECT_EQ(FileEntries::parentKey("HOME"), "");
}

TEST_F(FileEntriesTest, StoredInformationRoundTripsAndDefaultsOtherwise) {
  FileEntries entries(network->store());
  EXPECT_FALSE(entries.find(server, 0, "PUBLIC").has_value());
  EXPECT_EQ(entries.get(server, 0, "PUBLIC").inheritedMask, nwsim::NWR_ALL);

  EntryInfo e;
  e.attributes = 0x20;
  e.ownerId = 0x01000001;
  e.created = 900000000;
  e.inheritedMask = nwsim::NWR_READ | nwsim::NWR_FILE_SCAN;
  e.maxSpace = 256;
  entries.put(server, 0, "public", e);
  auto back = entries.find(server, 0, "PUBLIC");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->attributes, 0x20u);
  EXPECT_EQ(back->ownerId, 0x01000001u);
  EXPECT_EQ(back->created, 900000000);
  EXPECT_FALSE(back->updated.has_value());
  EXPECT_EQ(back->inheritedMask, nwsim::NWR_READ | nwsim::NWR_FILE_SCAN);
  EXPECT_EQ(back->maxSpace, 256);
  EXPECT_FALSE(entries.find(server, 1, "PUBLIC").has_value()) << "another volume";
}

TEST_F(FileEntriesTest, MovingAndRemovingATreeLeavesSiblingsWithTheSamePrefix) {
  FileEntries entries(network->store());
  Trustees trustees(network->store());
  EntryInfo e;
  e.attributes = 1;
  for (const char* p : {"DATA\\PUB", "DATA\\PUB\\A", "DATA\\PUBLIC", "DATA\\PUB_X", "DATA\\PUBAX"})
    entries.put(server, 1, p, e);
  trustees.set(server, 1, "DATA\\PUB\\A", 7, nwsim::NWR_READ);
  trustees.set(server, 1, "DATA\\PUBLIC", 7, nwsim::NWR_WRITE);

  entries.moveTree(server, 1, "data\\pub", "ARCHIVE\\OLD");
  EXPECT_TRUE(entries.find(server, 1, "ARCHIVE\\OLD"));
  EXPECT_TRUE(entries.find(server, 1, "ARCHIVE\\OLD\\A"));
  EXPECT_FALSE(entries.find(server, 1, "DATA\\PUB"));
  EXPECT_TRUE(entries.find(server, 1, "DATA\\PUBLIC"));
  EXPECT_TRUE(entries.find(server, 1, "DATA\\PUB_X"));
  ASSERT_EQ(trustees.at(server, 1, "ARCHIVE\\OLD\\A").size(), 1u);
  ASSERT_EQ(trustees.at(server, 1, "DATA\\PUBLIC").size(), 1u);

  // "_" in a key is a character, not a wildcard.
  entries.removeTree(server, 1, "DATA\\PUB_X");
  EXPECT_FALSE(entries.find(server, 1, "DATA\\PUB_X"));
  EXPECT_TRUE(entries.find(server, 1, "DATA\\PUBAX"));

  entries.removeTree(server, 1, "ARCHIVE");
  EXPECT_FALSE(entries.find(server, 1, "ARCHIVE\\OLD\\A"));
  EXPECT_TRUE(trustees.at(server, 1, "ARCHIVE\\OLD\\A").empty());
  EXPECT_EQ(trustees.ofObject(server, 7).size(), 1u);
}

TEST_F(FileEntriesTest, TrusteesAreReplacedAndRemovedOneAtATime) {
  Trustees trustees(network->store());
  trustees.set(server, 0, "HOME\\JSMITH", 10, nwsim::NWR_READ);
  trustees.set(server, 0, "home\\jsmith", 10, nwsim::NWR_ALL);
  trustees.set(server, 0, "HOME\\JSMITH", 11, nwsim::NWR_FILE_SCAN);
  trustees.set(server, 0, "HOME\\JSMITHX", 10, nwsim::NWR_READ);
  auto at = trustees.at(server, 0, "HOME\\JSMITH");
  ASSERT_EQ(at.size(), 2u);
  EXPECT_EQ(at[0].objectId, 10u);
  EXPECT_EQ(at[0].rights, nwsim::NWR_ALL);

  EXPECT_FALSE(trustees.remove(server, 0, "HOME\\JSMITH", 12));
  EXPECT_TRUE(trustees.remove(server, 0, "HOME\\JSMITH", 10));
  EXPECT_FALSE(trustees.remove(server, 0, "HOME\\JSMITH", 10));
  EXPECT_EQ(trustees.at(server, 0, "HOME\\JSMITH").size(), 1u);
  EXPECT_EQ(trustees.at(server, 0, "HOME\\JSMITHX").size(), 1u);

  trustees.removeObject(server, 10);
  EXPECT_TRUE(trustees.ofObject(server, 10).empty());
  EXPECT_EQ(trustees.ofObject(server, 11).size(), 1u);
}

} // namespace
