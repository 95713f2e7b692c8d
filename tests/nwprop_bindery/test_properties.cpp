// Bindery properties: item values, property security against a plain user, set values,
// the property list, login restrictions and account balances.
#include "prop_fixture.h"

#include "nwsim/client.h"

#include <rtl/datetime.h>

#include <cstring>

using namespace proptest;
using nwprop::lasterror;

namespace {

std::vector<std::uint8_t> rawSegment(const char* object, std::uint16_t type, const char* property) {
  std::vector<std::uint8_t> data(128, 0);
  nuint8 more = 0, flags = 0;
  const auto rc = CALLS(NWReadPropertyValue)(ostrel::getPrimaryServerID(), object, type, property, 1, data.data(),
                                             &more, &flags);
  EXPECT_EQ(rc, 0);
  return data;
}

void writeRaw(const char* object, std::uint16_t type, const char* property, const std::vector<std::uint8_t>& data) {
  ASSERT_EQ(CALLS(NWWritePropertyValue)(ostrel::getPrimaryServerID(), object, type, property, 1, data.data(), 0), 0);
}

/// Users of the seed have no login restrictions yet; the administration tools create them.
void giveLoginControl(const char* user) {
  ASSERT_TRUE(nwprop::createProperty(0, user, 0x0100, "LOGIN_CONTROL", 0, true, 0x02, 0x30)) << unitError();
}

} // namespace

TEST_F(PropTest, ItemPropertiesAreWrittenTrimmedAndReadBack) {
  ASSERT_TRUE(nwprop::createProperty(0, "jsmith", 0x0100, "phone", 0, true, 0x01, 0x30)) << unitError();
  ASSERT_TRUE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "  555-0101 Ext. 7  ", "PHONE")) << unitError();
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "phone"), "555-0101 Ext. 7");
  // Values longer than a segment are cut to 127 bytes.
  ASSERT_TRUE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, std::string(300, 'v'), "PHONE"));
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "PHONE"), std::string(127, 'v'));

  EXPECT_FALSE(nwprop::createProperty(0, "JSMITH", 0x0100, "PHONE", 0, true, 0x01, 0x30)) << "exists";
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_PROPERTY_ALREADY_EXISTS));
  ASSERT_TRUE(nwprop::deleteProperty(0, "JSMITH", "PHONE")) << unitError();
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "PHONE"), "");
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_SUCH_PROPERTY));
}

TEST_F(PropTest, ASupervisorOnlyPropertyIsRefusedToAPlainUser) {
  ASSERT_TRUE(nwprop::createProperty(0, "JSMITH", 0x0100, "SALARY", 0, true, 0x03, 0x30)) << unitError();
  ASSERT_TRUE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "top secret", "SALARY"));
  ASSERT_TRUE(nwprop::createProperty(0, "JSMITH", 0x0100, "NICKNAME", 0, true, 0x02, 0x20)) << unitError();
  ASSERT_TRUE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "Johnny", "NICKNAME"));

  become("WS-SALES");  // JSMITH himself, not a supervisor
  unit.resetLastError();
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "SALARY"), "");
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_PROPERTY_READ_PRIVILEGE));
  EXPECT_FALSE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "a raise", "SALARY"));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_PROPERTY_WRITE_PRIVILEGE));
  EXPECT_FALSE(has(names(*nwprop::getPropertyList(0, "JSMITH", "*")), "SALARY")) << "unreadable ones are not listed";
  // The object's own level is enough for its own property, not for another user's.
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "NICKNAME"), "Johnny");
  EXPECT_TRUE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "John", "NICKNAME")) << unitError();
  EXPECT_FALSE(nwprop::changePropertySecurity(0, "JSMITH", "NICKNAME", 0x03, 0x20)) << "above his own level";

  become("WS-ACCT");  // MJONES
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "NICKNAME"), "");
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "IDENTIFICATION"), "John Smith") << "readable by anyone";
}

TEST_F(PropTest, PropertySecurityChangesAreKept) {
  ASSERT_TRUE(nwprop::changePropertySecurity(0, "jsmith", "identification", 0x03, 0x30)) << unitError();
  become("WS-ACCT");
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "IDENTIFICATION"), "");
  become("WS-TEST");
  EXPECT_EQ(nwprop::readItemProperty(0, "JSMITH", 0x0100, "IDENTIFICATION"), "John Smith");
  EXPECT_FALSE(nwprop::changePropertySecurity(0, "NOBODY", "IDENTIFICATION", 0, 0));
}

