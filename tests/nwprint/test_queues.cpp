// Queue jobs: numbers and the summary list, one job's record, changes, positions, removal,
// the queue's members, and the rights of owners and operators.
#include "print_fixture.h"

#include <rtl/datetime.h>

using namespace printtest;
using nwprint::lasterror;

TEST_F(PrintTest, JobListShowsOwnerStationStatusAndDescription) {
  rtl::TStringList list;
  list.Add("stale");
  ASSERT_TRUE(nwprint::getQueueJobList(0, "laser", list)) << unitError();
  EXPECT_EQ(nwtest::names(list), (std::vector<std::string>{"JSMITH[5]\tActive\tBudget 1997", "MJONES[7]\tPaused\tLetters",
                                                           "JSMITH[5]\tOperator\tHeld by the operator",
                                                           "KBAUER[9]\tWaiting\tMinutes"}));
  EXPECT_EQ(nwtest::objects(list), (std::vector<std::intptr_t>{1, 2, 3, 4}));
  EXPECT_FALSE(nwprint::getQueueJobList(0, "NOQUEUE", list));
  EXPECT_TRUE(list.Empty());
}

TEST_F(PrintTest, AJobIsReadWithEveryField) {
  auto info = job("LASER", 1);
  EXPECT_EQ(info.ownerName, "JSMITH");
  EXPECT_EQ(info.serverName, "FS1");
  EXPECT_EQ(info.queueServerName, "PS1");
  EXPECT_EQ(info.jobFileName, "Q$0001.JOB");
  EXPECT_EQ(info.jobDescription, "Budget 1997");
  EXPECT_EQ(info.formName, "PLAIN");
  EXPECT_EQ(info.ownerID, 0x1000001Au) << "client form of 1A000010";
  EXPECT_EQ(info.jobPosition, 1);
  EXPECT_NEAR(info.entryDateTime, rtl::EncodeDate(2026, 12, 1) + rtl::EncodeTime(9, 30, 15, 0), 1e-6);
  EXPECT_NEAR(info.execDateTime, rtl::Now(), 1.0 / 24 / 60) << "as soon as possible reads as now";
  EXPECT_TRUE(info.ctrlFlags.autoStart);
  EXPECT_FALSE(info.ctrlFlags.userHold);
  EXPECT_NE(info.connection, 0u) << "the primary connection is written back";
  EXPECT_EQ(readFile(queueDir("03000001") / info.jobFileName), "Budget lines\r\n");

  nwprint::TNWQueueJobInfo missing;
  missing.queueName = "LASER";
  missing.jobNumber = 99;
  EXPECT_FALSE(nwprint::getQueueJobInfo(missing));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_QUEUE_JOB));
}

TEST_F(PrintTest, ChangingAJobWritesItsFieldsAndClearsOtherFlags) {
  auto info = job("LASER", 4);
  info.jobDescription = "Minutes, corrected and much longer than the fifty bytes of the field";
  info.formName = "wide";
  info.execDateTime = rtl::EncodeDate(2027, 1, 2) + rtl::EncodeTime(3, 4, 5, 0);
  info.ctrlFlags = {};
  info.ctrlFlags.userHold = true;
  info.jobType = 7;
  ASSERT_TRUE(nwprint::setQueueJobInfo(info)) << unitError();
  auto back = job("LASER", 4);
  EXPECT_EQ(back.jobDescription, info.jobDescription.substr(0, 49));
  EXPECT_EQ(back.formName, "wide");
  EXPECT_NEAR(back.execDateTime, info.execDateTime, 1e-6);
  EXPECT_EQ(back.jobType, 7);
  EXPECT_TRUE(back.ctrlFlags.userHold);
  EXPECT_FALSE(back.ctrlFlags.autoStart) << "only the five fields are written";

  info.execDateTime = 0;
  ASSERT_TRUE(nwprint::setQueueJobInfo(info));
  EXPECT_NEAR(job("LASER", 4).execDateTime, rtl::Now(), 1.0 / 24 / 60);
}

