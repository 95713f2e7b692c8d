#pragma once
// A fresh network from this folder's print seed for every test, as workstation WS-TEST
// (SUPERVISOR on FS1); WS-SALES is JSMITH and WS-ACCT MJONES, the operator of LASER.
#include "fixtures/netfixture.h"

#include <nwprint/nwprint.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <fstream>
#include <iostream>
#include <iterator>

namespace printtest {

inline std::string unitError() { return "nwprint getLastError = " + nwprint::TNWPrint().getLastError(); }

class PrintTest : public ::testing::Test {
protected:
  void SetUp() override {
    nwsim::createNetwork(netDir(), PRINT_SEED);
    nwsim::useNetwork(netDir(), "WS-TEST");
    nwsim::clearFaults();
    nwsim::resetCallCounts();
    ostrelUnit = std::make_unique<ostrel::TOstrel>();
    unit.resetLastError();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwprint] " << unitError() << "\n";
    nwsim::clearFaults();
    nwsim::useNetwork(dir.path() / "closed");
  }
  void become(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    ostrelUnit = std::make_unique<ostrel::TOstrel>();
  }
  std::filesystem::path netDir() const { return dir.path() / "net"; }
  /// The folder of a queue's job files on disk.
  std::filesystem::path queueDir(const std::string& queueIdHex) const {
    return netDir() / "volumes" / "FS1" / "SYS" / "SYSTEM" / (queueIdHex + ".QDR");
  }
  /// A job as the unit reads it.
  nwprint::TNWQueueJobInfo job(const std::string& queue, std::uint32_t number) {
    nwprint::TNWQueueJobInfo info;
    info.queueName = queue;
    info.jobNumber = number;
    EXPECT_TRUE(nwprint::getQueueJobInfo(info)) << unitError();
    return info;
  }
  /// The job numbers of a queue in order.
  std::vector<std::int32_t> jobs(const std::string& queue) {
    nwprint::TNWQueueJobNumbers numbers;
    std::vector<std::int32_t> out;
    if (!nwprint::getQueueJobNumbers(0, queue, numbers)) return out;
    for (auto n : numbers)
      if (n != -1) out.push_back(n);
    return out;
  }

  nwtest::TempDir dir;
  std::unique_ptr<ostrel::TOstrel> ostrelUnit;
  nwprint::TNWPrint unit;
};

inline std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::filesystem::path& p, const std::string& content) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << content;
}

} // namespace printtest
