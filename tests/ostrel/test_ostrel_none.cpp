// Unit Ostrel on a machine without the NetWare client: everything fails softly.
#include <ostrel/ostrel.h>

#include <gtest/gtest.h>

#include <functional>

using ostrel::lasterror;

TEST(NoClient, EveryOperationFailsSoftly) {
  ostrel::TOstrel unit;
  EXPECT_EQ(ostrel::hNWCalls(), nullptr);
  EXPECT_EQ(unit.getLastError(), "FFFF");
  EXPECT_FALSE(ostrel::nwInit());
  EXPECT_EQ(ostrel::getOstrelVersion(), "4.50 - 15 Sept 1998");

  struct Case { const char* operation; std::function<bool()> soft; std::int32_t recorded; };
  ostrel::TNWConnectionStats stats{1, 2, 3};
  ostrel::TNWCCConnInfo record{};
  const Case cases[] = {
      // Without an entry point the error code stays as construction left it...
      {"longSwap", [] { return ostrel::longSwap(0x12345678) == 0; }, 0xFFFF},
      {"whoAmI", [] { return ostrel::whoAmI(0).empty(); }, 0xFFFF},
      {"maxConns", [] { return ostrel::maxConns() == 0; }, 0xFFFF},
      {"getConnUsageStats", [&] { return !ostrel::getConnUsageStats(0, 3, stats) && stats.bytesRead == 1; }, 0xFFFF},
      {"getConnectInfo", [] { ostrel::TNWConnectInfo i; return !ostrel::getConnectInfo(0, 3, i); }, 0xFFFF},
      {"getAllConnectInfo", [&] { return !ostrel::getAllConnectInfo(0, record); }, 0xFFFF},
      {"getAllConnectRefInfo", [&] { return !ostrel::getAllConnectRefInfo(1, record); }, 0xFFFF},
      {"getConnectedServerList", [] { return ostrel::getConnectedServerList()->Empty(); }, 0xFFFF},
      {"isLoggedIn", [] { return !ostrel::isLoggedIn(0, "SUPERVISOR"); }, 0xFFFF},
      {"getServerDate", [] { return ostrel::getServerDate(0) == rtl::Date(); }, 0xFFFF},
      {"getServerTime", [] { double t = ostrel::getServerTime(0); return t > 0 && t < 1; }, 0xFFFF},
      // ...while those with two generations of a client function record -1.
      {"getServerName", [] { return ostrel::getServerName(0) == "LOCAL"; }, -1},
      {"getConnectID", [] { return ostrel::getConnectID(0) == 0; }, -1},
      {"getPrimaryServerID", [] { return ostrel::getPrimaryServerID() == 0; }, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    EXPECT_TRUE(c.soft());
    EXPECT_EQ(unit.getLastError(), ostrel::formatLastError(c.recorded));
  }
  EXPECT_EQ(unit.getLastError(), "FFFFFFFF");
}
