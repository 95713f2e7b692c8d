// Direct printing: the job's bytes equal the file's, its record, and files that cannot be
// printed.
#include "print_fixture.h"

#include <rtl/datetime.h>

#include "nwsim/client.h"

#include <random>

using namespace printtest;
using nwprint::lasterror;

namespace {

std::string randomBytes(std::size_t size) {
  std::mt19937 gen(static_cast<unsigned>(size));
  std::string s(size, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

} // namespace

TEST_F(PrintTest, PrintedBytesEqualTheFileByteForByte) {
  for (std::size_t size : {0u, 1u, 2047u, 2048u, 2049u, 5000000u}) {
    const auto file = dir.path() / ("print" + std::to_string(size) + ".bin");
    const std::string content = randomBytes(size);
    writeFile(file, content);
    ASSERT_TRUE(nwprint::NPrint(0, "LASER", file.string())) << size << " " << unitError();
    const auto number = jobs("LASER").back();
    const auto info = job("LASER", static_cast<std::uint32_t>(number));
    EXPECT_FALSE(info.ctrlFlags.entryOpen) << size;
    EXPECT_TRUE(info.ctrlFlags.autoStart) << size;
    const std::string printed = readFile(queueDir("03000001") / info.jobFileName);
    EXPECT_EQ(printed.size(), size);
    EXPECT_TRUE(printed == content) << "bytes differ for size " << size;
  }
}

TEST_F(PrintTest, AFileThatCannotBeOpenedMakesNoJob) {
  nwsim::resetCallCounts();
  EXPECT_FALSE(nwprint::NPrint(0, "LASER", (dir.path() / "missing.txt").string()));
  EXPECT_FALSE(nwprint::NPrintEx(0, "LASER", "SYS:PUBLIC\\MISSING.TXT", {}));
  EXPECT_EQ(nwsim::callCount("NWCreateQueueFile2"), 0u);
  EXPECT_EQ(jobs("LASER").size(), 4u);
}

TEST_F(PrintTest, DescriptionIsTheNetWarePathOrTheFileName) {
  ASSERT_TRUE(nwprint::NPrint(0, "LASER", "FS1/SYS:PUBLIC\\NOTE.TXT")) << unitError();
  auto info = job("LASER", static_cast<std::uint32_t>(jobs("LASER").back()));
  EXPECT_EQ(info.jobDescription, "SYS:PUBLIC\\NOTE.TXT");
  EXPECT_EQ(readFile(queueDir("03000001") / info.jobFileName), "Printed from the server.\r\n");
  EXPECT_EQ(info.ownerName, "SUPERVISOR");

  const auto local = dir.path() / "local.txt";
  writeFile(local, "local");
  ASSERT_TRUE(nwprint::NPrint(0, "LASER", local.string()));
  info = job("LASER", static_cast<std::uint32_t>(jobs("LASER").back()));
  EXPECT_EQ(info.jobDescription, local.string().substr(0, 49));
}

TEST_F(PrintTest, PrintingWithFlagsFillsThePrintJobRecord) {
  const auto file = dir.path() / "report.txt";
  writeFile(file, "report");
  nwprint::TNWCaptureFlags f;
  f.copies = 300;
  f.tabSize = 4;
  f.formName = "LEGAL";
  f.bannerText = "REPORT";
  f.formFeed = false;
  f.notify = true;
  f.jobDescription = "Monthly report";
  f.userName = "kbauer";
  ASSERT_TRUE(nwprint::NPrintEx(0, "LASER", file.string(), f)) << unitError();
  const auto number = static_cast<std::uint32_t>(jobs("LASER").back());
  NWQueueJobStruct raw{};
  std::uint32_t queueId = 0x01000003;  // client form of 03000001
  ASSERT_EQ(CALLS(NWReadQueueJobEntry2)(ostrel::getPrimaryServerID(), queueId, number, &raw), 0);
  EXPECT_EQ(raw.clientRecordArea[3], 44) << "300 modulo 256";
  EXPECT_EQ(raw.clientRecordArea[2], 0);
  EXPECT_EQ(raw.clientRecordArea[1], 4);
  EXPECT_EQ(raw.clientRecordArea[5], 0x08 | 0x10 | 0x80);
  EXPECT_STREQ(reinterpret_cast<const char*>(raw.clientRecordArea + 45), "REPORT");
  const auto info = job("LASER", number);
  EXPECT_EQ(info.formName, "LEGAL");
  EXPECT_EQ(info.jobDescription, "Monthly report");
  EXPECT_EQ(info.ownerName, "KBAUER") << "entered on the user's behalf";

  // Only an operator enters jobs for others; a queue's users alone may print to it.
  become("WS-SALES");
  EXPECT_FALSE(nwprint::NPrintEx(0, "LASER", file.string(), f));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_JOB_RIGHTS));
  EXPECT_FALSE(nwprint::NPrint(0, "DRAFT", file.string()));
  EXPECT_EQ(lasterror(), static_cast<std::int32_t>(NWE_NO_QUEUE_RIGHTS));
  EXPECT_FALSE(nwprint::NPrint(0, "NOQUEUE", file.string()));
}
