// Without a client every operation fails softly and records nothing.
#include "prop_fixture.h"

TEST(NwpropWithoutClient, EveryOperationFailsSoftly) {
  ostrel::TOstrel ostrelUnit;
  nwprop::TNWProp unit;
  nwprop::TNWLoginControl control;
  nwprop::TNWAccountStatus status;
  bool props = false;
  std::uint8_t r = 0, w = 0;
  EXPECT_FALSE(nwprop::createObject(0, "X", 0x0100, "", "", true, 0, 0x30));
  EXPECT_FALSE(nwprop::deleteObject(0, "X"));
  EXPECT_FALSE(nwprop::writeItemProperty(0, "X", 0x0100, "v", "P"));
  EXPECT_EQ(nwprop::readItemProperty(0, "X", 0x0100, "P"), "");
  EXPECT_FALSE(nwprop::addUserToGroup(0, "G", "X"));
  EXPECT_FALSE(nwprop::getObjectInfo(0, "X", props, r, w));
  EXPECT_TRUE(nwprop::getPropertyList(0, "X", "*")->Empty());
  EXPECT_TRUE(nwprop::readObjNamesFromSet(0, "X", 0x0100, "P")->Empty());
  EXPECT_FALSE(nwprop::setLoginControl(0, "X", 0x0100, control));
  EXPECT_FALSE(nwprop::getLoginControl(0, "X", 0x0100, control));
  EXPECT_FALSE(nwprop::getAccountStatus(0, "X", 0x0100, status));
  EXPECT_EQ(unit.getLastError(), "0000");
}
