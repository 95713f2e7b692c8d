// Unit Nwserver without any client library: every operation fails softly and records
// nothing; the conversions that need no client still work.
#include "server_fixture.h"

using namespace servertest;

TEST_F(ServerTest, EveryOperationFailsSoftly) {
  nwserver::TNWServer().resetLastError();
  EXPECT_EQ(nwserver::getServerHandle("FS1"), 0u);
  EXPECT_EQ(nwserver::attach("FS1"), 0u);
  EXPECT_EQ(nwserver::openConnByName("FS1", false, true), 0u);
  EXPECT_EQ(nwserver::getServerHandleFromPath("SYS:PUBLIC"), 0u);
  EXPECT_FALSE(nwserver::closeConnection(1));
  EXPECT_FALSE(nwserver::NWLogin("FS1", "SUPERVISOR", "SECRET", 0));
  EXPECT_FALSE(nwserver::NWLogout(1));
  EXPECT_FALSE(nwserver::serverLoginOK(0));
  EXPECT_FALSE(nwserver::disableLogins(0));
  EXPECT_FALSE(nwserver::setServerDateTime(0, 40000));
  EXPECT_EQ(nwserver::getServerSerial("FS1"), 0u);
  nwserver::TNWConnStats stats;
  EXPECT_FALSE(nwserver::getUserStats(0, 3, stats));
  nwserver::TNWServerInfo info;
  EXPECT_FALSE(nwserver::getServerStats(0, info));
  nwserver::TNWMemCacheInfo cache;
  EXPECT_FALSE(nwserver::getCacheInfo(0, cache));
  EXPECT_TRUE(nwserver::getNLMList(0)->Empty());
  EXPECT_EQ(nwserver::getNLMID(0, "CLIB.NLM"), 0);
  EXPECT_FALSE(nwserver::nlmLoad(0, "CLIB"));
  EXPECT_EQ(nwserver::mountVolume(0, "SYS"), 0u);
  EXPECT_FALSE(nwserver::serverSetIntegerValue(0, "X", 1));
  EXPECT_EQ(lasterror(), 0);
}

TEST_F(ServerTest, ConversionsWithoutTheClient) {
  EXPECT_DOUBLE_EQ(nwserver::nwDateTimeToTDateTime(0x25300000), rtl::EncodeDate(1980, 1, 1));
  EXPECT_EQ(nwserver::ticksToTimeString(1573040), "1:00:00:00");
}
