// Capture of printer ports: starting, the flags and their round trip, ending and cancelling,
// banners and the number of ports.
#include "print_fixture.h"

#include "nwsim/client.h"

#include <cstring>

using namespace printtest;
using nwprint::lasterror;

namespace {

nwprint::TNWCaptureFlags sampleFlags() {
  nwprint::TNWCaptureFlags f;
  f.copies = 3;
  f.tabSize = 8;
  f.formType = 2;
  f.flushTimeout = 30;
  f.jobDescription = "Quarterly figures";
  f.formName = "wide";
  f.bannerText = "ACCOUNTS";
  f.printFlag04 = true;
  f.formFeed = false;
  f.notify = true;
  return f;
}

std::uint16_t rawPrintFlags(std::uint8_t device) {
  nuint8 rw[NW_CAPTURE_FLAGS_SIZE] = {}, ro[NW_CAPTURE_FLAGS_RO_SIZE] = {};
  EXPECT_EQ(CALLS(NWGetCaptureFlags)(device, rw, ro), 0);
  std::uint16_t flags;
  std::memcpy(&flags, rw + NW_CF_PRINT_FLAGS, 2);
  return flags;
}

} // namespace

TEST_F(PrintTest, CaptureFlagsRoundTrip) {
  ASSERT_TRUE(nwprint::capture(0, "laser", 2, sampleFlags())) << unitError();
  EXPECT_TRUE(nwprint::isCaptured(2));
  EXPECT_FALSE(nwprint::isCaptured(1));
  EXPECT_EQ(rawPrintFlags(2), 0x04 | 0x08 | 0x10 | 0x40 | 0x80);

  nwprint::TNWCaptureFlags f;
  ASSERT_TRUE(nwprint::getCaptureFlags(2, f)) << unitError();
  EXPECT_EQ(f.copies, 3u);
  EXPECT_EQ(f.tabSize, 8);
  EXPECT_EQ(f.formType, 2u);
  EXPECT_EQ(f.flushTimeout, 30u);
  EXPECT_EQ(f.jobDescription, "Quarterly figures");
  EXPECT_EQ(f.formName, "WIDE");
  EXPECT_EQ(f.bannerText, "ACCOUNTS");
  EXPECT_EQ(f.queueName, "LASER");
  EXPECT_EQ(f.connection, ostrel::getPrimaryServerID());
  EXPECT_TRUE(f.printFlag04);
  EXPECT_FALSE(f.formFeed);
  EXPECT_TRUE(f.notify);

  // Texts are cut to their fields.
  f.bannerText = "A BANNER FAR TOO LONG";
  f.formFeed = true;
  f.printFlag04 = false;
  f.notify = false;
  f.tabSize = 0;
  ASSERT_TRUE(nwprint::setCaptureFlags(0, 2, f)) << unitError();
  EXPECT_EQ(rawPrintFlags(2), 0x80);
  nwprint::TNWCaptureFlags g;
  ASSERT_TRUE(nwprint::getCaptureFlags(2, g));
  EXPECT_EQ(g.bannerText, "A BANNER FAR");
  EXPECT_TRUE(g.formFeed);
  EXPECT_FALSE(g.printFlag04);
}

TEST_F(PrintTest, CapturesBelongToTheWorkstation) {
  ASSERT_TRUE(nwprint::capture(0, "LASER", 1, sampleFlags())) << unitError();
  become("WS-SALES");
  EXPECT_FALSE(nwprint::isCaptured(1));
  ASSERT_TRUE(nwprint::capture(0, "PLOTTER", 1, {})) << unitError();
  become("WS-TEST");
  nwprint::TNWCaptureFlags f;
  ASSERT_TRUE(nwprint::getCaptureFlags(1, f));
  EXPECT_EQ(f.queueName, "LASER");
  // A plain user who is not a user of the queue cannot capture to it.
  become("WS-ACCT");
  EXPECT_FALSE(nwprint::capture(0, "PLOTTER", 1, {}));
  EXPECT_FALSE(nwprint::isCaptured(1));
}

TEST_F(PrintTest, CapturingACapturedPortEndsTheFirstCapture) {
  ASSERT_TRUE(nwprint::capture(0, "LASER", 1, sampleFlags()));
  nwsim::resetCallCounts();
  ASSERT_TRUE(nwprint::capture(0, "PLOTTER", 1, {})) << unitError();
  EXPECT_EQ(nwsim::callCount("NWEndCapture"), 1u);
  nwprint::TNWCaptureFlags f;
  ASSERT_TRUE(nwprint::getCaptureFlags(1, f));
  EXPECT_EQ(f.queueName, "PLOTTER");
  EXPECT_EQ(f.copies, 1u);
}

TEST_F(PrintTest, EndingAndCancellingCaptures) {
  ASSERT_TRUE(nwprint::capture(0, "LASER", 1, {}));
  EXPECT_TRUE(nwprint::endCap(1)) << unitError();
  EXPECT_FALSE(nwprint::isCaptured(1));
  EXPECT_FALSE(nwprint::endCap(1));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NOT_CAPTURED));

  // A capture whose queue is gone cannot be ended; it is cancelled.
  ASSERT_TRUE(nwprint::capture(0, "DRAFT", 3, {}));
  ASSERT_EQ(CALLS(NWDeleteObject)(ostrel::getPrimaryServerID(), "DRAFT", 0x0300), 0);
  nwsim::resetCallCounts();
  EXPECT_TRUE(nwprint::endCap(3)) << unitError();
  EXPECT_EQ(nwsim::callCount("NWCancelCapture"), 1u);
  EXPECT_EQ(nwsim::callCount("NWEndCapture"), 0u);
  EXPECT_FALSE(nwprint::isCaptured(3));
  EXPECT_FALSE(nwprint::cancelCapture(3));
}

TEST_F(PrintTest, FailedFlagReadsLeaveTheDefaults) {
  nwprint::TNWCaptureFlags f;
  f.copies = 9;
  f.flushTimeout = 0;
  f.printFlag04 = false;
  f.jobDescription = "kept";
  EXPECT_FALSE(nwprint::getCaptureFlags(4, f));
  EXPECT_EQ(f.copies, 1u);
  EXPECT_EQ(f.tabSize, 0);
  EXPECT_EQ(f.flushTimeout, 10u);
  EXPECT_TRUE(f.printFlag04);
  EXPECT_EQ(f.connection, ostrel::getPrimaryServerID());
  EXPECT_EQ(f.jobDescription, "kept");
}

TEST_F(PrintTest, BannerNameAndPorts) {
  EXPECT_EQ(nwprint::getBannerUserName(), "SUPERVISOR") << "the name logged in until one is set";
  ASSERT_TRUE(nwprint::setBannerUserName("Karl from Accounting")) << unitError();
  EXPECT_EQ(nwprint::getBannerUserName(), "Karl from Accounting");
  ASSERT_TRUE(nwprint::setBannerUserName(std::string(200, 'n')));
  EXPECT_EQ(nwprint::getBannerUserName(), std::string(127, 'n'));
  become("WS-SALES");
  EXPECT_EQ(nwprint::getBannerUserName(), "JSMITH");
  EXPECT_EQ(nwprint::getMaxPrinters(), 9);
  nwsim::injectFault("NWGetMaxPrinters", 0x88FF);
  EXPECT_EQ(nwprint::getMaxPrinters(), 0);
}