TEST_F(PropTest, SetPropertiesAndTheirSegments) {
  // 40 members need two segments.
  for (int i = 0; i < 40; ++i) {
    const std::string name = "TEMP" + std::to_string(i);
    ASSERT_TRUE(nwprop::createObject(0, name, 0x0100, "", "", true, 0, 0x30)) << unitError();
  }
  const auto members = names(*nwprop::readObjNamesFromSet(0, "EVERYONE", 0x0200, "GROUP_MEMBERS"));
  EXPECT_EQ(members.size(), 44u);
  EXPECT_TRUE(has(members, "TEMP39"));
  EXPECT_TRUE(has(members, "SUPERVISOR")) << "ID 00000001: its first bytes are 0";

  EXPECT_EQ(names(*nwprop::readSetProperty(0, "JSMITH", 0x0100, "IDENTIFICATION")),
            (std::vector<std::string>{"John Smith"}));
  unit.resetLastError();
  EXPECT_TRUE(nwprop::readSetProperty(0, "JSMITH", 0x0100, "NOTHING")->Empty());
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_SUCH_PROPERTY)) << "recorded while nothing was read";
}

TEST_F(PropTest, PropertyListOfAnObjectWithoutPropertiesIsEmpty) {
  ASSERT_TRUE(nwprop::createObject(0, "BARE", 0x0800, "", "", true, 0, 0x30) == false);
  unit.resetLastError();
  EXPECT_TRUE(nwprop::getPropertyList(0, "BARE", "*")->Empty());
  EXPECT_EQ(lasterror(), 0) << "the end of the scan is not recorded";
}

TEST_F(PropTest, LoginControlRoundTripsEveryTransferredField) {
  nwprop::TNWLoginControl in;
  in.accountExpires = rtl::EncodeDate(1999, 12, 31);
  in.accountDisabled = true;
  in.passwordExpires = rtl::EncodeDate(2001, 3, 1);
  in.graceLogins = 3;
  in.passwordInterval = 40;
  in.graceReset = 6;
  in.minPasswordLength = 5;
  in.maxConnections = 2;
  in.lastLogin = rtl::EncodeDate(2026, 11, 30) + rtl::EncodeTime(17, 45, 12, 0);
  in.restrictions = 0x02;
  in.maxDiskBlocks = 0x01020304;
  in.badLoginCount = 258;
  in.auxLong = 0xA0B0C0D0;
  giveLoginControl("MJONES");
  ASSERT_TRUE(nwprop::setLoginControl(0, "mjones", 0x0100, in)) << unitError();

  const auto raw = rawSegment("MJONES", 0x0100, "LOGIN_CONTROL");
  EXPECT_EQ((std::vector<int>{raw[0], raw[1], raw[2]}), (std::vector<int>{99, 12, 31}));
  EXPECT_EQ((std::vector<int>{raw[4], raw[5], raw[6]}), (std::vector<int>{101, 3, 1}));
  EXPECT_EQ((std::vector<int>{raw[8], raw[9], raw[68], raw[69]}), (std::vector<int>{0, 40, 1, 2}));
  EXPECT_EQ((std::vector<int>{raw[64], raw[65], raw[66], raw[67]}), (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(raw[14], 0xFF);
  EXPECT_EQ(raw[55], 0xFF);

  nwprop::TNWLoginControl out;
  ASSERT_TRUE(nwprop::getLoginControl(0, "MJONES", 0x0100, out)) << unitError();
  EXPECT_DOUBLE_EQ(out.accountExpires, in.accountExpires);
  EXPECT_TRUE(out.accountDisabled);
  EXPECT_DOUBLE_EQ(out.passwordExpires, in.passwordExpires);
  EXPECT_EQ(out.graceLogins, 3);
  EXPECT_EQ(out.passwordInterval, 40);
  EXPECT_EQ(out.graceReset, 6);
  EXPECT_EQ(out.minPasswordLength, 5);
  EXPECT_EQ(out.maxConnections, 2);
  EXPECT_NEAR(out.lastLogin, in.lastLogin, 1e-6);
  EXPECT_EQ(out.restrictions, 0x02);
  EXPECT_EQ(out.maxDiskBlocks, 0x01020304u);
  EXPECT_EQ(out.badLoginCount, 258);
  EXPECT_EQ(out.auxLong, 0xA0B0C0D0u);

  // No expiry: bytes 0-2 are written as 0 and the caller's value stays.
  in.accountExpires = 0;
  ASSERT_TRUE(nwprop::setLoginControl(0, "MJONES", 0x0100, in));
  EXPECT_EQ(rawSegment("MJONES", 0x0100, "LOGIN_CONTROL")[0], 0);
  nwprop::TNWLoginControl kept;
  kept.accountExpires = 42;
  ASSERT_TRUE(nwprop::getLoginControl(0, "MJONES", 0x0100, kept));
  EXPECT_EQ(kept.accountExpires, 42);
}

TEST_F(PropTest, LoginControlKeepsTheStoredLoginTimesAndOtherBytes) {
  std::vector<std::uint8_t> stored(128, 0);
  for (int i = 14; i < 56; ++i) stored[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);  // a time map
  stored[63] = 0x77;
  stored[100] = 0x55;
  giveLoginControl("MJONES");
  writeRaw("MJONES", 0x0100, "LOGIN_CONTROL", stored);

  nwprop::TNWLoginControl c;
  ASSERT_TRUE(nwprop::getLoginControl(0, "MJONES", 0x0100, c));
  c.maxConnections = 4;
  ASSERT_TRUE(nwprop::setLoginControl(0, "MJONES", 0x0100, c)) << unitError();
  const auto after = rawSegment("MJONES", 0x0100, "LOGIN_CONTROL");
  EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + 14, after.begin() + 56),
            std::vector<std::uint8_t>(stored.begin() + 14, stored.begin() + 56));
  EXPECT_EQ(after[63], 0x77);
  EXPECT_EQ(after[100], 0x55);
  EXPECT_EQ(after[13], 4);
}