TEST_F(PrintTest, OwnersAndOperatorsHaveTheirOwnRights) {
  become("WS-SALES");  // JSMITH
  auto mine = job("LASER", 3);
  mine.ctrlFlags.operatorHold = false;
  EXPECT_FALSE(nwprint::setQueueJobInfo(mine)) << "the operator's hold is the operator's";
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_JOB_RIGHTS));
  auto other = job("LASER", 2);
  EXPECT_FALSE(nwprint::deleteQueueJob(other));
  EXPECT_EQ(nwprint::setQueueJobPosition(other, 1), false);
  EXPECT_EQ(other.jobPosition, 2) << "a failed move leaves the position";
  EXPECT_TRUE(nwprint::deleteQueueJob(job("LASER", 1))) << unitError();
  EXPECT_FALSE(std::filesystem::exists(queueDir("03000001") / "Q$0001.JOB")) << "the job file goes with the job";

  become("WS-ACCT");  // MJONES, the operator
  auto held = job("LASER", 3);
  held.ctrlFlags.operatorHold = false;
  EXPECT_TRUE(nwprint::setQueueJobInfo(held)) << unitError();
  ASSERT_TRUE(nwprint::setQueueJobPosition(held, 1)) << unitError();
  EXPECT_EQ(held.jobPosition, 1);
  EXPECT_EQ(jobs("LASER"), (std::vector<std::int32_t>{3, 2, 4}));
  EXPECT_TRUE(nwprint::deleteQueueJob(job("LASER", 4))) << unitError();
  EXPECT_EQ(jobs("LASER"), (std::vector<std::int32_t>{3, 2}));
  EXPECT_EQ(job("LASER", 2).jobPosition, 2);
}

TEST_F(PrintTest, UsersOperatorsAndServersOfAQueue) {
  EXPECT_EQ(nwtest::names(*nwprint::getQueueUsers(0, " laser ")), (std::vector<std::string>{"EVERYONE"}));
  EXPECT_EQ(nwtest::names(*nwprint::getQueueOperators(0, "LASER")), (std::vector<std::string>{"MJONES"}));
  EXPECT_EQ(nwtest::names(*nwprint::getQueueServers(0, "LASER")), (std::vector<std::string>{"PS1"}));
  EXPECT_TRUE(nwprint::getQueueOperators(0, "DRAFT")->Empty());

  EXPECT_TRUE(nwprint::isQueueOperator(0, "LASER", "mjones"));
  EXPECT_FALSE(nwprint::isQueueOperator(0, "LASER", "JSMITH"));
  EXPECT_TRUE(nwprint::isQueueOperator(0, "PLOTTER", "JSMITH")) << "through the group SALES";
  EXPECT_FALSE(nwprint::isQueueOperator(0, "DRAFT", "")) << "a queue without operators";
  EXPECT_FALSE(nwprint::isQueueOperator(0, "LASER", "")) << "SUPERVISOR is not named";
  become("WS-ACCT");
  EXPECT_TRUE(nwprint::isQueueOperator(0, "LASER", "")) << "the user logged in";
}

TEST_F(PrintTest, LongQueuesAreReadInTwoBlocksWithoutCallsForEmptySlots) {
  const auto file = dir.path() / "one.txt";
  writeFile(file, "x");
  for (int i = 0; i < 126; ++i) ASSERT_TRUE(nwprint::NPrint(0, "LASER", file.string())) << i << " " << unitError();
  nwsim::resetCallCounts();
  nwprint::TNWQueueJobNumbers numbers;
  ASSERT_TRUE(nwprint::getQueueJobNumbers(0, "LASER", numbers)) << unitError();
  EXPECT_EQ(nwsim::callCount("NWGetQueueJobList2"), 2u);
  EXPECT_EQ(std::count_if(numbers.begin(), numbers.end(), [](std::int32_t n) { return n != -1; }), 130);
  EXPECT_EQ(numbers[129], 130);
  EXPECT_EQ(numbers[130], -1);

  rtl::TStringList list;
  nwsim::resetCallCounts();
  ASSERT_TRUE(nwprint::getQueueJobList(0, "LASER", list));
  EXPECT_EQ(list.Count(), 130);
  EXPECT_EQ(nwsim::callCount("NWReadQueueJobEntry2"), 130u);

  // A full queue lists all 250 jobs and takes no more.
  for (int i = 130; i < 250; ++i) ASSERT_TRUE(nwprint::NPrint(0, "LASER", file.string())) << i << " " << unitError();
  ASSERT_TRUE(nwprint::getQueueJobList(0, "LASER", list));
  EXPECT_EQ(list.Count(), 250);
  EXPECT_FALSE(nwprint::NPrint(0, "LASER", file.string()));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_QUEUE_FULL));

  nwsim::injectFault("NWGetQueueJobList2", 0x89D1);
  EXPECT_FALSE(nwprint::getQueueJobNumbers(0, "LASER", numbers));
  EXPECT_EQ(lasterror(), 0x89D1);
}
