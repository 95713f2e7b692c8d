// TNWBase on a client that has only the calls library: the client counts as missing
// (NetAvailable false, no directory), while what the calls library can answer is answered.
#include "base_fixture.h"

using namespace nwbase;

TEST_F(BaseTest, WithOnlyTheCallsLibraryTheClientIsNotAvailableButAnswersWhatItCan) {
  TNWBase& b = make();
  EXPECT_FALSE(b.netAvailable());
  EXPECT_FALSE(b._getIsNDS());
  EXPECT_EQ(b._getLastError()->Ostrel, "FFFF");
  EXPECT_EQ(b._getLastError()->NWNDS, "FFFF");
  EXPECT_EQ(b._getServerName(), "FS1");
  EXPECT_EQ(b._getServerVersion(), "3.12");
  for (int kind = nwlNDSTree; kind <= nwlNDSObjList; ++kind)
    EXPECT_EQ(b.getObjectList(static_cast<TNWObjListType>(kind))->Count(), 0);
  EXPECT_EQ(nwtest::names(*b.getObjectList(nwlGroup)), (std::vector<std::string>{"EVERYONE", "SALES"}));
}
