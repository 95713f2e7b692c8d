// Without a client every operation fails softly and records nothing.
#include "print_fixture.h"

TEST(NwprintWithoutClient, EveryOperationFailsSoftly) {
  ostrel::TOstrel ostrelUnit;
  nwprint::TNWPrint unit;
  nwprint::TNWQueueJobNumbers numbers{};
  rtl::TStringList list;
  nwprint::TNWQueueJobInfo info;
  nwprint::TNWCaptureFlags flags;
  EXPECT_FALSE(nwprint::getQueueJobNumbers(0, "LASER", numbers));
  EXPECT_FALSE(nwprint::getQueueJobList(0, "LASER", list));
  EXPECT_FALSE(nwprint::getQueueJobInfo(info));
  EXPECT_FALSE(nwprint::setQueueJobInfo(info));
  EXPECT_FALSE(nwprint::deleteQueueJob(info));
  EXPECT_TRUE(nwprint::getQueueUsers(0, "LASER")->Empty());
  EXPECT_FALSE(nwprint::getCaptureFlags(1, flags));
  EXPECT_EQ(flags.copies, 1u);
  EXPECT_FALSE(nwprint::capture(0, "LASER", 1, flags));
  EXPECT_FALSE(nwprint::isCaptured(1));
  EXPECT_FALSE(nwprint::endCap(1));
  EXPECT_EQ(nwprint::getBannerUserName(), "");
  EXPECT_EQ(nwprint::getMaxPrinters(), 0);
  EXPECT_FALSE(nwprint::NPrint(0, "LASER", "/etc/hostname"));
  EXPECT_EQ(unit.getLastError(), "0000");
}