TEST_F(PropTest, AnImpossibleStoredDateGivesFalseWithoutThrowing) {
  std::vector<std::uint8_t> stored(128, 0);
  stored[0] = 99;  // year, month 0
  stored[7] = 9;
  giveLoginControl("MJONES");
  writeRaw("MJONES", 0x0100, "LOGIN_CONTROL", stored);
  nwprop::TNWLoginControl c;
  EXPECT_FALSE(nwprop::getLoginControl(0, "MJONES", 0x0100, c));
  EXPECT_EQ(c.graceLogins, 0) << "fields after the bad date keep their values";
  EXPECT_FALSE(nwprop::getLoginControl(0, "NOBODY", 0x0100, c));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_SUCH_OBJECT));
}

TEST_F(PropTest, AccountStatusComesFromTheBalanceProperty) {
  nwprop::TNWAccountStatus status;
  EXPECT_FALSE(nwprop::getAccountStatus(0, "JSMITH", 0x0100, status));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_ACCOUNT_BALANCE));

  ASSERT_TRUE(nwprop::createProperty(0, "JSMITH", 0x0100, "ACCOUNT_BALANCE", 0, true, 0x02, 0x30));
  std::vector<std::uint8_t> value(128, 0);
  value[2] = 0x01;  // balance 256
  value[3] = 0x00;
  value[4] = 0xFF;  // limit -100
  value[5] = 0xFF;
  value[6] = 0xFF;
  value[7] = 0x9C;
  writeRaw("JSMITH", 0x0100, "ACCOUNT_BALANCE", value);
  ASSERT_TRUE(nwprop::getAccountStatus(0, "JSMITH", 0x0100, status)) << unitError();
  EXPECT_EQ(status.balance, 256);
  EXPECT_EQ(status.limit, -100);
}

TEST_F(PropTest, ClientFailuresAreReportedAndRecorded) {
  nwsim::injectFault("NWWritePropertyValue", 0x8999);
  EXPECT_FALSE(nwprop::writeItemProperty(0, "JSMITH", 0x0100, "x", "IDENTIFICATION"));
  EXPECT_EQ(lasterror(), 0x8999);
  EXPECT_EQ(unit.getLastError(), "8999");
  nwsim::injectFault("NWCreateObject", 0x8999);
  unit.resetLastError();
  EXPECT_FALSE(nwprop::createObject(0, "NEWONE", 0x0100, "", "", true, 0, 0x30));
  EXPECT_EQ(lasterror(), 0) << "the object's own call is not recorded";
  nwsim::injectFault("NWScanProperty", 0x8999);
  EXPECT_TRUE(nwprop::getPropertyList(0, "JSMITH", "*")->Empty());
}
