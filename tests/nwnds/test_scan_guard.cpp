// Scans of the unit end when the client stops making progress.
#include <nwnds/client.h>

#include <gtest/gtest.h>

using nwnds::detail::ScanGuard;

TEST(ScanGuard, EndsWhenTheClientIsDone) {
  ScanGuard guard;
  EXPECT_TRUE(guard.more(17));
  EXPECT_TRUE(guard.more(18));
  EXPECT_FALSE(guard.more(NWDS_NO_MORE_ITERATIONS));
}

TEST(ScanGuard, EndsWhenTheSameHandleComesTwiceInARow) {
  ScanGuard guard;
  EXPECT_TRUE(guard.more(5));
  EXPECT_FALSE(guard.more(5));
  ScanGuard other;
  EXPECT_TRUE(other.more(5));
  EXPECT_TRUE(other.more(6));
  EXPECT_TRUE(other.more(5)) << "only twice in a row counts";
}

TEST(ScanGuard, EndsAfterTheCapWhateverTheClientSays) {
  ScanGuard guard;
  long passes = 0;
  while (guard.more(static_cast<nint32>(passes % 2))) ++passes;
  EXPECT_EQ(passes, nwnds::detail::kMaxScanPasses - 1);
}
